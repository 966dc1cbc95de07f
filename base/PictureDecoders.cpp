#include "base/PictureDecoders.h"

#include <climits>
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
#include "stb_image.h"

namespace kestrix {

namespace {

struct Format {
    const char* name;
    int (*test)(stbi__context*);
    bool (*structureFits)(const uint8_t* data, size_t size);  // optional, before stb_image sees the data
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

const Format kJpeg{"JPEG", stbi__jpeg_test, nullptr};
const Format kGif{"GIF", stbi__gif_test, nullptr};
const Format kPng{"PNG", stbi__png_test, PngChunksFit};

void CheckFormatAndSize(const Format& format, const uint8_t* data, int size) {
    stbi__context context;
    stbi__start_mem(&context, data, size);
    if (format.test(&context) == 0) Fail(format, "not a " + std::string(format.name) + " file");
    if (format.structureFits != nullptr && !format.structureFits(data, static_cast<size_t>(size)))
        Fail(format, "corrupt chunk");
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
