// The builder's about box, shown modally by the About command.
#pragma once

#include "ui/Form.h"
#include "ui/StdControls.h"

namespace kestrix {

class TfrmAbout : public TForm {
public:
    TfrmAbout();
    ~TfrmAbout() override;

private:
    void Button1Click();

    TButton* Button1 = nullptr;
};

extern TfrmAbout* frmAbout;

}  // namespace kestrix
