#include "tools/helpwriter/InternalFileSystem.h"

#include <map>

#include "tools/helpwriter/BTreeWriter.h"

namespace kestrix {

namespace {

// Without a free list, each file reserves exactly what it uses.
void WriteInternalFile(ByteWriter& out, const Bytes& content) {
    out.U32(static_cast<uint32_t>(content.size() + kInternalFileHeaderSize));
    out.U32(static_cast<uint32_t>(content.size()));
    out.U8(4);  // the flags every viewer expects on an ordinary file
    out.Append(content);
}

}  // namespace

void InternalFileSystem::AddFile(const std::string& name, Bytes content) {
    if (name.empty() || name.find('\0') != std::string::npos) throw HelpWriterError("bad internal file name");
    for (const auto& file : files_) {
        if (file.first == name) throw HelpWriterError("internal file " + name + " added twice");
    }
    files_.emplace_back(name, std::move(content));
}

Bytes InternalFileSystem::Build() const {
    ByteWriter body;
    std::map<std::string, uint32_t> offsets;  // std::string orders bytes as unsigned, as the viewers do
    for (const auto& [name, content] : files_) {
        offsets[name] = static_cast<uint32_t>(kHelpFileHeaderSize + body.Size());
        WriteInternalFile(body, content);
    }

    std::vector<BTreeEntry> entries;
    for (const auto& [name, offset] : offsets) {
        ByteWriter key;
        key.StringZ(name);
        ByteWriter value;
        value.U32(offset);
        entries.push_back({key.Take(), value.Take()});
    }
    BTreeLayout layout{kDirectoryPageSize, kDirectoryFlags, "z4"};
    uint32_t directoryStart = static_cast<uint32_t>(kHelpFileHeaderSize + body.Size());
    WriteInternalFile(body, WriteBTree(layout, entries).data);

    ByteWriter out;
    out.U32(kHelpFileMagic);
    out.U32(directoryStart);
    out.U32(0xFFFFFFFF);  // no free list
    out.U32(static_cast<uint32_t>(kHelpFileHeaderSize + body.Size()));
    out.Append(body.Data());
    return out.Take();
}

}  // namespace kestrix
