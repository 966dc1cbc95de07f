#include "ui/SpeedButton.h"

#include "ui/StdControls.h"

namespace kestrix {

namespace {
constexpr const char* kSpeedButtonClass = "TSpeedButton";
}  // namespace

TSpeedButton::TSpeedButton(TControl* parent, int left, int top, int width, int height) : TControl(parent) {
    RegisterClassOnce(kSpeedButtonClass);
    bounds_ = {left, top, left + width, top + height};
    CreateHandle(kSpeedButtonClass, WS_VISIBLE, 0, "");
}

void TSpeedButton::SetGlyph(const TBitmap& glyph) {
    glyph_ = glyph;
    InvalidateRect(handle_, nullptr, TRUE);
}

void TSpeedButton::Paint(HDC dc) {
    RECT r;
    GetClientRect(handle_, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (pressed_ && hot_) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    else if (hot_ || pressed_) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    if (glyph_.Empty()) return;
    // The glyph over the face colour, then drawn as a plain picture.
    TBitmap shown = glyph_;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const uint32_t faceArgb = 0xFF000000u | (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    for (uint32_t& pixel : shown.Pixels())
        if ((pixel >> 24) == 0) pixel = faceArgb;
    const HBITMAP dib = CreateDibFromBitmap(shown);
    HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(memory, dib);
    const int offset = pressed_ && hot_ ? 1 : 0;
    const int x = (r.right - shown.Width()) / 2 + offset;
    const int y = (r.bottom - shown.Height()) / 2 + offset;
    BitBlt(dc, x, y, shown.Width(), shown.Height(), memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
}

LRESULT TSpeedButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(handle_, &paint);
            Paint(dc);
            EndPaint(handle_, &paint);
            return 0;
        }
        case WM_MOUSEMOVE: {
            RECT r;
            GetClientRect(handle_, &r);
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            const bool over = PtInRect(&r, at) != FALSE;
            if (over && !hot_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
                TrackMouseEvent(&track);
            }
            if (over != hot_) {
                hot_ = over;
                InvalidateRect(handle_, nullptr, FALSE);
            }
            return 0;
        }
        case WM_MOUSELEAVE:
            hot_ = false;
            InvalidateRect(handle_, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
            pressed_ = true;
            hot_ = true;
            SetCapture(handle_);
            InvalidateRect(handle_, nullptr, FALSE);
            return 0;
        case WM_LBUTTONUP: {
            const bool clicked = pressed_ && hot_;
            pressed_ = false;
            ReleaseCapture();
            InvalidateRect(handle_, nullptr, FALSE);
            if (clicked && OnClick) OnClick();
            return 0;
        }
        case WM_CAPTURECHANGED:
            pressed_ = false;
            InvalidateRect(handle_, nullptr, FALSE);
            break;
    }
    return TControl::HandleMessage(message, wParam, lParam);
}

}  // namespace kestrix
