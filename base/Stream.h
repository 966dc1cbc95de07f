// Byte streams: the abstract stream and its buffer-exact operations.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrix {

enum class SeekOrigin { Beginning, Current, End };

class TStream {
public:
    virtual ~TStream() = default;

    // Move up to count bytes; return how many moved.
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    // Returns the new position. Positions past the end are allowed, as with files.
    virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
    virtual int64_t Size();

    int64_t Position() { return Seek(0, SeekOrigin::Current); }
    void SetPosition(int64_t position) { Seek(position, SeekOrigin::Beginning); }

    // Exactly count bytes or EReadError / EWriteError.
    void ReadBuffer(void* buffer, size_t count);
    void WriteBuffer(const void* buffer, size_t count);

    // Copies count bytes from source's current position, in chunks; count 0 copies the
    // whole source from its start. Returns the number of bytes copied.
    int64_t CopyFrom(TStream& source, int64_t count);

    // Bytes between the position and the end; 0 when the position is past the end.
    int64_t Remaining();
};

}  // namespace kestrix
