#include "ui/Control.h"

#include <map>
#include <tuple>

#include "base/Exception.h"
#include "base/SystemError.h"

namespace kestrix {

namespace {

constexpr const char* kUserDataOwner = "KestrixControl";

}  // namespace

HFONT TahomaFont(int pixelHeight, bool bold, bool underline) {
    // Fonts live as long as the process; there are only a handful.
    static std::map<std::tuple<int, bool, bool>, HFONT> fonts;
    HFONT& font = fonts[{pixelHeight, bold, underline}];
    if (!font)
        font = CreateFontA(-pixelHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
    return font;
}

TControl::~TControl() {
    children_.clear();
    DestroyHandle();
}

void TControl::DestroyHandle() {
    if (!handle_) return;
    const HWND handle = handle_;
    handle_ = nullptr;
    RemovePropA(handle, kUserDataOwner);
    if (systemProc_) SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(systemProc_));
    DestroyWindow(handle);
}

TControl* TControl::FromHandle(HWND handle) { return static_cast<TControl*>(GetPropA(handle, kUserDataOwner)); }

void TControl::RegisterClassOnce(const char* className, HCURSOR cursor) {
    WNDCLASSEXA existing{sizeof existing};
    if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &existing)) return;
    WNDCLASSEXA windowClass{sizeof windowClass};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    windowClass.hIcon = LoadIcon(GetModuleHandleA(nullptr), MAKEINTRESOURCE(1));
    if (!RegisterClassExA(&windowClass)) throw Exception("Cannot register the window class " + std::string(className));
}

void TControl::CreateHandle(const char* className, DWORD style, DWORD exStyle, const std::string& text) {
    const HWND parentHandle = parent_ ? parent_->Handle() : nullptr;
    if (parentHandle) style |= WS_CHILD;
    const int width = bounds_.right - bounds_.left;
    const int height = bounds_.bottom - bounds_.top;
    handle_ = CreateWindowExA(exStyle, className, text.c_str(), style, bounds_.left, bounds_.top, width, height,
                              parentHandle, nullptr, GetModuleHandleA(nullptr), this);
    if (!handle_)
        throw Exception("Cannot create a window of the class " + std::string(className) + ": " +
                        SystemErrorMessage(GetLastError()));
    if (!GetPropA(handle_, kUserDataOwner)) {
        // A system class: take its messages first, then pass them on.
        SetPropA(handle_, kUserDataOwner, this);
        systemProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
    }
    SetFont(font_ ? font_ : TahomaFont(kDefaultFontHeight));
}

LRESULT CALLBACK TControl::WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* control = static_cast<TControl*>(create->lpCreateParams);
        if (control) {
            control->handle_ = handle;
            SetPropA(handle, kUserDataOwner, control);
        }
    }
    TControl* control = FromHandle(handle);
    if (!control || !control->handle_) {
        return DefWindowProcA(handle, message, wParam, lParam);
    }
    return control->HandleMessage(message, wParam, lParam);
}

LRESULT TControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam) {
                if (TControl* child = FromHandle(reinterpret_cast<HWND>(lParam)))
                    return child->ChildItemCommand(LOWORD(wParam), HIWORD(wParam));
            }
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            LRESULT result = 0;
            TControl* child = header ? FromHandle(header->hwndFrom) : nullptr;
            if (child && child != this && child->ChildNotify(*header, result)) return result;
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
            if (TControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
                if (HBRUSH brush = child->ChildColor(reinterpret_cast<HDC>(wParam)))
                    return reinterpret_cast<LRESULT>(brush);
            }
            break;
        case WM_SIZE:
            Realign();
            break;
        case WM_CLOSE:
            // A multi-line edit asks its parent to close on Escape; only forms close.
            if (parent_) return 0;
            break;
        case WM_SYSCOMMAND:
            // Alt with a letter reaches the control with the focus; the form owns the menus.
            if ((wParam & 0xFFF0) == SC_KEYMENU && (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD))
                return SendMessageA(GetAncestor(handle_, GA_ROOT), message, wParam, lParam);
            break;
    }
    if (systemProc_) return CallWindowProcA(systemProc_, handle_, message, wParam, lParam);
    return DefWindowProcA(handle_, message, wParam, lParam);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    bounds_ = {left, top, left + width, top + height};
    if (handle_) MoveWindow(handle_, left, top, width, height, TRUE);
}

void TControl::SetAlign(Align align) {
    align_ = align;
    if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
    if (handle_) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void TControl::SetEnabled(bool enabled) {
    if (handle_) EnableWindow(handle_, enabled);
}

void TControl::SendToBack() {
    if (handle_) SetWindowPos(handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

std::string TControl::Text() const {
    if (!handle_) return std::string();
    std::string text(static_cast<size_t>(GetWindowTextLengthA(handle_)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(handle_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TControl::SetText(const std::string& text) {
    if (handle_) SetWindowTextA(handle_, text.c_str());
}

void TControl::SetFont(HFONT font) {
    font_ = font;
    if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void TControl::Realign() {
    if (!handle_) return;
    RECT area;
    GetClientRect(handle_, &area);
    const Align order[] = {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client};
    for (Align align : order) {
        for (const auto& child : children_) {
            if (child->align_ != align) continue;
            const int width = child->Width();
            const int height = child->Height();
            RECT r = area;
            switch (align) {
                case Align::Top: r.bottom = r.top + height, area.top = r.bottom; break;
                case Align::Bottom: r.top = r.bottom - height, area.bottom = r.top; break;
                case Align::Left: r.right = r.left + width, area.left = r.right; break;
                case Align::Right: r.left = r.right - width, area.right = r.left; break;
                default: break;
            }
            child->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        }
    }
}

}  // namespace kestrix
