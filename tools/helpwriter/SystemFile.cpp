#include "tools/helpwriter/SystemFile.h"

namespace kestrix {

namespace {

void Record(ByteWriter& out, SystemRecordType type, const Bytes& data)
{
    if (data.size() > 0xFFFF)
        throw HelpWriterError("|SYSTEM record too long");
    out.U16(type);
    out.U16(static_cast<uint16_t>(data.size()));
    out.Append(data);
}

Bytes Text(const std::string& text)
{
    ByteWriter out;
    out.StringZ(text);
    return out.Take();
}

}  // namespace

Bytes WriteSystemFile(const SystemInfo& info)
{
    ByteWriter out;
    out.U16(kSystemMagic);
    out.U16(kHelpFormatMinor);
    out.U16(kHelpFormatMajor);
    out.U32(info.generated);
    out.U16(0);  // flags: no compression
    Record(out, kTitleRecord, Text(info.title));
    ByteWriter contents;
    contents.U32(info.contentsTopic);
    Record(out, kContentsRecord, contents.Take());
    if (!info.startupMacro.empty())
        Record(out, kConfigRecord, Text(info.startupMacro));
    return out.Take();
}

}  // namespace kestrix
