// A stream held in memory: a growable byte buffer with a position.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Stream.h"

namespace kestrix {

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }

    // Sets the size, keeping the bytes below it; the position is not moved.
    void SetSize(size_t size) { bytes_.resize(size); }
    void Clear();

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    uint8_t* Data() { return bytes_.data(); }

    // Whole-file helpers; raise EFOpenError or the stream errors.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

private:
    std::vector<uint8_t> bytes_;
    int64_t position_ = 0;
};

}  // namespace kestrix
