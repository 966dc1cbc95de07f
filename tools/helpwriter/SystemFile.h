// |SYSTEM: the version of the help file, how |TOPIC is stored, the title and the contents topic.
#pragma once

#include <string>

#include "tools/helpwriter/ByteWriter.h"

namespace kestrix {

constexpr uint16_t kSystemMagic = 0x036C;
// Help files of Windows 3.1 and later; both the old and the 32-bit viewers read them.
constexpr uint16_t kHelpFormatMinor = 21;
constexpr uint16_t kHelpFormatMajor = 1;
// |TOPIC in 4 KB blocks in the LZ77 framing (see TopicFile.h); no phrase tables.
constexpr uint16_t kTopicIn4KFramedBlocks = 0x0004;

enum SystemRecordType : uint16_t {
    kTitleRecord = 1,
    kContentsRecord = 3,
    kWindowRecord = 6,
};

struct SystemInfo {
    std::string title;
    uint32_t contentsTopic = 0;  // a topic offset
    uint32_t generated = 0;      // seconds since 1970; the 32-bit viewer keys its cache on it
    std::string caption;         // of the main help window; empty to leave it to the viewer
};

Bytes WriteSystemFile(const SystemInfo& info);

}  // namespace kestrix
