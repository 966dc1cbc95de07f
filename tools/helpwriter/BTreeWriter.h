// The B+ tree that the help file uses for its directory and its look-up files: a header, then
// fixed-size pages, leaves first and the root last. Leaves hold whole entries and are chained
// both ways; index pages hold the first key of each child but the first.
#pragma once

#include <string>
#include <vector>

#include "tools/helpwriter/ByteWriter.h"

namespace kestrix {

struct BTreeEntry {
    Bytes key;    // as stored, e.g. a NUL-terminated name or a 4-byte number
    Bytes value;  // what leaves store after the key
};

struct BTreeLayout {
    uint16_t pageSize = 0x800;
    uint16_t flags = 0x0002;
    std::string structure;  // the format letters the viewers read, e.g. "z4" or "L4"
};

constexpr uint16_t kBTreeMagic = 0x293B;
// The look-up trees (|CONTEXT, |TTLBTREE, |KWBTREE) use 2 KB pages and no special flags.
constexpr uint16_t kLookupPageSize = 0x800;
constexpr uint16_t kLookupFlags = 0x0002;
constexpr size_t kBTreeHeaderSize = 38;
constexpr size_t kLeafPageHeaderSize = 8;
constexpr size_t kIndexPageHeaderSize = 6;

struct BTree {
    Bytes data;
    std::vector<size_t> leafStarts;  // the index of the first entry of each leaf page; leaf N is page N
};

// `entries` must already be in the order the tree's readers compare keys in.
BTree WriteBTree(const BTreeLayout& layout, const std::vector<BTreeEntry>& entries);

}  // namespace kestrix
