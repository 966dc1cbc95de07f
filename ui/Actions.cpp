#include "ui/Actions.h"


#include "ui/Application.h"

namespace kestrix {

namespace {

constexpr int kFirstActionId = 1000;  // clear of the controls' own ids
constexpr COLORREF kMaskColor = RGB(255, 0, 255);

HBITMAP CreateSection(int width, int height, WORD bitCount, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, as the pixels are kept
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// For the image list: 24 bits, the transparent pixels in the mask colour.
HBITMAP CreateMaskedBitmap(const TBitmap& image) {
    void* bits = nullptr;
    HBITMAP bitmap = CreateSection(image.Width(), image.Height(), 24, &bits);
    if (!bitmap || !bits) return bitmap;
    const size_t stride = (static_cast<size_t>(image.Width()) * 3 + 3) & ~static_cast<size_t>(3);
    for (int y = 0; y < image.Height(); ++y) {
        auto* row = static_cast<uint8_t*>(bits) + stride * static_cast<size_t>(y);
        for (int x = 0; x < image.Width(); ++x) {
            const uint32_t argb = image.Pixel(x, y);
            const bool clear = (argb >> 24) < 128;
            const COLORREF color = clear ? kMaskColor : RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
            row[x * 3] = GetBValue(color);
            row[x * 3 + 1] = GetGValue(color);
            row[x * 3 + 2] = GetRValue(color);
        }
    }
    return bitmap;
}

}  // namespace

TAction::TAction(int id, std::string caption, std::string category, int imageIndex, std::function<void()> onExecute)
    : id_(id),
      caption_(std::move(caption)),
      category_(std::move(category)),
      imageIndex_(imageIndex),
      onExecute_(std::move(onExecute)) {}

void TAction::Execute() const {
    if (!onExecute_) return;
    if (Application) Application->Guarded(onExecute_);
    else onExecute_();
}

TActionList::~TActionList() { ReleaseImages(); }

TAction* TActionList::Add(std::string caption, std::string category, int imageIndex,
                          std::function<void()> onExecute) {
    const int id = kFirstActionId + static_cast<int>(actions_.size());
    actions_.push_back(
        std::make_unique<TAction>(id, std::move(caption), std::move(category), imageIndex, std::move(onExecute)));
    return actions_.back().get();
}

TAction* TActionList::Find(int id) const {
    for (const auto& action : actions_)
        if (action->Id() == id) return action.get();
    return nullptr;
}

void TActionList::SetImages(const std::vector<TBitmap>& images) {
    ReleaseImages();
    if (images.empty()) return;
    imageList_ = ImageList_Create(images.front().Width(), images.front().Height(), ILC_COLOR24 | ILC_MASK,
                                  static_cast<int>(images.size()), 0);
    for (const TBitmap& image : images) {
        const HBITMAP picture = CreateMaskedBitmap(image);
        ImageList_AddMasked(imageList_, picture, kMaskColor);
        DeleteObject(picture);
    }
}

void TActionList::ReleaseImages() {
    if (imageList_) ImageList_Destroy(imageList_);
    imageList_ = nullptr;
}

}  // namespace kestrix
