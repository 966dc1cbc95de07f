#include "builder/ProjectFileFunctions.h"

#include "base/FileStream.h"
#include "base/MemoryStream.h"
#include "base/Path.h"
#include "base/Text.h"

namespace kestrix {

namespace {

constexpr const char* kLineBreakCode = "#&^!";
// Stands in for each occurrence while the replacements are made.
constexpr const char* kReplaceMarker = "!@#$%^+_)(*";

struct FieldKey {
    ProjectField field;
    const char* writtenKey;
    const char* readKey;  // the loader has always asked for "Scrollbar"; keys match without case
};

constexpr FieldKey kFieldKeys[] = {
    {ProjectField::SSNameVersion, "SSNameVersion", "SSNameVersion"},
    {ProjectField::FlashFile, "FlashFile", "FlashFile"},
    {ProjectField::Scale, "Scale", "Scale"},
    {ProjectField::Alignment, "Alignment", "Alignment"},
    {ProjectField::Title, "Title", "Title"},
    {ProjectField::Website, "Website", "Website"},
    {ProjectField::Email, "Email", "Email"},
    {ProjectField::Logo, "Logo", "Logo"},
    {ProjectField::Transparent, "Transparent", "Transparent"},
    {ProjectField::CopyrightText, "CopyrightText", "CopyrightText"},
    {ProjectField::ScrollBar, "ScrollBar", "Scrollbar"},
    {ProjectField::OutputDir, "OutputDir", "OutputDir"},
    {ProjectField::OutputFilename, "OutputFilename", "OutputFilename"},
};

bool IsIntegerField(ProjectField field) {
    return field == ProjectField::Scale || field == ProjectField::Alignment || field == ProjectField::ScrollBar;
}

// The field's value as the file writes it.
std::string ValueText(const ProjectSettings& s, ProjectField field) {
    switch (field) {
        case ProjectField::SSNameVersion: return s.SSNameVersion;
        case ProjectField::FlashFile: return s.FlashFile;
        case ProjectField::Scale: return IntToStr(s.Scale);
        case ProjectField::Alignment: return IntToStr(s.Alignment);
        case ProjectField::Title: return s.Title;
        case ProjectField::Website: return s.Website;
        case ProjectField::Email: return s.Email;
        case ProjectField::Logo: return s.Logo;
        case ProjectField::Transparent: return s.Transparent ? "1" : "0";
        case ProjectField::CopyrightText: return EncodeLineBreaks(s.CopyrightText);
        case ProjectField::ScrollBar: return IntToStr(s.ScrollBar);
        case ProjectField::OutputDir: return s.OutputDir;
        case ProjectField::OutputFilename: return s.OutputFilename;
    }
    return std::string();
}

TStringList LinesFor(const ProjectSettings& settings) {
    TStringList lines;
    for (const FieldKey& key : kFieldKeys)
        lines.push_back(std::string(key.writtenKey) + "=" + ValueText(settings, key.field));
    return lines;
}

// Replaces the file only after the new text is completely on disk, so a failed save never
// leaves a half-written project behind.
bool WriteFileSafely(const std::string& fileName, const std::string& text) {
    if (FileExists(fileName) && !IsFileWritable(fileName)) return false;
    const std::string tempName = fileName + ".saving";
    try {
        TFileStream file(tempName, FileAccess::Create, FileShare::Exclusive);
        file.WriteBuffer(text.data(), text.size());
    } catch (const std::exception&) {
        RemoveFile(tempName);
        return false;
    }
    if (MoveFileReplacing(tempName, fileName)) return true;
    RemoveFile(tempName);
    return false;
}

}  // namespace

std::string DefaultProjectText() {
    ProjectSettings defaults;
    defaults.SSNameVersion = "Fill in the screen saver name and version";
    defaults.Scale = 0;
    defaults.Alignment = 4;
    defaults.Website = "http://";
    defaults.CopyrightText =
        "[SCREENSAVERNAME] v1.0\r\nwritten by [FIRSTNAME] [LASTNAME]\r\n\r\n\r\nCopyright \xA9 [YEAR] [COMPANY]";
    defaults.ScrollBar = 0;
    return JoinLines(LinesFor(defaults));
}

std::string ReplaceAllText(const std::string& text, const std::string& search, const std::string& replacement) {
    if (search.empty()) return text;
    const std::string marker = kReplaceMarker;
    const std::string upperSearch = UpperCase(search);
    std::string result = text;
    std::string upper = UpperCase(text);  // kept in step with result
    // Every search starts again at the beginning, as occurrences may meet across a marker.
    for (size_t at; (at = upper.find(upperSearch)) != std::string::npos;) {
        result.replace(at, search.size(), marker);
        upper.replace(at, search.size(), marker);
    }
    for (size_t at; (at = result.find(marker)) != std::string::npos;) result.replace(at, marker.size(), replacement);
    return result;
}

std::string EncodeLineBreaks(const std::string& text) { return ReplaceAllText(text, "\r\n", kLineBreakCode); }

std::string DecodeLineBreaks(const std::string& text) { return ReplaceAllText(text, kLineBreakCode, "\r\n"); }

TStringList SplitLines(const std::string& text) {
    TStringList lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string JoinLines(const TStringList& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string ValueOf(const TStringList& lines, const std::string& key) {
    for (const std::string& line : lines) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos && SameText(line.substr(0, equals), key)) return line.substr(equals + 1);
    }
    return std::string();
}

TProjectFile::TProjectFile(TProjectHolder& holder, std::string builderDirectory)
    : holder_(holder), builderDirectory_(std::move(builderDirectory)) {}

void TProjectFile::NewProject() {
    LoadProject(builderDirectory_ + kDefaultProjectFileName);
    holder_.SetCurrentFileName(std::string());
}

void TProjectFile::LoadProject(const std::string& fileName) {
    if (!FileExists(fileName)) return;
    try {
        TMemoryStream file;
        file.LoadFromFile(fileName);
        const std::string text(file.Bytes().begin(), file.Bytes().end());
        const TStringList lines = SplitLines(text);
        if (!PutValues(lines)) return;
        savedProjectLines_ = lines;
        holder_.SetCurrentFileName(fileName);
    } catch (const std::exception&) {
        // A project that cannot be read leaves the current one as it is.
    }
}

// Puts the file's values into the holder in field order; stops at the first bad number,
// leaving the fields before it loaded.
bool TProjectFile::PutValues(const TStringList& lines) {
    for (const FieldKey& key : kFieldKeys) {
        const std::string value = ValueOf(lines, key.readKey);
        if (IsIntegerField(key.field)) {
            int32_t number = 0;
            if (!TryStrToInt(value, number)) return false;
            holder_.PutInteger(key.field, number);
        } else if (key.field == ProjectField::Transparent) {
            holder_.PutBoolean(key.field, value == "1");
        } else if (key.field == ProjectField::CopyrightText) {
            holder_.PutText(key.field, DecodeLineBreaks(value));
        } else {
            holder_.PutText(key.field, value);
        }
    }
    return true;
}

bool TProjectFile::SaveProject(const std::string& fileName) {
    try {
        const TStringList lines = BuildProjectLines();
        if (!WriteFileSafely(fileName, JoinLines(lines))) return false;
        holder_.SetCurrentFileName(fileName);
        savedProjectLines_ = lines;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

TStringList TProjectFile::BuildProjectLines() const { return LinesFor(holder_.GetSettings()); }

bool TProjectFile::IsProjectModified() const {
    if (holder_.CurrentFileName().empty()) return true;
    return JoinLines(BuildProjectLines()) != JoinLines(savedProjectLines_);
}

}  // namespace kestrix
