// Where the stage lands in a window for every scale mode and alignment.
#include <cmath>

#include <gtest/gtest.h>

#include "swf/StageLayout.h"

namespace kestrix::swf {
namespace {

// A 100 x 100 stage in a 200 x 150 window: each mode has its scale and, per axis, where the
// stage starts when aligned to the low edge, the high edge, or centred.
struct ModeCase {
    ScaleMode mode;
    double scaleX, scaleY;
    double xLow, xHigh, xCentre;
    double yLow, yHigh, yCentre;
};

const ModeCase kModes[] = {
    {ScaleMode::ShowAll, 1.5, 1.5, 0, 50, 25, 0, 0, 0},
    {ScaleMode::NoBorder, 2, 2, 0, 0, 0, 0, -50, -25},
    {ScaleMode::ExactFit, 2, 1.5, 0, 0, 0, 0, 0, 0},
    {ScaleMode::NoScale, 1, 1, 0, 100, 50, 0, 50, 25},
};

enum class Edge { Low, High, Centre };

struct AlignCase {
    const char* name;
    int flags;
    Edge x;
    Edge y;
};

const AlignCase kAlignments[] = {
    {"centre", 0, Edge::Centre, Edge::Centre},
    {"L", kAlignLeft, Edge::Low, Edge::Centre},
    {"R", kAlignRight, Edge::High, Edge::Centre},
    {"T", kAlignTop, Edge::Centre, Edge::Low},
    {"B", kAlignBottom, Edge::Centre, Edge::High},
    {"LT", kAlignLeft | kAlignTop, Edge::Low, Edge::Low},
    {"RT", kAlignRight | kAlignTop, Edge::High, Edge::Low},
    {"LB", kAlignLeft | kAlignBottom, Edge::Low, Edge::High},
    {"RB", kAlignRight | kAlignBottom, Edge::High, Edge::High},
    // Contradictory flags: left wins over right, top over bottom.
    {"LR", kAlignLeft | kAlignRight, Edge::Low, Edge::Centre},
    {"TB", kAlignTop | kAlignBottom, Edge::Centre, Edge::Low},
};

double Pick(Edge edge, double low, double high, double centre) {
    return edge == Edge::Low ? low : edge == Edge::High ? high : centre;
}

TEST(StageLayout, EveryModeAndAlignment) {
    for (const ModeCase& mode : kModes) {
        for (const AlignCase& align : kAlignments) {
            SCOPED_TRACE(std::string("mode ") + std::to_string(static_cast<int>(mode.mode)) + ", align " + align.name);
            const StagePlacement p = PlaceStage(200, 150, 100, 100, mode.mode, align.flags);
            EXPECT_DOUBLE_EQ(p.scaleX, mode.scaleX);
            EXPECT_DOUBLE_EQ(p.scaleY, mode.scaleY);
            EXPECT_DOUBLE_EQ(p.offsetX, Pick(align.x, mode.xLow, mode.xHigh, mode.xCentre));
            EXPECT_DOUBLE_EQ(p.offsetY, Pick(align.y, mode.yLow, mode.yHigh, mode.yCentre));
        }
    }
}

TEST(StageLayout, EmptyStageGivesFiniteNumbers) {
    for (ScaleMode mode : {ScaleMode::ShowAll, ScaleMode::NoBorder, ScaleMode::ExactFit, ScaleMode::NoScale}) {
        for (const auto& [w, h] : {std::pair{0.0, 0.0}, std::pair{0.0, 50.0}, std::pair{50.0, 0.0}}) {
            const StagePlacement p = PlaceStage(640, 480, w, h, mode, 0);
            EXPECT_TRUE(std::isfinite(p.scaleX) && std::isfinite(p.scaleY));
            EXPECT_TRUE(std::isfinite(p.offsetX) && std::isfinite(p.offsetY));
        }
    }
}

}  // namespace
}  // namespace kestrix::swf
