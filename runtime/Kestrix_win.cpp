// The screen-saver runtime: every compiled screen saver is this program with a payload.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "runtime/RuntimeMode.h"
#include "runtime/frmConfigUnit.h"
#include "ui/Application.h"

using namespace kestrix;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string firstArgument = __argc > 1 ? __argv[1] : "";
    const RuntimeMode mode = ModeFromArgument(__argc > 1 ? &firstArgument : nullptr);
    TApplication application;
    application.Initialize();
    switch (mode) {
        case RuntimeMode::Configuration:
            application.CreateForm<TfrmConfig>();
            break;
        case RuntimeMode::Preview:
        case RuntimeMode::ScreenSaver:
            // Nothing to show in the preview; full-screen playback is not built yet.
            break;
    }
    application.Run();
    return 0;
}
