#include "tests/unit/TestFiles.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kestrix::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    const auto stamp = std::to_string(fs::file_time_type::clock::now().time_since_epoch().count());
    const fs::path dir = fs::temp_directory_path() / ("kestrix-test-" + stamp + "-" + std::to_string(counter++));
    fs::create_directories(dir);
    path_ = (dir / "").string();
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

Bytes ReadBytes(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + fileName);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& fileName) {
    const Bytes bytes = ReadBytes(fileName);
    return std::string(bytes.begin(), bytes.end());
}

void WriteBytes(const std::string& fileName, const Bytes& bytes) {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + fileName);
}

void WriteText(const std::string& fileName, const std::string& text) { WriteBytes(fileName, ToBytes(text)); }

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

}  // namespace kestrix::test
