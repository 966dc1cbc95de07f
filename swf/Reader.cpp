#include "swf/Reader.h"

#include <algorithm>
#include <cstring>

namespace kestrix::swf {

uint8_t Reader::U8() {
    bitCount_ = 0;
    if (position_ >= size_) {
        failed_ = true;
        return 0;
    }
    return data_[position_++];
}

uint16_t Reader::U16() {
    const uint8_t low = U8();
    return static_cast<uint16_t>(low | U8() << 8);
}

uint32_t Reader::U32() {
    const uint32_t low = U16();
    return low | static_cast<uint32_t>(U16()) << 16;
}

uint32_t Reader::EncodedU32() {
    uint32_t value = 0;
    for (int i = 0; i < 5; ++i) {
        const uint8_t byte = U8();
        value |= static_cast<uint32_t>(byte & 0x7F) << (7 * i);
        if ((byte & 0x80) == 0) break;
    }
    return value;
}

uint32_t Reader::Bits(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        if (bitCount_ == 0) {
            if (position_ >= size_) {
                failed_ = true;
                return 0;
            }
            bitBuffer_ = data_[position_++];
            bitCount_ = 8;
        }
        --bitCount_;
        value = value << 1 | ((bitBuffer_ >> bitCount_) & 1);
    }
    return value;
}

int32_t Reader::SignedBits(int count) {
    if (count <= 0) return 0;
    const uint32_t value = Bits(count);
    if (count >= 32) return static_cast<int32_t>(value);
    const uint32_t sign = 1u << (count - 1);
    return static_cast<int32_t>((value ^ sign) - sign);
}

const uint8_t* Reader::Bytes(size_t count) {
    bitCount_ = 0;
    if (count > size_ - position_) {
        failed_ = true;
        position_ = size_;
        return nullptr;
    }
    const uint8_t* p = data_ + position_;
    position_ += count;
    return p;
}

std::string Reader::String() {
    bitCount_ = 0;
    const uint8_t* start = data_ + position_;
    const void* zero = std::memchr(start, 0, size_ - position_);
    if (zero == nullptr) {
        failed_ = true;
        position_ = size_;
        return {};
    }
    const size_t length = static_cast<const uint8_t*>(zero) - start;
    position_ += length + 1;
    return std::string(reinterpret_cast<const char*>(start), length);
}

Reader Reader::Sub(size_t count) {
    bitCount_ = 0;
    const size_t taken = std::min(count, size_ - position_);
    Reader sub(data_ + position_, taken);
    position_ += taken;
    if (taken < count) failed_ = true;
    return sub;
}

Rect Reader::ReadRect() {
    AlignToByte();
    const int bits = static_cast<int>(Bits(5));
    Rect rect;
    rect.xMin = SignedBits(bits);
    rect.xMax = SignedBits(bits);
    rect.yMin = SignedBits(bits);
    rect.yMax = SignedBits(bits);
    AlignToByte();
    return rect;
}

Matrix Reader::ReadMatrix() {
    AlignToByte();
    Matrix m;
    if (Bits(1) != 0) {
        const int bits = static_cast<int>(Bits(5));
        m.a = FixedBits(bits);
        m.d = FixedBits(bits);
    }
    if (Bits(1) != 0) {
        const int bits = static_cast<int>(Bits(5));
        m.b = FixedBits(bits);
        m.c = FixedBits(bits);
    }
    const int bits = static_cast<int>(Bits(5));
    m.tx = SignedBits(bits);
    m.ty = SignedBits(bits);
    AlignToByte();
    return m;
}

ColorTransform Reader::ReadColorTransform(bool withAlpha) {
    AlignToByte();
    ColorTransform cx;
    const bool hasAdd = Bits(1) != 0;
    const bool hasMul = Bits(1) != 0;
    const int bits = static_cast<int>(Bits(4));
    const int channels = withAlpha ? 4 : 3;
    // Multipliers are 8.8 fixed point: 256 keeps a channel as it is.
    if (hasMul)
        for (int i = 0; i < channels; ++i) cx.mul[i] = static_cast<float>(SignedBits(bits)) / 256.0f;
    if (hasAdd)
        for (int i = 0; i < channels; ++i) cx.add[i] = static_cast<float>(SignedBits(bits));
    AlignToByte();
    return cx;
}

uint32_t Reader::Rgb() {
    const uint32_t r = U8();
    const uint32_t g = U8();
    const uint32_t b = U8();
    return 0xFF000000u | r << 16 | g << 8 | b;
}

uint32_t Reader::Rgba() {
    const uint32_t rgb = Rgb() & 0xFFFFFF;
    return static_cast<uint32_t>(U8()) << 24 | rgb;
}

}  // namespace kestrix::swf
