// |SYSTEM: the version of the help file, how |TOPIC is stored, the title and the contents topic.
#pragma once

#include "tools/helpwriter/ByteWriter.h"

#include <string>

namespace kestrix {

constexpr uint16_t kSystemMagic = 0x036C;
// Help files of Windows 3.1 and later; both the old and the 32-bit viewers read them. With
// flags 0 such a file keeps |TOPIC in plain 4 KB blocks.
constexpr uint16_t kHelpFormatMinor = 21;
constexpr uint16_t kHelpFormatMajor = 1;

enum SystemRecordType : uint16_t {
    kTitleRecord = 1,
    kContentsRecord = 3,
    kConfigRecord = 4,
};

struct SystemInfo {
    std::string title;
    uint32_t contentsTopic = 0;  // a topic offset
    uint32_t generated = 0;      // seconds since 1970; the 32-bit viewer keys its cache on it
    std::string startupMacro;    // run when the file opens; empty for none
};

Bytes WriteSystemFile(const SystemInfo& info);

}  // namespace kestrix
