// kestrixc: compiles a Kestrix project file into a screen saver from the command line,
// with the same validation and the same output bytes as the builder window.
#include <cstdio>
#include <string>

#include "base/Exception.h"
#include "base/Path.h"
#include "builder/Compile.h"
#include "builder/ProjectFileFunctions.h"
#include "payload/TResourceToExeUnit.h"

using namespace kestrix;

namespace {

constexpr int kExitError = 1;
constexpr int kExitIncomplete = 2;

struct Arguments {
    std::string projectFile;
    std::string stubFile;
};

void PrintUsage() {
    std::fprintf(stderr,
                 "Usage: kestrixc PROJECT.kcp [--stub FILE]\n"
                 "Compiles a Kestrix project into a screen saver (.scr).\n"
                 "  --stub FILE  the runtime to build on (default: kestrix.dat beside kestrixc)\n");
}

bool ParseArguments(int argc, char** argv, Arguments& args) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--stub" && i + 1 < argc) args.stubFile = argv[++i];
        else if (!arg.empty() && arg[0] != '-' && args.projectFile.empty()) args.projectFile = arg;
        else return false;
    }
    return !args.projectFile.empty();
}

// Text with CR LF line breaks, printed with the console's own line ends.
void PrintText(FILE* out, const std::string& text) {
    std::string lines;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        lines += text[i];
    }
    std::fprintf(out, "%s\n", lines.c_str());
}

ProjectSettings LoadProjectOrThrow(const std::string& fileName, const std::string& builderDirectory) {
    if (!FileExists(fileName)) throw Exception("Project file \"" + fileName + "\" not found.");
    TProjectRecord record;
    TProjectFile project(record, builderDirectory);
    project.LoadProject(fileName);
    if (record.CurrentFileName() != fileName)
        throw Exception("Project file \"" + fileName +
                        "\" could not be loaded: it cannot be read, or its Scale, Alignment or ScrollBar "
                        "value is not a whole number.");
    return record.GetSettings();
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!ParseArguments(argc, argv, args)) {
        PrintUsage();
        return kExitError;
    }
    // The directory of kestrixc stands in for the builder's: default output and stub live there.
    const std::string builderDirectory = ExtractFilePath(ExecutableFileName());
    try {
        const ProjectSettings settings = LoadProjectOrThrow(args.projectFile, builderDirectory);
        const std::string problems = ValidateProject(settings);
        if (!problems.empty()) {
            PrintText(stderr, ValidationIntroduction(CompilePurpose::PlainCompile) + problems);
            return kExitIncomplete;
        }
        const std::string stub = args.stubFile.empty() ? RuntimeStubPath(builderDirectory) : args.stubFile;
        if (!FileExists(stub)) throw Exception("Runtime \"" + stub + "\" not found.");
        TResourceToExe container;
        const OutputPaths paths = CompileProject(settings, container, builderDirectory, stub);
        PrintText(stdout, CompiledMessage(paths));
        return 0;
    } catch (const std::exception& error) {
        PrintText(stderr, error.what());
        return kExitError;
    }
}
