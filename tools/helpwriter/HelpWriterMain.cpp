// kx-helpwriter SOURCE_FOLDER OUTPUT.hlp OUTPUT.cnt
// Writes the builder's help file and its contents file from the sources in SOURCE_FOLDER.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "tools/helpwriter/ContentsFile.h"
#include "tools/helpwriter/HelpFileWriter.h"

namespace {

using namespace kestrix;
namespace fs = std::filesystem;

// Through a temporary file, so that a failed run never leaves a half-written file for the
// build to embed.
void WriteFile(const fs::path& path, const char* data, size_t size) {
    fs::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(data, static_cast<std::streamsize>(size));
        if (!out.flush()) throw HelpWriterError("cannot write " + temporary.string());
    }
    fs::rename(temporary, path);
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// Reproducible builds set SOURCE_DATE_EPOCH; otherwise the file is dated now.
uint32_t GenerationTime() {
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"))
        return static_cast<uint32_t>(std::strtoul(epoch, nullptr, 10));
    return static_cast<uint32_t>(std::time(nullptr));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: kx-helpwriter SOURCE_FOLDER OUTPUT.hlp OUTPUT.cnt\n";
        return 2;
    }
    try {
        HelpProject project = LoadHelpProject(argv[1]);
        fs::path helpPath = argv[2];
        // The contents file finds its help file by this name, beside it.
        if (!SameNameIgnoringCase(project.contents.base, helpPath.filename().string()))
            throw HelpWriterError("contents.txt names " + project.contents.base + ", but the help file is " +
                                  helpPath.filename().string());
        fs::create_directories(fs::absolute(helpPath).parent_path());
        Bytes help = WriteHelpFile(project, GenerationTime());
        WriteFile(helpPath, reinterpret_cast<const char*>(help.data()), help.size());
        std::string contents = WriteContents(project.contents);
        fs::create_directories(fs::absolute(fs::path(argv[3])).parent_path());
        WriteFile(argv[3], contents.data(), contents.size());
    } catch (const std::exception& error) {
        std::cerr << "kx-helpwriter: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
