#include "ui/CoolBar.h"

#include <commctrl.h>

namespace kestrix {

TCoolBar::TCoolBar(TControl* parent, int height) : TControl(parent) {
    bounds_ = {0, 0, 0, height};
    // Its height is ours to set: the bands must not resize it.
    CreateHandle(REBARCLASSNAMEA,
                 WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | RBS_VARHEIGHT | RBS_BANDBORDERS | CCS_NODIVIDER |
                     CCS_NOPARENTALIGN | CCS_NORESIZE,
                 0, "");
    SetAlign(Align::Top);
}

void TCoolBar::AddBand(TControl* child, int height) {
    REBARBANDINFOA band{};
    band.cbSize = REBARBANDINFOA_V3_SIZE;  // the oldest layout every version of the control takes
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
    band.fStyle = RBBS_GRIPPERALWAYS | (bands_ > 0 ? RBBS_BREAK : 0);
    band.hwndChild = child->Handle();
    band.cxMinChild = 0;
    band.cyMinChild = static_cast<UINT>(height);
    band.cx = static_cast<UINT>(Width());
    SendMessageA(handle_, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    ++bands_;
}

// Below the last band the bar is ours to paint, in the face colour.
LRESULT TCoolBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(handle_, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
    }
    return TControl::HandleMessage(message, wParam, lParam);
}

}  // namespace kestrix
