// Compile and lookup benchmarks. Every figure is printed next to a baseline measured in the
// same run on the same machine, as a ratio, because absolute times on shared machines vary.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/FileStream.h"
#include "base/Path.h"
#include "builder/Compile.h"
#include "builder/ProjectFileFunctions.h"
#include "payload/PayloadKeys.h"
#include "payload/TResourceFromExeUnit.h"
#include "payload/TResourceToExeUnit.h"

using namespace kestrix;
namespace fs = std::filesystem;

namespace {

constexpr int64_t kMiB = 1024 * 1024;

double MedianSeconds(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void WritePatternFile(const std::string& fileName, int64_t size) {
    std::vector<uint8_t> chunk(kMiB);
    for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<uint8_t>(i * 131 + (i >> 9));
    TFileStream file(fileName, FileAccess::Create, FileShare::Exclusive);
    for (int64_t done = 0; done < size; done += kMiB) file.WriteBuffer(chunk.data(), chunk.size());
}

ProjectSettings BenchProject(const std::string& dir, const std::string& movie) {
    ProjectSettings s;
    s.SSNameVersion = "Benchmark";
    s.FlashFile = movie;
    s.Scale = 0;
    s.Alignment = 4;
    s.Title = "Benchmark";
    s.Logo = dir + "logo.none";  // no picture decoding in the way of the byte shift
    s.CopyrightText = "text";
    s.OutputDir = dir;
    s.OutputFilename = "bench";
    return s;
}

void BenchCompileAgainstCopy(const std::string& dir) {
    const std::string stub = dir + "stub.dat";
    const std::string movie = dir + "movie.swf";
    WritePatternFile(stub, 1 * kMiB);
    WritePatternFile(movie, 256 * kMiB);
    { TFileStream(dir + "logo.none", FileAccess::Create, FileShare::Exclusive); }
    const ProjectSettings project = BenchProject(dir, movie);
    TResourceToExe container;
    const std::string copyCommand = "cat '" + stub + "' '" + movie + "' > '" + dir + "copy.bin'";

    auto compile = [&] { CompileProject(project, container, dir, stub); };
    auto copy = [&] {
        if (std::system(copyCommand.c_str()) != 0) std::fprintf(stderr, "cat failed\n");
    };
    compile();  // warm the page cache for both
    copy();
    const double compileTime = MedianSeconds(5, compile);
    const double copyTime = MedianSeconds(5, copy);
    std::printf("compile of a 256 MiB movie: %.3f s; plain copy (cat): %.3f s; ratio %.2f (aim: 1.30 or less)\n",
                compileTime, copyTime, compileTime / copyTime);
}

void BenchLookups(const std::string& dir) {
    const std::string scr = dir + "bench.scr";
    const TResourceFromExe reader(scr);
    const char* startupKeys[] = {PayloadKey::SSNameVersion, PayloadKey::Title,     PayloadKey::Website,
                                 PayloadKey::Email,         PayloadKey::Logo,      PayloadKey::CopyrightText,
                                 PayloadKey::ScrollBar,     PayloadKey::Scale,     PayloadKey::Alignment};
    const double first = MedianSeconds(51, [&] { reader.GetItem(PayloadKey::SSNameVersion); });
    const double settings = MedianSeconds(51, [&] {
        for (const char* key : startupKeys) reader.GetItem(key);
    });
    const double movie = MedianSeconds(5, [&] { reader.GetItem(PayloadKey::FlashFile); });
    const double plainRead = MedianSeconds(5, [&] {
        TFileStream file(dir + "movie.swf", FileAccess::Read);
        std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
        file.ReadBuffer(bytes.data(), bytes.size());
    });
    std::printf("start-up lookups behind a 256 MiB movie: the nine settings take %.1f us = %.1f x one lookup of "
                "the first record (%.1f us)\n",
                settings * 1e6, settings / first, first * 1e6);
    std::printf("lookup of the 256 MiB movie itself: %.3f s = %.2f x a plain read of the movie file\n", movie,
                movie / plainRead);
}

// Peak memory of kestrixc compiling a 1 GiB (sparse) movie, in a child process.
void BenchPeakMemory(const std::string& dir, const std::string& kestrixc) {
    const std::string movie = dir + "huge.swf";
    { TFileStream(movie, FileAccess::Create, FileShare::Exclusive); }
    fs::resize_file(movie, 1024 * kMiB);
    const std::string logo = dir + "logo.none";  // made by BenchCompileAgainstCopy
    const std::string project = dir + "huge.kcp";
    const std::string text = "SSNameVersion=Huge\r\nFlashFile=" + movie + "\r\nScale=0\r\nAlignment=4\r\nTitle=Huge\r\n"
                             "Logo=" + logo + "\r\nTransparent=0\r\nScrollBar=0\r\nOutputDir=" + dir +
                             "\r\nOutputFilename=huge\r\n";
    TFileStream(project, FileAccess::Create, FileShare::Exclusive).WriteBuffer(text.data(), text.size());

    const pid_t child = fork();
    if (child == 0) {
        execl(kestrixc.c_str(), kestrixc.c_str(), project.c_str(), "--stub", (dir + "stub.dat").c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    std::printf("peak memory of kestrixc compiling a 1 GiB movie: %.1f MiB (aim: under 64 MiB; exit code %d)\n",
                usage.ru_maxrss / 1024.0, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

}  // namespace

int main() {
    const std::string dir = (fs::temp_directory_path() / "kestrix-bench").string() + "/";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string kestrixc = ExtractFilePath(ExecutableFileName()) + "kestrixc";
    BenchCompileAgainstCopy(dir);
    BenchLookups(dir);
    BenchPeakMemory(dir, kestrixc);
    fs::remove_all(dir);
    return 0;
}
