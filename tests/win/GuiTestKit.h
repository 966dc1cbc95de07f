// End-to-end tests of real Windows windows, written as GoogleTest programs that run under Wine
// beside the program they drive.
//
// - Every wait polls with a timeout and, when the time is up, throws HarnessError naming what
//   it waited for; GoogleTest reports the message and fails the test.
// - Input is real: SendInput puts it into the system's input queue, so it reaches windows the
//   way a user's input does (foreground, focus, hit testing). Reading state (WM_GETTEXT and the
//   like) is fine, but never post input messages to a window.
// - Screenshots: Wine starts a Unix program when CreateProcess is given its Unix path, but gives
//   back no handle to wait on. SaveScreenshot therefore runs `/bin/sh` with a short script that
//   lets ImageMagick's `import -window root` write a temporary file and renames it to NAME.png
//   once it is complete; the test polls for that name. The folder comes from KESTRIX_SCREENSHOTS,
//   which kx_add_wine_test sets to build/<tree>/screenshots.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrix::test {

using Milliseconds = std::chrono::milliseconds;
constexpr Milliseconds kDefaultTimeout{20000};

class HarnessError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Polls `condition` until it holds; throws "timed out after N ms waiting for WHAT" otherwise.
void WaitUntil(const std::function<bool()>& condition, const std::string& what,
               Milliseconds timeout = kDefaultTimeout);

// ctest hands Windows tests Unix paths; this gives the Windows path Wine maps one to. Any other
// path comes back unchanged.
std::wstring DosPath(const std::string& path);
// One argument quoted for a command line as CommandLineToArgvW splits it.
std::wstring QuoteArgument(const std::wstring& argument);
std::string Narrow(const std::wstring& text);  // UTF-8, for messages

// A started program. It is killed when the object goes while it still runs, so a failed test
// leaves no window behind for the next one.
class Process {
public:
    Process() = default;
    Process(HANDLE handle, DWORD id, std::wstring name);
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    HANDLE Handle() const { return handle_; }
    DWORD Id() const { return id_; }
    const std::wstring& Name() const { return name_; }
    bool Running() const;
    // The exit code; a program still running after `timeout` is killed and HarnessError thrown.
    int WaitForExit(Milliseconds timeout = kDefaultTimeout);
    void Kill();

private:
    void Close();

    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
    std::wstring name_;
};

Process StartProcess(const std::wstring& program, const std::vector<std::wstring>& arguments = {});

// What a window must have; an empty field matches anything.
struct WindowMatch {
    std::wstring className;
    std::wstring caption;
};

struct WindowInfo {
    HWND handle = nullptr;
    int id = 0;  // control id of a child window
    std::wstring className;
    std::wstring text;
    DWORD style = 0;
    DWORD exStyle = 0;
    bool visible = false;
    RECT rect{};  // GetWindowRect: outer edges on the screen
    SIZE clientSize{};
};

struct ChildWindow : WindowInfo {
    RECT inParent{};  // outer edges relative to the parent's client area
};

// A visible top-level window of the process; fails early when the process exits meanwhile.
HWND WaitForWindow(const Process& process, const WindowMatch& match, Milliseconds timeout = kDefaultTimeout);

WindowInfo DescribeWindow(HWND window);
// WM_GETTEXT, so it also reads the contents of another process's edit controls.
std::wstring WindowText(HWND window);
std::wstring WindowClass(HWND window);
// All descendants, in Z order, with rectangles relative to `parent`'s client area.
std::vector<ChildWindow> ChildWindows(HWND parent);
// The first descendant that matches, once there is one.
ChildWindow WaitForChild(HWND parent, const WindowMatch& match, Milliseconds timeout = kDefaultTimeout);
// Focus, capture and active window of the thread that owns `window`, as that thread sees them.
GUITHREADINFO ThreadState(HWND window);

enum class MouseButton { Left, Right, Middle };

// Makes the window's top-level window the foreground window, which then gets the keyboard.
void BringToForeground(HWND window, Milliseconds timeout = kDefaultTimeout);
// Screen coordinates of the primary monitor.
void MoveMouse(POINT screen);
void MouseDown(MouseButton button = MouseButton::Left);
void MouseUp(MouseButton button = MouseButton::Left);
void Click(POINT screen, MouseButton button = MouseButton::Left);
// Brings the window forward and clicks its centre, after checking nothing covers that point.
void ClickWindow(HWND window, MouseButton button = MouseButton::Left);
// Positive notches turn the wheel away from the user.
void MouseWheel(int notches);

void KeyDown(WORD virtualKey);
void KeyUp(WORD virtualKey);
void PressKey(WORD virtualKey);
// Presses the keys in order and releases them in reverse, as in PressKeys({VK_CONTROL, 'A'}).
void PressKeys(const std::vector<WORD>& virtualKeys);
// Types characters into whatever has the keyboard focus; line breaks go with PressKey(VK_RETURN).
void TypeText(const std::wstring& text);

// Saves the whole X display as KESTRIX_SCREENSHOTS/NAME.png and returns that (Unix) path.
std::string SaveScreenshot(const std::string& name, Milliseconds timeout = kDefaultTimeout);
// Installs a GoogleTest listener that saves SUITE.TEST-failed.png whenever a test fails.
void SaveScreenshotsOfFailures();

}  // namespace kestrix::test
