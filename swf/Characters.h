// The parsed, immutable definitions of a movie: shapes, morphs, bitmaps, fonts, texts, sprites
// and buttons, and the timelines that place them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "swf/Geometry.h"

namespace kestrix::swf {

// ---- Shapes

enum class FillKind : uint8_t { Solid, Linear, Radial, Focal, Bitmap };
enum class Spread : uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };

struct GradientStop {
    uint8_t ratio = 0;
    uint32_t color = 0;  // straight 0xAARRGGBB
};

struct FillStyle {
    FillKind kind = FillKind::Solid;
    uint32_t color = 0xFF000000;  // straight 0xAARRGGBB, for solid fills
    Matrix matrix;                // gradient square or bitmap pixels to shape twips
    std::vector<GradientStop> stops;
    Spread spread = Spread::Pad;
    bool linearRgb = false;
    double focal = 0;  // -1..1 along the gradient's x axis
    uint16_t bitmapId = 0;
    bool repeat = true;
    bool smooth = true;
};

enum class Cap : uint8_t { Round = 0, None = 1, Square = 2 };
enum class Join : uint8_t { Round = 0, Bevel = 1, Miter = 2 };

struct LineStyle {
    double width = 0;  // twips; 0 is a hairline
    uint32_t color = 0xFF000000;
    Cap startCap = Cap::Round;
    Cap endCap = Cap::Round;
    Join join = Join::Round;
    double miterLimit = 3;
    bool hasFill = false;
    FillStyle fill;
    bool noScale = false;  // width stays in stage pixels whatever the object's scale
};

struct Segment {
    Point control;  // only for curves
    Point to;
    bool curve = false;
};

// A run of connected edges sharing one pair of fill styles and one line style. Style indices
// are 1-based into the group's arrays; 0 is none. fill0 lies left of the edges, fill1 right.
struct SubPath {
    int fill0 = 0;
    int fill1 = 0;
    int line = 0;
    Point start;
    std::vector<Segment> segments;
};

// Styles and the paths that use them. A shape starts a new group each time it brings new
// style arrays; later groups are drawn above earlier ones.
struct StyleGroup {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    std::vector<SubPath> paths;
};

struct ShapeData {
    Rect bounds;
    std::vector<StyleGroup> groups;
    bool nonZero = false;  // DefineShape4 may ask for the non-zero rule; others are even-odd
};

// ---- Characters

enum class CharacterKind : uint8_t { Shape, Morph, Bitmap, Font, Text, EditText, Sprite, Button };

struct Character {
    explicit Character(CharacterKind k) : kind(k) {}
    virtual ~Character() = default;
    CharacterKind kind;
    uint16_t id = 0;
};

struct ShapeCharacter : Character {
    ShapeCharacter() : Character(CharacterKind::Shape) {}
    ShapeData shape;
};

// Start and end shapes with the same paths, segments and styles, so any ratio is a blend.
struct MorphCharacter : Character {
    MorphCharacter() : Character(CharacterKind::Morph) {}
    ShapeData start;
    ShapeData end;
};

struct BitmapCharacter : Character {
    BitmapCharacter() : Character(CharacterKind::Bitmap) {}
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // premultiplied 0xAARRGGBB, rows from the top
    bool opaque = true;
};

struct Glyph {
    ShapeData shape;  // one group, fill style 1 is the text colour
    double advance = 0;
    uint16_t code = 0;
};

struct FontCharacter : Character {
    FontCharacter() : Character(CharacterKind::Font) {}
    std::vector<Glyph> glyphs;
    double emSize = 1024;  // glyph units per em: 1024, or 20480 for DefineFont3
    bool hasLayout = false;
    double ascent = 0;
    double descent = 0;
    double leading = 0;
    std::string name;
    std::unordered_map<uint16_t, int> glyphByCode;  // the first glyph of each character code

    int GlyphForCode(uint16_t code) const {
        const auto it = glyphByCode.find(code);
        return it == glyphByCode.end() ? -1 : it->second;
    }
    void IndexCodes() {
        glyphByCode.clear();
        for (size_t i = 0; i < glyphs.size(); ++i) glyphByCode.emplace(glyphs[i].code, static_cast<int>(i));
    }
};

struct GlyphEntry {
    int index = 0;
    double advance = 0;
};

struct TextRecord {
    uint16_t fontId = 0;
    uint32_t color = 0xFF000000;
    double height = 0;  // twips
    double x = 0;
    double y = 0;
    std::vector<GlyphEntry> glyphs;
};

struct TextCharacter : Character {
    TextCharacter() : Character(CharacterKind::Text) {}
    Rect bounds;
    Matrix matrix;
    std::vector<TextRecord> records;
};

struct EditTextCharacter : Character {
    EditTextCharacter() : Character(CharacterKind::EditText) {}
    Rect bounds;
    uint16_t fontId = 0;
    bool hasFont = false;
    double height = 240;
    uint32_t color = 0xFF000000;
    int align = 0;  // left, right, centre, justify
    double leftMargin = 0;
    double rightMargin = 0;
    double indent = 0;
    double leading = 0;
    bool multiline = false;
    bool wordWrap = false;
    bool html = false;
    bool border = false;
    bool useOutlines = false;
    std::vector<uint16_t> codes;  // the initial text, one character code each
};

// ---- Timelines

struct PlaceOp {
    bool remove = false;
    bool move = false;
    bool hasCharacter = false;
    bool hasMatrix = false;
    bool hasColorTransform = false;
    bool hasRatio = false;
    bool hasClipDepth = false;
    bool hasBlendMode = false;
    uint16_t depth = 0;
    uint16_t characterId = 0;
    Matrix matrix;
    ColorTransform colorTransform;
    uint16_t ratio = 0;
    uint16_t clipDepth = 0;
    uint8_t blendMode = 0;
};

enum class ActionKind : uint8_t { Play, Stop, GotoFrame, GotoLabel, NextFrame, PrevFrame };

struct ActionOp {
    ActionKind kind = ActionKind::Stop;
    int frame = 0;  // 0-based, for GotoFrame
    std::string label;
};

struct Frame {
    std::vector<PlaceOp> ops;
    std::vector<ActionOp> actions;
};

struct Timeline {
    std::vector<Frame> frames;                          // at least one
    std::vector<std::pair<std::string, int>> labels;    // label and 0-based frame
    int FrameForLabel(const std::string& label) const;  // -1 when unknown
};

struct SpriteCharacter : Character {
    SpriteCharacter() : Character(CharacterKind::Sprite) {}
    Timeline timeline;
};

struct ButtonRecord {
    uint16_t characterId = 0;
    uint16_t depth = 0;
    Matrix matrix;
    ColorTransform colorTransform;
    uint8_t blendMode = 0;
};

// Only the up state is ever shown.
struct ButtonCharacter : Character {
    ButtonCharacter() : Character(CharacterKind::Button) {}
    std::vector<ButtonRecord> upRecords;
};

// ---- The whole movie

struct MovieData {
    int version = 0;
    Rect stage;
    double frameRate = 12;
    uint32_t background = 0xFFFFFFFF;
    // Each id with its definitions and the main timeline frame (0-based) each appeared in.
    // Movies may free an id and define it anew, as video-like movies do every frame.
    struct Definition {
        int frame;
        std::shared_ptr<const Character> character;
    };
    std::unordered_map<uint16_t, std::vector<Definition>> dictionary;
    Timeline timeline;

    // The definition of an id as it stands on a main timeline frame.
    const Character* Find(uint16_t id, int frame) const {
        const auto it = dictionary.find(id);
        if (it == dictionary.end()) return nullptr;
        const Character* found = nullptr;
        for (const Definition& definition : it->second) {
            if (definition.frame > frame) break;
            found = definition.character.get();
        }
        // Used before its definition: the first one is the best guess.
        return found != nullptr ? found : it->second.front().character.get();
    }
};

}  // namespace kestrix::swf
