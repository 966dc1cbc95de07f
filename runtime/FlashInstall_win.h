// Finding, writing and registering the movie player control that the runtime carries.
#pragma once

#include <windows.h>

#include <string>

namespace kestrix {

// The system directory, and the control's folder below it, read once at start-up.
extern std::string SysDir;
extern std::string FlashDir;
void ReadSystemDirectories();

struct FlashVersion {
    bool installed = false;
    int major = 0;
};

// The installed control file and its major version. A standard user's own installation
// (in the local application-data folder) counts when the system one is missing.
// Raises when the file's version information cannot be read.
FlashVersion QueryFlashVersion();

// Writes the carried control (resource "Flash") to FlashDir + "\SWFLASH.OCX"; when the system
// directory may not be written, to the user's own folder instead. Returns the path written.
std::string WriteControlFile();

// Registers the written control file with regsvr32 when it loads and can register itself.
void RegisterControlFile(const std::string& controlFile);

// Starts the command line and waits for it; its exit code, or -1 after the "Yipes!" box
// when it cannot be started.
int RunAndWait(const std::string& commandLine, WORD showWindow);

// Where a standard user's copy of the control goes.
std::string UserFlashDir();

}  // namespace kestrix
