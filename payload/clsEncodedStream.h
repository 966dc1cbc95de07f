// The file stream through which every payload byte passes: each byte is stored shifted
// by a fixed constant, so the payload does not show its texts in plain sight.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/FileStream.h"

namespace kestrix {

// The same in the builder and the runtime; changing it breaks every compiled screen saver.
constexpr uint8_t kPayloadShift = 0x4B;

class TEncodedStream : public TFileStream {
public:
    TEncodedStream(const std::string& fileName, FileAccess access, FileShare share);

    // Stores each byte as (b + Shift) mod 256; the caller's buffer is left unchanged.
    size_t Write(const void* buffer, size_t count) override;
    // Returns each stored byte as (s - Shift) mod 256.
    size_t Read(void* buffer, size_t count) override;

    const uint8_t Shift = kPayloadShift;

private:
    std::vector<uint8_t> scratch_;  // shifted copy of what is being written
};

}  // namespace kestrix
