#include "ui/Form.h"

#include "ui/Application.h"
#include "ui/StdControls.h"

namespace kestrix {

namespace {

DWORD FormStyle(FormBorder border) {
    switch (border) {
        case FormBorder::Dialog: return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | WS_CLIPCHILDREN;
        case FormBorder::FixedDialog: return WS_POPUP | WS_CAPTION | WS_DLGFRAME | WS_CLIPCHILDREN;
        case FormBorder::None: return WS_POPUP | WS_CLIPCHILDREN;
        case FormBorder::Sizeable: break;
    }
    return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
}

DWORD FormExStyle(FormBorder border) {
    const bool dialog = border == FormBorder::Dialog || border == FormBorder::FixedDialog;
    return (dialog ? WS_EX_DLGMODALFRAME : 0) | WS_EX_CONTROLPARENT;
}

}  // namespace

TForm::TForm(const char* className, FormBorder border, int clientWidth, int clientHeight) : TControl(nullptr) {
    RegisterClassOnce(className);
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, FormStyle(border), FALSE, FormExStyle(border));
    bounds_ = {0, 0, outer.right - outer.left, outer.bottom - outer.top};
    CreateHandle(className, FormStyle(border), FormExStyle(border), "");
    if (Application) Application->FormCreated(this);
}

TForm::~TForm() {
    RunDestroyEvent();
    if (Application) Application->FormDestroyed(this);
}

void TForm::RunCreateEvent() {
    if (Application) Application->Guarded([this] { FormCreate(); });
    else FormCreate();
}

void TForm::RunDestroyEvent() {
    if (destroyEventRun_) return;
    destroyEventRun_ = true;
    try {
        FormDestroy();
    } catch (const std::exception&) {
        // A window that goes away has nobody left to tell.
    }
}

void TForm::Show() {
    if (centered_ && !Visible()) CenterOnScreen();
    ShowWindow(handle_, SW_SHOW);
    SetForegroundWindow(handle_);
    if (defaultButton_) SetFocus(defaultButton_->Handle());
}

void TForm::SetDefaultButton(TButton* button) {
    defaultButton_ = button;
    SendMessageA(button->Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void TForm::Hide() { ShowWindow(handle_, SW_HIDE); }

void TForm::ShowModal() {
    const HWND owner = Application ? Application->MainWindowHandle() : nullptr;
    const bool ownerEnabled = owner && owner != handle_ && IsWindowEnabled(owner);
    if (owner && owner != handle_) SetWindowLongPtrA(handle_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    Show();
    if (ownerEnabled) EnableWindow(owner, FALSE);
    MSG message;
    while (Visible()) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
            break;
        }
        if (IsDialogMessageA(handle_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // The owner takes input again before this form goes, so the activation returns to it.
    if (ownerEnabled) EnableWindow(owner, TRUE);
    Hide();
    if (owner && owner != handle_) SetForegroundWindow(owner);
}

void TForm::Close() { PostMessageA(handle_, WM_CLOSE, 0, 0); }

void TForm::SetClientSize(int width, int height) {
    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, GetWindowLongA(handle_, GWL_STYLE), FALSE, GetWindowLongA(handle_, GWL_EXSTYLE));
    SetOuterSize(outer.right - outer.left, outer.bottom - outer.top);
}

void TForm::SetOuterSize(int width, int height) {
    SetWindowPos(handle_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE TForm::ClientSize() const {
    RECT r;
    GetClientRect(handle_, &r);
    return {r.right, r.bottom};
}

SIZE TForm::OuterSize() const {
    RECT r;
    GetWindowRect(handle_, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void TForm::CenterOnScreen() {
    const SIZE size = OuterSize();
    const int x = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    SetWindowPos(handle_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE: {
            bool canClose = true;
            if (Application) Application->Guarded([this, &canClose] { FormClose(canClose); });
            else FormClose(canClose);
            if (!canClose) return 0;
            if (Application && Application->MainForm() == this) Application->Terminate();
            else Hide();
            return 0;
        }
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_KEYMENU && lParam > ' ' && OnMenuKey) {
                bool opened = false;
                if (Application) Application->Guarded([&] { opened = OnMenuKey(static_cast<char>(lParam)); });
                if (opened) return 0;
            }
            break;
        case WM_SHOWWINDOW:
            if (Application) Application->Guarded([this, wParam] { wParam ? FormShow() : FormHide(); });
            break;
        case WM_NEXTDLGCTL: {
            // IsDialogMessage asks a window that is not a dialog to move the focus itself, for
            // the arrow keys in a group of radio buttons.
            const HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                             : GetNextDlgTabItem(handle_, GetFocus(), wParam != 0);
            if (next) SetFocus(next);
            return 0;
        }
        case DM_GETDEFID:
            if (defaultButton_) return MAKELRESULT(GetDlgCtrlID(defaultButton_->Handle()), DC_HASDEFID);
            return 0;
    }
    return TControl::HandleMessage(message, wParam, lParam);
}

}  // namespace kestrix
