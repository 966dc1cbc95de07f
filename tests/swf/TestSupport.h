// Helpers shared by the movie engine's tests: loading written movies and drawing them.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "swf/Player.h"

namespace kestrix::swf::test {

inline std::shared_ptr<const Movie> LoadOrFail(const std::vector<uint8_t>& bytes) {
    std::string error;
    auto movie = Movie::Load(bytes.data(), bytes.size(), error);
    EXPECT_TRUE(movie) << error;
    return movie;
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline Picture Draw(const Player& player, int width, int height, ScaleMode mode = ScaleMode::ShowAll, int align = 0) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(static_cast<size_t>(width) * height, 0xDEADBEEF);
    player.Render(picture.pixels.data(), width, height, width, mode, align);
    return picture;
}

// Draws frame 1 plus `steps` frame steps of the movie at the given size.
inline Picture DrawMovie(const std::vector<uint8_t>& bytes, int width, int height, int steps = 0) {
    auto movie = LoadOrFail(bytes);
    if (!movie) return {};
    Player player(movie);
    for (int i = 0; i < steps; ++i) player.StepFrame();
    return Draw(player, width, height);
}

inline int Channel(uint32_t argb, int shift) {
    return static_cast<int>((argb >> shift) & 0xFF);
}

// Whether every channel of two 0xAARRGGBB colours is within tolerance.
inline ::testing::AssertionResult ColorNear(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(Channel(actual, shift) - Channel(expected, shift)) > tolerance) {
            char text[96];
            std::snprintf(text, sizeof text, "colour %08X, expected %08X within %d", actual, expected, tolerance);
            return ::testing::AssertionFailure() << text;
        }
    return ::testing::AssertionSuccess();
}

}  // namespace kestrix::swf::test
