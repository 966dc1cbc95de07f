// The values of one screen-saver project, and the holder through which the project-file
// operations read and put them: the builder's main window, or a plain record.
#pragma once

#include <string>

namespace kestrix {

struct ProjectSettings {
    std::string SSNameVersion;
    std::string FlashFile;  // full path of the movie
    int Scale = -1;         // -1 (none chosen) to 3
    int Alignment = 0;      // 0 to 8, row by row from the top left
    std::string Title;
    std::string Website;
    std::string Email;
    std::string Logo;  // full path of the logo picture
    bool Transparent = false;
    std::string CopyrightText;  // lines separated by CR LF
    int ScrollBar = -1;         // -1 (none chosen) to 3
    std::string OutputDir;
    std::string OutputFilename;  // without extension
};

// The project's fields, in the order in which a project file is written and loaded.
enum class ProjectField {
    SSNameVersion,
    FlashFile,
    Scale,
    Alignment,
    Title,
    Website,
    Email,
    Logo,
    Transparent,
    CopyrightText,
    ScrollBar,
    OutputDir,
    OutputFilename,
};

// Where the values of the current project live. Putting a value behaves as the builder's
// control for that field does: radio groups cut their index to -1..3, the alignment grid
// chooses no panel for an index outside 0..8 (and then reads back 0), the memo turns a
// lone CR or LF into CR LF.
class TProjectHolder {
public:
    virtual ~TProjectHolder() = default;

    virtual ProjectSettings GetSettings() const = 0;
    // For the text fields.
    virtual void PutText(ProjectField field, const std::string& text) = 0;
    // For Scale, Alignment and ScrollBar.
    virtual void PutInteger(ProjectField field, int value) = 0;
    // For Transparent.
    virtual void PutBoolean(ProjectField field, bool value) = 0;

    virtual std::string CurrentFileName() const = 0;
    // Stores the name of the current project file (empty for a new project) and shows it.
    virtual void SetCurrentFileName(const std::string& fileName) = 0;
};

// The rules of the builder's controls, shared by every holder.
int CutRadioIndex(int index);                       // to -1..3
int AlignmentFromGrid(int index);                   // the grid reads back 0 outside 0..8
std::string MemoLineBreaks(const std::string& text);  // lone CR or LF become CR LF

// A holder over a plain record, for the command-line compiler and the tests.
class TProjectRecord : public TProjectHolder {
public:
    ProjectSettings GetSettings() const override;
    void PutText(ProjectField field, const std::string& text) override;
    void PutInteger(ProjectField field, int value) override;
    void PutBoolean(ProjectField field, bool value) override;
    std::string CurrentFileName() const override { return currentFileName_; }
    void SetCurrentFileName(const std::string& fileName) override { currentFileName_ = fileName; }

    ProjectSettings& Settings() { return settings_; }

private:
    ProjectSettings settings_;
    std::string currentFileName_;
};

}  // namespace kestrix
