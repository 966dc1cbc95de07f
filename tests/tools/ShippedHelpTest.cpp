// The help that ships with the builder: docs/help as written by the build. The outline of the
// contents file is fixed, and each of its entries must open the topic of its title.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/tools/HelpReader.h"
#include "tools/helpwriter/ContentsFile.h"
#include "tools/helpwriter/ContextFile.h"
#include "tools/helpwriter/HelpFileWriter.h"

namespace kestrix::test {
namespace {

const char* const kExpectedContents =
    ":BASE KestrixCompiler.hlp\r\n"
    ":TITLE Kestrix Compiler Help\r\n"
    "1 Introduction\r\n"
    "2 Welcome=welcome\r\n"
    "2 Requirements=requirements\r\n"
    "1 Kestrix Compiler\r\n"
    "2 Overview=overview\r\n"
    "2 Topics\r\n"
    "3 Screen Saver Settings=screen_saver_settings\r\n"
    "3 Configuration Window=configuration_window\r\n"
    "3 Distribution Settings=distribution_settings\r\n";

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ReadError("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every topic entry of the contents opens, through |CONTEXT, the topic of the entry's title.
void ExpectContentsEntriesOpenTheirTopics(const Contents& contents, const HelpReader& help) {
    for (const ContentsEntry& entry : contents.entries) {
        if (entry.contextId.empty()) continue;
        std::optional<uint32_t> offset = help.ContextOffset(ContextHash(entry.contextId));
        ASSERT_TRUE(offset.has_value()) << entry.contextId;
        const ReadTopic& topic = help.TopicAt(*offset);
        EXPECT_EQ(topic.title, entry.title);
        EXPECT_GE(topic.paragraphs.size(), 5u) << entry.title << " has hardly any text";
    }
}

TEST(ShippedHelpTest, SourcesGiveTheRequiredOutlineAndTopics) {
    HelpProject project = LoadHelpProject(KX_HELP_SOURCE_DIR);
    EXPECT_EQ(WriteContents(project.contents), kExpectedContents);
    ASSERT_EQ(project.topics.size(), 6u);
    EXPECT_EQ(project.topics.front().contextId, "welcome");  // the contents topic
    for (const Topic& topic : project.topics)
        EXPECT_FALSE(topic.keywords.empty()) << topic.title << " is missing from the index";

    HelpReader help(WriteHelpFile(project, 0));
    ReadSystem system = help.System();
    EXPECT_EQ(system.title, "Kestrix Compiler Help");
    EXPECT_EQ(system.caption, "Kestrix Compiler Help");
    EXPECT_EQ(help.TopicAt(system.contentsOffset).title, "Welcome");
    ExpectContentsEntriesOpenTheirTopics(project.contents, help);
}

// The files the build made for the builder to carry.
TEST(ShippedHelpTest, BuiltFilesAreTheSourcesWritten) {
    Bytes contents = ReadFile(KX_BUILT_HELP_CNT);
    EXPECT_EQ(std::string(contents.begin(), contents.end()), kExpectedContents);
    HelpReader help(ReadFile(KX_BUILT_HELP_HLP));
    EXPECT_EQ(help.Topics().size(), 6u);
    ExpectContentsEntriesOpenTheirTopics(ParseContents(kExpectedContents, "built"), help);
}

}  // namespace
}  // namespace kestrix::test
