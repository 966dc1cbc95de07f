// A group box: an etched frame with its caption in the top edge, holding controls.
#pragma once

#include "ui/Control.h"

namespace kestrix {

class TGroupBox : public TControl {
public:
    // The caption is drawn as given, blanks included (" Scale ").
    TGroupBox(TControl* parent, int left, int top, int width, int height, const std::string& caption);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    int CaptionHeight() const;
};

}  // namespace kestrix
