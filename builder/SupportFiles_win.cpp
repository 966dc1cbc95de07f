#include "builder/SupportFiles_win.h"

#include <windows.h>

#include "base/Exception.h"
#include "base/FileStream.h"
#include "base/Path.h"

namespace kestrix {

void WriteResourceToFile(const char* resourceName, const std::string& fileName) {
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC resource = FindResourceA(module, resourceName, MAKEINTRESOURCEA(10));  // RT_RCDATA
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) throw Exception("Resource " + std::string(resourceName) + " not found");
    const DWORD size = SizeofResource(module, resource);
    bool created = false;
    try {
        TFileStream file(fileName, FileAccess::Create, FileShare::Exclusive);
        created = true;
        file.WriteBuffer(bytes, size);
    } catch (const std::exception&) {
        if (created) RemoveFile(fileName);  // closed by now
        throw;
    }
}

}  // namespace kestrix
