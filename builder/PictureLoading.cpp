#include "builder/PictureLoading.h"

#include "base/MemoryStream.h"
#include "base/Path.h"
#include "base/PictureDecoders.h"
#include "base/Text.h"

namespace kestrix {

TBitmap LoadPictureAsBitmap(const std::string& fileName) {
    const std::string extension = LowerCase(ExtractFileExt(fileName));
    TMemoryStream file;
    file.LoadFromFile(fileName);
    const uint8_t* data = file.Bytes().data();
    const size_t size = file.Bytes().size();
    if (extension == ".jpg" || extension == ".jpeg") return DecodeJpeg(data, size);
    if (extension == ".gif") return DecodeGif(data, size);
    TBitmap bitmap;
    if (extension == ".bmp") bitmap.LoadFromStream(file);
    return bitmap;
}

}  // namespace kestrix
