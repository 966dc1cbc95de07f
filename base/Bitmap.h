// A 32-bit picture in memory, read from and written to the Windows bitmap (BMP) file format.
#pragma once

#include <cstdint>
#include <vector>

#include "base/Exception.h"

namespace kestrix {

class TStream;

// Raised for bytes that are not a picture we can read.
class EInvalidGraphic : public Exception {
    using Exception::Exception;
};

class TBitmap {
public:
    // Pixels are 0xAARRGGBB, row by row from the top.
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    // Resizes to width x height opaque black pixels (0 x 0 empties the bitmap). More than
    // kMaxPicturePixels raises EInvalidGraphic.
    void SetSize(int width, int height);
    uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void SetPixel(int x, int y, uint32_t argb) { pixels_[static_cast<size_t>(y) * width_ + x] = argb; }
    const std::vector<uint32_t>& Pixels() const { return pixels_; }
    std::vector<uint32_t>& Pixels() { return pixels_; }

    // Reads a BMP file from the stream's position: core, info and V2 to V5 headers;
    // 1, 4, 8, 16, 24 and 32 bits per pixel; RLE4, RLE8 and bit fields; bottom-up and
    // top-down. Anything else raises EInvalidGraphic("Bitmap image is not valid").
    void LoadFromStream(TStream& stream);
    // Writes a 24-bit BMP file, file header first. An empty bitmap writes nothing.
    void SaveToStream(TStream& stream) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

// The largest picture any reader here accepts, in pixels; keeps hostile headers from
// making huge allocations.
constexpr int64_t kMaxPicturePixels = 64LL * 1024 * 1024;

}  // namespace kestrix
