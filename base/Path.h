// Path helpers with the platform's delimiters: backslash and colon on Windows, slash elsewhere.
#pragma once

#include <string>

namespace kestrix {

extern const char kPathDelimiter;  // '\\' on Windows, '/' elsewhere

bool IsPathDelimiter(char c);  // also ':' on Windows

// Everything up to and including the last delimiter; empty when there is none.
std::string ExtractFilePath(const std::string& path);
// Everything after the last delimiter.
std::string ExtractFileName(const std::string& path);
// From the last dot of the file name on, the dot included; empty when the name has none.
std::string ExtractFileExt(const std::string& path);
std::string IncludeTrailingPathDelimiter(const std::string& path);

// True for an existing file, false for a directory or nothing.
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates the directory and every missing parent; a trailing delimiter is ignored.
// Returns whether the directory exists afterwards.
bool ForceDirectories(const std::string& path);

// Thin file operations; each returns whether it succeeded.
bool CopyFileReplacing(const std::string& source, const std::string& target);
bool RemoveFile(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);  // never replaces a file
bool MoveFileReplacing(const std::string& from, const std::string& to);
// Whether an existing file may be written (it is not read-only).
bool IsFileWritable(const std::string& path);

// Full path of the running executable.
std::string ExecutableFileName();

}  // namespace kestrix
