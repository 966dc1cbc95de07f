// A flat button with a picture and no caption, as tool buttons are: its edge shows only
// while the mouse is over it or it is pressed. It takes no focus.
#pragma once

#include "base/Bitmap.h"
#include "ui/Control.h"

namespace kestrix {

class TSpeedButton : public TControl {
public:
    TSpeedButton(TControl* parent, int left, int top, int width, int height);
    // Fully transparent pixels of the glyph show the button's face.
    void SetGlyph(const TBitmap& glyph);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);

    TBitmap glyph_;
    bool hot_ = false;
    bool pressed_ = false;
};

}  // namespace kestrix
