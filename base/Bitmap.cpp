#include "base/Bitmap.h"

#include <array>
#include <cstring>
#include <limits>

#include "base/Stream.h"

namespace kestrix {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV2HeaderSize = 52;  // adds the red, green and blue masks
constexpr uint32_t kV3HeaderSize = 56;  // adds the alpha mask
constexpr uint32_t kV4HeaderSize = 108;
constexpr uint32_t kV5HeaderSize = 124;
constexpr uint32_t kLargestHeaderSize = kV5HeaderSize;

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

constexpr uint32_t kOpaqueBlack = 0xFF000000;
constexpr int kPaletteCapacity = 256;

using Palette = std::array<uint32_t, kPaletteCapacity>;

[[noreturn]] void Invalid() { throw EInvalidGraphic("Bitmap image is not valid"); }

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void Put16(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* p, uint32_t value) {
    Put16(p, value);
    Put16(p + 2, value >> 16);
}

// A short read means a cut-off file, which is a bad picture rather than a stream fault.
void ReadExact(TStream& stream, void* buffer, size_t count) {
    if (stream.Read(buffer, count) != count) Invalid();
}

uint32_t Argb(uint32_t red, uint32_t green, uint32_t blue) { return kOpaqueBlack | red << 16 | green << 8 | blue; }

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits whatever the mask's width.
class Channel {
public:
    explicit Channel(uint32_t mask = 0) : mask_(mask) {
        if (mask == 0) return;
        while ((mask >> shift_ & 1) == 0) ++shift_;
        max_ = mask >> shift_;
    }
    bool Present() const { return mask_ != 0; }
    uint32_t Extract(uint32_t pixel) const {
        if (max_ == 0) return 0;
        const uint64_t value = (pixel & mask_) >> shift_;
        return static_cast<uint32_t>((value * 255 + max_ / 2) / max_);
    }

private:
    uint32_t mask_;
    unsigned shift_ = 0;
    uint64_t max_ = 0;
};

struct Header {
    uint32_t offBits = 0;  // from the file header's start
    uint32_t headerSize = 0;
    int width = 0;
    int height = 0;  // always positive; see topDown
    bool topDown = false;
    int bitCount = 0;
    uint32_t compression = kRgb;
    uint32_t sizeImage = 0;
    uint32_t colorsUsed = 0;
    std::array<uint32_t, 4> masks{};  // red, green, blue, alpha

    bool Core() const { return headerSize == kCoreHeaderSize; }
    bool Rle() const { return compression == kRle8 || compression == kRle4; }
    bool HasPalette() const { return bitCount <= 8; }
};

uint32_t ReadFileHeader(TStream& stream) {
    uint8_t bytes[kFileHeaderSize];
    ReadExact(stream, bytes, sizeof bytes);
    if (bytes[0] != 'B' || bytes[1] != 'M') Invalid();
    return Get32(bytes + 10);
}

void ParseCoreHeader(const uint8_t* bytes, Header& header) {
    header.width = Get16(bytes + 4);
    header.height = Get16(bytes + 6);
    header.bitCount = Get16(bytes + 10);
    if (header.bitCount != 1 && header.bitCount != 4 && header.bitCount != 8 && header.bitCount != 24) Invalid();
}

void ParseInfoHeader(const uint8_t* bytes, Header& header) {
    const int32_t width = static_cast<int32_t>(Get32(bytes + 4));
    const int32_t height = static_cast<int32_t>(Get32(bytes + 8));
    // INT32_MIN has no positive counterpart.
    if (width <= 0 || height == 0 || height == std::numeric_limits<int32_t>::min()) Invalid();
    header.width = width;
    header.height = height < 0 ? -height : height;
    header.topDown = height < 0;
    header.bitCount = Get16(bytes + 14);
    header.compression = Get32(bytes + 16);
    header.sizeImage = Get32(bytes + 20);
    header.colorsUsed = Get32(bytes + 32);
    if (header.headerSize >= kV2HeaderSize)
        for (int i = 0; i < 3; ++i) header.masks[i] = Get32(bytes + 40 + 4 * i);
    if (header.headerSize >= kV3HeaderSize) header.masks[3] = Get32(bytes + 52);
}

bool ValidDepthForCompression(const Header& header) {
    switch (header.compression) {
        case kRgb:
            return header.bitCount == 1 || header.bitCount == 4 || header.bitCount == 8 || header.bitCount == 16 ||
                   header.bitCount == 24 || header.bitCount == 32;
        case kRle8: return header.bitCount == 8;
        case kRle4: return header.bitCount == 4;
        case kBitFields: return header.bitCount == 16 || header.bitCount == 32;
        default: return false;
    }
}

void ValidateHeader(const Header& header) {
    if (header.width <= 0 || header.height <= 0) Invalid();
    if (!ValidDepthForCompression(header)) Invalid();
    // Run-length data is always stored from the bottom row up.
    if (header.Rle() && header.topDown) Invalid();
    if (static_cast<int64_t>(header.width) * header.height > kMaxPicturePixels) Invalid();
}

Header ReadHeaders(TStream& stream) {
    Header header;
    header.offBits = ReadFileHeader(stream);
    uint8_t bytes[kLargestHeaderSize];
    ReadExact(stream, bytes, 4);
    header.headerSize = Get32(bytes);
    switch (header.headerSize) {
        case kCoreHeaderSize:
        case kInfoHeaderSize:
        case kV2HeaderSize:
        case kV3HeaderSize:
        case kV4HeaderSize:
        case kV5HeaderSize: break;
        default: Invalid();
    }
    ReadExact(stream, bytes + 4, header.headerSize - 4);
    if (header.Core())
        ParseCoreHeader(bytes, header);
    else
        ParseInfoHeader(bytes, header);
    ValidateHeader(header);
    return header;
}

// A plain info header keeps its bit field masks right after itself.
void ReadSeparateMasks(TStream& stream, Header& header) {
    if (header.compression != kBitFields || header.headerSize != kInfoHeaderSize) return;
    uint8_t bytes[12];
    ReadExact(stream, bytes, sizeof bytes);
    for (int i = 0; i < 3; ++i) header.masks[i] = Get32(bytes + 4 * i);
}

// Bit fields come from the file; an alpha mask only from V3 headers on.
void SetDefaultMasks(Header& header) {
    if (header.compression == kBitFields) return;
    if (header.bitCount == 16)
        header.masks = {0x7C00, 0x03E0, 0x001F, 0};
    else if (header.bitCount == 32)
        header.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
}

// Entries missing from a short palette stay black, so every index has a colour.
Palette ReadPalette(TStream& stream, const Header& header) {
    Palette palette;
    palette.fill(kOpaqueBlack);
    if (!header.HasPalette()) return palette;
    const uint32_t capacity = 1u << header.bitCount;
    const uint32_t count = header.colorsUsed == 0 || header.colorsUsed > capacity ? capacity : header.colorsUsed;
    const size_t entrySize = header.Core() ? 3 : 4;
    uint8_t bytes[kPaletteCapacity * 4];
    ReadExact(stream, bytes, count * entrySize);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = bytes + i * entrySize;
        palette[i] = Argb(entry[2], entry[1], entry[0]);
    }
    return palette;
}

// Turns one stored row into pixels; only the bytes the row's width needs are looked at.
class RowDecoder {
public:
    RowDecoder(const Header& header, const Palette& palette)
        : bitCount_(header.bitCount),
          palette_(palette),
          red_(header.masks[0]),
          green_(header.masks[1]),
          blue_(header.masks[2]),
          alpha_(header.masks[3]) {}

    void Decode(const uint8_t* row, uint32_t* pixels, int width) const {
        for (int x = 0; x < width; ++x) pixels[x] = PixelAt(row, x);
    }

private:
    uint32_t PixelAt(const uint8_t* row, int x) const {
        switch (bitCount_) {
            case 1: return palette_[row[x >> 3] >> (7 - (x & 7)) & 1];
            case 4: return palette_[row[x >> 1] >> ((x & 1) ? 0 : 4) & 0x0F];
            case 8: return palette_[row[x]];
            case 16: return FromMasks(Get16(row + 2 * static_cast<size_t>(x)));
            case 24: {
                const uint8_t* p = row + 3 * static_cast<size_t>(x);
                return Argb(p[2], p[1], p[0]);
            }
            default: return FromMasks(Get32(row + 4 * static_cast<size_t>(x)));
        }
    }

    uint32_t FromMasks(uint32_t value) const {
        const uint32_t alpha = alpha_.Present() ? alpha_.Extract(value) : 0xFF;
        return alpha << 24 | red_.Extract(value) << 16 | green_.Extract(value) << 8 | blue_.Extract(value);
    }

    int bitCount_;
    const Palette& palette_;
    Channel red_, green_, blue_, alpha_;
};

// The stored rows are checked against the stream before the pixels are allocated, so a
// header cannot claim more picture than the file holds. The last row may lack its padding.
std::vector<uint32_t> ReadUncompressed(TStream& stream, const Header& header, const Palette& palette,
                                       int64_t available) {
    const int64_t rowBits = static_cast<int64_t>(header.width) * header.bitCount;
    const int64_t rowStride = (rowBits + 31) / 32 * 4;
    const int64_t lastRowBytes = (rowBits + 7) / 8;
    if (rowStride * (header.height - 1) + lastRowBytes > available) Invalid();

    std::vector<uint32_t> pixels(static_cast<size_t>(header.width) * header.height);
    std::vector<uint8_t> row(static_cast<size_t>(rowStride));
    const RowDecoder decoder(header, palette);
    for (int stored = 0; stored < header.height; ++stored) {
        ReadExact(stream, row.data(), static_cast<size_t>(stored == header.height - 1 ? lastRowBytes : rowStride));
        const int y = header.topDown ? stored : header.height - 1 - stored;
        decoder.Decode(row.data(), pixels.data() + static_cast<size_t>(y) * header.width, header.width);
    }
    return pixels;
}

// Walks run-length data. Runs past the right edge are clipped; a row or delta past the top
// ends the picture, as does the end-of-bitmap escape. Running out of data before either is
// a cut-off file.
class RleDecoder {
public:
    RleDecoder(const std::vector<uint8_t>& data, const Header& header, const Palette& palette,
               std::vector<uint32_t>& pixels)
        : data_(data), header_(header), palette_(palette), pixels_(pixels) {}

    void Decode() {
        while (y_ < header_.height) {
            const uint8_t count = Next();
            const uint8_t code = Next();
            if (count > 0)
                EncodedRun(count, code);
            else if (!Escape(code))
                return;
        }
    }

private:
    // Returns false at the end of the bitmap.
    bool Escape(uint8_t code) {
        switch (code) {
            case 0:
                x_ = 0;
                ++y_;
                return true;
            case 1: return false;
            case 2:
                x_ += Next();
                y_ += Next();
                return true;
            default: AbsoluteRun(code); return true;
        }
    }

    void EncodedRun(int count, uint8_t value) {
        const bool nibbles = header_.compression == kRle4;
        for (int i = 0; i < count; ++i) Put(nibbles ? ((i & 1) != 0 ? value & 0x0F : value >> 4) : value);
    }

    // Literal indexes, padded to an even number of bytes.
    void AbsoluteRun(int count) {
        const bool nibbles = header_.compression == kRle4;
        const int bytes = nibbles ? (count + 1) / 2 : count;
        uint8_t value = 0;
        for (int i = 0; i < count; ++i) {
            if (!nibbles) {
                Put(Next());
            } else if ((i & 1) == 0) {
                value = Next();
                Put(value >> 4);
            } else {
                Put(value & 0x0F);
            }
        }
        // Some writers drop the final pad byte, so it may be missing at the very end.
        if ((bytes & 1) != 0 && position_ < data_.size()) ++position_;
    }

    uint8_t Next() {
        if (position_ >= data_.size()) Invalid();
        return data_[position_++];
    }

    void Put(int index) {
        if (x_ < header_.width && y_ < header_.height)
            pixels_[static_cast<size_t>(header_.height - 1 - y_) * header_.width + static_cast<size_t>(x_)] =
                palette_[index];
        ++x_;
    }

    const std::vector<uint8_t>& data_;
    const Header& header_;
    const Palette& palette_;
    std::vector<uint32_t>& pixels_;
    size_t position_ = 0;
    // Wide enough that deltas and runs past the edges cannot overflow.
    int64_t x_ = 0;
    int64_t y_ = 0;  // counted from the bottom row
};

// The pixel count is capped by kMaxPicturePixels, since a few bytes of runs can fill any size.
std::vector<uint32_t> ReadRle(TStream& stream, const Header& header, const Palette& palette, int64_t available) {
    const int64_t size = header.sizeImage != 0 ? header.sizeImage : available;
    if (size > available) Invalid();
    std::vector<uint8_t> data(static_cast<size_t>(size));
    ReadExact(stream, data.data(), data.size());
    std::vector<uint32_t> pixels(static_cast<size_t>(header.width) * header.height, palette[0]);
    RleDecoder(data, header, palette, pixels).Decode();
    return pixels;
}

}  // namespace

void TBitmap::SetSize(int width, int height) {
    if (width <= 0 || height <= 0) {
        width = 0;
        height = 0;
    }
    if (static_cast<int64_t>(width) * height > kMaxPicturePixels) Invalid();
    pixels_.assign(static_cast<size_t>(width) * height, kOpaqueBlack);
    width_ = width;
    height_ = height;
}

void TBitmap::LoadFromStream(TStream& stream) {
    const int64_t fileStart = stream.Position();
    Header header = ReadHeaders(stream);
    ReadSeparateMasks(stream, header);
    SetDefaultMasks(header);
    const Palette palette = ReadPalette(stream, header);

    // The pixels may not overlap the headers and palette just read.
    const int64_t pixelStart = fileStart + header.offBits;
    if (pixelStart < stream.Position()) Invalid();
    const int64_t available = stream.Size() - pixelStart;
    if (available < 0) Invalid();
    stream.SetPosition(pixelStart);

    std::vector<uint32_t> pixels = header.Rle() ? ReadRle(stream, header, palette, available)
                                                : ReadUncompressed(stream, header, palette, available);
    width_ = header.width;
    height_ = header.height;
    pixels_ = std::move(pixels);
}

void TBitmap::SaveToStream(TStream& stream) const {
    if (Empty()) return;
    constexpr uint32_t headersSize = kFileHeaderSize + kInfoHeaderSize;
    const uint64_t rowStride = (static_cast<uint64_t>(width_) * 3 + 3) / 4 * 4;
    const uint64_t dataSize = rowStride * static_cast<uint64_t>(height_);
    // The file header holds the size in 32 bits.
    if (dataSize > std::numeric_limits<uint32_t>::max() - headersSize) Invalid();

    uint8_t headers[headersSize] = {};
    headers[0] = 'B';
    headers[1] = 'M';
    Put32(headers + 2, static_cast<uint32_t>(headersSize + dataSize));
    Put32(headers + 10, headersSize);
    uint8_t* info = headers + kFileHeaderSize;
    Put32(info, kInfoHeaderSize);
    Put32(info + 4, static_cast<uint32_t>(width_));
    Put32(info + 8, static_cast<uint32_t>(height_));
    Put16(info + 12, 1);
    Put16(info + 14, 24);
    Put32(info + 16, kRgb);
    Put32(info + 20, static_cast<uint32_t>(dataSize));
    stream.WriteBuffer(headers, sizeof headers);

    std::vector<uint8_t> row(static_cast<size_t>(rowStride), 0);
    for (int y = height_ - 1; y >= 0; --y) {
        const uint32_t* source = pixels_.data() + static_cast<size_t>(y) * width_;
        for (int x = 0; x < width_; ++x) {
            uint8_t* p = row.data() + 3 * static_cast<size_t>(x);
            p[0] = static_cast<uint8_t>(source[x]);
            p[1] = static_cast<uint8_t>(source[x] >> 8);
            p[2] = static_cast<uint8_t>(source[x] >> 16);
        }
        stream.WriteBuffer(row.data(), row.size());
    }
}

}  // namespace kestrix
