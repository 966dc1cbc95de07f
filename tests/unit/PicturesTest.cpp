#include <gtest/gtest.h>

#include "builder/Pictures.h"

using namespace kestrix;

namespace {

// Tool bars and menus draw a pixel or leave it out; a half-transparent one would come out wrong.
bool OnlyOpaqueOrClear(const TBitmap& picture) {
    for (const uint32_t pixel : picture.Pixels())
        if ((pixel >> 24) != 0 && (pixel >> 24) != 0xFF) return false;
    return true;
}

bool HasOpaquePixels(const TBitmap& picture) {
    for (const uint32_t pixel : picture.Pixels())
        if ((pixel >> 24) == 0xFF) return true;
    return false;
}

TEST(PicturesTest, ActionImagesAreSmallDistinctAndDrawnOrLeftOut) {
    const std::vector<TBitmap> images = ActionImages();
    ASSERT_EQ(images.size(), static_cast<size_t>(kActionImageCount));
    for (size_t i = 0; i < images.size(); ++i) {
        EXPECT_EQ(images[i].Width(), kActionImageSize) << i;
        EXPECT_EQ(images[i].Height(), kActionImageSize) << i;
        EXPECT_TRUE(OnlyOpaqueOrClear(images[i])) << i;
        EXPECT_EQ(HasOpaquePixels(images[i]), i != 0) << "only image 0, which no action shows, is empty: " << i;
        for (size_t j = 1; j < i; ++j) EXPECT_NE(images[i].Pixels(), images[j].Pixels()) << i << " and " << j;
    }
}

TEST(PicturesTest, PreviewGlyphsAreDrawnOrLeftOut) {
    for (const TBitmap& glyph : {PlayGlyph(), StopGlyph()}) {
        EXPECT_EQ(glyph.Width(), 16);
        EXPECT_EQ(glyph.Height(), 16);
        EXPECT_TRUE(OnlyOpaqueOrClear(glyph));
        EXPECT_TRUE(HasOpaquePixels(glyph));
    }
    EXPECT_NE(PlayGlyph().Pixels(), StopGlyph().Pixels());
}

// The monitor is drawn leaving out its bottom-left colour: that colour must surround it and
// must not turn up in its screen or the frame around the preview, where it would make holes.
TEST(PicturesTest, TheMonitorsTransparentColourOnlySurroundsIt) {
    const TBitmap monitor = MonitorPicture();
    ASSERT_EQ(monitor.Width(), 250);
    ASSERT_EQ(monitor.Height(), 240);
    const uint32_t transparent = monitor.Pixel(0, monitor.Height() - 1);
    for (const auto& corner : {std::make_pair(0, 0), std::make_pair(249, 0), std::make_pair(249, 239)})
        EXPECT_EQ(monitor.Pixel(corner.first, corner.second), transparent);
    const PictureRect s = kMonitorScreen;
    for (int y = s.Top - 4; y < s.Top + s.Height + 4; ++y)
        for (int x = s.Left - 4; x < s.Left + s.Width + 4; ++x)
            ASSERT_NE(monitor.Pixel(x, y), transparent) << x << "," << y;
}

}  // namespace
