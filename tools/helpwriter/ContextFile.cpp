#include "tools/helpwriter/ContextFile.h"

#include <algorithm>

#include "tools/helpwriter/BTreeWriter.h"

namespace kestrix {

namespace {

// The weight of each character in the hash. Letters fold to one weight regardless of case,
// digits and a few punctuation marks get small weights, and the other characters keep their
// code shifted down (as signed bytes). Only the characters a context id may hold matter for
// our own files; the rest follows the viewers so that any id hashes as they hash it.
int8_t CharacterWeight(uint8_t c) {
    switch (c) {
        case 0x00:
            return 0;
        case '!':
            return 0x0B;
        case '.':
            return 0x0C;
        case '0':
            return 0x0A;
        case '[':
            return 0x0B;
        case '\\':
            return 0x0C;
        case ']':
            return 0x0D;
        case '^':
            return 0x0E;
        case '_':
            return 0x0D;
        case 0xB4:
            return 0x0B;
        default:
            break;
    }
    int weight;
    if (c < 0x30)
        weight = c + 0xD0;  // control characters and most punctuation: 0xD0.. (negative)
    else if (c < 0x60)
        weight = c - 0x30;  // digits, upper-case letters and the marks around them
    else if (c < 0x80)
        weight = c - 0x50;  // lower case onto upper case
    else
        weight = c - 0x30;
    return static_cast<int8_t>(static_cast<uint8_t>(weight));
}

BTreeEntry NumberEntry(uint32_t key, const Bytes& value) {
    ByteWriter keyBytes;
    keyBytes.U32(key);
    return {keyBytes.Take(), value};
}

}  // namespace

int32_t ContextHash(const std::string& contextId) {
    if (contextId.empty()) return 1;
    uint32_t hash = 0;  // unsigned, so that the overflow the viewers rely on is defined
    for (char c : contextId)
        hash = hash * 43 + static_cast<uint32_t>(static_cast<int32_t>(CharacterWeight(static_cast<uint8_t>(c))));
    return static_cast<int32_t>(hash);
}

Bytes WriteContextFile(const std::vector<TopicEntry>& topics) {
    std::vector<std::pair<int32_t, uint32_t>> pairs;
    for (const TopicEntry& topic : topics) pairs.emplace_back(ContextHash(topic.contextId), topic.offset);
    // The viewers search the hashes as signed numbers.
    std::sort(pairs.begin(), pairs.end());
    std::vector<BTreeEntry> entries;
    for (size_t i = 0; i < pairs.size(); ++i) {
        if (i > 0 && pairs[i].first == pairs[i - 1].first)
            throw HelpWriterError("two context ids have the same hash; rename one of them");
        ByteWriter offset;
        offset.U32(pairs[i].second);
        entries.push_back(NumberEntry(static_cast<uint32_t>(pairs[i].first), offset.Take()));
    }
    return WriteBTree({kLookupPageSize, kLookupFlags, "L4"}, entries).data;
}

Bytes WriteTitleFile(const std::vector<TopicEntry>& topics) {
    std::vector<TopicEntry> sorted = topics;
    std::sort(sorted.begin(), sorted.end(),
              [](const TopicEntry& a, const TopicEntry& b) { return a.offset < b.offset; });
    std::vector<BTreeEntry> entries;
    for (const TopicEntry& topic : sorted) {
        ByteWriter title;
        title.StringZ(topic.title);
        entries.push_back(NumberEntry(topic.offset, title.Take()));
    }
    return WriteBTree({kLookupPageSize, kLookupFlags, "Lz"}, entries).data;
}

}  // namespace kestrix
