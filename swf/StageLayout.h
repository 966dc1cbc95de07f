// Where the movie's stage goes inside a window: the scale modes and alignments of the Flash control.
#pragma once

namespace kestrix::swf {

enum class ScaleMode { ShowAll = 0, NoBorder = 1, ExactFit = 2, NoScale = 3 };

// Alignment flags; 0 centres on both axes. Left wins over right and top over bottom.
constexpr int kAlignLeft = 1;
constexpr int kAlignRight = 2;
constexpr int kAlignTop = 4;
constexpr int kAlignBottom = 8;

// window pixel = stage pixel * scale + offset; a stage pixel is 20 twips.
struct StagePlacement {
    double scaleX = 1;
    double scaleY = 1;
    double offsetX = 0;
    double offsetY = 0;
};

StagePlacement PlaceStage(int windowWidth, int windowHeight, double stageWidth, double stageHeight, ScaleMode mode,
                          int alignFlags);

}  // namespace kestrix::swf
