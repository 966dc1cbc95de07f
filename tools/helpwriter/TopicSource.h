// The topic source format (docs/help/*.topic), UTF-8 text:
//
//   Context: screen_saver_settings     the context id that jumps and the contents file use
//   Title: Screen Saver Settings
//   Keywords: movie; scale; alignment  index entries, optional
//
//   A paragraph: lines up to the next blank line, joined. **Bold** and [a jump](#context_id).
//
//   ## A heading
//
//   - a bullet item, whose continuation lines
//     are indented
//   1. a numbered item
#pragma once

#include <string>

#include "tools/helpwriter/HelpModel.h"

namespace kestrix {

Topic ParseTopic(const std::string& source, const std::string& sourceName);

// Only letters, digits, "_" and "." are safe in context ids for every viewer.
bool IsValidContextId(const std::string& id);

// UTF-8 to Windows-1252; throws for characters that code page lacks. `where` names the place.
std::string ToWindows1252(const std::string& utf8, const std::string& where);

}  // namespace kestrix
