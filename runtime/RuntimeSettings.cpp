#include "runtime/RuntimeSettings.h"

#include <algorithm>

namespace kestrix {

MemoScrollBars ScrollBarsFor(int scrollBarIndex) {
    const bool known = scrollBarIndex >= 0 && scrollBarIndex <= 3;
    return {known && (scrollBarIndex & 1) != 0, known && (scrollBarIndex & 2) != 0};
}

PixelSize ConfigClientSizeForLogo(int logoWidth, int logoHeight, int frameWidth, int frameHeight) {
    const int clientWidth = logoWidth + 351 - frameWidth;
    const int clientHeight = logoHeight + 75 - frameHeight;
    return {std::max(clientWidth, kConfigMinClientWidth), std::max(clientHeight, kConfigMinClientHeight)};
}

}  // namespace kestrix
