// The movie player control as a COM server: registration, creation by class identifier
// through our own container, and its dispatch properties.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/Exception.h"
#include "flash/FlashIds.h"
#include "flash/ShockwaveFlash_win.h"
#include "tests/win/GuiTestKit.h"
#include "ui/Application.h"
#include "ui/Form.h"

using namespace kestrix;
using namespace kestrix::test;

namespace {

std::wstring gControl;  // SWFLASH.OCX
std::wstring gMovie;    // a real movie

class THostForm : public TForm {
public:
    THostForm() : TForm("TPlayerHostTest", FormBorder::Sizeable, 320, 240) {}
};

HRESULT CallServer(const char* function) {
    const HMODULE library = LoadLibraryW(gControl.c_str());
    if (!library) return E_FAIL;
    auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(GetProcAddress(library, function)));
    const HRESULT result = entry ? entry() : E_FAIL;
    FreeLibrary(library);
    return result;
}

bool ClassKeyExists(HKEY root, const std::string& subKey) {
    HKEY key = nullptr;
    const bool exists = RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (key) RegCloseKey(key);
    return exists;
}

std::string RegistryText(HKEY root, const std::string& subKey, const char* name) {
    char value[1024] = "";
    DWORD size = sizeof value;
    RegGetValueA(root, subKey.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

class PlayerControlTest : public ::testing::Test {
protected:
    void SetUp() override { application.Initialize(); }
    void TearDown() override { CallServer("DllRegisterServer"); }  // later tests need it

    TApplication application;
};

TEST_F(PlayerControlTest, RegistersAndUnregistersItsKeys) {
    const std::string classKey = std::string("Software\\Classes\\CLSID\\") + kFlashClassIdText;
    ASSERT_EQ(CallServer("DllRegisterServer"), S_OK);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, classKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_NE(RegistryText(HKEY_LOCAL_MACHINE, classKey + "\\InprocServer32", nullptr).find("SWFLASH.OCX"),
              std::string::npos);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, "Software\\Classes\\ShockwaveFlash.ShockwaveFlash\\CLSID", nullptr),
              kFlashClassIdText);
    ASSERT_EQ(CallServer("DllUnregisterServer"), S_OK);
    EXPECT_FALSE(ClassKeyExists(HKEY_LOCAL_MACHINE, classKey));
    EXPECT_FALSE(ClassKeyExists(HKEY_LOCAL_MACHINE, "Software\\Classes\\ShockwaveFlash.ShockwaveFlash"));
}

TEST_F(PlayerControlTest, UnregisteredControlRaisesTheHostsError) {
    ASSERT_EQ(CallServer("DllUnregisterServer"), S_OK);
    THostForm* form = application.CreateForm<THostForm>();
    try {
        form->Add<TShockwaveFlash>(0, 0, 320, 240);
        FAIL() << "an unregistered control was created";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message().rfind("The Flash player control could not be created", 0), 0u) << error.Message();
    }
}

TEST_F(PlayerControlTest, TakesAndReturnsEachProperty) {
    ASSERT_EQ(CallServer("DllRegisterServer"), S_OK);
    THostForm* form = application.CreateForm<THostForm>();
    TShockwaveFlash* flash = form->Add<TShockwaveFlash>(0, 0, 320, 240);
    ASSERT_NE(flash->ControlWindow(), nullptr) << "activated in place in a window of its own";
    EXPECT_EQ(GetParent(flash->ControlWindow()), flash->Handle());

    VARIANT playing = flash->GetProperty(FlashDispId::Playing);
    EXPECT_EQ(playing.boolVal, VARIANT_TRUE) << "plays by default";
    VARIANT loop = flash->GetProperty(FlashDispId::Loop);
    EXPECT_EQ(loop.boolVal, VARIANT_TRUE) << "loops by default";

    const std::string movie = Narrow(DosPath(Narrow(gMovie)));
    flash->SetMovie(movie);
    flash->SetScaleMode(2);
    flash->SetAlignMode(9);
    flash->SetBackgroundColor(-1);
    flash->SetBGColor("");
    VARIANT value = flash->GetProperty(FlashDispId::Movie);
    EXPECT_EQ(Narrow(value.bstrVal), movie);
    VariantClear(&value);
    EXPECT_EQ(flash->GetProperty(FlashDispId::ScaleMode).lVal, 2);
    EXPECT_EQ(flash->GetProperty(FlashDispId::AlignMode).lVal, 9);
    EXPECT_EQ(flash->GetProperty(FlashDispId::BackgroundColor).lVal, -1);
    value = flash->GetProperty(FlashDispId::BGColor);
    EXPECT_EQ(SysStringLen(value.bstrVal), 0u);
    VariantClear(&value);

    flash->Rewind();
    flash->Stop();
    EXPECT_EQ(flash->GetProperty(FlashDispId::Playing).boolVal, VARIANT_FALSE);
    flash->Play();
    EXPECT_EQ(flash->GetProperty(FlashDispId::Playing).boolVal, VARIANT_TRUE);
}

TEST_F(PlayerControlTest, FileThatIsNotAMovieLeavesTheControlEmpty) {
    ASSERT_EQ(CallServer("DllRegisterServer"), S_OK);
    THostForm* form = application.CreateForm<THostForm>();
    TShockwaveFlash* flash = form->Add<TShockwaveFlash>(0, 0, 320, 240);
    flash->SetMovie(Narrow(DosPath(Narrow(gControl))));  // a DLL, not a movie
    form->Show();
    UpdateWindow(flash->ControlWindow());
    flash->Play();
    EXPECT_TRUE(IsWindow(flash->ControlWindow()));
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) return 2;
    gControl = DosPath(argv[1]);
    gMovie = std::wstring(argv[2], argv[2] + strlen(argv[2]));
    return RUN_ALL_TESTS();
}
