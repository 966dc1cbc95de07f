// The small badge under the configuration window's logo, telling that the screen saver
// plays a Flash movie. Drawn at run time, so no picture file is carried.
#pragma once

#include "base/Bitmap.h"

namespace kestrix {

constexpr int kBadgeWidth = 131;
constexpr int kBadgeHeight = 21;

TBitmap FlashContentBadge();

}  // namespace kestrix
