// The player control's in-process server: class object, unloading and self-registration.
#include <ole2.h>
#include <windows.h>

#include <olectl.h>

#include <new>
#include <string>
#include <vector>

#include "flash/FlashIds.h"
#include "player/FlashControl_win.h"

using namespace kestrix;

namespace {

HMODULE gModule = nullptr;

class TClassFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is static: counting it would keep the server loaded for nothing.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* control = new (std::nothrow) TFlashControl();
        if (!control) return E_OUTOFMEMORY;
        const HRESULT result = control->QueryInterface(iid, object);
        control->Release();
        return result;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        lock ? InterlockedIncrement(&gServerReferences) : InterlockedDecrement(&gServerReferences);
        return S_OK;
    }
};

TClassFactory gFactory;

std::string ModulePath() {
    char path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(gModule, path, sizeof path);
    return std::string(path, length);
}

struct RegistryValue {
    std::string key;   // below the classes root
    const char* name;  // nullptr: the key's default value
    std::string data;
};

std::vector<RegistryValue> RegistryEntries() {
    const std::string classKey = std::string("CLSID\\") + kFlashClassIdText;
    return {
        {classKey, nullptr, "Shockwave Flash Object"},
        {classKey + "\\InprocServer32", nullptr, ModulePath()},
        {classKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {classKey + "\\ProgID", nullptr, kFlashProgId},
        {classKey + "\\Control", nullptr, ""},
        {kFlashProgId, nullptr, "Shockwave Flash Object"},
        {std::string(kFlashProgId) + "\\CLSID", nullptr, kFlashClassIdText},
    };
}

LONG WriteEntries(HKEY root) {
    HKEY classes = nullptr;
    LONG status = RegCreateKeyExA(root, "Software\\Classes", 0, nullptr, 0, KEY_WRITE, nullptr, &classes, nullptr);
    for (const RegistryValue& entry : RegistryEntries()) {
        if (status != ERROR_SUCCESS) break;
        HKEY key = nullptr;
        status = RegCreateKeyExA(classes, entry.key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        if (status == ERROR_SUCCESS) {
            status = RegSetValueExA(key, entry.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.data.c_str()),
                                    static_cast<DWORD>(entry.data.size() + 1));
            RegCloseKey(key);
        }
    }
    if (classes) RegCloseKey(classes);
    return status;
}

void DeleteEntries(HKEY root) {
    HKEY classes = nullptr;
    if (RegOpenKeyExA(root, "Software\\Classes", 0, KEY_ALL_ACCESS, &classes) != ERROR_SUCCESS) return;
    RegDeleteTreeA(classes, (std::string("CLSID\\") + kFlashClassIdText).c_str());
    RegDeleteTreeA(classes, kFlashProgId);
    RegCloseKey(classes);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        gModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (classId != kFlashClassId) return CLASS_E_CLASSNOTAVAILABLE;
    return gFactory.QueryInterface(iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return gServerReferences == 0 ? S_OK : S_FALSE; }

// Machine-wide when allowed; a standard user gets the control registered for himself.
extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    if (WriteEntries(HKEY_LOCAL_MACHINE) == ERROR_SUCCESS) return S_OK;
    DeleteEntries(HKEY_LOCAL_MACHINE);
    return WriteEntries(HKEY_CURRENT_USER) == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    DeleteEntries(HKEY_LOCAL_MACHINE);
    DeleteEntries(HKEY_CURRENT_USER);
    return S_OK;
}
