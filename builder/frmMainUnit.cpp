#include "builder/frmMainUnit.h"

#include <shellapi.h>

#include <algorithm>

#include "base/Path.h"
#include "base/Text.h"
#include "builder/Pictures.h"
#include "builder/SupportFiles_win.h"
#include "builder/frmAboutUnit.h"
#include "flash/ShockwaveFlash_win.h"
#include "ui/Application.h"
#include "ui/CheckBox.h"
#include "ui/CoolBar.h"
#include "ui/Edit.h"
#include "ui/GroupBox.h"
#include "ui/PageControl.h"
#include "ui/RadioGroup.h"
#include "ui/SpeedButton.h"
#include "ui/StatusBar.h"
#include "ui/StdControls.h"

namespace kestrix {

TfrmMain* frmMain = nullptr;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kCoolBarHeight = 57;
constexpr int kMenuBarHeight = 24;
constexpr int kToolBarHeight = 26;
constexpr int kStatusBarHeight = 19;
constexpr COLORREF kBarHighlight = RGB(226, 225, 219);  // 14410210
constexpr int kAlignmentCell = 20;

const char* const kProjectFilter = "Kestrix Compiler Project (*.kcp)|*.kcp";
const char* const kWrongLogoExtension = "You have to select a file with the extension .jpg, .jpeg, .gif or .bmp!";
const char* const kLogoExtensions[] = {".gif", ".jpg", ".jpeg", ".bmp"};

// Until a project is loaded the window shows these, as it was laid out.
const char* const kLayoutCopyrightText =
    "[SCREENSAVERNAME] v1.0\r\nwritten by [FIRSTNAME] [LASTNAME]\r\n\r\n\r\n\r\nCopyright \xA9 [YEAR] [COMPANY]\r\n";

}  // namespace

TfrmMain::TfrmMain()
    : TForm("TfrmMain", FormBorder::Sizeable, kWidth, kHeight),
      builderDirectory_(ExtractFilePath(ExecutableFileName())) {
    frmMain = this;
    SetOuterSize(kWidth, kHeight);
    BuildActions();
    BuildBars();
    StatusBar1 = Add<TStatusBar>(kStatusBarHeight);
    PageControl1 = Add<TPageControl>();
    PageControl1->SetAlign(Align::Client);
    BuildScreenSaverPage(PageControl1->AddPage("Screen Saver Settings"));
    BuildConfigurationPage(PageControl1->AddPage("Configuration Window"));
    BuildDistributionPage(PageControl1->AddPage("Distribution Settings"));
    PageControl1->SetActivePageIndex(0);
    BuildDialogs();
    Realign();
    // Ctrl+Tab turns the pages, wherever the focus is in this window.
    Application->SetMessageFilter([this](MSG& message) {
        if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || !(GetKeyState(VK_CONTROL) & 0x8000))
            return false;
        if (GetAncestor(message.hwnd, GA_ROOT) != handle_) return false;
        PageControl1->SelectNextPage(!(GetKeyState(VK_SHIFT) & 0x8000));
        return true;
    });
    RunCreateEvent();
}

TfrmMain::~TfrmMain() {
    RunDestroyEvent();
    if (Application) Application->SetMessageFilter(nullptr);
    if (frmMain == this) frmMain = nullptr;
}

std::function<void()> TfrmMain::Guarded(void (TfrmMain::*handler)()) {
    return [this, handler] { Application->Guarded([this, handler] { (this->*handler)(); }); };
}

void TfrmMain::BuildActions() {
    aMan.SetImages(ActionImages());
    aNew = aMan.Add("New", "File", 4, [this] { aNewExecute(); });
    aOpen = aMan.Add("Open...", "File", 3, [this] { aOpenExecute(); });
    aSave = aMan.Add("Save", "File", 1, [this] { aSaveExecute(); });
    aSaveAs = aMan.Add("Save As...", "File", 2, [this] { aSaveAsExecute(); });
    aCompile = aMan.Add("Compile Screen Saver", "File", 5, [this] { aCompileExecute(aCompile); });
    FileExit1 = aMan.Add("E&xit", "File", -1, [this] { FileExit1Execute(); });
    aHelp = aMan.Add("Help", "Help", 6, [this] { aHelpExecute(); });
    aAbout = aMan.Add("About...", "Help", 7, [this] { aAboutExecute(); });
}

void TfrmMain::BuildBars() {
    CoolBar1 = Add<TCoolBar>(kCoolBarHeight);
    ActionMainMenuBar1 = CoolBar1->Add<TActionMainMenuBar>(
        aMan, std::vector<TMenuDefinition>{
                  {"&File",
                   {{"&New", aNew},
                    {"&Open...", aOpen},
                    {},
                    {"&Save", aSave},
                    {"S&ave As...", aSaveAs},
                    {},
                    {"&Compile Screen Saver", aCompile},
                    {},
                    {"E&xit", FileExit1}}},
                  {"&Help", {{"&Help", aHelp}, {}, {"&About...", aAbout}}},
              });
    ActionToolBar1 = CoolBar1->Add<TActionToolBar>(
        aMan, std::vector<TAction*>{aNew, aOpen, nullptr, aSave, nullptr, aCompile, nullptr, aHelp});
    ActionMainMenuBar1->SetHighlightColor(kBarHighlight);
    ActionToolBar1->SetHighlightColor(kBarHighlight);
    CoolBar1->AddBand(ActionMainMenuBar1, kMenuBarHeight);
    CoolBar1->AddBand(ActionToolBar1, kToolBarHeight);
    OnMenuKey = [this](char letter) { return ActionMainMenuBar1->OpenMenuByLetter(letter); };
}

void TfrmMain::BuildScreenSaverPage(TTabSheet* page) {
    Label5 = page->Add<TLabel>(8, 8, "Screen Saver Name and Version:");
    edSSNameVersion = page->Add<TEdit>(8, 24, 313, 20);
    Label1 = page->Add<TLabel>(8, 48, "Flash File:");
    edFlashFile = page->Add<TEdit>(8, 64, 313, 20, true);
    rgScale = page->Add<TRadioGroup>(8, 96, 97, 97, " Scale ",
                                     std::vector<std::string>{"Show All", "No Border", "Exact Fit", "No Scale"});
    gbAlignment = page->Add<TGroupBox>(112, 96, 94, 97, " Alignment ");
    for (int i = 0; i < 9; ++i) {
        TPanel* cell = gbAlignment->Add<TPanel>(16 + kAlignmentCell * (i % 3), 24 + kAlignmentCell * (i / 3),
                                               kAlignmentCell, kAlignmentCell);
        cell->SetBevel(PanelBevel::Raised);
        cell->OnClick = [this, cell] { Application->Guarded([this, cell] { AlignmentClick(cell); }); };
        al[i] = cell;
    }
    Button1 = page->Add<TButton>(248, 88, 75, 20, "Browse...");
    Button1->OnClick = Guarded(&TfrmMain::Button1Click);
    Image1 = page->Add<TImage>(352, 24);
    Image1->SetPicture(MonitorPicture());
    Image1->SetTransparent(true);
    Panel1 = page->Add<TPanel>(376, 45, 202, 152);
    Panel1->SetBevel(PanelBevel::Lowered);
    try {
        swfpreview = Panel1->Add<TShockwaveFlash>(1, 1, 200, 150);
    } catch (const std::exception&) {
        // Without the player control everything works but the preview.
        swfpreview = nullptr;
    }
    sbPlay = page->Add<TSpeedButton>(360, 234, 23, 22);
    sbPlay->SetGlyph(PlayGlyph());
    sbPlay->SetVisible(false);
    sbStop = page->Add<TSpeedButton>(360, 234, 23, 22);
    sbStop->SetGlyph(StopGlyph());
    sbStop->SetVisible(false);
    GroupBox2 = page->Add<TGroupBox>(480, 280, 137, 57, " Screen Saver Example ");
    btnSSExample = GroupBox2->Add<TButton>(31, 22, 75, 25, "Example");
    btnSSExample->OnClick = Guarded(&TfrmMain::btnSSExampleClick);
    Image1->SendToBack();  // below everything, so the preview lies over the monitor's screen
}

void TfrmMain::BuildConfigurationPage(TTabSheet* page) {
    Label2 = page->Add<TLabel>(8, 8, "Title:");
    edTitle = page->Add<TEdit>(8, 24, 441, 20);
    Label9 = page->Add<TLabel>(8, 48, "Website:");
    edWebsite = page->Add<TEdit>(8, 64, 441, 20);
    edWebsite->SetText("http://");
    Label10 = page->Add<TLabel>(8, 88, "E-mail:");
    edEmail = page->Add<TEdit>(8, 104, 441, 20);
    GroupBox1 = page->Add<TGroupBox>(8, 136, 441, 73, " Logo Image ");
    cbTransparent = GroupBox1->Add<TCheckBox>(8, 24, 81, 17, "Transparent");
    edLogo = GroupBox1->Add<TEdit>(8, 45, 345, 20, true);
    edLogo->SetEnabled(false);
    btnLogoPreview = GroupBox1->Add<TButton>(360, 21, 75, 20, "Preview...");
    btnLogoPreview->SetEnabled(false);
    Button2 = GroupBox1->Add<TButton>(360, 45, 75, 20, "Browse...");
    Button2->OnClick = Guarded(&TfrmMain::Button2Click);
    GroupBox4 = page->Add<TGroupBox>(8, 216, 441, 121, " Copyright Text ");
    mmCopyrightText = GroupBox4->Add<TMemo>(8, 24, 321, 89);
    mmCopyrightText->SetText(kLayoutCopyrightText);
    rgScrollbar = GroupBox4->Add<TRadioGroup>(336, 24, 97, 89, " Scrollbar ",
                                              std::vector<std::string>{"None", "Vertical", "Horizontal", "Both"});
    rgScrollbar->OnClick = Guarded(&TfrmMain::rgScrollbarClick);
    GroupBox3 = page->Add<TGroupBox>(480, 280, 137, 57, " Config Window Example ");
    btnConfigExample = GroupBox3->Add<TButton>(31, 22, 75, 25, "Example");
    btnConfigExample->OnClick = Guarded(&TfrmMain::btnConfigExampleClick);
}

void TfrmMain::BuildDistributionPage(TTabSheet* page) {
    Label11 = page->Add<TLabel>(8, 8, "Output Directory:");
    edOutputDir = page->Add<TEdit>(8, 24, 433, 20, true);
    Button3 = page->Add<TButton>(448, 24, 75, 20, "Browse...");
    Button3->OnClick = Guarded(&TfrmMain::Button3Click);
    Label3 = page->Add<TLabel>(8, 56, "Output Filename:");
    edOutputFilename = page->Add<TEdit>(8, 72, 137, 20);
    Label4 = page->Add<TLabel>(152, 80, ".scr");
}

void TfrmMain::BuildDialogs() {
    openFlash.Filter = "Macromedia Flash (*.swf)|*.swf";
    openFlash.DefaultExt = ".swf";
    openLogo.Filter =
        "All Formats (*.bmp;*.gif;*.jpg;*.jpeg)|*.bmp;*.gif;*.jpg;*.jpeg|GIF Image (*.gif)|*.gif|"
        "JPEG Image (*.jpg;*.jpeg)|*.jpg;*.jpeg|Windows Bitmap (*.bmp)|*.bmp";
    // Picks a directory: the user opens it and confirms the preset name.
    openOutputDir.FileName = "path";
    openOutputDir.Options = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_ENABLESIZING;
    saveProject.Filter = kProjectFilter;
    saveProject.DefaultExt = ".kcp";
    saveProject.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    openProject.Filter = kProjectFilter;
    openProject.DefaultExt = ".kcp";
}

// Start-up: the support files first, so even the very first start opens the default project.
void TfrmMain::FormCreate() {
    ExtractSupportFiles();
    project_ = std::make_unique<TProjectFile>(*this, builderDirectory_);
    project_->NewProject();
    if (swfpreview) swfpreview->SetBounds(1, 1, 200, 150);
    helpFile_ = Application->HelpFile();
    startedUp_ = true;
}

void TfrmMain::FormDestroy() { project_.reset(); }

void TfrmMain::ExtractSupportFiles() {
    for (const SupportFile& file : kSupportFiles) {
        const std::string target = builderDirectory_ + file.FileName;
        if (FileExists(target)) continue;  // whatever lies there is used as it is
        WriteResourceToFile(file.ResourceName, target);
    }
}

ProjectSettings TfrmMain::GetSettings() const {
    ProjectSettings s;
    s.SSNameVersion = edSSNameVersion->Text();
    s.FlashFile = edFlashFile->Text();
    s.Scale = rgScale->ItemIndex();
    s.Alignment = GetAlignment();
    s.Title = edTitle->Text();
    s.Website = edWebsite->Text();
    s.Email = edEmail->Text();
    s.Logo = edLogo->Text();
    s.Transparent = cbTransparent->Checked();
    s.CopyrightText = mmCopyrightText->Text();
    s.ScrollBar = rgScrollbar->ItemIndex();
    s.OutputDir = edOutputDir->Text();
    s.OutputFilename = edOutputFilename->Text();
    return s;
}

void TfrmMain::PutText(ProjectField field, const std::string& text) {
    switch (field) {
        case ProjectField::SSNameVersion: edSSNameVersion->SetText(text); break;
        case ProjectField::FlashFile: edFlashFile->SetText(text); break;
        case ProjectField::Title: edTitle->SetText(text); break;
        case ProjectField::Website: edWebsite->SetText(text); break;
        case ProjectField::Email: edEmail->SetText(text); break;
        case ProjectField::Logo: edLogo->SetText(text); break;
        case ProjectField::CopyrightText: mmCopyrightText->SetText(MemoLineBreaks(text)); break;
        case ProjectField::OutputDir: edOutputDir->SetText(text); break;
        case ProjectField::OutputFilename: edOutputFilename->SetText(text); break;
        default: throw Exception("Not a text field of the project");
    }
}

void TfrmMain::PutInteger(ProjectField field, int value) {
    switch (field) {
        case ProjectField::Scale: rgScale->SetItemIndex(value); break;
        case ProjectField::Alignment: SetAlignment(value); break;
        case ProjectField::ScrollBar: rgScrollbar->SetItemIndex(value); break;
        default: throw Exception("Not an integer field of the project");
    }
}

void TfrmMain::PutBoolean(ProjectField field, bool value) {
    if (field != ProjectField::Transparent) throw Exception("Not a boolean field of the project");
    cbTransparent->SetChecked(value);
}

void TfrmMain::SetCurrentFileName(const std::string& fileName) {
    currentFileName_ = fileName;
    SetCaption(Application->Title() + (fileName.empty() ? " - New Project" : " - " + fileName));
}

int TfrmMain::GetAlignment() const {
    for (int i = 0; i < 9; ++i)
        if (al[i]->Color() == clGreen) return i;
    return 0;
}

void TfrmMain::SetAlignment(int index) {
    for (int i = 0; i < 9; ++i) al[i]->SetColor(i == index ? clGreen : clBtnFace);
}

void TfrmMain::AlignmentClick(const TPanel* sender) {
    const auto cell = std::find(std::begin(al), std::end(al), sender);
    if (cell != std::end(al)) SetAlignment(static_cast<int>(cell - std::begin(al)));
}

void TfrmMain::rgScrollbarClick() {
    switch (rgScrollbar->ItemIndex()) {
        case 0: mmCopyrightText->SetScrollBars(false, false); break;
        case 1: mmCopyrightText->SetScrollBars(true, false); break;
        case 2: mmCopyrightText->SetScrollBars(false, true); break;
        case 3: mmCopyrightText->SetScrollBars(true, true); break;
        default: break;  // none chosen: the memo keeps its scroll bars
    }
}

TModalResult TfrmMain::AskSaveChanges() const {
    const std::string question = currentFileName_.empty() ? "Save changes to a new project file?"
                                                          : "Save changes to " + currentFileName_ + "?";
    return MessageDlg(question, TMsgDlgType::Information, TMsgDlgButtons::YesNoCancel);
}

// A save that fails is reported, and whatever was to follow it (a new project, the end of
// the builder) does not happen, so the changes are never lost unseen.
bool TfrmMain::SaveProjectReporting(const std::string& fileName) {
    if (project_->SaveProject(fileName)) return true;
    MessageDlg("The project could not be saved to " + fileName + ".", TMsgDlgType::Error, TMsgDlgButtons::OK);
    return false;
}

bool TfrmMain::SaveProjectAs() {
    if (!saveProject.Execute()) return false;
    return SaveProjectReporting(saveProject.FileName);
}

bool TfrmMain::SaveCurrentProject() {
    if (currentFileName_.empty()) return SaveProjectAs();
    return SaveProjectReporting(currentFileName_);
}

void TfrmMain::aNewExecute() {
    if (project_->IsProjectModified()) {
        switch (AskSaveChanges()) {
            case TModalResult::Yes:
                if (!SaveCurrentProject()) return;
                break;
            case TModalResult::No: break;
            default: return;
        }
    }
    project_->NewProject();
}

// Whatever is on screen is replaced without a question, as the user asked for another project.
void TfrmMain::aOpenExecute() {
    if (openProject.Execute()) project_->LoadProject(openProject.FileName);
}

void TfrmMain::aSaveExecute() { SaveCurrentProject(); }

void TfrmMain::aSaveAsExecute() { SaveProjectAs(); }

void TfrmMain::FormClose(bool& canClose) {
    if (!project_ || !project_->IsProjectModified()) return;
    canClose = false;  // until the user's answer says otherwise
    switch (AskSaveChanges()) {
        case TModalResult::Yes: canClose = SaveCurrentProject(); break;
        case TModalResult::No: canClose = true; break;
        default: break;
    }
}

void TfrmMain::FileExit1Execute() {
    WinHelpA(handle_, helpFile_.c_str(), HELP_QUIT, 0);
    Close();
}

void TfrmMain::aHelpExecute() { WinHelpA(handle_, helpFile_.c_str(), HELP_FINDER, 0); }

void TfrmMain::aAboutExecute() {
    if (frmAbout) frmAbout->ShowModal();
}

CompilePurpose TfrmMain::PurposeOf(TSender sender) const {
    if (sender == btnConfigExample) return CompilePurpose::ConfigExample;
    if (sender == btnSSExample) return CompilePurpose::ScreenSaverExample;
    return CompilePurpose::PlainCompile;
}

void TfrmMain::aCompileExecute(TSender sender) {
    const CompilePurpose purpose = PurposeOf(sender);
    const ProjectSettings settings = GetSettings();
    const std::string problems = ValidateProject(settings);
    if (!problems.empty()) {
        MessageDlg(ValidationIntroduction(purpose) + problems, TMsgDlgType::Warning, TMsgDlgButtons::OK);
        return;
    }
    const OutputPaths paths = CompileProject(settings, Res2Exe, builderDirectory_, RuntimeStubPath(builderDirectory_));
    switch (purpose) {
        case CompilePurpose::ConfigExample:
            // An example still running from the old file keeps it; the shell then starts that one.
            RemoveFile(paths.ExampleExe);
            RenameFile(paths.ScreenSaver, paths.ExampleExe);
            ShellExecuteA(handle_, "open", paths.ExampleExe.c_str(), "/c", "", SW_SHOW);
            break;
        case CompilePurpose::ScreenSaverExample: examples_.Start(handle_, paths.ScreenSaver); break;
        case CompilePurpose::PlainCompile:
            MessageDlg(CompiledMessage(paths), TMsgDlgType::Information, TMsgDlgButtons::OK);
            break;
    }
}

void TfrmMain::btnSSExampleClick() { aCompileExecute(btnSSExample); }

void TfrmMain::btnConfigExampleClick() { aCompileExecute(btnConfigExample); }

// The movie's preview comes with the preview itself; here the choice is taken.
void TfrmMain::Button1Click() {
    if (!openFlash.Execute() || !FileExists(openFlash.FileName)) return;
    edFlashFile->SetText(openFlash.FileName);
}

void TfrmMain::Button2Click() {
    if (!openLogo.Execute()) return;
    const std::string extension = LowerCase(ExtractFileExt(openLogo.FileName));
    const bool accepted = std::any_of(std::begin(kLogoExtensions), std::end(kLogoExtensions),
                                      [&extension](const char* known) { return extension == known; });
    if (!accepted) {
        MessageDlg(kWrongLogoExtension, TMsgDlgType::Warning, TMsgDlgButtons::OK);
        return;
    }
    edLogo->SetText(openLogo.FileName);
}

void TfrmMain::Button3Click() {
    if (openOutputDir.Execute()) edOutputDir->SetText(ExtractFilePath(openOutputDir.FileName));
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_ACTIVATE) return TForm::HandleMessage(message, wParam, lParam);
    // The focus goes back to where it was when the window is active again (after a message
    // box, a dialog or another program), and to the first control at the first showing.
    const HWND focus = GetFocus();
    if (LOWORD(wParam) == WA_INACTIVE) {
        if (focus && IsChild(handle_, focus)) lastFocus_ = focus;
        return TForm::HandleMessage(message, wParam, lParam);
    }
    const LRESULT result = TForm::HandleMessage(message, wParam, lParam);
    if (HIWORD(wParam)) return result;  // minimised
    HWND target = lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) ? lastFocus_ : nullptr;
    if (!target) target = GetNextDlgTabItem(handle_, nullptr, FALSE);
    if (target) SetFocus(target);
    return result;
}

}  // namespace kestrix
