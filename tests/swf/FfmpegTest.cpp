// An independent writer and reader: ffmpeg makes a movie of JPEG frames, and each frame the
// engine draws must match ffmpeg's own decoding of it. Skipped where ffmpeg is not installed.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "base/Exception.h"
#include "base/MemoryStream.h"
#include "base/PictureDecoders.h"
#include "tests/swf/TestSupport.h"

namespace kestrix::swf::test {
namespace {

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    TMemoryStream stream;
    stream.LoadFromFile(path);
    return stream.Bytes();
}

TEST(Ffmpeg, JpegFramesMatchFfmpegsOwnDecoding) {
    if (!Shell("ffmpeg -version")) GTEST_SKIP() << "ffmpeg is not installed";
    const std::string dir = ::testing::TempDir();
    const std::string movie = dir + "kx_ffmpeg.swf";
    // Two different frames (the test source moves), each a DefineBitsJPEG2 redefining the
    // same id after freeing it.
    ASSERT_TRUE(Shell("ffmpeg -y -f lavfi -i testsrc=size=64x48:rate=2 -frames:v 2 -c:v mjpeg -f swf " + movie));
    auto loaded = LoadOrFail(ReadFile(movie));
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->StageWidth(), 64);
    ASSERT_EQ(loaded->StageHeight(), 48);
    // ffmpeg numbers the pictures of the frames from 1.
    ASSERT_TRUE(Shell("ffmpeg -y -i " + movie + " " + dir + "kx_ffmpeg_%d.png"));
    Player player(loaded);
    for (int frame = 1; frame <= 2; ++frame) {
        const std::string picture = dir + "kx_ffmpeg_" + std::to_string(frame) + ".png";
        const std::vector<uint8_t> png = ReadFile(picture);
        const TBitmap expected = DecodePng(png.data(), png.size());
        const Picture drawn = Draw(player, 64, 48);
        int close = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) close += ColorNear(drawn.At(x, y), expected.Pixel(x, y), 6) ? 1 : 0;
        // Two JPEG decoders may round a few pixels differently, no more.
        EXPECT_GE(close, 64 * 48 * 98 / 100) << "frame " << frame;
        player.StepFrame();
        std::remove(picture.c_str());
    }
    std::remove(movie.c_str());
}

}  // namespace
}  // namespace kestrix::swf::test
