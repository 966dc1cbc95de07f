// Drawing edit text fields: the initial text, laid out line by line with the field's font.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "swf/Renderer.h"

namespace kestrix::swf {

namespace {

constexpr double kGutter = 40;  // twips between the field's edge and its text
// Laid out every frame: more lines than this never fit on a screen anyway.
constexpr size_t kMaxLines = 1000;

struct LaidGlyph {
    int glyph;  // -1: a box for a character the font cannot draw
    double x;
    double advance;
};

}  // namespace

void Renderer::DrawEditText(const EditTextCharacter& field, const Matrix& matrix, const ColorTransform& cx) {
    if (OutsideClip(field.bounds, matrix, 4)) return;
    if (paints_.size() < 2) paints_.resize(2);
    const Rect& b = field.bounds;
    if (field.border) {
        rasterizer_.Reset(clipLeft_, clipTop_, clipRight_, clipBottom_);
        AddRectangle(b.xMin, b.yMin, b.xMax, b.yMax, matrix);
        paints_[1].SetSolid(0xFFFFFFFF, cx);
        Composite(FillRule::NonZero, 1);
        rasterizer_.Reset(clipLeft_, clipTop_, clipRight_, clipBottom_);
        const double one = 1 / std::max(1e-9, std::sqrt(std::fabs(matrix.Determinant())));
        AddRectangle(b.xMin, b.yMin, b.xMax, b.yMax, matrix);
        AddRectangle(b.xMax - one, b.yMin + one, b.xMin + one, b.yMax - one, matrix);
        paints_[1].SetSolid(0xFF000000, cx);
        Composite(FillRule::NonZero, 1);
    }
    if (field.codes.empty()) return;

    const Character* found = field.hasFont ? movie_->Find(field.fontId, frame_) : nullptr;
    const FontCharacter* font =
        found != nullptr && found->kind == CharacterKind::Font ? static_cast<const FontCharacter*>(found) : nullptr;
    const bool outlines = font != nullptr && !font->glyphs.empty();
    const double height = field.height;
    const double scale = outlines ? height / font->emSize : 0;
    const double ascent = outlines && font->hasLayout ? font->ascent * scale : height * 0.8;
    const double descent = outlines && font->hasLayout ? font->descent * scale : height * 0.2;
    const double lineAdvance = ascent + descent + field.leading;
    const double left = b.xMin + kGutter + field.leftMargin;
    const double right = b.xMax - kGutter - field.rightMargin;

    const std::vector<uint16_t>& codes = field.codes;

    auto advanceOf = [&](uint16_t code, int& glyph) {
        glyph = outlines ? font->GlyphForCode(code) : -1;
        if (glyph >= 0 && font->hasLayout) return font->glyphs[glyph].advance * scale;
        return code == ' ' ? height * 0.25 : height * 0.6;
    };

    // Break into lines at line ends, and where words pass the right edge when the field wraps.
    std::vector<std::vector<LaidGlyph>> lines(1);
    std::vector<uint16_t> lineCodes;
    double x = 0;
    size_t lastSpace = 0;
    for (size_t i = 0; i < codes.size(); ++i) {
        const uint16_t code = codes[i];
        if (code == '\r' || code == '\n') {
            if (code == '\r' && i + 1 < codes.size() && codes[i + 1] == '\n') ++i;
            if (lines.size() >= kMaxLines) break;
            lines.emplace_back();
            x = 0;
            lastSpace = 0;
            continue;
        }
        int glyph = -1;
        const double advance = advanceOf(code, glyph);
        std::vector<LaidGlyph>& line = lines.back();
        if (field.wordWrap && x + advance > right - left && !line.empty() && code != ' ') {
            // Carry the unfinished word to a new line.
            std::vector<LaidGlyph> carried;
            if (lastSpace > 0 && lastSpace < line.size()) {
                carried.assign(line.begin() + lastSpace, line.end());
                line.resize(lastSpace);
            }
            if (lines.size() >= kMaxLines) break;
            lines.emplace_back(std::move(carried));
            x = 0;
            for (LaidGlyph& moved : lines.back()) {
                moved.x = x;
                x += moved.advance;
            }
            lastSpace = 0;
        }
        lines.back().push_back({code == ' ' ? -2 : glyph, x, advance});
        x += advance;
        if (code == ' ') lastSpace = lines.back().size();
    }

    rasterizer_.Reset(clipLeft_, clipTop_, clipRight_, clipBottom_);
    double baseline = b.yMin + kGutter + ascent;
    for (const auto& line : lines) {
        double width = 0;
        for (const LaidGlyph& g : line) width = std::max(width, g.x + g.advance);
        double start = left;
        if (field.align == 1)
            start = right - width;
        else if (field.align == 2)
            start = left + (right - left - width) / 2;
        for (const LaidGlyph& g : line) {
            const double gx = start + g.x;
            if (g.glyph >= 0) {
                AddGlyph(font->glyphs[g.glyph].shape, matrix * Matrix{scale, 0, 0, scale, gx, baseline});
            } else if (g.glyph == -1) {
                // No outline for this character: an empty box keeps the text's shape visible.
                const double w = g.advance * 0.8;
                const double top = baseline - ascent * 0.7;
                const double stroke = std::max(10.0, height / 16);
                AddRectangle(gx, top, gx + w, baseline, matrix);
                AddRectangle(gx + w - stroke, top + stroke, gx + stroke, baseline - stroke, matrix);
            }
        }
        baseline += lineAdvance;
    }
    if (rasterizer_.Empty()) return;
    paints_[1].SetSolid(field.color, cx);
    Composite(FillRule::NonZero, 1);
}

}  // namespace kestrix::swf
