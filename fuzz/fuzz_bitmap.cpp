// Feeds arbitrary bytes to every picture reader. A BMP that loads must also save and load
// back to the same colours, so the writer is checked against the reader.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/Bitmap.h"
#include "base/Exception.h"
#include "base/MemoryStream.h"
#include "base/PictureDecoders.h"

namespace {

using namespace kestrix;

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
    LoadBmp(data, size);
    Decode(DecodeJpeg, data, size);
    Decode(DecodeGif, data, size);
    Decode(DecodePng, data, size);
    return 0;
}
