#include "payload/TResourceFromExeUnit.h"

#include "base/Exception.h"
#include "payload/PayloadKeys.h"
#include "payload/clsEncodedStream.h"

namespace kestrix {

namespace {

// A body size from the payload: never negative, never more than the file still holds.
int32_t ReadBodySize(TStream& stream) {
    const int32_t size = TResourceFromExe::ReadInteger(stream);
    if (size < 0 || size > stream.Remaining()) throw EReadError();
    return size;
}

void ReadBody(TStream& stream, TMemoryStream& body) {
    const int32_t size = ReadBodySize(stream);
    body.SetSize(static_cast<size_t>(size));
    stream.ReadBuffer(body.Data(), static_cast<size_t>(size));
    body.SetPosition(0);
}

void SkipBody(TStream& stream) { stream.Seek(ReadBodySize(stream), SeekOrigin::Current); }

// Builds the item of a record whose key matched; nullptr for a tag of no known kind.
std::unique_ptr<TResItem> ReadItem(const std::string& tag, TStream& stream) {
    if (tag == PayloadTag::String) {
        auto item = std::make_unique<TStringResItem>();
        item->Value = TResourceFromExe::ReadString(stream);
        return item;
    }
    if (tag == PayloadTag::Integer) {
        auto item = std::make_unique<TIntegerResItem>();
        item->Value = TResourceFromExe::ReadInteger(stream);
        return item;
    }
    if (tag == PayloadTag::Stream) {
        auto item = std::make_unique<TStreamResItem>();
        ReadBody(stream, item->Stream);
        return item;
    }
    if (tag == PayloadTag::File) {
        auto item = std::make_unique<TFileResItem>();
        item->FileName = TResourceFromExe::ReadString(stream);
        ReadBody(stream, item->Stream);
        return item;
    }
    return nullptr;
}

// Passes over the body of a record whose key did not match.
void SkipRecordBody(const std::string& tag, TStream& stream) {
    if (tag == PayloadTag::String) {
        TResourceFromExe::ReadString(stream);
    } else if (tag == PayloadTag::Integer) {
        TResourceFromExe::ReadInteger(stream);
    } else if (tag == PayloadTag::Stream) {
        SkipBody(stream);
    } else if (tag == PayloadTag::File) {
        TResourceFromExe::ReadString(stream);
        SkipBody(stream);
    }
    // Any other tag has no body that we know of: the next record follows its key.
}

}  // namespace

std::string TResourceFromExe::ReadString(TStream& stream) {
    const int32_t length = ReadInteger(stream);
    if (length < 0 || length > stream.Remaining()) throw EReadError();
    std::string text(static_cast<size_t>(length), '\0');
    stream.ReadBuffer(text.data(), text.size());
    return text;
}

int32_t TResourceFromExe::ReadInteger(TStream& stream) {
    uint8_t bytes[4];
    stream.ReadBuffer(bytes, sizeof bytes);
    return static_cast<int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

std::unique_ptr<TResItem> TResourceFromExe::GetItem(const std::string& key) const {
    TEncodedStream file(fileName_, FileAccess::Read, FileShare::DenyNone);
    const int64_t size = file.Size();
    if (size < 4) throw EReadError();
    file.Seek(size - 4, SeekOrigin::Beginning);
    const int32_t payloadOffset = ReadInteger(file);
    if (payloadOffset < 0 || payloadOffset > size) throw EReadError();
    file.Seek(payloadOffset, SeekOrigin::Beginning);
    // Every record takes at least its tag, so the scan ends within the file.
    for (;;) {
        const std::string tag = ReadString(file);
        if (tag == PayloadTag::End) return nullptr;
        const std::string recordKey = ReadString(file);
        if (recordKey == key) {
            std::unique_ptr<TResItem> item = ReadItem(tag, file);
            if (item) {
                item->Key = recordKey;
                return item;
            }
        } else {
            SkipRecordBody(tag, file);
        }
    }
}

}  // namespace kestrix
