#include "ui/RadioGroup.h"

namespace kestrix {

class TRadioGroup::Button : public TControl {
public:
    Button(TControl* parent, TRadioGroup* group, const std::string& caption, RECT place, bool first)
        : TControl(parent), group_(group) {
        bounds_ = place;
        CreateHandle("BUTTON", WS_VISIBLE | BS_AUTORADIOBUTTON | (first ? WS_GROUP : 0), 0, caption);
    }

    LRESULT ChildCommand(WORD notification) override {
        if (notification == BN_CLICKED) group_->ButtonClicked(this);
        return 0;
    }

private:
    TRadioGroup* group_;
};

TRadioGroup::TRadioGroup(TControl* parent, int left, int top, int width, int height, const std::string& caption,
                         const std::vector<std::string>& items)
    : TGroupBox(parent, left, top, width, height, caption) {
    if (items.empty()) return;
    // The items share the room below the caption evenly, the odd pixels split above and below.
    const int count = static_cast<int>(items.size());
    const int captionHeight = CaptionHeight();
    const int room = height - captionHeight - 5;
    const int itemHeight = room / count;
    const int firstTop = captionHeight + 1 + (room % count) / 2;
    for (int i = 0; i < count; ++i) {
        const RECT place{8, firstTop + i * itemHeight, width - 2, firstTop + (i + 1) * itemHeight};
        buttons_.push_back(Add<Button>(this, items[static_cast<size_t>(i)], place, i == 0));
    }
    UpdateTabStop();
}

void TRadioGroup::SetItemIndex(int index) {
    if (index < -1) index = -1;
    if (index >= Count()) index = Count() - 1;
    for (int i = 0; i < Count(); ++i)
        SendMessageA(buttons_[static_cast<size_t>(i)]->Handle(), BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED,
                     0);
    if (index == itemIndex_) return;
    itemIndex_ = index;
    UpdateTabStop();
    if (OnClick) OnClick();
}

void TRadioGroup::ButtonClicked(const Button* button) {
    for (int i = 0; i < Count(); ++i)
        if (buttons_[static_cast<size_t>(i)] == button) SetItemIndex(i);
}

// Tab reaches the group at its chosen item, or at the first one while none is chosen.
void TRadioGroup::UpdateTabStop() {
    for (int i = 0; i < Count(); ++i) {
        const HWND handle = buttons_[static_cast<size_t>(i)]->Handle();
        const LONG_PTR style = GetWindowLongPtrA(handle, GWL_STYLE);
        const bool stop = i == (itemIndex_ < 0 ? 0 : itemIndex_);
        SetWindowLongPtrA(handle, GWL_STYLE, stop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
}

}  // namespace kestrix
