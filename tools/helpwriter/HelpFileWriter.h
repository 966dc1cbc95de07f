// Puts a help project together: reads the sources of a help folder, checks that every jump and
// contents entry finds its topic, and writes the help file and its contents file.
#pragma once

#include <string>

#include "tools/helpwriter/ByteWriter.h"
#include "tools/helpwriter/HelpModel.h"

namespace kestrix {

// The folder holds "contents.txt" (the contents file's source, see ContentsFile.h) and the
// topics as "*.topic" files (see TopicSource.h), taken in the order of their names.
HelpProject LoadHelpProject(const std::string& folder);

// Throws when a jump or a contents entry names no topic, a context id is used twice, or a
// topic is missing from the contents.
void CheckHelpProject(const HelpProject& project);

// `generated` goes into |SYSTEM as the file's date (seconds since 1970).
Bytes WriteHelpFile(const HelpProject& project, uint32_t generated);

}  // namespace kestrix
