// Bitmap definitions: every lossless pixel format, JPEG with shared tables, stray markers and
// an alpha plane, and PNG inside a JPEG tag.
#include <cstring>

#include <gtest/gtest.h>
#include <zlib.h>

#include "swf/BitmapParser.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

namespace kestrix::swf {
namespace {

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& plain) {
    uLongf size = compressBound(plain.size());
    std::vector<uint8_t> packed(size);
    compress(packed.data(), &size, plain.data(), plain.size());
    packed.resize(size);
    return packed;
}

struct LosslessCase {
    const char* name;
    int version;
    uint8_t format;
    int width;
    int height;
    int paletteSize;             // format 3 only
    std::vector<uint8_t> plain;  // palette and rows before packing
    std::vector<uint32_t> expected;
};

TEST(Bitmaps, LosslessFormatsGivePremultipliedPixels) {
    const LosslessCase cases[] = {
        {"8-bit palette, RGB",
         1,
         3,
         3,
         1,
         2,
         {255, 0, 0, 0, 255, 0, /* rows padded to 4 */ 0, 1, 0, 0},
         {0xFFFF0000, 0xFF00FF00, 0xFFFF0000}},
        {"8-bit palette, premultiplied RGBA", 2, 3, 1, 1, 1, {128, 0, 0, 128, 0, 0, 0, 0}, {0x80800000}},
        {"15-bit", 1, 4, 2, 1, 0, {0x7C, 0x00, 0x03, 0xE0}, {0xFFFF0000, 0xFF00FF00}},
        {"24-bit in 32", 1, 5, 1, 1, 0, {0, 0x12, 0x34, 0x56}, {0xFF123456}},
        {"32-bit premultiplied", 2, 5, 2, 1, 0, {0x80, 0x40, 0, 0, 0x10, 0xFF, 0, 0}, {0x80400000, 0x10100000}},
        {"rows missing", 1, 5, 1, 2, 0, {0, 0x12, 0x34, 0x56}, {0xFF123456, 0}},
    };
    for (const LosslessCase& c : cases) {
        std::vector<uint8_t> body = {c.format, static_cast<uint8_t>(c.width), 0, static_cast<uint8_t>(c.height), 0};
        if (c.format == 3) body.push_back(static_cast<uint8_t>(c.paletteSize - 1));
        const std::vector<uint8_t> packed = Deflate(c.plain);
        body.insert(body.end(), packed.begin(), packed.end());
        Reader reader(body.data(), body.size());
        BitmapCharacter bitmap;
        ParseBudget budget;
        ASSERT_TRUE(ParseDefineBitsLossless(reader, c.version, bitmap, budget)) << c.name;
        EXPECT_EQ(bitmap.pixels, c.expected) << c.name;
    }
}

TEST(Bitmaps, PicturesBeyondThePixelBudgetAreRefused) {
    const std::vector<uint8_t> body = {5, 0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x9C};
    Reader reader(body.data(), body.size());
    BitmapCharacter bitmap;
    ParseBudget budget;
    budget.pixelsLeft = 1000;
    EXPECT_FALSE(ParseDefineBitsLossless(reader, 2, bitmap, budget));
    EXPECT_TRUE(bitmap.pixels.empty());
}

void Collect(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// An 8 x 8 JPEG of one colour.
std::vector<uint8_t> FlatJpeg(uint32_t rgb) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 64; ++i)
        for (int shift : {16, 8, 0}) pixels.push_back(static_cast<uint8_t>(rgb >> shift));
    std::vector<uint8_t> jpeg;
    stbi_write_jpg_to_func(Collect, &jpeg, 8, 8, 3, pixels.data(), 100);
    return jpeg;
}

// Splits a JPEG into a table stream (its quantisation and Huffman tables) and an image
// stream (everything else), each with its own start and end markers, as DefineBits keeps them.
void SplitJpeg(const std::vector<uint8_t>& jpeg, std::vector<uint8_t>& tables, std::vector<uint8_t>& image) {
    tables = {0xFF, 0xD8};
    image = {0xFF, 0xD8};
    size_t p = 2;
    while (p + 4 <= jpeg.size() && jpeg[p + 1] != 0xDA) {
        const size_t length = static_cast<size_t>(jpeg[p + 2]) << 8 | jpeg[p + 3];
        std::vector<uint8_t>& to = jpeg[p + 1] == 0xDB || jpeg[p + 1] == 0xC4 ? tables : image;
        to.insert(to.end(), jpeg.begin() + p, jpeg.begin() + p + 2 + length);
        p += 2 + length;
    }
    image.insert(image.end(), jpeg.begin() + p, jpeg.end());
    tables.push_back(0xFF);
    tables.push_back(0xD9);
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

TEST(Bitmaps, JpegInEveryFormItComesIn) {
    const uint32_t color = 0x3366CC;
    const std::vector<uint8_t> jpeg = FlatJpeg(color);
    std::vector<uint8_t> tables, image;
    SplitJpeg(jpeg, tables, image);
    std::vector<uint8_t> strayMarkers = {0xFF, 0xD9, 0xFF, 0xD8};
    strayMarkers.insert(strayMarkers.end(), jpeg.begin(), jpeg.end());
    std::vector<uint8_t> joinedInOneTag = tables;
    joinedInOneTag.insert(joinedInOneTag.end(), image.begin(), image.end());

    struct Case {
        const char* name;
        int version;  // 1: DefineBits with the tables apart
        std::vector<uint8_t> data;
        std::vector<uint8_t> tables;
    };
    const Case cases[] = {
        {"plain", 2, jpeg, {}},
        {"stray end and start markers first", 2, strayMarkers, {}},
        {"tables and image joined in one tag", 2, joinedInOneTag, {}},
        {"tables in their own tag", 1, image, tables},
    };
    for (const Case& c : cases) {
        Reader reader(c.data.data(), c.data.size());
        BitmapCharacter bitmap;
        ParseBudget budget;
        const bool ok = c.version == 1 ? ParseDefineBits(reader, c.tables, bitmap, budget)
                                       : ParseDefineBitsJpeg(reader, c.version, bitmap, budget);
        ASSERT_TRUE(ok) << c.name;
        ASSERT_EQ(bitmap.width, 8) << c.name;
        EXPECT_TRUE(Near(bitmap.pixels[27], 0xFF000000 | color, 3)) << c.name << std::hex << " " << bitmap.pixels[27];
        EXPECT_TRUE(bitmap.opaque);
    }
}

TEST(Bitmaps, JpegAlphaPlaneMakesPremultipliedPixels) {
    const std::vector<uint8_t> jpeg = FlatJpeg(0xFFFFFF);
    std::vector<uint8_t> body = {static_cast<uint8_t>(jpeg.size()), static_cast<uint8_t>(jpeg.size() >> 8), 0, 0};
    body.insert(body.end(), jpeg.begin(), jpeg.end());
    const std::vector<uint8_t> alpha = Deflate(std::vector<uint8_t>(64, 0x80));
    body.insert(body.end(), alpha.begin(), alpha.end());
    Reader reader(body.data(), body.size());
    BitmapCharacter bitmap;
    ParseBudget budget;
    ASSERT_TRUE(ParseDefineBitsJpeg(reader, 3, bitmap, budget));
    // White at half alpha: the colours are taken as already multiplied, so they are cut to 0x80.
    EXPECT_TRUE(Near(bitmap.pixels[0], 0x80808080, 1)) << std::hex << bitmap.pixels[0];
    EXPECT_FALSE(bitmap.opaque);
}

TEST(Bitmaps, PngInsideAJpegTagKeepsItsAlpha) {
    const uint8_t pixels[] = {255, 0, 0, 255, 0, 0, 255, 0};  // opaque red, transparent blue
    std::vector<uint8_t> png;
    stbi_write_png_to_func(Collect, &png, 2, 1, 4, pixels, 8);
    Reader reader(png.data(), png.size());
    BitmapCharacter bitmap;
    ParseBudget budget;
    ASSERT_TRUE(ParseDefineBitsJpeg(reader, 2, bitmap, budget));
    EXPECT_EQ(bitmap.pixels, (std::vector<uint32_t>{0xFFFF0000, 0}));
}

TEST(Bitmaps, CleaningJpegStreams) {
    struct Case {
        std::vector<uint8_t> in;
        std::vector<uint8_t> out;
    };
    const Case cases[] = {
        {{0xFF, 0xD8, 0xFF, 0xDA, 1, 2}, {0xFF, 0xD8, 0xFF, 0xDA, 1, 2}},
        {{0xFF, 0xD9, 0xFF, 0xD8, 0xFF, 0xDA, 1}, {0xFF, 0xD8, 0xFF, 0xDA, 1}},
        // Two streams: the table stream's end and the image's start go.
        {{0xFF, 0xD8, 0xFF, 0xDB, 0, 3, 9, 0xFF, 0xD9, 0xFF, 0xD8, 0xFF, 0xDA, 7},
         {0xFF, 0xD8, 0xFF, 0xDB, 0, 3, 9, 0xFF, 0xDA, 7}},
        // A segment claiming more than there is is kept as it is.
        {{0xFF, 0xD8, 0xFF, 0xDB, 0x7F, 0xFF, 1}, {0xFF, 0xD8, 0xFF, 0xDB, 0x7F, 0xFF, 1}},
        {{}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(CleanJpegStream(c.in.data(), c.in.size()), c.out);
}

}  // namespace
}  // namespace kestrix::swf
