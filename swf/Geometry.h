// Affine matrices, colour transforms and rectangles shared by the parser and the renderer.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kestrix::swf {

struct Point {
    double x = 0;
    double y = 0;
};

// x' = a*x + c*y + tx, y' = b*x + d*y + ty (the movie's scale, skew and translate fields).
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    Point Apply(double x, double y) const { return {a * x + c * y + tx, b * x + d * y + ty}; }
    Point Apply(Point p) const { return Apply(p.x, p.y); }
    double Determinant() const { return a * d - b * c; }

    // this after inner: (this * inner)(p) = this(inner(p)).
    Matrix operator*(const Matrix& inner) const {
        return {a * inner.a + c * inner.b, b * inner.a + d * inner.b,        a * inner.c + c * inner.d,
                b * inner.c + d * inner.d, a * inner.tx + c * inner.ty + tx, b * inner.tx + d * inner.ty + ty};
    }

    // False for a matrix that flattens everything; the result is then left as identity.
    bool Invert(Matrix& inverse) const {
        const double det = Determinant();
        if (!(std::fabs(det) > 1e-12) || !std::isfinite(det)) return false;
        inverse.a = d / det;
        inverse.b = -b / det;
        inverse.c = -c / det;
        inverse.d = a / det;
        inverse.tx = -(inverse.a * tx + inverse.c * ty);
        inverse.ty = -(inverse.b * tx + inverse.d * ty);
        return true;
    }

    static Matrix Translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static Matrix Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
};

// Per channel: value * mul + add, then clamped to 0..255. Channels are R, G, B, A.
struct ColorTransform {
    float mul[4] = {1, 1, 1, 1};
    float add[4] = {0, 0, 0, 0};

    bool IsIdentity() const {
        for (int i = 0; i < 4; ++i)
            if (mul[i] != 1 || add[i] != 0) return false;
        return true;
    }

    // this after inner.
    ColorTransform operator*(const ColorTransform& inner) const {
        ColorTransform result;
        for (int i = 0; i < 4; ++i) {
            result.mul[i] = mul[i] * inner.mul[i];
            result.add[i] = inner.add[i] * mul[i] + add[i];
        }
        return result;
    }

    // Applied to a straight (not premultiplied) 0xAARRGGBB colour.
    uint32_t Apply(uint32_t argb) const {
        const int shifts[4] = {16, 8, 0, 24};
        uint32_t out = 0;
        for (int i = 0; i < 4; ++i) {
            const float value = static_cast<float>((argb >> shifts[i]) & 0xFF) * mul[i] + add[i];
            const int clamped = static_cast<int>(std::clamp(value, 0.0f, 255.0f) + 0.5f);
            out |= static_cast<uint32_t>(clamped) << shifts[i];
        }
        return out;
    }
};

// In twips, as in the file.
struct Rect {
    int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    bool Empty() const { return xMax <= xMin || yMax <= yMin; }
};

// Straight 0xAARRGGBB to premultiplied.
inline uint32_t Premultiply(uint32_t argb) {
    const uint32_t alpha = argb >> 24;
    if (alpha == 255) return argb;
    if (alpha == 0) return 0;
    auto scale = [alpha](uint32_t v) { return (v * alpha + 127) / 255; };
    return alpha << 24 | scale((argb >> 16) & 0xFF) << 16 | scale((argb >> 8) & 0xFF) << 8 | scale(argb & 0xFF);
}

inline uint32_t Unpremultiply(uint32_t argb) {
    const uint32_t alpha = argb >> 24;
    if (alpha == 255 || alpha == 0) return alpha == 0 ? 0 : argb;
    auto scale = [alpha](uint32_t v) { return std::min<uint32_t>(255, (v * 255 + alpha / 2) / alpha); };
    return alpha << 24 | scale((argb >> 16) & 0xFF) << 16 | scale((argb >> 8) & 0xFF) << 8 | scale(argb & 0xFF);
}

}  // namespace kestrix::swf
