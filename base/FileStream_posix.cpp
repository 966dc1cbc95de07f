#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/Exception.h"
#include "base/FileStream.h"

namespace kestrix {

namespace {

int OpenFlags(FileAccess access) {
    switch (access) {
        case FileAccess::Create: return O_RDWR | O_CREAT | O_TRUNC;
        case FileAccess::Read: return O_RDONLY;
        case FileAccess::Write: return O_WRONLY;
        case FileAccess::ReadWrite: return O_RDWR;
    }
    return O_RDONLY;
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, FileAccess access, FileShare)
    : fileName_(fileName) {
    const int fd = ::open(fileName.c_str(), OpenFlags(access) | O_CLOEXEC, 0666);
    int error = errno;
    if (fd >= 0) {
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
            ::close(fd);
            error = EISDIR;
        } else {
            handle_ = fd;
            return;
        }
    }
    const char* verb = access == FileAccess::Create ? "create" : "open";
    throw EFOpenError(std::string("Cannot ") + verb + " file \"" + fileName + "\". " + std::strerror(error));
}

TFileStream::~TFileStream() { ::close(static_cast<int>(handle_)); }

size_t TFileStream::Read(void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(static_cast<int>(handle_), static_cast<char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

size_t TFileStream::Write(const void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(static_cast<int>(handle_), static_cast<const char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
    const int whence = origin == SeekOrigin::Beginning ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
    return static_cast<int64_t>(::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), whence));
}

}  // namespace kestrix
