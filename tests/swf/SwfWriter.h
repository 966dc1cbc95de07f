// Writes small movies for the engine's tests, so each test builds exactly the picture it
// checks: rectangles and paths with solid or gradient fills and lines, placements with
// matrices, colour transforms, ratios and clip depths, sprites, morphs and frame actions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "swf/Geometry.h"

namespace kestrix::swf::test {

// A fill as the test wants it; colours are 0xAARRGGBB.
struct FillDraft {
    enum Kind { Solid, Linear, Radial, Focal, Bitmap } kind = Solid;
    uint32_t color = 0xFF000000;
    std::vector<std::pair<uint8_t, uint32_t>> stops;
    Matrix matrix;
    int spread = 0;
    bool linearRgb = false;
    double focal = 0;
    uint16_t bitmapId = 0;
    bool repeat = true;
    bool smooth = false;

    static FillDraft Color(uint32_t argb) {
        FillDraft fill;
        fill.color = argb;
        return fill;
    }
};

struct LineDraft {
    uint16_t width = 20;  // twips
    uint32_t color = 0xFF000000;
};

// One run of edges in twips; fill0 lies left of the edges, fill1 right (1-based, 0 none).
struct PathDraft {
    int fill0 = 0;
    int fill1 = 0;
    int line = 0;
    Point start;
    struct Edge {
        bool curve = false;
        Point control;
        Point to;
    };
    std::vector<Edge> edges;

    PathDraft& LineTo(double x, double y) {
        edges.push_back({false, {}, {x, y}});
        return *this;
    }
    PathDraft& CurveTo(double cx, double cy, double x, double y) {
        edges.push_back({true, {cx, cy}, {x, y}});
        return *this;
    }
    // A closed rectangle drawn clockwise on screen, so its inside is on the right (fill1).
    static PathDraft Rectangle(double x0, double y0, double x1, double y1, int fill, int line = 0);
};

struct ShapeDraft {
    int version = 3;  // DefineShape 1 to 4
    std::vector<FillDraft> fills;
    std::vector<LineDraft> lines;
    std::vector<PathDraft> paths;
    bool nonZero = false;  // DefineShape4 only
};

// A glyph drawn on a 1024-unit em square (20480 for DefineFont3), baseline at y = 0.
struct GlyphDraft {
    uint16_t code = 0;
    int16_t advance = 0;
    std::vector<PathDraft> paths;  // fill 1 is the text's colour
};

struct TextRecordDraft {
    uint16_t fontId = 0;
    double height = 240;  // twips
    uint32_t color = 0xFF000000;
    double x = 0;
    double y = 0;
    std::vector<std::pair<int, int>> glyphs;  // glyph index and advance in twips
};

struct EditTextDraft {
    Rect bounds;
    uint16_t fontId = 0;  // 0: no font, a device font is asked for
    double height = 240;
    uint32_t color = 0xFF000000;
    std::string text;
    int align = 0;
    bool border = false;
    bool wordWrap = false;
    bool html = false;
};

struct PlaceOptions {
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<uint16_t> ratio;
    uint16_t clipDepth = 0;
    bool move = false;
    std::optional<uint8_t> blendMode;  // written as PlaceObject3
};

class SwfWriter {
public:
    // Stage size in pixels.
    explicit SwfWriter(int version = 8, int width = 100, int height = 100, double frameRate = 12);

    void SetBackground(uint32_t rgb);
    uint16_t DefineShape(const ShapeDraft& shape);
    // A rectangle (twips) in one solid colour.
    uint16_t DefineRectangle(double x0, double y0, double x1, double y1, uint32_t argb);
    // Two rectangles with the same edges, each with its colour: a morph from one to the other.
    uint16_t DefineMorphRectangles(const Rect& start, uint32_t startColor, const Rect& end, uint32_t endColor);
    // A DefineBitsLossless2 picture from straight 0xAARRGGBB pixels.
    uint16_t DefineLosslessBitmap(int width, int height, const std::vector<uint32_t>& argb);
    // Any bitmap tag (DefineBitsJPEG2 and friends) whose body after the id the test made.
    uint16_t DefineBitmapTag(int code, const std::vector<uint8_t>& bodyAfterId);

    // DefineFont2 (or DefineFont3) with layout: codes, advances, ascent and descent.
    uint16_t DefineFont(const std::vector<GlyphDraft>& glyphs, int version = 2, int ascent = 800, int descent = 200);
    uint16_t DefineText(const Rect& bounds, const Matrix& matrix, const std::vector<TextRecordDraft>& records);
    uint16_t DefineEditText(const EditTextDraft& field);

    // Everything placed until EndSprite goes onto the sprite's own timeline.
    uint16_t BeginSprite();
    void EndSprite();

    void Place(uint16_t depth, uint16_t characterId, const PlaceOptions& options = {});
    void Move(uint16_t depth, const PlaceOptions& options);
    void Remove(uint16_t depth);
    void Label(const std::string& name);
    void ActionStop();
    void ActionPlay();
    void ActionGotoFrame(int zeroBasedFrame);
    void ActionGotoLabel(const std::string& label);
    void ShowFrame();

    std::vector<uint8_t> Finish(bool compress = false);

    // The raw tag writer, for tests that need a malformed or unusual tag.
    void Tag(int code, const std::vector<uint8_t>& body);

private:
    void Action(const std::vector<uint8_t>& records);

    int version_;
    int width_;
    int height_;
    double frameRate_;
    uint16_t nextId_ = 1;
    std::vector<uint8_t> tags_;
    int frames_ = 0;
    // While a sprite is open, its id, its tags and its frame count.
    bool inSprite_ = false;
    uint16_t spriteId_ = 0;
    std::vector<uint8_t> spriteTags_;
    int spriteFrames_ = 0;
};

}  // namespace kestrix::swf::test
