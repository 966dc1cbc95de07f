// The builder's project commands and the save-changes question, and the controls that react
// to a click: the alignment grid, the memo's scroll bars and the output directory.
#include <gtest/gtest.h>

#include "tests/e2e/BuilderFixture.h"

using namespace kestrix;
using namespace kestrix::test;

namespace {

const std::vector<std::wstring> kYesNoCancel{L"Yes", L"No", L"Cancel"};
constexpr int kNewButton = 0;  // on the tool bar: New, Open..., |, Save, |, Compile, |, Help
constexpr int kSaveButton = 3;

class BuilderProjectTest : public BuilderFixture {
protected:
    HWND NameEdit(HWND main) { return ControlAt(Page(main, L"Screen Saver Settings"), L"Edit", 8, 24, 313, 20); }

    // The lines of a project file as the builder writes them, for the name and the defaults.
    static std::string ProjectText(const std::string& name) {
        return "SSNameVersion=" + name +
               "\r\nFlashFile=\r\nScale=0\r\nAlignment=4\r\nTitle=\r\nWebsite=http://\r\nEmail=\r\nLogo=\r\n"
               "Transparent=0\r\nCopyrightText=[SCREENSAVERNAME] v1.0#&^!written by [FIRSTNAME] [LASTNAME]#&^!#&^!#&^!"
               "Copyright \xA9 [YEAR] [COMPANY]\r\nScrollBar=0\r\nOutputDir=\r\nOutputFilename=\r\n";
    }

    void ExpectNoBoxOf(const Process& builder) {
        DWORD processId = 0;
        for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr));) {
            GetWindowThreadProcessId(box, &processId);
            EXPECT_FALSE(processId == builder.Id() && IsWindowVisible(box)) << Narrow(WindowText(box)) << " shows";
        }
    }
};

TEST_F(BuilderProjectTest, NewAndClosingAskAboutTheNewProjectAndCancelKeepsIt) {
    Process builder;
    const HWND main = Open(builder);
    TypeInto(NameEdit(main), L"Kept");

    ClickToolButton(main, kNewButton);
    MessageBoxShown question = WaitForMessageBox(builder, L"Information");
    EXPECT_EQ(question.text, L"Save changes to a new project file?");
    EXPECT_EQ(question.buttons, kYesNoCancel);
    SaveScreenshot("builder-save-changes");
    Answer(question, L"Cancel");
    EXPECT_EQ(WindowText(NameEdit(main)), L"Kept");

    CloseWithAltF4(main);
    question = WaitForMessageBox(builder, L"Information");
    EXPECT_EQ(question.text, L"Save changes to a new project file?");
    Answer(question, L"Cancel");
    EXPECT_TRUE(builder.Running());
    EXPECT_EQ(WindowText(NameEdit(main)), L"Kept");

    // No: New starts again from the default project, without saving anything.
    ChooseMenuItem(builder, main, 'F', 'N');
    Answer(WaitForMessageBox(builder, L"Information"), L"No");
    WaitUntil([&] { return WindowText(NameEdit(main)) == L"Fill in the screen saver name and version"; },
              "the default project");
    CloseWithAltF4(main);
    Answer(WaitForMessageBox(builder, L"Information"), L"No");
    EXPECT_EQ(builder.WaitForExit(), 0);
}

TEST_F(BuilderProjectTest, SaveAsNamesTheWindowSaveWritesThereAndAnOpenedProjectClosesWithoutAQuestion) {
    const std::string project = InFolder("demo.kcp");
    Process builder;
    const HWND main = Open(builder);
    TypeInto(NameEdit(main), L"First name");
    ChooseMenuItem(builder, main, 'F', 'A');
    ChooseFile(builder, L"Save As", InFolder("demo"));  // the dialog adds ".kcp"
    WaitUntil([&] { return WindowText(main) == Wide(Caption(project)); }, "the caption to name the file");
    EXPECT_EQ(ReadFile(project), ProjectText("First name"));

    TypeInto(NameEdit(main), L"Second name");
    ClickToolButton(main, kSaveButton);
    WaitUntil([&] { return ReadFile(project) == ProjectText("Second name"); }, "Save to write the file");
    ExpectNoBoxOf(builder);

    // Saved: New asks nothing and starts the default project.
    ChooseMenuItem(builder, main, 'F', 'N');
    WaitUntil([&] { return WindowText(main) == L"Kestrix Compiler - New Project"; }, "a new project");
    EXPECT_EQ(WindowText(NameEdit(main)), L"Fill in the screen saver name and version");
    ExpectNoBoxOf(builder);

    // Open replaces the new project without a question; unchanged, it closes without one.
    ChooseMenuItem(builder, main, 'F', 'O');
    ChooseFile(builder, L"Open", project);
    WaitUntil([&] { return WindowText(main) == Wide(Caption(project)); }, "the opened project");
    EXPECT_EQ(WindowText(NameEdit(main)), L"Second name");
    CloseWithAltF4(main);
    EXPECT_EQ(builder.WaitForExit(), 0);
}

TEST_F(BuilderProjectTest, YesAndThenCancelInTheSaveDialogKeepsTheWindowOpen) {
    Process builder;
    const HWND main = Open(builder);
    CloseWithAltF4(main);
    Answer(WaitForMessageBox(builder, L"Information"), L"Yes");
    const HWND dialog = WaitForWindow(builder, {L"#32770", L"Save As"});
    BringToForeground(dialog);
    PressKey(VK_ESCAPE);
    WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, "the dialog to close");
    EXPECT_TRUE(builder.Running());
    EXPECT_EQ(WindowText(main), L"Kestrix Compiler - New Project");

    CloseWithAltF4(main);
    Answer(WaitForMessageBox(builder, L"Information"), L"No");
    EXPECT_EQ(builder.WaitForExit(), 0);
}

// Answering Yes means the changes must not get lost: a save that fails says so, and the
// project stays in the window instead of giving way to a new one or to the end.
TEST_F(BuilderProjectTest, ASaveThatFailsIsReportedAndTheProjectStays) {
    const std::string project = InFolder("locked.kcp");
    WriteFile(project, ProjectText("Locked"));
    ASSERT_TRUE(SetFileAttributesA(project.c_str(), FILE_ATTRIBUTE_READONLY));
    Process builder;
    const HWND main = Open(builder);
    ChooseMenuItem(builder, main, 'F', 'O');
    ChooseFile(builder, L"Open", project);
    WaitUntil([&] { return WindowText(main) == Wide(Caption(project)); }, "the opened project");
    TypeInto(NameEdit(main), L"Changed");

    const struct {
        const char* command;
        std::function<void()> give;
    } commands[] = {
        {"New", [&] { ChooseMenuItem(builder, main, 'F', 'N'); }},
        {"close", [&] { CloseWithAltF4(main); }},
    };
    for (const auto& c : commands) {
        c.give();
        const MessageBoxShown question = WaitForMessageBox(builder, L"Information");
        EXPECT_EQ(question.text, Wide("Save changes to " + project + "?")) << c.command;
        Answer(question, L"Yes");
        const MessageBoxShown error = WaitForMessageBox(builder, L"Error");
        EXPECT_EQ(error.text, Wide("The project could not be saved to " + project + ".")) << c.command;
        Answer(error, L"OK");
        EXPECT_TRUE(builder.Running()) << c.command;
        EXPECT_EQ(WindowText(main), Wide(Caption(project))) << c.command;
        EXPECT_EQ(WindowText(NameEdit(main)), L"Changed") << c.command;
        EXPECT_EQ(ReadFile(project), ProjectText("Locked")) << c.command;
    }
    CloseWithAltF4(main);
    Answer(WaitForMessageBox(builder, L"Information"), L"No");
    EXPECT_EQ(builder.WaitForExit(), 0);
}

TEST_F(BuilderProjectTest, ClickedControlsChangeTheProject) {
    Process builder;
    const HWND main = Open(builder);

    const HWND alignment = ControlAt(Page(main, L"Screen Saver Settings"), L"TGroupBox", 112, 96, 94, 97);
    const HWND topLeft = ControlAt(alignment, L"TPanel", 16, 24, 20, 20);
    const HWND centre = ControlAt(alignment, L"TPanel", 36, 44, 20, 20);
    ClickWindow(topLeft);
    WaitUntil([&] { return ColorOnScreen(topLeft) == RGB(0, 128, 0); }, "the top-left cell to turn green");
    EXPECT_EQ(ColorOnScreen(centre), GetSysColor(COLOR_BTNFACE));

    ShowPage(main, L"Configuration Window");
    const HWND copyright = ControlAt(Page(main, L"Configuration Window"), L"TGroupBox", 8, 216, 441, 121);
    const HWND memo = ControlAt(copyright, L"TMemo", 8, 24, 321, 89);
    const std::vector<HWND> scrollBarItems = RadioButtons(ControlAt(copyright, L"TGroupBox", 336, 24, 97, 89));
    ASSERT_EQ(scrollBarItems.size(), 4u);
    const struct {
        int item;
        DWORD bars;
    } cases[] = {{2, WS_HSCROLL}, {1, WS_VSCROLL}, {3, WS_HSCROLL | WS_VSCROLL}, {0, 0}};
    for (const auto& c : cases) {
        ClickWindow(scrollBarItems[static_cast<size_t>(c.item)]);
        // The memo puts a new edit in place of the old one, so there may be none for a moment.
        WaitUntil(
            [&] {
                const HWND edit = FindWindowExW(memo, nullptr, L"Edit", nullptr);
                return edit && (GetWindowLongW(edit, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) == c.bars;
            },
            "the memo's scroll bars for item " + std::to_string(c.item));
    }
    EXPECT_EQ(WindowText(MemoEdit(memo)).substr(0, 22), L"[SCREENSAVERNAME] v1.0") << "the text stays";

    // The output directory is the folder in which the preset name "path" was confirmed.
    ShowPage(main, L"Distribution Settings");
    const HWND distribution = Page(main, L"Distribution Settings");
    ClickWindow(ControlAt(distribution, L"Button", 448, 24, 75, 20));
    ChooseFile(builder, L"Open", InFolder("path"));
    const HWND outputDir = ControlAt(distribution, L"Edit", 8, 24, 433, 20);
    WaitUntil([&] { return WindowText(outputDir) == Wide(Folder()); }, "the folder as the output directory");

    ChooseMenuItem(builder, main, 'F', 'A');
    ChooseFile(builder, L"Save As", InFolder("clicked.kcp"));
    WaitUntil([&] { return FileExists(InFolder("clicked.kcp")); }, "the project to be saved");
    const std::string saved = ReadFile(InFolder("clicked.kcp"));
    EXPECT_NE(saved.find("\r\nAlignment=0\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\r\nScrollBar=0\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\r\nOutputDir=" + Folder() + "\r\n"), std::string::npos) << saved;
    CloseWithAltF4(main);
    EXPECT_EQ(builder.WaitForExit(), 0);
}

TEST_F(BuilderProjectTest, TheBrowseButtonsTakeAnExistingMovieAndALogoByItsExtension) {
    WriteFile(InFolder("movie.swf"), "FWS\x05 a movie's bytes");
    Process builder;
    const HWND main = Open(builder);
    const HWND settings = Page(main, L"Screen Saver Settings");
    const HWND movie = ControlAt(settings, L"Edit", 8, 64, 313, 20);
    const struct {
        const char* chosen;
        bool taken;
    } movies[] = {{"missing.swf", false}, {"movie.swf", true}};
    for (const auto& m : movies) {
        ClickWindow(ControlAt(settings, L"Button", 248, 88, 75, 20));
        ChooseFile(builder, L"Open", InFolder(m.chosen));
        const std::wstring expected = m.taken ? Wide(InFolder(m.chosen)) : L"";
        WaitUntil([&] { return WindowText(movie) == expected; }, std::string("the movie's edit after ") + m.chosen);
    }

    ShowPage(main, L"Configuration Window");
    const HWND logoBox = ControlAt(Page(main, L"Configuration Window"), L"TGroupBox", 8, 136, 441, 73);
    const HWND logo = ControlAt(logoBox, L"Edit", 8, 45, 345, 20);
    const struct {
        const char* chosen;
        bool taken;  // by its extension alone: the file need not exist yet
    } logos[] = {{"logo.png", false}, {"LOGO.JPG", true}, {"noextension", false}, {"logo.gif", true}};
    std::wstring shown;
    for (const auto& l : logos) {
        ClickWindow(ControlAt(logoBox, L"Button", 360, 45, 75, 20));
        ChooseFile(builder, L"Open", InFolder(l.chosen));
        if (!l.taken) {
            const MessageBoxShown warning = WaitForMessageBox(builder, L"Warning");
            EXPECT_EQ(warning.text, L"You have to select a file with the extension .jpg, .jpeg, .gif or .bmp!");
            Answer(warning, L"OK");
        } else {
            shown = Wide(InFolder(l.chosen));
        }
        WaitUntil([&] { return WindowText(logo) == shown; }, std::string("the logo's edit after ") + l.chosen);
    }
    CloseWithAltF4(main);
    Answer(WaitForMessageBox(builder, L"Information"), L"No");
    EXPECT_EQ(builder.WaitForExit(), 0);
}

}  // namespace
