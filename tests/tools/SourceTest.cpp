// The help sources: what the topic and contents formats mean, and the mistakes the writer
// refuses before it writes anything.
#include <gtest/gtest.h>

#include "tests/tools/TestProject.h"
#include "tools/helpwriter/ByteWriter.h"
#include "tools/helpwriter/ContentsFile.h"
#include "tools/helpwriter/HelpFileWriter.h"
#include "tools/helpwriter/TopicSource.h"

namespace kestrix::test {
namespace {

TEST(TopicSourceTest, BlocksBecomeParagraphsOfTheirKind) {
    Topic topic = ParseTopic(TopicSource("intro", "Intro",
                                         "First line\nand its continuation.\n\n"
                                         "## A **heading**\n\n"
                                         "- one\n  more of one\n- two [jump](#intro)\n"
                                         "12. twelve\n\n"
                                         "\xe2\x80\x9cQuoted\xe2\x80\x9d \xc2\xa9 2024\n",
                                         "a; b ;; c"),
                             "intro.topic");
    EXPECT_EQ(topic.contextId, "intro");
    EXPECT_EQ(topic.title, "Intro");
    EXPECT_EQ(topic.keywords, (std::vector<std::string>{"a", "b", "c"}));
    std::vector<std::pair<ParagraphKind, std::string>> expected = {
        {ParagraphKind::Body, "First line and its continuation."},
        {ParagraphKind::Heading, "A heading"},
        {ParagraphKind::Bullet, "- one more of one"},
        {ParagraphKind::Bullet, "- two [jump](#" + HashText("intro") + ")"},
        {ParagraphKind::Numbered, "12. twelve"},
        {ParagraphKind::Body, "\x93Quoted\x94 \xA9 2024"},
    };
    ASSERT_EQ(topic.paragraphs.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(topic.paragraphs[i].kind, expected[i].first) << i;
        EXPECT_EQ(ExpectedText(topic.paragraphs[i]), expected[i].second) << i;
    }
}

struct BadSource {
    std::string source;
    std::string message;
};

class BadTopicTest : public ::testing::TestWithParam<BadSource> {};

TEST_P(BadTopicTest, IsRefusedWithItsPlace) {
    try {
        ParseTopic(GetParam().source, "bad.topic");
        FAIL() << "accepted: " << GetParam().source;
    } catch (const HelpWriterError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, BadTopicTest,
    ::testing::Values(BadSource{"Title: T\n\nText\n", "missing or bad Context"},
                      BadSource{"Context: a b\nTitle: T\n\nText\n", "missing or bad Context"},
                      BadSource{"Context: a\n\nText\n", "missing Title"},
                      BadSource{"Context: a\nTitle: T\nColour: red\n\nText\n", "bad.topic:3: unknown key Colour"},
                      BadSource{"Context: a\nTitle: T\n", "the topic has no text"},
                      BadSource{"Context: a\nTitle: T\n\nSome **bold\n", "bad.topic:4: ** is not closed"},
                      BadSource{"Context: a\nTitle: T\n\n[jump](#b c)\n", "bad jump"},
                      BadSource{"Context: a\nTitle: T\n\n[jump](b)\n", "a jump must read"},
                      BadSource{"Context: a\nTitle: T\n\n- item\nloose line\n", "bad.topic:5: a list line"},
                      BadSource{"Context: a\nTitle: T\n\n## Two\nlines\n", "a heading is one line"},
                      BadSource{"Context: a\nTitle: T\n\nSnow \xe2\x98\x83\n", "U+2603 cannot go into a help text"},
                      BadSource{"Context: a\nTitle: T\n\nBroken \xe2\x80\n", "malformed UTF-8"}));

Topic Simple(const std::string& id, const std::string& title, const std::string& body = "Text.\n") {
    return ParseTopic(TopicSource(id, title, body), id + ".topic");
}

struct BadProject {
    std::string name;
    HelpProject project;
    std::string message;
};

std::vector<BadProject> BadProjects() {
    std::vector<BadProject> cases;
    HelpProject jump = ProjectOf({Simple("a", "A", "See [b](#b).\n")});
    cases.push_back({"jump to no topic", jump, "no topic has the context id b"});

    HelpProject twice = ProjectOf({Simple("Intro", "One"), Simple("intro", "Two")});
    cases.push_back({"one id twice, in two cases", twice, "context id intro is also used by Intro.topic"});

    HelpProject entry = ProjectOf({Simple("a", "A")});
    entry.contents.entries.push_back({2, "Gone", "gone"});
    cases.push_back({"contents entry to no topic", entry, "contents entry \"Gone\": no topic has the context id gone"});

    HelpProject unlisted = ProjectOf({Simple("a", "A"), Simple("b", "B")});
    unlisted.contents.entries.pop_back();
    cases.push_back({"topic missing from the contents", unlisted, "b.topic: the topic is missing from the contents"});

    cases.push_back({"no topics", ProjectOf({}), "the help has no topics"});
    return cases;
}

TEST(HelpProjectTest, BrokenProjectsAreRefusedBeforeWriting) {
    for (const BadProject& bad : BadProjects()) {
        try {
            WriteHelpFile(bad.project, 0);
            ADD_FAILURE() << bad.name << ": written";
        } catch (const HelpWriterError& error) {
            EXPECT_NE(std::string(error.what()).find(bad.message), std::string::npos)
                << bad.name << ": " << error.what();
        }
    }
}

TEST(ContentsFileTest, ReadsTheOutlineAndWritesItWithCrLf) {
    Contents contents = ParseContents(
        "; a comment\n:BASE Test.hlp\r\n:TITLE T\xc3\xa9st\n1 Book\n2 Topic=a\n"
        "2 Inner book\n3 Deep=b\n1 Top topic=c\n",
        "contents.txt");
    EXPECT_EQ(WriteContents(contents),
              ":BASE Test.hlp\r\n:TITLE T\xe9st\r\n1 Book\r\n2 Topic=a\r\n2 Inner book\r\n"
              "3 Deep=b\r\n1 Top topic=c\r\n");
}

struct BadContents {
    std::string source;
    std::string message;
};

class BadContentsTest : public ::testing::TestWithParam<BadContents> {};

TEST_P(BadContentsTest, IsRefused) {
    try {
        ParseContents(GetParam().source, "contents.txt");
        FAIL() << "accepted: " << GetParam().source;
    } catch (const HelpWriterError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, BadContentsTest,
    ::testing::Values(BadContents{":TITLE T\n1 A=a\n", "need a :BASE and a :TITLE"},
                      BadContents{":BASE x.hlp\n:TITLE T\n2 A=a\n", "contents.txt:3: level 2 has no book above it"},
                      BadContents{":BASE x.hlp\n:TITLE T\n1 A=a\n2 B=b\n", "level 2 has no book above it"},
                      BadContents{":BASE x.hlp\n:TITLE T\n1 Book\n3 B=b\n", "level 3 has no book above it"},
                      BadContents{":BASE x.hlp\n:TITLE T\n1 A=a b\n", "bad context id"},
                      BadContents{":BASE x.hlp\n:TITLE T\nA=a\n", "an entry must read"},
                      BadContents{":BASE x.hlp\n:INDEX x\n", "unknown command"}));

struct Compressed {
    char kind;  // 'u' and 's': 16-bit forms, 'U' and 'S': 32-bit forms
    int64_t value;
    Bytes bytes;
};

class CompressedNumberTest : public ::testing::TestWithParam<Compressed> {};

TEST_P(CompressedNumberTest, TakesTheShortFormWhenItFits) {
    const Compressed& c = GetParam();
    ByteWriter out;
    switch (c.kind) {
        case 'u':
            out.CompressedU16(static_cast<uint32_t>(c.value));
            break;
        case 's':
            out.CompressedS16(static_cast<int32_t>(c.value));
            break;
        case 'U':
            out.CompressedU32(static_cast<uint32_t>(c.value));
            break;
        default:
            out.CompressedS32(static_cast<int32_t>(c.value));
            break;
    }
    EXPECT_EQ(out.Data(), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(Edges, CompressedNumberTest,
                         ::testing::Values(Compressed{'u', 0, {0x00}}, Compressed{'u', 127, {0xFE}},
                                           Compressed{'u', 128, {0x01, 0x01}}, Compressed{'u', 0x7FFF, {0xFF, 0xFF}},
                                           Compressed{'s', 0, {0x80}}, Compressed{'s', -64, {0x00}},
                                           Compressed{'s', 63, {0xFE}}, Compressed{'s', 64, {0x81, 0x80}},
                                           Compressed{'s', -65, {0x7F, 0x7F}}, Compressed{'U', 5, {0x0A, 0x00}},
                                           Compressed{'U', 0x8000, {0x01, 0x00, 0x01, 0x00}},
                                           Compressed{'S', 0, {0x00, 0x80}}, Compressed{'S', -0x4000, {0x00, 0x00}},
                                           Compressed{'S', 0x4000, {0x01, 0x80, 0x00, 0x08}}));

TEST(CompressedNumberTest, RefusesWhatNoFormHolds) {
    ByteWriter out;
    EXPECT_THROW(out.CompressedU16(0x8000), HelpWriterError);
    EXPECT_THROW(out.CompressedS16(0x4000), HelpWriterError);
    EXPECT_THROW(out.CompressedS16(-0x4001), HelpWriterError);
}

}  // namespace
}  // namespace kestrix::test
