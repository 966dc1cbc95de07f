// The runtime's configuration window: it takes the settings and the movie out of the
// payload when it is created, shows the screen saver's title, links, logo and copyright,
// and removes the movie file again when it goes.
#pragma once

#include "payload/TResourceFromExeUnit.h"
#include "runtime/RuntimeSettings.h"
#include "ui/Form.h"
#include "ui/StdControls.h"

namespace kestrix {

class TfrmConfig : public TForm {
public:
    TfrmConfig();
    ~TfrmConfig() override;

    const RuntimeSettings& Settings() const { return settings_; }

protected:
    void FormCreate() override;
    void FormDestroy() override;

private:
    void BuildControls();
    void WriteMovieFile(TMemoryStream& movie);
    void ShowLogo(TMemoryStream& logo);
    template <typename Item>
    std::unique_ptr<Item> Lookup(const char* key);

    void Button2Click();
    void Button3Click();
    void lblWebsiteClick();
    void lblEmailClick();

    TResourceFromExe ResFromExe;
    RuntimeSettings settings_;

    TPanel* pnlLogo = nullptr;
    TImage* imgLogo = nullptr;
    TPanel* Panel5 = nullptr;
    TImage* Image2 = nullptr;
    TPanel* Panel1 = nullptr;
    TPanel* Panel4 = nullptr;
    TLabel* lblTitle = nullptr;
    TLabel* lblWebsite = nullptr;
    TLabel* lblEmail = nullptr;
    TPanel* Panel3 = nullptr;
    TReadOnlyMemo* mmCopyrightText = nullptr;
    TShape* Shape1 = nullptr;
    TShape* Shape2 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button2 = nullptr;
};

// The one configuration window of the runtime.
extern TfrmConfig* frmConfig;

}  // namespace kestrix
