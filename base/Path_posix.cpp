#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

#include "base/FileStream.h"
#include "base/Path.h"

namespace kestrix {

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ForceDirectories(const std::string& path) {
    std::string dir = path;
    while (dir.size() > 1 && IsPathDelimiter(dir.back())) dir.pop_back();
    if (dir.empty() || DirectoryExists(dir)) return !dir.empty();
    const std::string parent = ExtractFilePath(dir);
    if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
    return ::mkdir(dir.c_str(), 0777) == 0 || DirectoryExists(dir);
}

bool CopyFileReplacing(const std::string& source, const std::string& target) {
    try {
        TFileStream from(source, FileAccess::Read, FileShare::DenyWrite);
        TFileStream to(target, FileAccess::Create, FileShare::Exclusive);
        to.CopyFrom(from, 0);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) {
    // Like Windows, refuse to replace an existing file.
    if (FileExists(to) || DirectoryExists(to)) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool IsFileWritable(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

std::string ExecutableFileName() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

}  // namespace kestrix
