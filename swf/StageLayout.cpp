#include "swf/StageLayout.h"

#include <algorithm>

namespace kestrix::swf {

namespace {

// Puts a length of `content` inside `room` at the low edge, the high edge, or centred.
double AlignOffset(double room, double content, bool low, bool high) {
    if (low) return 0;
    if (high) return room - content;
    return (room - content) / 2;
}

}  // namespace

StagePlacement PlaceStage(int windowWidth, int windowHeight, double stageWidth, double stageHeight, ScaleMode mode,
                          int alignFlags) {
    StagePlacement placement;
    // An empty stage has no shape to fit; it is shown unscaled so nothing divides by zero.
    const bool degenerate = !(stageWidth > 0) || !(stageHeight > 0);
    const double fitX = degenerate ? 1 : windowWidth / stageWidth;
    const double fitY = degenerate ? 1 : windowHeight / stageHeight;
    switch (degenerate ? ScaleMode::NoScale : mode) {
        case ScaleMode::ShowAll: placement.scaleX = placement.scaleY = std::min(fitX, fitY); break;
        case ScaleMode::NoBorder: placement.scaleX = placement.scaleY = std::max(fitX, fitY); break;
        case ScaleMode::ExactFit:
            placement.scaleX = fitX;
            placement.scaleY = fitY;
            break;
        case ScaleMode::NoScale: break;
    }
    const double width = degenerate ? 0 : stageWidth;
    const double height = degenerate ? 0 : stageHeight;
    placement.offsetX = AlignOffset(windowWidth, width * placement.scaleX, (alignFlags & kAlignLeft) != 0,
                                    (alignFlags & kAlignRight) != 0);
    placement.offsetY = AlignOffset(windowHeight, height * placement.scaleY, (alignFlags & kAlignTop) != 0,
                                    (alignFlags & kAlignBottom) != 0);
    return placement;
}

}  // namespace kestrix::swf
