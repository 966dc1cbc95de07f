// A small reader of help files for the tests, written from the format as the viewers read it
// and sharing no code with the writer: it walks the directory and the B+ trees page by page,
// unpacks |TOPIC blocks with a full LZ77 decoder, follows the record chain and decodes text
// records back into the topic source's notation.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrix::test {

using Bytes = std::vector<uint8_t>;

class ReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

uint16_t ReadU16(const Bytes& data, size_t offset);
uint32_t ReadU32(const Bytes& data, size_t offset);

// A B+ tree as stored: header, then pages. Entries are told apart by the sizes of their keys
// and values, which the caller knows from the tree's structure.
class BTreeReader {
public:
    using Size = std::function<size_t(const Bytes& page, size_t offset)>;
    struct Entry {
        Bytes key;
        Bytes value;
    };

    BTreeReader(Bytes tree, Size keySize, Size valueSize);

    uint16_t Levels() const { return levels_; }
    uint16_t PageSize() const { return pageSize_; }
    std::string Structure() const { return structure_; }
    // All entries, from the first leaf (reached through the first child of each index page)
    // along the chain of leaves. Checks the counts and the free space of every page on the way.
    std::vector<Entry> Walk() const;
    // The value stored under `key`, found by descending from the root; `less` orders keys.
    std::optional<Bytes> Find(const Bytes& key, const std::function<bool(const Bytes&, const Bytes&)>& less) const;

private:
    Bytes Page(uint16_t number) const;
    std::vector<Entry> LeafEntries(const Bytes& page) const;

    Bytes tree_;
    Size keySize_;
    Size valueSize_;
    uint16_t pageSize_ = 0;
    uint16_t rootPage_ = 0;
    uint16_t totalPages_ = 0;
    uint16_t levels_ = 0;
    uint32_t entryCount_ = 0;
    std::string structure_;
};

// Key and value sizes of the trees this project writes.
size_t StringSize(const Bytes& page, size_t offset);
BTreeReader::Size FixedSize(size_t size);

// A text record decoded back: the font it starts with, and its text in the source notation,
// "**" around runs in another bold font, "[text](#HASH)" for jumps (the hash in hex), and
// "- " or "N. " before list items.
struct ReadParagraph {
    uint16_t baseFont = 0;
    std::string text;
    int16_t leftIndent = 0;
    int16_t spaceAbove = 0;
};

struct ReadTopic {
    std::string title;
    uint32_t position = 0;  // of its header record
    uint32_t offset = 0;    // as counted by characters
    uint32_t browseBack = 0;
    uint32_t browseForward = 0;
    uint32_t number = 0;
    uint32_t scroll = 0;
    uint32_t nextTopic = 0;
    std::vector<ReadParagraph> paragraphs;
};

struct ReadSystem {
    uint16_t minor = 0;
    uint16_t flags = 0;
    std::string title;
    uint32_t contentsOffset = 0;
    std::string caption;
    std::vector<std::string> macros;
};

// The container: header, internal files, directory.
class InternalFiles {
public:
    explicit InternalFiles(Bytes file);

    std::vector<std::string> FileNames() const;  // the directory walked along its leaves
    Bytes File(const std::string& name) const;   // found from the directory's root
    uint32_t FileOffset(const std::string& name) const;
    uint32_t DirectoryOffset() const;
    const Bytes& Data() const { return file_; }

private:
    BTreeReader Directory() const;

    Bytes file_;
};

class HelpReader {
public:
    explicit HelpReader(Bytes file);

    const InternalFiles& Files() const { return files_; }
    Bytes File(const std::string& name) const { return files_.File(name); }

    ReadSystem System() const;
    // The topics in record order; the closing empty header record is left out.
    const std::vector<ReadTopic>& Topics() const { return topics_; }
    // The topic whose text holds `offset`, found as a viewer finds it: block, then characters.
    const ReadTopic& TopicAt(uint32_t offset) const;
    // |CONTEXT: the offset stored for a context hash.
    std::optional<uint32_t> ContextOffset(int32_t hash) const;
    std::map<uint32_t, std::string> Titles() const;                 // |TTLBTREE
    std::map<std::string, std::vector<uint32_t>> Keywords() const;  // |KWBTREE and |KWDATA
    size_t TopicBlockCount() const { return blocks_.size(); }

private:
    struct Record {
        uint32_t position;
        uint8_t type;
        Bytes linkData1;
        Bytes linkData2;
        uint32_t next;
        uint32_t previous;
    };

    void ReadTopicFile();
    Record ReadRecord(uint32_t position) const;
    Bytes ReadAt(uint32_t position, size_t count) const;
    ReadParagraph DecodeText(const Record& record) const;
    void ReadFonts();

    InternalFiles files_;
    std::vector<Bytes> blocks_;  // unpacked data of each |TOPIC block
    std::vector<std::array<uint32_t, 3>> blockHeaders_;
    std::vector<ReadTopic> topics_;
    std::vector<bool> boldFonts_;
};

// The LZ77 unpacking that help files use: a flag byte, then 8 items, each a literal byte (bit
// clear) or a 12-bit distance and 4-bit length (bit set).
Bytes UnpackLz77(const Bytes& packed);

}  // namespace kestrix::test
