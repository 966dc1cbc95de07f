// A timer that ticks through the thread's message queue, as window timers do.
#pragma once

#include <windows.h>

#include <functional>

namespace kestrix {

class TTimer {
public:
    explicit TTimer(UINT intervalMilliseconds = 1000);
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    std::function<void()> OnTimer;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;  // a message-only window that receives the ticks
    UINT interval_;
    bool enabled_ = false;
};

}  // namespace kestrix
