// Feeds arbitrary bytes as a compiled screen saver to the payload reader.
#include <cstdint>
#include <filesystem>
#include <string>

#include "base/Exception.h"
#include "base/MemoryStream.h"
#include "payload/PayloadKeys.h"
#include "payload/TResourceFromExeUnit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrix;
    static const std::string fileName = (std::filesystem::temp_directory_path() / "kestrix-fuzz-payload.scr").string();
    TMemoryStream(std::vector<uint8_t>(data, data + size)).SaveToFile(fileName);
    const char* keys[] = {PayloadKey::SSNameVersion, PayloadKey::FlashFile, PayloadKey::Logo, PayloadKey::ScrollBar,
                          "Unknown"};
    for (const char* key : keys) {
        try {
            TResourceFromExe(fileName).GetItem(key);
        } catch (const Exception&) {
        }
    }
    return 0;
}
