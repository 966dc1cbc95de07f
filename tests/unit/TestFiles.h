// Files for tests: a fresh temporary folder per test, and whole-file reads and writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrix::test {

using Bytes = std::vector<uint8_t>;

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, ending with the platform's path delimiter.
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

Bytes ReadBytes(const std::string& fileName);
std::string ReadText(const std::string& fileName);
void WriteBytes(const std::string& fileName, const Bytes& bytes);
void WriteText(const std::string& fileName, const std::string& text);
Bytes ToBytes(const std::string& text);

}  // namespace kestrix::test
