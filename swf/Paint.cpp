#include "swf/Paint.h"

#include <algorithm>
#include <cmath>

#include "swf/Pixels.h"

namespace kestrix::swf {

namespace {

// Gradients are defined on a square 32768 twips wide centred on the origin.
constexpr double kGradientHalf = 16384;

double ToLinear(double v) {
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
double ToSrgb(double v) {
    return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

// Interpolates the stops (each already colour-transformed) into 256 premultiplied colours.
void BuildLut(const std::vector<GradientStop>& stops, bool linearRgb, const ColorTransform& cx, uint32_t* lut) {
    if (stops.empty()) {
        // A gradient without colours shows as opaque black.
        std::fill(lut, lut + 256, Premultiply(cx.Apply(0xFF000000u)));
        return;
    }
    struct Stop {
        int ratio;
        double channel[4];  // a, r, g, b
    };
    std::vector<Stop> points;
    int lastRatio = -1;
    for (const GradientStop& stop : stops) {
        const uint32_t color = cx.Apply(stop.color);
        Stop point;
        // Ratios must not fall. A stop below the one before it is moved up to it and ends the
        // list: the reference player ignores what follows.
        const bool falls = stop.ratio < lastRatio;
        point.ratio = std::max<int>(stop.ratio, lastRatio);
        lastRatio = point.ratio;
        for (int c = 0; c < 4; ++c) {
            const double v = ((color >> (24 - 8 * c)) & 0xFF) / 255.0;
            point.channel[c] = (linearRgb && c > 0) ? ToLinear(v) : v;
        }
        points.push_back(point);
        if (falls) break;
    }
    size_t next = 0;
    for (int i = 0; i < 256; ++i) {
        while (next < points.size() && points[next].ratio < i) ++next;
        double channel[4];
        if (next == 0) {
            std::copy(points[0].channel, points[0].channel + 4, channel);
        } else if (next >= points.size()) {
            std::copy(points.back().channel, points.back().channel + 4, channel);
        } else {
            const Stop& a = points[next - 1];
            const Stop& b = points[next];
            const double t = b.ratio == a.ratio ? 1 : static_cast<double>(i - a.ratio) / (b.ratio - a.ratio);
            for (int c = 0; c < 4; ++c) channel[c] = a.channel[c] + (b.channel[c] - a.channel[c]) * t;
        }
        uint32_t argb = 0;
        for (int c = 0; c < 4; ++c) {
            const double v = (linearRgb && c > 0) ? ToSrgb(channel[c]) : channel[c];
            argb |= static_cast<uint32_t>(std::clamp(v * 255 + 0.5, 0.0, 255.0)) << (24 - 8 * c);
        }
        lut[i] = Premultiply(argb);
    }
}

// Table index of a position already brought into 0..1 (NaN counts as 0).
inline int PadIndex(double t) {
    if (!(t > 0)) return 0;
    if (t >= 1) return 255;
    return static_cast<int>(t * 255 + 0.5);
}

// Maps a gradient position (0..1 inside the square) to a table index by the spread mode.
inline int SpreadIndex(double t, Spread spread) {
    switch (spread) {
        case Spread::Reflect:
            t = std::fabs(t);
            t -= 2 * std::floor(t / 2);
            if (t > 1) t = 2 - t;
            break;
        case Spread::Repeat: t -= std::floor(t); break;
        case Spread::Pad: break;
    }
    return PadIndex(t);
}

inline int64_t Wrap(int64_t v, int64_t size) {
    v %= size;
    return v < 0 ? v + size : v;
}

// a + (b - a) * f / 256 on every channel, two channels per multiply; f is 0..256. Rounding
// down keeps premultiplied colours valid (no channel above alpha).
inline uint32_t Lerp(uint32_t a, uint32_t b, uint32_t f) {
    const uint32_t g = 256 - f;
    const uint32_t rb = (((a & 0x00FF00FFu) * g + (b & 0x00FF00FFu) * f) >> 8) & 0x00FF00FFu;
    const uint32_t ag = (((a >> 8) & 0x00FF00FFu) * g + ((b >> 8) & 0x00FF00FFu) * f) & 0xFF00FF00u;
    return rb | ag;
}

// Down first, then across, as the row cache of FillBitmap does, so both give the same pixels.
inline uint32_t Bilinear(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t fx, uint32_t fy) {
    return Lerp(Lerp(p00, p01, fy), Lerp(p10, p11, fy), fx);
}

}  // namespace

void Paint::SetSolid(uint32_t straightArgb, const ColorTransform& cx) {
    type_ = Type::Solid;
    solid_ = Premultiply(cx.IsIdentity() ? straightArgb : cx.Apply(straightArgb));
    opaque_ = (solid_ >> 24) == 0xFF;
}

void Paint::SetGradient(const FillStyle& fill, const Matrix& toDevice, const ColorTransform& cx) {
    type_ = fill.kind == FillKind::Linear ? Type::Linear : fill.kind == FillKind::Radial ? Type::Radial : Type::Focal;
    spread_ = fill.spread;
    focal_ = fill.focal;
    BuildLut(fill.stops, fill.linearRgb, cx, lut_);
    opaque_ = std::all_of(lut_, lut_ + 256, [](uint32_t c) { return (c >> 24) == 0xFF; });
    const Matrix toGradient = toDevice * fill.matrix;
    if (!toGradient.Invert(inverse_)) {
        // A flattened gradient shows its last colour, as a pad beyond the end would.
        SetSolid(0, ColorTransform());
        solid_ = fill.stops.empty() ? 0 : lut_[255];
    }
}

void Paint::SetBitmap(const FillStyle& fill, const BitmapCharacter* bitmap, const Matrix& toDevice,
                      const ColorTransform& cx) {
    if (bitmap == nullptr || bitmap->pixels.empty()) {
        SetSolid(0, ColorTransform());
        return;
    }
    type_ = Type::Bitmap;
    bitmap_ = bitmap;
    repeat_ = fill.repeat;
    smooth_ = fill.smooth;
    cx_ = cx;
    transformPixels_ = !cx.IsIdentity();
    // Clamped or repeated, every pixel comes from the bitmap, so its own opacity decides.
    opaque_ = bitmap->opaque && cx.mul[3] * 255 + cx.add[3] >= 255 && cx.add[3] >= 0;
    if (!(toDevice * fill.matrix).Invert(inverse_)) SetSolid(0, ColorTransform());
}

void Paint::SetFill(const FillStyle& fill, const BitmapCharacter* bitmap, const Matrix& toDevice,
                    const ColorTransform& cx) {
    switch (fill.kind) {
        case FillKind::Solid: SetSolid(fill.color, cx); break;
        case FillKind::Linear:
        case FillKind::Radial:
        case FillKind::Focal: SetGradient(fill, toDevice, cx); break;
        case FillKind::Bitmap: SetBitmap(fill, bitmap, toDevice, cx); break;
    }
}

void Paint::Fill(int x, int y, int count, uint32_t* out) const {
    switch (type_) {
        case Type::Solid: std::fill(out, out + count, solid_); break;
        case Type::Bitmap: FillBitmap(x, y, count, out); break;
        default: FillGradient(x, y, count, out); break;
    }
}

void Paint::FillGradient(int x, int y, int count, uint32_t* out) const {
    const Point start = inverse_.Apply(x + 0.5, y + 0.5);
    double gx = start.x / kGradientHalf;
    double gy = start.y / kGradientHalf;
    const double stepX = inverse_.a / kGradientHalf;
    const double stepY = inverse_.b / kGradientHalf;
    if (type_ == Type::Linear) {
        if (spread_ == Spread::Pad)
            for (int i = 0; i < count; ++i, gx += stepX) out[i] = lut_[PadIndex((gx + 1) / 2)];
        else
            for (int i = 0; i < count; ++i, gx += stepX) out[i] = lut_[SpreadIndex((gx + 1) / 2, spread_)];
        return;
    }
    if (type_ == Type::Radial) {
        if (spread_ == Spread::Pad)
            for (int i = 0; i < count; ++i, gx += stepX, gy += stepY)
                out[i] = lut_[PadIndex(std::sqrt(gx * gx + gy * gy))];
        else
            for (int i = 0; i < count; ++i, gx += stepX, gy += stepY)
                out[i] = lut_[SpreadIndex(std::sqrt(gx * gx + gy * gy), spread_)];
        return;
    }
    // Focal: the position is how far along the ray from the focal point to the circle.
    const double f = focal_;
    for (int i = 0; i < count; ++i, gx += stepX, gy += stepY) {
        const double dx = gx - f;
        const double dy = gy;
        const double a = dx * dx + dy * dy;
        double t = 0;
        if (a > 1e-18) {
            const double b = f * dx;
            const double c = f * f - 1;
            const double s = (-b + std::sqrt(std::max(0.0, b * b - a * c))) / a;
            t = s > 0 ? 1 / s : 1;
        }
        out[i] = lut_[SpreadIndex(t, spread_)];
    }
}

void Paint::FillBitmap(int x, int y, int count, uint32_t* out) const {
    const int width = bitmap_->width;
    const int height = bitmap_->height;
    const uint32_t* pixels = bitmap_->pixels.data();
    const Point start = inverse_.Apply(x + 0.5, y + 0.5);
    // 16.16 fixed point stepping; positions far outside are clamped first so nothing overflows.
    static constexpr double kLimit = 1 << 29;
    auto fixed = [](double v) { return static_cast<int64_t>(std::llround(std::clamp(v, -kLimit, kLimit) * 65536)); };
    int64_t u = fixed(start.x - (smooth_ ? 0.5 : 0));
    int64_t v = fixed(start.y - (smooth_ ? 0.5 : 0));
    const int64_t du = fixed(inverse_.a);
    const int64_t dv = fixed(inverse_.b);
    auto sample = [&](int64_t px, int64_t py) {
        if (repeat_) {
            px = Wrap(px, width);
            py = Wrap(py, height);
        } else {
            px = std::clamp<int64_t>(px, 0, width - 1);
            py = std::clamp<int64_t>(py, 0, height - 1);
        }
        return pixels[static_cast<size_t>(py) * width + static_cast<size_t>(px)];
    };
    // Rows that do not tilt (no rotation or skew) read one or two source rows throughout.
    if (dv == 0 && !transformPixels_) {
        const int64_t py = v >> 16;
        const int64_t row0 = repeat_ ? Wrap(py, height) : std::clamp<int64_t>(py, 0, height - 1);
        const int64_t row1 = repeat_ ? Wrap(py + 1, height) : std::clamp<int64_t>(py + 1, 0, height - 1);
        const uint32_t* top = pixels + row0 * width;
        const uint32_t* bottom = pixels + row1 * width;
        const uint32_t fy = static_cast<uint32_t>(v >> 8) & 0xFF;
        auto column = [&](int64_t px) { return repeat_ ? Wrap(px, width) : std::clamp<int64_t>(px, 0, width - 1); };
        // Magnified: blend the two source rows once per source column, then only across.
        if (smooth_ && count >= 16 && du > 0 && du < 65536) {
            const int64_t first = u >> 16;
            const int64_t last = (u + du * (count - 1)) >> 16;
            rowCache_.resize(static_cast<size_t>(last - first + 2));
            for (int64_t c = first; c <= last + 1; ++c) {
                const int64_t source = column(c);
                rowCache_[c - first] = Lerp(top[source], bottom[source], fy);
            }
            const uint32_t* cache = rowCache_.data() - first;
            for (int i = 0; i < count; ++i, u += du) {
                const int64_t px = u >> 16;
                out[i] = Lerp(cache[px], cache[px + 1], static_cast<uint32_t>(u >> 8) & 0xFF);
            }
            return;
        }
        for (int i = 0; i < count; ++i, u += du) {
            const int64_t px = u >> 16;
            if (!smooth_) {
                out[i] = top[column(px)];
                continue;
            }
            const uint32_t fx = static_cast<uint32_t>(u >> 8) & 0xFF;
            if (px >= 0 && px + 1 < width) {
                out[i] = Bilinear(top[px], top[px + 1], bottom[px], bottom[px + 1], fx, fy);
            } else {
                const int64_t c0 = column(px);
                const int64_t c1 = column(px + 1);
                out[i] = Bilinear(top[c0], top[c1], bottom[c0], bottom[c1], fx, fy);
            }
        }
        return;
    }
    for (int i = 0; i < count; ++i, u += du, v += dv) {
        const int64_t px = u >> 16;
        const int64_t py = v >> 16;
        uint32_t pixel;
        if (!smooth_) {
            pixel = sample(px, py);
        } else {
            const uint32_t fx = static_cast<uint32_t>(u >> 8) & 0xFF;
            const uint32_t fy = static_cast<uint32_t>(v >> 8) & 0xFF;
            if (px >= 0 && py >= 0 && px + 1 < width && py + 1 < height) {
                const uint32_t* p = pixels + static_cast<size_t>(py) * width + px;
                pixel = Bilinear(p[0], p[1], p[width], p[width + 1], fx, fy);
            } else {
                pixel =
                    Bilinear(sample(px, py), sample(px + 1, py), sample(px, py + 1), sample(px + 1, py + 1), fx, fy);
            }
        }
        // Fully transparent pixels stay so, whatever the transform adds.
        if (transformPixels_ && pixel != 0) pixel = Premultiply(cx_.Apply(Unpremultiply(pixel)));
        out[i] = pixel;
    }
}

}  // namespace kestrix::swf
