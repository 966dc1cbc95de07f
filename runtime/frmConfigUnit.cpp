#include "runtime/frmConfigUnit.h"

#include <shellapi.h>

#include "base/Path.h"
#include "payload/PayloadKeys.h"
#include "runtime/Badge.h"
#include "ui/Application.h"

namespace kestrix {

TfrmConfig* frmConfig = nullptr;

TfrmConfig::TfrmConfig()
    : TForm("TfrmConfig", FormBorder::Dialog, kConfigMinClientWidth, kConfigMinClientHeight),
      ResFromExe(ExecutableFileName()) {
    frmConfig = this;
    BuildControls();
    RunCreateEvent();
}

TfrmConfig::~TfrmConfig() {
    RunDestroyEvent();
    if (frmConfig == this) frmConfig = nullptr;
}

void TfrmConfig::BuildControls() {
    Panel1 = Add<TPanel>(0, 0, 337, 0);
    Panel1->SetAlign(Align::Right);
    pnlLogo = Add<TPanel>(0, 0, 138, 0);
    pnlLogo->SetAlign(Align::Client);
    imgLogo = pnlLogo->Add<TImage>(0, 8);
    Panel5 = pnlLogo->Add<TPanel>(0, 0, 0, 41);
    Panel5->SetAlign(Align::Bottom);
    Image2 = Panel5->Add<TImage>(5, 12);
    Image2->SetPicture(FlashContentBadge());

    Panel3 = Panel1->Add<TPanel>(0, 0, 0, 148);
    Panel3->SetAlign(Align::Bottom);
    Panel4 = Panel1->Add<TPanel>(0, 0, 0, 165);
    Panel4->SetAlign(Align::Client);
    lblTitle = Panel4->Add<TLabel>(8, 16, "", TahomaFont(19, true));
    lblWebsite = Panel4->Add<TLabel>(8, 39, "");
    lblWebsite->MakeLink();
    lblWebsite->OnClick = [this] { lblWebsiteClick(); };
    lblEmail = Panel4->Add<TLabel>(8, 55, "");
    lblEmail->MakeLink();
    lblEmail->OnClick = [this] { lblEmailClick(); };

    mmCopyrightText = Panel3->Add<TReadOnlyMemo>(8, 11, 321, 89);
    Shape1 = Panel3->Add<TShape>(8, 107, 321, 1, RGB(128, 128, 128));
    Shape2 = Panel3->Add<TShape>(8, 108, 321, 1, RGB(255, 255, 255));
    Button3 = Panel3->Add<TButton>(208, 118, 57, 22, "Cancel");
    Button3->OnClick = [this] { Button3Click(); };
    Button2 = Panel3->Add<TButton>(272, 118, 57, 22, "OK");
    Button2->OnClick = [this] { Button2Click(); };
    SetDefaultButton(Button2);
    Realign();
}

// A missing key, or one stored as another kind, leaves its field as it is.
template <typename Item>
std::unique_ptr<Item> TfrmConfig::Lookup(const char* key) {
    std::unique_ptr<TResItem> item = ResFromExe.GetItem(key);
    if (!dynamic_cast<Item*>(item.get())) return nullptr;
    return std::unique_ptr<Item>(static_cast<Item*>(item.release()));
}

void TfrmConfig::FormCreate() {
    if (auto name = Lookup<TStringResItem>(PayloadKey::SSNameVersion)) {
        SetCaption(name->Value);
        settings_.SSNameVersion = name->Value;
        Application->SetTitle(name->Value);
    }
    if (auto movie = Lookup<TFileResItem>(PayloadKey::FlashFile)) WriteMovieFile(movie->Stream);
    if (auto title = Lookup<TStringResItem>(PayloadKey::Title)) lblTitle->SetCaption(title->Value);
    if (auto website = Lookup<TStringResItem>(PayloadKey::Website)) lblWebsite->SetCaption(website->Value);
    if (auto email = Lookup<TStringResItem>(PayloadKey::Email)) lblEmail->SetCaption(email->Value);
    if (auto logo = Lookup<TStreamResItem>(PayloadKey::Logo)) ShowLogo(logo->Stream);
    if (auto copyright = Lookup<TStringResItem>(PayloadKey::CopyrightText))
        mmCopyrightText->SetLines(copyright->Value);
    if (auto scale = Lookup<TIntegerResItem>(PayloadKey::Scale)) settings_.Scale = scale->Value;
    if (auto alignment = Lookup<TIntegerResItem>(PayloadKey::Alignment)) settings_.Alignment = alignment->Value;
    if (auto scrollBar = Lookup<TIntegerResItem>(PayloadKey::ScrollBar)) {
        const MemoScrollBars bars = ScrollBarsFor(scrollBar->Value);
        mmCopyrightText->SetScrollBars(bars.Vertical, bars.Horizontal);
    }
}

// Screen savers often live in the system folder, where a normal user may not write; the
// user's temporary folder takes the movie then.
void TfrmConfig::WriteMovieFile(TMemoryStream& movie) {
    const std::string besideExecutable = ExtractFilePath(ExecutableFileName()) + kMovieFileName;
    try {
        movie.SaveToFile(besideExecutable);
        settings_.MovieFile = besideExecutable;
        return;
    } catch (const Exception&) {
    }
    char tempDirectory[MAX_PATH + 1] = "";
    GetTempPathA(sizeof tempDirectory, tempDirectory);
    const std::string inTemp = IncludeTrailingPathDelimiter(tempDirectory) + kMovieFileName;
    movie.SaveToFile(inTemp);
    settings_.MovieFile = inTemp;
}

void TfrmConfig::ShowLogo(TMemoryStream& logo) {
    TBitmap bitmap;
    if (logo.Size() > 0) bitmap.LoadFromStream(logo);  // an empty stream is an empty picture
    imgLogo->SetPicture(bitmap);
    RECT outer;
    GetWindowRect(handle_, &outer);
    RECT client;
    GetClientRect(handle_, &client);
    const PixelSize size = ConfigClientSizeForLogo(bitmap.Width(), bitmap.Height(),
                                                    (outer.right - outer.left) - client.right,
                                                    (outer.bottom - outer.top) - client.bottom);
    SetClientSize(size.Width, size.Height);
}

// Failures are of no interest here: a file in use or already gone is left as it is.
void TfrmConfig::FormDestroy() {
    const std::string besideExecutable = ExtractFilePath(ExecutableFileName()) + kMovieFileName;
    RemoveFile(besideExecutable);
    if (!settings_.MovieFile.empty() && settings_.MovieFile != besideExecutable) RemoveFile(settings_.MovieFile);
}

void TfrmConfig::Button2Click() { Application->Terminate(); }

void TfrmConfig::Button3Click() { Application->Terminate(); }

void TfrmConfig::lblWebsiteClick() {
    ShellExecuteA(handle_, "open", lblWebsite->Text().c_str(), "", "", SW_SHOW);
}

void TfrmConfig::lblEmailClick() {
    ShellExecuteA(handle_, "open", ("mailto:" + lblEmail->Text()).c_str(), "", "", SW_SHOW);
}

}  // namespace kestrix
