#include "swf/Renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "swf/Pixels.h"
#include "swf/ShapeParser.h"
#include "swf/Stroker.h"

namespace kestrix::swf {

namespace {

constexpr int kMaxRenderNesting = 64;
// Every layer or mask costs a buffer the size of the target; deeper nesting draws plainly.
constexpr size_t kMaxLayers = 8;
constexpr size_t kMaxMasks = 16;
constexpr int64_t kMaxWorkPerFrame = 400'000'000;

enum BlendMode : uint8_t {
    kBlendNormal = 1,
    kBlendLayer = 2,
    kBlendMultiply = 3,
    kBlendScreen = 4,
    kBlendLighten = 5,
    kBlendDarken = 6,
    kBlendDifference = 7,
    kBlendAdd = 8,
    kBlendSubtract = 9,
    kBlendInvert = 10,
    kBlendAlpha = 11,
    kBlendErase = 12,
    kBlendOverlay = 13,
    kBlendHardLight = 14,
};

// Writes swept coverage into the target through the paints, or into a mask.
class CompositeSink : public SpanSink {
public:
    CompositeSink(uint32_t* pixels, int stride, const uint8_t* mask, uint8_t* maskOut, int maskStride,
                  const std::vector<Paint>& paints, std::vector<uint32_t>& scratch)
        : pixels_(pixels),
          stride_(stride),
          mask_(mask),
          maskOut_(maskOut),
          maskStride_(maskStride),
          paints_(paints),
          scratch_(scratch) {}

    void Pixel(int y, int x, const StyleCoverage* styles, int count) override {
        if (maskOut_ != nullptr) {
            int alpha = 0;
            for (int i = 0; i < count; ++i) alpha += styles[i].alpha;
            AddToMask(y, x, 1, std::min(alpha, 255));
            return;
        }
        uint32_t color = ScalePixel(paints_[styles[0].style].At(x, y), styles[0].alpha);
        for (int i = 1; i < count; ++i)
            color = AddSaturated(color, ScalePixel(paints_[styles[i].style].At(x, y), styles[i].alpha));
        if (mask_ != nullptr) color = ScalePixel(color, mask_[static_cast<size_t>(y) * maskStride_ + x]);
        uint32_t& destination = pixels_[static_cast<size_t>(y) * stride_ + x];
        destination = Over(color, destination);
    }

    void Span(int y, int x, int length, const StyleCoverage* styles, int count) override {
        if (maskOut_ != nullptr) {
            int alpha = 0;
            for (int i = 0; i < count; ++i) alpha += styles[i].alpha;
            AddToMask(y, x, length, std::min(alpha, 255));
            return;
        }
        uint32_t* row = pixels_ + static_cast<size_t>(y) * stride_ + x;
        const uint8_t* mask = mask_ != nullptr ? mask_ + static_cast<size_t>(y) * maskStride_ + x : nullptr;
        for (int i = 0; i < count; ++i) {
            const Paint& paint = paints_[styles[i].style];
            const uint32_t alpha = styles[i].alpha;
            if (paint.IsSolid()) {
                SolidSpan(row, mask, length, ScalePixel(paint.SolidColor(), alpha));
                continue;
            }
            if (alpha == 255 && mask == nullptr && paint.IsOpaque()) {
                paint.Fill(x, y, length, row);  // covers completely: straight into the target
                continue;
            }
            if (scratch_.size() < static_cast<size_t>(length)) scratch_.resize(length);
            paint.Fill(x, y, length, scratch_.data());
            if (alpha == 255 && mask == nullptr) {
                for (int k = 0; k < length; ++k) {
                    const uint32_t color = scratch_[k];
                    const uint32_t a = color >> 24;
                    if (a == 255)
                        row[k] = color;
                    else if (a != 0)
                        row[k] = color + ScalePixel(row[k], 255 - a);
                }
                continue;
            }
            for (int k = 0; k < length; ++k) {
                uint32_t color = alpha == 255 ? scratch_[k] : ScalePixel(scratch_[k], alpha);
                if (mask != nullptr) color = ScalePixel(color, mask[k]);
                row[k] = Over(color, row[k]);
            }
        }
    }

    void Run(int y, int x, int length, int style, const uint8_t* alphas) override {
        const uint8_t* mask = mask_ != nullptr ? mask_ + static_cast<size_t>(y) * maskStride_ + x : nullptr;
        if (maskOut_ != nullptr) {
            for (int k = 0; k < length; ++k) AddToMask(y, x + k, 1, alphas[k]);
            return;
        }
        uint32_t* row = pixels_ + static_cast<size_t>(y) * stride_ + x;
        const Paint& paint = paints_[style];
        if (paint.IsSolid()) {
            const uint32_t color = paint.SolidColor();
            for (int k = 0; k < length; ++k) {
                const uint32_t alpha = mask != nullptr ? MultiplyAlpha(alphas[k], mask[k]) : alphas[k];
                row[k] = Over(ScalePixel(color, alpha), row[k]);
            }
            return;
        }
        if (scratch_.size() < static_cast<size_t>(length)) scratch_.resize(length);
        paint.Fill(x, y, length, scratch_.data());
        for (int k = 0; k < length; ++k) {
            const uint32_t alpha = mask != nullptr ? MultiplyAlpha(alphas[k], mask[k]) : alphas[k];
            row[k] = Over(ScalePixel(scratch_[k], alpha), row[k]);
        }
    }

private:
    static void SolidSpan(uint32_t* row, const uint8_t* mask, int length, uint32_t color) {
        if (color == 0) return;
        if (mask != nullptr) {
            for (int k = 0; k < length; ++k) row[k] = Over(ScalePixel(color, mask[k]), row[k]);
            return;
        }
        if ((color >> 24) == 255) {
            std::fill(row, row + length, color);
            return;
        }
        const uint32_t inverse = 255 - (color >> 24);
        for (int k = 0; k < length; ++k) row[k] = color + ScalePixel(row[k], inverse);
    }

    void AddToMask(int y, int x, int length, int alpha) {
        uint8_t* out = maskOut_ + static_cast<size_t>(y) * maskStride_ + x;
        const uint8_t* limit = mask_ != nullptr ? mask_ + static_cast<size_t>(y) * maskStride_ + x : nullptr;
        for (int k = 0; k < length; ++k) {
            const uint32_t a = limit != nullptr ? MultiplyAlpha(alpha, limit[k]) : alpha;
            out[k] = static_cast<uint8_t>(out[k] + a - MultiplyAlpha(out[k], a));
        }
    }

    uint32_t* pixels_;
    int stride_;
    const uint8_t* mask_;
    uint8_t* maskOut_;
    int maskStride_;
    const std::vector<Paint>& paints_;
    std::vector<uint32_t>& scratch_;
};

// Blend of one channel with the separable modes; values are 0..255, premultiplied.
inline int BlendChannel(int mode, int s, int d, int sa, int da) {
    auto mul = [](int a, int b) { return (a * b + 127) / 255; };
    switch (mode) {
        case kBlendMultiply: return mul(s, d) + mul(s, 255 - da) + mul(d, 255 - sa);
        case kBlendScreen: return s + d - mul(s, d);
        case kBlendLighten: return std::max(mul(s, da), mul(d, sa)) + mul(s, 255 - da) + mul(d, 255 - sa);
        case kBlendDarken: return std::min(mul(s, da), mul(d, sa)) + mul(s, 255 - da) + mul(d, 255 - sa);
        case kBlendDifference: return s + d - 2 * std::min(mul(s, da), mul(d, sa));
        case kBlendAdd: return std::min(255, s + d);
        case kBlendSubtract: return std::max(0, d - s);
        case kBlendHardLight:
        case kBlendOverlay: {
            // Overlay is hard light with the layers' roles swapped.
            const bool hard = mode == kBlendHardLight;
            const int top = hard ? s : d, topA = hard ? sa : da;
            const int under = hard ? d : s, underA = hard ? da : sa;
            const int blended =
                2 * top <= topA ? 2 * mul(top, under) : mul(topA, underA) - 2 * mul(underA - under, topA - top);
            return blended + mul(s, 255 - da) + mul(d, 255 - sa);
        }
        default: return s + mul(d, 255 - sa);
    }
}

uint32_t BlendPixel(int mode, uint32_t source, uint32_t destination) {
    const int sa = source >> 24;
    const int da = destination >> 24;
    if (sa == 0 && mode != kBlendAlpha) return destination;
    switch (mode) {
        case kBlendAlpha: return ScalePixel(destination, sa);
        case kBlendErase: return ScalePixel(destination, 255 - sa);
        case kBlendInvert: {
            // The destination's colours turn over where the layer is, its own colours unused;
            // nothing beneath turns white.
            auto mul = [](int a, int b) { return (a * b + 127) / 255; };
            uint32_t out = static_cast<uint32_t>(std::min(255, sa + da - mul(sa, da))) << 24;
            for (int shift = 0; shift < 24; shift += 8) {
                const int d = (destination >> shift) & 0xFF;
                const int value = mul(sa, 255 - d) + mul(d, 255 - sa);
                out |= static_cast<uint32_t>(std::clamp(value, 0, 255)) << shift;
            }
            return out;
        }
        default: break;
    }
    uint32_t out = 0;
    const int alpha = mode == kBlendAdd ? std::min(255, sa + da) : sa + da - (sa * da + 127) / 255;
    out |= static_cast<uint32_t>(std::clamp(alpha, 0, 255)) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const int s = (source >> shift) & 0xFF;
        const int d = (destination >> shift) & 0xFF;
        out |= static_cast<uint32_t>(std::clamp(BlendChannel(mode, s, d, sa, da), 0, alpha)) << shift;
    }
    return out;
}

bool Invisible(const ColorTransform& cx) {
    return cx.mul[3] * 255 + cx.add[3] <= 0 && cx.add[3] <= 0;
}

double ScaleOf(const Matrix& m) {
    return std::sqrt(std::fabs(m.Determinant()));
}

}  // namespace

void Renderer::Render(const MovieData& movie, const DisplayObject& root, uint32_t* pixels, int width, int height,
                      int stride, const StagePlacement& placement) {
    movie_ = &movie;
    frame_ = root.frame;
    width_ = width;
    height_ = height;
    target_ = {pixels, stride};
    mask_ = nullptr;
    maskOut_ = nullptr;
    masksInUse_ = layersInUse_ = 0;
    workLeft_ = kMaxWorkPerFrame;
    for (int y = 0; y < height; ++y)
        std::fill(pixels + static_cast<size_t>(y) * stride, pixels + static_cast<size_t>(y) * stride + width,
                  movie.background);

    const double stageWidth = std::max<int64_t>(0, int64_t{movie.stage.xMax} - movie.stage.xMin) / 20.0;
    const double stageHeight = std::max<int64_t>(0, int64_t{movie.stage.yMax} - movie.stage.yMin) / 20.0;
    auto clampTo = [](double v, int limit) { return static_cast<int>(std::clamp(std::round(v), 0.0, double(limit))); };
    clipLeft_ = clampTo(placement.offsetX, width);
    clipTop_ = clampTo(placement.offsetY, height);
    clipRight_ = clampTo(placement.offsetX + stageWidth * placement.scaleX, width);
    clipBottom_ = clampTo(placement.offsetY + stageHeight * placement.scaleY, height);
    if (clipRight_ <= clipLeft_ || clipBottom_ <= clipTop_) return;
    stageScale_ = std::sqrt(std::fabs(placement.scaleX * placement.scaleY));

    const Matrix toDevice{placement.scaleX / 20,
                          0,
                          0,
                          placement.scaleY / 20,
                          placement.offsetX - movie.stage.xMin * placement.scaleX / 20,
                          placement.offsetY - movie.stage.yMin * placement.scaleY / 20};
    DrawChildren(root, toDevice, ColorTransform(), 0);
}

std::vector<uint8_t>& Renderer::AcquireMask() {
    if (maskPool_.size() <= masksInUse_) maskPool_.emplace_back();
    std::vector<uint8_t>& mask = maskPool_[masksInUse_++];
    mask.assign(static_cast<size_t>(width_) * height_, 0);
    return mask;
}

std::vector<uint32_t>& Renderer::AcquireLayer() {
    if (layerPool_.size() <= layersInUse_) layerPool_.emplace_back();
    std::vector<uint32_t>& layer = layerPool_[layersInUse_++];
    layer.assign(static_cast<size_t>(width_) * height_, 0);
    return layer;
}

void Renderer::DrawChildren(const DisplayObject& container, const Matrix& matrix, const ColorTransform& cx,
                            int nesting) {
    struct ActiveClip {
        uint16_t clipDepth;
        const uint8_t* previous;
    };
    std::vector<ActiveClip> clips;
    auto popClip = [&] {
        mask_ = clips.back().previous;
        clips.pop_back();
        --masksInUse_;
    };
    for (const auto& child : container.children) {
        while (!clips.empty() && child->depth > clips.back().clipDepth) popClip();
        if (child->clipDepth == 0) {
            DrawObject(*child, matrix, cx, nesting);
            continue;
        }
        // A clip layer: its shapes become coverage that limits the depths up to its clip depth.
        if (masksInUse_ >= kMaxMasks) continue;
        std::vector<uint8_t>& mask = AcquireMask();
        uint8_t* savedOut = maskOut_;
        maskOut_ = mask.data();
        DrawObject(*child, matrix, cx, nesting);
        maskOut_ = savedOut;
        clips.push_back({child->clipDepth, mask_});
        mask_ = mask.data();
    }
    while (!clips.empty()) popClip();
}

void Renderer::DrawObject(const DisplayObject& object, const Matrix& parentMatrix, const ColorTransform& parentCx,
                          int nesting) {
    if (nesting >= kMaxRenderNesting || object.character == nullptr) return;
    const Matrix matrix = parentMatrix * object.matrix;
    const ColorTransform cx = parentCx * object.colorTransform;
    if (maskOut_ != nullptr) {
        DrawContent(object, matrix, cx, nesting);
        return;
    }
    const int mode = object.blendMode;
    const bool layered = mode >= kBlendLayer && mode <= kBlendHardLight && layersInUse_ < kMaxLayers;
    if (!layered) {
        if (!Invisible(cx)) DrawContent(object, matrix, cx, nesting);
        return;
    }
    // Blend modes work on the object as a whole: draw it alone, then blend it in.
    std::vector<uint32_t>& layer = AcquireLayer();
    const Target saved = target_;
    const uint8_t* savedMask = mask_;
    target_ = {layer.data(), width_};
    mask_ = nullptr;
    DrawContent(object, matrix, cx, nesting);
    target_ = saved;
    mask_ = savedMask;
    BlendLayer(layer, mode);
    --layersInUse_;
}

void Renderer::BlendLayer(const std::vector<uint32_t>& layer, int mode) {
    for (int y = clipTop_; y < clipBottom_; ++y) {
        const uint32_t* source = layer.data() + static_cast<size_t>(y) * width_;
        uint32_t* destination = target_.pixels + static_cast<size_t>(y) * target_.stride;
        const uint8_t* mask = mask_ != nullptr ? mask_ + static_cast<size_t>(y) * width_ : nullptr;
        for (int x = clipLeft_; x < clipRight_; ++x) {
            uint32_t s = source[x];
            if (mask != nullptr) s = ScalePixel(s, mask[x]);
            if (s == 0 && mode != kBlendAlpha) continue;
            destination[x] = mode == kBlendLayer ? Over(s, destination[x]) : BlendPixel(mode, s, destination[x]);
        }
    }
}

void Renderer::DrawContent(const DisplayObject& object, const Matrix& matrix, const ColorTransform& cx, int nesting) {
    const Character& character = *object.character;
    switch (character.kind) {
        case CharacterKind::Shape: DrawShape(static_cast<const ShapeCharacter&>(character).shape, matrix, cx); break;
        case CharacterKind::Morph: {
            const auto& morph = static_cast<const MorphCharacter&>(character);
            BlendMorph(morph, object.ratio / 65535.0, morphShape_);
            DrawShape(morphShape_, matrix, cx);
            break;
        }
        case CharacterKind::Sprite:
        case CharacterKind::Button: DrawChildren(object, matrix, cx, nesting + 1); break;
        case CharacterKind::Text: DrawText(static_cast<const TextCharacter&>(character), matrix, cx); break;
        case CharacterKind::EditText: DrawEditText(static_cast<const EditTextCharacter&>(character), matrix, cx); break;
        case CharacterKind::Bitmap: DrawBitmap(static_cast<const BitmapCharacter&>(character), matrix, cx); break;
        case CharacterKind::Font: break;
    }
}

bool Renderer::OutsideClip(const Rect& bounds, const Matrix& matrix, double margin) const {
    if (bounds.Empty()) return false;  // no usable bounds: draw and let the clip decide
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    const double xs[2] = {static_cast<double>(bounds.xMin), static_cast<double>(bounds.xMax)};
    const double ys[2] = {static_cast<double>(bounds.yMin), static_cast<double>(bounds.yMax)};
    for (double x : xs)
        for (double y : ys) {
            const Point p = matrix.Apply(x, y);
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
    return maxX + margin < clipLeft_ || minX - margin > clipRight_ || maxY + margin < clipTop_ ||
           minY - margin > clipBottom_;
}

void Renderer::Composite(FillRule rule, int styleCount) {
    // A frame that would take too long to draw (a hostile movie piling up full-screen shapes)
    // stops drawing once its budget is spent.
    workLeft_ -= rasterizer_.SweepCost();
    if (workLeft_ < 0) {
        rasterizer_.Reset(clipLeft_, clipTop_, clipRight_, clipBottom_);
        return;
    }
    CompositeSink sink(target_.pixels, target_.stride, mask_, maskOut_, width_, paints_, scratch_);
    rasterizer_.Sweep(rule, styleCount, sink);
}

void Renderer::DrawShape(const ShapeData& shape, const Matrix& matrix, const ColorTransform& cx) {
    // Lines may reach past the bounds by half their width; a generous margin covers them.
    if (OutsideClip(shape.bounds, matrix, 64)) return;
    for (const StyleGroup& group : shape.groups) {
        if (!group.fills.empty()) FillGroup(group, shape.nonZero, matrix, cx);
        if (!group.lines.empty()) StrokeGroup(group, matrix, cx);
    }
}

void Renderer::FillGroup(const StyleGroup& group, bool nonZero, const Matrix& matrix, const ColorTransform& cx) {
    rasterizer_.Reset(clipLeft_, clipTop_, clipRight_, clipBottom_);
    for (const SubPath& path : group.paths) {
        if (path.fill0 == 0 && path.fill1 == 0) continue;
        Point from = matrix.Apply(path.start);
        for (const Segment& segment : path.segments) {
            const Point to = matrix.Apply(segment.to);
            if (segment.curve)
                rasterizer_.AddQuad(from, matrix.Apply(segment.control), to, path.fill1, path.fill0);
            else
                rasterizer_.AddLine(from, to, path.fill1, path.fill0);
            from = to;
        }
    }
    if (rasterizer_.Empty()) return;
    const int count = static_cast<int>(group.fills.size());
    if (paints_.size() < static_cast<size_t>(count) + 1) paints_.resize(count + 1);
    for (int i = 0; i < count; ++i) {
        const FillStyle& fill = group.fills[i];
        const Character* bitmap = fill.kind == FillKind::Bitmap ? movie_->Find(fill.bitmapId, frame_) : nullptr;
        paints_[i + 1].SetFill(fill,
                               bitmap != nullptr && bitmap->kind == CharacterKind::Bitmap
                                   ? static_cast<const BitmapCharacter*>(bitmap)
                                   : nullptr,
                               matrix, cx);
    }
    Composite(nonZero ? FillRule::NonZero : FillRule::EvenOdd, count);
}

void Renderer::StrokeGroup(const StyleGroup& group, const Matrix& matrix, const ColorTransform& cx) {
    const int lineCount = static_cast<int>(group.lines.size());
    std::vector<std::vector<const SubPath*>> byLine(lineCount + 1);
    for (const SubPath& path : group.paths)
        if (path.line > 0 && path.line <= lineCount && !path.segments.empty()) byLine[path.line].push_back(&path);
    const double scale = ScaleOf(matrix);
    for (int line = 1; line <= lineCount; ++line) {
        if (byLine[line].empty()) continue;
        const LineStyle& style = group.lines[line - 1];
        StrokeStyle stroke;
        const double width = style.noScale ? style.width / 20 * stageScale_ : style.width * scale;
        stroke.halfWidth = std::max(width, 1.0) / 2;  // thinner lines show as hairlines
        stroke.startCap = style.startCap;
        stroke.endCap = style.endCap;
        stroke.join = style.join;
        stroke.miterLimit = style.miterLimit;
        rasterizer_.Reset(clipLeft_, clipTop_, clipRight_, clipBottom_);
        const std::vector<const SubPath*>& paths = byLine[line];
        size_t i = 0;
        while (i < paths.size()) {
            // Consecutive pieces that meet end to start are one line, joined rather than capped.
            polyline_.clear();
            smooth_.clear();
            polyline_.push_back(matrix.Apply(paths[i]->start));
            smooth_.push_back(false);
            Point pen = paths[i]->start;
            do {
                for (const Segment& segment : paths[i]->segments) {
                    if (segment.curve) {
                        const Point a = matrix.Apply(pen);
                        const Point c = matrix.Apply(segment.control);
                        const Point b = matrix.Apply(segment.to);
                        const double dx = a.x - 2 * c.x + b.x;
                        const double dy = a.y - 2 * c.y + b.y;
                        const int steps = std::clamp(
                            static_cast<int>(std::ceil(std::sqrt(std::sqrt(dx * dx + dy * dy) / 0.8))), 1, 128);
                        for (int k = 1; k <= steps; ++k) {
                            const double t = static_cast<double>(k) / steps;
                            const double u = 1 - t;
                            polyline_.push_back({u * u * a.x + 2 * u * t * c.x + t * t * b.x,
                                                 u * u * a.y + 2 * u * t * c.y + t * t * b.y});
                            smooth_.push_back(k < steps);
                        }
                    } else {
                        polyline_.push_back(matrix.Apply(segment.to));
                        smooth_.push_back(false);
                    }
                    pen = segment.to;
                }
                ++i;
            } while (i < paths.size() && paths[i]->start.x == pen.x && paths[i]->start.y == pen.y);
            const Point first = polyline_.front();
            const Point last = polyline_.back();
            const bool closed =
                polyline_.size() > 2 && std::fabs(first.x - last.x) < 1e-6 && std::fabs(first.y - last.y) < 1e-6;
            StrokePolyline(rasterizer_, polyline_, smooth_, closed, stroke);
        }
        if (rasterizer_.Empty()) continue;
        if (paints_.size() < 2) paints_.resize(2);
        if (style.hasFill) {
            const Character* bitmap =
                style.fill.kind == FillKind::Bitmap ? movie_->Find(style.fill.bitmapId, frame_) : nullptr;
            paints_[1].SetFill(style.fill,
                               bitmap != nullptr && bitmap->kind == CharacterKind::Bitmap
                                   ? static_cast<const BitmapCharacter*>(bitmap)
                                   : nullptr,
                               matrix, cx);
        } else {
            paints_[1].SetSolid(style.color, cx);
        }
        Composite(FillRule::NonZero, 1);
    }
}

void Renderer::AddGlyph(const ShapeData& glyph, const Matrix& matrix) {
    for (const StyleGroup& group : glyph.groups) {
        for (const SubPath& path : group.paths) {
            // Glyphs have one fill: whichever side names it is inside.
            const int plus = path.fill1 != 0 ? 1 : 0;
            const int minus = path.fill0 != 0 ? 1 : 0;
            Point from = matrix.Apply(path.start);
            for (const Segment& segment : path.segments) {
                const Point to = matrix.Apply(segment.to);
                if (segment.curve)
                    rasterizer_.AddQuad(from, matrix.Apply(segment.control), to, plus, minus);
                else
                    rasterizer_.AddLine(from, to, plus, minus);
                from = to;
            }
        }
    }
}

void Renderer::DrawText(const TextCharacter& text, const Matrix& matrix, const ColorTransform& cx) {
    if (OutsideClip(text.bounds, matrix * text.matrix, 4)) return;
    if (paints_.size() < 2) paints_.resize(2);
    const Matrix base = matrix * text.matrix;
    for (const TextRecord& record : text.records) {
        const Character* found = movie_->Find(record.fontId, frame_);
        if (found == nullptr || found->kind != CharacterKind::Font) continue;
        const auto& font = static_cast<const FontCharacter&>(*found);
        const double scale = record.height / font.emSize;
        rasterizer_.Reset(clipLeft_, clipTop_, clipRight_, clipBottom_);
        double x = record.x;
        for (const GlyphEntry& entry : record.glyphs) {
            if (entry.index >= 0 && entry.index < static_cast<int>(font.glyphs.size()))
                AddGlyph(font.glyphs[entry.index].shape, base * Matrix{scale, 0, 0, scale, x, record.y});
            x += entry.advance;
        }
        if (rasterizer_.Empty()) continue;
        paints_[1].SetSolid(record.color, cx);
        Composite(FillRule::NonZero, 1);
    }
}

void Renderer::AddRectangle(double x0, double y0, double x1, double y1, const Matrix& matrix) {
    const Point corners[4] = {matrix.Apply(x0, y0), matrix.Apply(x1, y0), matrix.Apply(x1, y1), matrix.Apply(x0, y1)};
    for (int i = 0; i < 4; ++i) rasterizer_.AddLine(corners[i], corners[(i + 1) % 4], 1, 0);
}

void Renderer::DrawBitmap(const BitmapCharacter& bitmap, const Matrix& matrix, const ColorTransform& cx) {
    // A bitmap placed by itself is a rectangle filled with it, 20 twips to the pixel.
    rasterizer_.Reset(clipLeft_, clipTop_, clipRight_, clipBottom_);
    AddRectangle(0, 0, bitmap.width * 20.0, bitmap.height * 20.0, matrix);
    if (paints_.size() < 2) paints_.resize(2);
    FillStyle fill;
    fill.kind = FillKind::Bitmap;
    fill.matrix = Matrix::Scale(20, 20);
    fill.repeat = false;
    fill.smooth = false;
    paints_[1].SetBitmap(fill, &bitmap, matrix, cx);
    Composite(FillRule::NonZero, 1);
}

}  // namespace kestrix::swf
