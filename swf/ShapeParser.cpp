#include "swf/ShapeParser.h"

#include <algorithm>

namespace kestrix::swf {

namespace {

// One shape record as stored, before the edges are made absolute.
struct RawRecord {
    enum Type : uint8_t { Style, Straight, Curve } type = Style;
    bool hasMove = false;
    bool hasFill0 = false;
    bool hasFill1 = false;
    bool hasLine = false;
    bool newStyles = false;
    int32_t x = 0;  // move target, or edge delta to the anchor
    int32_t y = 0;
    int32_t cx = 0;  // control delta of a curve
    int32_t cy = 0;
    int fill0 = 0;
    int fill1 = 0;
    int line = 0;
};

// Every edge takes at least six bits, so a record list can never be longer than this.
constexpr size_t kMaxRecordsPerShape = 2'000'000;

uint32_t ReadColor(Reader& reader, bool withAlpha) {
    return withAlpha ? reader.Rgba() : reader.Rgb();
}

size_t ReadStyleCount(Reader& reader, bool extended) {
    size_t count = reader.U8();
    if (count == 0xFF && extended) count = reader.U16();
    return count;
}

void ReadGradient(Reader& reader, bool withAlpha, bool focal, FillStyle& fill) {
    const uint8_t header = reader.U8();
    fill.spread = static_cast<Spread>(std::min(header >> 6, 2));  // 3 is reserved: treat as repeat
    fill.linearRgb = ((header >> 4) & 3) == 1;
    const int count = header & 0x0F;
    fill.stops.resize(count);
    for (GradientStop& stop : fill.stops) {
        stop.ratio = reader.U8();
        stop.color = ReadColor(reader, withAlpha);
    }
    if (focal) fill.focal = std::clamp(reader.Fixed8(), -0.98, 0.98);
}

void ReadBitmapFill(Reader& reader, uint8_t type, FillStyle& fill) {
    fill.kind = FillKind::Bitmap;
    fill.bitmapId = reader.U16();
    fill.matrix = reader.ReadMatrix();
    fill.repeat = (type & 1) == 0;
    fill.smooth = (type & 2) == 0;
}

bool ReadFillStyle(Reader& reader, int shapeVersion, FillStyle& fill) {
    const uint8_t type = reader.U8();
    const bool withAlpha = shapeVersion >= 3;
    switch (type) {
        case 0x00:
            fill.kind = FillKind::Solid;
            fill.color = ReadColor(reader, withAlpha);
            return true;
        case 0x10:
        case 0x12:
        case 0x13:
            fill.kind = type == 0x10 ? FillKind::Linear : type == 0x12 ? FillKind::Radial : FillKind::Focal;
            fill.matrix = reader.ReadMatrix();
            ReadGradient(reader, withAlpha, type == 0x13, fill);
            return true;
        case 0x40:
        case 0x41:
        case 0x42:
        case 0x43: ReadBitmapFill(reader, type, fill); return true;
        default: return false;
    }
}

bool ReadFillStyles(Reader& reader, int shapeVersion, std::vector<FillStyle>& fills) {
    const size_t count = ReadStyleCount(reader, shapeVersion >= 2);
    fills.resize(count);
    for (FillStyle& fill : fills)
        if (!ReadFillStyle(reader, shapeVersion, fill) || reader.Failed()) return false;
    return true;
}

Cap ToCap(uint32_t bits) {
    return bits <= 2 ? static_cast<Cap>(bits) : Cap::Round;
}
Join ToJoin(uint32_t bits) {
    return bits <= 2 ? static_cast<Join>(bits) : Join::Round;
}

// The second line style form: caps, joins and an optional fill. Returns the fill's success.
bool ReadLineStyle2Flags(Reader& reader, LineStyle& line, bool& hasFill) {
    line.startCap = ToCap(reader.Bits(2));
    line.join = ToJoin(reader.Bits(2));
    hasFill = reader.Bits(1) != 0;
    const bool noHScale = reader.Bits(1) != 0;
    const bool noVScale = reader.Bits(1) != 0;
    line.noScale = noHScale || noVScale;
    reader.Bits(1);  // pixel hinting
    reader.Bits(5);
    reader.Bits(1);  // no close
    line.endCap = ToCap(reader.Bits(2));
    reader.AlignToByte();
    if (line.join == Join::Miter) line.miterLimit = reader.Fixed8();
    return !reader.Failed();
}

bool ReadLineStyles(Reader& reader, int shapeVersion, std::vector<LineStyle>& lines) {
    const size_t count = ReadStyleCount(reader, shapeVersion >= 2);
    lines.resize(count);
    for (LineStyle& line : lines) {
        line.width = reader.U16();
        if (shapeVersion < 4) {
            line.color = ReadColor(reader, shapeVersion >= 3);
        } else {
            bool hasFill = false;
            if (!ReadLineStyle2Flags(reader, line, hasFill)) return false;
            line.hasFill = hasFill;
            if (hasFill) {
                if (!ReadFillStyle(reader, shapeVersion, line.fill)) return false;
            } else {
                line.color = reader.Rgba();
            }
        }
        if (reader.Failed()) return false;
    }
    return true;
}

// Reads records up to the end record. New style arrays (shapes 2 and later) are appended to
// groups. Returns false on malformed data.
bool ReadRecords(Reader& reader, int shapeVersion, std::vector<RawRecord>& records, std::vector<StyleGroup>* groups,
                 ParseBudget& budget) {
    int fillBits = static_cast<int>(reader.Bits(4));
    int lineBits = static_cast<int>(reader.Bits(4));
    while (!reader.Failed()) {
        if (records.size() >= kMaxRecordsPerShape || budget.segmentsLeft <= 0) return false;
        RawRecord record;
        if (reader.Bits(1) == 0) {
            const uint32_t flags = reader.Bits(5);
            if (flags == 0) break;  // end of shape
            record.type = RawRecord::Style;
            record.newStyles = (flags & 0x10) != 0;
            record.hasLine = (flags & 0x08) != 0;
            record.hasFill1 = (flags & 0x04) != 0;
            record.hasFill0 = (flags & 0x02) != 0;
            record.hasMove = (flags & 0x01) != 0;
            if (record.hasMove) {
                const int bits = static_cast<int>(reader.Bits(5));
                record.x = reader.SignedBits(bits);
                record.y = reader.SignedBits(bits);
            }
            if (record.hasFill0) record.fill0 = static_cast<int>(reader.Bits(fillBits));
            if (record.hasFill1) record.fill1 = static_cast<int>(reader.Bits(fillBits));
            if (record.hasLine) record.line = static_cast<int>(reader.Bits(lineBits));
            if (record.newStyles) {
                // Only shapes with style arrays may bring new ones; elsewhere the bit ends the shape.
                if (groups == nullptr || shapeVersion < 2) {
                    record.newStyles = false;
                    records.push_back(record);
                    break;
                }
                reader.AlignToByte();
                StyleGroup group;
                if (!ReadFillStyles(reader, shapeVersion, group.fills) ||
                    !ReadLineStyles(reader, shapeVersion, group.lines))
                    return false;
                groups->push_back(std::move(group));
                fillBits = static_cast<int>(reader.Bits(4));
                lineBits = static_cast<int>(reader.Bits(4));
            }
        } else {
            const bool straight = reader.Bits(1) != 0;
            const int bits = static_cast<int>(reader.Bits(4)) + 2;
            if (straight) {
                record.type = RawRecord::Straight;
                if (reader.Bits(1) != 0) {
                    record.x = reader.SignedBits(bits);
                    record.y = reader.SignedBits(bits);
                } else if (reader.Bits(1) != 0) {
                    record.y = reader.SignedBits(bits);
                } else {
                    record.x = reader.SignedBits(bits);
                }
            } else {
                record.type = RawRecord::Curve;
                record.cx = reader.SignedBits(bits);
                record.cy = reader.SignedBits(bits);
                record.x = reader.SignedBits(bits);
                record.y = reader.SignedBits(bits);
            }
            --budget.segmentsLeft;
        }
        records.push_back(record);
    }
    reader.AlignToByte();
    return !reader.Failed();
}

// Turns records into absolute sub-paths grouped by style arrays.
class ShapeBuilder {
public:
    explicit ShapeBuilder(std::vector<StyleGroup>& groups) : groups_(groups) {}

    void Apply(const RawRecord& record) {
        if (record.type == RawRecord::Style) {
            ApplyStyle(record);
            return;
        }
        if (groups_.empty()) return;
        SubPath& path = Current();
        Segment segment;
        if (record.type == RawRecord::Curve) {
            segment.curve = true;
            segment.control = {pen_.x + record.cx, pen_.y + record.cy};
            pen_ = {segment.control.x + record.x, segment.control.y + record.y};
        } else {
            pen_ = {pen_.x + record.x, pen_.y + record.y};
        }
        segment.to = pen_;
        path.segments.push_back(segment);
    }

private:
    void ApplyStyle(const RawRecord& record) {
        if (record.newStyles) {
            ++group_;
            fill0_ = fill1_ = line_ = 0;
        }
        if (record.hasFill0) fill0_ = record.fill0;
        if (record.hasFill1) fill1_ = record.fill1;
        if (record.hasLine) line_ = record.line;
        if (record.hasMove) pen_ = {static_cast<double>(record.x), static_cast<double>(record.y)};
        open_ = false;
    }

    SubPath& Current() {
        StyleGroup& group = groups_[std::min(group_, groups_.size() - 1)];
        if (!open_) {
            SubPath path;
            // Indices past the arrays draw nothing rather than something arbitrary.
            path.fill0 = fill0_ <= static_cast<int>(group.fills.size()) ? fill0_ : 0;
            path.fill1 = fill1_ <= static_cast<int>(group.fills.size()) ? fill1_ : 0;
            path.line = line_ <= static_cast<int>(group.lines.size()) ? line_ : 0;
            path.start = pen_;
            group.paths.push_back(std::move(path));
            open_ = true;
        }
        return group.paths.back();
    }

    std::vector<StyleGroup>& groups_;
    size_t group_ = 0;
    Point pen_;
    int fill0_ = 0;
    int fill1_ = 0;
    int line_ = 0;
    bool open_ = false;
};

void BuildShape(const std::vector<RawRecord>& records, ShapeData& shape) {
    ShapeBuilder builder(shape.groups);
    for (const RawRecord& record : records) builder.Apply(record);
}

// ---- Morphs

bool ReadMorphFill(Reader& reader, FillStyle& start, FillStyle& end) {
    const uint8_t type = reader.U8();
    switch (type) {
        case 0x00:
            start.kind = end.kind = FillKind::Solid;
            start.color = reader.Rgba();
            end.color = reader.Rgba();
            return true;
        case 0x10:
        case 0x12:
        case 0x13: {
            start.kind = end.kind = type == 0x10 ? FillKind::Linear : type == 0x12 ? FillKind::Radial : FillKind::Focal;
            start.matrix = reader.ReadMatrix();
            end.matrix = reader.ReadMatrix();
            const uint8_t header = reader.U8();
            start.spread = end.spread = static_cast<Spread>(std::min(header >> 6, 2));
            start.linearRgb = end.linearRgb = ((header >> 4) & 3) == 1;
            const int count = header & 0x0F;
            start.stops.resize(count);
            end.stops.resize(count);
            for (int i = 0; i < count; ++i) {
                start.stops[i].ratio = reader.U8();
                start.stops[i].color = reader.Rgba();
                end.stops[i].ratio = reader.U8();
                end.stops[i].color = reader.Rgba();
            }
            if (type == 0x13) {
                start.focal = std::clamp(reader.Fixed8(), -0.98, 0.98);
                end.focal = std::clamp(reader.Fixed8(), -0.98, 0.98);
            }
            return true;
        }
        case 0x40:
        case 0x41:
        case 0x42:
        case 0x43:
            ReadBitmapFill(reader, type, start);
            end = start;
            end.matrix = reader.ReadMatrix();
            return true;
        default: return false;
    }
}

bool ReadMorphLines(Reader& reader, int morphVersion, std::vector<LineStyle>& start, std::vector<LineStyle>& end) {
    const size_t count = ReadStyleCount(reader, true);
    start.resize(count);
    end.resize(count);
    for (size_t i = 0; i < count; ++i) {
        start[i].width = reader.U16();
        end[i].width = reader.U16();
        if (morphVersion < 2) {
            start[i].color = reader.Rgba();
            end[i].color = reader.Rgba();
        } else {
            bool hasFill = false;
            if (!ReadLineStyle2Flags(reader, start[i], hasFill)) return false;
            const double width = end[i].width;
            end[i] = start[i];
            end[i].width = width;
            start[i].hasFill = end[i].hasFill = hasFill;
            if (hasFill) {
                if (!ReadMorphFill(reader, start[i].fill, end[i].fill)) return false;
            } else {
                start[i].color = reader.Rgba();
                end[i].color = reader.Rgba();
            }
        }
        if (reader.Failed()) return false;
    }
    return true;
}

// Walks the start records and the end edges together, so both shapes get the same sub-paths
// and segments. Straight edges facing curves become curves with the control at the middle.
class MorphBuilder {
public:
    MorphBuilder(const std::vector<RawRecord>& endRecords, MorphCharacter& morph) : end_(endRecords), morph_(morph) {}

    void Apply(const RawRecord& record) {
        if (record.type == RawRecord::Style) {
            ApplyStyle(record);
            return;
        }
        const RawRecord* other = NextEndEdge();
        Open();
        Segment startSegment = MakeSegment(record, penStart_);
        Segment endSegment = other != nullptr ? MakeSegment(*other, penEnd_) : Segment{penEnd_, penEnd_, false};
        if (startSegment.curve != endSegment.curve) {
            MakeCurve(startSegment, prevStart_);
            MakeCurve(endSegment, prevEnd_);
        }
        morph_.start.groups[0].paths.back().segments.push_back(startSegment);
        morph_.end.groups[0].paths.back().segments.push_back(endSegment);
    }

private:
    void ApplyStyle(const RawRecord& record) {
        if (record.hasFill0) fill0_ = record.fill0;
        if (record.hasFill1) fill1_ = record.fill1;
        if (record.hasLine) line_ = record.line;
        if (record.hasMove) {
            penStart_ = {static_cast<double>(record.x), static_cast<double>(record.y)};
            // The end shape moves where the start shape moves.
            while (endIndex_ < end_.size() && end_[endIndex_].type == RawRecord::Style && !end_[endIndex_].hasMove)
                ++endIndex_;
            if (endIndex_ < end_.size() && end_[endIndex_].type == RawRecord::Style) {
                penEnd_ = {static_cast<double>(end_[endIndex_].x), static_cast<double>(end_[endIndex_].y)};
                ++endIndex_;
            }
        }
        open_ = false;
    }

    const RawRecord* NextEndEdge() {
        while (endIndex_ < end_.size() && end_[endIndex_].type == RawRecord::Style) {
            if (end_[endIndex_].hasMove)
                penEnd_ = {static_cast<double>(end_[endIndex_].x), static_cast<double>(end_[endIndex_].y)};
            ++endIndex_;
        }
        return endIndex_ < end_.size() ? &end_[endIndex_++] : nullptr;
    }

    Segment MakeSegment(const RawRecord& record, Point& pen) {
        Segment segment;
        (&pen == &penStart_ ? prevStart_ : prevEnd_) = pen;
        if (record.type == RawRecord::Curve) {
            segment.curve = true;
            segment.control = {pen.x + record.cx, pen.y + record.cy};
            pen = {segment.control.x + record.x, segment.control.y + record.y};
        } else {
            pen = {pen.x + record.x, pen.y + record.y};
        }
        segment.to = pen;
        return segment;
    }

    static void MakeCurve(Segment& segment, Point from) {
        if (segment.curve) return;
        segment.curve = true;
        segment.control = {(from.x + segment.to.x) / 2, (from.y + segment.to.y) / 2};
    }

    void Open() {
        if (open_) return;
        const int fills = static_cast<int>(morph_.start.groups[0].fills.size());
        const int lines = static_cast<int>(morph_.start.groups[0].lines.size());
        SubPath path;
        path.fill0 = fill0_ <= fills ? fill0_ : 0;
        path.fill1 = fill1_ <= fills ? fill1_ : 0;
        path.line = line_ <= lines ? line_ : 0;
        path.start = penStart_;
        morph_.start.groups[0].paths.push_back(path);
        path.start = penEnd_;
        morph_.end.groups[0].paths.push_back(path);
        open_ = true;
    }

    const std::vector<RawRecord>& end_;
    MorphCharacter& morph_;
    size_t endIndex_ = 0;
    Point penStart_;
    Point penEnd_;
    Point prevStart_;
    Point prevEnd_;
    int fill0_ = 0;
    int fill1_ = 0;
    int line_ = 0;
    bool open_ = false;
};

double Lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

uint32_t LerpColor(uint32_t a, uint32_t b, double t) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const double value = Lerp((a >> shift) & 0xFF, (b >> shift) & 0xFF, t);
        out |= static_cast<uint32_t>(std::clamp(value + 0.5, 0.0, 255.0)) << shift;
    }
    return out;
}

Matrix LerpMatrix(const Matrix& a, const Matrix& b, double t) {
    return {Lerp(a.a, b.a, t), Lerp(a.b, b.b, t),   Lerp(a.c, b.c, t),
            Lerp(a.d, b.d, t), Lerp(a.tx, b.tx, t), Lerp(a.ty, b.ty, t)};
}

Point LerpPoint(Point a, Point b, double t) {
    return {Lerp(a.x, b.x, t), Lerp(a.y, b.y, t)};
}

void LerpFill(const FillStyle& a, const FillStyle& b, double t, FillStyle& out) {
    out.kind = a.kind;
    out.color = LerpColor(a.color, b.color, t);
    out.matrix = LerpMatrix(a.matrix, b.matrix, t);
    out.spread = a.spread;
    out.linearRgb = a.linearRgb;
    out.focal = Lerp(a.focal, b.focal, t);
    out.bitmapId = a.bitmapId;
    out.repeat = a.repeat;
    out.smooth = a.smooth;
    out.stops.resize(a.stops.size());
    for (size_t i = 0; i < a.stops.size() && i < b.stops.size(); ++i) {
        out.stops[i].ratio =
            static_cast<uint8_t>(std::clamp(Lerp(a.stops[i].ratio, b.stops[i].ratio, t) + 0.5, 0.0, 255.0));
        out.stops[i].color = LerpColor(a.stops[i].color, b.stops[i].color, t);
    }
}

}  // namespace

bool ParseDefineShape(Reader& reader, int shapeVersion, ShapeCharacter& shape, ParseBudget& budget) {
    shape.id = reader.U16();
    shape.shape.bounds = reader.ReadRect();
    if (shapeVersion >= 4) {
        reader.ReadRect();  // edge bounds
        const uint8_t flags = reader.U8();
        shape.shape.nonZero = (flags & 0x04) != 0;
    }
    StyleGroup first;
    if (!ReadFillStyles(reader, shapeVersion, first.fills) || !ReadLineStyles(reader, shapeVersion, first.lines))
        return false;
    shape.shape.groups.push_back(std::move(first));
    std::vector<RawRecord> records;
    if (!ReadRecords(reader, shapeVersion, records, &shape.shape.groups, budget)) return false;
    BuildShape(records, shape.shape);
    return true;
}

bool ParseGlyphShape(Reader& reader, ShapeData& glyph, ParseBudget& budget) {
    StyleGroup group;
    group.fills.resize(1);
    glyph.groups.push_back(std::move(group));
    std::vector<RawRecord> records;
    // A truncated glyph keeps the edges read so far: fonts are often cut short by writers.
    const bool ok = ReadRecords(reader, 1, records, nullptr, budget);
    BuildShape(records, glyph);
    return ok || !records.empty();
}

bool ParseMorphShape(Reader& reader, int morphVersion, MorphCharacter& morph, ParseBudget& budget) {
    morph.id = reader.U16();
    morph.start.bounds = reader.ReadRect();
    morph.end.bounds = reader.ReadRect();
    if (morphVersion >= 2) {
        reader.ReadRect();
        reader.ReadRect();
        reader.U8();
    }
    const uint32_t endEdgesOffset = reader.U32();
    const size_t offsetBase = reader.Position();
    StyleGroup startGroup;
    StyleGroup endGroup;
    const size_t fillCount = ReadStyleCount(reader, true);
    startGroup.fills.resize(fillCount);
    endGroup.fills.resize(fillCount);
    for (size_t i = 0; i < fillCount; ++i)
        if (!ReadMorphFill(reader, startGroup.fills[i], endGroup.fills[i]) || reader.Failed()) return false;
    if (!ReadMorphLines(reader, morphVersion, startGroup.lines, endGroup.lines)) return false;

    std::vector<RawRecord> startRecords;
    if (!ReadRecords(reader, 1, startRecords, nullptr, budget)) return false;
    // The end edges are found by their offset; some writers leave padding before them.
    if (endEdgesOffset > 0 && offsetBase + endEdgesOffset <= reader.Size() &&
        offsetBase + endEdgesOffset >= reader.Position())
        reader.Skip(offsetBase + endEdgesOffset - reader.Position());
    std::vector<RawRecord> endRecords;
    ReadRecords(reader, 1, endRecords, nullptr, budget);  // a short end shape still morphs

    morph.start.groups.push_back(std::move(startGroup));
    morph.end.groups.push_back(std::move(endGroup));
    MorphBuilder builder(endRecords, morph);
    for (const RawRecord& record : startRecords) builder.Apply(record);
    return true;
}

void BlendMorph(const MorphCharacter& morph, double ratio, ShapeData& out) {
    const double t = std::clamp(ratio, 0.0, 1.0);
    out.nonZero = false;
    out.bounds.xMin = static_cast<int32_t>(Lerp(morph.start.bounds.xMin, morph.end.bounds.xMin, t));
    out.bounds.xMax = static_cast<int32_t>(Lerp(morph.start.bounds.xMax, morph.end.bounds.xMax, t));
    out.bounds.yMin = static_cast<int32_t>(Lerp(morph.start.bounds.yMin, morph.end.bounds.yMin, t));
    out.bounds.yMax = static_cast<int32_t>(Lerp(morph.start.bounds.yMax, morph.end.bounds.yMax, t));
    out.groups.resize(morph.start.groups.size());
    for (size_t g = 0; g < morph.start.groups.size(); ++g) {
        const StyleGroup& a = morph.start.groups[g];
        const StyleGroup& b = morph.end.groups[g];
        StyleGroup& group = out.groups[g];
        group.fills.resize(a.fills.size());
        for (size_t i = 0; i < a.fills.size(); ++i) LerpFill(a.fills[i], b.fills[i], t, group.fills[i]);
        group.lines.resize(a.lines.size());
        for (size_t i = 0; i < a.lines.size(); ++i) {
            group.lines[i] = a.lines[i];
            group.lines[i].width = Lerp(a.lines[i].width, b.lines[i].width, t);
            group.lines[i].color = LerpColor(a.lines[i].color, b.lines[i].color, t);
            if (a.lines[i].hasFill) LerpFill(a.lines[i].fill, b.lines[i].fill, t, group.lines[i].fill);
        }
        group.paths.resize(a.paths.size());
        for (size_t p = 0; p < a.paths.size(); ++p) {
            const SubPath& pa = a.paths[p];
            const SubPath& pb = b.paths[p];
            SubPath& path = group.paths[p];
            path.fill0 = pa.fill0;
            path.fill1 = pa.fill1;
            path.line = pa.line;
            path.start = LerpPoint(pa.start, pb.start, t);
            path.segments.resize(pa.segments.size());
            for (size_t s = 0; s < pa.segments.size(); ++s) {
                path.segments[s].curve = pa.segments[s].curve;
                path.segments[s].control = LerpPoint(pa.segments[s].control, pb.segments[s].control, t);
                path.segments[s].to = LerpPoint(pa.segments[s].to, pb.segments[s].to, t);
            }
        }
    }
}

}  // namespace kestrix::swf
