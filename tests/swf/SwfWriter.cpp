#include "tests/swf/SwfWriter.h"

#include <zlib.h>
#include <cmath>

namespace kestrix::swf::test {

namespace {

class BitWriter {
public:
    void Bits(int64_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            current_ = static_cast<uint8_t>(current_ << 1 | ((value >> i) & 1));
            if (++used_ == 8) {
                bytes_.push_back(current_);
                current_ = 0;
                used_ = 0;
            }
        }
    }
    void Align() {
        if (used_ > 0) Bits(0, 8 - used_);
    }
    void U8(uint32_t v) {
        Align();
        bytes_.push_back(static_cast<uint8_t>(v));
    }
    void U16(uint32_t v) {
        U8(v & 0xFF);
        U8(v >> 8 & 0xFF);
    }
    void U32(uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Bytes(const std::vector<uint8_t>& data) {
        Align();
        bytes_.insert(bytes_.end(), data.begin(), data.end());
    }
    void String(const std::string& text) {
        for (char c : text) U8(static_cast<uint8_t>(c));
        U8(0);
    }
    std::vector<uint8_t>& Data() {
        Align();
        return bytes_;
    }

private:
    std::vector<uint8_t> bytes_;
    uint8_t current_ = 0;
    int used_ = 0;
};

// Bits for a signed field holding every value.
int SignedBits(std::initializer_list<int64_t> values) {
    int bits = 1;
    for (int64_t v : values)
        while (v < -(int64_t{1} << (bits - 1)) || v >= (int64_t{1} << (bits - 1))) ++bits;
    return bits;
}

int UnsignedBits(int64_t value) {
    int bits = 0;
    while ((int64_t{1} << bits) <= value) ++bits;
    return bits;
}

int64_t Twips(double v) {
    return std::llround(v);
}
int64_t Fixed16(double v) {
    return std::llround(v * 65536);
}

void WriteRect(BitWriter& w, int64_t x0, int64_t x1, int64_t y0, int64_t y1) {
    const int bits = SignedBits({x0, x1, y0, y1});
    w.Bits(bits, 5);
    for (int64_t v : {x0, x1, y0, y1}) w.Bits(v, bits);
    w.Align();
}

void WriteMatrix(BitWriter& w, const Matrix& m) {
    if (m.a != 1 || m.d != 1) {
        const int bits = SignedBits({Fixed16(m.a), Fixed16(m.d)});
        w.Bits(1, 1);
        w.Bits(bits, 5);
        w.Bits(Fixed16(m.a), bits);
        w.Bits(Fixed16(m.d), bits);
    } else {
        w.Bits(0, 1);
    }
    if (m.b != 0 || m.c != 0) {
        const int bits = SignedBits({Fixed16(m.b), Fixed16(m.c)});
        w.Bits(1, 1);
        w.Bits(bits, 5);
        w.Bits(Fixed16(m.b), bits);
        w.Bits(Fixed16(m.c), bits);
    } else {
        w.Bits(0, 1);
    }
    const int bits = SignedBits({Twips(m.tx), Twips(m.ty)});
    w.Bits(bits, 5);
    w.Bits(Twips(m.tx), bits);
    w.Bits(Twips(m.ty), bits);
    w.Align();
}

void WriteColorTransform(BitWriter& w, const ColorTransform& cx) {
    int64_t mul[4];
    int64_t add[4];
    for (int i = 0; i < 4; ++i) {
        mul[i] = std::llround(cx.mul[i] * 256);
        add[i] = std::llround(cx.add[i]);
    }
    const int bits = SignedBits({mul[0], mul[1], mul[2], mul[3], add[0], add[1], add[2], add[3]});
    w.Bits(1, 1);
    w.Bits(1, 1);
    w.Bits(bits, 4);
    for (int64_t v : mul) w.Bits(v, bits);
    for (int64_t v : add) w.Bits(v, bits);
    w.Align();
}

void WriteColor(BitWriter& w, uint32_t argb, bool alpha) {
    w.U8(argb >> 16 & 0xFF);
    w.U8(argb >> 8 & 0xFF);
    w.U8(argb & 0xFF);
    if (alpha) w.U8(argb >> 24);
}

void WriteFill(BitWriter& w, const FillDraft& fill, int version) {
    const bool alpha = version >= 3;
    switch (fill.kind) {
        case FillDraft::Solid:
            w.U8(0x00);
            WriteColor(w, fill.color, alpha);
            break;
        case FillDraft::Linear:
        case FillDraft::Radial:
        case FillDraft::Focal:
            w.U8(fill.kind == FillDraft::Linear ? 0x10 : fill.kind == FillDraft::Radial ? 0x12 : 0x13);
            WriteMatrix(w, fill.matrix);
            w.U8(fill.spread << 6 | (fill.linearRgb ? 1 : 0) << 4 | static_cast<int>(fill.stops.size()));
            for (const auto& [ratio, color] : fill.stops) {
                w.U8(ratio);
                WriteColor(w, color, alpha);
            }
            if (fill.kind == FillDraft::Focal) w.U16(static_cast<uint16_t>(std::lround(fill.focal * 256)));
            break;
        case FillDraft::Bitmap:
            w.U8(0x40 | (fill.repeat ? 0 : 1) | (fill.smooth ? 0 : 2));
            w.U16(fill.bitmapId);
            WriteMatrix(w, fill.matrix);
            break;
    }
}

void WriteStyleCount(BitWriter& w, size_t count) {
    if (count < 0xFF) {
        w.U8(static_cast<uint32_t>(count));
    } else {
        w.U8(0xFF);
        w.U16(static_cast<uint32_t>(count));
    }
}

// Shape records for the paths; styles are written by the caller.
void WriteRecords(BitWriter& w, const std::vector<PathDraft>& paths, int fillBits, int lineBits) {
    w.Bits(fillBits, 4);
    w.Bits(lineBits, 4);
    for (const PathDraft& path : paths) {
        const int64_t x = Twips(path.start.x);
        const int64_t y = Twips(path.start.y);
        w.Bits(0, 1);  // style change
        w.Bits(0, 1);  // no new styles
        w.Bits(lineBits > 0 ? 1 : 0, 1);
        w.Bits(fillBits > 0 ? 1 : 0, 1);
        w.Bits(fillBits > 0 ? 1 : 0, 1);
        w.Bits(1, 1);  // move
        const int moveBits = SignedBits({x, y});
        w.Bits(moveBits, 5);
        w.Bits(x, moveBits);
        w.Bits(y, moveBits);
        if (fillBits > 0) {
            w.Bits(path.fill0, fillBits);
            w.Bits(path.fill1, fillBits);
        }
        if (lineBits > 0) w.Bits(path.line, lineBits);
        int64_t penX = x;
        int64_t penY = y;
        for (const PathDraft::Edge& edge : path.edges) {
            const int64_t toX = Twips(edge.to.x);
            const int64_t toY = Twips(edge.to.y);
            w.Bits(1, 1);
            if (!edge.curve) {
                const int64_t dx = toX - penX;
                const int64_t dy = toY - penY;
                const int bits = std::max(2, SignedBits({dx, dy}));
                w.Bits(1, 1);
                w.Bits(bits - 2, 4);
                w.Bits(1, 1);  // general line
                w.Bits(dx, bits);
                w.Bits(dy, bits);
            } else {
                const int64_t cx = Twips(edge.control.x) - penX;
                const int64_t cy = Twips(edge.control.y) - penY;
                const int64_t ax = toX - Twips(edge.control.x);
                const int64_t ay = toY - Twips(edge.control.y);
                const int bits = std::max(2, SignedBits({cx, cy, ax, ay}));
                w.Bits(0, 1);
                w.Bits(bits - 2, 4);
                for (int64_t v : {cx, cy, ax, ay}) w.Bits(v, bits);
            }
            penX = toX;
            penY = toY;
        }
    }
    w.Bits(0, 6);  // end of shape
    w.Align();
}

// Bounds of the paths' points, in twips.
Rect BoundsOf(const std::vector<PathDraft>& paths) {
    Rect r{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
    auto add = [&r](Point p) {
        r.xMin = std::min<int32_t>(r.xMin, static_cast<int32_t>(std::floor(p.x)));
        r.xMax = std::max<int32_t>(r.xMax, static_cast<int32_t>(std::ceil(p.x)));
        r.yMin = std::min<int32_t>(r.yMin, static_cast<int32_t>(std::floor(p.y)));
        r.yMax = std::max<int32_t>(r.yMax, static_cast<int32_t>(std::ceil(p.y)));
    };
    for (const PathDraft& path : paths) {
        add(path.start);
        for (const auto& edge : path.edges) {
            add(edge.to);
            if (edge.curve) add(edge.control);
        }
    }
    if (r.xMin > r.xMax) r = Rect{};
    return r;
}

}  // namespace

PathDraft PathDraft::Rectangle(double x0, double y0, double x1, double y1, int fill, int line) {
    PathDraft path;
    path.fill1 = fill;
    path.line = line;
    path.start = {x0, y0};
    path.LineTo(x1, y0).LineTo(x1, y1).LineTo(x0, y1).LineTo(x0, y0);
    return path;
}

SwfWriter::SwfWriter(int version, int width, int height, double frameRate)
    : version_(version), width_(width), height_(height), frameRate_(frameRate) {}

void SwfWriter::Tag(int code, const std::vector<uint8_t>& body) {
    std::vector<uint8_t>& out = inSprite_ ? spriteTags_ : tags_;
    const bool isLong = body.size() >= 0x3F || code == 6 || code == 20 || code == 21 || code == 35 || code == 36;
    const uint16_t header = static_cast<uint16_t>(code << 6 | (isLong ? 0x3F : body.size()));
    out.push_back(header & 0xFF);
    out.push_back(header >> 8);
    if (isLong) {
        const uint32_t size = static_cast<uint32_t>(body.size());
        for (int i = 0; i < 4; ++i) out.push_back(size >> (8 * i) & 0xFF);
    }
    out.insert(out.end(), body.begin(), body.end());
}

void SwfWriter::SetBackground(uint32_t rgb) {
    BitWriter w;
    WriteColor(w, rgb, false);
    Tag(9, w.Data());
}

uint16_t SwfWriter::DefineShape(const ShapeDraft& shape) {
    const uint16_t id = nextId_++;
    BitWriter w;
    w.U16(id);
    Rect bounds = BoundsOf(shape.paths);
    WriteRect(w, bounds.xMin, bounds.xMax, bounds.yMin, bounds.yMax);
    if (shape.version >= 4) {
        WriteRect(w, bounds.xMin, bounds.xMax, bounds.yMin, bounds.yMax);
        w.U8(shape.nonZero ? 0x04 : 0x00);
    }
    WriteStyleCount(w, shape.fills.size());
    for (const FillDraft& fill : shape.fills) WriteFill(w, fill, shape.version);
    WriteStyleCount(w, shape.lines.size());
    for (const LineDraft& line : shape.lines) {
        w.U16(line.width);
        if (shape.version >= 4) {
            w.U8(0x00);  // round caps and joins, no fill, scaled
            w.U8(0x00);
            WriteColor(w, line.color, true);
        } else {
            WriteColor(w, line.color, shape.version >= 3);
        }
    }
    WriteRecords(w, shape.paths, UnsignedBits(shape.fills.size()), UnsignedBits(shape.lines.size()));
    const int codes[] = {2, 22, 32, 83};
    Tag(codes[std::clamp(shape.version, 1, 4) - 1], w.Data());
    return id;
}

uint16_t SwfWriter::DefineRectangle(double x0, double y0, double x1, double y1, uint32_t argb) {
    ShapeDraft shape;
    shape.fills.push_back(FillDraft::Color(argb));
    shape.paths.push_back(PathDraft::Rectangle(x0, y0, x1, y1, 1));
    return DefineShape(shape);
}

uint16_t SwfWriter::DefineMorphRectangles(const Rect& start, uint32_t startColor, const Rect& end, uint32_t endColor) {
    const uint16_t id = nextId_++;
    BitWriter w;
    w.U16(id);
    WriteRect(w, start.xMin, start.xMax, start.yMin, start.yMax);
    WriteRect(w, end.xMin, end.xMax, end.yMin, end.yMax);
    BitWriter styles;
    styles.U8(1);
    styles.U8(0x00);
    WriteColor(styles, startColor, true);
    WriteColor(styles, endColor, true);
    styles.U8(0);  // no lines
    BitWriter startEdges;
    WriteRecords(startEdges, {PathDraft::Rectangle(start.xMin, start.yMin, start.xMax, start.yMax, 1)}, 1, 0);
    BitWriter endEdges;
    WriteRecords(endEdges, {PathDraft::Rectangle(end.xMin, end.yMin, end.xMax, end.yMax, 1)}, 1, 0);
    const std::vector<uint8_t>& styleBytes = styles.Data();
    const std::vector<uint8_t>& startBytes = startEdges.Data();
    w.U32(static_cast<uint32_t>(styleBytes.size() + startBytes.size()));
    w.Bytes(styleBytes);
    w.Bytes(startBytes);
    w.Bytes(endEdges.Data());
    Tag(46, w.Data());
    return id;
}

uint16_t SwfWriter::DefineLosslessBitmap(int width, int height, const std::vector<uint32_t>& argb) {
    const uint16_t id = nextId_++;
    std::vector<uint8_t> plain;
    for (uint32_t pixel : argb) {
        const uint32_t a = pixel >> 24;
        plain.push_back(static_cast<uint8_t>(a));
        for (int shift : {16, 8, 0}) plain.push_back(static_cast<uint8_t>((((pixel >> shift) & 0xFF) * a + 127) / 255));
    }
    uLongf packedSize = compressBound(plain.size());
    std::vector<uint8_t> packed(packedSize);
    compress(packed.data(), &packedSize, plain.data(), plain.size());
    packed.resize(packedSize);
    BitWriter w;
    w.U16(id);
    w.U8(5);
    w.U16(width);
    w.U16(height);
    w.Bytes(packed);
    Tag(36, w.Data());
    return id;
}

uint16_t SwfWriter::DefineBitmapTag(int code, const std::vector<uint8_t>& bodyAfterId) {
    const uint16_t id = nextId_++;
    BitWriter w;
    w.U16(id);
    w.Bytes(bodyAfterId);
    Tag(code, w.Data());
    return id;
}

uint16_t SwfWriter::DefineFont(const std::vector<GlyphDraft>& glyphs, int version, int ascent, int descent) {
    const uint16_t id = nextId_++;
    std::vector<std::vector<uint8_t>> shapes;
    for (const GlyphDraft& glyph : glyphs) {
        BitWriter shape;
        WriteRecords(shape, glyph.paths, 1, 0);
        shapes.push_back(shape.Data());
    }
    BitWriter w;
    w.U16(id);
    w.U8(0x80 | 0x08 | 0x04);  // layout, wide offsets, wide codes
    w.U8(0);
    const std::string name = "Test";
    w.U8(static_cast<uint32_t>(name.size()));
    for (char c : name) w.U8(static_cast<uint8_t>(c));
    w.U16(static_cast<uint32_t>(glyphs.size()));
    uint32_t offset = static_cast<uint32_t>(4 * glyphs.size() + 4);
    for (const auto& shape : shapes) {
        w.U32(offset);
        offset += static_cast<uint32_t>(shape.size());
    }
    w.U32(offset);  // where the code table starts
    for (const auto& shape : shapes) w.Bytes(shape);
    for (const GlyphDraft& glyph : glyphs) w.U16(glyph.code);
    w.U16(ascent);
    w.U16(descent);
    w.U16(0);  // leading
    for (const GlyphDraft& glyph : glyphs) w.U16(static_cast<uint16_t>(glyph.advance));
    for (const GlyphDraft& glyph : glyphs) {
        const Rect r = BoundsOf(glyph.paths);
        WriteRect(w, r.xMin, r.xMax, r.yMin, r.yMax);
    }
    w.U16(0);  // no kerning
    Tag(version >= 3 ? 75 : 48, w.Data());
    return id;
}

uint16_t SwfWriter::DefineText(const Rect& bounds, const Matrix& matrix, const std::vector<TextRecordDraft>& records) {
    const uint16_t id = nextId_++;
    int glyphBits = 1;
    int advanceBits = 1;
    for (const TextRecordDraft& record : records)
        for (const auto& [index, advance] : record.glyphs) {
            glyphBits = std::max(glyphBits, UnsignedBits(index));
            advanceBits = std::max(advanceBits, SignedBits({advance}));
        }
    BitWriter w;
    w.U16(id);
    WriteRect(w, bounds.xMin, bounds.xMax, bounds.yMin, bounds.yMax);
    WriteMatrix(w, matrix);
    w.U8(glyphBits);
    w.U8(advanceBits);
    for (const TextRecordDraft& record : records) {
        w.U8(0x80 | 0x08 | 0x04 | 0x02 | 0x01);
        w.U16(record.fontId);
        WriteColor(w, record.color, true);
        w.U16(static_cast<uint16_t>(Twips(record.x)));
        w.U16(static_cast<uint16_t>(Twips(record.y)));
        w.U16(static_cast<uint16_t>(Twips(record.height)));
        w.U8(static_cast<uint32_t>(record.glyphs.size()));
        for (const auto& [index, advance] : record.glyphs) {
            w.Bits(index, glyphBits);
            w.Bits(advance, advanceBits);
        }
        w.Align();
    }
    w.U8(0);
    Tag(33, w.Data());
    return id;
}

uint16_t SwfWriter::DefineEditText(const EditTextDraft& field) {
    const uint16_t id = nextId_++;
    BitWriter w;
    w.U16(id);
    WriteRect(w, field.bounds.xMin, field.bounds.xMax, field.bounds.yMin, field.bounds.yMax);
    const bool hasFont = field.fontId != 0;
    w.U8(0x80 | (field.wordWrap ? 0x60 : 0) | 0x08 | 0x04 | (hasFont ? 0x01 : 0));            // text, read-only, colour
    w.U8(0x20 | (field.border ? 0x08 : 0) | (field.html ? 0x02 : 0) | (hasFont ? 0x01 : 0));  // layout
    if (hasFont) {
        w.U16(field.fontId);
        w.U16(static_cast<uint16_t>(Twips(field.height)));
    }
    WriteColor(w, field.color, true);
    w.U8(field.align);
    w.U16(0);
    w.U16(0);
    w.U16(0);
    w.U16(0);
    w.String("");
    w.String(field.text);
    Tag(37, w.Data());
    return id;
}

uint16_t SwfWriter::BeginSprite() {
    inSprite_ = true;
    spriteId_ = nextId_++;
    spriteTags_.clear();
    spriteFrames_ = 0;
    return spriteId_;
}

void SwfWriter::EndSprite() {
    spriteTags_.push_back(0);  // end tag
    spriteTags_.push_back(0);
    inSprite_ = false;
    BitWriter w;
    w.U16(spriteId_);
    w.U16(spriteFrames_);
    w.Bytes(spriteTags_);
    Tag(39, w.Data());
}

void SwfWriter::Place(uint16_t depth, uint16_t characterId, const PlaceOptions& options) {
    BitWriter w;
    const bool third = options.blendMode.has_value();
    const uint8_t flags = static_cast<uint8_t>((options.move ? 0x01 : 0) | (characterId != 0 ? 0x02 : 0) |
                                               (options.matrix ? 0x04 : 0) | (options.colorTransform ? 0x08 : 0) |
                                               (options.ratio ? 0x10 : 0) | (options.clipDepth != 0 ? 0x40 : 0));
    w.U8(flags);
    if (third) w.U8(0x02);
    w.U16(depth);
    if (characterId != 0) w.U16(characterId);
    if (options.matrix) WriteMatrix(w, *options.matrix);
    if (options.colorTransform) WriteColorTransform(w, *options.colorTransform);
    if (options.ratio) w.U16(*options.ratio);
    if (options.clipDepth != 0) w.U16(options.clipDepth);
    if (third) w.U8(*options.blendMode);
    Tag(third ? 70 : 26, w.Data());
}

void SwfWriter::Move(uint16_t depth, const PlaceOptions& options) {
    PlaceOptions moved = options;
    moved.move = true;
    Place(depth, 0, moved);
}

void SwfWriter::Remove(uint16_t depth) {
    BitWriter w;
    w.U16(depth);
    Tag(28, w.Data());
}

void SwfWriter::Label(const std::string& name) {
    BitWriter w;
    w.String(name);
    Tag(43, w.Data());
}

void SwfWriter::Action(const std::vector<uint8_t>& records) {
    std::vector<uint8_t> body = records;
    body.push_back(0);
    Tag(12, body);
}

void SwfWriter::ActionStop() {
    Action({0x07});
}
void SwfWriter::ActionPlay() {
    Action({0x06});
}

void SwfWriter::ActionGotoFrame(int zeroBasedFrame) {
    Action({0x81, 2, 0, static_cast<uint8_t>(zeroBasedFrame & 0xFF), static_cast<uint8_t>(zeroBasedFrame >> 8)});
}

void SwfWriter::ActionGotoLabel(const std::string& label) {
    std::vector<uint8_t> records = {0x8C, static_cast<uint8_t>((label.size() + 1) & 0xFF),
                                    static_cast<uint8_t>((label.size() + 1) >> 8)};
    records.insert(records.end(), label.begin(), label.end());
    records.push_back(0);
    Action(records);
}

void SwfWriter::ShowFrame() {
    Tag(1, {});
    if (inSprite_)
        ++spriteFrames_;
    else
        ++frames_;
}

std::vector<uint8_t> SwfWriter::Finish(bool compress) {
    BitWriter body;
    WriteRect(body, 0, int64_t{width_} * 20, 0, int64_t{height_} * 20);
    body.U16(static_cast<uint32_t>(std::lround(frameRate_ * 256)));
    body.U16(frames_);
    body.Bytes(tags_);
    body.U16(0);  // end tag
    const std::vector<uint8_t>& plain = body.Data();
    std::vector<uint8_t> out = {static_cast<uint8_t>(compress ? 'C' : 'F'), 'W', 'S', static_cast<uint8_t>(version_)};
    const uint32_t length = static_cast<uint32_t>(plain.size() + 8);
    for (int i = 0; i < 4; ++i) out.push_back(length >> (8 * i) & 0xFF);
    if (!compress) {
        out.insert(out.end(), plain.begin(), plain.end());
        return out;
    }
    uLongf packedSize = compressBound(plain.size());
    std::vector<uint8_t> packed(packedSize);
    compress2(packed.data(), &packedSize, plain.data(), plain.size(), 9);
    out.insert(out.end(), packed.begin(), packed.begin() + packedSize);
    return out;
}

}  // namespace kestrix::swf::test
