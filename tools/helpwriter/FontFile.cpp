#include "tools/helpwriter/FontFile.h"

#include <string>
#include <vector>

namespace kestrix {

namespace {

constexpr size_t kFaceNameSize = 32;  // the size of a face name in a logical font
constexpr uint16_t kFontHeaderSize = 8;

enum FontAttribute : uint8_t { kBold = 0x01 };
constexpr uint8_t kSwissFamily = 3;  // the file's own numbering, not Windows' FF_SWISS

struct FontDescriptor {
    uint8_t attributes;
    uint8_t halfPoints;
    uint16_t face;
    uint32_t colour;  // 0xRRGGBB
};

const std::vector<std::string> kFaces = {"Tahoma", "Arial"};

// Indexed by HelpFont.
const std::vector<FontDescriptor> kDescriptors = {
    {0, 18, 0, 0x000000},
    {kBold, 18, 0, 0x000000},
    {kBold, 28, 1, 0x000080},
    {kBold, 20, 1, 0x000000},
};

}  // namespace

Bytes WriteFontFile() {
    ByteWriter out;
    uint16_t facesOffset = kFontHeaderSize;
    out.U16(static_cast<uint16_t>(kFaces.size()));
    out.U16(static_cast<uint16_t>(kDescriptors.size()));
    out.U16(facesOffset);
    out.U16(static_cast<uint16_t>(facesOffset + kFaces.size() * kFaceNameSize));
    for (const std::string& face : kFaces) out.Fixed(face, kFaceNameSize);
    for (const FontDescriptor& font : kDescriptors) {
        out.U8(font.attributes);
        out.U8(font.halfPoints);
        out.U8(kSwissFamily);
        out.U16(font.face);
        out.U8(static_cast<uint8_t>(font.colour >> 16));
        out.U8(static_cast<uint8_t>(font.colour >> 8));
        out.U8(static_cast<uint8_t>(font.colour));
        out.Zeros(3);  // background colour, unused
    }
    return out.Take();
}

}  // namespace kestrix
