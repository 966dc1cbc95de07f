// Compiling real screen savers with the built runtime, for the end-to-end tests of the runtime.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/win/GuiTestKit.h"

#include "builder/ProjectSettings.h"

namespace kestrix::test {

// The payload's byte shift, spelled out so the tests notice if it ever changes.
constexpr uint8_t kPayloadShiftForTests = 0x4B;

// Paths handed over by ctest, as Unix paths; set by the test program's main.
struct ScreenSaverPaths {
    std::string runtime;   // Kestrix.exe
    std::string control;   // SWFLASH.OCX
    std::string movie;     // a small real movie
};
extern ScreenSaverPaths gPaths;

class ScreenSaverFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string Compile();  // the settings into folder/saver.scr, returned
    std::string WriteLogo(int width, int height);
    std::string MovieBesideSaver() const { return folder_ + "ssgorun.dat"; }
    std::string RuntimePath() const;

    // Gives the input again and again until the program ends, and returns its exit code: on a
    // busy machine one input may come before the window is ready for it.
    static int EndWith(Process& program, const std::function<void()>& input);

    static std::wstring Wide(const std::string& text);
    static std::string ReadFile(const std::string& path);
    static void WriteFile(const std::string& path, const std::string& bytes);

    ProjectSettings settings;

private:
    std::string folder_;  // Windows path, with its final backslash
};

}  // namespace kestrix::test
