// A top-level window built in code. Created hidden; Show, Hide and Close; the creation,
// destruction, show, hide and close events are the virtual handlers below.
#pragma once

#include "ui/Control.h"

namespace kestrix {

class TButton;

enum class FormBorder { Sizeable, Dialog, None };

class TForm : public TControl {
public:
    // className names the window class, as the form's type does ("TfrmConfig").
    TForm(const char* className, FormBorder border, int clientWidth, int clientHeight);
    ~TForm() override;

    void Show();
    void Hide();
    void Close();
    bool Visible() const { return handle_ && IsWindowVisible(handle_); }

    void SetCaption(const std::string& caption) { SetText(caption); }
    void SetClientSize(int width, int height);
    void SetOuterSize(int width, int height);
    SIZE ClientSize() const;
    SIZE OuterSize() const;
    // The button that Enter presses.
    void SetDefaultButton(TButton* button);
    void SetCentered(bool centered) { centered_ = centered; }

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

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CenterOnScreen();

    TButton* defaultButton_ = nullptr;
    bool centered_ = true;
    bool destroyEventRun_ = false;
};

}  // namespace kestrix
