// The modal dialogs of the system: message boxes of a kind, and the common open and save
// dialogs.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

namespace kestrix {

// The kind gives the caption and the icon; Custom is a plain box under the application's title.
enum class TMsgDlgType { Warning, Error, Information, Confirmation, Custom };
enum class TMsgDlgButtons { OK, OKCancel, YesNo, YesNoCancel };
// Closing a box that has a Cancel button by its close box or Escape gives Cancel.
enum class TModalResult { None, OK, Cancel, Yes, No };

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
// The caption a box of that kind carries.
std::string MessageDlgCaption(TMsgDlgType type);

// A common file dialog. Filter is "Description|*.ext|..."; DefaultExt is added to a name
// typed without extension; FileName is offered when the dialog opens and holds the name
// last confirmed. Options are OFN_ flags; the default is OFN_HIDEREADONLY | OFN_ENABLESIZING.
class TFileDialog {
public:
    std::string Filter;
    std::string DefaultExt;  // with or without its dot
    std::string FileName;
    DWORD Options = OFN_HIDEREADONLY | OFN_ENABLESIZING;

protected:
    bool Run(bool save);
};

class TOpenDialog : public TFileDialog {
public:
    bool Execute() { return Run(false); }
};

class TSaveDialog : public TFileDialog {
public:
    bool Execute() { return Run(true); }
};

}  // namespace kestrix
