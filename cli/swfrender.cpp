// swfrender: draws one frame of a Flash movie into a PNG file, or times the drawing.
//   swfrender MOVIE.swf -o OUT.png [--frame N] [--size WxH] [--scale MODE] [--align N]
//   swfrender MOVIE.swf --bench [--size WxH] [--frames N]
//   swfrender MOVIE.swf --compare REF.png [--frame N] [--tolerance T]
// --compare draws at the reference's size and prints how many pixels lie within T (default 8)
// of it in each of red, green and blue; a translucent reference is first laid over the
// movie's background.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/MemoryStream.h"
#include "base/PictureDecoders.h"
#include "swf/Player.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

namespace {

using namespace kestrix;
using namespace kestrix::swf;

struct Options {
    std::string movie;
    std::string output;
    int frame = 1;
    int width = 0;
    int height = 0;
    ScaleMode scale = ScaleMode::ShowAll;
    int align = 0;
    bool bench = false;
    int benchFrames = 100;
    std::string reference;
    int tolerance = 8;
};

void Usage() {
    std::fprintf(stderr,
                 "usage: swfrender MOVIE.swf -o OUT.png [--frame N] [--size WxH] "
                 "[--scale showall|noborder|exactfit|noscale] [--align N]\n"
                 "       swfrender MOVIE.swf --bench [--size WxH] [--frames N]\n"
                 "       swfrender MOVIE.swf --compare REF.png [--frame N] [--tolerance T]\n");
}

bool ParseInt(const char* text, int low, int high, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < low || parsed > high) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    return ParseInt(text.substr(0, x).c_str(), 1, 16384, width) &&
           ParseInt(text.substr(x + 1).c_str(), 1, 16384, height);
}

bool ParseScale(const std::string& text, ScaleMode& mode) {
    static const std::pair<const char*, ScaleMode> kModes[] = {{"showall", ScaleMode::ShowAll},
                                                               {"noborder", ScaleMode::NoBorder},
                                                               {"exactfit", ScaleMode::ExactFit},
                                                               {"noscale", ScaleMode::NoScale}};
    for (const auto& [name, value] : kModes)
        if (text == name) {
            mode = value;
            return true;
        }
    return false;
}

// Returns false (after saying why) for a bad command line.
bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        auto fail = [&](const char* what) {
            std::fprintf(stderr, "swfrender: %s\n", what);
            return false;
        };
        if (arg == "-o") {
            if (!hasValue) return fail("-o needs a file name");
            options.output = argv[++i];
        } else if (arg == "--frame") {
            if (!hasValue || !ParseInt(argv[++i], 1, 1000000, options.frame))
                return fail("--frame needs a number from 1");
        } else if (arg == "--frames") {
            if (!hasValue || !ParseInt(argv[++i], 1, 1000000, options.benchFrames))
                return fail("--frames needs a number from 1");
        } else if (arg == "--size") {
            if (!hasValue || !ParseSize(argv[++i], options.width, options.height))
                return fail("--size needs WIDTHxHEIGHT, each 1 to 16384");
        } else if (arg == "--scale") {
            if (!hasValue || !ParseScale(argv[++i], options.scale))
                return fail("--scale needs showall, noborder, exactfit or noscale");
        } else if (arg == "--align") {
            if (!hasValue || !ParseInt(argv[++i], 0, 15, options.align)) return fail("--align needs a number 0 to 15");
        } else if (arg == "--compare") {
            if (!hasValue) return fail("--compare needs a PNG file");
            options.reference = argv[++i];
        } else if (arg == "--tolerance") {
            if (!hasValue || !ParseInt(argv[++i], 0, 255, options.tolerance))
                return fail("--tolerance needs a number 0 to 255");
        } else if (arg == "--bench") {
            options.bench = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "swfrender: unknown option %s\n", arg.c_str());
            return false;
        } else if (options.movie.empty()) {
            options.movie = arg;
        } else {
            return fail("only one movie at a time");
        }
    }
    if (options.movie.empty()) return false;
    if (!options.bench && options.output.empty() && options.reference.empty()) {
        std::fprintf(stderr, "swfrender: say where the picture goes with -o OUT.png\n");
        return false;
    }
    return true;
}

// The PNG wants R, G, B, A bytes; the engine draws 0xAARRGGBB words.
bool WritePng(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height) {
    std::vector<uint8_t> rgba(pixels.size() * 4);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t p = pixels[i];
        rgba[4 * i] = static_cast<uint8_t>(p >> 16);
        rgba[4 * i + 1] = static_cast<uint8_t>(p >> 8);
        rgba[4 * i + 2] = static_cast<uint8_t>(p);
        rgba[4 * i + 3] = static_cast<uint8_t>(p >> 24);
    }
    return stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) != 0;
}

int Bench(Player& player, int width, int height, const Options& options) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    std::vector<double> times;
    for (int i = 0; i < options.benchFrames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        player.Render(pixels.data(), width, height, width, options.scale, options.align);
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        player.StepFrame();
    }
    std::sort(times.begin(), times.end());
    std::printf("%.3f ms per frame (median of %d at %dx%d)\n", times[times.size() / 2], options.benchFrames, width,
                height);
    return 0;
}

// Over the background: what a translucent reference pixel looks like on screen.
uint32_t OverBackground(uint32_t pixel, uint32_t background) {
    const uint32_t alpha = pixel >> 24;
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t s = (pixel >> shift) & 0xFF;
        const uint32_t d = (background >> shift) & 0xFF;
        out |= ((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}

int Compare(const std::vector<uint32_t>& pixels, const TBitmap& reference, uint32_t background, int tolerance) {
    size_t matching = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t expected = OverBackground(reference.Pixels()[i], background);
        bool close = true;
        for (int shift = 0; shift < 24; shift += 8) {
            const int a = static_cast<int>((pixels[i] >> shift) & 0xFF);
            const int b = static_cast<int>((expected >> shift) & 0xFF);
            if (std::abs(a - b) > tolerance) close = false;
        }
        if (close) ++matching;
    }
    std::printf("match %.2f%% (%zu of %zu pixels within %d)\n", 100.0 * matching / pixels.size(), matching,
                pixels.size(), tolerance);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        Usage();
        return 1;
    }
    TMemoryStream file;
    try {
        file.LoadFromFile(options.movie);
    } catch (const Exception& e) {
        std::fprintf(stderr, "swfrender: %s\n", e.Message().c_str());
        return 1;
    }
    std::string error;
    const auto movie = Movie::Load(file.Bytes().data(), file.Bytes().size(), error);
    if (!movie) {
        std::fprintf(stderr, "swfrender: %s: %s\n", options.movie.c_str(), error.c_str());
        return 1;
    }
    int width = options.width;
    int height = options.height;
    if (width == 0) {
        width = std::clamp(static_cast<int>(std::lround(movie->StageWidth())), 1, 16384);
        height = std::clamp(static_cast<int>(std::lround(movie->StageHeight())), 1, 16384);
    }
    TBitmap reference;
    if (!options.reference.empty()) {
        try {
            TMemoryStream png;
            png.LoadFromFile(options.reference);
            reference = DecodePng(png.Bytes().data(), png.Bytes().size());
        } catch (const Exception& e) {
            std::fprintf(stderr, "swfrender: %s: %s\n", options.reference.c_str(), e.Message().c_str());
            return 1;
        }
        width = reference.Width();
        height = reference.Height();
    }
    Player player(movie);
    if (options.bench) return Bench(player, width, height, options);

    for (int frame = 1; frame < options.frame; ++frame) player.StepFrame();
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    player.Render(pixels.data(), width, height, width, options.scale, options.align);
    if (!options.reference.empty()) {
        Compare(pixels, reference, movie->BackgroundColor(), options.tolerance);
        if (options.output.empty()) return 0;
    }
    if (!WritePng(options.output, pixels, width, height)) {
        std::fprintf(stderr, "swfrender: cannot write %s\n", options.output.c_str());
        return 1;
    }
    return 0;
}
