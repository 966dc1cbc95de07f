#include "builder/ScreenSaverExample_win.h"

#include <shellapi.h>

#include <algorithm>

#include "base/Path.h"

namespace kestrix {

namespace {
constexpr UINT kPollMilliseconds = 500;
}  // namespace

TScreenSaverExamples::TScreenSaverExamples() : poll_(kPollMilliseconds) {
    poll_.OnTimer = [this] { RemoveEnded(); };
}

// Examples still running when the builder ends keep their files; there is no one left to wait.
TScreenSaverExamples::~TScreenSaverExamples() {
    for (const Running& run : running_) CloseHandle(run.process);
}

void TScreenSaverExamples::Start(HWND owner, const std::string& screenSaver) {
    SHELLEXECUTEINFOA start{};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_NOCLOSEPROCESS;
    start.hwnd = owner;
    start.lpVerb = "open";
    start.lpFile = screenSaver.c_str();
    start.lpParameters = "/s";
    start.lpDirectory = "";
    start.nShow = SW_SHOW;
    ShellExecuteExA(&start);
    if (!start.hProcess) {
        RemoveFile(screenSaver);  // nothing to wait for: the shell started no program of its own
        return;
    }
    running_.push_back({start.hProcess, screenSaver});
    poll_.SetEnabled(true);
}

void TScreenSaverExamples::RemoveEnded() {
    const auto ended = std::stable_partition(running_.begin(), running_.end(), [](const Running& run) {
        return WaitForSingleObject(run.process, 0) == WAIT_TIMEOUT;
    });
    for (auto run = ended; run != running_.end(); ++run) {
        CloseHandle(run->process);
        RemoveFile(run->file);
    }
    running_.erase(ended, running_.end());
    if (running_.empty()) poll_.SetEnabled(false);
}

}  // namespace kestrix
