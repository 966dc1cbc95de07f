#include "ui/StdControls.h"

#include <cstring>

namespace kestrix {

namespace {

constexpr const char* kPanelClass = "TPanel";
constexpr const char* kImageClass = "TImage";
constexpr const char* kShapeClass = "TShape";
constexpr const char* kMemoFrameClass = "TMemoFrame";
constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr int kBevel = 2;  // the memo's two one-pixel bevels

int NextControlId() {
    static int id = 100;
    return ++id;
}

}  // namespace

HBITMAP CreateDibFromBitmap(const TBitmap& bitmap) {
    if (bitmap.Empty()) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bitmap.Width();
    info.bmiHeader.biHeight = -bitmap.Height();  // top-down, as the pixels are kept
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && bits) std::memcpy(bits, bitmap.Pixels().data(), bitmap.Pixels().size() * sizeof(uint32_t));
    return dib;
}

TPanel::TPanel(TControl* parent, int left, int top, int width, int height) : TControl(parent) {
    RegisterClassOnce(kPanelClass);
    bounds_ = {left, top, left + width, top + height};
    CreateHandle(kPanelClass, WS_VISIBLE | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, "");
}

void TPanel::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    InvalidateRect(handle_, nullptr, TRUE);
}

void TPanel::SetBevel(PanelBevel bevel) {
    bevel_ = bevel;
    InvalidateRect(handle_, nullptr, TRUE);
}

LRESULT TPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            if (color_ == clBtnFace) break;  // the class brush is the face colour
            RECT r;
            GetClientRect(handle_, &r);
            const HBRUSH brush = CreateSolidBrush(ColorToRGB(color_));
            FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
            DeleteObject(brush);
            return TRUE;
        }
        case WM_PAINT: {
            if (bevel_ == PanelBevel::None) break;
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(handle_, &paint);
            RECT r;
            GetClientRect(handle_, &r);
            DrawEdge(dc, &r, bevel_ == PanelBevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
            EndPaint(handle_, &paint);
            return 0;
        }
        // A click is a press and a release on the panel, as with a button.
        case WM_LBUTTONDOWN:
            if (!OnClick) break;
            pressed_ = true;
            SetCapture(handle_);
            return 0;
        case WM_LBUTTONUP: {
            if (!pressed_) break;
            pressed_ = false;
            ReleaseCapture();
            RECT r;
            GetClientRect(handle_, &r);
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (PtInRect(&r, at) && OnClick) OnClick();
            return 0;
        }
        case WM_CAPTURECHANGED:
            pressed_ = false;
            break;
    }
    return TControl::HandleMessage(message, wParam, lParam);
}

TLabel::TLabel(TControl* parent, int left, int top, const std::string& caption, HFONT font) : TControl(parent) {
    bounds_ = {left, top, left, top};
    font_ = font;
    CreateHandle("STATIC", WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0, caption);
    FitToText();
}

void TLabel::SetCaption(const std::string& caption) {
    SetText(caption);
    FitToText();
}

// Labels size themselves to their text, so a link is clickable exactly where it shows.
void TLabel::FitToText() {
    const std::string text = Text();
    HDC dc = GetDC(handle_);
    const HGDIOBJ old = SelectObject(dc, font_);
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(handle_, dc);
    SetBounds(bounds_.left, bounds_.top, size.cx, metrics.tmHeight);
}

void TLabel::MakeLink() {
    isLink_ = true;
    LOGFONTA description{};
    GetObjectA(font_, sizeof description, &description);
    SetFont(TahomaFont(-description.lfHeight, description.lfWeight >= FW_BOLD, true));
    FitToText();
}

HBRUSH TLabel::ChildColor(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, isLink_ ? kNavy : GetSysColor(COLOR_BTNTEXT));
    return GetSysColorBrush(COLOR_BTNFACE);
}

LRESULT TLabel::ChildCommand(WORD notification) {
    if (notification == STN_CLICKED && OnClick) OnClick();
    return 0;
}

LRESULT TLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETCURSOR && isLink_) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    }
    return TControl::HandleMessage(message, wParam, lParam);
}

TImage::TImage(TControl* parent, int left, int top) : TControl(parent) {
    RegisterClassOnce(kImageClass);
    bounds_ = {left, top, left, top};
    CreateHandle(kImageClass, WS_VISIBLE, 0, "");
}

TImage::~TImage() {
    if (dib_) DeleteObject(dib_);
}

void TImage::SetPicture(const TBitmap& bitmap) {
    picture_ = bitmap;
    if (dib_) DeleteObject(dib_);
    dib_ = CreateDibFromBitmap(picture_);
    SetBounds(bounds_.left, bounds_.top, picture_.Width(), picture_.Height());
    InvalidateRect(handle_, nullptr, TRUE);
}

void TImage::SetTransparent(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    // Drawn only where its picture is, it must not draw over the siblings it overlaps.
    const LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
    SetWindowLongPtrA(handle_, GWL_STYLE, transparent ? style | WS_CLIPSIBLINGS : style & ~WS_CLIPSIBLINGS);
    InvalidateRect(handle_, nullptr, TRUE);
}

LRESULT TImage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(handle_, &paint);
        if (dib_ && transparent_) {
            HDC memory = CreateCompatibleDC(dc);
            const HGDIOBJ old = SelectObject(memory, dib_);
            const uint32_t corner = picture_.Pixel(0, picture_.Height() - 1);
            const COLORREF key = RGB((corner >> 16) & 0xFF, (corner >> 8) & 0xFF, corner & 0xFF);
            TransparentBlt(dc, 0, 0, picture_.Width(), picture_.Height(), memory, 0, 0, picture_.Width(),
                           picture_.Height(), key);
            SelectObject(memory, old);
            DeleteDC(memory);
        } else if (dib_) {
            HDC memory = CreateCompatibleDC(dc);
            const HGDIOBJ old = SelectObject(memory, dib_);
            BitBlt(dc, 0, 0, picture_.Width(), picture_.Height(), memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
        }
        EndPaint(handle_, &paint);
        return 0;
    }
    return TControl::HandleMessage(message, wParam, lParam);
}

// The edit window inside the memo's bevelled frame.
class TReadOnlyMemo::Edit : public TControl {
public:
    Edit(TControl* parent, DWORD scrollStyle, int width, int height) : TControl(parent) {
        bounds_ = {kBevel, kBevel, width - kBevel, height - kBevel};
        const DWORD wrap = (scrollStyle & WS_HSCROLL) ? ES_AUTOHSCROLL : 0;
        CreateHandle("EDIT", WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | wrap | scrollStyle,
                     0, "");
    }
    HBRUSH ChildColor(HDC dc) override {
        static const HBRUSH silver = CreateSolidBrush(kSilver);
        SetBkColor(dc, kSilver);
        return silver;
    }
};

TReadOnlyMemo::TReadOnlyMemo(TControl* parent, int left, int top, int width, int height) : TControl(parent) {
    RegisterClassOnce(kMemoFrameClass);
    bounds_ = {left, top, left + width, top + height};
    CreateHandle(kMemoFrameClass, WS_VISIBLE, WS_EX_CONTROLPARENT, "");
    CreateEdit();
}

void TReadOnlyMemo::CreateEdit() {
    const DWORD scrollStyle = (vertical_ ? WS_VSCROLL : 0) | (horizontal_ ? WS_HSCROLL : 0);
    const std::string text = edit_ ? edit_->Text() : std::string();
    children_.clear();
    edit_ = Add<Edit>(scrollStyle, Width(), Height());
    edit_->SetText(text);
}

void TReadOnlyMemo::SetLines(const std::string& text) {
    std::string lines;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            lines += text[i];
        }
    }
    edit_->SetText(lines);
}

// Scroll bars change the edit window's style, which only a new window takes on.
void TReadOnlyMemo::SetScrollBars(bool vertical, bool horizontal) {
    if (vertical == vertical_ && horizontal == horizontal_) return;
    vertical_ = vertical;
    horizontal_ = horizontal;
    CreateEdit();
}

HWND TReadOnlyMemo::EditHandle() const { return edit_->Handle(); }

LRESULT TReadOnlyMemo::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(handle_, &paint);
        RECT r;
        GetClientRect(handle_, &r);
        DrawEdge(dc, &r, BDR_RAISEDOUTER | BDR_SUNKENINNER, BF_RECT);
        EndPaint(handle_, &paint);
        return 0;
    }
    return TControl::HandleMessage(message, wParam, lParam);
}

TButton::TButton(TControl* parent, int left, int top, int width, int height, const std::string& caption)
    : TControl(parent) {
    bounds_ = {left, top, left + width, top + height};
    CreateHandle("BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, caption);
    SetWindowLongPtrA(handle_, GWLP_ID, NextControlId());
}

LRESULT TButton::ChildCommand(WORD notification) {
    if (notification == BN_CLICKED && OnClick) OnClick();
    return 0;
}

TShape::TShape(TControl* parent, int left, int top, int width, int height, COLORREF color)
    : TControl(parent), color_(color) {
    RegisterClassOnce(kShapeClass);
    bounds_ = {left, top, left + width, top + height};
    CreateHandle(kShapeClass, WS_VISIBLE, 0, "");
}

LRESULT TShape::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(handle_, &paint);
        RECT r;
        GetClientRect(handle_, &r);
        HBRUSH brush = CreateSolidBrush(color_);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EndPaint(handle_, &paint);
        return 0;
    }
    return TControl::HandleMessage(message, wParam, lParam);
}

}  // namespace kestrix
