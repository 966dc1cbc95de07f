// Bounds-checked reading of the movie's little-endian bytes and bit fields. Reading past the
// end yields zeros and marks the reader as failed, so parsers check once at the end of a record
// instead of before every field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "swf/Geometry.h"

namespace kestrix::swf {

class Reader {
public:
    Reader() = default;
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Failed() const { return failed_; }
    void Fail() { failed_ = true; }
    size_t Position() const { return position_; }
    size_t Size() const { return size_; }
    size_t Remaining() const { return size_ - position_; }
    bool AtEnd() const { return position_ >= size_; }
    const uint8_t* Current() const { return data_ + position_; }

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    int16_t S16() { return static_cast<int16_t>(U16()); }
    double Fixed8() { return S16() / 256.0; }
    double Fixed16() { return static_cast<int32_t>(U32()) / 65536.0; }
    // Variable-length 32-bit integer of the later formats (7 bits a byte).
    uint32_t EncodedU32();

    uint32_t Bits(int count);
    int32_t SignedBits(int count);
    double FixedBits(int count) { return SignedBits(count) / 65536.0; }
    // Bit fields start on a byte boundary; call after the last bit field of a group.
    void AlignToByte() { bitCount_ = 0; }

    // Returns a pointer to count bytes and moves past them, or nullptr (and fails) if too few.
    const uint8_t* Bytes(size_t count);
    void Skip(size_t count) { Bytes(count); }
    // Up to the terminating zero (consumed); an unterminated string fails.
    std::string String();
    // A reader over the next count bytes (clipped to what is left), which this one moves past.
    Reader Sub(size_t count);

    Rect ReadRect();
    Matrix ReadMatrix();
    ColorTransform ReadColorTransform(bool withAlpha);
    uint32_t Rgb();   // opaque 0xFFRRGGBB
    uint32_t Rgba();  // 0xAARRGGBB from R, G, B, A bytes

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t position_ = 0;
    uint32_t bitBuffer_ = 0;
    int bitCount_ = 0;
    bool failed_ = false;
};

}  // namespace kestrix::swf
