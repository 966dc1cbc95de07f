// The GUI harness tried on its own sample window: finding it, reading it, typing and clicking
// with real input, exit codes and a screenshot of the display.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "base/PictureDecoders.h"
#include "tests/win/GuiTestKit.h"

using namespace kestrix;
using namespace kestrix::test;

namespace {

std::wstring gSample;  // HarnessSample.exe, from the command line

const WindowMatch kSampleWindow{L"KestrixHarnessSample", L""};

struct Sample {
    Process process;
    HWND window;
};

Sample StartSample(const std::wstring& caption = L"Harness sample") {
    Process process = StartProcess(gSample, {caption});
    HWND window = WaitForWindow(process, kSampleWindow);
    return {std::move(process), window};
}

// Clicks into the edit box and returns it; the text cursor then sits where it was clicked.
HWND ClickEdit(HWND window) {
    HWND edit = WaitForChild(window, {L"Edit", L""}).handle;
    ClickWindow(edit);
    return edit;
}

void WaitForText(HWND window, const std::wstring& expected) {
    WaitUntil([&] { return WindowText(window) == expected; }, "the text '" + Narrow(expected) + "'",
              Milliseconds(5000));
}

std::string FileBytes(const std::string& unixPath) {
    std::ifstream in(DosPath(unixPath).c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Rgb(COLORREF color) {
    return 0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

TEST(GuiHarness, FindsTheWindowAndReadsItsCaptionControlsAndGeometry) {
    // Quotes, backslashes and spaces must survive the command line.
    const std::wstring caption = L"Kestrix \"harness\" C:\\dir\\ sample";
    Sample sample = StartSample(caption);
    EXPECT_EQ(WaitForWindow(sample.process, {L"", caption}), sample.window);

    const WindowInfo info = DescribeWindow(sample.window);
    EXPECT_EQ(info.text, caption);
    EXPECT_EQ(info.className, L"KestrixHarnessSample");
    EXPECT_TRUE(info.visible);
    EXPECT_EQ(info.style & WS_OVERLAPPEDWINDOW, static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(info.clientSize.cx, 380);
    EXPECT_EQ(info.clientSize.cy, 70);
    // The outer rectangle holds the frame and the title bar as well.
    EXPECT_GT(info.rect.right - info.rect.left, info.clientSize.cx);
    EXPECT_GT(info.rect.bottom - info.rect.top, info.clientSize.cy + GetSystemMetrics(SM_CYCAPTION) - 1);

    struct Expected {
        const wchar_t* className;
        const wchar_t* text;
        int id;
        RECT inParent;
    };
    const Expected expected[] = {
        {L"Edit", L"", 100, {20, 20, 260, 44}},
        {L"Button", L"OK", IDOK, {280, 20, 360, 46}},
    };
    const std::vector<ChildWindow> children = ChildWindows(sample.window);
    ASSERT_EQ(children.size(), std::size(expected));
    for (const Expected& want : expected) {
        const ChildWindow child = WaitForChild(sample.window, {want.className, want.text});
        SCOPED_TRACE(Narrow(want.className));
        EXPECT_EQ(child.id, want.id);
        EXPECT_TRUE(child.visible);
        EXPECT_EQ(child.inParent.left, want.inParent.left);
        EXPECT_EQ(child.inParent.top, want.inParent.top);
        EXPECT_EQ(child.inParent.right, want.inParent.right);
        EXPECT_EQ(child.inParent.bottom, want.inParent.bottom);
        EXPECT_EQ(child.rect.right - child.rect.left, want.inParent.right - want.inParent.left);
    }
}

TEST(GuiHarness, TypesIntoTheEditAndClickingOkExitsWithZero) {
    Sample sample = StartSample();
    HWND edit = ClickEdit(sample.window);
    const std::wstring text = L"Hello, Wine! \u00e4\u00df\u20ac";
    TypeText(text);
    WaitForText(edit, text);

    const RECT outer = DescribeWindow(sample.window).rect;
    POINT inClient{10, 60};  // below the controls
    ClientToScreen(sample.window, &inClient);
    const std::string png = SaveScreenshot("GuiHarness.SampleWithText");
    ClickWindow(WaitForChild(sample.window, {L"Button", L"OK"}).handle);
    EXPECT_EQ(sample.process.WaitForExit(), 0);

    // The whole display, with the window's face and the title bar that Wine draws itself.
    const std::string bytes = FileBytes(png);
    const TBitmap shot = DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ASSERT_EQ(shot.Width(), GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(shot.Height(), GetSystemMetrics(SM_CYSCREEN));
    const uint32_t face = shot.Pixel(inClient.x, inClient.y);
    const int titleBarMiddle = outer.top + GetSystemMetrics(SM_CYCAPTION) / 2;
    const uint32_t titleBar = shot.Pixel((outer.left + outer.right) / 2, titleBarMiddle);
    const uint32_t desktop = shot.Pixel(shot.Width() - 1, shot.Height() - 1);
    EXPECT_EQ(face, Rgb(GetSysColor(COLOR_BTNFACE)));
    EXPECT_NE(titleBar, face);
    EXPECT_NE(titleBar, desktop);
}

TEST(GuiHarness, KeysReachTheFocusedControl) {
    struct Case {
        const char* name;
        std::vector<std::vector<WORD>> chords;  // pressed one after the other after typing "abc"
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"extended arrow key moves the caret", {{VK_LEFT}, {'X'}}, L"abxc"},
        {"shift chord types a capital", {{VK_SHIFT, 'K'}}, L"abcK"},
        {"backspace deletes", {{VK_BACK}, {VK_BACK}}, L"a"},
        {"home then delete", {{VK_HOME}, {VK_DELETE}}, L"bc"},
    };
    Sample sample = StartSample();
    HWND edit = ClickEdit(sample.window);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PressKey(VK_END);
        PressKeys({VK_SHIFT, VK_HOME});
        PressKey(VK_DELETE);
        WaitForText(edit, L"");
        TypeText(L"abc");
        WaitForText(edit, L"abc");
        for (const std::vector<WORD>& chord : c.chords) {
            PressKeys(chord);
        }
        WaitForText(edit, c.expected);
    }
}

TEST(GuiHarness, ButtonActsOnlyWhenReleasedOverIt) {
    Sample sample = StartSample();
    const ChildWindow ok = WaitForChild(sample.window, {L"Button", L"OK"});
    BringToForeground(sample.window);
    const POINT centre{(ok.rect.left + ok.rect.right) / 2, (ok.rect.top + ok.rect.bottom) / 2};
    const auto captured = [&](HWND expected) {
        return [&sample, expected] { return ThreadState(sample.window).hwndCapture == expected; };
    };

    // Pressed on the button, which takes the mouse, and released beside it: no click.
    MoveMouse(centre);
    MouseDown();
    WaitUntil(captured(ok.handle), "the button to capture the mouse");
    MoveMouse({ok.rect.left - 40, centre.y});
    MouseUp();
    WaitUntil(captured(nullptr), "the button to let the mouse go");
    EXPECT_EQ(WaitForSingleObject(sample.process.Handle(), 200), static_cast<DWORD>(WAIT_TIMEOUT));

    MoveMouse(centre);
    MouseDown();
    MouseUp();
    EXPECT_EQ(sample.process.WaitForExit(), 0);
}

TEST(GuiHarness, EscapeExitsWithThree) {
    Sample sample = StartSample();
    BringToForeground(sample.window);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(sample.process.WaitForExit(), 3);
}

TEST(GuiHarness, FailuresNameWhatWasAwaited) {
    Sample sample = StartSample();
    try {
        WaitForWindow(sample.process, {L"NoSuchClass", L""}, Milliseconds(200));
        ADD_FAILURE() << "found a window that does not exist";
    } catch (const HarnessError& e) {
        EXPECT_NE(std::string(e.what()).find("NoSuchClass"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("KestrixHarnessSample"), std::string::npos) << e.what();
    }
    try {
        sample.process.WaitForExit(Milliseconds(200));
        ADD_FAILURE() << "the sample exited by itself";
    } catch (const HarnessError& e) {
        EXPECT_NE(std::string(e.what()).find("did not exit"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(sample.process.Running());  // killed on the timeout

    // The first failure of a test leaves a picture of the display; this one is no real failure.
    const char* folder = std::getenv("KESTRIX_SCREENSHOTS");
    ASSERT_NE(folder, nullptr);
    const std::wstring shot = DosPath(std::string(folder) + "/GuiHarness.FailuresNameWhatWasAwaited-failed.png");
    EXPECT_NE(GetFileAttributesW(shot.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(shot.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: gui-harness-test PATH_TO_HARNESS_SAMPLE\n");
        return 2;
    }
    gSample = DosPath(argv[1]);
    SaveScreenshotsOfFailures();
    return RUN_ALL_TESTS();
}
