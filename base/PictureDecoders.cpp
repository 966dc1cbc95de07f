#include "base/PictureDecoders.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

// One implementation of stb_image for the whole program; PNG is here for other readers.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_ONLY_GIF
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS (1 << 16)
// stb_image does not clear its JPEG decoder state, so a scan naming a Huffman table that was
// never defined would decode with garbage. Zeroed memory makes such tables harmless.
#define STBI_MALLOC(size) std::calloc(1, size)
#define STBI_REALLOC(pointer, size) std::realloc(pointer, size)
#define STBI_FREE(pointer) std::free(pointer)
#include "stb_image.h"

namespace kestrix {

namespace {

struct Format {
    const char* name;
    int (*test)(stbi__context*);
    // Optional; refuses what would take stb_image out of bounds, before it sees the data.
    bool (*safeForStb)(const uint8_t* data, size_t size);
    const char* unsafeReason;
};

[[noreturn]] void Fail(const Format& format, const std::string& reason) {
    throw EInvalidGraphic(std::string(format.name) + " image is not valid (" + reason + ")");
}

[[noreturn]] void FailWithStbReason(const Format& format) {
    const char* reason = stbi_failure_reason();
    Fail(format, reason != nullptr ? reason : "unknown error");
}

uint32_t Get32BigEndian(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
           static_cast<uint32_t>(p[3]);
}

// stb_image grows its buffer for compressed PNG data to what a chunk claims before reading
// it, so chunks longer than the file are refused here first.
bool PngChunksFit(const uint8_t* data, size_t size) {
    constexpr size_t kSignatureSize = 8;
    constexpr size_t kChunkOverhead = 12;  // length, type and checksum
    size_t position = kSignatureSize;
    while (size - position >= kChunkOverhead) {
        const uint32_t length = Get32BigEndian(data + position);
        if (length > size - position - kChunkOverhead) return false;
        if (std::memcmp(data + position + 4, "IEND", 4) == 0) return true;
        position += kChunkOverhead + length;
    }
    return false;
}

// stb_image trusts the code counts of a Huffman table and writes past the table when they
// add up to more than 256. It reads the tables as counts and symbols until the segment
// length is used up, so they are checked the same way.
bool HuffmanTablesFit(const uint8_t* data, size_t size, size_t position) {
    constexpr size_t kCountsSize = 17;  // class and number, then counts of codes 1 to 16 bits long
    int64_t left = static_cast<int64_t>(data[position] << 8 | data[position + 1]) - 2;
    position += 2;
    while (left > 0) {
        if (size - position < kCountsSize) return false;
        size_t symbols = 0;
        for (size_t i = 1; i < kCountsSize; ++i) symbols += data[position + i];
        if (symbols > 256 || size - position - kCountsSize < symbols) return false;
        position += kCountsSize + symbols;
        left -= static_cast<int64_t>(kCountsSize + symbols);
    }
    return true;
}

// Huffman tables may come in any DHT segment, also between the scans of a progressive
// picture. Segments are skipped by their length, as stb_image does; other bytes, such as
// the coded data of a scan, are looked at one by one for the next marker.
bool JpegTablesFit(const uint8_t* data, size_t size) {
    constexpr uint8_t kHuffmanTables = 0xC4;
    constexpr uint8_t kEndOfImage = 0xD9;
    size_t position = 0;
    while (size - position >= 2) {
        const uint8_t marker = data[position + 1];
        // A stuffed zero, a fill byte, or a marker without a length: restarts, start, TEM.
        const bool standalone =
            marker == 0x00 || marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
        if (data[position] != 0xFF || standalone) {
            ++position;
            continue;
        }
        if (marker == kEndOfImage || size - position < 4) return true;
        if (marker == kHuffmanTables && !HuffmanTablesFit(data, size, position + 2)) return false;
        const size_t length = static_cast<size_t>(data[position + 2] << 8 | data[position + 3]);
        position += std::min(size - position, 2 + length);
    }
    return true;
}

const Format kJpeg{"JPEG", stbi__jpeg_test, JpegTablesFit, "bad Huffman table"};
const Format kGif{"GIF", stbi__gif_test, nullptr, nullptr};
const Format kPng{"PNG", stbi__png_test, PngChunksFit, "chunk runs past the end"};

void CheckFormatAndSize(const Format& format, const uint8_t* data, int size) {
    stbi__context context;
    stbi__start_mem(&context, data, size);
    if (format.test(&context) == 0) Fail(format, "not a " + std::string(format.name) + " file");
    if (format.safeForStb != nullptr && !format.safeForStb(data, static_cast<size_t>(size)))
        Fail(format, format.unsafeReason);
    int width = 0;
    int height = 0;
    int channels = 0;
    if (stbi_info_from_memory(data, size, &width, &height, &channels) == 0) FailWithStbReason(format);
    if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxPicturePixels)
        Fail(format, "picture too large");
}

TBitmap Decode(const Format& format, const uint8_t* data, size_t size) {
    if (data == nullptr || size == 0) Fail(format, "no data");
    if (size > INT_MAX) Fail(format, "file too large");
    const int length = static_cast<int>(size);
    CheckFormatAndSize(format, data, length);

    int width = 0;
    int height = 0;
    int channels = 0;
    const std::unique_ptr<stbi_uc, void (*)(void*)> rgba(
        stbi_load_from_memory(data, length, &width, &height, &channels, 4), stbi_image_free);
    if (!rgba) FailWithStbReason(format);

    TBitmap bitmap;
    bitmap.SetSize(width, height);
    const stbi_uc* p = rgba.get();
    for (uint32_t& pixel : bitmap.Pixels()) {
        pixel = static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[0]) << 16 |
                static_cast<uint32_t>(p[1]) << 8 | p[2];
        p += 4;
    }
    return bitmap;
}

}  // namespace

TBitmap DecodeJpeg(const uint8_t* data, size_t size) { return Decode(kJpeg, data, size); }
TBitmap DecodeGif(const uint8_t* data, size_t size) { return Decode(kGif, data, size); }
TBitmap DecodePng(const uint8_t* data, size_t size) { return Decode(kPng, data, size); }

}  // namespace kestrix
