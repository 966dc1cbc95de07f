// Decoding the movie's bitmap definitions: JPEG (with shared tables and an alpha plane),
// PNG and GIF inside JPEG tags, and the zlib-packed lossless formats.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/Characters.h"
#include "swf/Reader.h"
#include "swf/ShapeParser.h"

namespace kestrix::swf {

// Each reads the whole tag body after the character id and returns false when the picture
// cannot be decoded (the character is then left out, which draws nothing).
bool ParseDefineBits(Reader& reader, const std::vector<uint8_t>& jpegTables, BitmapCharacter& bitmap,
                     ParseBudget& budget);
bool ParseDefineBitsJpeg(Reader& reader, int jpegVersion, BitmapCharacter& bitmap, ParseBudget& budget);
bool ParseDefineBitsLossless(Reader& reader, int losslessVersion, BitmapCharacter& bitmap, ParseBudget& budget);

// Repairs JPEG streams as old movies store them: a stray end and start marker pair before the
// real start, or a table stream and an image stream joined with their markers in between.
std::vector<uint8_t> CleanJpegStream(const uint8_t* data, size_t size);

}  // namespace kestrix::swf
