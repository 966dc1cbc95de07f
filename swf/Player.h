// The movie engine's public face: a parsed movie (Movie) and one playing instance of it
// (Player) that draws its current frame into a 32-bit pixel buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "swf/StageLayout.h"

namespace kestrix::swf {

struct MovieData;
class Stage;
class Renderer;

// Immutable once loaded; one Movie may feed several Players.
class Movie {
public:
    // Returns nullptr and a message for the user when the bytes are not a movie this engine
    // can play.
    static std::shared_ptr<const Movie> Load(const uint8_t* data, size_t size, std::string& error);
    ~Movie();

    int Version() const;
    double StageWidth() const;   // pixels
    double StageHeight() const;  // pixels
    // Frames per second. A movie that says 0 plays at 12, the authoring tool's default.
    double FrameRate() const;
    int FrameCount() const;            // frames actually present on the main timeline, at least 1
    uint32_t BackgroundColor() const;  // 0xAARRGGBB; opaque white when the movie sets none

    const MovieData& Data() const { return *data_; }

private:
    explicit Movie(std::unique_ptr<MovieData> data);
    std::unique_ptr<MovieData> data_;
};

class Player {
public:
    explicit Player(std::shared_ptr<const Movie> movie);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    void Play();
    void Stop();
    // Back to frame 1; playing or stopped stays as it was.
    void Rewind();
    bool Playing() const;
    // Whether the main timeline starts again after its last frame (on by default).
    void SetLoop(bool loop);
    int CurrentFrame() const;  // 1-based

    // One frame on: the main timeline (if playing) and every sprite, then the frame actions.
    void StepFrame();
    // Steps as many frames as the frame rate says for the time passed; a long pause catches
    // up a few frames only.
    void AdvanceTime(double seconds);

    // Draws the current frame into 0xAARRGGBB pixels (B, G, R, A bytes in memory): the whole
    // buffer in the background colour, the stage placed by PlaceStage and clipped to its rectangle.
    void Render(uint32_t* pixels, int width, int height, int strideInPixels, ScaleMode mode, int alignFlags) const;

    const Movie& GetMovie() const { return *movie_; }

private:
    std::shared_ptr<const Movie> movie_;
    std::unique_ptr<Stage> stage_;
    mutable std::unique_ptr<Renderer> renderer_;  // scratch buffers kept between frames
    double clock_ = 0;
};

}  // namespace kestrix::swf
