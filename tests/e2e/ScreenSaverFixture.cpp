#include "tests/e2e/ScreenSaverFixture.h"

#include <windows.h>

#include <fstream>
#include <iterator>

#include "base/Bitmap.h"
#include "base/MemoryStream.h"
#include "base/Path.h"
#include "builder/Compile.h"
#include "payload/TResourceToExeUnit.h"
#include "tests/win/GuiTestKit.h"

namespace kestrix::test {

ScreenSaverPaths gPaths;

void ScreenSaverFixture::SetUp() {
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::string(temp) + "kestrix-e2e-" + info->name() + "\\";
    ForceDirectories(folder_);
    settings.SSNameVersion = "Kestrix Test Saver 1.0";
    settings.FlashFile = Narrow(DosPath(gPaths.movie));
    settings.Scale = 0;
    settings.Alignment = 4;
    settings.Title = "Test Title";
    settings.Website = "http://example.org/";
    settings.Email = "saver@example.org";
    settings.CopyrightText = "First line\r\nSecond line\r\n\r\nCopyright \xA9 2026";
    settings.ScrollBar = 0;
    settings.OutputDir = folder_;
    settings.OutputFilename = "saver";
}

void ScreenSaverFixture::TearDown() {
    RemoveFile(folder_ + "saver.scr");
    RemoveFile(folder_ + "ssgorun.dat");
    RemoveFile(folder_ + "logo.bmp");
    RemoveDirectoryA(folder_.c_str());
}

std::string ScreenSaverFixture::RuntimePath() const { return Narrow(DosPath(gPaths.runtime)); }

std::string ScreenSaverFixture::Compile() {
    TResourceToExe container;
    return CompileProject(settings, container, folder_, RuntimePath()).ScreenSaver;
}

std::string ScreenSaverFixture::WriteLogo(int width, int height) {
    TBitmap logo;
    logo.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) logo.SetPixel(x, y, 0xFF000000u | (x * 255 / width) << 16 | 0x60 << 8 | 0xC0);
    TMemoryStream stream;
    logo.SaveToStream(stream);
    stream.SaveToFile(folder_ + "logo.bmp");
    return folder_ + "logo.bmp";
}

int ScreenSaverFixture::EndWith(Process& program, const std::function<void()>& input) {
    const auto deadline = std::chrono::steady_clock::now() + kDefaultTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        input();
        if (WaitForSingleObject(program.Handle(), 1000) == WAIT_OBJECT_0) break;
    }
    return program.WaitForExit(Milliseconds(1000));
}

std::wstring ScreenSaverFixture::Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string ScreenSaverFixture::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ScreenSaverFixture::WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kestrix::test
