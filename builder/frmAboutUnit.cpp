#include "builder/frmAboutUnit.h"

namespace kestrix {

TfrmAbout* frmAbout = nullptr;

namespace {
constexpr int kClientWidth = 416;
constexpr int kClientHeight = 270;
}  // namespace

TfrmAbout::TfrmAbout() : TForm("TfrmAbout", FormBorder::FixedDialog, kClientWidth, kClientHeight) {
    frmAbout = this;
    SetCaption("About - Kestrix Compiler");
    Button1 = Add<TButton>(kClientWidth - 83, kClientHeight - 33, 75, 25, "Close");
    Button1->OnClick = [this] { Button1Click(); };
    SetDefaultButton(Button1);
    RunCreateEvent();
}

TfrmAbout::~TfrmAbout() {
    RunDestroyEvent();
    if (frmAbout == this) frmAbout = nullptr;
}

void TfrmAbout::Button1Click() { Close(); }

}  // namespace kestrix
