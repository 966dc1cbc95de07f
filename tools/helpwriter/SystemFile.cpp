#include "tools/helpwriter/SystemFile.h"

namespace kestrix {

namespace {

void Record(ByteWriter& out, SystemRecordType type, const Bytes& data) {
    if (data.size() > 0xFFFF) throw HelpWriterError("|SYSTEM record too long");
    out.U16(type);
    out.U16(static_cast<uint16_t>(data.size()));
    out.Append(data);
}

Bytes Text(const std::string& text) {
    ByteWriter out;
    out.StringZ(text);
    return out.Take();
}

// Defines the viewer's main window ("main") with only its caption set, so that the viewer
// keeps its own size and colours.
Bytes MainWindow(const std::string& caption) {
    constexpr uint16_t kNameIsValid = 0x0002;
    constexpr uint16_t kCaptionIsValid = 0x0004;
    ByteWriter out;
    out.U16(kNameIsValid | kCaptionIsValid);
    out.Fixed("", 10);  // type
    out.Fixed("main", 9);
    out.Fixed(caption, 51);
    out.Zeros(5 * 2 + 2 * 4);  // position, size, maximise flag and colours, all unused
    return out.Take();
}

}  // namespace

Bytes WriteSystemFile(const SystemInfo& info) {
    ByteWriter out;
    out.U16(kSystemMagic);
    out.U16(kHelpFormatMinor);
    out.U16(kHelpFormatMajor);
    out.U32(info.generated);
    out.U16(kTopicIn4KFramedBlocks);
    Record(out, kTitleRecord, Text(info.title));
    ByteWriter contents;
    contents.U32(info.contentsTopic);
    Record(out, kContentsRecord, contents.Take());
    if (!info.caption.empty()) Record(out, kWindowRecord, MainWindow(info.caption));
    return out.Take();
}

}  // namespace kestrix
