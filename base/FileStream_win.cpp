#include <windows.h>

#include "base/Exception.h"
#include "base/FileStream.h"
#include "base/SystemError.h"

namespace kestrix {

namespace {

DWORD DesiredAccess(FileAccess access) {
    switch (access) {
        case FileAccess::Read: return GENERIC_READ;
        case FileAccess::Write: return GENERIC_WRITE;
        default: return GENERIC_READ | GENERIC_WRITE;
    }
}

DWORD ShareFlags(FileShare share) {
    switch (share) {
        case FileShare::Exclusive: return 0;
        case FileShare::DenyWrite: return FILE_SHARE_READ;
        case FileShare::DenyRead: return FILE_SHARE_WRITE;
        case FileShare::DenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
    return 0;
}

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// ReadFile and WriteFile take 32-bit counts.
constexpr size_t kMaxTransfer = 1u << 30;

}  // namespace

TFileStream::TFileStream(const std::string& fileName, FileAccess access, FileShare share)
    : fileName_(fileName) {
    const DWORD disposition = access == FileAccess::Create ? CREATE_ALWAYS : OPEN_EXISTING;
    const HANDLE handle = CreateFileA(fileName.c_str(), DesiredAccess(access), ShareFlags(share), nullptr,
                                      disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const std::string reason = SystemErrorMessage(GetLastError());
        const char* verb = access == FileAccess::Create ? "create" : "open";
        throw EFOpenError(std::string("Cannot ") + verb + " file \"" + fileName + "\". " + reason);
    }
    handle_ = reinterpret_cast<intptr_t>(handle);
}

TFileStream::~TFileStream() { CloseHandle(AsHandle(handle_)); }

size_t TFileStream::Read(void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(count - done < kMaxTransfer ? count - done : kMaxTransfer);
        if (!ReadFile(AsHandle(handle_), static_cast<char*>(buffer) + done, want, &n, nullptr) || n == 0) break;
        done += n;
    }
    return done;
}

size_t TFileStream::Write(const void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(count - done < kMaxTransfer ? count - done : kMaxTransfer);
        if (!WriteFile(AsHandle(handle_), static_cast<const char*>(buffer) + done, want, &n, nullptr) || n == 0)
            break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
    const DWORD method = origin == SeekOrigin::Beginning ? FILE_BEGIN
                         : origin == SeekOrigin::Current ? FILE_CURRENT
                                                         : FILE_END;
    LARGE_INTEGER distance;
    LARGE_INTEGER result;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(AsHandle(handle_), distance, &result, method)) return -1;
    return result.QuadPart;
}

}  // namespace kestrix
