#include "tools/helpwriter/BTreeWriter.h"

namespace kestrix {

namespace {

constexpr uint16_t kNoPage = 0xFFFF;

struct Page {
    ByteWriter body;  // entries only; the header is written once the page is full
    uint16_t entries = 0;
    Bytes firstKey;
};

// A reference to a finished page and the smallest key below it, for the level above.
struct Child {
    uint16_t page;
    Bytes firstKey;
};

size_t Room(const BTreeLayout& layout, size_t headerSize, const Page& page) {
    return layout.pageSize - headerSize - page.body.Size();
}

std::vector<Page> PackLeaves(const BTreeLayout& layout, const std::vector<BTreeEntry>& entries) {
    std::vector<Page> leaves(1);
    for (const BTreeEntry& entry : entries) {
        size_t size = entry.key.size() + entry.value.size();
        if (size > layout.pageSize - kLeafPageHeaderSize)
            throw HelpWriterError("a B+ tree entry of " + std::to_string(size) + " bytes does not fit a page");
        if (size > Room(layout, kLeafPageHeaderSize, leaves.back())) leaves.emplace_back();
        Page& leaf = leaves.back();
        if (leaf.entries == 0) leaf.firstKey = entry.key;
        leaf.body.Append(entry.key);
        leaf.body.Append(entry.value);
        ++leaf.entries;
    }
    return leaves;
}

// The fields that leaf and index pages begin with alike.
void WritePageStart(ByteWriter& out, const BTreeLayout& layout, size_t headerSize, const Page& page) {
    out.U16(static_cast<uint16_t>(Room(layout, headerSize, page)));
    out.U16(page.entries);
}

// One level of index pages over `children`. Each page points to its first child through the
// header's "previous page" field and to every other child by that child's first key.
std::vector<Child> WriteIndexLevel(ByteWriter& out, const BTreeLayout& layout, const std::vector<Child>& children,
                                   uint16_t& nextPageNumber) {
    std::vector<Child> parents;
    size_t next = 0;
    while (next < children.size()) {
        Page page;
        uint16_t firstChild = children[next].page;
        page.firstKey = children[next].firstKey;
        ++next;
        while (next < children.size()) {
            size_t size = children[next].firstKey.size() + 2;
            if (size > Room(layout, kIndexPageHeaderSize, page)) break;
            page.body.Append(children[next].firstKey);
            page.body.U16(children[next].page);
            ++page.entries;
            ++next;
        }
        if (page.entries == 0 && next < children.size())
            throw HelpWriterError("a B+ tree key is too long for an index page");
        WritePageStart(out, layout, kIndexPageHeaderSize, page);
        out.U16(firstChild);
        out.Append(page.body.Data());
        out.Zeros(Room(layout, kIndexPageHeaderSize, page));
        parents.push_back({nextPageNumber++, page.firstKey});
    }
    return parents;
}

}  // namespace

BTree WriteBTree(const BTreeLayout& layout, const std::vector<BTreeEntry>& entries) {
    if (layout.structure.size() >= 16) throw HelpWriterError("B+ tree structure text too long: " + layout.structure);

    std::vector<Page> leaves = PackLeaves(layout, entries);
    BTree tree;
    ByteWriter pages;
    std::vector<Child> level;
    size_t entryCount = 0;
    for (size_t i = 0; i < leaves.size(); ++i) {
        tree.leafStarts.push_back(entryCount);
        entryCount += leaves[i].entries;
        WritePageStart(pages, layout, kLeafPageHeaderSize, leaves[i]);
        pages.U16(i == 0 ? kNoPage : static_cast<uint16_t>(i - 1));
        pages.U16(i + 1 == leaves.size() ? kNoPage : static_cast<uint16_t>(i + 1));
        pages.Append(leaves[i].body.Data());
        pages.Zeros(Room(layout, kLeafPageHeaderSize, leaves[i]));
        level.push_back({static_cast<uint16_t>(i), leaves[i].firstKey});
    }

    uint16_t pageCount = static_cast<uint16_t>(leaves.size());
    uint16_t levels = 1;
    while (level.size() > 1) {
        level = WriteIndexLevel(pages, layout, level, pageCount);
        ++levels;
    }
    if (pages.Size() / layout.pageSize >= kNoPage) throw HelpWriterError("a B+ tree has too many pages");

    ByteWriter out;
    out.U16(kBTreeMagic);
    out.U16(layout.flags);
    out.U16(layout.pageSize);
    out.Fixed(layout.structure, 16);
    out.U16(0);  // must be zero
    out.U16(
        static_cast<uint16_t>(pageCount - 1));  // page splits: a tree grown one entry at a time would have had these
    out.U16(level.front().page);                // root
    out.U16(0xFFFF);
    out.U16(pageCount);
    out.U16(levels);
    out.U32(static_cast<uint32_t>(entries.size()));
    out.Append(pages.Data());
    tree.data = out.Take();
    return tree;
}

}  // namespace kestrix
