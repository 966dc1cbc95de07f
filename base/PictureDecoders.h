// Decoders of compressed picture formats into bitmaps.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/Bitmap.h"

namespace kestrix {

// Each raises EInvalidGraphic with a message that names the format and the reason.
TBitmap DecodeJpeg(const uint8_t* data, size_t size);
TBitmap DecodeGif(const uint8_t* data, size_t size);  // the first frame
TBitmap DecodePng(const uint8_t* data, size_t size);

}  // namespace kestrix
