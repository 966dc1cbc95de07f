// Frame stepping, sprites, frame actions and the player's controls.
#include <cmath>
#include <functional>

#include <gtest/gtest.h>

#include "swf/Characters.h"
#include "swf/Stage.h"
#include "tests/swf/SwfWriter.h"
#include "tests/swf/TestSupport.h"

namespace kestrix::swf::test {
namespace {

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kWhite = 0xFFFFFFFF;

// A main timeline of `frames` frames, each showing its own colour at depth 1 (frame k shows
// colors[k % 3]) and with the given actions added on the frames named.
struct TimelineMovie {
    int frames = 3;
    std::vector<std::pair<int, std::function<void(SwfWriter&)>>> actions;
    std::vector<std::pair<int, std::string>> labels;
};

const uint32_t kColors[] = {kRed, kGreen, kBlue};

std::vector<uint8_t> WriteTimeline(const TimelineMovie& layout) {
    SwfWriter writer(8, 10, 10);
    uint16_t shapes[3];
    for (int i = 0; i < 3; ++i) shapes[i] = writer.DefineRectangle(0, 0, 200, 200, kColors[i]);
    for (int frame = 0; frame < layout.frames; ++frame) {
        if (frame > 0) writer.Remove(1);
        writer.Place(1, shapes[frame % 3]);
        for (const auto& [at, label] : layout.labels)
            if (at == frame) writer.Label(label);
        for (const auto& [at, action] : layout.actions)
            if (at == frame) action(writer);
        writer.ShowFrame();
    }
    return writer.Finish();
}

uint32_t Shown(const Player& player) {
    return Draw(player, 10, 10).At(5, 5);
}

TEST(Timeline, MainTimelineLoopsByDefaultAndStopsAtTheEndWithoutLoop) {
    auto movie = LoadOrFail(WriteTimeline({}));
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->FrameCount(), 3);
    for (bool loop : {true, false}) {
        Player player(movie);
        player.SetLoop(loop);
        std::vector<int> seen;
        for (int i = 0; i < 5; ++i) {
            seen.push_back(player.CurrentFrame());
            EXPECT_EQ(Shown(player), kColors[(player.CurrentFrame() - 1) % 3]);
            player.StepFrame();
        }
        EXPECT_EQ(seen, loop ? std::vector<int>({1, 2, 3, 1, 2}) : std::vector<int>({1, 2, 3, 3, 3}));
        EXPECT_EQ(player.Playing(), loop);
    }
}

TEST(Timeline, FrameActionsSteerThePlayhead) {
    struct Case {
        const char* name;
        TimelineMovie movie;
        std::vector<int> frames;  // current frame after 0, 1, 2 ... steps
        bool playingAtEnd;
    };
    const Case cases[] = {
        {"stop on frame 2", {3, {{1, [](SwfWriter& w) { w.ActionStop(); }}}, {}}, {1, 2, 2, 2, 2}, false},
        {"stop on frame 1", {3, {{0, [](SwfWriter& w) { w.ActionStop(); }}}, {}}, {1, 1, 1}, false},
        // Actions run in the step that reaches their frame, so frame 3 is never seen.
        {"goto frame 2 from frame 3",
         {3, {{2, [](SwfWriter& w) { w.ActionGotoFrame(1); }}}, {}},
         {1, 2, 2, 2, 2},
         true},
        {"goto label",
         {4, {{3, [](SwfWriter& w) { w.ActionGotoLabel("again"); }}}, {{1, "again"}}},
         {1, 2, 3, 2, 3, 2, 3},
         true},
        {"goto and stop",
         {3,
          {{0,
            [](SwfWriter& w) {
                w.ActionGotoFrame(2);
                w.ActionStop();
            }}},
          {}},
         {3, 3, 3},
         false},
    };
    for (const Case& c : cases) {
        auto movie = LoadOrFail(WriteTimeline(c.movie));
        ASSERT_TRUE(movie);
        Player player(movie);
        std::vector<int> seen;
        for (size_t i = 0; i < c.frames.size(); ++i) {
            seen.push_back(player.CurrentFrame());
            player.StepFrame();
        }
        EXPECT_EQ(seen, c.frames) << c.name;
        EXPECT_EQ(player.Playing(), c.playingAtEnd) << c.name;
    }
}

TEST(Timeline, ControlsPlayStopAndRewindAsTheFlashControlDoes) {
    auto movie = LoadOrFail(WriteTimeline({}));
    ASSERT_TRUE(movie);
    Player player(movie);
    player.StepFrame();
    player.Stop();
    player.StepFrame();
    EXPECT_EQ(player.CurrentFrame(), 2) << "a stopped movie stays";
    player.Rewind();
    EXPECT_EQ(player.CurrentFrame(), 1);
    EXPECT_FALSE(player.Playing()) << "rewinding keeps it stopped";
    EXPECT_EQ(Shown(player), kRed);
    player.Play();
    player.StepFrame();
    player.Rewind();
    EXPECT_TRUE(player.Playing()) << "and keeps it playing";
    player.StepFrame();
    EXPECT_EQ(player.CurrentFrame(), 2);
}

TEST(Timeline, AdvanceTimeStepsByTheFrameRateAndCatchesUpOnlyAFewFrames) {
    SwfWriter writer(8, 10, 10, 10);  // 10 frames a second
    for (int i = 0; i < 100; ++i) writer.ShowFrame();
    auto movie = LoadOrFail(writer.Finish());
    ASSERT_TRUE(movie);
    Player player(movie);
    player.AdvanceTime(0.05);
    EXPECT_EQ(player.CurrentFrame(), 1);
    player.AdvanceTime(0.05);
    EXPECT_EQ(player.CurrentFrame(), 2) << "half frames add up";
    player.AdvanceTime(0.3);
    EXPECT_EQ(player.CurrentFrame(), 5);
    player.AdvanceTime(3600);  // a suspended process waking up
    EXPECT_LE(player.CurrentFrame(), 10);
    player.AdvanceTime(-1);
    player.AdvanceTime(std::nan(""));
    EXPECT_LE(player.CurrentFrame(), 10);
}

// A sprite of three frames (red, green, blue) on a one-frame main timeline.
std::vector<uint8_t> SpriteMovie(bool stopOnSecondFrame) {
    SwfWriter writer(8, 10, 10);
    uint16_t shapes[3];
    for (int i = 0; i < 3; ++i) shapes[i] = writer.DefineRectangle(0, 0, 200, 200, kColors[i]);
    const uint16_t sprite = writer.BeginSprite();
    for (int frame = 0; frame < 3; ++frame) {
        if (frame > 0) writer.Remove(1);
        writer.Place(1, shapes[frame]);
        if (frame == 1 && stopOnSecondFrame) writer.ActionStop();
        writer.ShowFrame();
    }
    writer.EndSprite();
    writer.Place(1, sprite);
    writer.ShowFrame();
    return writer.Finish();
}

TEST(Timeline, SpritesPlayTheirOwnTimelines) {
    for (bool stop : {false, true}) {
        auto movie = LoadOrFail(SpriteMovie(stop));
        ASSERT_TRUE(movie);
        EXPECT_EQ(movie->FrameCount(), 1);
        Player player(movie);
        for (int step = 0; step < 7; ++step) {
            const int spriteFrame = stop ? std::min(step, 1) : step % 3;
            EXPECT_EQ(Shown(player), kColors[spriteFrame]) << "step " << step << (stop ? " with stop" : "");
            player.StepFrame();
        }
        EXPECT_EQ(player.CurrentFrame(), 1);
    }
}

TEST(Timeline, LoopingDoesNotGrowTheDisplayList) {
    // Objects come and go every frame: nothing may pile up while the movie loops.
    SwfWriter writer(8, 10, 10);
    const uint16_t shape = writer.DefineRectangle(0, 0, 200, 200, kRed);
    const uint16_t sprite = writer.BeginSprite();
    writer.Place(1, shape);
    writer.ShowFrame();
    writer.Remove(1);
    writer.ShowFrame();
    writer.EndSprite();
    for (int depth = 1; depth <= 5; ++depth) writer.Place(depth, sprite);
    writer.ShowFrame();
    for (int depth = 1; depth <= 5; ++depth) writer.Remove(depth);
    writer.ShowFrame();
    auto movie = LoadOrFail(writer.Finish());
    ASSERT_TRUE(movie);
    Stage stage(movie->Data());
    int most = 0;
    for (int i = 0; i < 1000; ++i) {
        stage.StepFrame();
        most = std::max(most, stage.LiveObjects());
    }
    EXPECT_LE(most, 11);  // the root, five sprites and their shapes
}

TEST(Timeline, MovingAnObjectKeepsWhatTheMoveDoesNotSay) {
    SwfWriter writer(8, 40, 10);
    const uint16_t shape = writer.DefineRectangle(0, 0, 200, 200, kRed);
    PlaceOptions first;
    ColorTransform toBlue;
    toBlue.mul[0] = 0;
    toBlue.add[2] = 255;
    first.colorTransform = toBlue;
    writer.Place(1, shape, first);
    writer.ShowFrame();
    PlaceOptions move;
    move.matrix = Matrix::Translation(400, 0);  // 20 px right
    writer.Move(1, move);
    writer.ShowFrame();
    auto movie = LoadOrFail(writer.Finish());
    ASSERT_TRUE(movie);
    Player player(movie);
    EXPECT_EQ(Draw(player, 40, 10).At(5, 5), kBlue);
    player.StepFrame();
    const Picture moved = Draw(player, 40, 10);
    EXPECT_EQ(moved.At(5, 5), kWhite);
    EXPECT_EQ(moved.At(25, 5), kBlue) << "the colour transform stays";
    player.StepFrame();  // looping back rebuilds frame 1
    EXPECT_EQ(Draw(player, 40, 10).At(5, 5), kBlue);
}

TEST(Timeline, AMoveNamingACharacterSwapsOnlyPlainGraphics) {
    enum Kind { Shape, Sprite, Button };
    struct Case {
        Kind from;
        Kind to;
        bool swapped;
    };
    const Case cases[] = {{Shape, Shape, true},
                          {Shape, Sprite, false},
                          {Sprite, Shape, false},
                          {Button, Shape, false},
                          {Sprite, Sprite, false}};
    for (const Case& c : cases) {
        SwfWriter writer(8, 10, 10);
        auto define = [&writer](Kind kind, uint32_t color) {
            const uint16_t shape = writer.DefineRectangle(0, 0, 200, 200, color);
            if (kind == Shape) return shape;
            if (kind == Button) {
                // DefineButton2: flags, no actions, one record shown in the up state.
                const std::vector<uint8_t> body = {0, 0, 0, 0x01, static_cast<uint8_t>(shape), 0, 1, 0, 0x00, 0x00, 0};
                return writer.DefineBitmapTag(34, body);
            }
            const uint16_t sprite = writer.BeginSprite();
            writer.Place(1, shape);
            writer.ShowFrame();
            writer.EndSprite();
            return sprite;
        };
        const uint16_t first = define(c.from, kRed);
        const uint16_t second = define(c.to, kBlue);
        writer.Place(1, first);
        writer.ShowFrame();
        PlaceOptions swap;
        swap.move = true;
        writer.Place(1, second, swap);
        writer.ActionStop();
        writer.ShowFrame();
        auto movie = LoadOrFail(writer.Finish());
        ASSERT_TRUE(movie);
        Player player(movie);
        EXPECT_EQ(Shown(player), kRed);
        player.StepFrame();
        EXPECT_EQ(Shown(player), c.swapped ? kBlue : kRed) << "from " << c.from << " to " << c.to;
    }
}

}  // namespace
}  // namespace kestrix::swf::test
