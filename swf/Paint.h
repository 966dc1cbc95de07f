// What a fill style puts into pixels: a solid colour, a gradient or a bitmap, already carrying
// the object's matrix and colour transform. Colours come out premultiplied.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/Characters.h"

namespace kestrix::swf {

class Paint {
public:
    enum class Type : uint8_t { Solid, Linear, Radial, Focal, Bitmap };

    void SetSolid(uint32_t straightArgb, const ColorTransform& cx);
    // toDevice maps the shape's twips to device pixels.
    void SetGradient(const FillStyle& fill, const Matrix& toDevice, const ColorTransform& cx);
    // A missing bitmap paints nothing.
    void SetBitmap(const FillStyle& fill, const BitmapCharacter* bitmap, const Matrix& toDevice,
                   const ColorTransform& cx);
    // Every style through `cx` ends up here: solids, gradients and bitmaps alike.
    void SetFill(const FillStyle& fill, const BitmapCharacter* bitmap, const Matrix& toDevice,
                 const ColorTransform& cx);

    bool IsSolid() const { return type_ == Type::Solid; }
    // Every pixel it gives is fully opaque.
    bool IsOpaque() const { return opaque_; }
    uint32_t SolidColor() const { return solid_; }
    // Premultiplied colours of pixels x .. x+count-1 of row y, sampled at pixel centres.
    void Fill(int x, int y, int count, uint32_t* out) const;
    uint32_t At(int x, int y) const {
        if (type_ == Type::Solid) return solid_;
        uint32_t pixel;
        Fill(x, y, 1, &pixel);
        return pixel;
    }

private:
    void FillGradient(int x, int y, int count, uint32_t* out) const;
    void FillBitmap(int x, int y, int count, uint32_t* out) const;

    Type type_ = Type::Solid;
    uint32_t solid_ = 0;
    Matrix inverse_;  // device pixel to gradient square or bitmap pixel
    Spread spread_ = Spread::Pad;
    double focal_ = 0;
    uint32_t lut_[256] = {};
    const BitmapCharacter* bitmap_ = nullptr;
    bool repeat_ = true;
    bool smooth_ = true;
    ColorTransform cx_;
    bool transformPixels_ = false;
    bool opaque_ = false;
    mutable std::vector<uint32_t> rowCache_;  // scratch of FillBitmap
};

}  // namespace kestrix::swf
