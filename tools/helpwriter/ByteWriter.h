// Little-endian byte assembly for the help file's structures, including the variable-length
// numbers that topic records use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrix {

using Bytes = std::vector<uint8_t>;

// Raised for any help source or layout that cannot become a valid help file.
class HelpWriterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ByteWriter {
public:
    void U8(uint8_t value) { bytes_.push_back(value); }
    void U16(uint16_t value);
    void U32(uint32_t value);
    void S16(int16_t value) { U16(static_cast<uint16_t>(value)); }
    void S32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void Append(const Bytes& bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
    void Append(const std::string& text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
    void StringZ(const std::string& text);
    // The text in a field of `width` bytes, padded with NULs; a text that fills it has no NUL.
    void Fixed(const std::string& text, size_t width);
    void Zeros(size_t count) { bytes_.insert(bytes_.end(), count, 0); }

    // One byte for small values, two (or four) with the low bit set for larger ones.
    void CompressedU16(uint32_t value);
    void CompressedS16(int32_t value);
    void CompressedU32(uint32_t value);
    void CompressedS32(int32_t value);

    void PatchU32(size_t offset, uint32_t value);

    size_t Size() const { return bytes_.size(); }
    const Bytes& Data() const { return bytes_; }
    Bytes Take() { return std::move(bytes_); }

private:
    Bytes bytes_;
};

}  // namespace kestrix
