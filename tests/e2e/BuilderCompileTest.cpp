// Compiling from the builder's window: the problem list of an incomplete project, a compile
// that writes what kestrixc writes, and the two examples started as Windows starts programs.
#include <gtest/gtest.h>

#include <thread>

#include "tests/e2e/BuilderFixture.h"

using namespace kestrix;
using namespace kestrix::test;

namespace {

constexpr int kCompileButton = 5;  // on the tool bar: New, Open..., |, Save, |, Compile, |, Help
constexpr Milliseconds kArming{1000};

const char* const kProblems =
    "\r\n- Screen Saver Name and Version may not be empty"
    "\r\n- No Macromedia Flash file selected or it doesn't exist"
    "\r\n- Title may not be empty"
    "\r\n- No Output .scr filename filled in"
    "\r\n- No Logo picture selected, to have a configuration window without a picture, use a small one-color "
    "picture and set it transparent.";

class BuilderCompileTest : public BuilderFixture {
protected:
    // A complete project in the builder's folder, its movie and logo beside it, its output in out\.
    std::string WriteCompleteProject() {
        if (!CopyFileW(DosPath(gBuilderPaths.movie).c_str(), Wide(InFolder("movie.swf")).c_str(), FALSE))
            throw HarnessError("could not copy the movie");
        WriteFile(InFolder("logo.bmp"), SmallBitmap());
        const std::string project = InFolder("complete.kcp");
        WriteFile(project, "SSNameVersion=Builder Test Saver 1.0\r\nFlashFile=" + InFolder("movie.swf") +
                               "\r\nScale=2\r\nAlignment=6\r\nTitle=Builder Test\r\nWebsite=http://example.org/\r\n"
                               "Email=saver@example.org\r\nLogo=" + InFolder("logo.bmp") +
                               "\r\nTransparent=1\r\nCopyrightText=First line#&^!Copyright \xA9 2026\r\n"
                               "ScrollBar=1\r\nOutputDir=" + InFolder("out\\") + "\r\nOutputFilename=saver\r\n");
        return project;
    }

    HWND OpenProject(Process& builder, const std::string& project) {
        const HWND main = Open(builder);
        ChooseMenuItem(builder, main, 'F', 'O');
        ChooseFile(builder, L"Open", project);
        WaitUntil([&] { return WindowText(main) == Wide(Caption(project)); }, "the opened project");
        return main;
    }

    // The Example button of a page, in its group box at the bottom right.
    static HWND ExampleButton(HWND page) {
        return ControlAt(ControlAt(page, L"TGroupBox", 480, 280, 137, 57), L"Button", 31, 22, 75, 25);
    }

    // A 4 x 2 24-bit bitmap.
    static std::string SmallBitmap() {
        std::string bmp = "BM";
        auto put32 = [&bmp](uint32_t v) {
            for (int i = 0; i < 4; ++i) bmp += static_cast<char>((v >> (8 * i)) & 0xFF);
        };
        auto put16 = [&bmp](uint16_t v) { bmp += static_cast<char>(v & 0xFF), bmp += static_cast<char>(v >> 8); };
        put32(54 + 24), put32(0), put32(54);
        put32(40), put32(4), put32(2), put16(1), put16(24), put32(0), put32(24), put32(2835), put32(2835), put32(0),
            put32(0);
        for (int pixel = 0; pixel < 8; ++pixel) bmp += std::string{'\x20', '\x80', static_cast<char>(pixel * 30)};
        return bmp;
    }

    // The runtime's window is up; give closing input until the program ends.
    static int EndWith(Process& program, const std::function<void()>& input) {
        const auto deadline = std::chrono::steady_clock::now() + kDefaultTimeout;
        while (std::chrono::steady_clock::now() < deadline) {
            input();
            if (WaitForSingleObject(program.Handle(), 1000) == WAIT_OBJECT_0) break;
        }
        return program.WaitForExit(Milliseconds(1000));
    }
};

TEST_F(BuilderCompileTest, AnIncompleteProjectListsEveryProblemUnderTheIntroductionOfItsCommand) {
    Process builder;
    const HWND main = Open(builder);
    const HWND settings = Page(main, L"Screen Saver Settings");
    TypeInto(ControlAt(settings, L"Edit", 8, 24, 313, 20), L"");
    const struct {
        const char* command;
        const char* introduction;
        std::function<void()> give;
    } cases[] = {
        {"Compile Screen Saver",
         "Information to compile the screen saver is not complete, the following error(s) occured: ",
         [&] { ClickToolButton(main, kCompileButton); }},
        {"screen saver Example", "To get an example of the screen saver, you have to fix the following problems: ",
         [&] { ClickWindow(ExampleButton(settings)); }},
        {"config window Example",
         "To get an example of the configuration window, you have to fix the following problems: ",
         [&] {
             ShowPage(main, L"Configuration Window");
             ClickWindow(ExampleButton(Page(main, L"Configuration Window")));
         }},
    };
    for (const auto& c : cases) {
        c.give();
        const MessageBoxShown warning = WaitForMessageBox(builder, L"Warning");
        EXPECT_EQ(warning.text, Wide(std::string(c.introduction) + kProblems)) << c.command;
        EXPECT_EQ(warning.buttons, std::vector<std::wstring>{L"OK"}) << c.command;
        if (c.command == cases[0].command) SaveScreenshot("builder-warning");
        Answer(warning, L"OK");
    }
    EXPECT_FALSE(FileExists(InFolder("output\\.scr")));
    CloseWithAltF4(main);
    Answer(WaitForMessageBox(builder, L"Information"), L"No");
    EXPECT_EQ(builder.WaitForExit(), 0);
}

TEST_F(BuilderCompileTest, CompilesTheSameBytesAsKestrixcAndSaysWhere) {
    const std::string project = WriteCompleteProject();
    const std::string saved = InFolder("saved.kcp");
    const std::string screenSaver = InFolder("out\\saver.scr");
    Process builder;
    const HWND main = OpenProject(builder, project);
    ChooseMenuItem(builder, main, 'F', 'A');
    ChooseFile(builder, L"Save As", saved);
    WaitUntil([&] { return WindowText(main) == Wide(Caption(saved)); }, "the project saved");

    ChooseMenuItem(builder, main, 'F', 'C');
    const MessageBoxShown done = WaitForMessageBox(builder, L"Information");
    EXPECT_EQ(done.text, Wide("Screen saver " + screenSaver + " succesfully compiled!"));
    Answer(done, L"OK");
    const std::string fromBuilder = ReadFile(screenSaver);
    ASSERT_FALSE(fromBuilder.empty());
    EXPECT_EQ(WindowText(main), Wide(Caption(saved))) << "a compile leaves the project as it is";
    CloseWithAltF4(main);
    EXPECT_EQ(builder.WaitForExit(), 0) << "unchanged by the compile, the project closes without a question";

    ASSERT_TRUE(DeleteFileA(screenSaver.c_str()));
    Process kestrixc = StartProcess(DosPath(gBuilderPaths.kestrixc),
                                    {Wide(saved), L"--stub", Wide(InFolder("Kestrix.dat"))});
    ASSERT_EQ(kestrixc.WaitForExit(), 0);
    EXPECT_TRUE(ReadFile(screenSaver) == fromBuilder) << "kestrixc wrote other bytes";
}

TEST_F(BuilderCompileTest, TheConfigurationExampleStartsTheRuntimesConfigurationWindow) {
    const std::string project = WriteCompleteProject();
    Process builder;
    const HWND main = OpenProject(builder, project);
    ShowPage(main, L"Configuration Window");
    ClickWindow(ExampleButton(Page(main, L"Configuration Window")));

    HWND config = nullptr;
    Process example = WaitForProgramWindow(L"TfrmConfig", config);
    EXPECT_EQ(WindowText(config), L"Builder Test Saver 1.0");
    EXPECT_TRUE(FileExists(InFolder("out\\saver.exe")));
    EXPECT_FALSE(FileExists(InFolder("out\\saver.scr"))) << "renamed to the example";
    SaveScreenshot("builder-config-example");
    EXPECT_EQ(EndWith(example, [&] { ClickWindow(WaitForChild(config, {L"Button", L"Cancel"}).handle); }), 0);
    EXPECT_TRUE(FileExists(InFolder("out\\saver.exe"))) << "the example stays";

    CloseWithAltF4(main);
    EXPECT_EQ(builder.WaitForExit(), 0);
}

TEST_F(BuilderCompileTest, TheScreenSaverExamplePlaysFullScreenAndItsFileGoesAfterwards) {
    const std::string project = WriteCompleteProject();
    const std::string screenSaver = InFolder("out\\saver.scr");
    Process builder;
    const HWND main = OpenProject(builder, project);
    ClickWindow(ExampleButton(Page(main, L"Screen Saver Settings")));

    HWND playback = nullptr;
    Process example = WaitForProgramWindow(L"TfrmScreenSaver", playback);
    const auto shown = std::chrono::steady_clock::now();
    const WindowInfo info = DescribeWindow(playback);
    EXPECT_EQ(info.rect.right - info.rect.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(info.rect.bottom - info.rect.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(FileExists(screenSaver)) << "the example's file, while it runs";
    SaveScreenshot("builder-screen-saver-example");
    std::this_thread::sleep_until(shown + kArming + Milliseconds(700));  // input counts after a second
    EXPECT_EQ(EndWith(example, [] { PressKey(VK_SPACE); }), 0);
    WaitUntil([&] { return !FileExists(screenSaver); }, "the example's file to be removed");

    CloseWithAltF4(main);
    EXPECT_EQ(builder.WaitForExit(), 0);
}

}  // namespace
