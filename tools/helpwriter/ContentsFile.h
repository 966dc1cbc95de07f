// The contents file (.cnt) that the viewer's Help Topics window shows: ":BASE" names the help
// file, ":TITLE" the window's title, and each further line is "N Title" for a book at level N or
// "N Title=context_id" for a topic. Read from UTF-8 with any line ends, written in code page
// 1252 with CR LF.
#pragma once

#include <string>

#include "tools/helpwriter/HelpModel.h"

namespace kestrix {

Contents ParseContents(const std::string& source, const std::string& sourceName);
std::string WriteContents(const Contents& contents);

}  // namespace kestrix
