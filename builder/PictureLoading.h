// Logo pictures: JPEG, GIF or BMP files turned into a bitmap for the payload.
#pragma once

#include <string>

#include "base/Bitmap.h"

namespace kestrix {

// Chooses the reader by the file's extension in lower case: ".jpg" and ".jpeg", ".gif",
// ".bmp". Any other extension gives an empty bitmap. An unreadable file raises the file's
// open error; a picture that cannot be decoded raises EInvalidGraphic.
TBitmap LoadPictureAsBitmap(const std::string& fileName);

}  // namespace kestrix
