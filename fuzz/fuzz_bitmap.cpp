// Feeds arbitrary bytes to every picture reader. A BMP that loads must also save and load
// back to the same colours, so the writer is checked against the reader.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/Bitmap.h"
#include "base/Exception.h"
#include "base/MemoryStream.h"
#include "base/PictureDecoders.h"

namespace {

using namespace kestrix;

// Readers accept up to kMaxPicturePixels, but a picture that large takes seconds under the
// sanitizers, and the fuzzer learns more from many small ones. Headers declaring more than
// this are left out; unit tests cover the cap itself.
constexpr uint64_t kFuzzPixels = 1 << 22;

uint64_t Le16(const uint8_t* p) { return p[0] | p[1] << 8; }
uint64_t Be16(const uint8_t* p) { return p[0] << 8 | p[1]; }
uint64_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }
uint64_t Be32(const uint8_t* p) { return Be16(p) << 16 | Be16(p + 2); }

uint64_t Magnitude(uint64_t le32) {
    const int64_t value = static_cast<int32_t>(static_cast<uint32_t>(le32));
    return static_cast<uint64_t>(value < 0 ? -value : value);
}

// The first frame header found by a rough walk of the segments; enough to spot big pictures.
uint64_t JpegPixels(const uint8_t* data, size_t size) {
    size_t position = 2;
    while (position + 9 <= size) {
        const uint8_t marker = data[position + 1];
        if (data[position] != 0xFF || marker == 0xFF || marker == 0x00 || (marker >= 0xD0 && marker <= 0xD9)) {
            ++position;
        } else if (marker >= 0xC0 && marker <= 0xC2) {
            return Be16(data + position + 5) * Be16(data + position + 7);
        } else {
            position += 2 + Be16(data + position + 2);
        }
    }
    return 0;
}

uint64_t DeclaredPixels(const uint8_t* data, size_t size) {
    if (size >= 26 && data[0] == 'B' && data[1] == 'M') {
        if (Le32(data + 14) == 12) return Le16(data + 18) * Le16(data + 20);
        return Magnitude(Le32(data + 18)) * Magnitude(Le32(data + 22));
    }
    if (size >= 10 && std::memcmp(data, "GIF", 3) == 0) return Le16(data + 6) * Le16(data + 8);
    if (size >= 24 && data[0] == 0x89 && data[1] == 'P')
        return std::min<uint64_t>(Be32(data + 16), 1 << 20) * std::min<uint64_t>(Be32(data + 20), 1 << 20);
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8) return JpegPixels(data, size);
    return 0;
}

// Any failure here is a fault: what was read must be writable and readable again.
void RoundTrip(const TBitmap& bitmap) {
    TBitmap reloaded;
    try {
        TMemoryStream saved;
        bitmap.SaveToStream(saved);
        saved.SetPosition(0);
        reloaded.LoadFromStream(saved);
    } catch (const Exception&) {
        std::abort();
    }
    if (reloaded.Width() != bitmap.Width() || reloaded.Height() != bitmap.Height()) std::abort();
    for (size_t i = 0; i < bitmap.Pixels().size(); ++i)
        if (((reloaded.Pixels()[i] ^ bitmap.Pixels()[i]) & 0x00FFFFFF) != 0) std::abort();
}

void LoadBmp(const uint8_t* data, size_t size) {
    try {
        TMemoryStream stream(std::vector<uint8_t>(data, data + size));
        TBitmap bitmap;
        bitmap.LoadFromStream(stream);
        RoundTrip(bitmap);
    } catch (const Exception&) {
        // Refusing bad bytes is the expected outcome.
    }
}

void Decode(TBitmap (*decode)(const uint8_t*, size_t), const uint8_t* data, size_t size) {
    try {
        decode(data, size);
    } catch (const Exception&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (DeclaredPixels(data, size) > kFuzzPixels) return 0;
    LoadBmp(data, size);
    Decode(DecodeJpeg, data, size);
    Decode(DecodeGif, data, size);
    Decode(DecodePng, data, size);
    return 0;
}
