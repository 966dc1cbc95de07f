#include "base/Path.h"

namespace kestrix {

#ifdef _WIN32
const char kPathDelimiter = '\\';
bool IsPathDelimiter(char c) { return c == '\\' || c == ':'; }
#else
const char kPathDelimiter = '/';
bool IsPathDelimiter(char c) { return c == '/'; }
#endif

namespace {

size_t AfterLastDelimiter(const std::string& path) {
    for (size_t i = path.size(); i > 0; --i)
        if (IsPathDelimiter(path[i - 1])) return i;
    return 0;
}

}  // namespace

std::string ExtractFilePath(const std::string& path) { return path.substr(0, AfterLastDelimiter(path)); }

std::string ExtractFileName(const std::string& path) { return path.substr(AfterLastDelimiter(path)); }

std::string ExtractFileExt(const std::string& path) {
    const std::string name = ExtractFileName(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
    if (!path.empty() && path.back() == kPathDelimiter) return path;
    return path + kPathDelimiter;
}

}  // namespace kestrix
