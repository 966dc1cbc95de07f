// TShockwaveFlash: a child window that hosts the movie player control, through a minimal
// container of our own (client site, in-place site and frame).
#pragma once

#include <ole2.h>
#include <ocidl.h>

#include <string>

#include "ui/Control.h"

namespace kestrix {

class TFlashSite;

class TShockwaveFlash : public TControl {
public:
    // Creates the control by its class identifier and activates it in place; raises an
    // exception with a clear message when that fails (for example: not registered).
    TShockwaveFlash(TControl* parent, int left, int top, int width, int height);
    ~TShockwaveFlash() override;

    // Properties, written through the dispatch interface by their numbers.
    void SetMovie(const std::string& path);
    void SetScaleMode(int scaleMode);
    void SetAlignMode(int alignMode);
    void SetBackgroundColor(int color);
    void SetBGColor(const std::string& color);
    VARIANT GetProperty(DISPID id);

    // Methods, called by name.
    void Play();
    void Stop();
    void Rewind();

    HWND ControlWindow() const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ActivateControl(int width, int height);
    void ReleaseControl();
    void PutProperty(DISPID id, VARIANT value);
    void PutText(DISPID id, const std::string& text);
    void PutInteger(DISPID id, int number);
    void CallMethod(const wchar_t* name);

    TFlashSite* site_ = nullptr;
    IOleObject* object_ = nullptr;
    IDispatch* dispatch_ = nullptr;
};

}  // namespace kestrix
