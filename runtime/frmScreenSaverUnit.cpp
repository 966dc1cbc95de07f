#include "runtime/frmScreenSaverUnit.h"

#include "base/Path.h"
#include "runtime/frmConfigUnit.h"
#include "ui/Application.h"

namespace kestrix {

TfrmScreenSaver* frmScreenSaver = nullptr;

namespace {
constexpr int kStoredScaleMode = 3;  // no scale, until the settings replace it
constexpr int kStoredAlignMode = 4;  // top
}  // namespace

TfrmScreenSaver::TfrmScreenSaver() : TForm("TfrmScreenSaver", FormBorder::None, 320, 240) {
    frmScreenSaver = this;
    SetCaption("frmScreenSaver");
    SetCentered(false);
    ShockwaveFlash1 = Add<TShockwaveFlash>(0, 0, 320, 240);
    ShockwaveFlash1->SetAlign(Align::Client);
    ShockwaveFlash1->SetScaleMode(kStoredScaleMode);
    ShockwaveFlash1->SetAlignMode(kStoredAlignMode);
    ActionTestTimer = std::make_unique<TTimer>(1000);
    ActionTestTimer->OnTimer = [this] { ActionTestTimerTimer(); };
    RunCreateEvent();
}

TfrmScreenSaver::~TfrmScreenSaver() {
    RunDestroyEvent();
    if (frmScreenSaver == this) frmScreenSaver = nullptr;
}

// The configuration window wrote the movie beside the executable, or in the user's
// temporary folder where that was not allowed.
std::string TfrmScreenSaver::MoviePath() const {
    if (frmConfig && !frmConfig->Settings().MovieFile.empty()) return frmConfig->Settings().MovieFile;
    return ExtractFilePath(ExecutableFileName()) + kMovieFileName;
}

void TfrmScreenSaver::FormShow() {
    const std::string movie = MoviePath();
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    StartCursorPos = {cursor.x, cursor.y};
    ActionTestTimer->SetEnabled(true);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    SetBounds(0, 0, screenWidth, screenHeight);
    ShockwaveFlash1->SetBounds(0, 0, screenWidth, screenHeight);
    InvalidateRect(ShockwaveFlash1->Handle(), nullptr, TRUE);
    ShowWindow(handle_, SW_MAXIMIZE);
    const RuntimeSettings settings = frmConfig ? frmConfig->Settings() : RuntimeSettings{};
    SetCaption(settings.SSNameVersion);
    if (FileExists(movie)) {
        ShockwaveFlash1->SetMovie(movie);
        ShockwaveFlash1->SetScaleMode(settings.Scale);
        ShockwaveFlash1->SetAlignMode(AlignModeForAlignment(settings.Alignment));
        ShowCursor(FALSE);
    } else {
        MessageBoxA(handle_, "Something went terribly wrong, movie not found.", Application->Title().c_str(),
                    MB_OK | MB_ICONERROR);
    }
}

void TfrmScreenSaver::FormHide() { ShowCursor(TRUE); }

void TfrmScreenSaver::FormDestroy() {
    if (Application) Application->SetMessageFilter(nullptr);
}

// Armed: from now on the user's input closes the screen saver.
void TfrmScreenSaver::ActionTestTimerTimer() {
    ActionTestTimer->SetEnabled(false);
    Application->SetMessageFilter([this](MSG& message) { return AppMessageFilter(message); });
}

bool TfrmScreenSaver::AppMessageFilter(MSG& message) {
    switch (DecideInput(message.message, static_cast<uint32_t>(message.lParam), StartCursorPos)) {
        case InputAction::Swallow: return true;
        case InputAction::Close: Close(); return false;
        case InputAction::None: return false;
    }
    return false;
}

}  // namespace kestrix
