#include "tests/tools/HelpReader.h"

#include <algorithm>
#include <cstdio>

namespace kestrix::test {

namespace {

constexpr uint32_t kMagic = 0x00035F3F;
constexpr size_t kBlockSize = 4096;
constexpr uint32_t kPositionsPerBlock = 0x4000;
constexpr uint32_t kNone = 0xFFFFFFFF;

void Require(bool condition, const std::string& what) {
    if (!condition) throw ReadError(what);
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

Bytes Slice(const Bytes& data, size_t offset, size_t count) {
    Require(offset + count <= data.size(), "read past the end");
    return Bytes(data.begin() + static_cast<std::ptrdiff_t>(offset),
                 data.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

std::string CString(const Bytes& data, size_t offset);

// A text in a field of fixed width, NUL-padded unless it fills the field.
std::string FixedString(const Bytes& data, size_t offset, size_t width) {
    Bytes field = Slice(data, offset, width);
    field.push_back(0);
    return CString(field, 0);
}

std::string CString(const Bytes& data, size_t offset) {
    size_t end = offset;
    while (end < data.size() && data[end] != 0) ++end;
    Require(end < data.size(), "string without NUL");
    return std::string(data.begin() + static_cast<std::ptrdiff_t>(offset),
                       data.begin() + static_cast<std::ptrdiff_t>(end));
}

// The variable-length numbers of text records: low bit clear, the short form.
class FieldReader {
public:
    FieldReader(const Bytes& data, size_t offset) : data_(data), at_(offset) {}
    uint8_t U8() {
        Require(at_ < data_.size(), "record ends early");
        return data_[at_++];
    }
    uint16_t U16() {
        uint16_t v = ReadU16(data_, at_);
        at_ += 2;
        return v;
    }
    uint32_t U32() {
        uint32_t v = ReadU32(data_, at_);
        at_ += 4;
        return v;
    }
    uint32_t CompressedU16() { return (Peek() & 1) ? U16() / 2u : U8() / 2u; }
    int32_t CompressedS16() { return (Peek() & 1) ? int32_t(U16() / 2) - 0x4000 : int32_t(U8() / 2) - 0x40; }
    int32_t CompressedS32() { return (Peek() & 1) ? int32_t(U32() / 2) - 0x4000000 : int32_t(U16() / 2) - 0x4000; }
    size_t At() const { return at_; }
    bool AtEnd() const { return at_ >= data_.size(); }

private:
    uint8_t Peek() const {
        Require(at_ < data_.size(), "record ends early");
        return data_[at_];
    }
    const Bytes& data_;
    size_t at_;
};

}  // namespace

uint16_t ReadU16(const Bytes& data, size_t offset) {
    Require(offset + 2 <= data.size(), "read past the end");
    return static_cast<uint16_t>(data[offset] | data[offset + 1] << 8);
}

uint32_t ReadU32(const Bytes& data, size_t offset) {
    return ReadU16(data, offset) | static_cast<uint32_t>(ReadU16(data, offset + 2)) << 16;
}

size_t StringSize(const Bytes& page, size_t offset) { return CString(page, offset).size() + 1; }

BTreeReader::Size FixedSize(size_t size) {
    return [size](const Bytes&, size_t) { return size; };
}

Bytes UnpackLz77(const Bytes& packed) {
    Bytes out;
    size_t at = 0;
    while (at < packed.size()) {
        uint8_t flags = packed[at++];
        for (int bit = 0; bit < 8 && at < packed.size(); ++bit) {
            if ((flags & (1 << bit)) == 0) {
                out.push_back(packed[at++]);
                continue;
            }
            uint16_t code = ReadU16(packed, at);
            at += 2;
            size_t distance = (code & 0x0FFF) + 1;
            size_t length = (code >> 12) + 3;
            Require(distance <= out.size(), "LZ77 reference before the start");
            for (size_t i = 0; i < length; ++i) out.push_back(out[out.size() - distance]);
        }
    }
    return out;
}

// ---- B+ trees

BTreeReader::BTreeReader(Bytes tree, Size keySize, Size valueSize)
    : tree_(std::move(tree)), keySize_(std::move(keySize)), valueSize_(std::move(valueSize)) {
    Require(ReadU16(tree_, 0) == 0x293B, "B+ tree magic");
    pageSize_ = ReadU16(tree_, 4);
    structure_ = FixedString(tree_, 6, 16);
    Require(ReadU16(tree_, 22) == 0, "B+ tree: must-be-zero field");
    rootPage_ = ReadU16(tree_, 26);
    Require(ReadU16(tree_, 28) == 0xFFFF, "B+ tree: must-be-minus-one field");
    totalPages_ = ReadU16(tree_, 30);
    levels_ = ReadU16(tree_, 32);
    entryCount_ = ReadU32(tree_, 34);
    Require(tree_.size() == 38 + size_t(totalPages_) * pageSize_, "B+ tree size does not match its pages");
    Require(rootPage_ < totalPages_ && levels_ >= 1, "B+ tree root");
}

Bytes BTreeReader::Page(uint16_t number) const {
    Require(number < totalPages_, "B+ tree page number out of range");
    return Slice(tree_, 38 + size_t(number) * pageSize_, pageSize_);
}

std::vector<BTreeReader::Entry> BTreeReader::LeafEntries(const Bytes& page) const {
    std::vector<Entry> entries;
    size_t at = 8;
    for (uint16_t i = 0; i < ReadU16(page, 2); ++i) {
        size_t keySize = keySize_(page, at);
        size_t valueSize = valueSize_(page, at + keySize);
        entries.push_back({Slice(page, at, keySize), Slice(page, at + keySize, valueSize)});
        at += keySize + valueSize;
    }
    Require(ReadU16(page, 0) == pageSize_ - at, "leaf page: free space field is wrong");
    return entries;
}

std::vector<BTreeReader::Entry> BTreeReader::Walk() const {
    uint16_t number = rootPage_;
    for (uint16_t level = 1; level < levels_; ++level)
        number = ReadU16(Page(number), 4);  // an index page's first child
    std::vector<Entry> all;
    uint16_t previous = 0xFFFF;
    for (size_t guard = 0; number != 0xFFFF; ++guard) {
        Require(guard < totalPages_, "leaf chain loops");
        Bytes page = Page(number);
        Require(ReadU16(page, 4) == previous, "leaf page: wrong previous page");
        std::vector<Entry> entries = LeafEntries(page);
        all.insert(all.end(), entries.begin(), entries.end());
        previous = number;
        number = ReadU16(page, 6);
    }
    Require(all.size() == entryCount_, "B+ tree: entry count differs from the header's");
    return all;
}

std::optional<Bytes> BTreeReader::Find(const Bytes& key,
                                       const std::function<bool(const Bytes&, const Bytes&)>& less) const {
    uint16_t number = rootPage_;
    for (uint16_t level = 1; level < levels_; ++level) {
        Bytes page = Page(number);
        uint16_t child = ReadU16(page, 4);
        size_t at = 6;
        for (uint16_t i = 0; i < ReadU16(page, 2); ++i) {
            size_t keySize = keySize_(page, at);
            Bytes separator = Slice(page, at, keySize);
            if (less(key, separator)) break;
            child = ReadU16(page, at + keySize);
            at += keySize + 2;
        }
        number = child;
    }
    for (const Entry& entry : LeafEntries(Page(number))) {
        if (!less(entry.key, key) && !less(key, entry.key)) return entry.value;
    }
    return std::nullopt;
}

// ---- the help file

InternalFiles::InternalFiles(Bytes file) : file_(std::move(file)) {
    Require(ReadU32(file_, 0) == kMagic, "help file magic");
    Require(ReadU32(file_, 8) == kNone, "no free list expected");
    Require(ReadU32(file_, 12) == file_.size(), "help file size field");
}

uint32_t InternalFiles::DirectoryOffset() const { return ReadU32(file_, 4); }

BTreeReader InternalFiles::Directory() const {
    uint32_t directory = DirectoryOffset();
    uint32_t used = ReadU32(file_, directory + 4);
    Require(ReadU32(file_, directory) == used + 9, "directory: reserved space");
    BTreeReader tree(Slice(file_, directory + 9, used), StringSize, FixedSize(4));
    Require(tree.PageSize() == 0x400 && tree.Structure() == "z4", "directory: page size or structure");
    return tree;
}

std::vector<std::string> InternalFiles::FileNames() const {
    std::vector<std::string> names;
    for (const BTreeReader::Entry& entry : Directory().Walk()) names.push_back(CString(entry.key, 0));
    return names;
}

uint32_t InternalFiles::FileOffset(const std::string& name) const {
    Bytes key(name.begin(), name.end());
    key.push_back(0);
    auto less = [](const Bytes& a, const Bytes& b) { return a < b; };
    std::optional<Bytes> value = Directory().Find(key, less);
    Require(value.has_value(), "no internal file " + name);
    return ReadU32(*value, 0);
}

Bytes InternalFiles::File(const std::string& name) const {
    uint32_t offset = FileOffset(name);
    uint32_t reserved = ReadU32(file_, offset);
    uint32_t used = ReadU32(file_, offset + 4);
    Require(reserved >= used + 9, name + ": reserved space smaller than the file");
    return Slice(file_, offset + 9, used);
}

HelpReader::HelpReader(Bytes file) : files_(std::move(file)) {
    ReadFonts();
    ReadTopicFile();
}

ReadSystem HelpReader::System() const {
    Bytes data = File("|SYSTEM");
    Require(ReadU16(data, 0) == 0x036C, "|SYSTEM magic");
    ReadSystem system;
    system.minor = ReadU16(data, 2);
    system.flags = ReadU16(data, 10);
    for (size_t at = 12; at < data.size();) {
        uint16_t type = ReadU16(data, at);
        Bytes record = Slice(data, at + 4, ReadU16(data, at + 2));
        at += 4 + record.size();
        if (type == 1)
            system.title = CString(record, 0);
        else if (type == 3)
            system.contentsOffset = ReadU32(record, 0);
        else if (type == 4)
            system.macros.push_back(CString(record, 0));
        else if (type == 6)
            system.caption = FixedString(record, 21, 51);
    }
    return system;
}

void HelpReader::ReadFonts() {
    Bytes data = File("|FONT");
    uint16_t count = ReadU16(data, 2);
    uint16_t descriptors = ReadU16(data, 6);
    for (uint16_t i = 0; i < count; ++i) boldFonts_.push_back((Slice(data, descriptors + 11u * i, 11)[0] & 1) != 0);
}

Bytes HelpReader::ReadAt(uint32_t position, size_t count) const {
    Require(position >= 12, "position below the block header");
    size_t block = (position - 12) / kPositionsPerBlock;
    size_t at = (position - 12) % kPositionsPerBlock;
    Bytes out;
    // A record that does not fit its block goes on at the start of the next one's data.
    while (out.size() < count) {
        Require(block < blocks_.size() && at <= blocks_[block].size(), "position outside |TOPIC");
        size_t take = std::min(count - out.size(), blocks_[block].size() - at);
        out.insert(out.end(), blocks_[block].begin() + static_cast<std::ptrdiff_t>(at),
                   blocks_[block].begin() + static_cast<std::ptrdiff_t>(at + take));
        ++block;
        at = 0;
    }
    return out;
}

HelpReader::Record HelpReader::ReadRecord(uint32_t position) const {
    Bytes link = ReadAt(position, 21);
    uint32_t blockSize = ReadU32(link, 0);
    uint32_t dataLen2 = ReadU32(link, 4);
    uint32_t dataLen1 = ReadU32(link, 16);
    Require(dataLen1 >= 21 && blockSize >= dataLen1, "record sizes");
    Require(blockSize - dataLen1 == dataLen2, "record: text length differs from its room (no phrases expected)");
    Bytes whole = ReadAt(position, blockSize);
    Record record;
    record.position = position;
    record.previous = ReadU32(link, 8);
    record.next = ReadU32(link, 12);
    record.type = link[20];
    record.linkData1 = Slice(whole, 21, dataLen1 - 21);
    record.linkData2 = Slice(whole, dataLen1, dataLen2);
    return record;
}

void HelpReader::ReadTopicFile() {
    ReadSystem system = System();
    Require(system.minor > 16 && system.flags == 4, "expected 4 KB blocks in the LZ77 framing");
    Bytes topic = File("|TOPIC");
    for (size_t begin = 0; begin < topic.size(); begin += kBlockSize) {
        size_t size = std::min(kBlockSize, topic.size() - begin);
        Require(size > 12, "|TOPIC block without data");
        blockHeaders_.push_back({ReadU32(topic, begin), ReadU32(topic, begin + 4), ReadU32(topic, begin + 8)});
        blocks_.push_back(UnpackLz77(Slice(topic, begin + 12, size - 12)));
        Require(blocks_.back().size() <= kPositionsPerBlock, "a block unpacks to more than 16 KB");
    }

    // Offsets as the viewers count them: per block, the characters of the text records that
    // start in it before the record.
    uint32_t previous = kNone;
    uint32_t lastHeader = 0;  // as the first block's header says: no topic before it
    uint32_t block = kNone;
    uint32_t characters = 0;
    for (uint32_t position = 12; position != kNone;) {
        Record record = ReadRecord(position);
        Require(record.previous == previous, "record: wrong previous position");
        uint32_t recordBlock = (position - 12) / kPositionsPerBlock;
        if (recordBlock != block) {
            Require(recordBlock < blocks_.size(), "record in no block");
            const std::array<uint32_t, 3>& header = blockHeaders_[recordBlock];
            Require(header[0] == previous, "block header: last record of the blocks before");
            Require(header[1] == position, "block header: first record");
            Require(header[2] == lastHeader, "block header: last topic header of the blocks before");
            block = recordBlock;
            characters = 0;
        }
        if (record.type == 2) lastHeader = position;
        uint32_t offset = block << 15 | characters;
        if (record.type == 2) {
            ReadTopic topic;
            topic.title = std::string(record.linkData2.begin(), record.linkData2.end());
            topic.position = position;
            topic.offset = offset;
            Require(record.linkData1.size() == 28, "topic header size");
            topic.browseBack = ReadU32(record.linkData1, 4);
            topic.browseForward = ReadU32(record.linkData1, 8);
            topic.number = ReadU32(record.linkData1, 12);
            topic.scroll = ReadU32(record.linkData1, 20);
            topic.nextTopic = ReadU32(record.linkData1, 24);
            topics_.push_back(topic);
        } else {
            Require(record.type == 0x20, "unknown record type");
            Require(!topics_.empty(), "text before the first topic");
            topics_.back().paragraphs.push_back(DecodeText(record));
            characters += static_cast<uint32_t>(record.linkData2.size());
        }
        previous = position;
        position = record.next;
    }
    Require(!topics_.empty() && topics_.back().title.empty() && topics_.back().paragraphs.empty(),
            "the chain must end with an empty topic header");
    topics_.pop_back();
}

ReadParagraph HelpReader::DecodeText(const Record& record) const {
    FieldReader fields(record.linkData1, 0);
    int32_t formattingSize = fields.CompressedS32();
    uint32_t length = fields.CompressedU16();
    Require(size_t(formattingSize) == record.linkData1.size() - fields.At(), "size of the formatting data");
    Require(length == record.linkData2.size(), "text length");
    fields.U8();
    fields.U8();
    fields.U16();
    uint16_t bits = fields.U16();
    ReadParagraph paragraph;
    if (bits & 0x0001) fields.CompressedS32();
    if (bits & 0x0002) paragraph.spaceAbove = static_cast<int16_t>(fields.CompressedS16());
    if (bits & 0x0004) fields.CompressedS16();
    if (bits & 0x0008) fields.CompressedS16();
    if (bits & 0x0010) paragraph.leftIndent = static_cast<int16_t>(fields.CompressedS16());
    if (bits & 0x0020) fields.CompressedS16();
    if (bits & 0x0040) fields.CompressedS16();
    Require((bits & 0x0100) == 0, "no borders expected");
    if (bits & 0x0200) {
        int32_t stops = fields.CompressedS16();
        for (int32_t i = 0; i < stops; ++i) {
            if (fields.CompressedU16() & 0x4000) fields.CompressedU16();
        }
    }

    size_t stringAt = 0;
    auto nextString = [&] {
        std::string text = CString(record.linkData2, stringAt);
        stringAt += text.size() + 1;
        return text;
    };
    bool first = true;
    bool bold = false;
    std::string hotspot;
    uint32_t hash = 0;
    bool inHotspot = false;
    for (;;) {
        std::string text = nextString();
        (inHotspot ? hotspot : paragraph.text) += text;
        uint8_t command = fields.U8();
        if (command == 0xFF) break;
        switch (command) {
            case 0x80: {
                uint16_t font = fields.U16();
                Require(font < boldFonts_.size(), "font number out of range");
                if (first) paragraph.baseFont = font;
                first = false;
                bool nowBold = font != paragraph.baseFont && boldFonts_[font];
                if (nowBold != bold) (inHotspot ? hotspot : paragraph.text) += "**";
                bold = nowBold;
                break;
            }
            case 0x82:
                break;
            case 0x83:
                paragraph.text = (paragraph.text == "\x95" ? std::string("- ") : paragraph.text + " ");
                break;
            case 0xE3:
                Require(!inHotspot, "hotspot inside a hotspot");
                hash = fields.U32();
                inHotspot = true;
                hotspot.clear();
                break;
            case 0x89:
                Require(inHotspot, "end of a hotspot that did not start");
                paragraph.text += "[" + hotspot + "](#" + Hex(hash) + ")";
                inHotspot = false;
                break;
            default:
                throw ReadError("unexpected text command " + Hex(command));
        }
    }
    if (bold) paragraph.text += "**";
    Require(fields.AtEnd(), "bytes after the end of the text commands");
    Require(stringAt == record.linkData2.size(), "strings left after the last command");
    return paragraph;
}

const ReadTopic& HelpReader::TopicAt(uint32_t offset) const {
    uint32_t block = offset >> 15;
    uint32_t wanted = offset & 0x7FFF;
    Require(block < blockHeaders_.size(), "offset in no block");
    uint32_t header = blockHeaders_[block][2];  // the last topic header of the blocks before
    uint32_t characters = 0;
    for (uint32_t position = blockHeaders_[block][1]; position != kNone;) {
        Record record = ReadRecord(position);
        if (record.type == 2) {
            header = position;
        } else {
            if (characters + record.linkData2.size() > wanted) break;
            characters += static_cast<uint32_t>(record.linkData2.size());
        }
        position = record.next;
    }
    for (const ReadTopic& topic : topics_) {
        if (topic.position == header) return topic;
    }
    throw ReadError("no topic at offset " + Hex(offset));
}

std::optional<uint32_t> HelpReader::ContextOffset(int32_t hash) const {
    BTreeReader tree(File("|CONTEXT"), FixedSize(4), FixedSize(4));
    auto less = [](const Bytes& a, const Bytes& b) { return int32_t(ReadU32(a, 0)) < int32_t(ReadU32(b, 0)); };
    Bytes key(4);
    for (int i = 0; i < 4; ++i) key[i] = static_cast<uint8_t>(uint32_t(hash) >> (8 * i));
    std::optional<Bytes> value = tree.Find(key, less);
    if (!value) return std::nullopt;
    return ReadU32(*value, 0);
}

std::map<uint32_t, std::string> HelpReader::Titles() const {
    BTreeReader tree(File("|TTLBTREE"), FixedSize(4), StringSize);
    std::map<uint32_t, std::string> titles;
    for (const BTreeReader::Entry& entry : tree.Walk()) titles[ReadU32(entry.key, 0)] = CString(entry.value, 0);
    return titles;
}

std::map<std::string, std::vector<uint32_t>> HelpReader::Keywords() const {
    BTreeReader tree(File("|KWBTREE"), StringSize, FixedSize(6));
    Bytes data = File("|KWDATA");
    std::map<std::string, std::vector<uint32_t>> keywords;
    for (const BTreeReader::Entry& entry : tree.Walk()) {
        std::vector<uint32_t>& offsets = keywords[CString(entry.key, 0)];
        uint16_t count = ReadU16(entry.value, 0);
        uint32_t at = ReadU32(entry.value, 2);
        for (uint16_t i = 0; i < count; ++i) offsets.push_back(ReadU32(data, at + 4u * i));
    }
    return keywords;
}

}  // namespace kestrix::test
