// |TOPIC: the topics' text as a chain of records (topic links) in 4 KB blocks, stored plain.
//
// Each block starts with a 12-byte header; the records run on through the rest of the blocks.
// A record is referred to by its position (block number times the block's 4084 data bytes,
// plus its place in the block, plus 12) and a topic by its offset (block number times 32768
// plus the number of text characters before it in that block), which is what |CONTEXT and
// |TTLBTREE store. Each topic is a header record (title, browse links, next topic) followed by
// one text record per paragraph; a last, empty header record ends the chain.
#pragma once

#include "tools/helpwriter/ByteWriter.h"
#include "tools/helpwriter/HelpModel.h"

#include <vector>

namespace kestrix {

constexpr size_t kTopicBlockSize = 4096;
constexpr size_t kTopicBlockHeaderSize = 12;
constexpr size_t kTopicBlockData = kTopicBlockSize - kTopicBlockHeaderSize;
constexpr size_t kTopicLinkHeaderSize = 21;
constexpr size_t kTopicHeaderSize = 28;

enum TopicRecordType : uint8_t {
    kTopicHeaderRecord = 0x02,
    kTextRecord = 0x20,
};

// Commands between the strings of a text record.
enum TextCommand : uint8_t {
    kFontCommand = 0x80,  // followed by a 16-bit font number
    kEndOfParagraph = 0x82,
    kTabCommand = 0x83,
    kEndOfHotspot = 0x89,
    kTopicJump = 0xE3,  // followed by the target's context hash; underlined green until kEndOfHotspot
    kEndOfText = 0xFF,
};

// Which optional paragraph fields follow the paragraph's flags.
enum ParagraphField : uint16_t {
    kSpacingAboveField = 0x0002,
    kSpacingBelowField = 0x0004,
    kLeftIndentField = 0x0010,
    kFirstLineIndentField = 0x0040,
    kTabStopsField = 0x0200,
};

struct TopicFile {
    Bytes data;
    std::vector<uint32_t> topicOffsets;  // one per topic, in the order given
};

TopicFile WriteTopicFile(const std::vector<Topic>& topics);

}  // namespace kestrix
