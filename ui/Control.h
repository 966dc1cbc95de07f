// Controls: windows with a place in their parent, built in code from layout tables.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kestrix {

enum class Align { None, Top, Bottom, Left, Right, Client };

// Fonts by pixel height; every control uses Tahoma.
HFONT TahomaFont(int pixelHeight, bool bold = false, bool underline = false);
constexpr int kDefaultFontHeight = 11;  // Tahoma 8 pt at 96 dots per inch

class TControl {
public:
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    HWND Handle() const { return handle_; }
    TControl* Parent() const { return parent_; }

    void SetBounds(int left, int top, int width, int height);
    RECT Bounds() const { return bounds_; }
    int Width() const { return bounds_.right - bounds_.left; }
    int Height() const { return bounds_.bottom - bounds_.top; }
    void SetAlign(Align align);
    Align GetAlign() const { return align_; }

    void SetVisible(bool visible);
    bool Visible() const { return handle_ && IsWindowVisible(handle_); }
    void SetEnabled(bool enabled);
    bool Enabled() const { return handle_ && IsWindowEnabled(handle_); }
    // Puts the control below its siblings, where it overlaps them; last in the tab order too.
    void SendToBack();
    std::string Text() const;
    void SetText(const std::string& text);
    void SetFont(HFONT font);

    std::function<void()> OnClick;

    // Lays out the aligned children over the client area, as the edges are taken in turn:
    // top, bottom, left, right, then client.
    void Realign();

    // Creates a child control owned by this one.
    template <typename Control, typename... Args>
    Control* Add(Args&&... args) {
        auto control = std::make_unique<Control>(this, std::forward<Args>(args)...);
        Control* added = control.get();
        children_.push_back(std::move(control));
        return added;
    }

    // Messages that Windows sends to a parent about a child, routed to the child's object.
    virtual LRESULT ChildCommand(WORD notification) { return 0; }
    // For children that send commands of several items (a tool bar's buttons).
    virtual LRESULT ChildItemCommand(WORD id, WORD notification) { return ChildCommand(notification); }
    virtual HBRUSH ChildColor(HDC dc) { return nullptr; }
    // WM_NOTIFY from the child; returns false to leave the message to the default handling.
    virtual bool ChildNotify(NMHDR& header, LRESULT& result) { return false; }

    static TControl* FromHandle(HWND handle);

protected:
    explicit TControl(TControl* parent) : parent_(parent) {}
    // Creates the window; parent controls give their own handle as the parent window.
    void CreateHandle(const char* className, DWORD style, DWORD exStyle, const std::string& text);
    void DestroyHandle();
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    static LRESULT CALLBACK WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    static void RegisterClassOnce(const char* className, HCURSOR cursor = nullptr);

    HWND handle_ = nullptr;
    TControl* parent_;
    RECT bounds_{0, 0, 0, 0};
    Align align_ = Align::None;
    HFONT font_ = nullptr;
    std::vector<std::unique_ptr<TControl>> children_;

private:
    WNDPROC systemProc_ = nullptr;  // for the system's own classes (edit, button)
    friend class TForm;
};

}  // namespace kestrix
