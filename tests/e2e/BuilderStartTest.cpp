// The builder's start: the support files it writes beside itself, and the window with the
// default project in it.
#include <gtest/gtest.h>

#include "tests/e2e/BuilderFixture.h"

using namespace kestrix;
using namespace kestrix::test;

namespace {

class BuilderStartTest : public BuilderFixture {
protected:
    // What each support file must hold: its resource, as the build made it.
    static std::string Expected(const std::string& fileName) {
        if (fileName == "Kestrix.dat") return ReadBuilt(gBuilderPaths.runtime);
        if (fileName == "general.kcp") return ReadBuilt(gBuilderPaths.defaultProject);
        return ReadBuilt(gBuilderPaths.helpFolder + "/" + fileName);
    }
    static std::string ReadBuilt(const std::string& unixPath) { return ReadFile(Narrow(DosPath(unixPath))); }

    // Closes a builder that holds a new project: the question, then No.
    void CloseAnsweringNo(Process& builder, HWND main) {
        CloseWithAltF4(main);
        Answer(WaitForMessageBox(builder, L"Information"), L"No");
        EXPECT_EQ(builder.WaitForExit(), 0);
    }

    const std::vector<std::string> supportFiles_{"Kestrix.dat", "general.kcp", "KestrixCompiler.hlp",
                                                 "KestrixCompiler.cnt"};
};

TEST_F(BuilderStartTest, WritesEachMissingSupportFileAndLeavesExistingOnesAlone) {
    Process builder;
    HWND main = Open(builder);
    for (const std::string& file : supportFiles_) EXPECT_EQ(ReadFile(InFolder(file)), Expected(file)) << file;
    CloseAnsweringNo(builder, main);

    // Files of those names with other contents are used as they are; a deleted one comes back.
    const std::string handMadeProject = "SSNameVersion=Edited by hand\r\nScale=1\r\nAlignment=0\r\nScrollbar=2\r\n";
    WriteFile(InFolder("general.kcp"), handMadeProject);
    WriteFile(InFolder("Kestrix.dat"), "an older runtime");
    ASSERT_TRUE(DeleteFileA(InFolder("KestrixCompiler.cnt").c_str()));
    main = Open(builder);
    EXPECT_EQ(ReadFile(InFolder("general.kcp")), handMadeProject);
    EXPECT_EQ(ReadFile(InFolder("Kestrix.dat")), "an older runtime");
    EXPECT_EQ(ReadFile(InFolder("KestrixCompiler.cnt")), Expected("KestrixCompiler.cnt"));
    const HWND page = Page(main, L"Screen Saver Settings");
    EXPECT_EQ(WindowText(ControlAt(page, L"Edit", 8, 24, 313, 20)), L"Edited by hand") << "New opens general.kcp";
    CloseAnsweringNo(builder, main);
}

TEST_F(BuilderStartTest, AFolderInPlaceOfASupportFileIsReportedAndTheBuilderEnds) {
    const struct {
        const char* blocked;
        size_t writtenBefore;  // how many support files come before it
    } cases[] = {{"Kestrix.dat", 0}, {"general.kcp", 1}, {"KestrixCompiler.cnt", 3}};
    for (const auto& c : cases) {
        for (const std::string& file : supportFiles_) DeleteFileA(InFolder(file).c_str());
        ASSERT_TRUE(CreateDirectoryA(InFolder(c.blocked).c_str(), nullptr)) << c.blocked;

        Process builder = StartBuilder();
        const MessageBoxShown box = WaitForMessageBox(builder, L"Kestrix Compiler");
        EXPECT_NE(box.text.find(L"Cannot create file \"" + Wide(InFolder(c.blocked)) + L"\"."), std::wstring::npos)
            << Narrow(box.text);
        for (size_t i = 0; i < supportFiles_.size(); ++i)
            EXPECT_EQ(FileExists(InFolder(supportFiles_[i])), i < c.writtenBefore) << supportFiles_[i] << " with "
                                                                                    << c.blocked << " blocked";
        Answer(box, L"OK");
        EXPECT_EQ(builder.WaitForExit(), 1) << c.blocked;
        RemoveDirectoryA(InFolder(c.blocked).c_str());
    }
}

TEST_F(BuilderStartTest, ShowsTheDefaultProjectOnThreePages) {
    Process builder;
    const HWND main = Open(builder);
    const WindowInfo window = DescribeWindow(main);
    EXPECT_EQ(window.text, L"Kestrix Compiler - New Project");
    EXPECT_EQ(window.rect.right - window.rect.left, 640);
    EXPECT_EQ(window.rect.bottom - window.rect.top, 480);
    EXPECT_TRUE(window.style & WS_THICKFRAME) << "sizeable";

    const HWND settings = Page(main, L"Screen Saver Settings");
    EXPECT_TRUE(IsWindowVisible(settings)) << "the first page shows at start";
    EXPECT_EQ(WindowText(ControlAt(settings, L"Edit", 8, 24, 313, 20)), L"Fill in the screen saver name and version");
    const HWND flashFile = ControlAt(settings, L"Edit", 8, 64, 313, 20);
    EXPECT_EQ(WindowText(flashFile), L"");
    EXPECT_TRUE(GetWindowLongW(flashFile, GWL_STYLE) & ES_READONLY);
    const HWND scale = ControlAt(settings, L"TGroupBox", 8, 96, 97, 97);
    EXPECT_EQ(CheckedIndex(scale), 0) << "Show All";
    const HWND alignment = ControlAt(settings, L"TGroupBox", 112, 96, 94, 97);
    for (int i = 0; i < 9; ++i) {
        const HWND cell = ControlAt(alignment, L"TPanel", 16 + 20 * (i % 3), 24 + 20 * (i / 3), 20, 20);
        const COLORREF expected = i == 4 ? RGB(0, 128, 0) : GetSysColor(COLOR_BTNFACE);
        WaitUntil([&] { return ColorOnScreen(cell) == expected; }, "alignment cell " + std::to_string(i) + "'s colour");
    }
    const HWND preview = ControlAt(settings, L"TPanel", 376, 45, 202, 152);
    const WindowInfo previewPlace = DescribeWindow(preview);
    const HWND atPreview = WindowFromPoint({(previewPlace.rect.left + previewPlace.rect.right) / 2,
                                            (previewPlace.rect.top + previewPlace.rect.bottom) / 2});
    EXPECT_TRUE(atPreview == preview || IsChild(preview, atPreview)) << "the preview lies over the monitor";
    SaveScreenshot("builder-page-screen-saver-settings");

    ShowPage(main, L"Configuration Window");
    const HWND configuration = Page(main, L"Configuration Window");
    EXPECT_EQ(WindowText(ControlAt(configuration, L"Edit", 8, 24, 441, 20)), L"");
    EXPECT_EQ(WindowText(ControlAt(configuration, L"Edit", 8, 64, 441, 20)), L"http://");
    EXPECT_EQ(WindowText(ControlAt(configuration, L"Edit", 8, 104, 441, 20)), L"");
    const HWND logoBox = ControlAt(configuration, L"TGroupBox", 8, 136, 441, 73);
    EXPECT_EQ(SendMessageW(ControlAt(logoBox, L"Button", 8, 24, 81, 17), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(IsWindowEnabled(ControlAt(logoBox, L"Edit", 8, 45, 345, 20))) << "the logo's edit";
    EXPECT_FALSE(IsWindowEnabled(ControlAt(logoBox, L"Button", 360, 21, 75, 20))) << "Preview...";
    const HWND copyright = ControlAt(configuration, L"TGroupBox", 8, 216, 441, 121);
    const HWND memo = MemoEdit(ControlAt(copyright, L"TMemo", 8, 24, 321, 89));
    EXPECT_EQ(WindowText(memo),
              Wide("[SCREENSAVERNAME] v1.0\r\nwritten by [FIRSTNAME] [LASTNAME]\r\n\r\n\r\nCopyright \xA9 [YEAR] "
                   "[COMPANY]"));
    EXPECT_EQ(CheckedIndex(ControlAt(copyright, L"TGroupBox", 336, 24, 97, 89)), 0) << "Scrollbar None";
    EXPECT_FALSE(GetWindowLongW(memo, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    SaveScreenshot("builder-page-configuration-window");

    ShowPage(main, L"Distribution Settings");
    const HWND distribution = Page(main, L"Distribution Settings");
    EXPECT_EQ(WindowText(ControlAt(distribution, L"Edit", 8, 24, 433, 20)), L"");
    EXPECT_EQ(WindowText(ControlAt(distribution, L"Edit", 8, 72, 137, 20)), L"");
    SaveScreenshot("builder-page-distribution-settings");

    CloseWithAltF4(main);
    Answer(WaitForMessageBox(builder, L"Information"), L"No");
    EXPECT_EQ(builder.WaitForExit(), 0);
}

TEST_F(BuilderStartTest, TabWalksEachPageInItsOrder) {
    Process builder;
    const HWND main = Open(builder);
    const HWND settings = Page(main, L"Screen Saver Settings");
    const HWND configuration = Page(main, L"Configuration Window");
    const HWND distribution = Page(main, L"Distribution Settings");
    const HWND logoBox = ControlAt(configuration, L"TGroupBox", 8, 136, 441, 73);
    const HWND copyright = ControlAt(configuration, L"TGroupBox", 8, 216, 441, 121);
    const struct {
        const wchar_t* page;
        std::vector<HWND> order;  // disabled controls are passed over
    } pages[] = {
        {L"Screen Saver Settings",
         {ControlAt(settings, L"Edit", 8, 24, 313, 20), ControlAt(settings, L"Edit", 8, 64, 313, 20),
          RadioButtons(ControlAt(settings, L"TGroupBox", 8, 96, 97, 97))[0],
          ControlAt(settings, L"Button", 248, 88, 75, 20),
          ControlAt(ControlAt(settings, L"TGroupBox", 480, 280, 137, 57), L"Button", 31, 22, 75, 25)}},
        {L"Configuration Window",
         {ControlAt(configuration, L"Edit", 8, 24, 441, 20), ControlAt(configuration, L"Edit", 8, 64, 441, 20),
          ControlAt(configuration, L"Edit", 8, 104, 441, 20), ControlAt(logoBox, L"Button", 8, 24, 81, 17),
          ControlAt(logoBox, L"Button", 360, 45, 75, 20), MemoEdit(ControlAt(copyright, L"TMemo", 8, 24, 321, 89)),
          RadioButtons(ControlAt(copyright, L"TGroupBox", 336, 24, 97, 89))[0],
          ControlAt(ControlAt(configuration, L"TGroupBox", 480, 280, 137, 57), L"Button", 31, 22, 75, 25)}},
        {L"Distribution Settings",
         {ControlAt(distribution, L"Edit", 8, 24, 433, 20), ControlAt(distribution, L"Button", 448, 24, 75, 20),
          ControlAt(distribution, L"Edit", 8, 72, 137, 20)}},
    };
    for (const auto& p : pages) {
        ShowPage(main, p.page);
        ClickWindow(p.order.front());
        for (size_t i = 1; i <= p.order.size(); ++i) {
            const HWND expected = p.order[i % p.order.size()];  // and round to the first again
            PressKey(VK_TAB);
            WaitUntil([&] { return ThreadState(main).hwndFocus == expected; },
                      Narrow(p.page) + ": the focus on control " + std::to_string(i % p.order.size()));
        }
    }
    CloseWithAltF4(main);
    Answer(WaitForMessageBox(builder, L"Information"), L"No");
    EXPECT_EQ(builder.WaitForExit(), 0);
}

TEST_F(BuilderStartTest, TheAboutBoxComesModallyAsOftenAsAsked) {
    Process builder;
    const HWND main = Open(builder);
    for (int time = 1; time <= 2; ++time) {
        ChooseMenuItem(builder, main, 'H', 'A');
        const HWND about = WaitForWindow(builder, {L"TfrmAbout", L"About - Kestrix Compiler"});
        const WindowInfo info = DescribeWindow(about);
        EXPECT_EQ(info.clientSize.cx, 416) << time;
        EXPECT_EQ(info.clientSize.cy, 270) << time;
        EXPECT_FALSE(info.style & WS_SYSMENU) << "no title-bar buttons";
        EXPECT_FALSE(IsWindowEnabled(main)) << "the main window waits, time " << time;
        ClickWindow(WaitForChild(about, {L"Button", L"Close"}).handle);
        WaitUntil([&] { return !IsWindowVisible(about) && IsWindowEnabled(main); }, "the main window again");
    }
    CloseWithAltF4(main);
    Answer(WaitForMessageBox(builder, L"Information"), L"No");
    EXPECT_EQ(builder.WaitForExit(), 0);
}

}  // namespace
