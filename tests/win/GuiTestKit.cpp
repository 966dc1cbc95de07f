#include "tests/win/GuiTestKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <utility>

namespace kestrix::test {
namespace {

constexpr Milliseconds kPollInterval{20};
// A window that does not answer a message within this time counts as hung.
constexpr UINT kMessageTimeoutMs = 5000;

bool gScreenshotsOfFailures = false;
bool gFailureShotTaken = false;  // one picture per failing test: the first failure shows most
bool gTakingFailureShot = false;

std::string CurrentTestName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (info == nullptr) {
        return "";
    }
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (!isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_') {
            c = '_';
        }
    }
    return name;
}

// Takes the picture while the windows that went wrong are still on the display: an exception
// unwinds the test and kills its programs before GoogleTest hears of it.
void ShootFailure() {
    if (!gScreenshotsOfFailures || gFailureShotTaken || gTakingFailureShot) {
        return;
    }
    const std::string test = CurrentTestName();
    if (test.empty()) {
        return;
    }
    gFailureShotTaken = true;
    gTakingFailureShot = true;
    try {
        std::printf("screenshot of the failure: %s\n", SaveScreenshot(test + "-failed").c_str());
    } catch (const std::exception& e) {
        std::printf("no screenshot of the failure: %s\n", e.what());
    }
    gTakingFailureShot = false;
}

[[noreturn]] void Fail(const std::string& message) {
    ShootFailure();
    throw HarnessError(message);
}

std::string ErrorText(DWORD error) {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = "error " + std::to_string(error);
    if (text != nullptr) {
        std::string message = text;
        LocalFree(text);
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
            message.pop_back();
        }
        result += " (" + message + ")";
    }
    return result;
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) {
        return L"";
    }
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
    return result;
}

std::string Quoted(const std::wstring& text) {
    return "'" + Narrow(text) + "'";
}

std::string Hex(HWND window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
    return text;
}

std::wstring RawText(HWND window) {
    wchar_t text[512];
    const int length = GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return std::wstring(text, static_cast<size_t>(length > 0 ? length : 0));
}

// For messages only: sends nothing to the window, so a hung window cannot hang the report.
std::string Describe(HWND window) {
    if (window == nullptr) {
        return "no window";
    }
    if (!IsWindow(window)) {
        return "window " + Hex(window) + " (gone)";
    }
    return "window " + Hex(window) + " class " + Quoted(WindowClass(window)) + " text " + Quoted(RawText(window)) +
           (IsWindowVisible(window) ? "" : " (hidden)");
}

std::string Describe(const WindowMatch& match) {
    std::string text;
    if (!match.className.empty()) {
        text += " with class " + Quoted(match.className);
    }
    if (!match.caption.empty()) {
        text += std::string(text.empty() ? " with" : " and") + " caption " + Quoted(match.caption);
    }
    return text;
}

std::string Describe(const Process& process) {
    return Narrow(process.Name()) + " (pid " + std::to_string(process.Id()) + ")";
}

bool Matches(const std::wstring& className, const std::wstring& text, const WindowMatch& match) {
    // Window class names are case-insensitive in Windows, captions are not.
    return (match.className.empty() || _wcsicmp(className.c_str(), match.className.c_str()) == 0) &&
           (match.caption.empty() || text == match.caption);
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

// Enumeration callbacks are functions of the system's calling convention, which lambdas
// do not convert to on 32-bit Windows.
BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId) search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Send(std::vector<INPUT> inputs, const char* what) {
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) {
        Fail(std::string("SendInput did not take ") + what + ": " + ErrorText(GetLastError()));
    }
}

INPUT MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.mouseData = data;
    input.mi.dwFlags = flags;
    return input;
}

bool IsExtendedKey(WORD virtualKey) {
    switch (virtualKey) {
        case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_RCONTROL: case VK_RMENU:
        case VK_LWIN: case VK_RWIN: case VK_APPS: case VK_DIVIDE: case VK_NUMLOCK: case VK_SNAPSHOT:
            return true;
        default:
            return false;
    }
}

INPUT KeyInput(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    // Programs that look at scan codes (and Wine's own keyboard state) want them filled in.
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

DWORD ButtonFlag(MouseButton button, bool up) {
    switch (button) {
        case MouseButton::Right:
            return up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
        case MouseButton::Middle:
            return up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN;
        case MouseButton::Left:
            break;
    }
    return up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
}

std::string ReadFileText(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FailureScreenshots : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { gFailureShotTaken = false; }
    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        if (result.failed()) {
            ShootFailure();
        }
    }
};

}  // namespace

void WaitUntil(const std::function<bool()>& condition, const std::string& what, Milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) {
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            Fail("timed out after " + std::to_string(timeout.count()) + " ms waiting for " + what);
        }
        Sleep(static_cast<DWORD>(kPollInterval.count()));
    }
}

std::wstring DosPath(const std::string& path) {
    using ToDos = LPWSTR(CDECL*)(LPCSTR);
    // Wine's own export; absent on Windows, where no path needs converting.
    static const auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (path.empty() || path[0] != '/' || toDos == nullptr) {
        return Widen(path);
    }
    LPWSTR converted = toDos(path.c_str());
    if (converted == nullptr) {
        Fail("Wine cannot map " + path + " to a Windows path");
    }
    std::wstring result = converted;
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

std::wstring QuoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    // Backslashes are literal except before a quote, where each pair stands for one.
    std::wstring result = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        result += c;
        backslashes = 0;
    }
    result.append(backslashes * 2, L'\\');
    return result + L"\"";
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) {
        return "";
    }
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length, nullptr,
                        nullptr);
    return result;
}

Process::Process(HANDLE handle, DWORD id, std::wstring name) : handle_(handle), id_(id), name_(std::move(name)) {}

Process::Process(Process&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), id_(other.id_), name_(std::move(other.name_)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
        id_ = other.id_;
        name_ = std::move(other.name_);
    }
    return *this;
}

Process::~Process() {
    Close();
}

void Process::Close() {
    if (handle_ == nullptr) {
        return;
    }
    Kill();
    CloseHandle(handle_);
    handle_ = nullptr;
}

bool Process::Running() const {
    return handle_ != nullptr && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

void Process::Kill() {
    if (Running()) {
        TerminateProcess(handle_, 1);
        WaitForSingleObject(handle_, 5000);
    }
}

int Process::WaitForExit(Milliseconds timeout) {
    if (handle_ == nullptr) {
        Fail("waiting for the exit of a process that was never started");
    }
    if (WaitForSingleObject(handle_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        ShootFailure();
        Kill();
        Fail(Describe(*this) + " did not exit within " + std::to_string(timeout.count()) + " ms; it was killed");
    }
    DWORD code = 0;
    GetExitCodeProcess(handle_, &code);
    return static_cast<int>(code);
}

Process StartProcess(const std::wstring& program, const std::vector<std::wstring>& arguments) {
    std::wstring commandLine = QuoteArgument(program);
    for (const std::wstring& argument : arguments) {
        commandLine += L" " + QuoteArgument(argument);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        Fail("could not start " + Narrow(commandLine) + ": " + ErrorText(GetLastError()));
    }
    CloseHandle(info.hThread);
    const size_t slash = program.find_last_of(L"\\/");
    return Process(info.hProcess, info.dwProcessId, slash == std::wstring::npos ? program : program.substr(slash + 1));
}

HWND WaitForWindow(const Process& process, const WindowMatch& match, Milliseconds timeout) {
    const std::string what = "a visible top-level window of " + Describe(process) + Describe(match);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const std::vector<HWND> windows = TopLevelWindows(process.Id());
        for (HWND window : windows) {
            if (IsWindowVisible(window) && Matches(WindowClass(window), RawText(window), match)) {
                return window;
            }
        }
        if (!process.Running()) {
            DWORD code = 0;
            GetExitCodeProcess(process.Handle(), &code);
            Fail(Describe(process) + " exited with code " + std::to_string(code) + " while waiting for " + what);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            std::string seen;
            for (HWND window : windows) {
                seen += "\n  " + Describe(window);
            }
            Fail("timed out after " + std::to_string(timeout.count()) + " ms waiting for " + what +
                 "; its top-level windows:" + (seen.empty() ? " none" : seen));
        }
        Sleep(static_cast<DWORD>(kPollInterval.count()));
    }
}

WindowInfo DescribeWindow(HWND window) {
    if (!IsWindow(window)) {
        Fail("cannot describe " + Describe(window));
    }
    WindowInfo info;
    info.handle = window;
    info.className = WindowClass(window);
    info.text = WindowText(window);
    info.style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    info.exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    info.id = (info.style & WS_CHILD) ? GetDlgCtrlID(window) : 0;
    info.visible = IsWindowVisible(window) != FALSE;
    GetWindowRect(window, &info.rect);
    RECT client{};
    GetClientRect(window, &client);
    info.clientSize = {client.right - client.left, client.bottom - client.top};
    return info;
}

std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length)) {
        Fail(Describe(window) + " did not answer WM_GETTEXTLENGTH");
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             kMessageTimeoutMs, &copied)) {
        Fail(Describe(window) + " did not answer WM_GETTEXT");
    }
    text.resize(std::min<size_t>(copied, length));
    return text;
}

std::wstring WindowClass(HWND window) {
    wchar_t name[256];
    const int length = GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return std::wstring(name, static_cast<size_t>(length > 0 ? length : 0));
}

std::vector<ChildWindow> ChildWindows(HWND parent) {
    std::vector<HWND> handles;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&handles));
    std::vector<ChildWindow> children;
    for (HWND handle : handles) {
        ChildWindow child;
        static_cast<WindowInfo&>(child) = DescribeWindow(handle);
        child.inParent = child.rect;
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&child.inParent), 2);
        children.push_back(child);
    }
    return children;
}

ChildWindow WaitForChild(HWND parent, const WindowMatch& match, Milliseconds timeout) {
    ChildWindow found;
    std::vector<ChildWindow> seen;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        seen = ChildWindows(parent);
        for (const ChildWindow& child : seen) {
            if (Matches(child.className, child.text, match)) {
                return child;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            std::string list;
            for (const ChildWindow& child : seen) {
                list += "\n  " + Describe(child.handle);
            }
            Fail("timed out after " + std::to_string(timeout.count()) + " ms waiting for a child of " +
                 Describe(parent) + Describe(match) + "; its children:" + (list.empty() ? " none" : list));
        }
        Sleep(static_cast<DWORD>(kPollInterval.count()));
    }
}

GUITHREADINFO ThreadState(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
        Fail("cannot read the input state of the thread of " + Describe(window) + ": " + ErrorText(GetLastError()));
    }
    return info;
}

void BringToForeground(HWND window, Milliseconds timeout) {
    HWND root = GetAncestor(window, GA_ROOT);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (GetForegroundWindow() != root) {
        if (std::chrono::steady_clock::now() >= deadline) {
            Fail("timed out after " + std::to_string(timeout.count()) + " ms waiting for " + Describe(root) +
                 " to become the foreground window; it is " + Describe(GetForegroundWindow()));
        }
        SetForegroundWindow(root);
        Sleep(static_cast<DWORD>(kPollInterval.count()));
    }
}

void MoveMouse(POINT screen) {
    const long long width = GetSystemMetrics(SM_CXSCREEN);
    const long long height = GetSystemMetrics(SM_CYSCREEN);
    if (screen.x < 0 || screen.y < 0 || screen.x >= width || screen.y >= height) {
        Fail("cannot move the mouse to (" + std::to_string(screen.x) + ", " + std::to_string(screen.y) +
             "), off the " + std::to_string(width) + "x" + std::to_string(height) + " screen");
    }
    // Absolute moves are in 1/65536 of the screen; round up so the system's rounding down lands on the pixel.
    const auto dx = static_cast<LONG>((screen.x * 65536 + width - 1) / width);
    const auto dy = static_cast<LONG>((screen.y * 65536 + height - 1) / height);
    Send({MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, dx, dy)}, "a mouse move");
    POINT at{};
    WaitUntil([&] { return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y; },
              "the mouse to arrive at (" + std::to_string(screen.x) + ", " + std::to_string(screen.y) + ")",
              Milliseconds(2000));
}

void MouseDown(MouseButton button) {
    Send({MouseInput(ButtonFlag(button, false))}, "a mouse button press");
}

void MouseUp(MouseButton button) {
    Send({MouseInput(ButtonFlag(button, true))}, "a mouse button release");
}

void Click(POINT screen, MouseButton button) {
    MoveMouse(screen);
    MouseDown(button);
    MouseUp(button);
}

void ClickWindow(HWND window, MouseButton button) {
    BringToForeground(window);
    RECT rect{};
    GetWindowRect(window, &rect);
    const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    HWND hit = WindowFromPoint(centre);
    if (hit != window && !IsChild(window, hit)) {
        Fail("cannot click " + Describe(window) + ": its centre is covered by " + Describe(hit));
    }
    Click(centre, button);
}

void MouseWheel(int notches) {
    Send({MouseInput(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(notches * WHEEL_DELTA))}, "a wheel turn");
}

void KeyDown(WORD virtualKey) {
    Send({KeyInput(virtualKey, false)}, "a key press");
}

void KeyUp(WORD virtualKey) {
    Send({KeyInput(virtualKey, true)}, "a key release");
}

void PressKey(WORD virtualKey) {
    PressKeys({virtualKey});
}

void PressKeys(const std::vector<WORD>& virtualKeys) {
    std::vector<INPUT> inputs;
    for (WORD key : virtualKeys) {
        inputs.push_back(KeyInput(key, false));
    }
    for (auto key = virtualKeys.rbegin(); key != virtualKeys.rend(); ++key) {
        inputs.push_back(KeyInput(*key, true));
    }
    Send(inputs, "key presses");
}

void TypeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (const wchar_t c : text) {
        for (const bool up : {false, true}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            inputs.push_back(input);
        }
    }
    if (!inputs.empty()) {
        Send(inputs, "typed text");
    }
}

std::string SaveScreenshot(const std::string& name, Milliseconds timeout) {
    const char* folder = std::getenv("KESTRIX_SCREENSHOTS");
    if (folder == nullptr || *folder == '\0') {
        Fail("KESTRIX_SCREENSHOTS is not set; register the test with kx_add_wine_test");
    }
    const std::string png = std::string(folder) + "/" + name + ".png";
    const std::wstring dosPng = DosPath(png);
    const std::wstring dosFailed = DosPath(png + ".failed");
    DeleteFileW(dosPng.c_str());
    DeleteFileW(dosFailed.c_str());
    // $1 is the picture's path. It gets its name only when complete; errors land in $1.failed.
    const std::wstring script =
        L"PATH=/usr/bin:/bin:$PATH; mkdir -p \"${1%/*}\" && "
        L"{ import -window root \"png:$1.part\" 2>\"$1.log\" && mv \"$1.part\" \"$1\" && rm -f \"$1.log\" "
        L"|| mv \"$1.log\" \"$1.failed\"; }";
    std::wstring command = L"/bin/sh -c " + QuoteArgument(script) + L" sh " + QuoteArgument(Widen(png));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        Fail("could not start /bin/sh for a screenshot: " + ErrorText(GetLastError()));
    }
    // A Unix program comes without Windows handles.
    if (info.hThread != nullptr) {
        CloseHandle(info.hThread);
    }
    if (info.hProcess != nullptr) {
        CloseHandle(info.hProcess);
    }
    WaitUntil([&] { return FileExists(dosPng) || FileExists(dosFailed); }, "screenshot " + png, timeout);
    if (!FileExists(dosPng)) {
        Fail("screenshot " + png + " failed: " + ReadFileText(dosFailed));
    }
    return png;
}

void SaveScreenshotsOfFailures() {
    if (!gScreenshotsOfFailures) {
        gScreenshotsOfFailures = true;
        ::testing::UnitTest::GetInstance()->listeners().Append(new FailureScreenshots);
    }
}

}  // namespace kestrix::test
