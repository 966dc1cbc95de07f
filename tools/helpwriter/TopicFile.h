// |TOPIC: the topics' text as a chain of records (topic links) in 4 KB blocks.
//
// Each block is a 12-byte header and data in the LZ77 framing, but holding literal bytes only:
// a zero flag byte before every 8 bytes, so nothing is compressed. Blocks stored plain would be
// simpler, but readers disagree on how positions in them are numbered (by the block's 4084
// data bytes, or by 16 KB as Wine's viewer does), so every topic past the first block would be
// found by some and missed by others. In the framing all of them number positions by 16 KB per
// block: a record's position is block * 16384 + its place in the block's data + 12, and a
// topic's offset, which |CONTEXT and |TTLBTREE store, is block * 32768 + the number of text
// characters before it in that block. Each topic is a header record (title, browse links,
// next topic) followed by one text record per paragraph; a last, empty header record ends
// the chain.
#pragma once

#include <vector>

#include "tools/helpwriter/ByteWriter.h"
#include "tools/helpwriter/HelpModel.h"

namespace kestrix {

constexpr size_t kTopicBlockSize = 4096;
constexpr size_t kTopicBlockHeaderSize = 12;
constexpr size_t kTopicBlockRoom = kTopicBlockSize - kTopicBlockHeaderSize;
// What a block's 4084 bytes hold when every 8 bytes take a flag byte.
constexpr size_t kTopicBlockData = kTopicBlockRoom - (kTopicBlockRoom + 8) / 9;
static_assert(kTopicBlockData + (kTopicBlockData + 7) / 8 <= kTopicBlockRoom);
// The size positions are numbered by, as for any block in the LZ77 framing.
constexpr size_t kTopicPositionsPerBlock = 0x4000;
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

// The LZ77 framing around literal bytes only.
Bytes FrameAsLiterals(const Bytes& data);

}  // namespace kestrix
