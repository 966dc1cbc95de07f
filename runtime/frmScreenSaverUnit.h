// The full-screen playback window: plays the movie over the primary screen and closes on
// the user's first real input, once it is armed a second after it shows.
#pragma once

#include <memory>

#include "flash/ShockwaveFlash_win.h"
#include "runtime/InputFilter.h"
#include "ui/Form.h"
#include "ui/Timer.h"

namespace kestrix {

class TfrmScreenSaver : public TForm {
public:
    TfrmScreenSaver();
    ~TfrmScreenSaver() override;

protected:
    void FormShow() override;
    void FormHide() override;
    void FormDestroy() override;

private:
    void ActionTestTimerTimer();
    bool AppMessageFilter(MSG& message);
    std::string MoviePath() const;

    TShockwaveFlash* ShockwaveFlash1 = nullptr;
    std::unique_ptr<TTimer> ActionTestTimer;
    ScreenPoint StartCursorPos{0, 0};
};

extern TfrmScreenSaver* frmScreenSaver;

}  // namespace kestrix
