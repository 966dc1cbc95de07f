// The help file's container: a header, then every internal file behind a small file header,
// then the directory, a B+ tree from file name to file offset.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/helpwriter/ByteWriter.h"

namespace kestrix {

constexpr uint32_t kHelpFileMagic = 0x00035F3F;
constexpr size_t kHelpFileHeaderSize = 16;
constexpr size_t kInternalFileHeaderSize = 9;
constexpr uint16_t kDirectoryPageSize = 0x400;
constexpr uint16_t kDirectoryFlags = 0x0402;

class InternalFileSystem {
public:
    // Names are compared byte by byte, as the viewers search the directory.
    void AddFile(const std::string& name, Bytes content);
    Bytes Build() const;

private:
    std::vector<std::pair<std::string, Bytes>> files_;
};

}  // namespace kestrix
