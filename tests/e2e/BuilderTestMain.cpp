// The builder's end-to-end tests. ctest passes KestrixCompiler.exe kestrixc.exe Kestrix.exe
// general.kcp HELP_FOLDER MOVIE.swf, as built in the same tree.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/BuilderFixture.h"
#include "tests/win/GuiTestKit.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 7) {
        std::fprintf(stderr,
                     "usage: builder-e2e KestrixCompiler.exe kestrixc.exe Kestrix.exe general.kcp HELP_FOLDER "
                     "MOVIE.swf\n");
        return 2;
    }
    kestrix::test::gBuilderPaths = {argv[1], argv[2], argv[3], argv[4], argv[5], argv[6]};
    kestrix::test::SaveScreenshotsOfFailures();
    return RUN_ALL_TESTS();
}
