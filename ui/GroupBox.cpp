#include "ui/GroupBox.h"

namespace kestrix {

namespace {
constexpr const char* kGroupBoxClass = "TGroupBox";
constexpr int kCaptionLeft = 8;
}  // namespace

TGroupBox::TGroupBox(TControl* parent, int left, int top, int width, int height, const std::string& caption)
    : TControl(parent) {
    RegisterClassOnce(kGroupBoxClass);
    bounds_ = {left, top, left + width, top + height};
    CreateHandle(kGroupBoxClass, WS_VISIBLE | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, caption);
}

int TGroupBox::CaptionHeight() const {
    HDC dc = GetDC(handle_);
    const HGDIOBJ old = SelectObject(dc, font_);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(handle_, dc);
    return metrics.tmHeight;
}

LRESULT TGroupBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(handle_, &paint);
        RECT r;
        GetClientRect(handle_, &r);
        const std::string caption = Text();
        const HGDIOBJ old = SelectObject(dc, font_);
        SIZE size{0, 0};
        GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
        // The frame's top edge runs through the middle of the caption.
        RECT frame = r;
        frame.top = size.cy / 2;
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(IsWindowEnabled(handle_) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        SetBkMode(dc, OPAQUE);
        TextOutA(dc, kCaptionLeft, 0, caption.c_str(), static_cast<int>(caption.size()));
        SelectObject(dc, old);
        EndPaint(handle_, &paint);
        return 0;
    }
    return TControl::HandleMessage(message, wParam, lParam);
}

}  // namespace kestrix
