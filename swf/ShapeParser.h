// Reading shape definitions: style arrays, shape records, morph shapes and glyph outlines.
#pragma once

#include "swf/Characters.h"
#include "swf/Reader.h"

namespace kestrix::swf {

// Shared limits of one movie's parse, so a hostile file cannot make the shapes or bitmaps
// take unbounded memory however many definitions it has.
struct ParseBudget {
    int64_t segmentsLeft = 8'000'000;
    int64_t pixelsLeft = 64LL * 1024 * 1024;
    int64_t glyphsLeft = 200'000;
};

// shapeVersion is 1 to 4 for DefineShape to DefineShape4. Each returns false on bytes that
// do not form the definition; the output is then not to be used.
bool ParseDefineShape(Reader& reader, int shapeVersion, ShapeCharacter& shape, ParseBudget& budget);
bool ParseMorphShape(Reader& reader, int morphVersion, MorphCharacter& morph, ParseBudget& budget);
// A glyph outline: bare shape records whose only fill style (1) is the text colour.
bool ParseGlyphShape(Reader& reader, ShapeData& glyph, ParseBudget& budget);

// Interpolates a morph at ratio 0..1 into out (whose storage is reused).
void BlendMorph(const MorphCharacter& morph, double ratio, ShapeData& out);

}  // namespace kestrix::swf
