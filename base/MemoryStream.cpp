#include "base/MemoryStream.h"

#include <algorithm>
#include <cstring>

#include "base/Exception.h"
#include "base/FileStream.h"

namespace kestrix {

size_t TMemoryStream::Read(void* buffer, size_t count) {
    const int64_t available = Size() - position_;
    if (available <= 0 || count == 0) return 0;
    const size_t n = std::min(count, static_cast<size_t>(available));
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += static_cast<int64_t>(n);
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
    if (count == 0) return 0;
    const size_t end = static_cast<size_t>(position_) + count;
    if (end > bytes_.size()) bytes_.resize(end);
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ = static_cast<int64_t>(end);
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
    const int64_t base = origin == SeekOrigin::Beginning ? 0 : origin == SeekOrigin::Current ? position_ : Size();
    const int64_t target = base + offset;
    if (target >= 0) position_ = target;
    return position_;
}

void TMemoryStream::Clear() {
    bytes_.clear();
    bytes_.shrink_to_fit();
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, FileAccess::Read, FileShare::DenyWrite);
    const int64_t size = file.Size();
    if (size < 0 || static_cast<uint64_t>(size) > SIZE_MAX / 2) throw EReadError();
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    file.ReadBuffer(bytes.data(), bytes.size());
    bytes_ = std::move(bytes);
    position_ = 0;
}

void TMemoryStream::SaveToFile(const std::string& fileName) const {
    TFileStream file(fileName, FileAccess::Create, FileShare::Exclusive);
    file.WriteBuffer(bytes_.data(), bytes_.size());
}

}  // namespace kestrix
