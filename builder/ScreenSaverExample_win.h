// Starting the screen-saver example: the compiled .scr runs as the screen saver and is
// removed once it has ended. A running program's file cannot be deleted, so the removal waits
// for the program instead of being tried, in vain, right after the start.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/Timer.h"

namespace kestrix {

class TScreenSaverExamples {
public:
    TScreenSaverExamples();
    ~TScreenSaverExamples();
    TScreenSaverExamples(const TScreenSaverExamples&) = delete;
    TScreenSaverExamples& operator=(const TScreenSaverExamples&) = delete;

    // Opens the file through the shell with "/s", which is what Windows' own entry for screen
    // savers adds; under a shell without that entry the runtime would otherwise show its
    // configuration window. The shell's result is not examined.
    void Start(HWND owner, const std::string& screenSaver);

private:
    struct Running {
        HANDLE process;
        std::string file;
    };
    void RemoveEnded();

    std::vector<Running> running_;
    TTimer poll_;
};

}  // namespace kestrix
