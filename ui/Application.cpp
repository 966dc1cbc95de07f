#include "ui/Application.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>

#include "base/Exception.h"
#include "ui/Form.h"

namespace kestrix {

TApplication* Application = nullptr;

TApplication::TApplication() { Application = this; }

TApplication::~TApplication() {
    DestroyForms();
    SetMessageFilter(nullptr);
    if (comInitialized_) CoUninitialize();
    if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
    comInitialized_ = SUCCEEDED(CoInitialize(nullptr));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
}

void TApplication::AddForm(std::unique_ptr<TForm> form) {
    if (!mainForm_) mainForm_ = form.get();
    forms_.push_back(std::move(form));
}

void TApplication::FormCreated(TForm* form) { liveForms_.push_back(form); }

void TApplication::FormDestroyed(TForm* form) {
    liveForms_.erase(std::remove(liveForms_.begin(), liveForms_.end(), form), liveForms_.end());
    if (form == mainForm_) Terminate();
}

HWND TApplication::MainWindowHandle() const { return mainForm_ ? mainForm_->Handle() : nullptr; }

void TApplication::Run() {
    if (!mainForm_) return;
    Guarded([this] { mainForm_->Show(); });
    MSG message;
    while (!terminated_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (filter_ && filter_(message)) continue;
        // Dialog keys (Tab, Enter for the default button, Escape) for the form that has them.
        const HWND root = GetAncestor(message.hwnd, GA_ROOT);
        const bool isForm = std::any_of(liveForms_.begin(), liveForms_.end(),
                                        [root](TForm* form) { return form->Handle() == root; });
        if (root && isForm && IsDialogMessageA(root, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyForms();
}

void TApplication::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    PostQuitMessage(0);
}

void TApplication::DestroyForms() {
    // Newest first, so the main window, created first, goes last.
    while (!forms_.empty()) {
        std::unique_ptr<TForm> form = std::move(forms_.back());
        forms_.pop_back();
        form.reset();
    }
    mainForm_ = nullptr;
}

void TApplication::SetMessageFilter(MessageFilter filter) {
    filter_ = std::move(filter);
    if (filter_ && !modalHook_) {
        modalHook_ = SetWindowsHookExA(WH_MSGFILTER, ModalLoopHook, nullptr, GetCurrentThreadId());
    } else if (!filter_ && modalHook_) {
        UnhookWindowsHookEx(modalHook_);
        modalHook_ = nullptr;
    }
}

LRESULT CALLBACK TApplication::ModalLoopHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && Application && Application->filter_) {
        MSG* message = reinterpret_cast<MSG*>(lParam);
        if (Application->filter_(*message)) return 1;  // handled: the modal loop drops it
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TApplication::ShowException(const std::exception& error) {
    MessageBoxA(MainWindowHandle(), error.what(), title_.c_str(), MB_OK | MB_ICONERROR);
}

void TApplication::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowException(error);
    }
}

}  // namespace kestrix
