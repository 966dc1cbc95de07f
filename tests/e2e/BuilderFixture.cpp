#include "tests/e2e/BuilderFixture.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace kestrix::test {

BuilderPaths gBuilderPaths;

namespace {

const WindowMatch kMainWindow{L"TfrmMain", L""};
const WindowMatch kMenuWindow{L"#32768", L""};

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path + "\\");
            else DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

std::wstring WithoutAmpersand(std::wstring text) {
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    return text;
}

// A rectangle that a control of another process writes through a pointer (TB_GETITEMRECT,
// TCM_GETITEMRECT): the pointer must point into that process, so the room is made there.
RECT RectFromProcess(HWND control, UINT message, WPARAM wParam) {
    DWORD processId = 0;
    GetWindowThreadProcessId(control, &processId);
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) throw HarnessError("cannot open the process of a control to read its rectangle");
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    RECT rect{};
    const bool asked = remote && SendMessageW(control, message, wParam, reinterpret_cast<LPARAM>(remote));
    const bool read = asked && ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    if (!read) throw HarnessError("a control did not give the rectangle it was asked for");
    MapWindowPoints(control, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

void BuilderFixture::SetUp() {
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::string(temp) + "kestrix-builder-" + info->name() + "\\";
    RemoveTree(folder_);
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << folder_;
    ASSERT_TRUE(CopyFileW(DosPath(gBuilderPaths.builder).c_str(), Wide(InFolder("KestrixCompiler.exe")).c_str(), TRUE));
}

void BuilderFixture::TearDown() { RemoveTree(folder_); }

Process BuilderFixture::StartBuilder() { return StartProcess(Wide(InFolder("KestrixCompiler.exe"))); }

HWND BuilderFixture::WaitForMainWindow(const Process& builder) { return WaitForWindow(builder, kMainWindow); }

HWND BuilderFixture::Open(Process& builder) {
    builder = StartBuilder();
    return WaitForMainWindow(builder);
}

HWND BuilderFixture::Page(HWND main, const std::wstring& caption) {
    for (const ChildWindow& child : ChildWindows(main))
        if (child.className == L"TTabSheet" && child.text == caption) return child.handle;
    throw HarnessError("no page " + Narrow(caption));
}

HWND BuilderFixture::ControlAt(HWND parent, const std::wstring& className, int left, int top, int width, int height) {
    std::string seen;
    for (const ChildWindow& child : ChildWindows(parent)) {
        if (GetParent(child.handle) != parent || _wcsicmp(child.className.c_str(), className.c_str()) != 0) continue;
        const RECT& r = child.inParent;
        if (r.left == left && r.top == top && r.right - r.left == width && r.bottom - r.top == height)
            return child.handle;
        seen += "\n  at " + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
    }
    throw HarnessError("no " + Narrow(className) + " at " + std::to_string(left) + "," + std::to_string(top) + " " +
                       std::to_string(width) + "x" + std::to_string(height) + "; of that class:" +
                       (seen.empty() ? " none" : seen));
}

std::vector<HWND> BuilderFixture::RadioButtons(HWND group) {
    std::vector<HWND> buttons;
    for (const ChildWindow& child : ChildWindows(group))
        if (child.className == L"Button") buttons.push_back(child.handle);
    return buttons;
}

int BuilderFixture::CheckedIndex(HWND group) {
    const std::vector<HWND> buttons = RadioButtons(group);
    int checked = -1;
    for (size_t i = 0; i < buttons.size(); ++i)
        if (SendMessageW(buttons[i], BM_GETCHECK, 0, 0) == BST_CHECKED) {
            if (checked >= 0) return -2;  // never two
            checked = static_cast<int>(i);
        }
    return checked;
}

COLORREF BuilderFixture::ColorOnScreen(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    const POINT at = Centre(r);
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return color;
}

// Looked up without asking the windows anything: the memo makes a new edit for new scroll bars.
HWND BuilderFixture::MemoEdit(HWND memo) {
    const HWND edit = FindWindowExW(memo, nullptr, L"Edit", nullptr);
    if (!edit) throw HarnessError("the memo has no edit");
    return edit;
}

MessageBoxShown BuilderFixture::WaitForMessageBox(const Process& program, const std::wstring& caption) {
    MessageBoxShown box;
    box.handle = WaitForWindow(program, {L"#32770", caption});
    box.caption = caption;
    for (const ChildWindow& child : ChildWindows(box.handle)) {
        if (child.className == L"Static" && !child.text.empty()) box.text = child.text;
        if (child.className == L"Button") box.buttons.push_back(WithoutAmpersand(child.text));
    }
    return box;
}

void BuilderFixture::Answer(const MessageBoxShown& box, const std::wstring& button) {
    for (const ChildWindow& child : ChildWindows(box.handle)) {
        if (child.className != L"Button" || WithoutAmpersand(child.text) != button) continue;
        ClickWindow(child.handle);
        WaitUntil([&] { return !IsWindow(box.handle) || !IsWindowVisible(box.handle); },
                  "the box " + Narrow(box.caption) + " to close");
        return;
    }
    throw HarnessError("the box " + Narrow(box.caption) + " has no button " + Narrow(button));
}

void BuilderFixture::ChooseMenuItem(const Process& builder, HWND main, WORD menuLetter, WORD itemLetter) {
    BringToForeground(main);
    PressKeys({VK_MENU, menuLetter});
    const HWND menu = WaitForWindow(builder, kMenuWindow);
    PressKey(itemLetter);
    WaitUntil([&] { return !IsWindowVisible(menu); }, "the menu to close");
}

void BuilderFixture::ClickToolButton(HWND main, int index) {
    // The menu bar and the tool bar are both tool-bar controls; the tool bar is the lower one.
    HWND toolBar = nullptr;
    LONG lowest = -1;
    for (const ChildWindow& child : ChildWindows(main))
        if (child.className == L"ToolbarWindow32" && child.rect.top > lowest) {
            lowest = child.rect.top;
            toolBar = child.handle;
        }
    if (!toolBar) throw HarnessError("no tool bar");
    BringToForeground(main);
    Click(Centre(RectFromProcess(toolBar, TB_GETITEMRECT, static_cast<WPARAM>(index))));
}

void BuilderFixture::ChooseFile(const Process& builder, const std::wstring& caption, const std::string& fileName) {
    const HWND dialog = WaitForWindow(builder, {L"#32770", caption});
    BringToForeground(dialog);
    PressKey(VK_HOME);  // over whatever name the dialog offers
    PressKeys({VK_SHIFT, VK_END});
    TypeText(Wide(fileName));
    PressKey(VK_RETURN);
    WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); },
              "the dialog " + Narrow(caption) + " to close");
}

void BuilderFixture::TypeInto(HWND edit, const std::wstring& text) {
    ClickWindow(edit);
    WaitUntil([&] { return ThreadState(edit).hwndFocus == edit; }, "the edit to take the focus");
    PressKey(VK_HOME);
    PressKeys({VK_SHIFT, VK_END});
    PressKey(VK_DELETE);
    TypeText(text);
    WaitUntil([&] { return WindowText(edit) == text; }, "the edit to show " + Narrow(text));
}

void BuilderFixture::ShowPage(HWND main, const std::wstring& caption) {
    HWND tabs = nullptr;
    for (const ChildWindow& child : ChildWindows(main))
        if (child.className == L"SysTabControl32") tabs = child.handle;
    if (!tabs) throw HarnessError("no page control");
    const HWND page = Page(main, caption);
    for (int index = 0; index < TabCtrl_GetItemCount(tabs); ++index) {
        const RECT tab = RectFromProcess(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index));
        BringToForeground(main);
        Click(Centre(tab));
        WaitUntil([&] { return TabCtrl_GetCurSel(tabs) == index; }, "the tab to be chosen");
        if (IsWindowVisible(page)) return;
    }
    throw HarnessError("no tab shows the page " + Narrow(caption));
}

void BuilderFixture::CloseWithAltF4(HWND main) {
    BringToForeground(main);
    PressKeys({VK_MENU, VK_F4});
}

Process BuilderFixture::WaitForProgramWindow(const std::wstring& className, HWND& window) {
    window = nullptr;
    WaitUntil(
        [&] {
            HWND candidate = nullptr;
            while ((candidate = FindWindowExW(nullptr, candidate, className.c_str(), nullptr)))
                if (IsWindowVisible(candidate)) {
                    window = candidate;
                    return true;
                }
            return false;
        },
        "a visible window of the class " + Narrow(className));
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const HANDLE process =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, processId);
    if (!process) throw HarnessError("cannot open the process of the window " + Narrow(className));
    return Process(process, processId, className);
}

std::wstring BuilderFixture::Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string BuilderFixture::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void BuilderFixture::WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool BuilderFixture::FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace kestrix::test
