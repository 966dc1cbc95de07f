#include "ui/StatusBar.h"

#include <commctrl.h>

namespace kestrix {

TStatusBar::TStatusBar(TControl* parent, int height) : TControl(parent) {
    bounds_ = {0, 0, 0, height};
    // We place it ourselves (Align::Bottom), so it must not move itself.
    CreateHandle(STATUSCLASSNAMEA, WS_VISIBLE | SBARS_SIZEGRIP | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0,
                 "");
    SendMessageA(handle_, SB_SIMPLE, TRUE, 0);
    SetAlign(Align::Bottom);
}

}  // namespace kestrix
