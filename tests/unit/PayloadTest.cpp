#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "base/Exception.h"
#include "base/Path.h"
#include "payload/PayloadKeys.h"
#include "payload/TResourceFromExeUnit.h"
#include "payload/TResourceToExeUnit.h"
#include "payload/clsEncodedStream.h"
#include "tests/unit/TestFiles.h"

using namespace kestrix;
using namespace kestrix::test;

namespace {

// Changing the shift would make every screen saver compiled so far unreadable.
constexpr uint8_t kShift = 0x4B;

void AppendInt(Bytes& out, int32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
}

void AppendString(Bytes& out, const std::string& text) {
    AppendInt(out, static_cast<int32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

Bytes Shifted(const Bytes& plain) {
    Bytes out;
    for (uint8_t b : plain) out.push_back(static_cast<uint8_t>(b + kShift));
    return out;
}

std::unique_ptr<TStringResItem> StringItem(const std::string& key, const std::string& value) {
    auto item = std::make_unique<TStringResItem>();
    item->Key = key;
    item->Value = value;
    return item;
}

std::unique_ptr<TIntegerResItem> IntegerItem(const std::string& key, int32_t value) {
    auto item = std::make_unique<TIntegerResItem>();
    item->Key = key;
    item->Value = value;
    return item;
}

std::unique_ptr<TStreamResItem> StreamItem(const std::string& key, const Bytes& bytes) {
    auto item = std::make_unique<TStreamResItem>();
    item->Key = key;
    item->Stream.WriteBuffer(bytes.data(), bytes.size());
    return item;
}

std::unique_ptr<TFileResItem> FileItem(const std::string& key, const std::string& fileName) {
    auto item = std::make_unique<TFileResItem>();
    item->Key = key;
    item->FileName = fileName;
    return item;
}

Bytes StreamBytes(const TMemoryStream& stream) { return stream.Bytes(); }

class PayloadTest : public ::testing::Test {
protected:
    void SetUp() override { WriteText(stub, "MZ-stub!"); }

    // A file whose payload is made of the given plain bytes, shifted, after the stub.
    void WriteRawPayload(const Bytes& plainRecords) {
        Bytes file = ToBytes("MZ-stub!");
        Bytes plain = plainRecords;
        AppendInt(plain, 8);
        const Bytes shifted = Shifted(plain);
        file.insert(file.end(), shifted.begin(), shifted.end());
        WriteBytes(output, file);
    }

    TempDir dir;
    std::string stub = dir.File("kestrix.dat");
    std::string output = dir.File("out.scr");
};

TEST_F(PayloadTest, CompiledFileHasExactBytes) {
    WriteText(dir.File("movie.swf"), "FW");
    TResourceToExe writer;
    writer.Add(StringItem("Title", "ab"));
    writer.Add(IntegerItem("Scale", -1));
    writer.Add(StreamItem("Logo", {1, 2, 3}));
    writer.Add(FileItem("FlashFile", dir.File("movie.swf")));
    writer.WriteToFile(stub, output);

    Bytes plain;
    AppendString(plain, "STREAM:STR"), AppendString(plain, "Title"), AppendString(plain, "ab");
    AppendString(plain, "STREAM:INT"), AppendString(plain, "Scale"), AppendInt(plain, -1);
    AppendString(plain, "STREAM:STM"), AppendString(plain, "Logo"), AppendInt(plain, 3);
    plain.insert(plain.end(), {1, 2, 3});
    AppendString(plain, "STREAM:FIL"), AppendString(plain, "FlashFile"), AppendString(plain, "movie.swf");
    AppendInt(plain, 2);
    plain.insert(plain.end(), {'F', 'W'});
    AppendString(plain, "STREAM:END");
    AppendInt(plain, 8);  // trailer: the stub's size

    Bytes expected = ToBytes("MZ-stub!");  // the stub is copied unshifted
    const Bytes shifted = Shifted(plain);
    expected.insert(expected.end(), shifted.begin(), shifted.end());
    EXPECT_EQ(ReadBytes(output), expected);
    EXPECT_EQ(kPayloadShift, kShift);
}

TEST_F(PayloadTest, StringRecordTakesTwentyNineBytes) {
    TResourceToExe writer;
    writer.Add(StringItem("Title", "ab"));
    writer.WriteToFile(stub, output);
    EXPECT_EQ(ReadBytes(output).size(), 8u + 29u + 14u + 4u);
}

TEST_F(PayloadTest, EveryKindReadsBack) {
    WriteText(dir.File("big.swf"), std::string(100000, 'x') + "end");
    WriteText(dir.File("empty.swf"), "");
    TResourceToExe writer;
    writer.Add(StringItem("Name", "Kestrix \xA9 2026"));
    writer.Add(StringItem("Empty", ""));
    writer.Add(IntegerItem("Min", INT32_MIN));
    writer.Add(IntegerItem("Max", INT32_MAX));
    writer.Add(StreamItem("Stream", {0, 255, 75, 180}));
    writer.Add(StreamItem("EmptyStream", {}));
    writer.Add(FileItem("File", dir.File("big.swf")));
    writer.Add(FileItem("EmptyFile", dir.File("empty.swf")));
    writer.WriteToFile(stub, output);

    TResourceFromExe reader(output);
    EXPECT_EQ(dynamic_cast<TStringResItem&>(*reader.GetItem("Name")).Value, "Kestrix \xA9 2026");
    EXPECT_EQ(dynamic_cast<TStringResItem&>(*reader.GetItem("Empty")).Value, "");
    EXPECT_EQ(dynamic_cast<TIntegerResItem&>(*reader.GetItem("Min")).Value, INT32_MIN);
    EXPECT_EQ(dynamic_cast<TIntegerResItem&>(*reader.GetItem("Max")).Value, INT32_MAX);
    EXPECT_EQ(StreamBytes(dynamic_cast<TStreamResItem&>(*reader.GetItem("Stream")).Stream), (Bytes{0, 255, 75, 180}));
    EXPECT_EQ(dynamic_cast<TStreamResItem&>(*reader.GetItem("EmptyStream")).Stream.Size(), 0);

    auto file = reader.GetItem("File");
    auto& fileItem = dynamic_cast<TFileResItem&>(*file);
    EXPECT_EQ(fileItem.Key, "File");
    EXPECT_EQ(fileItem.FileName, "big.swf");
    EXPECT_EQ(fileItem.Stream.Position(), 0);
    EXPECT_EQ(StreamBytes(fileItem.Stream), ReadBytes(dir.File("big.swf")));
    auto emptyFile = reader.GetItem("EmptyFile");
    EXPECT_EQ(dynamic_cast<TFileResItem&>(*emptyFile).Stream.Size(), 0);
}

TEST_F(PayloadTest, LookupIsCaseSensitiveAndAbsentKeysGiveNothing) {
    TResourceToExe writer;
    writer.Add(StringItem("Title", "x"));
    writer.WriteToFile(stub, output);
    TResourceFromExe reader(output);
    EXPECT_NE(reader.GetItem("Title"), nullptr);
    EXPECT_EQ(reader.GetItem("title"), nullptr);
    EXPECT_EQ(reader.GetItem("Website"), nullptr);
}

TEST_F(PayloadTest, UnknownTagIsReadAsTagAndKeyOnly) {
    Bytes plain;
    AppendString(plain, "STREAM:XYZ"), AppendString(plain, "Title");  // no body follows
    AppendString(plain, "STREAM:STR"), AppendString(plain, "Title"), AppendString(plain, "real");
    AppendString(plain, "STREAM:END");
    WriteRawPayload(plain);
    auto item = TResourceFromExe(output).GetItem("Title");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(dynamic_cast<TStringResItem&>(*item).Value, "real");
}

TEST_F(PayloadTest, DamagedPayloadsRaiseReadError) {
    auto record = [](const std::string& tag, int32_t size) {
        Bytes plain;
        AppendString(plain, tag), AppendString(plain, "Other");
        if (tag == "STREAM:FIL") AppendString(plain, "name");
        AppendInt(plain, size);
        return plain;
    };
    Bytes hugeKey;
    AppendString(hugeKey, "STREAM:STR"), AppendInt(hugeKey, 0x7FFFFFF0);
    Bytes negativeKey;
    AppendString(negativeKey, "STREAM:STR"), AppendInt(negativeKey, -5);
    const std::vector<Bytes> cases = {
        record("STREAM:STM", 0x7FFFFFFF),  // a body far beyond the file
        record("STREAM:STM", -1),
        record("STREAM:FIL", 1000),
        record("STREAM:FIL", INT32_MIN),
        hugeKey,
        negativeKey,
        {},  // no end record at all
    };
    for (const Bytes& plain : cases) {
        WriteRawPayload(plain);
        try {
            TResourceFromExe(output).GetItem("Title");
            ADD_FAILURE() << "no error for a damaged payload of " << plain.size() << " bytes";
        } catch (const EReadError& error) {
            EXPECT_EQ(error.Message(), "Stream read error");
        }
    }
}

TEST_F(PayloadTest, TrailerOutsideTheFileOrNoPayloadRaisesReadError) {
    const std::vector<Bytes> files = {
        {},
        {1, 2},
        ToBytes("plain executable without any payload at all"),
    };
    for (const Bytes& file : files) {
        WriteBytes(output, file);
        EXPECT_THROW(TResourceFromExe(output).GetItem("Title"), EReadError);
    }
    EXPECT_THROW(TResourceFromExe(dir.File("missing.scr")).GetItem("Title"), EFOpenError);
}

TEST_F(PayloadTest, AddRefusesTakenKeyAndLeavesItemWithCaller) {
    TResourceToExe writer;
    EXPECT_EQ(writer.Add(StringItem("Title", "first")), 0);
    EXPECT_EQ(writer.Add(IntegerItem("Scale", 1)), 1);
    std::unique_ptr<TResItem> again = StringItem("Title", "second");
    EXPECT_EQ(writer.Add(std::move(again)), -1);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(dynamic_cast<TStringResItem&>(*again).Value, "second");
    EXPECT_EQ(writer.Count(), 2);

    int index = -2;
    EXPECT_EQ(dynamic_cast<TStringResItem*>(writer.Find("Title", index))->Value, "first");
    EXPECT_EQ(index, 0);
    EXPECT_EQ(writer.Find("title", index), nullptr);
    EXPECT_EQ(index, -1);

    writer.Clear();
    EXPECT_EQ(writer.Count(), 0);
    writer.Clear();
    EXPECT_EQ(writer.Count(), 0);
}

TEST_F(PayloadTest, MissingFileStopsWritingAtThatItem) {
    TResourceToExe writer;
    writer.Add(StringItem("Title", "kept"));
    writer.Add(FileItem("FlashFile", dir.File("gone.swf")));
    writer.Add(StringItem("Email", "never"));
    try {
        writer.WriteToFile(stub, output);
        FAIL() << "no error for a missing file";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), dir.File("gone.swf") + " could not be found!");
    }
    Bytes plain;
    AppendString(plain, "STREAM:STR"), AppendString(plain, "Title"), AppendString(plain, "kept");
    Bytes expected = ToBytes("MZ-stub!");
    const Bytes shifted = Shifted(plain);
    expected.insert(expected.end(), shifted.begin(), shifted.end());
    EXPECT_EQ(ReadBytes(output), expected);
}

TEST_F(PayloadTest, FailedStubCopyAppendsAfterOlderPayload) {
    TResourceToExe writer;
    writer.Add(StringItem("Title", "old"));
    writer.WriteToFile(stub, output);
    const size_t oldSize = ReadBytes(output).size();

    writer.Clear();
    writer.Add(StringItem("Title", "new"));
    writer.WriteToFile(dir.File("no-such-stub.dat"), output);
    EXPECT_GT(ReadBytes(output).size(), oldSize);
    EXPECT_EQ(dynamic_cast<TStringResItem&>(*TResourceFromExe(output).GetItem("Title")).Value, "new");
}

TEST_F(PayloadTest, EmptyListWritesAReadableEmptyPayload) {
    TResourceToExe().WriteToFile(stub, output);
    EXPECT_EQ(ReadBytes(output).size(), 8u + 14u + 4u);
    EXPECT_EQ(TResourceFromExe(output).GetItem("Title"), nullptr);
}

TEST_F(PayloadTest, MissingOutputFolderRaisesOpenError) {
    TResourceToExe writer;
    writer.Add(StringItem("Title", "x"));
    EXPECT_THROW(writer.WriteToFile(stub, dir.File("no-folder") + kPathDelimiter + "out.scr"), EFOpenError);
}

TEST_F(PayloadTest, PayloadBeyondTwoGigabytesIsRefusedBeforeWriting) {
    // A sparse file: 2 GiB long without taking the disk space.
    const std::string huge = dir.File("huge.swf");
    WriteText(huge, "");
    std::filesystem::resize_file(huge, 1ull << 31);
    TResourceToExe writer;
    writer.Add(FileItem("FlashFile", huge));
    try {
        writer.WriteToFile(stub, output);
        FAIL() << "a 2 GiB movie was accepted";
    } catch (const Exception& error) {
        EXPECT_NE(error.Message().find("below 2 GB"), std::string::npos) << error.Message();
    }
    EXPECT_FALSE(FileExists(output));
}

TEST(EncodedStreamTest, ShiftsOnWriteAndReadButLeavesCallerBuffer) {
    TempDir dir;
    const std::string file = dir.File("f.bin");
    WriteText(file, "");
    {
        TEncodedStream stream(file, FileAccess::Write, FileShare::Exclusive);
        const uint8_t plain[] = {0x00, 0xB5, 0xFF, 0x10};
        stream.WriteBuffer(plain, sizeof plain);
        EXPECT_EQ(plain[1], 0xB5);
    }
    EXPECT_EQ(ReadBytes(file), (Bytes{0x4B, 0x00, 0x4A, 0x5B}));
    TEncodedStream stream(file, FileAccess::Read, FileShare::DenyNone);
    uint8_t back[8] = {0};
    EXPECT_EQ(stream.Read(back, sizeof back), 4u);
    EXPECT_EQ(Bytes(back, back + 4), (Bytes{0x00, 0xB5, 0xFF, 0x10}));
}

}  // namespace
