#include "swf/Inflate.h"

#include <algorithm>
#include <climits>

#include <zlib.h>

namespace kestrix::swf {

bool Inflate(const uint8_t* data, size_t size, size_t maxOutput, std::vector<uint8_t>& out) {
    out.clear();
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return false;
    constexpr size_t kChunk = 64 * 1024;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(std::min<size_t>(size, UINT_MAX));
    int status = Z_OK;
    while (status == Z_OK && out.size() < maxOutput) {
        const size_t before = out.size();
        const size_t grow = std::min(kChunk, maxOutput - before);
        out.resize(before + grow);
        stream.next_out = out.data() + before;
        stream.avail_out = static_cast<uInt>(grow);
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(before + (grow - stream.avail_out));
        // No progress with input left means a stream that cannot go on.
        if (status == Z_BUF_ERROR || (status == Z_OK && stream.avail_out == grow && stream.avail_in == 0)) break;
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END;
}

}  // namespace kestrix::swf
