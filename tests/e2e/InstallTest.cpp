// The runtime's control check and installation, its single instance and its modes, end to
// end in the test run's Wine prefix. Every test starts from a machine without the control.
#include <gtest/gtest.h>

#include <thread>

#include "base/Path.h"
#include "flash/FlashIds.h"
#include "runtime/FlashInstall_win.h"
#include "tests/e2e/ScreenSaverFixture.h"
#include "tests/win/GuiTestKit.h"

using namespace kestrix;
using namespace kestrix::test;

namespace {

struct ControlFiles {
    std::string shipped, version4, version6;
};
ControlFiles gControls;

const WindowMatch kPlaybackWindow{L"TfrmScreenSaver", L""};
const WindowMatch kConfigWindow{L"TfrmConfig", L""};

std::string SystemFlashDir() {
    char buffer[MAX_PATH] = "";
    GetSystemDirectoryA(buffer, sizeof buffer);
    return std::string(buffer) + "\\Macromed\\Flash";
}

bool ClassRegistered() {
    HKEY key = nullptr;
    const std::string path = std::string("CLSID\\") + kFlashClassIdText + "\\InprocServer32";
    const bool found = RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (key) RegCloseKey(key);
    return found;
}

HRESULT CallServer(const std::string& library, const char* function) {
    const HMODULE module = LoadLibraryA(library.c_str());
    if (!module) return E_FAIL;
    auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(GetProcAddress(module, function)));
    const HRESULT result = entry ? entry() : E_FAIL;
    FreeLibrary(module);
    return result;
}

class InstallTest : public ScreenSaverFixture {
protected:
    void SetUp() override {
        ScreenSaverFixture::SetUp();
        RemoveControl();
        settings.Logo = WriteLogo(8, 8);
        scr_ = Compile();
    }

    void TearDown() override {
        RemoveControl();
        ScreenSaverFixture::TearDown();
    }

    // Leaves the prefix as a machine that never had the control.
    void RemoveControl() {
        CallServer(Narrow(DosPath(gControls.shipped)), "DllUnregisterServer");
        for (const std::string& dir : {SystemFlashDir(), UserFlashDir()}) {
            RemoveFile(dir + "\\SWFLASH.OCX");
            RemoveDirectoryA(dir.c_str());
            RemoveFile(dir);  // a file that stood in the folder's place
        }
        ASSERT_FALSE(ClassRegistered());
    }

    // Starts the screen saver, waits for it to play and ends it with a key.
    void PlayOnce(const std::wstring& modeSwitch = L"/s") {
        Process saver = StartProcess(Wide(scr_), {modeSwitch});
        const HWND window = WaitForWindow(saver, kPlaybackWindow);
        EXPECT_TRUE(IsWindowVisible(window));
        std::this_thread::sleep_for(Milliseconds(1700));  // armed after a second
        EXPECT_EQ(EndWith(saver, [] { PressKey(VK_SPACE); }), 0);
    }

    std::string scr_;
};

TEST_F(InstallTest, FirstStartInstallsTheCarriedControlAndTheNextInstallsNothing) {
    PlayOnce();
    const std::string installed = SystemFlashDir() + "\\SWFLASH.OCX";
    ASSERT_TRUE(FileExists(installed));
    EXPECT_EQ(ReadFile(installed), ReadFile(Narrow(DosPath(gControls.shipped)))) << "byte for byte the built control";
    EXPECT_TRUE(ClassRegistered());

    // A second start finds it: the file is not written again.
    WIN32_FILE_ATTRIBUTE_DATA before{}, after{};
    GetFileAttributesExA(installed.c_str(), GetFileExInfoStandard, &before);
    std::this_thread::sleep_for(Milliseconds(1100));
    PlayOnce(L"/S");  // the switch is not case-sensitive
    GetFileAttributesExA(installed.c_str(), GetFileExInfoStandard, &after);
    EXPECT_EQ(CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime), 0);
}

TEST_F(InstallTest, OlderControlIsReplacedAndNewerOneLeftAlone) {
    const std::string installed = SystemFlashDir() + "\\SWFLASH.OCX";
    const struct {
        std::string fixture;
        bool replaced;
    } cases[] = {{gControls.version4, true}, {gControls.version6, false}};
    for (const auto& c : cases) {
        RemoveControl();
        ForceDirectories(SystemFlashDir());
        ASSERT_TRUE(CopyFileA(Narrow(DosPath(c.fixture)).c_str(), installed.c_str(), FALSE));
        ASSERT_EQ(CallServer(installed, "DllRegisterServer"), S_OK);
        PlayOnce();
        const std::string expected = c.replaced ? gControls.shipped : c.fixture;
        EXPECT_EQ(ReadFile(installed), ReadFile(Narrow(DosPath(expected)))) << c.fixture;
    }
}

TEST_F(InstallTest, StandardUserGetsTheControlInHisOwnFolder) {
    // A file where the folder should be keeps the system directory from taking the control.
    ForceDirectories(SystemFlashDir().substr(0, SystemFlashDir().rfind('\\')));
    WriteFile(SystemFlashDir(), "not a folder");
    PlayOnce();
    EXPECT_TRUE(FileExists(UserFlashDir() + "\\SWFLASH.OCX"));
    EXPECT_TRUE(ClassRegistered());
}

TEST_F(InstallTest, SecondInstanceEndsAtOnceInAnyMode) {
    Process first = StartProcess(Wide(scr_), {L"/c"});
    WaitForWindow(first, kConfigWindow);
    for (const wchar_t* modeSwitch : {L"/s", L"/c", L"/p"}) {
        Process second = StartProcess(Wide(scr_), {modeSwitch});
        EXPECT_EQ(second.WaitForExit(Milliseconds(10000)), 0);
        EXPECT_TRUE(first.Running());
    }
    first.Kill();
}

TEST_F(InstallTest, PreviewSwitchShowsNothing) {
    for (const std::vector<std::wstring>& arguments :
         {std::vector<std::wstring>{L"/p", L"1234"}, {L"/P"}, {L"/p"}}) {
        Process saver = StartProcess(Wide(scr_), arguments);
        EXPECT_EQ(saver.WaitForExit(Milliseconds(15000)), 0);
    }
}

TEST(RunAndWaitTest, ProgramThatDoesNotExistShowsYipesAndYieldsMinusOne) {
    std::wstring message;
    std::thread dismiss([&message] {
        HWND box = nullptr;
        WaitUntil([&box] { return (box = FindWindowW(L"#32770", L"Yipes!")) && IsWindowVisible(box); },
                  "the Yipes! box");
        wchar_t text[512] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 512);  // the message box's text has this id
        message = text;
        BringToForeground(box);
        PressKey(VK_RETURN);
    });
    EXPECT_EQ(RunAndWait("C:\\no\\such\\program.exe /s", SW_HIDE), -1);
    dismiss.join();
    EXPECT_FALSE(message.empty()) << "the system's text for the error";
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 6) {
        std::fprintf(stderr, "usage: install-e2e KESTRIX.exe SWFLASH.OCX SWFLASH_v4.OCX SWFLASH_v6.OCX MOVIE.swf\n");
        return 2;
    }
    kestrix::test::gPaths = {argv[1], argv[2], argv[5]};
    gControls = {argv[2], argv[3], argv[4]};
    SaveScreenshotsOfFailures();
    return RUN_ALL_TESTS();
}
