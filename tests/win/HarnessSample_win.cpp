// The GUI harness's own subject: a window with an edit box and an OK button. OK ends it with
// exit code 0, Escape with 3, closing it any other way with 1. The caption is the first
// argument, so a test also sees that arguments arrive intact.
#include <windows.h>

#include <shellapi.h>

namespace {

constexpr wchar_t kClassName[] = L"KestrixHarnessSample";
constexpr int kEditId = 100;

int gExitCode = 1;
HWND gEdit = nullptr;

void Finish(HWND window, int exitCode) {
    gExitCode = exitCode;
    DestroyWindow(window);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
            gEdit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                    20, 20, 240, 24, window, reinterpret_cast<HMENU>(kEditId), nullptr, nullptr);
            HWND ok = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 280,
                                      20, 80, 26, window, reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
            SendMessageW(gEdit, WM_SETFONT, font, FALSE);
            SendMessageW(ok, WM_SETFONT, font, FALSE);
            return 0;
        }
        case WM_SETFOCUS:
            SetFocus(gEdit);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
                Finish(window, 0);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(gExitCode);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const wchar_t* caption = argc > 1 ? argv[1] : L"Harness sample";

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);

    RECT frame{0, 0, 380, 70};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExW(0, kClassName, caption, WS_OVERLAPPEDWINDOW, 100, 100, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    LocalFree(argv);
    if (window == nullptr) {
        return 2;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Escape ends the program wherever the focus is, so it is handled before any control sees it.
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            Finish(window, 3);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
