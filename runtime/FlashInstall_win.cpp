#include "runtime/FlashInstall_win.h"

#include <shlobj.h>

#include <vector>

#include "base/Exception.h"
#include "base/FileStream.h"
#include "base/Path.h"
#include "base/SystemError.h"
#include "ui/Application.h"

namespace kestrix {

std::string SysDir;
std::string FlashDir;

namespace {

constexpr const char* kControlFileName = "\\SWFLASH.OCX";
constexpr const char* kControlResource = "Flash";

// The major number of a file's version, or -1 when it has no readable version information.
int MajorFileVersion(const std::string& fileName) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &ignored);
    if (size == 0) return -1;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(fileName.c_str(), 0, size, block.data())) return -1;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed) return -1;
    return static_cast<int>(HIWORD(fixed->dwFileVersionMS));
}

void WriteResourceTo(const std::string& directory, const std::string& fileName) {
    const HRSRC resource = FindResourceA(nullptr, kControlResource, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    const HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) throw Exception("Resource Flash not found");
    ForceDirectories(directory);  // a failure shows when the file is created
    TFileStream file(fileName, FileAccess::Create, FileShare::Exclusive);
    file.WriteBuffer(bytes, SizeofResource(nullptr, resource));
}

}  // namespace

void ReadSystemDirectories() {
    char buffer[2048] = "";
    GetSystemDirectoryA(buffer, sizeof buffer - 1);
    SysDir = buffer;
    FlashDir = SysDir + "\\Macromed\\Flash";
}

std::string UserFlashDir() {
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder);
    return std::string(folder) + "\\Macromed\\Flash";
}

FlashVersion QueryFlashVersion() {
    char buffer[256] = "";
    GetSystemDirectoryA(buffer, sizeof buffer - 1);
    std::string fileName = std::string(buffer) + "\\Macromed\\Flash\\swflash.ocx";
    if (!FileExists(fileName)) fileName = UserFlashDir() + "\\swflash.ocx";
    if (!FileExists(fileName)) return {};
    const int major = MajorFileVersion(fileName);
    if (major < 0) throw Exception("The version of " + fileName + " cannot be read");
    return {true, major};
}

// A standard user may not write to the system directory: the copy then goes to the user's
// own folder, and the control registers itself for that user alone.
std::string WriteControlFile() {
    const std::string systemFile = FlashDir + kControlFileName;
    try {
        WriteResourceTo(FlashDir, systemFile);
        return systemFile;
    } catch (const EFOpenError&) {
        const std::string userFile = UserFlashDir() + kControlFileName;
        WriteResourceTo(UserFlashDir(), userFile);
        return userFile;
    }
}

void RegisterControlFile(const std::string& controlFile) {
    const HMODULE library = LoadLibraryA(controlFile.c_str());
    if (reinterpret_cast<uintptr_t>(library) < 32) return;
    if (GetProcAddress(library, "DllRegisterServer")) {
        char shortPath[2048] = "";
        GetShortPathNameA(controlFile.c_str(), shortPath, sizeof shortPath - 1);
        RunAndWait(SysDir + "\\regsvr32.exe /s " + shortPath, SW_HIDE);
    }
    FreeLibrary(library);
}

int RunAndWait(const std::string& commandLine, WORD showWindow) {
    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back('\0');
    char directory[256] = "";
    GetCurrentDirectoryA(sizeof directory - 1, directory);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS,
                        nullptr, directory, &startup, &process)) {
        const std::string reason = SystemErrorMessage(GetLastError());
        MessageBoxA(Application ? Application->MainWindowHandle() : nullptr, reason.c_str(), "Yipes!", MB_OK);
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(exitCode);
}

}  // namespace kestrix
