#include "ui/CheckBox.h"

namespace kestrix {

TCheckBox::TCheckBox(TControl* parent, int left, int top, int width, int height, const std::string& caption)
    : TControl(parent) {
    bounds_ = {left, top, left + width, top + height};
    CreateHandle("BUTTON", WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 0, caption);
}

bool TCheckBox::Checked() const { return SendMessageA(handle_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) {
    SendMessageA(handle_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

LRESULT TCheckBox::ChildCommand(WORD notification) {
    if (notification == BN_CLICKED && OnClick) OnClick();
    return 0;
}

}  // namespace kestrix
