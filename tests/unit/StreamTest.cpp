#include <gtest/gtest.h>

#include "base/Exception.h"
#include "base/FileStream.h"
#include "base/MemoryStream.h"
#include "tests/unit/TestFiles.h"

using namespace kestrix;
using namespace kestrix::test;

TEST(StreamTest, ExactReadsAndWritesRaiseTheStreamErrors) {
    TMemoryStream stream(Bytes{1, 2, 3});
    uint8_t buffer[4];
    try {
        stream.ReadBuffer(buffer, 4);
        FAIL();
    } catch (const EReadError& error) {
        EXPECT_EQ(error.Message(), "Stream read error");
    }
    EXPECT_EQ(EWriteError().Message(), "Stream write error");
}

TEST(StreamTest, MemoryStreamSeeksAndGrows) {
    TMemoryStream stream;
    stream.Seek(4, SeekOrigin::Beginning);
    stream.WriteBuffer("ab", 2);
    EXPECT_EQ(stream.Size(), 6);
    EXPECT_EQ(stream.Bytes(), (Bytes{0, 0, 0, 0, 'a', 'b'}));
    EXPECT_EQ(stream.Seek(-1, SeekOrigin::End), 5);
    EXPECT_EQ(stream.Remaining(), 1);
    stream.Seek(10, SeekOrigin::Beginning);
    EXPECT_EQ(stream.Remaining(), 0);
}

TEST(StreamTest, FileStreamCopiesInChunksAndReportsOpenFailures) {
    TempDir dir;
    Bytes data(3 * 1024 * 1024 + 5);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
    WriteBytes(dir.File("in.bin"), data);
    {
        TFileStream in(dir.File("in.bin"), FileAccess::Read);
        TFileStream out(dir.File("out.bin"), FileAccess::Create, FileShare::Exclusive);
        EXPECT_EQ(out.CopyFrom(in, 0), static_cast<int64_t>(data.size()));
    }
    EXPECT_EQ(ReadBytes(dir.File("out.bin")), data);

    try {
        TFileStream missing(dir.File("missing.bin"), FileAccess::Read);
        FAIL();
    } catch (const EFOpenError& error) {
        EXPECT_NE(error.Message().find("missing.bin"), std::string::npos);
    }
    EXPECT_THROW(TFileStream(dir.Path(), FileAccess::Read), EFOpenError);
}

#ifdef _WIN32
TEST(StreamTest, ExclusiveFileKeepsOtherOpenersOut) {
    TempDir dir;
    WriteText(dir.File("f.bin"), "x");
    TFileStream exclusive(dir.File("f.bin"), FileAccess::Write, FileShare::Exclusive);
    EXPECT_THROW(TFileStream(dir.File("f.bin"), FileAccess::Read, FileShare::DenyNone), EFOpenError);
}

TEST(StreamTest, SharedReaderWorksWhileAnotherWrites) {
    TempDir dir;
    WriteText(dir.File("f.bin"), "x");
    TFileStream writer(dir.File("f.bin"), FileAccess::Write, FileShare::DenyNone);
    TFileStream reader(dir.File("f.bin"), FileAccess::Read, FileShare::DenyNone);
    EXPECT_EQ(reader.Size(), 1);
}
#endif
