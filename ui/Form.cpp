#include "ui/Form.h"

#include "ui/Application.h"
#include "ui/StdControls.h"

namespace kestrix {

namespace {

DWORD FormStyle(FormBorder border) {
    switch (border) {
        case FormBorder::Dialog: return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | WS_CLIPCHILDREN;
        case FormBorder::None: return WS_POPUP | WS_CLIPCHILDREN;
        case FormBorder::Sizeable: break;
    }
    return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
}

DWORD FormExStyle(FormBorder border) {
    return (border == FormBorder::Dialog ? WS_EX_DLGMODALFRAME : 0) | WS_EX_CONTROLPARENT;
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
        case WM_CLOSE:
            if (Application) Application->Guarded([this] { FormClose(); });
            if (Application && Application->MainForm() == this) Application->Terminate();
            else Hide();
            return 0;
        case WM_SHOWWINDOW:
            if (Application) Application->Guarded([this, wParam] { wParam ? FormShow() : FormHide(); });
            break;
        case DM_GETDEFID:
            if (defaultButton_) return MAKELRESULT(GetDlgCtrlID(defaultButton_->Handle()), DC_HASDEFID);
            return 0;
    }
    return TControl::HandleMessage(message, wParam, lParam);
}

}  // namespace kestrix
