// A stream over a file on disk, opened with an access mode and a sharing mode.
#pragma once

#include <string>

#include "base/Stream.h"

namespace kestrix {

enum class FileAccess {
    Create,     // create or truncate, read and write
    Read,       // existing file, read only
    Write,      // existing file, write only
    ReadWrite,  // existing file
};

// What other openers may do meanwhile. Real sharing modes on Windows; on other
// systems files are not locked and the mode is only recorded.
enum class FileShare { Exclusive, DenyWrite, DenyRead, DenyNone };

class TFileStream : public TStream {
public:
    // Raises EFOpenError with the file's name and the system's reason on failure.
    TFileStream(const std::string& fileName, FileAccess access, FileShare share = FileShare::DenyWrite);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;

    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
    intptr_t handle_;
};

}  // namespace kestrix
