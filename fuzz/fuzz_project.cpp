// Feeds arbitrary bytes as a project file to the project loader, then saves and compares.
#include <cstdint>
#include <filesystem>
#include <string>

#include "base/MemoryStream.h"
#include "builder/ProjectFileFunctions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrix;
    static const std::string dir = (std::filesystem::temp_directory_path() / "").string();
    const std::string fileName = dir + "kestrix-fuzz-project.kcp";
    TMemoryStream(std::vector<uint8_t>(data, data + size)).SaveToFile(fileName);
    TProjectRecord record;
    TProjectFile project(record, dir);
    project.LoadProject(fileName);
    project.IsProjectModified();
    project.SaveProject(dir + "kestrix-fuzz-project-saved.kcp");
    ReplaceAllText(std::string(reinterpret_cast<const char*>(data), size), "#&^!", "\r\n");
    return 0;
}
