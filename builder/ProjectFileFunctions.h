// The project file (.kcp): one "key=value" line per field, and the operations that start,
// load, save and compare projects. None of them shows a message or raises an error.
#pragma once

#include <string>
#include <vector>

#include "builder/ProjectSettings.h"

namespace kestrix {

using TStringList = std::vector<std::string>;

// The default project that every new project starts from.
constexpr const char* kDefaultProjectFileName = "general.kcp";
// "general.kcp" as the builder ships it, byte for byte.
std::string DefaultProjectText();

// Every occurrence of search (found without regard to ASCII case) replaced by replacement.
// Occurrences are first all marked, then replaced, so the replacement is never searched.
std::string ReplaceAllText(const std::string& text, const std::string& search, const std::string& replacement);
// The copyright memo keeps its line breaks in the file as "#&^!".
std::string EncodeLineBreaks(const std::string& text);
std::string DecodeLineBreaks(const std::string& text);

// Lines split at CR LF, lone CR and lone LF; a final line break ends the last line.
TStringList SplitLines(const std::string& text);
// Each line followed by CR LF.
std::string JoinLines(const TStringList& lines);
// The value of the first "key=value" line whose key equals key without regard to case;
// empty when there is none.
std::string ValueOf(const TStringList& lines, const std::string& key);

class TProjectFile {
public:
    // builderDirectory ends with a path delimiter; "general.kcp" is looked for there.
    TProjectFile(TProjectHolder& holder, std::string builderDirectory);

    void NewProject();
    void LoadProject(const std::string& fileName);
    // Writes the current values, replacing the file only once they are all written.
    bool SaveProject(const std::string& fileName);
    TStringList BuildProjectLines() const;
    bool IsProjectModified() const;

    const TStringList& SavedProjectLines() const { return savedProjectLines_; }

private:
    bool PutValues(const TStringList& lines);

    TProjectHolder& holder_;
    std::string builderDirectory_;
    TStringList savedProjectLines_;  // the file's lines as last loaded or saved
};

}  // namespace kestrix
