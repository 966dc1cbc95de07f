// A cool bar: a strip of bands along the top of a form, one band per row, each holding one
// control (a menu bar, a tool bar).
#pragma once

#include "ui/Control.h"

namespace kestrix {

class TCoolBar : public TControl {
public:
    TCoolBar(TControl* parent, int height);
    // Puts a child of this cool bar into a new band of the given height, below the others.
    void AddBand(TControl* child, int height);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int bands_ = 0;
};

}  // namespace kestrix
