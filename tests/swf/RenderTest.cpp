// Pixels of movies whose pictures are known by construction: fills, edges, gradients,
// colour transforms, masks, morphs, lines and bitmaps.
#include <gtest/gtest.h>

#include "tests/swf/SwfWriter.h"
#include "tests/swf/TestSupport.h"

namespace kestrix::swf::test {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kMiddle = 0xFF80007F;  // half way from red to blue

// 20 twips to the pixel.
constexpr double Px(double pixels) {
    return pixels * 20;
}

TEST(Render, SolidRectangleFillsExactlyItsPixels) {
    SwfWriter writer(8, 100, 100);
    writer.Place(1, writer.DefineRectangle(Px(20), Px(30), Px(60), Px(50), kRed));
    writer.ShowFrame();
    const Picture picture = DrawMovie(writer.Finish(), 100, 100);
    EXPECT_EQ(picture.At(20, 30), kRed);
    EXPECT_EQ(picture.At(59, 49), kRed);
    EXPECT_EQ(picture.At(19, 30), kWhite);
    EXPECT_EQ(picture.At(60, 40), kWhite);
    EXPECT_EQ(picture.At(40, 29), kWhite);
    EXPECT_EQ(picture.At(40, 50), kWhite);
}

TEST(Render, EdgesAreAntiAliasedByCoveredArea) {
    struct Case {
        double x0, y0, x1, y1;  // rectangle in pixels
        int px, py;             // the pixel looked at
        int coverage;           // of 255
    };
    const Case cases[] = {
        {10.5, 10, 30, 30, 10, 20, 128},       // left edge through the pixel's middle
        {10, 10, 30.25, 30, 30, 20, 64},       // right edge a quarter in
        {10, 10.75, 30, 30, 20, 10, 64},       // top edge three quarters down
        {10.5, 10.5, 30, 30, 10, 10, 64},      // a corner: half of half
        {12.2, 12.2, 12.8, 12.8, 12, 12, 92},  // a small square inside one pixel: 0.36
    };
    for (const Case& c : cases) {
        SwfWriter writer(8, 40, 40);
        writer.Place(1, writer.DefineRectangle(Px(c.x0), Px(c.y0), Px(c.x1), Px(c.y1), 0xFF000000));
        writer.ShowFrame();
        const Picture picture = DrawMovie(writer.Finish(), 40, 40);
        // Black over white: the red channel falls by the covered share.
        EXPECT_NEAR(255 - Channel(picture.At(c.px, c.py), 16), c.coverage, 2) << c.x0 << "," << c.y0;
    }
}

TEST(Render, SharedEdgeBetweenTwoFillsHasNoSeam) {
    // Red left of x = 30.5 px and blue right of it, drawn as one shape: the shared edge is
    // written once with red on one side and blue on the other.
    for (const double split : {30.5, 30.3, 30.9}) {
        ShapeDraft shape;
        shape.fills = {FillDraft::Color(kRed), FillDraft::Color(kBlue)};
        // The outer edges of each half, with the fill on their right (inside).
        PathDraft left;
        left.fill1 = 1;
        left.start = {Px(split), Px(50)};
        left.LineTo(Px(10), Px(50)).LineTo(Px(10), Px(10)).LineTo(Px(split), Px(10));
        PathDraft right;
        right.fill1 = 2;
        right.start = {Px(split), Px(10)};
        right.LineTo(Px(50), Px(10)).LineTo(Px(50), Px(50)).LineTo(Px(split), Px(50));
        // The shared edge, walked downwards: red on its right, blue on its left.
        PathDraft shared;
        shared.fill0 = 2;
        shared.fill1 = 1;
        shared.start = {Px(split), Px(10)};
        shared.LineTo(Px(split), Px(50));
        shape.paths = {left, right, shared};
        SwfWriter writer(8, 60, 60);
        writer.Place(1, writer.DefineShape(shape));
        writer.ShowFrame();
        const Picture picture = DrawMovie(writer.Finish(), 60, 60);
        const uint32_t seam = picture.At(30, 30);
        // Nothing of the white background shows through: green stays at zero.
        EXPECT_LE(Channel(seam, 8), 1) << "split at " << split;
        EXPECT_NEAR(Channel(seam, 16) + Channel(seam, 0), 255, 2) << "split at " << split;
        EXPECT_EQ(picture.At(20, 30), kRed);
        EXPECT_EQ(picture.At(40, 30), kBlue);
    }
}

TEST(Render, FillRulesDecideWhetherAnInnerLoopIsAHole) {
    struct Case {
        int version;
        bool nonZero;
        bool fillInside;  // the inner loop has the fill inside it, as the outer one does
        bool centreFilled;
    };
    const Case cases[] = {
        {3, false, true, false},  // even-odd: a second loop is a hole either way
        {3, false, false, false},
        {4, true, true, true},    // non-zero: two loops the same way add up
        {4, true, false, false},  // the other way they cancel
    };
    for (const Case& c : cases) {
        ShapeDraft shape;
        shape.version = c.version;
        shape.nonZero = c.nonZero;
        shape.fills = {FillDraft::Color(kRed)};
        shape.paths.push_back(PathDraft::Rectangle(Px(10), Px(10), Px(50), Px(50), 1));
        PathDraft inner = PathDraft::Rectangle(Px(20), Px(20), Px(40), Px(40), 1);
        if (!c.fillInside) {
            // Anticlockwise with the fill on its right: outside the inner square.
            inner = PathDraft();
            inner.fill1 = 1;
            inner.start = {Px(20), Px(20)};
            inner.LineTo(Px(20), Px(40)).LineTo(Px(40), Px(40)).LineTo(Px(40), Px(20)).LineTo(Px(20), Px(20));
        }
        shape.paths.push_back(inner);
        SwfWriter writer(8, 60, 60);
        writer.Place(1, writer.DefineShape(shape));
        writer.ShowFrame();
        const Picture picture = DrawMovie(writer.Finish(), 60, 60);
        EXPECT_EQ(picture.At(30, 30), c.centreFilled ? kRed : kWhite) << "version " << c.version;
        EXPECT_EQ(picture.At(15, 15), kRed);
    }
}

// A shape filling the 100 x 20 px stage with a linear gradient from red to blue over
// x = 0 .. 50 px, then the spread mode beyond.
Picture LinearGradient(int spread, bool linearRgb = false) {
    ShapeDraft shape;
    FillDraft fill;
    fill.kind = FillDraft::Linear;
    fill.stops = {{0, kRed}, {255, kBlue}};
    fill.spread = spread;
    fill.linearRgb = linearRgb;
    fill.matrix = {Px(50) / 32768, 0, 0, Px(50) / 32768, Px(25), 0};
    shape.fills = {fill};
    shape.paths = {PathDraft::Rectangle(0, 0, Px(100), Px(20), 1)};
    SwfWriter writer(8, 100, 20);
    writer.Place(1, writer.DefineShape(shape));
    writer.ShowFrame();
    return DrawMovie(writer.Finish(), 100, 20);
}

TEST(Render, LinearGradientAndItsSpreadModes) {
    struct Case {
        int spread;
        int x;
        uint32_t color;
    };
    const Case cases[] = {
        {0, 0, kRed},                      // the start
        {0, 25, kMiddle},                  // half way (red and blue falling and rising together)
        {0, 49, kBlue},   {0, 75, kBlue},  // pad: the last colour goes on
        {1, 75, kMiddle},                  // reflect: back to the middle
        {1, 99, kRed},                     // and on to the start colour
        {2, 75, kMiddle},                  // repeat: the ramp again
        {2, 51, kRed},
    };
    for (const Case& c : cases) {
        const Picture picture = LinearGradient(c.spread);
        EXPECT_TRUE(ColorNear(picture.At(c.x, 10), c.color, 8)) << "spread " << c.spread << " at x " << c.x;
    }
}

TEST(Render, LinearRgbGradientIsBrighterInTheMiddle) {
    // Mixing in linear light: the middle of red to blue has each channel near 188, not 128.
    const Picture picture = LinearGradient(0, true);
    EXPECT_TRUE(ColorNear(picture.At(25, 10), 0xFFBC00BC, 8));
}

TEST(Render, RadialAndFocalGradients) {
    struct Case {
        FillDraft::Kind kind;
        double focal;
        int x, y;
        uint32_t color;
    };
    const Case cases[] = {
        {FillDraft::Radial, 0, 50, 50, kRed},                                             // the centre
        {FillDraft::Radial, 0, 75, 50, kMiddle},                                          // half the radius
        {FillDraft::Radial, 0, 50, 25, kMiddle},  {FillDraft::Radial, 0, 95, 95, kBlue},  // outside the circle: padded
        {FillDraft::Focal, 0.5, 75, 50, kRed},     // the focal point, half the radius right
        {FillDraft::Focal, 0.5, 37, 50, kMiddle},  // half way from it to the circle's left edge
    };
    for (const Case& c : cases) {
        ShapeDraft shape;
        FillDraft fill;
        fill.kind = c.kind;
        fill.focal = c.focal;
        fill.stops = {{0, kRed}, {255, kBlue}};
        // The gradient circle: radius 50 px, centred on the stage.
        fill.matrix = {Px(100) / 32768, 0, 0, Px(100) / 32768, Px(50), Px(50)};
        shape.fills = {fill};
        shape.paths = {PathDraft::Rectangle(0, 0, Px(100), Px(100), 1)};
        SwfWriter writer(8, 100, 100);
        writer.Place(1, writer.DefineShape(shape));
        writer.ShowFrame();
        const Picture picture = DrawMovie(writer.Finish(), 100, 100);
        EXPECT_TRUE(ColorNear(picture.At(c.x, c.y), c.color, 10)) << "at " << c.x << "," << c.y;
    }
}

TEST(Render, ColorTransformsChangeEveryPixelOfTheObject) {
    struct Case {
        ColorTransform cx;
        uint32_t color;  // of a red rectangle over white
    };
    auto make = [](float r, float g, float b, float a, float ar, float ag, float ab, float aa) {
        ColorTransform cx;
        cx.mul[0] = r, cx.mul[1] = g, cx.mul[2] = b, cx.mul[3] = a;
        cx.add[0] = ar, cx.add[1] = ag, cx.add[2] = ab, cx.add[3] = aa;
        return cx;
    };
    const Case cases[] = {
        {make(0.5, 1, 1, 1, 0, 0, 0, 0), 0xFF800000}, {make(1, 1, 1, 1, -255, 0, 255, 0), kBlue},
        {make(1, 1, 1, 0.5, 0, 0, 0, 0), 0xFFFF8080},  // half transparent over white
        {make(1, 1, 1, 0, 0, 0, 0, 0), kWhite},        // invisible
        {make(1, 1, 1, 0, 0, 0, 0, 255), kRed},        // alpha brought back by the add term
    };
    for (const Case& c : cases) {
        SwfWriter writer(8, 40, 40);
        PlaceOptions place;
        place.colorTransform = c.cx;
        writer.Place(1, writer.DefineRectangle(0, 0, Px(40), Px(40), kRed), place);
        writer.ShowFrame();
        const Picture picture = DrawMovie(writer.Finish(), 40, 40);
        EXPECT_TRUE(ColorNear(picture.At(20, 20), c.color, 2));
    }
}

TEST(Render, ClipLayerMasksTheDepthsUpToItsClipDepth) {
    SwfWriter writer(8, 100, 100);
    const uint16_t mask = writer.DefineRectangle(0, 0, Px(50), Px(100), kGreen);
    const uint16_t red = writer.DefineRectangle(0, 0, Px(100), Px(100), kRed);
    const uint16_t blue = writer.DefineRectangle(Px(60), Px(40), Px(80), Px(60), kBlue);
    PlaceOptions clip;
    clip.clipDepth = 3;
    writer.Place(2, mask, clip);
    writer.Place(3, red);   // masked
    writer.Place(4, blue);  // above the clip depth: not masked
    writer.ShowFrame();
    const Picture picture = DrawMovie(writer.Finish(), 100, 100);
    EXPECT_EQ(picture.At(25, 20), kRed);    // inside the mask
    EXPECT_EQ(picture.At(75, 20), kWhite);  // outside: the red is cut away
    EXPECT_EQ(picture.At(70, 50), kBlue);
    for (uint32_t pixel : picture.pixels) EXPECT_NE(pixel, kGreen) << "the mask itself is never drawn";
}

TEST(Render, NestedMasksIntersect) {
    SwfWriter writer(8, 100, 100);
    const uint16_t left = writer.DefineRectangle(0, 0, Px(60), Px(100), kGreen);
    const uint16_t top = writer.DefineRectangle(0, 0, Px(100), Px(60), kGreen);
    const uint16_t red = writer.DefineRectangle(0, 0, Px(100), Px(100), kRed);
    PlaceOptions outer;
    outer.clipDepth = 10;
    PlaceOptions inner;
    inner.clipDepth = 10;
    writer.Place(1, left, outer);
    writer.Place(2, top, inner);
    writer.Place(3, red);
    writer.ShowFrame();
    const Picture picture = DrawMovie(writer.Finish(), 100, 100);
    EXPECT_EQ(picture.At(30, 30), kRed);
    EXPECT_EQ(picture.At(80, 30), kWhite);
    EXPECT_EQ(picture.At(30, 80), kWhite);
}

TEST(Render, MorphAtHalfRatioIsHalfWay) {
    SwfWriter writer(8, 100, 20);
    const uint16_t morph = writer.DefineMorphRectangles({0, 400, 0, 400}, kRed, {800, 1200, 0, 400}, kBlue);
    PlaceOptions place;
    place.ratio = 32768;
    writer.Place(1, morph, place);
    writer.ShowFrame();
    const Picture picture = DrawMovie(writer.Finish(), 100, 20);
    // Half way the rectangle spans 20 .. 40 px in the middle colour.
    EXPECT_TRUE(ColorNear(picture.At(30, 10), kMiddle, 2));
    EXPECT_EQ(picture.At(15, 10), kWhite);
    EXPECT_EQ(picture.At(45, 10), kWhite);
}

TEST(Render, LinesHaveTheirWidthAndHairlinesOnePixel) {
    struct Case {
        uint16_t widthTwips;
        int rows;  // fully dark rows around y = 20
    };
    for (const Case& c : {Case{80, 4}, Case{0, 1}, Case{5, 1}}) {
        ShapeDraft shape;
        shape.lines = {LineDraft{c.widthTwips, 0xFF000000}};
        PathDraft line;
        line.line = 1;
        line.start = {Px(10), Px(20)};
        line.LineTo(Px(50), Px(20));
        shape.paths = {line};
        SwfWriter writer(8, 60, 40);
        writer.Place(1, writer.DefineShape(shape));
        writer.ShowFrame();
        const Picture picture = DrawMovie(writer.Finish(), 60, 40);
        // Total darkness down the middle column is the line's width in pixels.
        int darkness = 0;
        for (int y = 0; y < 40; ++y) darkness += 255 - Channel(picture.At(30, y), 16);
        EXPECT_NEAR(darkness / 255.0, c.rows, 0.1) << "width " << c.widthTwips;
    }
}

TEST(Render, BitmapFillsRepeatOrClampAndSmoothOrNot) {
    struct Case {
        bool repeat;
        bool smooth;
        int x;
        uint32_t color;
    };
    const Case cases[] = {
        {true, false, 5, kRed},         // first bitmap pixel, 10 px wide
        {true, false, 15, kBlue},       // second
        {true, false, 25, kRed},        // repeated
        {false, false, 25, kBlue},      // clamped: the edge pixel goes on
        {false, true, 10, 0xFF73008C},  // smoothed: 0.55 of the way between the pixels' centres
    };
    for (const Case& c : cases) {
        SwfWriter writer(8, 40, 10);
        const uint16_t bitmap = writer.DefineLosslessBitmap(2, 1, {kRed, kBlue});
        ShapeDraft shape;
        FillDraft fill;
        fill.kind = FillDraft::Bitmap;
        fill.bitmapId = bitmap;
        fill.repeat = c.repeat;
        fill.smooth = c.smooth;
        fill.matrix = Matrix::Scale(Px(10), Px(10));  // one bitmap pixel to 10 x 10 px
        shape.fills = {fill};
        shape.paths = {PathDraft::Rectangle(0, 0, Px(40), Px(10), 1)};
        writer.Place(1, writer.DefineShape(shape));
        writer.ShowFrame();
        const Picture picture = DrawMovie(writer.Finish(), 40, 10);
        EXPECT_TRUE(ColorNear(picture.At(c.x, 5), c.color, 3))
            << "repeat " << c.repeat << " smooth " << c.smooth << " x " << c.x;
    }
}

TEST(Render, StageIsPlacedByScaleModeAndClipped) {
    // A red rectangle filling a 100 x 100 stage on blue, drawn into 200 x 100.
    SwfWriter writer(8, 100, 100);
    writer.SetBackground(0x0000FF);
    writer.Place(1, writer.DefineRectangle(0, 0, Px(100), Px(100), kRed));
    // Reaches past the stage: only the stage rectangle shows it.
    writer.Place(2, writer.DefineRectangle(Px(90), 0, Px(300), Px(10), kGreen));
    writer.ShowFrame();
    auto movie = LoadOrFail(writer.Finish());
    Player player(movie);
    struct Case {
        ScaleMode mode;
        int align;
        int stageFrom, stageTo;  // columns the stage covers
    };
    const Case cases[] = {
        {ScaleMode::ShowAll, 0, 50, 150},
        {ScaleMode::ShowAll, kAlignLeft, 0, 100},
        {ScaleMode::ShowAll, kAlignRight, 100, 200},
        {ScaleMode::ExactFit, 0, 0, 200},
        {ScaleMode::NoScale, kAlignRight, 100, 200},
    };
    for (const Case& c : cases) {
        const Picture picture = Draw(player, 200, 100, c.mode, c.align);
        const int greenFrom = c.stageFrom + (c.stageTo - c.stageFrom) * 9 / 10;
        for (int x = 0; x < 200; ++x) {
            const bool inside = x >= c.stageFrom && x < c.stageTo;
            EXPECT_EQ(picture.At(x, 50), inside ? kRed : kBlue) << "column " << x;
            const uint32_t top = !inside ? kBlue : x >= greenFrom ? kGreen : kRed;
            EXPECT_EQ(picture.At(x, 2), top) << "column " << x << " of the top row";
        }
    }
}

TEST(Render, BlendModesCombineWithWhatIsBeneath) {
    struct Case {
        uint8_t mode;
        uint32_t top;
        uint32_t expected;  // over a background of 0x804020
    };
    const Case cases[] = {
        {3, 0xFF808080, 0xFF402010},   // multiply
        {4, 0xFF808080, 0xFFC0A090},   // screen
        {5, 0xFF306090, 0xFF806090},   // lighten
        {6, 0xFF306090, 0xFF304020},   // darken
        {7, 0xFF306090, 0xFF502070},   // difference
        {8, 0xFF306090, 0xFFB0A0B0},   // add
        {9, 0xFF306090, 0xFF500000},   // subtract
        {10, 0xFF306090, 0xFF7FBFDF},  // invert
    };
    for (const Case& c : cases) {
        SwfWriter writer(8, 20, 20);
        writer.SetBackground(0x804020);
        PlaceOptions place;
        place.blendMode = c.mode;
        writer.Place(1, writer.DefineRectangle(0, 0, Px(20), Px(20), c.top), place);
        writer.ShowFrame();
        const Picture picture = DrawMovie(writer.Finish(), 20, 20);
        EXPECT_TRUE(ColorNear(picture.At(10, 10), c.expected, 2)) << "mode " << int(c.mode);
    }
}

}  // namespace
}  // namespace kestrix::swf::test
