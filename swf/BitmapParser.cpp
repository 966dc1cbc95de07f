#include "swf/BitmapParser.h"

#include <algorithm>
#include <cstring>

#include "base/Exception.h"
#include "base/PictureDecoders.h"
#include "swf/Inflate.h"

namespace kestrix::swf {

namespace {

constexpr uint8_t kMarker = 0xFF;
constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr size_t kMaxDeflateRatio = 1040;

bool IsPng(const uint8_t* data, size_t size) {
    static const uint8_t kSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return size >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

bool IsGif(const uint8_t* data, size_t size) {
    return size >= 6 && std::memcmp(data, "GIF8", 4) == 0;
}

bool TakePixels(ParseBudget& budget, int64_t width, int64_t height) {
    if (width <= 0 || height <= 0 || width * height > budget.pixelsLeft) return false;
    budget.pixelsLeft -= width * height;
    return true;
}

// Takes a decoded picture (straight alpha) into the character as premultiplied pixels.
bool Adopt(TBitmap&& picture, BitmapCharacter& bitmap, ParseBudget& budget) {
    if (!TakePixels(budget, picture.Width(), picture.Height())) return false;
    bitmap.width = picture.Width();
    bitmap.height = picture.Height();
    bitmap.pixels = std::move(picture.Pixels());
    bitmap.opaque = true;
    for (uint32_t& pixel : bitmap.pixels) {
        if ((pixel >> 24) != 0xFF) bitmap.opaque = false;
        pixel = Premultiply(pixel);
    }
    return true;
}

bool DecodePicture(const uint8_t* data, size_t size, BitmapCharacter& bitmap, ParseBudget& budget) {
    try {
        if (IsPng(data, size)) return Adopt(DecodePng(data, size), bitmap, budget);
        if (IsGif(data, size)) return Adopt(DecodeGif(data, size), bitmap, budget);
        const std::vector<uint8_t> jpeg = CleanJpegStream(data, size);
        return Adopt(DecodeJpeg(jpeg.data(), jpeg.size()), bitmap, budget);
    } catch (const Exception&) {
        return false;
    }
}

// The alpha plane of DefineBitsJPEG3 and 4: one zlib-packed byte per pixel. The JPEG's colours
// are taken as already multiplied by it.
void ApplyAlphaPlane(const uint8_t* data, size_t size, BitmapCharacter& bitmap) {
    const size_t count = bitmap.pixels.size();
    std::vector<uint8_t> alpha;
    Inflate(data, size, count, alpha);
    if (alpha.size() < count) return;  // no usable plane: the picture stays opaque
    bitmap.opaque = true;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t a = alpha[i];
        if (a != 0xFF) bitmap.opaque = false;
        const uint32_t rgb = bitmap.pixels[i];
        const uint32_t r = std::min((rgb >> 16) & 0xFF, a);
        const uint32_t g = std::min((rgb >> 8) & 0xFF, a);
        const uint32_t b = std::min(rgb & 0xFF, a);
        bitmap.pixels[i] = a << 24 | r << 16 | g << 8 | b;
    }
}

}  // namespace

std::vector<uint8_t> CleanJpegStream(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    out.reserve(size);
    size_t position = 0;
    // A leading end marker, as old writers put before the real start.
    if (size >= 4 && data[0] == kMarker && data[1] == kEndOfImage && data[2] == kMarker && data[3] == kStartOfImage)
        position = 2;
    // Up to the scan, walk segment by segment; an end marker directly followed by a start
    // marker is where two streams were joined, and both go.
    while (position + 4 <= size) {
        if (data[position] != kMarker) break;
        const uint8_t marker = data[position + 1];
        if (marker == kEndOfImage && data[position + 2] == kMarker && data[position + 3] == kStartOfImage) {
            position += 4;
            continue;
        }
        if (marker == kStartOfImage) {
            if (out.empty()) {
                out.push_back(kMarker);
                out.push_back(kStartOfImage);
            }
            position += 2;
            continue;
        }
        if (marker == kMarker) {  // fill byte
            ++position;
            continue;
        }
        if (marker == kStartOfScan) break;
        const size_t length = static_cast<size_t>(data[position + 2]) << 8 | data[position + 3];
        const size_t take = std::min(size - position, 2 + length);
        out.insert(out.end(), data + position, data + position + take);
        position += take;
    }
    out.insert(out.end(), data + position, data + size);
    return out;
}

bool ParseDefineBits(Reader& reader, const std::vector<uint8_t>& jpegTables, BitmapCharacter& bitmap,
                     ParseBudget& budget) {
    const size_t size = reader.Remaining();
    const uint8_t* data = reader.Bytes(size);
    if (data == nullptr) return false;
    // The shared tables and the picture form one stream once joined.
    std::vector<uint8_t> joined(jpegTables.begin(), jpegTables.end());
    joined.insert(joined.end(), data, data + size);
    const std::vector<uint8_t> jpeg = CleanJpegStream(joined.data(), joined.size());
    try {
        return Adopt(DecodeJpeg(jpeg.data(), jpeg.size()), bitmap, budget);
    } catch (const Exception&) {
        return false;
    }
}

bool ParseDefineBitsJpeg(Reader& reader, int jpegVersion, BitmapCharacter& bitmap, ParseBudget& budget) {
    size_t imageSize = reader.Remaining();
    if (jpegVersion >= 3) {
        imageSize = reader.U32();
        if (jpegVersion >= 4) reader.U16();  // deblocking
        if (reader.Failed() || imageSize > reader.Remaining()) return false;
    }
    const uint8_t* image = reader.Bytes(imageSize);
    if (image == nullptr || !DecodePicture(image, imageSize, bitmap, budget)) return false;
    // Only JPEG pictures take the separate alpha plane; PNG and GIF carry their own.
    if (jpegVersion >= 3 && !IsPng(image, imageSize) && !IsGif(image, imageSize) && reader.Remaining() > 0) {
        const size_t alphaSize = reader.Remaining();
        ApplyAlphaPlane(reader.Bytes(alphaSize), alphaSize, bitmap);
    }
    return true;
}

bool ParseDefineBitsLossless(Reader& reader, int losslessVersion, BitmapCharacter& bitmap, ParseBudget& budget) {
    const uint8_t format = reader.U8();
    const int width = reader.U16();
    const int height = reader.U16();
    const bool withAlpha = losslessVersion >= 2;
    size_t paletteSize = 0;
    if (format == 3) paletteSize = static_cast<size_t>(reader.U8()) + 1;
    if (reader.Failed() || (format != 3 && format != 4 && format != 5)) return false;
    if (!TakePixels(budget, width, height)) return false;

    const size_t paletteBytes = paletteSize * (withAlpha ? 4 : 3);
    const size_t bytesPerPixel = format == 3 ? 1 : format == 4 ? 2 : 4;
    const size_t rowBytes = (width * bytesPerPixel + 3) & ~static_cast<size_t>(3);
    const size_t expected = paletteBytes + rowBytes * height;
    std::vector<uint8_t> plain;
    const size_t packedSize = reader.Remaining();
    // zlib packs at most about 1032 to 1: less data than that cannot hold the picture, and is
    // refused before anything the size of the claim is allocated.
    if (expected / kMaxDeflateRatio > packedSize) return false;
    Inflate(reader.Bytes(packedSize), packedSize, expected, plain);
    // Missing rows stay transparent rather than failing the whole picture.
    const size_t decoded = plain.size();
    plain.resize(expected, 0);

    std::vector<uint32_t> palette(256, 0);
    for (size_t i = 0; i < paletteSize; ++i) {
        const uint8_t* p = plain.data() + i * (withAlpha ? 4 : 3);
        const uint32_t alpha = withAlpha ? p[3] : 0xFF;
        palette[i] = alpha << 24 | static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
    }

    bitmap.width = width;
    bitmap.height = height;
    bitmap.pixels.resize(static_cast<size_t>(width) * height);
    bitmap.opaque = true;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = plain.data() + paletteBytes + rowBytes * y;
        uint32_t* out = bitmap.pixels.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = 0;
            if (paletteBytes + rowBytes * y + (x + 1) * bytesPerPixel > decoded) {
                out[x] = 0;
                bitmap.opaque = false;
                continue;
            }
            if (format == 3) {
                pixel = palette[row[x]];
            } else if (format == 4) {
                const uint32_t v = static_cast<uint32_t>(row[2 * x]) << 8 | row[2 * x + 1];
                auto expand = [](uint32_t five) { return (five << 3) | (five >> 2); };
                pixel = 0xFF000000u | expand((v >> 10) & 0x1F) << 16 | expand((v >> 5) & 0x1F) << 8 | expand(v & 0x1F);
            } else {
                const uint8_t* p = row + 4 * x;
                const uint32_t alpha = withAlpha ? p[0] : 0xFF;
                pixel = alpha << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
            }
            // The second form stores premultiplied colours; clamp any that claim more than their alpha.
            if (withAlpha) {
                const uint32_t a = pixel >> 24;
                const uint32_t r = std::min((pixel >> 16) & 0xFF, a);
                const uint32_t g = std::min((pixel >> 8) & 0xFF, a);
                const uint32_t b = std::min(pixel & 0xFF, a);
                pixel = a << 24 | r << 16 | g << 8 | b;
            }
            if ((pixel >> 24) != 0xFF) bitmap.opaque = false;
            out[x] = pixel;
        }
    }
    return true;
}

}  // namespace kestrix::swf
