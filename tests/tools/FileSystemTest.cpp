// The container and its B+ trees: everything the writer stores can be walked back and found
// from the root.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "tests/tools/HelpReader.h"
#include "tools/helpwriter/BTreeWriter.h"
#include "tools/helpwriter/ByteWriter.h"
#include "tools/helpwriter/InternalFileSystem.h"

namespace kestrix::test {
namespace {

struct TreeCase {
    size_t entries;
    uint16_t pageSize;
    uint16_t levels;
};

void PrintTo(const TreeCase& tree, std::ostream* out) {
    *out << tree.entries << " entries in pages of " << tree.pageSize << " bytes";
}

class BTreeTest : public ::testing::TestWithParam<TreeCase> {};

std::string Key(size_t i) {
    char text[32];
    std::snprintf(text, sizeof text, "key%05zu", i);
    return text;
}

TEST_P(BTreeTest, WalkAndSearchFindEveryEntry) {
    const TreeCase& param = GetParam();
    std::vector<BTreeEntry> entries;
    for (size_t i = 0; i < param.entries; ++i) {
        ByteWriter key;
        key.StringZ(Key(i));
        ByteWriter value;
        value.U32(static_cast<uint32_t>(i * 7));
        entries.push_back({key.Take(), value.Take()});
    }
    BTree tree = WriteBTree({param.pageSize, kLookupFlags, "z4"}, entries);
    BTreeReader reader(tree.data, StringSize, FixedSize(4));
    EXPECT_EQ(reader.Levels(), param.levels);

    std::vector<BTreeReader::Entry> walked = reader.Walk();
    ASSERT_EQ(walked.size(), entries.size());
    auto less = [](const Bytes& a, const Bytes& b) { return a < b; };
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(walked[i].key, entries[i].key) << i;
        std::optional<Bytes> found = reader.Find(entries[i].key, less);
        ASSERT_TRUE(found.has_value()) << Key(i);
        EXPECT_EQ(*found, entries[i].value) << Key(i);
    }
    ByteWriter missing;
    missing.StringZ(Key(param.entries / 2) + "x");
    EXPECT_FALSE(reader.Find(missing.Data(), less).has_value());

    ASSERT_FALSE(tree.leafStarts.empty());
    EXPECT_EQ(tree.leafStarts.front(), 0u);
    EXPECT_TRUE(std::is_sorted(tree.leafStarts.begin(), tree.leafStarts.end()));
}

INSTANTIATE_TEST_SUITE_P(Sizes, BTreeTest,
                         ::testing::Values(TreeCase{0, 0x400, 1}, TreeCase{1, 0x400, 1}, TreeCase{78, 0x400, 1},
                                           TreeCase{79, 0x400, 2}, TreeCase{3000, 0x80, 4}, TreeCase{20000, 0x800, 2}));

class DirectoryTest : public ::testing::TestWithParam<size_t> {};

TEST_P(DirectoryTest, EveryFileIsFoundWholeAndAlone) {
    InternalFileSystem system;
    std::vector<std::pair<std::string, Bytes>> files;
    for (size_t i = 0; i < GetParam(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "|F%03zu", (i * 37) % 1000);  // added out of order
        Bytes content((i * 53) % 700);
        for (size_t k = 0; k < content.size(); ++k) content[k] = static_cast<uint8_t>(i + k);
        system.AddFile(name, content);
        files.emplace_back(name, content);
    }
    InternalFiles reader(system.Build());

    std::vector<std::string> names;
    for (const auto& file : files) names.push_back(file.first);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(reader.FileNames(), names);

    std::vector<std::pair<uint32_t, size_t>> extents;
    for (const auto& [name, content] : files) {
        EXPECT_EQ(reader.File(name), content) << name;
        extents.emplace_back(reader.FileOffset(name), content.size() + 9);
    }
    extents.emplace_back(reader.DirectoryOffset(), 0);
    std::sort(extents.begin(), extents.end());
    for (size_t i = 0; i + 1 < extents.size(); ++i)
        EXPECT_LE(extents[i].first + extents[i].second, extents[i + 1].first) << "files overlap";
    EXPECT_GE(extents.front().first, 16u);
}

INSTANTIATE_TEST_SUITE_P(Counts, DirectoryTest, ::testing::Values(1, 9, 150));

TEST(InternalFileSystemTest, RefusesAFileTwice) {
    InternalFileSystem system;
    system.AddFile("|TOPIC", {});
    EXPECT_THROW(system.AddFile("|TOPIC", {1}), HelpWriterError);
}

}  // namespace
}  // namespace kestrix::test
