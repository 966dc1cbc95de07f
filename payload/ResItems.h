// The in-memory form of the payload records, one class per record kind.
#pragma once

#include <cstdint>
#include <string>

#include "base/MemoryStream.h"

namespace kestrix {

class TResItem {
public:
    virtual ~TResItem() = default;
    std::string Key;
};

class TStringResItem : public TResItem {
public:
    std::string Value;
};

class TIntegerResItem : public TResItem {
public:
    int32_t Value = 0;
};

class TStreamResItem : public TResItem {
public:
    TMemoryStream Stream;
};

// In the builder FileName is the full path of the file to store and Stream stays empty;
// read back from a payload, FileName is the stored name (no directory) and Stream holds
// the contents, positioned at 0.
class TFileResItem : public TResItem {
public:
    std::string FileName;
    TMemoryStream Stream;
};

}  // namespace kestrix
