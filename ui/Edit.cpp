#include "ui/Edit.h"

namespace kestrix {

namespace {

constexpr const char* kMemoClass = "TMemo";
constexpr int kBevel = 2;  // the flat bevel: a shadow line and a face-coloured line inside it

void DrawFlatBevel(HDC dc, RECT r) { DrawEdge(dc, &r, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT | BF_FLAT); }

}  // namespace

TEdit::TEdit(TControl* parent, int left, int top, int width, int height, bool readOnly) : TControl(parent) {
    bounds_ = {left, top, left + width, top + height};
    CreateHandle("EDIT", WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | (readOnly ? ES_READONLY : 0), 0, "");
    // The bevel takes its place in the frame only once our handler sees WM_NCCALCSIZE.
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TEdit::ChildCommand(WORD notification) {
    if (notification == EN_CHANGE && OnChange) OnChange();
    return 0;
}

// Read-only and disabled edits stay white, as the writable ones are.
HBRUSH TEdit::ChildColor(HDC dc) {
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(IsWindowEnabled(handle_) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    return GetSysColorBrush(COLOR_WINDOW);
}

LRESULT TEdit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCALCSIZE: {
            const LRESULT result = TControl::HandleMessage(message, wParam, lParam);
            RECT* client = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                                  : reinterpret_cast<RECT*>(lParam);
            InflateRect(client, -kBevel, -kBevel);
            return result;
        }
        case WM_NCPAINT: {
            HDC dc = GetWindowDC(handle_);
            RECT r;
            GetWindowRect(handle_, &r);
            OffsetRect(&r, -r.left, -r.top);
            DrawFlatBevel(dc, r);
            ReleaseDC(handle_, dc);
            return 0;
        }
    }
    return TControl::HandleMessage(message, wParam, lParam);
}

// The edit window inside the memo's bevel. Tab and Escape are left to the window, so they
// move the focus and cancel as in the rest of it.
class TMemo::Edit : public TControl {
public:
    Edit(TControl* parent, TMemo* memo, DWORD scrollStyle) : TControl(parent), memo_(memo) {
        bounds_ = {kBevel, kBevel, memo->Width() - kBevel, memo->Height() - kBevel};
        const DWORD wrap = (scrollStyle & WS_HSCROLL) ? ES_AUTOHSCROLL : 0;
        CreateHandle("EDIT",
                     WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | wrap |
                         scrollStyle,
                     0, "");
    }

    LRESULT ChildCommand(WORD notification) override {
        if (notification == EN_CHANGE && memo_->OnChange) memo_->OnChange();
        return 0;
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_GETDLGCODE) {
            LRESULT code = TControl::HandleMessage(message, wParam, lParam);
            const MSG* key = reinterpret_cast<const MSG*>(lParam);
            if (key && key->message == WM_KEYDOWN && (key->wParam == VK_TAB || key->wParam == VK_ESCAPE))
                code &= ~(DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
            return code;
        }
        return TControl::HandleMessage(message, wParam, lParam);
    }

private:
    TMemo* memo_;
};

TMemo::TMemo(TControl* parent, int left, int top, int width, int height) : TControl(parent) {
    RegisterClassOnce(kMemoClass, LoadCursor(nullptr, IDC_IBEAM));
    bounds_ = {left, top, left + width, top + height};
    CreateHandle(kMemoClass, WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, "");
    CreateEdit();
}

// Scroll bars and word wrap are styles that only a new edit window takes on.
void TMemo::CreateEdit() {
    const DWORD scrollStyle = (vertical_ ? WS_VSCROLL : 0) | (horizontal_ ? WS_HSCROLL : 0);
    const std::string text = edit_ ? edit_->Text() : std::string();
    const bool focused = edit_ && GetFocus() == edit_->Handle();
    // The text stays what it was, so there is no change to report.
    const std::function<void()> onChange = std::move(OnChange);
    children_.clear();
    edit_ = Add<Edit>(this, scrollStyle);
    edit_->SetText(text);
    OnChange = onChange;
    if (focused) SetFocus(edit_->Handle());
}

std::string TMemo::Text() const { return edit_->Text(); }

void TMemo::SetText(const std::string& text) { edit_->SetText(text); }

void TMemo::SetScrollBars(bool vertical, bool horizontal) {
    if (vertical == vertical_ && horizontal == horizontal_) return;
    vertical_ = vertical;
    horizontal_ = horizontal;
    CreateEdit();
}

HWND TMemo::EditHandle() const { return edit_->Handle(); }

LRESULT TMemo::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(handle_, &paint);
            RECT r;
            GetClientRect(handle_, &r);
            DrawFlatBevel(dc, r);
            EndPaint(handle_, &paint);
            return 0;
        }
        case WM_CLOSE:
            return 0;  // a multi-line edit asks its parent to close on Escape; the window decides that
    }
    return TControl::HandleMessage(message, wParam, lParam);
}

}  // namespace kestrix
