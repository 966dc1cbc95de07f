// Edit boxes with a flat one-pixel bevel and no border: the one-line TEdit (also read-only)
// and the multi-line TMemo with a choice of scroll bars.
#pragma once

#include "ui/Control.h"

namespace kestrix {

class TEdit : public TControl {
public:
    TEdit(TControl* parent, int left, int top, int width, int height, bool readOnly = false);

    // Runs whenever the text changes, by typing or by SetText.
    std::function<void()> OnChange;

    LRESULT ChildCommand(WORD notification) override;
    HBRUSH ChildColor(HDC dc) override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class TMemo : public TControl {
public:
    TMemo(TControl* parent, int left, int top, int width, int height);

    std::string Text() const;
    void SetText(const std::string& text);  // line breaks as given: CR LF
    // A horizontal scroll bar also turns word wrap off, so long lines can be scrolled to.
    void SetScrollBars(bool vertical, bool horizontal);
    bool HasVerticalScrollBar() const { return vertical_; }
    bool HasHorizontalScrollBar() const { return horizontal_; }
    HWND EditHandle() const;

    std::function<void()> OnChange;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    class Edit;
    void CreateEdit();

    Edit* edit_ = nullptr;
    bool vertical_ = false;
    bool horizontal_ = false;
};

}  // namespace kestrix
