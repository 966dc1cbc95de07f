// A group box of radio buttons of which at most one is chosen; ItemIndex -1 means none.
#pragma once

#include <vector>

#include "ui/GroupBox.h"

namespace kestrix {

class TRadioGroup : public TGroupBox {
public:
    TRadioGroup(TControl* parent, int left, int top, int width, int height, const std::string& caption,
                const std::vector<std::string>& items);

    int ItemIndex() const { return itemIndex_; }
    // An index below -1 or past the last item is cut to the nearest of them. OnClick runs
    // when the chosen item changes, whether by a click or by this call.
    void SetItemIndex(int index);
    int Count() const { return static_cast<int>(buttons_.size()); }

private:
    class Button;
    void ButtonClicked(const Button* button);
    void UpdateTabStop();

    std::vector<Button*> buttons_;
    int itemIndex_ = -1;
};

}  // namespace kestrix
