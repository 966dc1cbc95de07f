#include "builder/Compile.h"

#include <memory>

#include "base/Path.h"
#include "base/Text.h"
#include "builder/PictureLoading.h"
#include "payload/PayloadKeys.h"
#include "payload/TResourceToExeUnit.h"

namespace kestrix {

namespace {

void AddString(TResourceToExe& container, const char* key, const std::string& value) {
    auto item = std::make_unique<TStringResItem>();
    item->Key = key;
    item->Value = value;
    container.Add(std::move(item));
}

void AddInteger(TResourceToExe& container, const char* key, int value) {
    auto item = std::make_unique<TIntegerResItem>();
    item->Key = key;
    item->Value = value;
    container.Add(std::move(item));
}

void AddFile(TResourceToExe& container, const char* key, const std::string& fileName) {
    auto item = std::make_unique<TFileResItem>();
    item->Key = key;
    item->FileName = fileName;
    container.Add(std::move(item));
}

void AddLogo(TResourceToExe& container, const std::string& logoFileName) {
    auto item = std::make_unique<TStreamResItem>();
    item->Key = PayloadKey::Logo;
    LoadPictureAsBitmap(logoFileName).SaveToStream(item->Stream);
    container.Add(std::move(item));
}

void FillPayload(const ProjectSettings& s, TResourceToExe& container) {
    AddString(container, PayloadKey::SSNameVersion, s.SSNameVersion);
    AddFile(container, PayloadKey::FlashFile, s.FlashFile);
    AddInteger(container, PayloadKey::Scale, s.Scale);
    AddInteger(container, PayloadKey::Alignment, s.Alignment);
    AddString(container, PayloadKey::Title, s.Title);
    AddString(container, PayloadKey::Website, s.Website);
    AddString(container, PayloadKey::Email, s.Email);
    AddLogo(container, s.Logo);
    AddInteger(container, PayloadKey::Transparent, s.Transparent ? 1 : 0);
    AddString(container, PayloadKey::CopyrightText, s.CopyrightText);
    AddInteger(container, PayloadKey::ScrollBar, s.ScrollBar);
}

}  // namespace

std::string ValidateProject(const ProjectSettings& s) {
    std::string problems;
    auto report = [&problems](const char* message) { problems += std::string("\r\n") + message; };
    if (Trim(s.SSNameVersion).empty()) report("- Screen Saver Name and Version may not be empty");
    if (!FileExists(s.FlashFile) || Trim(s.FlashFile).empty())
        report("- No Macromedia Flash file selected or it doesn't exist");
    if (Trim(s.Title).empty()) report("- Title may not be empty");
    if (Trim(s.OutputFilename).empty()) report("- No Output .scr filename filled in");
    if (!FileExists(s.Logo))
        report("- No Logo picture selected, to have a configuration window without a picture, "
               "use a small one-color picture and set it transparent.");
    return problems;
}

std::string ValidationIntroduction(CompilePurpose purpose) {
    switch (purpose) {
        case CompilePurpose::ConfigExample:
            return "To get an example of the configuration window, you have to fix the following problems: ";
        case CompilePurpose::ScreenSaverExample:
            return "To get an example of the screen saver, you have to fix the following problems: ";
        case CompilePurpose::PlainCompile: break;
    }
    return "Information to compile the screen saver is not complete, the following error(s) occured: ";
}

OutputPaths ComputeOutputPaths(const ProjectSettings& s, const std::string& builderDirectory) {
    OutputPaths paths;
    paths.DirectoryText =
        Trim(s.OutputDir).empty() ? builderDirectory + "output" + kPathDelimiter : s.OutputDir;
    paths.DirectoryPart = ExtractFilePath(paths.DirectoryText);
    paths.Base = paths.DirectoryPart + s.OutputFilename;
    paths.ScreenSaver = paths.Base + ".scr";
    paths.ExampleExe = paths.Base + ".exe";
    return paths;
}

std::string RuntimeStubPath(const std::string& builderDirectory) { return builderDirectory + "kestrix.dat"; }

OutputPaths CompileProject(const ProjectSettings& settings, TResourceToExe& container,
                           const std::string& builderDirectory, const std::string& stubFileName) {
    container.Clear();
    FillPayload(settings, container);
    const OutputPaths paths = ComputeOutputPaths(settings, builderDirectory);
    ForceDirectories(paths.DirectoryText);  // a failure shows when the output is written
    container.WriteToFile(stubFileName, paths.ScreenSaver);
    return paths;
}

std::string CompiledMessage(const OutputPaths& paths) {
    return "Screen saver " + paths.ScreenSaver + " succesfully compiled!";
}

}  // namespace kestrix
