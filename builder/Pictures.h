// The builder's pictures, drawn in code: the eight images of its actions and the monitor
// around the movie preview.
#pragma once

#include <vector>

#include "base/Bitmap.h"

namespace kestrix {

constexpr int kActionImageCount = 8;
constexpr int kActionImageSize = 16;

// By image index: 1 a disk, 2 a disk with a sheet, 3 an open folder, 4 a new sheet, 5 a
// circular badge, 6 a help book, 7 an information sign. No action shows image 0; it stays
// empty. Every pixel is either opaque or fully transparent (alpha 0).
std::vector<TBitmap> ActionImages();

// The glyphs of the movie preview's buttons, 16 by 16, transparent around: a green triangle
// pointing right (play) and a blue square (stop).
TBitmap PlayGlyph();
TBitmap StopGlyph();

// The preview panel's place on the monitor's screen, in the monitor picture.
struct PictureRect {
    int Left, Top, Width, Height;
};
constexpr PictureRect kMonitorScreen{24, 21, 202, 152};

// A computer monitor of 250 by 240 pixels, opaque; the colour of its bottom-left pixel
// stands for transparent and fills everything around the monitor.
TBitmap MonitorPicture();

}  // namespace kestrix
