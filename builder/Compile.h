// Validation of a project and its compile into a screen saver: the one routine that both
// the builder window and the command-line compiler run, so both write the same bytes.
#pragma once

#include <string>

#include "builder/ProjectSettings.h"

namespace kestrix {

class TResourceToExe;

enum class CompilePurpose { PlainCompile, ScreenSaverExample, ConfigExample };

// The problem list: each problem as CR LF and one message; empty when the project is complete.
std::string ValidateProject(const ProjectSettings& settings);
// The text shown before the problem list of an incomplete project.
std::string ValidationIntroduction(CompilePurpose purpose);

// Where a compile writes. builderDirectory ends with a path delimiter.
struct OutputPaths {
    std::string DirectoryText;  // the directory to create
    std::string DirectoryPart;  // DirectoryText up to its last delimiter
    std::string Base;           // DirectoryPart + OutputFilename
    std::string ScreenSaver;    // Base + ".scr"
    std::string ExampleExe;     // Base + ".exe"
};
OutputPaths ComputeOutputPaths(const ProjectSettings& settings, const std::string& builderDirectory);

// The runtime stub that every compile copies: builder directory + "kestrix.dat".
std::string RuntimeStubPath(const std::string& builderDirectory);

// Clears the container, fills it with the project's eleven payload items, creates the
// output directory and writes the screen saver with the stub. Returns the paths written to.
// Raises the error of whatever fails (an unreadable logo, an output that cannot be written).
OutputPaths CompileProject(const ProjectSettings& settings, TResourceToExe& container,
                           const std::string& builderDirectory, const std::string& stubFileName);

// "Screen saver <file> succesfully compiled!"
std::string CompiledMessage(const OutputPaths& paths);

}  // namespace kestrix
