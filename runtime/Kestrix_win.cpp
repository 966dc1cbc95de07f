// The screen-saver runtime: every compiled screen saver is this program with a payload.
#include <windows.h>

#include <string>

#include "base/Exception.h"
#include "runtime/FlashInstall_win.h"
#include "runtime/RuntimeMode.h"
#include "runtime/frmConfigUnit.h"
#include "runtime/frmScreenSaverUnit.h"
#include "ui/Application.h"

using namespace kestrix;

namespace {

constexpr const char* kInstanceMessage = "TERVANEKESTRIXAPPX";
constexpr const char* kInstanceMutex = "TERVANEKESTRIXKEYX";
constexpr int kMinimumFlashVersion = 5;

RuntimeMode gMode = RuntimeMode::Configuration;

// Creates the windows of the mode; the first one created is the main window.
void CreateModeForms() {
    switch (gMode) {
        case RuntimeMode::ScreenSaver:
            Application->SetTitle("Kestrix");
            Application->CreateForm<TfrmScreenSaver>();
            Application->CreateForm<TfrmConfig>();
            break;
        case RuntimeMode::Configuration:
            Application->CreateForm<TfrmConfig>();
            Application->CreateForm<TfrmScreenSaver>();
            break;
        case RuntimeMode::Preview: break;
    }
}

void ShowPlainMessage(const char* text) {
    MessageBoxA(Application->MainWindowHandle(), text, Application->Title().c_str(), MB_OK);
}

// The control is missing, too old or cannot be created: put ours in place and try again.
void InstallFlashControl() {
    const std::string controlFile = WriteControlFile();  // its failure ends the program
    try {
        RegisterControlFile(controlFile);
        try {
            CreateModeForms();
        } catch (const std::exception&) {
            ShowPlainMessage("Unable to find Macromedia Shockwave Flash.");
        }
    } catch (const std::exception&) {
        ShowPlainMessage("Unable to register Macromedia Shockwave Flash.");
    }
}

// Whatever goes wrong here only means that the control has to be installed.
bool CreateFormsWithInstalledControl() {
    try {
        const FlashVersion version = QueryFlashVersion();
        if (!version.installed) throw Exception("No Flash ActiveX installed");
        if (version.major < kMinimumFlashVersion) throw Exception("Flash ActiveX version < 5");
        CreateModeForms();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const UINT instanceMessage = RegisterWindowMessageA(kInstanceMessage);
    CreateMutexA(nullptr, TRUE, kInstanceMutex);  // held until the process ends
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        PostMessageA(HWND_BROADCAST, instanceMessage, 0, 0);
        return 0;
    }
    ReadSystemDirectories();
    const std::string firstArgument = __argc > 1 ? __argv[1] : "";
    gMode = ModeFromArgument(__argc > 1 ? &firstArgument : nullptr);

    TApplication application;
    application.Initialize();
    try {
        if (!CreateFormsWithInstalledControl()) InstallFlashControl();
    } catch (const std::exception& error) {
        application.ShowException(error);
        return 1;
    }
    application.Run();
    return 0;
}
