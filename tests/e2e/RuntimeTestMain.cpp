// The runtime's end-to-end tests: RUNTIME.exe CONTROL.OCX MOVIE.swf come from ctest.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/ScreenSaverFixture.h"
#include "tests/win/GuiTestKit.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: runtime-e2e KESTRIX.exe SWFLASH.OCX MOVIE.swf\n");
        return 2;
    }
    kestrix::test::gPaths = {argv[1], argv[2], argv[3]};
    kestrix::test::SaveScreenshotsOfFailures();
    return RUN_ALL_TESTS();
}
