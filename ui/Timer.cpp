#include "ui/Timer.h"

#include "ui/Application.h"

namespace kestrix {

namespace {
constexpr const char* kTimerClass = "TTimer";
constexpr UINT_PTR kTimerId = 1;
}  // namespace

TTimer::TTimer(UINT intervalMilliseconds) : interval_(intervalMilliseconds) {
    WNDCLASSEXA windowClass{sizeof windowClass};
    if (!GetClassInfoExA(GetModuleHandleA(nullptr), kTimerClass, &windowClass)) {
        windowClass = {sizeof windowClass};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kTimerClass;
        RegisterClassExA(&windowClass);
    }
    window_ = CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                              nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TTimer::~TTimer() {
    SetEnabled(false);
    DestroyWindow(window_);
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (enabled) SetTimer(window_, kTimerId, interval_, nullptr);
    else KillTimer(window_, kTimerId);
}

LRESULT CALLBACK TTimer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (timer && timer->enabled_ && timer->OnTimer) {
            if (Application) Application->Guarded(timer->OnTimer);
            else timer->OnTimer();
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace kestrix
