// KestrixCompiler: the builder, in which an author describes a screen saver as a project,
// saves it and compiles it.
#include <windows.h>

#include "base/Path.h"
#include "builder/frmAboutUnit.h"
#include "builder/frmMainUnit.h"
#include "ui/Application.h"

using namespace kestrix;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TApplication application;
    application.Initialize();
    application.SetTitle("Kestrix Compiler");
    application.SetHelpFile(ExtractFilePath(ExecutableFileName()) + "KestrixCompiler.hlp");
    try {
        const TfrmMain* main = application.CreateForm<TfrmMain>();
        // The error box has told why; without its support files the builder has no project.
        if (!main->StartedUp()) return 1;
        application.CreateForm<TfrmAbout>();
    } catch (const std::exception& error) {
        application.ShowException(error);
        return 1;
    }
    application.Run();
    return 0;
}
