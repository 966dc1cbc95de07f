// The standard controls the windows need: panel, label (also as a link), image, memo,
// button and line shape.
#pragma once

#include "base/Bitmap.h"
#include "ui/Colors.h"
#include "ui/Control.h"

namespace kestrix {

enum class PanelBevel { None, Raised, Lowered };

// A flat panel: a plain area in the button-face colour that holds and aligns controls. It
// can take another colour and a one-pixel bevel, and reports clicks through OnClick.
class TPanel : public TControl {
public:
    TPanel(TControl* parent, int left, int top, int width, int height);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    void SetBevel(PanelBevel bevel);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    TColor color_ = clBtnFace;
    PanelBevel bevel_ = PanelBevel::None;
    bool pressed_ = false;  // the left button went down on the panel
};

// A text label; as a link it is navy, underlined, transparent and shows the hand cursor.
class TLabel : public TControl {
public:
    TLabel(TControl* parent, int left, int top, const std::string& caption, HFONT font = nullptr);
    void SetCaption(const std::string& caption);
    void MakeLink();
    HBRUSH ChildColor(HDC dc) override;
    LRESULT ChildCommand(WORD notification) override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FitToText();
    bool isLink_ = false;
};

// An image that sizes itself to its picture.
class TImage : public TControl {
public:
    TImage(TControl* parent, int left, int top);
    ~TImage() override;
    void SetPicture(const TBitmap& bitmap);
    const TBitmap& Picture() const { return picture_; }
    // A transparent picture leaves out the colour of its bottom-left pixel, so the parent's
    // face colour shows there.
    void SetTransparent(bool transparent);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    TBitmap picture_;
    HBITMAP dib_ = nullptr;
    bool transparent_ = false;
};

// A read-only, multi-line memo on silver with a lowered inner and a raised outer bevel.
class TReadOnlyMemo : public TControl {
public:
    TReadOnlyMemo(TControl* parent, int left, int top, int width, int height);
    void SetLines(const std::string& text);  // line breaks of any kind
    void SetScrollBars(bool vertical, bool horizontal);
    HWND EditHandle() const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    class Edit;
    void CreateEdit();
    Edit* edit_ = nullptr;
    bool vertical_ = false;
    bool horizontal_ = false;
};

class TButton : public TControl {
public:
    TButton(TControl* parent, int left, int top, int width, int height, const std::string& caption);
    LRESULT ChildCommand(WORD notification) override;
};

// A line of one colour, 1 pixel high.
class TShape : public TControl {
public:
    TShape(TControl* parent, int left, int top, int width, int height, COLORREF color);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    COLORREF color_;
};

// A device-independent bitmap of the picture, for drawing with GDI.
HBITMAP CreateDibFromBitmap(const TBitmap& bitmap);

}  // namespace kestrix
