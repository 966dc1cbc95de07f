// |TOPIC and the files that point into it: the text of every topic comes back from the written
// file, and every way into a topic (context hash, title list, keyword, browse link, contents
// topic) leads to that topic.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/tools/HelpReader.h"
#include "tests/tools/TestProject.h"
#include "tools/helpwriter/ContextFile.h"
#include "tools/helpwriter/FontFile.h"
#include "tools/helpwriter/HelpFileWriter.h"
#include "tools/helpwriter/TopicFile.h"
#include "tools/helpwriter/TopicSource.h"

namespace kestrix::test {
namespace {

std::string LongBody(int paragraphs) {
    std::string body;
    for (int i = 0; i < paragraphs; ++i) {
        std::string n = std::to_string(i);
        switch (i % 5) {
            case 0:
                body += "## Section " + n + "\n\n";
                break;
            case 1:
                body += "Paragraph " + n + " has **bold " + n + "** words and a [jump](#short) in it.\n\n";
                break;
            case 2:
                body += "- item " + n + " of a list,\n  continued\n- **another** item\n\n";
                break;
            case 3:
                body += "1. first step " + n + "\n2. second step, see [the long topic](#Long_Topic)\n\n";
                break;
            default:
                body += "Plain text " + n +
                        ", caf\xc3\xa9 \xe2\x80\x93 with a dash and \xe2\x80\x9cquotes\xe2\x80\x9d.\n\n";
                break;
        }
    }
    return body;
}

// Short, long enough for many blocks, and one paragraph larger than a block's data.
HelpProject SampleProject() {
    std::vector<Topic> topics;
    topics.push_back(ParseTopic(TopicSource("short", "Short", "One **line**.\n", "alpha; Beta"), "short"));
    topics.push_back(ParseTopic(TopicSource("Long_Topic", "Long Topic", LongBody(400), "beta; gamma"), "long"));
    std::string huge(kTopicBlockData + 500, 'x');
    topics.push_back(ParseTopic(TopicSource("huge", "Huge", "Start " + huge + " **end**\n", "ALPHA"), "huge"));
    topics.push_back(ParseTopic(TopicSource("after.huge", "After Huge", "Still [found](#short).\n"), "after"));
    return ProjectOf(std::move(topics));
}

HelpReader WrittenSample() { return HelpReader(WriteHelpFile(SampleProject(), 0)); }

TEST(TopicFileTest, TextRoundTrips) {
    HelpProject project = SampleProject();
    HelpReader reader(WriteHelpFile(project, 0));
    EXPECT_GT(reader.TopicBlockCount(), 5u);
    ASSERT_EQ(reader.Topics().size(), project.topics.size());
    for (size_t t = 0; t < project.topics.size(); ++t) {
        const Topic& topic = project.topics[t];
        const ReadTopic& read = reader.Topics()[t];
        EXPECT_EQ(read.title, topic.title);
        EXPECT_EQ(read.number, t);
        ASSERT_EQ(read.paragraphs.size(), topic.paragraphs.size() + 1) << topic.title;
        EXPECT_EQ(read.paragraphs[0].baseFont, kTitleFont);
        EXPECT_EQ(read.paragraphs[0].text, topic.title);
        for (size_t p = 0; p < topic.paragraphs.size(); ++p) {
            const Paragraph& paragraph = topic.paragraphs[p];
            const ReadParagraph& back = read.paragraphs[p + 1];
            EXPECT_EQ(back.text, ExpectedText(paragraph)) << topic.title << ", paragraph " << p;
            EXPECT_EQ(back.baseFont, paragraph.kind == ParagraphKind::Heading ? kHeadingFont : kBodyFont);
            bool listItem = paragraph.kind == ParagraphKind::Bullet || paragraph.kind == ParagraphKind::Numbered;
            EXPECT_EQ(back.leftIndent > 0, listItem);
        }
    }
}

TEST(TopicFileTest, ContextHashesTitlesAndBrowseLinksLeadToTheirTopics) {
    HelpProject project = SampleProject();
    HelpReader reader(WriteHelpFile(project, 0));
    const std::vector<ReadTopic>& topics = reader.Topics();
    std::map<uint32_t, std::string> titles = reader.Titles();
    EXPECT_EQ(titles.size(), topics.size());
    for (size_t t = 0; t < topics.size(); ++t) {
        const std::string& id = project.topics[t].contextId;
        std::optional<uint32_t> offset = reader.ContextOffset(ContextHash(id));
        ASSERT_TRUE(offset.has_value()) << id;
        EXPECT_EQ(*offset, topics[t].offset) << id;
        EXPECT_EQ(reader.TopicAt(*offset).title, topics[t].title) << id;
        EXPECT_EQ(titles[*offset], topics[t].title);

        bool last = t + 1 == topics.size();
        EXPECT_EQ(topics[t].browseBack, t == 0 ? 0xFFFFFFFFu : topics[t - 1].offset);
        EXPECT_EQ(topics[t].browseForward, last ? 0xFFFFFFFFu : topics[t + 1].offset);
        if (!last) {
            EXPECT_EQ(topics[t].nextTopic, topics[t + 1].position);
        }
        EXPECT_GT(topics[t].scroll, topics[t].position);
    }
    EXPECT_EQ(reader.TopicAt(reader.System().contentsOffset).title, "Short");
    EXPECT_FALSE(reader.ContextOffset(ContextHash("nowhere")).has_value());
}

TEST(TopicFileTest, KeywordsLeadToTheTopicsThatListThem) {
    HelpReader reader = WrittenSample();
    std::map<std::string, std::vector<std::string>> found;
    for (const auto& [keyword, offsets] : reader.Keywords()) {
        for (uint32_t offset : offsets) found[keyword].push_back(reader.TopicAt(offset).title);
    }
    // One entry per keyword whatever its case, spelled as first used.
    std::map<std::string, std::vector<std::string>> expected = {
        {"alpha", {"Short", "Huge"}}, {"Beta", {"Short", "Long Topic"}}, {"gamma", {"Long Topic"}}};
    EXPECT_EQ(found, expected);

    // Stored in the order the viewers search: without regard to case.
    BTreeReader tree(reader.File("|KWBTREE"), StringSize, FixedSize(6));
    std::vector<std::string> order;
    for (const BTreeReader::Entry& entry : tree.Walk()) order.emplace_back(entry.key.begin(), entry.key.end() - 1);
    EXPECT_EQ(order, (std::vector<std::string>{"alpha", "Beta", "gamma"}));

    // One leaf page: the map holds its count and the page's first keyword number and page.
    EXPECT_EQ(reader.File("|KWMAP"), (Bytes{1, 0, 0, 0, 0, 0, 0, 0}));
}

// Enough topics that |CONTEXT, |TTLBTREE and |KWBTREE need index pages, so that lookups only
// succeed when the pages are in the order the viewers compare keys in.
TEST(TopicFileTest, LookupsAcrossManyPagesFindEveryTopic) {
    std::vector<Topic> topics;
    for (int i = 0; i < 700; ++i) {
        std::string n = std::to_string(i);
        // Ids of different lengths, so that their hashes spread over negative and positive numbers.
        std::string id = std::string(1 + i % 7, static_cast<char>('a' + i % 26)) + n;
        topics.push_back(ParseTopic(TopicSource(id, "Topic " + n, "Text of " + n + ".\n", "word " + n), id));
    }
    HelpProject project = ProjectOf(std::move(topics));
    HelpReader reader(WriteHelpFile(project, 0));

    BTreeReader context(reader.File("|CONTEXT"), FixedSize(4), FixedSize(4));
    EXPECT_GT(context.Levels(), 1);
    std::vector<BTreeReader::Entry> hashes = context.Walk();
    ASSERT_LT(int32_t(ReadU32(hashes.front().key, 0)), 0);
    for (size_t i = 1; i < hashes.size(); ++i)
        EXPECT_LT(int32_t(ReadU32(hashes[i - 1].key, 0)), int32_t(ReadU32(hashes[i].key, 0))) << "signed order";

    std::map<uint32_t, std::string> titles = reader.Titles();
    std::map<std::string, std::vector<uint32_t>> keywords = reader.Keywords();
    for (size_t t = 0; t < project.topics.size(); ++t) {
        const Topic& topic = project.topics[t];
        std::optional<uint32_t> offset = reader.ContextOffset(ContextHash(topic.contextId));
        ASSERT_TRUE(offset.has_value()) << topic.contextId;
        EXPECT_EQ(reader.TopicAt(*offset).title, topic.title);
        EXPECT_EQ(titles[*offset], topic.title);
        EXPECT_EQ(keywords[topic.keywords[0]], std::vector<uint32_t>{*offset});
    }
}

struct HashCase {
    std::string id;
    int32_t hash;
};

class ContextHashTest : public ::testing::TestWithParam<HashCase> {};

TEST_P(ContextHashTest, MatchesTheViewersWeights) { EXPECT_EQ(ContextHash(GetParam().id), GetParam().hash); }

// Worked out by hand from the viewers' character weights: letters 0x11.., digits 1..9 with
// "0" as 10, "." 12, "_" 13; each step multiplies by 43.
INSTANTIATE_TEST_SUITE_P(Ids, ContextHashTest,
                         ::testing::Values(HashCase{"", 1}, HashCase{"a", 0x11}, HashCase{"A", 0x11},
                                           HashCase{"Z", 0x2A}, HashCase{"0", 10}, HashCase{"9", 9}, HashCase{"_", 13},
                                           HashCase{"ab", 0x11 * 43 + 0x12},
                                           HashCase{"a.b", (0x11 * 43 + 12) * 43 + 0x12}));

TEST(ContextHashTest, IgnoresCaseAndWrapsLikeA32BitNumber) {
    EXPECT_EQ(ContextHash("Screen_Saver_Settings"), ContextHash("screen_saver_settings"));
    // Ten letters take the sum far past 32 bits; the viewers keep its low 32 bits.
    std::string id = "zzzzzzzzzz";
    int64_t exact = 0;
    for (size_t i = 0; i < id.size(); ++i) exact = exact * 43 + 0x2A;
    EXPECT_EQ(ContextHash(id), static_cast<int32_t>(static_cast<uint32_t>(exact)));
}

}  // namespace
}  // namespace kestrix::test
