// Loads arbitrary bytes as a movie and, when they load, plays and draws a few frames at a
// small size, so the timeline, the frame actions and every drawing path see hostile data.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "swf/Player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrix::swf;
    std::string error;
    const auto movie = Movie::Load(data, size, error);
    if (!movie) return 0;
    Player player(movie);
    constexpr int kWidth = 64;
    constexpr int kHeight = 48;
    std::vector<uint32_t> pixels(kWidth * kHeight);
    for (int frame = 0; frame < 4; ++frame) {
        const auto mode = static_cast<ScaleMode>(frame % 4);
        player.Render(pixels.data(), kWidth, kHeight, kWidth, mode, frame * 5 % 16);
        player.StepFrame();
    }
    player.Rewind();
    player.Render(pixels.data(), kWidth, kHeight, kWidth, ScaleMode::ShowAll, 0);
    return 0;
}
