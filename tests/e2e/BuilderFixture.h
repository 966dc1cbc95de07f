// The builder end to end: KestrixCompiler.exe copied into a folder of its own for every test,
// started there, read through Win32 and driven with real input.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win/GuiTestKit.h"

namespace kestrix::test {

// Paths handed over by ctest, as Unix paths; set by the test program's main.
struct BuilderPaths {
    std::string builder;         // KestrixCompiler.exe
    std::string kestrixc;        // kestrixc.exe of the same tree
    std::string runtime;         // Kestrix.exe as the build made it
    std::string defaultProject;  // general.kcp as the build wrote it
    std::string helpFolder;      // the help file and its contents file
    std::string movie;           // a small real movie
};
extern BuilderPaths gBuilderPaths;

// A message box as it shows: caption, text and the buttons' captions without their "&".
struct MessageBoxShown {
    HWND handle = nullptr;
    std::wstring caption;
    std::wstring text;
    std::vector<std::wstring> buttons;
};

class BuilderFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The builder's folder, a Windows path with its final backslash.
    const std::string& Folder() const { return folder_; }
    std::string InFolder(const std::string& name) const { return folder_ + name; }

    Process StartBuilder();
    HWND WaitForMainWindow(const Process& builder);
    // Starts the builder and waits for its main window.
    HWND Open(Process& builder);

    // A page of the page control, by its tab's caption.
    static HWND Page(HWND main, const std::wstring& caption);
    // The direct child of parent of that class at that place (left, top, width, height).
    static HWND ControlAt(HWND parent, const std::wstring& className, int left, int top, int width, int height);
    // The buttons of a radio group, in order, and which of them is checked (-1: none).
    static std::vector<HWND> RadioButtons(HWND group);
    static int CheckedIndex(HWND group);
    // The colour on the screen at the middle of the window.
    static COLORREF ColorOnScreen(HWND window);
    // The Edit inside a memo.
    static HWND MemoEdit(HWND memo);

    MessageBoxShown WaitForMessageBox(const Process& program, const std::wstring& caption);
    // Clicks the box's button of that caption and waits for the box to go.
    static void Answer(const MessageBoxShown& box, const std::wstring& button);

    // Alt with the menu's letter, then the item's letter.
    void ChooseMenuItem(const Process& builder, HWND main, WORD menuLetter, WORD itemLetter);
    // Clicks a button of the tool bar (the second band of the cool bar) by its index.
    static void ClickToolButton(HWND main, int index);
    // Gives the common file dialog of that caption a full name and confirms it.
    void ChooseFile(const Process& builder, const std::wstring& caption, const std::string& fileName);
    // Replaces an edit's whole text by typing.
    static void TypeInto(HWND edit, const std::wstring& text);
    // Ctrl+Tab until the page of that caption shows.
    static void ShowPage(HWND main, const std::wstring& caption);
    static void CloseWithAltF4(HWND main);

    // A visible top-level window of that class in a process that the builder started.
    static Process WaitForProgramWindow(const std::wstring& className, HWND& window);

    static std::wstring Wide(const std::string& text);
    static std::string ReadFile(const std::string& path);
    static void WriteFile(const std::string& path, const std::string& bytes);
    static bool FileExists(const std::string& path);
    static std::string Caption(const std::string& fileName) { return "Kestrix Compiler - " + fileName; }

private:
    std::string folder_;
};

}  // namespace kestrix::test
