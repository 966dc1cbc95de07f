// The application object: title, main window, message loop, one message filter and the
// standard error box, in place of a forms library.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kestrix {

class Exception;
class TForm;

class TApplication {
public:
    // Returns true when the message was handled and must not be dispatched.
    using MessageFilter = std::function<bool(MSG& message)>;

    TApplication();
    ~TApplication();

    // Initialises COM on this thread and the common controls.
    void Initialize();

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    // The application's WinHelp file, for the forms that offer help.
    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::string& helpFile) { helpFile_ = helpFile; }

    // Creates a form; the first form created becomes the main window. The application owns it.
    template <typename Form, typename... Args>
    Form* CreateForm(Args&&... args) {
        auto form = std::make_unique<Form>(std::forward<Args>(args)...);
        Form* created = form.get();
        AddForm(std::move(form));
        return created;
    }
    TForm* MainForm() const { return mainForm_; }

    // Shows the main window and runs the message loop until Terminate; returns at once
    // without a main window. Every form is destroyed before Run returns.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // The one application-wide filter; it also sees the messages of modal loops (message
    // boxes, menus), which do not pass through Run's loop. An empty filter removes it.
    void SetMessageFilter(MessageFilter filter);

    // The standard error box: the exception's message, an error icon and an OK button.
    void ShowException(const std::exception& error);
    // Runs an event handler, sending whatever it raises to the error box.
    void Guarded(const std::function<void()>& handler);

    // Called by forms as they come and go.
    void FormCreated(TForm* form);
    void FormDestroyed(TForm* form);
    HWND MainWindowHandle() const;

private:
    static LRESULT CALLBACK ModalLoopHook(int code, WPARAM wParam, LPARAM lParam);
    void AddForm(std::unique_ptr<TForm> form);
    void DestroyForms();

    std::string title_;
    std::string helpFile_;
    TForm* mainForm_ = nullptr;
    std::vector<std::unique_ptr<TForm>> forms_;  // in creation order
    std::vector<TForm*> liveForms_;              // for dialog navigation
    MessageFilter filter_;
    HHOOK modalHook_ = nullptr;
    bool terminated_ = false;
    bool comInitialized_ = false;
};

// The one application of this process.
extern TApplication* Application;

}  // namespace kestrix
