// Feeds arbitrary bytes to the movie loader: it must refuse them with a message or load them,
// never read out of bounds, allocate without limit or hang.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "swf/Player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const auto movie = kestrix::swf::Movie::Load(data, size, error);
    // Exactly one of a movie and a reason.
    if ((movie == nullptr) == error.empty()) std::abort();
    if (movie && (movie->FrameCount() < 1 || !(movie->FrameRate() > 0))) std::abort();
    return 0;
}
