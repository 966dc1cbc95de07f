// The look-up files from names to topics: |CONTEXT maps the hash of each context id to its
// topic's offset (jumps and the contents file go through it), |TTLBTREE maps topic offsets to
// titles (the viewers list topics by title).
#pragma once

#include <string>
#include <vector>

#include "tools/helpwriter/ByteWriter.h"

namespace kestrix {

// The viewers' 32-bit hash of a context id; letters compare without regard to case.
int32_t ContextHash(const std::string& contextId);

struct TopicEntry {
    std::string contextId;
    std::string title;
    uint32_t offset = 0;  // the topic's position as |TOPIC counts it
};

Bytes WriteContextFile(const std::vector<TopicEntry>& topics);
Bytes WriteTitleFile(const std::vector<TopicEntry>& topics);

}  // namespace kestrix
