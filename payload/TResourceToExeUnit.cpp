#include "payload/TResourceToExeUnit.h"

#include <cstdint>
#include <limits>

#include "base/Exception.h"
#include "base/FileStream.h"
#include "base/Path.h"
#include "payload/PayloadKeys.h"
#include "payload/clsEncodedStream.h"

namespace kestrix {

namespace {

constexpr int64_t kMaxFileSize = std::numeric_limits<int32_t>::max();
constexpr int64_t kIntegerField = 4;
constexpr int64_t kTagField = kIntegerField + 10;
constexpr int64_t kEndAndTrailer = kTagField + kIntegerField;

int64_t StringField(const std::string& text) { return kIntegerField + static_cast<int64_t>(text.size()); }

[[noreturn]] void ThrowTooLarge(int64_t size) {
    throw Exception("The screen saver would be " + std::to_string(size) +
                    " bytes long, but a compiled screen saver must stay below 2 GB. "
                    "Choose a smaller movie or logo.");
}

int64_t FileSizeOrZero(const std::string& fileName) {
    try {
        return TFileStream(fileName, FileAccess::Read, FileShare::DenyNone).Size();
    } catch (const Exception&) {
        return 0;  // reported when the writing reaches it
    }
}

// The size of a file record without its body.
int64_t FileRecordHead(const TFileResItem& file) {
    return kTagField + StringField(file.Key) + StringField(ExtractFileName(file.FileName)) + kIntegerField;
}

// The stored size of one record, as WriteItem writes it.
int64_t RecordSize(const TResItem& item) {
    const int64_t head = kTagField + StringField(item.Key);
    if (dynamic_cast<const TIntegerResItem*>(&item)) return head + kIntegerField;
    if (const auto* text = dynamic_cast<const TStringResItem*>(&item)) return head + StringField(text->Value);
    if (const auto* stream = dynamic_cast<const TStreamResItem*>(&item))
        return head + kIntegerField + stream->Stream.Bytes().size();
    if (const auto* file = dynamic_cast<const TFileResItem*>(&item))
        return FileRecordHead(*file) + FileSizeOrZero(file->FileName);
    return 0;
}

}  // namespace

void TResourceToExe::Clear() {
    while (!items_.empty()) {
        std::unique_ptr<TResItem> last = std::move(items_.back());
        items_.pop_back();
    }
}

int TResourceToExe::Add(std::unique_ptr<TResItem>&& item) {
    int index = -1;
    if (Find(item->Key, index)) return -1;
    items_.push_back(std::move(item));
    return Count() - 1;
}

TResItem* TResourceToExe::Find(const std::string& key, int& index) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i]->Key == key) {
            index = static_cast<int>(i);
            return items_[i].get();
        }
    }
    index = -1;
    return nullptr;
}

void TResourceToExe::WriteString(const std::string& text, TStream& stream) {
    if (static_cast<int64_t>(text.size()) > kMaxFileSize) ThrowTooLarge(static_cast<int64_t>(text.size()));
    WriteInteger(static_cast<int32_t>(text.size()), stream);
    stream.WriteBuffer(text.data(), text.size());
}

void TResourceToExe::WriteInteger(int32_t value, TStream& stream) {
    const uint32_t bits = static_cast<uint32_t>(value);
    const uint8_t bytes[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                              static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
    stream.WriteBuffer(bytes, sizeof bytes);
}

// Refuses, before anything is written, a payload whose offsets or sizes would not fit in
// the format's signed 32-bit fields.
void TResourceToExe::CheckPayloadFits(const std::string& stubFileName) const {
    int64_t total = FileSizeOrZero(stubFileName) + kEndAndTrailer;
    for (const auto& item : items_) total += RecordSize(*item);
    if (total > kMaxFileSize) ThrowTooLarge(total);
}

void TResourceToExe::WriteToFile(const std::string& stubFileName, const std::string& outputFileName) {
    CheckPayloadFits(stubFileName);
    CopyFileReplacing(stubFileName, outputFileName);  // a failure shows when the output is opened
    TEncodedStream output(outputFileName, FileAccess::Write, FileShare::Exclusive);
    const int64_t stubSize = output.Size();
    if (stubSize > kMaxFileSize - kEndAndTrailer) ThrowTooLarge(stubSize);
    output.Seek(stubSize, SeekOrigin::Beginning);
    for (const auto& item : items_) WriteItem(*item, output);
    WriteString(PayloadTag::End, output);
    WriteInteger(static_cast<int32_t>(stubSize), output);
}

void TResourceToExe::WriteItem(const TResItem& item, TStream& stream) const {
    if (const auto* integer = dynamic_cast<const TIntegerResItem*>(&item)) {
        WriteString(PayloadTag::Integer, stream);
        WriteString(item.Key, stream);
        WriteInteger(integer->Value, stream);
    } else if (const auto* text = dynamic_cast<const TStringResItem*>(&item)) {
        WriteString(PayloadTag::String, stream);
        WriteString(item.Key, stream);
        WriteString(text->Value, stream);
    } else if (const auto* body = dynamic_cast<const TStreamResItem*>(&item)) {
        const std::vector<uint8_t>& bytes = body->Stream.Bytes();
        WriteString(PayloadTag::Stream, stream);
        WriteString(item.Key, stream);
        WriteInteger(static_cast<int32_t>(bytes.size()), stream);
        stream.WriteBuffer(bytes.data(), bytes.size());
    } else if (const auto* file = dynamic_cast<const TFileResItem*>(&item)) {
        if (!FileExists(file->FileName)) throw Exception(file->FileName + " could not be found!");
        // The body moves in chunks, so a large movie never sits in memory whole.
        TFileStream source(file->FileName, FileAccess::Read, FileShare::DenyWrite);
        const int64_t size = source.Size();
        const int64_t end = stream.Position() + FileRecordHead(*file) + size;
        if (end > kMaxFileSize - kEndAndTrailer) ThrowTooLarge(end + kEndAndTrailer);
        WriteString(PayloadTag::File, stream);
        WriteString(item.Key, stream);
        WriteString(ExtractFileName(file->FileName), stream);
        WriteInteger(static_cast<int32_t>(size), stream);
        if (size > 0) stream.CopyFrom(source, size);
    }
}

}  // namespace kestrix
