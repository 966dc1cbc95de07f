// A status bar along the bottom of a form, with the size grip and no panels.
#pragma once

#include "ui/Control.h"

namespace kestrix {

class TStatusBar : public TControl {
public:
    TStatusBar(TControl* parent, int height);
};

}  // namespace kestrix
