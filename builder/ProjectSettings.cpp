#include "builder/ProjectSettings.h"

#include "base/Exception.h"

namespace kestrix {

int CutRadioIndex(int index) { return index < -1 ? -1 : index > 3 ? 3 : index; }

int AlignmentFromGrid(int index) { return index >= 0 && index <= 8 ? index : 0; }

std::string MemoLineBreaks(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            result += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            result += c;
        }
    }
    return result;
}

ProjectSettings TProjectRecord::GetSettings() const {
    ProjectSettings settings = settings_;
    settings.Alignment = AlignmentFromGrid(settings.Alignment);
    return settings;
}

void TProjectRecord::PutText(ProjectField field, const std::string& text) {
    switch (field) {
        case ProjectField::SSNameVersion: settings_.SSNameVersion = text; break;
        case ProjectField::FlashFile: settings_.FlashFile = text; break;
        case ProjectField::Title: settings_.Title = text; break;
        case ProjectField::Website: settings_.Website = text; break;
        case ProjectField::Email: settings_.Email = text; break;
        case ProjectField::Logo: settings_.Logo = text; break;
        case ProjectField::CopyrightText: settings_.CopyrightText = MemoLineBreaks(text); break;
        case ProjectField::OutputDir: settings_.OutputDir = text; break;
        case ProjectField::OutputFilename: settings_.OutputFilename = text; break;
        default: throw Exception("Not a text field of the project");
    }
}

void TProjectRecord::PutInteger(ProjectField field, int value) {
    switch (field) {
        case ProjectField::Scale: settings_.Scale = CutRadioIndex(value); break;
        case ProjectField::Alignment: settings_.Alignment = value; break;
        case ProjectField::ScrollBar: settings_.ScrollBar = CutRadioIndex(value); break;
        default: throw Exception("Not an integer field of the project");
    }
}

void TProjectRecord::PutBoolean(ProjectField field, bool value) {
    if (field != ProjectField::Transparent) throw Exception("Not a boolean field of the project");
    settings_.Transparent = value;
}

}  // namespace kestrix
