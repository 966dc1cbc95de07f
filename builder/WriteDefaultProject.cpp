// Writes the default project "general.kcp" exactly as DefaultProjectText() gives it, for the
// builder to carry as a resource: write-default-project FILE
#include <cstdio>
#include <string>

#include "builder/ProjectFileFunctions.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write-default-project FILE\n");
        return 2;
    }
    const std::string text = kestrix::DefaultProjectText();
    FILE* file = std::fopen(argv[1], "wb");
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fclose(file) == 0 && written;
    if (!written) std::perror(argv[1]);
    return written ? 0 : 1;
}
