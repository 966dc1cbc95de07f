// Loading movies: headers, compression, what is refused and why, and the frame actions read.
#include <gtest/gtest.h>

#include "swf/Actions.h"
#include "swf/Characters.h"
#include "tests/swf/SwfWriter.h"
#include "tests/swf/TestSupport.h"

namespace kestrix::swf::test {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

TEST(Movie, BytesThatAreNotAMovieAreRefusedWithAReason) {
    SwfWriter writer;
    writer.ShowFrame();
    std::vector<uint8_t> compressed = writer.Finish(true);
    std::vector<uint8_t> damaged(compressed.begin(), compressed.begin() + 8);
    damaged.insert(damaged.end(), {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF});
    std::vector<uint8_t> headerOnly = writer.Finish();
    headerOnly.resize(10);
    struct Case {
        std::vector<uint8_t> bytes;
        const char* reason;
    };
    const Case cases[] = {
        {{}, "too short"},
        {Bytes("FWS"), "too short"},
        {{'Z', 'W', 'S', 13, 0x10, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}, "LZMA-compressed movies are not supported"},
        {Bytes("GIF89a, a picture"), "not a Flash movie"},
        {damaged, "damaged"},
        {headerOnly, "incomplete"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(Movie::Load(c.bytes.data(), c.bytes.size(), error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << "got: " << error;
    }
}

TEST(Movie, PlainAndCompressedMoviesReadAlike) {
    for (bool compress : {false, true}) {
        SwfWriter writer(7, 320, 240, 25.5);
        writer.SetBackground(0x336699);
        writer.ShowFrame();
        writer.ShowFrame();
        auto movie = LoadOrFail(writer.Finish(compress));
        ASSERT_TRUE(movie);
        EXPECT_EQ(movie->Version(), 7);
        EXPECT_EQ(movie->StageWidth(), 320);
        EXPECT_EQ(movie->StageHeight(), 240);
        EXPECT_DOUBLE_EQ(movie->FrameRate(), 25.5);
        EXPECT_EQ(movie->FrameCount(), 2);
        EXPECT_EQ(movie->BackgroundColor(), 0xFF336699u);
    }
}

TEST(Movie, DefaultsForWhatAMovieLeavesOut) {
    SwfWriter writer(6, 100, 100, 0);
    auto movie = LoadOrFail(writer.Finish());
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->FrameRate(), 12) << "a rate of 0 plays at 12";
    EXPECT_EQ(movie->BackgroundColor(), 0xFFFFFFFFu);
    EXPECT_EQ(movie->FrameCount(), 1) << "even a movie without frames shows one";
}

TEST(Movie, TagsAfterTheLastShowFrameMakeAFrameAndTheFirstBackgroundWins) {
    SwfWriter writer;
    writer.SetBackground(0xFF0000);
    writer.ShowFrame();
    writer.SetBackground(0x00FF00);
    writer.Place(1, writer.DefineRectangle(0, 0, 100, 100, 0xFF000000));
    auto movie = LoadOrFail(writer.Finish());
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->FrameCount(), 2);
    EXPECT_EQ(movie->BackgroundColor(), 0xFFFF0000u);
}

TEST(Actions, OnlyTimelineControlIsReadAndOnlyWhatRunsStraightThrough) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        std::vector<ActionKind> kinds;
    };
    const Case cases[] = {
        {"simple",
         {0x06, 0x07, 0x04, 0x05, 0x00},
         {ActionKind::Play, ActionKind::Stop, ActionKind::NextFrame, ActionKind::PrevFrame}},
        {"goto and label",
         {0x81, 2, 0, 5, 0, 0x8C, 2, 0, 'a', 0, 0x00},
         {ActionKind::GotoFrame, ActionKind::GotoLabel}},
        {"other actions skipped", {0x96, 3, 0, 0, 'x', 0, 0x17, 0x07, 0x00}, {ActionKind::Stop}},
        {"a branch ends the list", {0x06, 0x9D, 2, 0, 0, 0, 0x07, 0x00}, {ActionKind::Play}},
        {"another timeline's actions left out",
         {0x8B, 2, 0, 'm', 0, 0x07, 0x8B, 1, 0, 0, 0x06, 0x00},
         {ActionKind::Play}},
        {"function bodies skipped", {0x9B, 5, 0, 0, 0, 0, 1, 0, 0x07, 0x06, 0x00}, {ActionKind::Play}},
        {"record longer than the block", {0x06, 0x81, 0x10, 0x00, 1}, {ActionKind::Play}},
        {"no end action", {0x07}, {ActionKind::Stop}},
    };
    for (const Case& c : cases) {
        Reader reader(c.bytes.data(), c.bytes.size());
        std::vector<ActionKind> kinds;
        for (const ActionOp& op : ParseActions(reader)) kinds.push_back(op.kind);
        EXPECT_EQ(kinds, c.kinds) << c.name;
    }
    const std::vector<uint8_t> gotoFive = {0x81, 2, 0, 5, 0};
    Reader reader(gotoFive.data(), gotoFive.size());
    EXPECT_EQ(ParseActions(reader).at(0).frame, 5);
}

}  // namespace
}  // namespace kestrix::swf::test
