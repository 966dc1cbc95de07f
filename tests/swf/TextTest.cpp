// Text drawn from glyph outlines: static text with DefineFont2 and 3, and edit text fields
// with an embedded font or a device font.
#include <gtest/gtest.h>

#include "tests/swf/SwfWriter.h"
#include "tests/swf/TestSupport.h"

namespace kestrix::swf::test {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kRed = 0xFFFF0000;

// Two glyphs on a 1024 em, both 512 wide and 512 high above the baseline: 'A' a solid square,
// 'O' a square ring with a 256 hole. Scaled by `scale` for DefineFont3's finer units.
std::vector<GlyphDraft> Glyphs(double scale) {
    GlyphDraft solid;
    solid.code = 'A';
    solid.advance = static_cast<int16_t>(640 * scale);
    solid.paths = {PathDraft::Rectangle(0, -512 * scale, 512 * scale, 0, 1)};
    GlyphDraft ring = solid;
    ring.code = 'O';
    PathDraft hole;
    hole.fill0 = 1;  // the hole's edges have the ink on their left
    hole.start = {128 * scale, -384 * scale};
    hole.LineTo(384 * scale, -384 * scale)
        .LineTo(384 * scale, -128 * scale)
        .LineTo(128 * scale, -128 * scale)
        .LineTo(128 * scale, -384 * scale);
    ring.paths.push_back(hole);
    return {solid, ring};
}

TEST(Text, StaticTextDrawsGlyphOutlinesInItsColour) {
    for (int version : {2, 3}) {
        SwfWriter writer(8, 100, 60);
        const uint16_t font = writer.DefineFont(Glyphs(version == 3 ? 20 : 1), version);
        TextRecordDraft record;
        record.fontId = font;
        record.height = 1024;  // one twip per em unit: glyphs 25.6 px square
        record.color = kRed;
        record.x = 200;   // 10 px
        record.y = 1000;  // baseline at 50 px
        record.glyphs = {{0, 640}, {1, 640}};
        writer.Place(1, writer.DefineText({0, 2000, 0, 1200}, Matrix(), {record}));
        writer.ShowFrame();
        const Picture picture = DrawMovie(writer.Finish(), 100, 60);
        // 'A' spans x 10 .. 35.6 and y 24.4 .. 50; 'O' starts 32 px further right.
        EXPECT_EQ(picture.At(22, 37), kRed) << "DefineFont" << version;
        EXPECT_EQ(picture.At(38, 37), kWhite) << "between the glyphs";
        EXPECT_EQ(picture.At(44, 37), kRed) << "the ring";
        EXPECT_EQ(picture.At(54, 37), kWhite) << "the ring's hole";
        EXPECT_EQ(picture.At(22, 20), kWhite) << "above the glyphs";
    }
}

TEST(Text, EditTextShowsItsInitialTextAligned) {
    struct Case {
        int align;
        int inkColumn;  // a column inside the first glyph
        int blankColumn;
    };
    // The field is 0 .. 100 px; the text "AA" is 57.6 px wide with a 2 px gutter each side.
    const Case cases[] = {{0, 10, 70}, {1, 50, 30}, {2, 30, 5}};
    for (const Case& c : cases) {
        SwfWriter writer(8, 100, 60);
        const uint16_t font = writer.DefineFont(Glyphs(1));
        EditTextDraft field;
        field.bounds = {0, 2000, 0, 1200};
        field.fontId = font;
        field.height = 1024;
        field.color = kRed;
        field.text = "AA";
        field.align = c.align;
        writer.Place(1, writer.DefineEditText(field));
        writer.ShowFrame();
        const Picture picture = DrawMovie(writer.Finish(), 100, 60);
        // The baseline sits at the gutter plus the ascent: 2 + 40 px.
        EXPECT_EQ(picture.At(c.inkColumn, 35), kRed) << "align " << c.align;
        EXPECT_EQ(picture.At(c.blankColumn, 35), kWhite) << "align " << c.align;
    }
}

TEST(Text, HtmlMarkupIsNotShownAndBreaksStartLines) {
    SwfWriter writer(8, 100, 120);
    const uint16_t font = writer.DefineFont(Glyphs(1));
    EditTextDraft field;
    field.bounds = {0, 2000, 0, 2400};
    field.fontId = font;
    field.height = 1024;
    field.color = kRed;
    field.html = true;
    field.text = "<p align=\"left\"><font face=\"Test\">A</font></p><p>A&amp;</p>";
    writer.Place(1, writer.DefineEditText(field));
    writer.ShowFrame();
    const Picture picture = DrawMovie(writer.Finish(), 100, 120);
    // Line advance is ascent plus descent: 800 + 200 twips = 50 px.
    EXPECT_EQ(picture.At(10, 35), kRed);
    EXPECT_EQ(picture.At(10, 85), kRed) << "the second paragraph";
    EXPECT_EQ(picture.At(40, 35), kWhite) << "no glyphs for the markup";
}

TEST(Text, DeviceFontsFallBackToBoxesAndBordersDraw) {
    SwfWriter writer(8, 100, 40);
    EditTextDraft field;
    field.bounds = {100, 1900, 100, 700};
    field.height = 400;
    field.text = "Hello";
    field.border = true;
    writer.Place(1, writer.DefineEditText(field));
    writer.ShowFrame();
    const Picture picture = DrawMovie(writer.Finish(), 100, 40);
    EXPECT_EQ(picture.At(5, 20), 0xFF000000u) << "the border's left side";
    int dark = 0;
    for (int x = 6; x < 94; ++x)
        for (int y = 6; y < 34; ++y) dark += picture.At(x, y) != kWhite;
    EXPECT_GT(dark, 20) << "something stands for the text";
}

}  // namespace
}  // namespace kestrix::swf::test
