// The full-screen screen saver end to end: started with "/s" as Windows starts it, then
// touched with real input, before and after it is armed.
#include <gtest/gtest.h>

#include <thread>

#include "base/Path.h"
#include "base/PictureDecoders.h"
#include "payload/PayloadKeys.h"
#include "payload/TResourceToExeUnit.h"
#include "tests/e2e/ScreenSaverFixture.h"
#include "tests/win/GuiTestKit.h"

using namespace kestrix;
using namespace kestrix::test;

namespace {

const WindowMatch kPlaybackWindow{L"TfrmScreenSaver", L""};
constexpr Milliseconds kArming{1000};

class ScreenSaverTest : public ScreenSaverFixture {
protected:
    void SetUp() override {
        ScreenSaverFixture::SetUp();
        settings.Logo = WriteLogo(16, 16);
        scr_ = Compile();
    }

    // Starts the screen saver with the pointer resting at the screen's centre.
    HWND Start(Process& saver) {
        MoveMouse(Centre());
        saver = StartProcess(Wide(scr_), {L"/s"});
        const HWND window = WaitForWindow(saver, kPlaybackWindow);
        started_ = std::chrono::steady_clock::now();
        // Activation closes an armed screen saver; let it settle while input is still ignored.
        WaitUntil([window] { return GetForegroundWindow() == window; }, "the screen saver in front", kArming);
        return window;
    }

    // Armed a second after it shows; a busy machine may tick late.
    void WaitUntilArmed() {
        std::this_thread::sleep_until(started_ + kArming + Milliseconds(1500));
    }

    static TBitmap Screenshot(const std::string& name) {
        const std::string bytes = ReadFile(Narrow(DosPath(SaveScreenshot(name))));
        return DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }

    static POINT Centre() { return {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2}; }

    // The process has not ended a moment after the input.
    static void ExpectStillRunning(Process& saver, const char* input) {
        std::this_thread::sleep_for(Milliseconds(400));
        EXPECT_TRUE(saver.Running()) << input << " closed the screen saver";
    }

    std::string scr_;
    std::chrono::steady_clock::time_point started_;
};

TEST_F(ScreenSaverTest, CoversTheScreenWithTheMovie) {
    Process saver;
    const HWND window = Start(saver);
    const WindowInfo info = DescribeWindow(window);
    EXPECT_EQ(info.text, Wide(settings.SSNameVersion));
    EXPECT_EQ(info.rect.left, 0);
    EXPECT_EQ(info.rect.top, 0);
    EXPECT_EQ(info.rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(info.rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(FileExists(MovieBesideSaver()));
    std::this_thread::sleep_for(Milliseconds(500));
    CURSORINFO cursor{sizeof cursor};
    ASSERT_TRUE(GetCursorInfo(&cursor));
    EXPECT_FALSE(cursor.flags & CURSOR_SHOWING) << "the cursor is hidden while the movie plays";
    // The movie moves: two pictures a moment apart differ.
    const TBitmap first = Screenshot("screensaver-playing");
    std::this_thread::sleep_for(Milliseconds(700));
    const TBitmap second = Screenshot("screensaver-playing-later");
    ASSERT_EQ(first.Pixels().size(), second.Pixels().size());
    EXPECT_NE(first.Pixels(), second.Pixels()) << "the picture did not change from frame to frame";
    WaitUntilArmed();
    EXPECT_EQ(EndWith(saver, [] { PressKey(VK_SPACE); }), 0);
    EXPECT_FALSE(FileExists(MovieBesideSaver()));
}

TEST_F(ScreenSaverTest, InputInTheFirstSecondDoesNotClose) {
    Process saver;
    Start(saver);
    const POINT centre = Centre();
    MoveMouse({centre.x + 50, centre.y + 50});
    PressKey(VK_SPACE);
    Click({centre.x + 50, centre.y + 50}, MouseButton::Left);
    Click({centre.x + 50, centre.y + 50}, MouseButton::Middle);
    ASSERT_LT(std::chrono::steady_clock::now() - started_, kArming) << "the inputs took too long to be early";
    ExpectStillRunning(saver, "early input");
    saver.Kill();
}

// Under Wine a late activation message now and then closes an armed screen saver on its own,
// so a round whose 5-pixel moves saw it close is tried again, three rounds at most.
TEST_F(ScreenSaverTest, MovesUpToFivePixelsKeepItOpenAndSixClose) {
    for (const POINT offset : {POINT{6, 0}, POINT{0, -6}}) {
        bool keptOpen = false;
        for (int round = 0; round < 3 && !keptOpen; ++round) {
            Process saver;
            Start(saver);
            WaitUntilArmed();
            const POINT centre = Centre();
            MoveMouse({centre.x + 5, centre.y - 5});
            MoveMouse({centre.x - 5, centre.y + 5});
            std::this_thread::sleep_for(Milliseconds(400));
            keptOpen = saver.Running();
            if (!keptOpen) continue;
            int step = 0;
            EXPECT_EQ(EndWith(saver,
                              [&] {
                                  const int scale = 1 + step++ % 2;
                                  MoveMouse({centre.x + offset.x * scale, centre.y + offset.y * scale});
                              }),
                      0)
                << "a move of 6 pixels";
        }
        EXPECT_TRUE(keptOpen) << "moves of 5 pixels closed the screen saver in every round";
    }
}

TEST_F(ScreenSaverTest, RightClicksReleasesAndTheWheelNeverClose) {
    Process saver;
    Start(saver);
    WaitUntilArmed();
    Click(Centre(), MouseButton::Right);
    MouseUp(MouseButton::Left);
    MouseUp(MouseButton::Middle);
    MouseWheel(1);
    MouseWheel(-1);
    ExpectStillRunning(saver, "right click, release or wheel");
    saver.Kill();
}

TEST_F(ScreenSaverTest, KeyAndLeftOrMiddleButtonClose) {
    const struct {
        const char* input;
        std::function<void()> act;
    } cases[] = {
        {"a key", [] { PressKey('A'); }},
        {"the left button", [] { Click(Centre(), MouseButton::Left); }},
        {"the middle button", [] { Click(Centre(), MouseButton::Middle); }},
    };
    for (const auto& c : cases) {
        Process saver;
        Start(saver);
        WaitUntilArmed();
        EXPECT_EQ(EndWith(saver, c.act), 0) << c.input;
        EXPECT_FALSE(FileExists(MovieBesideSaver())) << c.input;
    }
}

TEST_F(ScreenSaverTest, MissingMovieShowsTheErrorOverTheEmptyWindow) {
    // The builder never leaves the movie out, so write such a payload by hand.
    TResourceToExe container;
    auto name = std::make_unique<TStringResItem>();
    name->Key = PayloadKey::SSNameVersion;
    name->Value = settings.SSNameVersion;
    container.Add(std::move(name));
    container.WriteToFile(RuntimePath(), scr_);
    Process saver;
    MoveMouse(Centre());
    saver = StartProcess(Wide(scr_), {L"/s"});
    const HWND errorBox = WaitForWindow(saver, {L"#32770", L""});
    bool saysNotFound = false;
    for (const ChildWindow& child : ChildWindows(errorBox))
        saysNotFound = saysNotFound || child.text == L"Something went terribly wrong, movie not found.";
    EXPECT_TRUE(saysNotFound);
    SaveScreenshot("screensaver-movie-not-found");
    std::this_thread::sleep_for(kArming + Milliseconds(1500));
    EXPECT_EQ(EndWith(saver, [] { PressKey(VK_SPACE); }), 0);
}

}  // namespace
