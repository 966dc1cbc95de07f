// A top-level window built in code. Created hidden; Show, Hide and Close; the creation,
// destruction, show, hide and close events are the virtual handlers below.
#pragma once

#include "ui/Control.h"

namespace kestrix {

class TButton;

// Dialog has a close box; FixedDialog is the same frame without any title-bar button.
enum class FormBorder { Sizeable, Dialog, None, FixedDialog };

class TForm : public TControl {
public:
    // className names the window class, as the form's type does ("TfrmConfig").
    TForm(const char* className, FormBorder border, int clientWidth, int clientHeight);
    ~TForm() override;

    void Show();
    void Hide();
    void Close();
    // Shows the form over the main window, which takes no input meanwhile, and returns once
    // the form is hidden again (its close box, Close or Hide).
    void ShowModal();
    bool Visible() const { return handle_ && IsWindowVisible(handle_); }

    void SetCaption(const std::string& caption) { SetText(caption); }
    void SetClientSize(int width, int height);
    void SetOuterSize(int width, int height);
    SIZE ClientSize() const;
    SIZE OuterSize() const;
    // The button that Enter presses.
    void SetDefaultButton(TButton* button);
    void SetCentered(bool centered) { centered_ = centered; }

    // Alt with a letter (the system's menu key) for a menu bar drawn as a control; returns
    // whether the letter opened a menu.
    std::function<bool(char letter)> OnMenuKey;

protected:
    // Run by the derived form (its destructor must call RunDestroyEvent, as the handler is
    // gone by the time this class's destructor runs): the creation event after its controls exist, and the
    // destruction event before they go. Errors in FormCreate reach the error box.
    void RunCreateEvent();
    void RunDestroyEvent();

    virtual void FormCreate() {}
    virtual void FormDestroy() {}
    virtual void FormShow() {}
    virtual void FormHide() {}
    virtual void FormClose() {}
    // The close event with a say in it: clearing canClose keeps the window open. By default
    // it runs FormClose(). Should the handler fail, canClose stays as it left it.
    virtual void FormClose(bool& canClose) { FormClose(); }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CenterOnScreen();

    TButton* defaultButton_ = nullptr;
    bool centered_ = true;
    bool destroyEventRun_ = false;
};

}  // namespace kestrix
