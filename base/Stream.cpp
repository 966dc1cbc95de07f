#include "base/Stream.h"

#include <algorithm>
#include <vector>

#include "base/Exception.h"

namespace kestrix {

namespace {
// Large enough to keep system calls few, small enough to stay in cache.
constexpr int64_t kCopyChunk = 1 << 20;
}  // namespace

int64_t TStream::Size() {
    const int64_t position = Position();
    const int64_t size = Seek(0, SeekOrigin::End);
    Seek(position, SeekOrigin::Beginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, size_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EWriteError();
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<unsigned char> chunk(static_cast<size_t>(std::min(count, kCopyChunk)));
    int64_t left = count;
    while (left > 0) {
        const size_t n = static_cast<size_t>(std::min(left, kCopyChunk));
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        left -= static_cast<int64_t>(n);
    }
    return count;
}

int64_t TStream::Remaining() {
    const int64_t position = Position();
    const int64_t size = Size();
    return position < size ? size - position : 0;
}

}  // namespace kestrix
