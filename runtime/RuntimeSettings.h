// What the configuration window takes from the payload for the playback window, and the
// portable rules of the configuration window's layout.
#pragma once

#include <string>

namespace kestrix {

struct RuntimeSettings {
    std::string SSNameVersion;
    int Scale = 0;      // as stored: no range check
    int Alignment = 0;  // as stored: no range check
    std::string MovieFile;  // where the movie was written for playback; empty when it was not
};

struct MemoScrollBars {
    bool Vertical;
    bool Horizontal;
};
// 0 none, 1 vertical, 2 horizontal, 3 both; any other value none.
MemoScrollBars ScrollBarsFor(int scrollBarIndex);

struct PixelSize {
    int Width;
    int Height;
};

// The configuration window's outer size is the logo's plus 351 by 75, but its client area
// never gets smaller than 475 by 313. frameWidth and frameHeight: outer minus client size.
PixelSize ConfigClientSizeForLogo(int logoWidth, int logoHeight, int frameWidth, int frameHeight);

constexpr int kConfigMinClientWidth = 475;
constexpr int kConfigMinClientHeight = 313;

// The movie is written beside the executable for the playback window.
constexpr const char* kMovieFileName = "ssgorun.dat";

}  // namespace kestrix
