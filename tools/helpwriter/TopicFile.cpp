#include "tools/helpwriter/TopicFile.h"

#include <algorithm>
#include <cstdint>

#include "tools/helpwriter/ContextFile.h"
#include "tools/helpwriter/FontFile.h"

namespace kestrix {

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;
// Paragraph metrics go in half points, the unit of this kind of font table.
constexpr int kHalfPointsPerPoint = 2;
constexpr int kListIndent = 14 * kHalfPointsPerPoint;

struct Record {
    uint8_t type = kTextRecord;
    Bytes linkData1;
    Bytes linkData2;
    size_t dataPos = 0;  // where it starts in the blocks' data, one block after the other
    uint32_t offset = 0;

    size_t Size() const { return kTopicLinkHeaderSize + linkData1.size() + linkData2.size(); }
    uint32_t Position() const {
        return static_cast<uint32_t>(Block() * kTopicPositionsPerBlock + dataPos % kTopicBlockData +
                                     kTopicBlockHeaderSize);
    }
    size_t Block() const { return dataPos / kTopicBlockData; }
    // Text records count toward topic offsets with every character, NULs included.
    uint32_t Characters() const { return type == kTextRecord ? static_cast<uint32_t>(linkData2.size()) : 0; }
};

struct ParagraphFormat {
    uint16_t font = kBodyFont;
    uint16_t boldFont = kBoldFont;
    int spaceAbove = 0;  // points
    int spaceBelow = 0;
    bool hanging = false;  // list items: marker, tab, then text that aligns with the tab
};

ParagraphFormat FormatOf(ParagraphKind kind) {
    switch (kind) {
        case ParagraphKind::Heading:
            return {kHeadingFont, kHeadingFont, 9, 0, false};
        case ParagraphKind::Bullet:
        case ParagraphKind::Numbered:
            return {kBodyFont, kBoldFont, 3, 0, true};
        case ParagraphKind::Body:
            break;
    }
    return {kBodyFont, kBoldFont, 6, 0, false};
}

// The strings (NUL-terminated, in linkData2) and the commands (in linkData1) of a text record
// alternate: each command follows exactly one string, which may be empty.
class TextBuilder {
public:
    void Text(const std::string& text) { pending_ += text; }
    ByteWriter& Command(uint8_t command) {
        strings_ += pending_;
        strings_ += '\0';
        pending_.clear();
        commands_.U8(command);
        return commands_;
    }
    const std::string& Strings() const { return strings_; }
    const Bytes& Commands() const { return commands_.Data(); }

private:
    std::string pending_;
    std::string strings_;
    ByteWriter commands_;
};

void WriteSpans(TextBuilder& text, const Paragraph& paragraph, const ParagraphFormat& format) {
    uint16_t current = format.font;
    text.Command(kFontCommand).U16(current);
    if (format.hanging) {
        text.Text(paragraph.kind == ParagraphKind::Numbered ? paragraph.marker : "\x95");
        text.Command(kTabCommand);
    }
    for (const Span& span : paragraph.spans) {
        uint16_t font = span.bold ? format.boldFont : format.font;
        if (font != current) {
            text.Command(kFontCommand).U16(font);
            current = font;
        }
        if (span.jumpTarget.empty()) {
            text.Text(span.text);
            continue;
        }
        text.Command(kTopicJump).S32(ContextHash(span.jumpTarget));
        text.Text(span.text);
        text.Command(kEndOfHotspot);
    }
    text.Command(kEndOfParagraph);
    text.Command(kEndOfText);
}

// Spacing and indents: only the fields that differ from zero follow the flags that name them.
void WriteParagraphFields(ByteWriter& data, const ParagraphFormat& format) {
    data.U8(0);
    data.U8(0x80);  // a signed byte stored with a bias of 0x80: zero
    data.U16(0);
    uint16_t fields = 0;
    if (format.spaceAbove != 0) fields |= kSpacingAboveField;
    if (format.spaceBelow != 0) fields |= kSpacingBelowField;
    if (format.hanging) fields |= kLeftIndentField | kFirstLineIndentField | kTabStopsField;
    data.U16(fields);
    if (format.spaceAbove != 0) data.CompressedS16(format.spaceAbove * kHalfPointsPerPoint);
    if (format.spaceBelow != 0) data.CompressedS16(format.spaceBelow * kHalfPointsPerPoint);
    if (format.hanging) {
        data.CompressedS16(kListIndent);
        data.CompressedS16(-kListIndent);  // the marker hangs out to the left
        data.CompressedS16(1);             // one tab stop, left-aligned, where the text goes on
        data.CompressedU16(kListIndent);
    }
}

Record TextRecord(const Paragraph& paragraph, const ParagraphFormat& format) {
    TextBuilder text;
    WriteSpans(text, paragraph, format);

    ByteWriter formatting;
    WriteParagraphFields(formatting, format);
    formatting.Append(text.Commands());
    ByteWriter data;
    data.CompressedS32(static_cast<int32_t>(formatting.Size()));       // the bytes that follow these two sizes
    data.CompressedU16(static_cast<uint32_t>(text.Strings().size()));  // what the text counts for topic offsets
    data.Append(formatting.Data());

    Record record;
    record.type = kTextRecord;
    record.linkData1 = data.Take();
    record.linkData2.assign(text.Strings().begin(), text.Strings().end());
    return record;
}

Record TitleRecord(const std::string& title) {
    Paragraph paragraph;
    paragraph.spans.push_back({title, false, {}});
    return TextRecord(paragraph, {kTitleFont, kTitleFont, 0, 6, false});
}

Record HeaderRecord(const std::string& title) {
    Record record;
    record.type = kTopicHeaderRecord;
    record.linkData1.assign(kTopicHeaderSize, 0);  // filled in once positions are known
    record.linkData2.assign(title.begin(), title.end());
    return record;
}

// A record starts in the next block when the rest of this one cannot hold it; only a record
// larger than a block's data runs on into the next.
void Place(std::vector<Record>& records) {
    size_t pos = 0;
    size_t block = SIZE_MAX;
    uint32_t characters = 0;
    for (Record& record : records) {
        size_t room = kTopicBlockData - pos % kTopicBlockData;
        if (record.Size() > room && record.Size() <= kTopicBlockData) pos += room;
        record.dataPos = pos;
        pos += record.Size();
        if (record.Block() != block) {
            block = record.Block();
            characters = 0;
        }
        if (block > 0x1FFFF || characters > 0x7FFF) throw HelpWriterError("|TOPIC grew too large");
        record.offset = static_cast<uint32_t>(block << 15) | characters;
        characters += record.Characters();
    }
}

struct TopicRecords {
    size_t header;  // index of the header record
    size_t end;     // one past the topic's last record
};

void FillHeader(std::vector<Record>& records, const std::vector<TopicRecords>& topics, size_t index) {
    const TopicRecords& topic = topics[index];
    uint32_t size = 0;
    for (size_t i = topic.header; i < topic.end; ++i) size += static_cast<uint32_t>(records[i].Size());
    // The browse sequence runs through the real topics in order; the closing header has none.
    size_t realTopics = topics.size() - 1;
    bool hasBack = index > 0 && index < realTopics;
    bool hasForward = index + 1 < realTopics;
    ByteWriter header;
    header.U32(size);
    header.U32(hasBack ? records[topics[index - 1].header].offset : kNone);
    header.U32(hasForward ? records[topics[index + 1].header].offset : kNone);
    header.U32(static_cast<uint32_t>(index));
    header.U32(kNone);  // no non-scrolling region
    header.U32(topic.header + 1 < topic.end ? records[topic.header + 1].Position() : kNone);
    header.U32(topic.end < records.size() ? records[topic.end].Position() : kNone);
    records[topic.header].linkData1 = header.Take();
}

void WriteLink(Bytes& stream, const std::vector<Record>& records, size_t index) {
    const Record& record = records[index];
    ByteWriter link;
    link.U32(static_cast<uint32_t>(record.Size()));
    link.U32(static_cast<uint32_t>(record.linkData2.size()));
    link.U32(index == 0 ? kNone : records[index - 1].Position());
    link.U32(index + 1 == records.size() ? kNone : records[index + 1].Position());
    link.U32(static_cast<uint32_t>(kTopicLinkHeaderSize + record.linkData1.size()));
    link.U8(record.type);
    link.Append(record.linkData1);
    link.Append(record.linkData2);
    std::copy(link.Data().begin(), link.Data().end(), stream.begin() + static_cast<std::ptrdiff_t>(record.dataPos));
}

void WriteBlockHeader(ByteWriter& out, const std::vector<Record>& records, size_t block) {
    uint32_t lastLink = kNone;
    uint32_t firstLink = kNone;
    uint32_t lastHeader = 0;  // what the first block holds, having no topic before it
    for (const Record& record : records) {
        if (record.Block() < block) {
            lastLink = record.Position();
            if (record.type == kTopicHeaderRecord) lastHeader = record.Position();
        } else if (record.Block() == block && firstLink == kNone) {
            firstLink = record.Position();
        }
    }
    out.U32(lastLink);
    out.U32(firstLink);
    out.U32(lastHeader);
}

}  // namespace

Bytes FrameAsLiterals(const Bytes& data) {
    ByteWriter out;
    for (size_t i = 0; i < data.size(); ++i) {
        if (i % 8 == 0) out.U8(0);  // the next 8 bytes are literals
        out.U8(data[i]);
    }
    return out.Take();
}

TopicFile WriteTopicFile(const std::vector<Topic>& topics) {
    std::vector<Record> records;
    std::vector<TopicRecords> ranges;
    for (const Topic& topic : topics) {
        size_t header = records.size();
        records.push_back(HeaderRecord(topic.title));
        records.push_back(TitleRecord(topic.title));
        for (const Paragraph& paragraph : topic.paragraphs)
            records.push_back(TextRecord(paragraph, FormatOf(paragraph.kind)));
        ranges.push_back({header, records.size()});
    }
    // The chain ends with an empty topic header, as the viewers expect the last record to be.
    records.push_back(HeaderRecord(""));
    ranges.push_back({records.size() - 1, records.size()});

    Place(records);
    for (size_t i = 0; i < ranges.size(); ++i) FillHeader(records, ranges, i);

    Bytes stream(records.back().dataPos + records.back().Size(), 0);
    for (size_t i = 0; i < records.size(); ++i) WriteLink(stream, records, i);

    TopicFile file;
    ByteWriter out;
    for (size_t block = 0; block * kTopicBlockData < stream.size(); ++block) {
        WriteBlockHeader(out, records, block);
        size_t begin = block * kTopicBlockData;
        size_t end = std::min(stream.size(), begin + kTopicBlockData);
        out.Append(FrameAsLiterals(Bytes(stream.begin() + static_cast<std::ptrdiff_t>(begin),
                                         stream.begin() + static_cast<std::ptrdiff_t>(end))));
    }
    file.data = out.Take();
    for (size_t i = 0; i + 1 < ranges.size(); ++i) file.topicOffsets.push_back(records[ranges[i].header].offset);
    return file;
}

}  // namespace kestrix
