#include "tools/helpwriter/ByteWriter.h"

namespace kestrix {

void ByteWriter::U16(uint16_t value) {
    bytes_.push_back(static_cast<uint8_t>(value));
    bytes_.push_back(static_cast<uint8_t>(value >> 8));
}

void ByteWriter::U32(uint32_t value) {
    U16(static_cast<uint16_t>(value));
    U16(static_cast<uint16_t>(value >> 16));
}

void ByteWriter::StringZ(const std::string& text) {
    if (text.find('\0') != std::string::npos) throw HelpWriterError("a text holds a NUL character");
    Append(text);
    U8(0);
}

void ByteWriter::Fixed(const std::string& text, size_t width) {
    if (text.size() > width)
        throw HelpWriterError("\"" + text + "\" is longer than its field of " + std::to_string(width) + " bytes");
    Append(text);
    Zeros(width - text.size());
}

void ByteWriter::CompressedU16(uint32_t value) {
    if (value < 0x80)
        U8(static_cast<uint8_t>(value * 2));
    else if (value < 0x8000)
        U16(static_cast<uint16_t>(value * 2 + 1));
    else
        throw HelpWriterError("value " + std::to_string(value) + " does not fit a compressed 16-bit field");
}

void ByteWriter::CompressedS16(int32_t value) {
    // Stored with a bias, so that small negative indents also take one byte.
    if (value >= -0x40 && value < 0x40)
        U8(static_cast<uint8_t>((value + 0x40) * 2));
    else if (value >= -0x4000 && value < 0x4000)
        U16(static_cast<uint16_t>((value + 0x4000) * 2 + 1));
    else
        throw HelpWriterError("value " + std::to_string(value) + " does not fit a compressed 16-bit field");
}

void ByteWriter::CompressedU32(uint32_t value) {
    if (value < 0x8000)
        U16(static_cast<uint16_t>(value * 2));
    else if (value < 0x80000000u)
        U32(value * 2 + 1);
    else
        throw HelpWriterError("value " + std::to_string(value) + " does not fit a compressed 32-bit field");
}

void ByteWriter::CompressedS32(int32_t value) {
    if (value >= -0x4000 && value < 0x4000)
        U16(static_cast<uint16_t>((value + 0x4000) * 2));
    else if (value >= -0x4000000 && value < 0x7C000000)
        U32(static_cast<uint32_t>(value + 0x4000000) * 2 + 1);
    else
        throw HelpWriterError("value " + std::to_string(value) + " does not fit a compressed 32-bit field");
}

void ByteWriter::PatchU32(size_t offset, uint32_t value) {
    if (offset + 4 > bytes_.size()) throw HelpWriterError("patch past the end of the data");
    for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace kestrix
