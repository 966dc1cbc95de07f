// Hostile and damaged movies: every cut of a movie, sprites that hold themselves, actions
// that chase each other, and claims larger than the file.
#include <gtest/gtest.h>

#include "swf/Stage.h"
#include "tests/swf/SwfWriter.h"
#include "tests/swf/TestSupport.h"

namespace kestrix::swf::test {
namespace {

// A movie with a bit of everything: shapes with lines and gradients, a bitmap, a morph, a
// sprite, text, masks and frame actions.
std::vector<uint8_t> RichMovie(bool compress) {
    SwfWriter writer(8, 40, 30);
    writer.SetBackground(0x102030);
    ShapeDraft shape;
    FillDraft gradient;
    gradient.kind = FillDraft::Radial;
    gradient.stops = {{0, 0xFFFF0000}, {255, 0x800000FF}};
    gradient.matrix = Matrix::Scale(0.02, 0.02);
    shape.fills = {FillDraft::Color(0xFF00FF00), gradient};
    shape.lines = {LineDraft{40, 0xFF000000}};
    PathDraft curvy;
    curvy.fill1 = 2;
    curvy.line = 1;
    curvy.start = {0, 0};
    curvy.CurveTo(400, -200, 600, 300).LineTo(0, 300).LineTo(0, 0);
    shape.paths = {PathDraft::Rectangle(0, 0, 300, 300, 1, 1), curvy};
    const uint16_t shapeId = writer.DefineShape(shape);
    const uint16_t bitmap = writer.DefineLosslessBitmap(2, 2, {0xFFFF0000, 0x8000FF00, 0xFF0000FF, 0});
    ShapeDraft bitmapShape;
    FillDraft bitmapFill;
    bitmapFill.kind = FillDraft::Bitmap;
    bitmapFill.bitmapId = bitmap;
    bitmapFill.matrix = Matrix::Scale(100, 100);
    bitmapShape.fills = {bitmapFill};
    bitmapShape.paths = {PathDraft::Rectangle(0, 0, 500, 500, 1)};
    const uint16_t bitmapShapeId = writer.DefineShape(bitmapShape);
    const uint16_t morph = writer.DefineMorphRectangles({0, 200, 0, 200}, 0xFFFFFFFF, {100, 500, 100, 400}, 0xFF000000);
    GlyphDraft glyph;
    glyph.code = 'x';
    glyph.advance = 600;
    glyph.paths = {PathDraft::Rectangle(0, -500, 500, 0, 1)};
    const uint16_t font = writer.DefineFont({glyph});
    TextRecordDraft record;
    record.fontId = font;
    record.glyphs = {{0, 100}, {0, 100}};
    const uint16_t text = writer.DefineText({0, 800, 0, 600}, Matrix::Translation(20, 300), {record});
    const uint16_t sprite = writer.BeginSprite();
    writer.Place(1, shapeId);
    writer.ShowFrame();
    PlaceOptions ratio;
    ratio.ratio = 30000;
    writer.Place(2, morph, ratio);
    writer.ShowFrame();
    writer.EndSprite();
    PlaceOptions mask;
    mask.clipDepth = 3;
    writer.Place(1, bitmapShapeId, mask);
    writer.Place(2, sprite);
    writer.Place(4, text);
    writer.Label("start");
    writer.ShowFrame();
    PlaceOptions blend;
    blend.blendMode = 3;
    writer.Place(5, shapeId, blend);
    writer.ActionGotoLabel("start");
    writer.ShowFrame();
    return writer.Finish(compress);
}

TEST(Robustness, EveryCutOfAMovieLoadsOrIsRefusedAndDraws) {
    for (bool compress : {false, true}) {
        const std::vector<uint8_t> movie = RichMovie(compress);
        for (size_t size = 0; size <= movie.size(); ++size) {
            std::string error;
            const auto loaded = Movie::Load(movie.data(), size, error);
            EXPECT_NE(loaded == nullptr, error.empty()) << "cut at " << size;
            if (!loaded) continue;
            Player player(loaded);
            std::vector<uint32_t> pixels(32 * 24);
            for (int step = 0; step < 3; ++step) {
                player.Render(pixels.data(), 32, 24, 32, ScaleMode::ShowAll, 0);
                player.StepFrame();
            }
        }
    }
}

TEST(Robustness, SpritesThatHoldThemselvesStayBounded) {
    SwfWriter writer(8, 20, 20);
    const uint16_t shape = writer.DefineRectangle(0, 0, 100, 100, 0xFF00FF00);
    // The sprite's id is the next one given out: it places itself twice.
    const uint16_t sprite = writer.BeginSprite();
    writer.Place(1, shape);
    writer.Place(2, sprite);
    writer.Place(3, sprite);
    writer.ShowFrame();
    writer.Remove(2);
    writer.ShowFrame();
    writer.EndSprite();
    writer.Place(1, sprite);
    writer.ShowFrame();
    const auto movie = LoadOrFail(writer.Finish());
    ASSERT_TRUE(movie);
    Stage stage(movie->Data());
    for (int i = 0; i < 5; ++i) stage.StepFrame();
    EXPECT_LE(stage.LiveObjects(), 20000);
    Player player(movie);
    EXPECT_EQ(Draw(player, 20, 20).At(2, 2), 0xFF00FF00);
}

TEST(Robustness, ActionsThatChaseEachOtherEndTheStep) {
    SwfWriter writer(8, 10, 10);
    writer.ActionGotoFrame(1);
    writer.ShowFrame();
    writer.ActionGotoFrame(0);
    writer.ShowFrame();
    const auto movie = LoadOrFail(writer.Finish());
    ASSERT_TRUE(movie);
    Player player(movie);  // frame 1 sends to 2, which sends back to 1, and so on
    player.StepFrame();
    player.Rewind();
    SUCCEED();
}

TEST(Robustness, TagsClaimingMoreThanTheFileAreCut) {
    SwfWriter writer(8, 10, 10);
    // A long tag header saying 4 GB, then a shape that is not there.
    writer.Tag(2, {});
    std::vector<uint8_t> bytes = writer.Finish();
    bytes.insert(bytes.end() - 2, {0xBF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00});
    std::string error;
    const auto movie = Movie::Load(bytes.data(), bytes.size(), error);
    ASSERT_TRUE(movie) << error;
    EXPECT_EQ(movie->FrameCount(), 1);
}

}  // namespace
}  // namespace kestrix::swf::test
