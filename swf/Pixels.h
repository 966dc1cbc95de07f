// Premultiplied 0xAARRGGBB pixel arithmetic shared by the painters and the compositor.
#pragma once

#include <cstdint>

namespace kestrix::swf {

// Every channel times alpha / 255, two channels per multiply.
inline uint32_t ScalePixel(uint32_t pixel, uint32_t alpha) {
    uint32_t rb = (pixel & 0x00FF00FFu) * alpha + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t ag = ((pixel >> 8) & 0x00FF00FFu) * alpha + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    return rb | ag;
}

// Source over destination, both premultiplied.
inline uint32_t Over(uint32_t source, uint32_t destination) {
    return source + ScalePixel(destination, 255 - (source >> 24));
}

// Channel-wise sum, saturating at 255.
inline uint32_t AddSaturated(uint32_t a, uint32_t b) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t sum = ((a >> shift) & 0xFF) + ((b >> shift) & 0xFF);
        out |= (sum > 255 ? 255 : sum) << shift;
    }
    return out;
}

inline uint32_t MultiplyAlpha(uint32_t a, uint32_t b) {  // a * b / 255 for bytes
    const uint32_t t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

}  // namespace kestrix::swf
