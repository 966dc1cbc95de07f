// The keyword index that the viewers' Index tab lists: |KWBTREE (keyword -> count and place in
// |KWDATA), |KWDATA (the topic offsets of each keyword, one after the other) and |KWMAP (the
// number of each leaf page's first keyword, for scrolling through the list quickly).
#pragma once

#include <string>
#include <vector>

#include "tools/helpwriter/ByteWriter.h"

namespace kestrix {

struct KeywordUse {
    std::string keyword;
    uint32_t topicOffset = 0;
};

struct KeywordFiles {
    Bytes tree;
    Bytes data;
    Bytes map;
};

// Keywords that differ only in case are one entry, spelled as first used; the list is sorted
// without regard to case, as the viewers search it.
KeywordFiles WriteKeywordFiles(const std::vector<KeywordUse>& uses);

}  // namespace kestrix
