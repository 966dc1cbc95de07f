#include <gtest/gtest.h>

#include "runtime/InputFilter.h"
#include "runtime/RuntimeMode.h"
#include "runtime/RuntimeSettings.h"

using namespace kestrix;

TEST(RuntimeTest, ModeComesFromTheFirstTwoCharactersWithoutCase) {
    const struct {
        const char* argument;  // nullptr: no argument at all
        RuntimeMode mode;
    } cases[] = {
        {"/s", RuntimeMode::ScreenSaver},      {"/S", RuntimeMode::ScreenSaver},
        {"/saver", RuntimeMode::ScreenSaver},  {"/p", RuntimeMode::Preview},
        {"/P", RuntimeMode::Preview},          {"/p1234", RuntimeMode::Preview},
        {"/c", RuntimeMode::Configuration},    {"/c:1234", RuntimeMode::Configuration},
        {"s", RuntimeMode::Configuration},     {"x", RuntimeMode::Configuration},
        {"", RuntimeMode::Configuration},      {"/", RuntimeMode::Configuration},
        {nullptr, RuntimeMode::Configuration},
    };
    for (const auto& c : cases) {
        const std::string argument = c.argument ? c.argument : "";
        EXPECT_EQ(ModeFromArgument(c.argument ? &argument : nullptr), c.mode) << argument;
    }
}

TEST(RuntimeTest, ScrollBarTable) {
    const struct {
        int index;
        bool vertical, horizontal;
    } cases[] = {{0, false, false}, {1, true, false}, {2, false, true}, {3, true, true},
                 {4, false, false}, {-1, false, false}, {7, false, false}};
    for (const auto& c : cases) {
        const MemoScrollBars bars = ScrollBarsFor(c.index);
        EXPECT_EQ(bars.Vertical, c.vertical) << c.index;
        EXPECT_EQ(bars.Horizontal, c.horizontal) << c.index;
    }
}

TEST(RuntimeTest, ConfigWindowSizeFollowsTheLogoAboveItsMinimum) {
    // A dialog frame of 6 by 25 pixels, as a caption and a thin border give.
    const struct {
        int logoWidth, logoHeight, clientWidth, clientHeight;
    } cases[] = {
        {1, 1, 475, 313},      // the minimum client area
        {0, 0, 475, 313},      // no logo at all
        {300, 400, 645, 450},  // outer 651 by 475
        {130, 300, 475, 350},  // only the height grows
        {200, 10, 545, 313},   // only the width grows
    };
    for (const auto& c : cases) {
        const PixelSize size = ConfigClientSizeForLogo(c.logoWidth, c.logoHeight, 6, 25);
        EXPECT_EQ(size.Width, c.clientWidth) << c.logoWidth << "x" << c.logoHeight;
        EXPECT_EQ(size.Height, c.clientHeight) << c.logoWidth << "x" << c.logoHeight;
    }
}

TEST(RuntimeTest, ArmedScreenSaverClosesOnTheRightInput) {
    const ScreenPoint start{100, 200};
    auto at = [](int x, int y) { return static_cast<uint32_t>(y) << 16 | static_cast<uint32_t>(x); };
    const struct {
        uint32_t message;
        uint32_t position;
        InputAction action;
        const char* what;
    } cases[] = {
        {0x0200, at(105, 195), InputAction::None, "move of 5 pixels"},
        {0x0200, at(106, 200), InputAction::Close, "move of 6 pixels in x"},
        {0x0200, at(100, 194), InputAction::Close, "move of 6 pixels in y"},
        {0x0200, at(100, 200), InputAction::None, "no move"},
        {0x0204, at(100, 200), InputAction::Swallow, "right button down"},
        {0x0205, 0, InputAction::None, "right button up"},
        {0x0202, 0, InputAction::None, "left button up"},
        {0x020A, 0, InputAction::None, "wheel"},
        {0x0201, 0, InputAction::Close, "left button down"},
        {0x0207, 0, InputAction::Close, "middle button down"},
        {0x0100, 0, InputAction::Close, "key down"},
        {0x0101, 0, InputAction::Close, "key up"},
        {0x0104, 0, InputAction::Close, "system key down"},
        {0x0105, 0, InputAction::Close, "system key up"},
        {0x0006, 0, InputAction::Close, "activate"},
        {0x001C, 0, InputAction::Close, "activate app"},
        {0x0086, 0, InputAction::Close, "non-client activate"},
        {0x000F, 0, InputAction::None, "paint"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecideInput(c.message, c.position, start), c.action) << c.what;
    // Positions are unsigned 16-bit values: a negative start never matches a real position.
    EXPECT_EQ(DecideInput(0x0200, at(0xFFFF, 0), {-1, 0}), InputAction::Close);
}

TEST(RuntimeTest, AlignmentTable) {
    const int expected[] = {5, 4, 6, 1, 0, 2, 9, 8, 10};
    for (int alignment = 0; alignment <= 8; ++alignment)
        EXPECT_EQ(AlignModeForAlignment(alignment), expected[alignment]) << alignment;
    EXPECT_EQ(AlignModeForAlignment(9), 0);
    EXPECT_EQ(AlignModeForAlignment(-1), 0);
}
