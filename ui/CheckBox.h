// A check box with its caption to the right of the box.
#pragma once

#include "ui/Control.h"

namespace kestrix {

class TCheckBox : public TControl {
public:
    TCheckBox(TControl* parent, int left, int top, int width, int height, const std::string& caption);
    bool Checked() const;
    void SetChecked(bool checked);
    LRESULT ChildCommand(WORD notification) override;  // OnClick when the user ticks it
};

}  // namespace kestrix
