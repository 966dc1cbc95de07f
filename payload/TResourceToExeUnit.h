// The payload writer: holds the items of one compile and appends them to a copy of the
// runtime executable.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "payload/ResItems.h"

namespace kestrix {

class TStream;

class TResourceToExe {
public:
    TResourceToExe() = default;
    ~TResourceToExe() { Clear(); }
    TResourceToExe(const TResourceToExe&) = delete;
    TResourceToExe& operator=(const TResourceToExe&) = delete;

    // Removes and frees every item, from the last to the first.
    void Clear();
    // Takes the item and returns its index, or returns -1 when its key is already in the
    // list; the item is then left with the caller.
    int Add(std::unique_ptr<TResItem>&& item);
    // The first item whose key equals key byte for byte, or nullptr with index -1.
    TResItem* Find(const std::string& key, int& index) const;
    int Count() const { return static_cast<int>(items_.size()); }

    // Copies the stub to the output file (replacing it) and appends one record per item,
    // the end record and the trailer. An empty list appends the end record and trailer only,
    // so every file this writes has a readable payload.
    void WriteToFile(const std::string& stubFileName, const std::string& outputFileName);

    static void WriteString(const std::string& text, TStream& stream);
    static void WriteInteger(int32_t value, TStream& stream);

private:
    void CheckPayloadFits(const std::string& stubFileName) const;
    void WriteItem(const TResItem& item, TStream& stream) const;

    std::vector<std::unique_ptr<TResItem>> items_;
};

}  // namespace kestrix
