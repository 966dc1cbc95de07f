#include <windows.h>

#include "base/Path.h"

namespace kestrix {

namespace {

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

}  // namespace

bool FileExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const std::string& path) {
    std::string dir = path;
    while (!dir.empty() && dir.back() == '\\') dir.pop_back();
    if (dir.empty()) return false;
    // A drive ("C:") or a share root exists or not; it cannot be created.
    if (DirectoryExists(dir) || (dir.size() == 2 && dir[1] == ':')) return DirectoryExists(dir + "\\");
    const std::string parent = ExtractFilePath(dir);
    if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
    return CreateDirectoryA(dir.c_str(), nullptr) || DirectoryExists(dir);
}

bool CopyFileReplacing(const std::string& source, const std::string& target) {
    return CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool RenameFile(const std::string& from, const std::string& to) { return MoveFileA(from.c_str(), to.c_str()) != 0; }

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool IsFileWritable(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY);
}

std::string ExecutableFileName() {
    char buffer[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return std::string(buffer, n < sizeof buffer ? n : 0);
}

}  // namespace kestrix
