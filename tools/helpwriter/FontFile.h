// |FONT: the face names and the font descriptors that topic text switches between by number.
#pragma once

#include "tools/helpwriter/ByteWriter.h"

namespace kestrix {

// Numbers of the descriptors WriteFontFile writes, in its order.
enum HelpFont : uint16_t {
    kBodyFont = 0,     // Tahoma 9 pt
    kBoldFont = 1,     // Tahoma 9 pt bold
    kTitleFont = 2,    // Arial 14 pt bold, the topic's title
    kHeadingFont = 3,  // Arial 10 pt bold
};

Bytes WriteFontFile();

}  // namespace kestrix
