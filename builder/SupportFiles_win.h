// The support files that the builder carries as raw-data resources and writes beside itself
// when they are missing.
#pragma once

#include <string>

namespace kestrix {

struct SupportFile {
    const char* ResourceName;
    const char* FileName;
};

// In the order in which they are written.
constexpr SupportFile kSupportFiles[] = {
    {"KESTRIX", "Kestrix.dat"},          // the runtime that every compile copies
    {"GENERAL", "general.kcp"},          // the default project
    {"HELPHLP", "KestrixCompiler.hlp"},  // the help file
    {"HELPCNT", "KestrixCompiler.cnt"},  // its contents, found beside it by the help system
};

// Creates fileName and writes the raw-data resource of that name from the program's own
// executable into it. Raises "Resource NAME not found" or the file's create or write error;
// a file that could not be written completely is removed again, so the next start writes it
// afresh instead of taking a broken one for good.
void WriteResourceToFile(const char* resourceName, const std::string& fileName);

}  // namespace kestrix
