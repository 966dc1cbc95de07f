#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "base/Bitmap.h"
#include "base/MemoryStream.h"
#include "base/PictureDecoders.h"

// For PNG only; see Jpeg3x2.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include "stb_image_write.h"
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace kestrix {
namespace {

using Bytes = std::vector<uint8_t>;
using Pixels = std::vector<uint32_t>;

constexpr uint32_t kBlack = 0xFF000000;
constexpr const char* kInvalidBitmap = "Bitmap image is not valid";

uint32_t Opaque(uint32_t rgb) { return 0xFF000000 | rgb; }

void Put16(Bytes& bytes, size_t at, uint32_t value) {
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(Bytes& bytes, size_t at, uint32_t value) {
    Put16(bytes, at, value);
    Put16(bytes, at + 2, value >> 16);
}

void Append(Bytes& bytes, const Bytes& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }

// Palette entries as stored: blue, green, red and, in quads, a reserved byte.
Bytes Quads(std::initializer_list<uint32_t> colours) {
    Bytes bytes;
    for (uint32_t c : colours) Append(bytes, {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0x5A});
    return bytes;
}

Bytes Triples(std::initializer_list<uint32_t> colours) {
    Bytes bytes;
    for (uint32_t c : colours) Append(bytes, {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
    return bytes;
}

Bytes Le16(std::initializer_list<uint32_t> values) {
    Bytes bytes;
    for (uint32_t v : values) Append(bytes, {uint8_t(v), uint8_t(v >> 8)});
    return bytes;
}

Bytes Le32(std::initializer_list<uint32_t> values) {
    Bytes bytes;
    for (uint32_t v : values) Append(bytes, {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
    return bytes;
}

// The fields of a BMP file a test cares about; Build() lays them out with a correct
// pixel offset unless offBitsShift moves it.
struct BmpFile {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    uint32_t colorsUsed = 0;
    Bytes masks;  // in the header from V2 on, after a 40-byte header otherwise
    Bytes palette;
    Bytes pixels;
    int64_t offBitsShift = 0;

    Bytes Build() const {
        Bytes file(14, 0);
        file[0] = 'B';
        file[1] = 'M';
        Bytes header(headerSize, 0);
        Put32(header, 0, headerSize);
        if (headerSize == 12) {
            Put16(header, 4, static_cast<uint32_t>(width));
            Put16(header, 6, static_cast<uint32_t>(height));
            Put16(header, 8, 1);
            Put16(header, 10, bitCount);
        } else {
            Put32(header, 4, static_cast<uint32_t>(width));
            Put32(header, 8, static_cast<uint32_t>(height));
            Put16(header, 12, 1);
            Put16(header, 14, bitCount);
            Put32(header, 16, compression);
            Put32(header, 20, sizeImage);
            Put32(header, 32, colorsUsed);
            for (size_t i = 0; i < masks.size() && 40 + i < headerSize; ++i) header[40 + i] = masks[i];
        }
        Append(file, header);
        if (headerSize == 40) Append(file, masks);
        Append(file, palette);
        const int64_t offBits = static_cast<int64_t>(file.size()) + offBitsShift;
        Append(file, pixels);
        Put32(file, 2, static_cast<uint32_t>(file.size()));
        Put32(file, 10, static_cast<uint32_t>(offBits));
        return file;
    }
};

BmpFile Bmp(uint32_t headerSize, int32_t width, int32_t height, uint16_t bitCount, uint32_t compression = 0) {
    BmpFile f;
    f.headerSize = headerSize;
    f.width = width;
    f.height = height;
    f.bitCount = bitCount;
    f.compression = compression;
    return f;
}

TBitmap Load(const Bytes& bytes) {
    TMemoryStream stream(bytes);
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    return bitmap;
}

Bytes Save(const TBitmap& bitmap) {
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    return stream.Bytes();
}

void ExpectInvalidBitmap(const Bytes& bytes) {
    try {
        Load(bytes);
        ADD_FAILURE() << "loaded without an error";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), kInvalidBitmap);
    }
}

struct LoadCase {
    const char* name;
    BmpFile file;
    int width;
    int height;
    Pixels pixels;  // from the top row down
};

std::vector<LoadCase> StoredFormats() {
    const uint32_t c0 = 0x336699, c1 = 0xF0E0D0, c2 = 0x0A141E, c3 = 0x80FF01;
    std::vector<LoadCase> cases;
    {
        BmpFile f = Bmp(40, 3, 2, 1);
        f.palette = Quads({c0, c1});
        f.pixels = {0xA0, 0, 0, 0, 0x60, 0, 0, 0};  // bottom row 101, top row 011
        cases.push_back({"1 bit", f, 3, 2, {Opaque(c0), Opaque(c1), Opaque(c1), Opaque(c1), Opaque(c0), Opaque(c1)}});
    }
    {
        // Only three colours are stored, so index 5 has none and reads as black.
        BmpFile f = Bmp(40, 3, 2, 4);
        f.colorsUsed = 3;
        f.palette = Quads({c0, c1, c2});
        f.pixels = {0x01, 0x20, 0, 0, 0x25, 0x00, 0, 0};
        cases.push_back(
            {"4 bits, short palette", f, 3, 2, {Opaque(c2), kBlack, Opaque(c0), Opaque(c0), Opaque(c1), Opaque(c2)}});
    }
    {
        BmpFile f = Bmp(40, 2, -2, 8);  // top-down
        f.colorsUsed = 2;
        f.palette = Quads({c0, c1});
        f.pixels = {1, 0, 0, 0, 200, 1, 0, 0};
        cases.push_back({"8 bits, top-down", f, 2, 2, {Opaque(c1), Opaque(c0), kBlack, Opaque(c1)}});
    }
    {
        // 5-5-5 by default; the top bit is unused.
        BmpFile f = Bmp(40, 3, 1, 16);
        f.pixels = Le16({0x7C00, 0x83E0, 0x0010, 0});
        cases.push_back({"16 bits, 555", f, 3, 1, {0xFFFF0000, 0xFF00FF00, 0xFF000084}});
    }
    {
        BmpFile f = Bmp(40, 3, 1, 16, 3);
        f.masks = Le32({0xF800, 0x07E0, 0x001F});
        f.pixels = Le16({0xF800, 0x07E0, 0x0410, 0});
        cases.push_back({"16 bits, 565 bit fields", f, 3, 1, {0xFFFF0000, 0xFF00FF00, 0xFF008284}});
    }
    {
        BmpFile f = Bmp(40, 3, 2, 24);
        f.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0, 0, 0};
        cases.push_back({"24 bits", f, 3, 2, {0xFF302010, 0xFF605040, 0xFF908070, 0xFF030201, 0xFF060504, 0xFF090807}});
    }
    {
        BmpFile f = Bmp(40, 2, 1, 32);
        f.pixels = Le32({0x00123456, 0x7F654321});
        cases.push_back({"32 bits ignore the fourth byte", f, 2, 1, {0xFF123456, 0xFF654321}});
    }
    {
        // Channels in an unusual order prove the masks are used.
        BmpFile f = Bmp(124, 2, 1, 32, 3);
        f.masks = Le32({0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000});
        f.pixels = Le32({0x80332211, 0x00000000});
        cases.push_back({"32 bits, V5 bit fields with alpha", f, 2, 1, {0x80112233, 0x00000000}});
    }
    {
        BmpFile f = Bmp(56, 1, 1, 32, 3);
        f.masks = Le32({0x00FF0000, 0x0000FF00, 0x000000FF, 0});
        f.pixels = Le32({0x00ABCDEF});
        cases.push_back({"32 bits, no alpha mask is opaque", f, 1, 1, {0xFFABCDEF}});
    }
    {
        // A V2 header has no alpha mask, whatever follows its colour masks.
        BmpFile f = Bmp(52, 1, 1, 32, 3);
        f.masks = Le32({0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000});
        f.pixels = Le32({0x10ABCDEF});
        cases.push_back({"32 bits, V2 bit fields are opaque", f, 1, 1, {0xFFABCDEF}});
    }
    {
        BmpFile f = Bmp(12, 2, 2, 1);
        f.palette = Triples({c0, c1});
        f.pixels = {0x40, 0, 0, 0, 0x80, 0, 0, 0};
        cases.push_back({"core header", f, 2, 2, {Opaque(c1), Opaque(c0), Opaque(c0), Opaque(c1)}});
    }
    {
        // Runs, a delta, an odd literal run with its pad byte, a run clipped at the right
        // edge and an early end; pixels never written take colour 0.
        BmpFile f = Bmp(40, 4, 3, 8, 1);
        f.colorsUsed = 4;
        f.palette = Quads({c0, c1, c2, c3});
        f.pixels = {2, 1, 0, 2, 1, 0, 1, 3, 0, 0, 0, 3, 2, 3, 1, 0, 0, 2, 0, 1, 2, 3, 0, 1};
        f.sizeImage = static_cast<uint32_t>(f.pixels.size());
        cases.push_back({"RLE8",
                         f,
                         4,
                         3,
                         {Opaque(c0), Opaque(c0), Opaque(c0), Opaque(c3), Opaque(c2), Opaque(c3), Opaque(c1),
                          Opaque(c0), Opaque(c1), Opaque(c1), Opaque(c0), Opaque(c3)}});
    }
    {
        BmpFile f = Bmp(40, 5, 3, 4, 2);
        f.colorsUsed = 3;
        f.palette = Quads({c0, c1, c2});
        f.pixels = {5, 0x12, 0, 0, 0, 5, 0x21, 0x02, 0x10, 0, 0, 1};
        cases.push_back({"RLE4",
                         f,
                         5,
                         3,
                         {Opaque(c0), Opaque(c0), Opaque(c0), Opaque(c0), Opaque(c0), Opaque(c2), Opaque(c1),
                          Opaque(c0), Opaque(c2), Opaque(c1), Opaque(c1), Opaque(c2), Opaque(c1), Opaque(c2),
                          Opaque(c1)}});
    }
    {
        BmpFile f = Bmp(40, 2, 2, 24);
        f.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12};
        cases.push_back({"last row without padding", f, 2, 2, {0xFF090807, 0xFF0C0B0A, 0xFF030201, 0xFF060504}});
    }
    return cases;
}

TEST(BitmapLoad, DecodesEachStoredFormat) {
    for (const LoadCase& c : StoredFormats()) {
        SCOPED_TRACE(c.name);
        TBitmap bitmap;
        ASSERT_NO_THROW(bitmap = Load(c.file.Build()));
        EXPECT_EQ(bitmap.Width(), c.width);
        EXPECT_EQ(bitmap.Height(), c.height);
        EXPECT_EQ(bitmap.Pixels(), c.pixels);
    }
}

TEST(BitmapLoad, AcceptsEveryHeaderSize) {
    for (uint32_t size : {12u, 40u, 52u, 56u, 108u, 124u}) {
        SCOPED_TRACE(size);
        BmpFile f = Bmp(size, 1, 1, 24);
        f.pixels = {0x11, 0x22, 0x33, 0};
        EXPECT_EQ(Load(f.Build()).Pixels(), Pixels{0xFF332211});
    }
}

TEST(BitmapLoad, PixelOffsetIsRelativeToTheFileStart) {
    BmpFile f = Bmp(40, 1, 1, 24);
    f.pixels = {0xEE, 0xEE, 0xEE, 0, 0x11, 0x22, 0x33, 0};
    f.offBitsShift = 4;  // the first four bytes are a gap, not pixels
    Bytes bytes = {'j', 'u', 'n', 'k'};
    Append(bytes, f.Build());

    TMemoryStream stream(bytes);
    stream.SetPosition(4);
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    EXPECT_EQ(bitmap.Pixels(), Pixels{0xFF332211});
}

struct MalformedCase {
    const char* name;
    Bytes bytes;
};

BmpFile Valid24() {
    BmpFile f = Bmp(40, 2, 2, 24);
    f.pixels = Bytes(16, 0x44);
    return f;
}

BmpFile ValidRle8() {
    BmpFile f = Bmp(40, 2, 2, 8, 1);
    f.colorsUsed = 1;
    f.palette = Quads({0x445566});
    f.pixels = {2, 0, 0, 0, 0, 1};  // a run, the end of the line, the end of the bitmap
    return f;
}

// Each takes one of the valid files above and breaks one thing.
std::vector<MalformedCase> MalformedFiles() {
    auto with = [](std::function<void(BmpFile&)> change) {
        BmpFile f = Valid24();
        change(f);
        return f.Build();
    };
    auto withRle = [](std::function<void(BmpFile&)> change) {
        BmpFile f = ValidRle8();
        change(f);
        return f.Build();
    };
    auto patched = [](size_t at, uint32_t value) {
        Bytes bytes = Valid24().Build();
        Put32(bytes, at, value);
        return bytes;
    };
    Bytes badMagic = Valid24().Build();
    badMagic[1] = 'A';
    const Bytes valid = Valid24().Build();
    Bytes hugeClaim = with([](BmpFile& f) { f.width = f.height = 100000; });
    hugeClaim.resize(100);
    return {
        {"empty input", {}},
        {"bad magic", badMagic},
        {"cut in the file header", Bytes(valid.begin(), valid.begin() + 10)},
        {"cut in the info header", Bytes(valid.begin(), valid.begin() + 30)},
        {"header size 64", patched(14, 64)},
        {"bit depth 7", with([](BmpFile& f) { f.bitCount = 7; })},
        {"JPEG compression", with([](BmpFile& f) { f.compression = 4; })},
        {"bit fields with 24 bits", with([](BmpFile& f) { f.compression = 3; })},
        {"core header with 16 bits", with([](BmpFile& f) { f.headerSize = 12, f.bitCount = 16; })},
        {"zero width", with([](BmpFile& f) { f.width = 0; })},
        {"negative width", with([](BmpFile& f) { f.width = -2; })},
        {"zero height", with([](BmpFile& f) { f.height = 0; })},
        {"most negative height", with([](BmpFile& f) { f.height = INT32_MIN; })},
        {"100000 x 100000 in 100 bytes", hugeClaim},
        {"8192 x 8192 with no pixels", with([](BmpFile& f) { f.width = f.height = 8192, f.pixels.clear(); })},
        {"truncated pixel data", Bytes(valid.begin(), valid.end() - 5)},
        {"truncated palette", with([](BmpFile& f) { f.bitCount = 8, f.palette = Quads({1, 2, 3}); })},
        {"pixel offset inside the header", patched(10, 20)},
        {"pixel offset past the end", patched(10, 1000)},
        {"RLE8 with 4 bits", withRle([](BmpFile& f) { f.bitCount = 4; })},
        {"RLE4 with 8 bits", withRle([](BmpFile& f) { f.compression = 2; })},
        {"RLE 100000 x 100000", withRle([](BmpFile& f) { f.width = f.height = 100000; })},
        {"RLE top-down", withRle([](BmpFile& f) { f.height = -2; })},
        {"RLE without an end", withRle([](BmpFile& f) { f.pixels = {2, 0, 0, 0}; })},
        {"RLE literal run past the end", withRle([](BmpFile& f) { f.pixels = {0, 5, 0, 0}; })},
        {"RLE size past the end", withRle([](BmpFile& f) { f.sizeImage = 0xFFFFFFF0; })},
    };
}

TEST(BitmapLoad, RejectsMalformedFiles) {
    // The cases must fail for what they break, not for a fault in what they start from.
    ASSERT_NO_THROW(Load(Valid24().Build()));
    ASSERT_NO_THROW(Load(ValidRle8().Build()));
    for (const MalformedCase& c : MalformedFiles()) {
        SCOPED_TRACE(c.name);
        ExpectInvalidBitmap(c.bytes);
    }
}

TEST(BitmapLoad, FailureKeepsThePreviousPicture) {
    TBitmap bitmap = Load(Valid24().Build());
    Bytes truncated = Valid24().Build();
    truncated.resize(truncated.size() - 1);
    truncated[18] = 3;  // a wider picture than before
    TMemoryStream stream(truncated);
    EXPECT_THROW(bitmap.LoadFromStream(stream), EInvalidGraphic);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Pixels(), Pixels(4, 0xFF444444));
}

TBitmap Pattern(int width, int height) {
    TBitmap bitmap;
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, Opaque(static_cast<uint32_t>(x * 0x010307 + y * 0x1F0D00)));
    return bitmap;
}

TEST(BitmapSave, RoundTripKeepsEveryPixel) {
    const std::pair<int, int> sizes[] = {{1, 1}, {2, 2}, {3, 1}, {5, 3}, {7, 4}, {1, 9}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const TBitmap original = Pattern(width, height);
        const Bytes bytes = Save(original);
        const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
        EXPECT_EQ(bytes.size(), 54 + stride * height);
        const TBitmap loaded = Load(bytes);
        EXPECT_EQ(loaded.Width(), width);
        EXPECT_EQ(loaded.Height(), height);
        EXPECT_EQ(loaded.Pixels(), original.Pixels());
    }
}

TEST(BitmapSave, AlphaIsDropped) {
    TBitmap bitmap;
    bitmap.SetSize(1, 1);
    bitmap.SetPixel(0, 0, 0x12345678);
    EXPECT_EQ(Load(Save(bitmap)).Pixel(0, 0), 0xFF345678u);
}

TEST(BitmapSave, WritesA24BitBottomUpFile) {
    TBitmap bitmap;
    bitmap.SetSize(2, 2);
    bitmap.SetPixel(0, 0, 0xFF010203);
    bitmap.SetPixel(1, 0, 0xFF040506);
    bitmap.SetPixel(0, 1, 0xFF0A0B0C);
    bitmap.SetPixel(1, 1, 0xFF0D0E0F);
    const Bytes bytes = Save(bitmap);
    ASSERT_EQ(bytes.size(), 70u);

    struct Field {
        const char* name;
        size_t offset;
        size_t size;
        uint32_t value;
    };
    const Field fields[] = {
        {"bfType", 0, 2, 0x4D42},         {"bfSize", 2, 4, 70},          {"bfReserved", 6, 4, 0},
        {"bfOffBits", 10, 4, 54},         {"biSize", 14, 4, 40},         {"biWidth", 18, 4, 2},
        {"biHeight", 22, 4, 2},           {"biPlanes", 26, 2, 1},        {"biBitCount", 28, 2, 24},
        {"biCompression", 30, 4, 0},      {"biSizeImage", 34, 4, 16},    {"biXPelsPerMeter", 38, 4, 0},
        {"biYPelsPerMeter", 42, 4, 0},    {"biClrUsed", 46, 4, 0},       {"biClrImportant", 50, 4, 0},
    };
    for (const Field& field : fields) {
        uint32_t value = 0;
        for (size_t i = 0; i < field.size; ++i) value |= static_cast<uint32_t>(bytes[field.offset + i]) << (8 * i);
        EXPECT_EQ(value, field.value) << field.name;
    }
    // The bottom row comes first, blue first, each row padded to four bytes.
    const Bytes rows = {0x0C, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0, 0, 0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0, 0};
    EXPECT_EQ(Bytes(bytes.begin() + 54, bytes.end()), rows);
}

TEST(BitmapSave, EmptyBitmapWritesNothing) {
    TBitmap never;
    TBitmap emptied = Pattern(3, 3);
    emptied.SetSize(0, 0);
    EXPECT_TRUE(Save(never).empty());
    EXPECT_TRUE(Save(emptied).empty());
}

TEST(BitmapSetSize, GivesOpaqueBlackAndRefusesHugeSizes) {
    TBitmap bitmap = Pattern(3, 2);
    bitmap.SetSize(2, 3);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Height(), 3);
    EXPECT_EQ(bitmap.Pixels(), Pixels(6, kBlack));
    EXPECT_THROW(bitmap.SetSize(100000, 100000), EInvalidGraphic);
}

// Compressed formats, made in the test with stb_image_write or by hand.

void AppendWritten(void* context, void* data, int size) {
    auto* bytes = static_cast<Bytes*>(context);
    bytes->insert(bytes->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// A 3x2 baseline JPEG of one flat colour, made by hand: stb_image_write's JPEG writer
// shifts negative ints, which the undefined-behaviour sanitizer stops on. One 8x8 block per
// component, every quantizer 8, so each DC difference is the component minus 128: Y 160,
// Cb 96, Cr 192, about RGB 250, 125, 103. The DC table codes sizes 6 and 7 as 00 and 01;
// the AC table only has end-of-block, coded 0.
Bytes Jpeg3x2() {
    Bytes bytes = {0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0x00};  // start, quantizer table 0
    bytes.resize(bytes.size() + 64, 8);
    Append(bytes, {0xFF, 0xC0, 0, 17, 8, 0, 2, 0, 3, 3, 1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0});  // 3x2, three components
    Append(bytes, {0xFF, 0xC4, 0, 21, 0x00, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 6, 7});  // DC table
    Append(bytes, {0xFF, 0xC4, 0, 20, 0x10, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});     // AC table
    Append(bytes, {0xFF, 0xDA, 0, 12, 3, 1, 0x00, 2, 0x00, 3, 0x00, 0, 63, 0});                    // scan header
    // Y: 00 100000 0, Cb: 00 011111 0, Cr: 01 1000000 0, then 1s to fill the byte.
    Append(bytes, {0x20, 0x0F, 0x98, 0x0F, 0xFF, 0xD9});
    return bytes;
}

const uint8_t kRgba2x2[] = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 10, 20, 30, 40};

Bytes Png2x2() {
    Bytes bytes;
    stbi_write_png_to_func(AppendWritten, &bytes, 2, 2, 4, kRgba2x2, 2 * 4);
    return bytes;
}

// 2x2 with colours red and blue; blue (index 1) is transparent. The pixels 0, 1, 1, 0 are
// the LZW codes clear, 0, 1, 1, 0, end: three bits each until the table reaches 8 entries.
Bytes Gif2x2() {
    return {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x80, 0, 0,      // screen, two-colour table
            0xFF, 0, 0, 0, 0, 0xFF,                                      // red, blue
            0x21, 0xF9, 4, 0x01, 0, 0, 1, 0,                             // transparent index 1
            0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0,                             // image at 0,0, 2x2
            2, 3, 0x44, 0x02, 0x05, 0,                                   // LZW data
            0x3B};
}

using Decoder = TBitmap (*)(const uint8_t*, size_t);

std::string DecodeError(Decoder decode, const Bytes& bytes) {
    try {
        decode(bytes.data(), bytes.size());
    } catch (const EInvalidGraphic& e) {
        return e.Message();
    }
    return "";
}

TEST(PictureDecoders, JpegComesOutOpaqueAndClose) {
    const Bytes jpeg = Jpeg3x2();
    const TBitmap bitmap = DecodeJpeg(jpeg.data(), jpeg.size());
    ASSERT_EQ(bitmap.Width(), 3);
    ASSERT_EQ(bitmap.Height(), 2);
    for (uint32_t pixel : bitmap.Pixels()) {
        EXPECT_EQ(pixel >> 24, 0xFFu);
        EXPECT_NEAR(static_cast<int>(pixel >> 16 & 0xFF), 250, 3);
        EXPECT_NEAR(static_cast<int>(pixel >> 8 & 0xFF), 125, 3);
        EXPECT_NEAR(static_cast<int>(pixel & 0xFF), 103, 3);
    }
}

TEST(PictureDecoders, PngKeepsExactColoursAndAlpha) {
    const Bytes png = Png2x2();
    const TBitmap bitmap = DecodePng(png.data(), png.size());
    ASSERT_EQ(bitmap.Width(), 2);
    ASSERT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.Pixels(), (Pixels{0xFFFF0000, 0x8000FF00, 0x000000FF, 0x280A141E}));
}

TEST(PictureDecoders, GifTransparentIndexHasNoAlpha) {
    const Bytes gif = Gif2x2();
    const TBitmap bitmap = DecodeGif(gif.data(), gif.size());
    ASSERT_EQ(bitmap.Width(), 2);
    ASSERT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(bitmap.Pixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(bitmap.Pixel(1, 0) >> 24, 0u);
    EXPECT_EQ(bitmap.Pixel(0, 1) >> 24, 0u);
}

// The DC table replaced by one of 512 codes, each with its symbol, which would take stb_image
// past its 257-entry table.
Bytes JpegWithOverfullTable() {
    Bytes jpeg = Jpeg3x2();
    const uint8_t marker[] = {0xFF, 0xC4};
    const auto dht = std::search(jpeg.begin(), jpeg.end(), std::begin(marker), std::end(marker));
    Bytes table = {0xFF, 0xC4, 0x02, 0x13, 0x00};  // length 2 + 17 + 512
    table.resize(table.size() + 16, 0x20);
    table.resize(table.size() + 512, 0);
    const auto at = jpeg.erase(dht, dht + 23);
    jpeg.insert(at, table.begin(), table.end());
    return jpeg;
}

TEST(PictureDecoders, RejectWrongAndBrokenData) {
    Bytes hugeGif = Gif2x2();
    for (size_t i = 6; i < 10; ++i) hugeGif[i] = 0xFF;  // 65535 x 65535
    Bytes cutPng = Png2x2();
    cutPng.resize(cutPng.size() / 2);
    const Bytes garbage = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};

    struct Case {
        const char* name;
        Decoder decode;
        Bytes bytes;
        const char* prefix;
    };
    const Case cases[] = {
        {"garbage as JPEG", DecodeJpeg, garbage, "JPEG image is not valid ("},
        {"garbage as GIF", DecodeGif, garbage, "GIF image is not valid ("},
        {"garbage as PNG", DecodePng, garbage, "PNG image is not valid ("},
        {"nothing as JPEG", DecodeJpeg, {}, "JPEG image is not valid ("},
        {"PNG as JPEG", DecodeJpeg, Png2x2(), "JPEG image is not valid ("},
        {"GIF as JPEG", DecodeJpeg, Gif2x2(), "JPEG image is not valid ("},
        {"JPEG as GIF", DecodeGif, Jpeg3x2(), "GIF image is not valid ("},
        {"GIF as PNG", DecodePng, Gif2x2(), "PNG image is not valid ("},
        {"huge GIF", DecodeGif, hugeGif, "GIF image is not valid (picture too large)"},
        {"overfull Huffman table", DecodeJpeg, JpegWithOverfullTable(), "JPEG image is not valid (bad Huffman table)"},
        {"cut PNG", DecodePng, cutPng, "PNG image is not valid ("},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string error = DecodeError(c.decode, c.bytes);
        EXPECT_EQ(error.rfind(c.prefix, 0), 0u) << error;
        EXPECT_EQ(error.back(), ')');
    }
}

}  // namespace
}  // namespace kestrix
