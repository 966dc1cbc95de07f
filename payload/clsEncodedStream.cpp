#include "payload/clsEncodedStream.h"

#include <algorithm>

namespace kestrix {

namespace {
constexpr size_t kScratchSize = 256 * 1024;
}  // namespace

TEncodedStream::TEncodedStream(const std::string& fileName, FileAccess access, FileShare share)
    : TFileStream(fileName, access, share) {}

size_t TEncodedStream::Write(const void* buffer, size_t count) {
    const auto* plain = static_cast<const uint8_t*>(buffer);
    if (scratch_.size() < std::min(count, kScratchSize)) scratch_.resize(std::min(count, kScratchSize));
    size_t done = 0;
    while (done < count) {
        const size_t n = std::min(count - done, kScratchSize);
        for (size_t i = 0; i < n; ++i) scratch_[i] = static_cast<uint8_t>(plain[done + i] + Shift);
        const size_t written = TFileStream::Write(scratch_.data(), n);
        done += written;
        if (written != n) break;
    }
    return done;
}

size_t TEncodedStream::Read(void* buffer, size_t count) {
    const size_t n = TFileStream::Read(buffer, count);
    auto* bytes = static_cast<uint8_t*>(buffer);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(bytes[i] - Shift);
    return n;
}

}  // namespace kestrix
