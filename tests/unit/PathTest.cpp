#include <gtest/gtest.h>

#include "base/Path.h"
#include "tests/unit/TestFiles.h"

using namespace kestrix;
using namespace kestrix::test;

TEST(PathTest, PartsOfAPathUseThePlatformsDelimiters) {
#ifdef _WIN32
    EXPECT_EQ(ExtractFilePath("C:\\Savers\\movie.swf"), "C:\\Savers\\");
    EXPECT_EQ(ExtractFilePath("C:movie.swf"), "C:");
    EXPECT_EQ(ExtractFileName("C:\\a.b\\movie"), "movie");
    EXPECT_EQ(ExtractFilePath("a/b"), "");
#else
    EXPECT_EQ(ExtractFilePath("/savers/movie.swf"), "/savers/");
    EXPECT_EQ(ExtractFilePath("C:\\Savers\\movie.swf"), "");
    EXPECT_EQ(ExtractFileName("/a.b/movie"), "movie");
#endif
    EXPECT_EQ(ExtractFileExt("logo.tar.JPEG"), ".JPEG");
    EXPECT_EQ(ExtractFileExt("noext"), "");
    EXPECT_EQ(ExtractFileExt(std::string("dir.d") + kPathDelimiter + "noext"), "");
}

TEST(PathTest, FileExistsIsFalseForADirectory) {
    TempDir dir;
    WriteText(dir.File("f.txt"), "x");
    EXPECT_TRUE(FileExists(dir.File("f.txt")));
    EXPECT_FALSE(FileExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir.File("none")));
    EXPECT_TRUE(DirectoryExists(dir.Path()));
}

TEST(PathTest, ForceDirectoriesCreatesEveryParent) {
    TempDir dir;
    const std::string d(1, kPathDelimiter);
    EXPECT_TRUE(ForceDirectories(dir.File("a") + d + "b" + d + "c" + d));
    EXPECT_TRUE(DirectoryExists(dir.File("a") + d + "b" + d + "c"));
    EXPECT_TRUE(ForceDirectories(dir.File("a")));  // already there
    WriteText(dir.File("file"), "x");
    EXPECT_FALSE(ForceDirectories(dir.File("file") + d + "sub"));
}
