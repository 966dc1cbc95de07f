#include "ui/Dialogs.h"

#include <algorithm>
#include <vector>

#include "ui/Application.h"

namespace kestrix {

namespace {

constexpr size_t kFileNameRoom = 4096;

// The window the dialog belongs to: the active one of ours, else the main window.
HWND DialogOwner() {
    const HWND active = GetActiveWindow();
    if (active) return active;
    return Application ? Application->MainWindowHandle() : nullptr;
}

UINT MessageBoxStyle(TMsgDlgType type, TMsgDlgButtons buttons) {
    UINT style = 0;
    switch (type) {
        case TMsgDlgType::Warning: style = MB_ICONWARNING; break;
        case TMsgDlgType::Error: style = MB_ICONERROR; break;
        case TMsgDlgType::Information: style = MB_ICONINFORMATION; break;
        case TMsgDlgType::Confirmation: style = MB_ICONQUESTION; break;
        case TMsgDlgType::Custom: break;
    }
    switch (buttons) {
        case TMsgDlgButtons::OK: style |= MB_OK; break;
        case TMsgDlgButtons::OKCancel: style |= MB_OKCANCEL; break;
        case TMsgDlgButtons::YesNo: style |= MB_YESNO; break;
        case TMsgDlgButtons::YesNoCancel: style |= MB_YESNOCANCEL; break;
    }
    return style;
}

TModalResult ResultOf(int answer) {
    switch (answer) {
        case IDOK: return TModalResult::OK;
        case IDCANCEL: return TModalResult::Cancel;
        case IDYES: return TModalResult::Yes;
        case IDNO: return TModalResult::No;
    }
    return TModalResult::None;
}

// "A|B|C|D" as the dialog wants it: every part ended by a null, and one more at the end.
std::vector<char> FilterText(const std::string& filter) {
    std::vector<char> text(filter.begin(), filter.end());
    for (char& c : text)
        if (c == '|') c = '\0';
    text.push_back('\0');
    text.push_back('\0');
    return text;
}

}  // namespace

std::string MessageDlgCaption(TMsgDlgType type) {
    switch (type) {
        case TMsgDlgType::Warning: return "Warning";
        case TMsgDlgType::Error: return "Error";
        case TMsgDlgType::Information: return "Information";
        case TMsgDlgType::Confirmation: return "Confirmation";
        case TMsgDlgType::Custom: break;
    }
    return Application ? Application->Title() : std::string();
}

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
    const std::string caption = MessageDlgCaption(type);
    return ResultOf(MessageBoxA(DialogOwner(), text.c_str(), caption.c_str(), MessageBoxStyle(type, buttons)));
}

bool TFileDialog::Run(bool save) {
    const std::vector<char> filter = FilterText(Filter);
    std::vector<char> fileName(kFileNameRoom, '\0');
    FileName.copy(fileName.data(), std::min(FileName.size(), kFileNameRoom - 1));
    const std::string defaultExt = !DefaultExt.empty() && DefaultExt[0] == '.' ? DefaultExt.substr(1) : DefaultExt;

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = DialogOwner();
    dialog.lpstrFilter = Filter.empty() ? nullptr : filter.data();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = static_cast<DWORD>(fileName.size());
    dialog.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    dialog.Flags = Options | OFN_EXPLORER;
    const BOOL confirmed = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!confirmed) return false;
    FileName = fileName.data();
    return true;
}

}  // namespace kestrix
