#include "tools/helpwriter/KeywordFile.h"

#include <algorithm>
#include <map>

#include "tools/helpwriter/BTreeWriter.h"

namespace kestrix {

namespace {

std::string Folded(const std::string& text) {
    std::string folded = text;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return folded;
}

struct Keyword {
    std::string spelling;
    std::vector<uint32_t> offsets;
};

}  // namespace

KeywordFiles WriteKeywordFiles(const std::vector<KeywordUse>& uses) {
    std::map<std::string, Keyword> keywords;  // by folded spelling, so in the order the viewers search
    for (const KeywordUse& use : uses) {
        if (use.keyword.empty()) continue;
        Keyword& keyword = keywords[Folded(use.keyword)];
        if (keyword.spelling.empty()) keyword.spelling = use.keyword;
        if (std::find(keyword.offsets.begin(), keyword.offsets.end(), use.topicOffset) == keyword.offsets.end())
            keyword.offsets.push_back(use.topicOffset);
    }

    KeywordFiles files;
    ByteWriter data;
    std::vector<BTreeEntry> entries;
    for (auto& [folded, keyword] : keywords) {
        std::sort(keyword.offsets.begin(), keyword.offsets.end());
        ByteWriter key;
        key.StringZ(keyword.spelling);
        ByteWriter value;
        value.U16(static_cast<uint16_t>(keyword.offsets.size()));
        value.U32(static_cast<uint32_t>(data.Size()));
        for (uint32_t offset : keyword.offsets) data.U32(offset);
        entries.push_back({key.Take(), value.Take()});
    }
    BTree tree = WriteBTree({kLookupPageSize, kLookupFlags, "F24"}, entries);
    files.tree = std::move(tree.data);
    files.data = data.Take();

    ByteWriter map;
    map.U16(static_cast<uint16_t>(tree.leafStarts.size()));
    for (size_t page = 0; page < tree.leafStarts.size(); ++page) {
        map.U32(static_cast<uint32_t>(tree.leafStarts[page]));
        map.U16(static_cast<uint16_t>(page));
    }
    files.map = map.Take();
    return files;
}

}  // namespace kestrix
