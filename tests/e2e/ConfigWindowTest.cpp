// The runtime's configuration window end to end: screen savers compiled with the real
// runtime, started as Windows starts them, read through Win32 and driven with real input.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/Path.h"
#include "payload/PayloadKeys.h"
#include "payload/TResourceToExeUnit.h"
#include "tests/e2e/ScreenSaverFixture.h"
#include "tests/win/GuiTestKit.h"

using namespace kestrix;
using namespace kestrix::test;

namespace {

const WindowMatch kConfigWindow{L"TfrmConfig", L""};

class ConfigWindowTest : public ScreenSaverFixture {
protected:
    // The caption, links and memo text as the window shows them.
    struct Shown {
        std::vector<std::wstring> labels;
        std::wstring memo;
        DWORD memoStyle = 0;
    };

    Shown Read(HWND window) {
        Shown shown;
        for (const ChildWindow& child : ChildWindows(window)) {
            if (child.className == L"Static") shown.labels.push_back(child.text);
            if (child.className == L"Edit") {
                shown.memo = child.text;
                shown.memoStyle = child.style;
            }
        }
        return shown;
    }

    // The close box that Wine draws at the right end of the caption.
    void ClickCloseBox(HWND window) {
        const WindowInfo info = DescribeWindow(window);
        const int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
        const int button = GetSystemMetrics(SM_CYSIZE);
        Click({info.rect.right - frame - button / 2 - 1, info.rect.top + frame + button / 2});
    }
};

TEST_F(ConfigWindowTest, ShowsTheSettingsAndSizesItselfByTheLogo) {
    const struct {
        int logoWidth, logoHeight;
        int scrollBar;
        bool vertical, horizontal;
    } cases[] = {{1, 1, 0, false, false}, {100, 50, 1, true, false}, {300, 400, 3, true, true}};
    for (const auto& c : cases) {
        settings.Logo = WriteLogo(c.logoWidth, c.logoHeight);
        settings.ScrollBar = c.scrollBar;
        const std::string scr = Compile();
        Process saver = StartProcess(Wide(scr), {L"/c"});
        const HWND window = WaitForWindow(saver, kConfigWindow);
        const WindowInfo info = DescribeWindow(window);
        EXPECT_EQ(info.text, Wide(settings.SSNameVersion));
        if (c.logoWidth == 300) {
            EXPECT_EQ(info.rect.right - info.rect.left, 651);
            EXPECT_EQ(info.rect.bottom - info.rect.top, 475);
        } else {
            EXPECT_EQ(info.clientSize.cx, 475);
            EXPECT_EQ(info.clientSize.cy, 313);
        }
        const Shown shown = Read(window);
        for (const std::string& text : {settings.Title, settings.Website, settings.Email})
            EXPECT_NE(std::find(shown.labels.begin(), shown.labels.end(), Wide(text)), shown.labels.end()) << text;
        EXPECT_EQ(shown.memo, Wide(settings.CopyrightText));
        EXPECT_EQ((shown.memoStyle & WS_VSCROLL) != 0, c.vertical);
        EXPECT_EQ((shown.memoStyle & WS_HSCROLL) != 0, c.horizontal);
        EXPECT_EQ(ReadFile(MovieBesideSaver()), ReadFile(settings.FlashFile)) << "the movie, while the window is open";

        SaveScreenshot("config-logo-" + std::to_string(c.logoWidth) + "x" + std::to_string(c.logoHeight));
        EXPECT_EQ(EndWith(saver, [window] { BringToForeground(window); PressKey(VK_RETURN); }), 0);
        EXPECT_FALSE(FileExists(MovieBesideSaver()));
    }
}

TEST_F(ConfigWindowTest, EveryConfigurationSwitchShowsTheWindowAndEveryWayOutEndsTheProgram) {
    settings.Logo = WriteLogo(20, 20);
    const std::string scr = Compile();
    const struct {
        std::vector<std::wstring> arguments;
        const char* wayOut;
    } cases[] = {
        {{L"/c"}, "Cancel"}, {{L"/c:1234"}, "OK"}, {{L"x"}, "close box"}, {{L"s"}, "Cancel"}, {{}, "close box"},
    };
    for (const auto& c : cases) {
        Process saver = StartProcess(Wide(scr), c.arguments);
        const HWND window = WaitForWindow(saver, kConfigWindow);
        const std::string wayOut = c.wayOut;
        const HWND button = wayOut == "close box" ? nullptr : WaitForChild(window, {L"Button", Wide(wayOut)}).handle;
        EXPECT_EQ(EndWith(saver, [&] {
                      if (!IsWindow(window)) return;
                      if (button) {
                          ClickWindow(button);
                      } else {
                          BringToForeground(window);
                          ClickCloseBox(window);
                      }
                  }),
                  0)
            << wayOut;
        EXPECT_FALSE(FileExists(MovieBesideSaver()));
    }
}

TEST_F(ConfigWindowTest, ScrollBarValuesOutsideTheTableGiveNone) {
    for (int value : {2, 4, -1}) {
        settings.Logo = WriteLogo(10, 10);
        settings.ScrollBar = value;
        Process saver = StartProcess(Wide(Compile()), {L"/c"});
        const HWND window = WaitForWindow(saver, kConfigWindow);
        const DWORD style = Read(window).memoStyle;
        EXPECT_EQ((style & WS_HSCROLL) != 0, value == 2) << value;
        EXPECT_FALSE(style & WS_VSCROLL) << value;
        const HWND cancel = WaitForChild(window, {L"Button", L"Cancel"}).handle;
        EXPECT_EQ(EndWith(saver, [cancel] { if (IsWindow(cancel)) ClickWindow(cancel); }), 0);
    }
}

TEST_F(ConfigWindowTest, MissingKeysAndKeysOfAnotherKindKeepTheDefaults) {
    // Only a builder that is not ours writes such a payload: write it by hand.
    settings.Logo = WriteLogo(10, 10);
    TResourceToExe container;
    auto title = std::make_unique<TIntegerResItem>();  // a number where text belongs
    title->Key = PayloadKey::Title;
    title->Value = 7;
    container.Add(std::move(title));
    auto email = std::make_unique<TStringResItem>();
    email->Key = PayloadKey::Email;
    email->Value = "only@example.org";
    container.Add(std::move(email));
    const std::string scr = Compile();
    container.WriteToFile(RuntimePath(), scr);

    Process saver = StartProcess(Wide(scr), {L"/c"});
    const HWND window = WaitForWindow(saver, kConfigWindow);
    const Shown shown = Read(window);
    EXPECT_NE(std::find(shown.labels.begin(), shown.labels.end(), L"only@example.org"), shown.labels.end());
    EXPECT_EQ(std::find(shown.labels.begin(), shown.labels.end(), L"7"), shown.labels.end());
    EXPECT_EQ(DescribeWindow(window).clientSize.cx, 475);
    const HWND ok = WaitForChild(window, {L"Button", L"OK"}).handle;
    EXPECT_EQ(EndWith(saver, [ok] { if (IsWindow(ok)) ClickWindow(ok); }), 0);
}

TEST_F(ConfigWindowTest, TruncatedPayloadShowsTheReadErrorAndStillTheWindow) {
    settings.Logo = WriteLogo(10, 10);
    const std::string scr = Compile();
    // Keep the stub, the first record and part of the movie, then a trailer pointing at them.
    std::string bytes = ReadFile(scr);
    const uint32_t stubSize = static_cast<uint32_t>(ReadFile(RuntimePath()).size());
    bytes.resize(stubSize + 200);
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(((stubSize >> (8 * i)) & 0xFF) + kPayloadShiftForTests);
    WriteFile(scr, bytes);

    Process saver = StartProcess(Wide(scr), {L"/c"});
    const HWND errorBox = WaitForWindow(saver, {L"#32770", L""});
    SaveScreenshot("config-truncated-payload");
    bool saysReadError = false;
    for (const ChildWindow& child : ChildWindows(errorBox))
        saysReadError = saysReadError || child.text == L"Stream read error";
    EXPECT_TRUE(saysReadError);
    BringToForeground(errorBox);
    PressKey(VK_RETURN);
    const HWND window = WaitForWindow(saver, kConfigWindow);
    EXPECT_EQ(DescribeWindow(window).text, Wide(settings.SSNameVersion)) << "the step before the error took effect";
    const HWND ok = WaitForChild(window, {L"Button", L"OK"}).handle;
    EXPECT_EQ(EndWith(saver, [ok] { if (IsWindow(ok)) ClickWindow(ok); }), 0);
}

}  // namespace
