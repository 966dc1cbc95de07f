// The built help file in the system's help viewer under Wine, opened as the builder's Help
// command opens it.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/win/GuiTestKit.h"

using namespace kestrix::test;

namespace {

std::wstring gHelpFile;      // KestrixCompiler.hlp, a Windows path
std::wstring gContentsFile;  // KestrixCompiler.cnt

const std::wstring kCaption = L"Kestrix Compiler Help";

// Where the system keeps it differs (the Windows folder, or system32 in Wine's 64-bit prefixes).
std::wstring ViewerPath() {
    wchar_t path[MAX_PATH];
    if (SearchPathW(nullptr, L"winhlp32.exe", nullptr, MAX_PATH, path, nullptr) == 0)
        throw HarnessError("winhlp32.exe is not on the search path");
    return path;
}

BOOL CALLBACK MatchRichEdit(HWND child, LPARAM data) {
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (IsWindowVisible(child) && std::wstring(name).find(L"RichEdit") != std::wstring::npos) {
        *reinterpret_cast<HWND*>(data) = child;
        return FALSE;
    }
    return TRUE;
}

// The viewer draws a topic into a rich edit control, whose text any process may read. Looked
// up afresh each time: the viewer makes its buttons anew with every topic.
HWND TopicText(HWND viewer) {
    HWND found = nullptr;
    EnumChildWindows(viewer, MatchRichEdit, reinterpret_cast<LPARAM>(&found));
    return found;
}

void WaitForTopicText(HWND viewer, const std::wstring& expected) {
    WaitUntil(
        [&] {
            HWND text = TopicText(viewer);
            return text != nullptr && WindowText(text).find(expected) != std::wstring::npos;
        },
        "the topic text to hold '" + Narrow(expected) + "'", Milliseconds(10000));
}

struct CaptionSearch {
    std::wstring prefix;
    HWND found;
};

// A plain function: lambdas do not convert to the system's calling convention on 32-bit Windows.
BOOL CALLBACK MatchCaption(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<CaptionSearch*>(data);
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    if (IsWindowVisible(window) && _wcsnicmp(text, search->prefix.c_str(), search->prefix.size()) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The first visible top-level window whose caption starts with `prefix`, in any process.
HWND FindTopLevel(const std::wstring& prefix) {
    CaptionSearch search{prefix, nullptr};
    EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// WinHelp starts the viewer itself; this takes charge of it, so that it ends with the test.
Process ViewerOf(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (handle == nullptr) throw HarnessError("cannot open the help viewer's process");
    return Process(handle, id, L"winhlp32.exe");
}

// The topic entries of the contents file, "N Title=context_id", as title and context id.
std::vector<std::pair<std::wstring, std::wstring>> ContentsEntries(const std::wstring& path) {
    std::ifstream in(path.c_str());
    std::vector<std::pair<std::wstring, std::wstring>> entries;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t equals = line.find('=');
        if (line.empty() || line[0] == ':' || equals == std::string::npos) continue;
        std::wstring title(line.begin() + 2, line.begin() + static_cast<std::ptrdiff_t>(equals));
        std::wstring id(line.begin() + static_cast<std::ptrdiff_t>(equals) + 1, line.end());
        entries.emplace_back(title, id);
    }
    return entries;
}

// The builder's Help command is WinHelp with HELP_FINDER for its main window. Windows shows its
// Help Topics window with the contents file; Wine's viewer, which does not read contents files,
// shows the contents topic, and its Index button opens its Help Topics window with the keyword
// index.
TEST(HelpViewer, HelpFinderOpensTheContentsTopicAndTheIndex) {
    HWND owner =
        CreateWindowExW(0, L"STATIC", L"help owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    ASSERT_TRUE(WinHelpW(owner, gHelpFile.c_str(), HELP_FINDER, 0));
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindTopLevel(kCaption)) != nullptr; }, "the help window");
    Process viewer = ViewerOf(window);
    WaitForTopicText(window, L"Welcome\r");
    WaitForTopicText(window, L"In this help");

    ClickWindow(WaitForChild(window, {L"Button", L"&Index"}).handle);
    HWND topics = nullptr;
    WaitUntil([&] { return (topics = FindTopLevel(L"Help Topics")) != nullptr; }, "the Help Topics window");
    // Beside the contents topic rather than over it, for the picture.
    SetWindowPos(topics, nullptr, 680, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SaveScreenshot("help-contents");
    WinHelpW(owner, gHelpFile.c_str(), HELP_QUIT, 0);
    DestroyWindow(owner);
}

// Each topic entry of the contents file opens the topic of its title through its context id,
// which the viewer's "-i" option looks up the way a click in the contents does.
TEST(HelpViewer, EveryContentsEntryOpensItsTopic) {
    std::vector<std::pair<std::wstring, std::wstring>> entries = ContentsEntries(gContentsFile);
    ASSERT_EQ(entries.size(), 6u);
    for (const auto& [title, id] : entries) {
        Process viewer = StartProcess(ViewerPath(), {L"-i", id, gHelpFile});
        HWND window = WaitForWindow(viewer, {L"", kCaption});
        WaitForTopicText(window, title + L"\r");  // the topic starts with its title, on a line of its own
        if (id == L"screen_saver_settings") SaveScreenshot("help-topic");
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: help-viewer-e2e KestrixCompiler.hlp KestrixCompiler.cnt\n");
        return 2;
    }
    gHelpFile = DosPath(argv[1]);
    gContentsFile = DosPath(argv[2]);
    SaveScreenshotsOfFailures();
    return RUN_ALL_TESTS();
}
