// The payload reader: finds one item by key in a compiled screen saver's file.
#pragma once

#include <memory>
#include <string>

#include "payload/ResItems.h"

namespace kestrix {

class TStream;

class TResourceFromExe {
public:
    // fileName: the compiled file to read; the runtime passes its own executable.
    explicit TResourceFromExe(std::string fileName) : fileName_(std::move(fileName)) {}

    // A new item of the kind stored under key, or nullptr when the payload has none.
    // Each call reopens the file. A truncated or damaged payload raises "Stream read error".
    std::unique_ptr<TResItem> GetItem(const std::string& key) const;

    // Lengths are checked against the bytes left in the stream before anything is allocated.
    static std::string ReadString(TStream& stream);
    static int32_t ReadInteger(TStream& stream);

private:
    std::string fileName_;
};

}  // namespace kestrix
