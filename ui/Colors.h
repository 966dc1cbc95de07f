// Colours as controls keep them: a plain RGB value, or one of the system's colours, which is
// looked up whenever it is drawn.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kestrix {

using TColor = uint32_t;

constexpr TColor kSystemColorFlag = 0x80000000u;
constexpr TColor clGreen = RGB(0, 128, 0);
constexpr TColor clBtnFace = kSystemColorFlag | COLOR_BTNFACE;

inline COLORREF ColorToRGB(TColor color) {
    return (color & kSystemColorFlag) ? GetSysColor(static_cast<int>(color & 0xFF)) : color;
}

}  // namespace kestrix
