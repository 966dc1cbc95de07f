// zlib decompression with a hard limit on the output size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrix::swf {

// Inflates a zlib stream into out, stopping at maxOutput bytes. Returns true when the stream
// ended cleanly; on a corrupt or truncated stream out keeps what was decoded so far.
bool Inflate(const uint8_t* data, size_t size, size_t maxOutput, std::vector<uint8_t>& out);

}  // namespace kestrix::swf
