// The builder's main window: the project's values in the controls of three pages, the project
// commands in the menu and tool bar, and the compile with its examples. The window is the
// holder of the project's values, so the project file loads straight into the controls and
// loading fires the same reactions as typing.
#pragma once

#include <memory>
#include <string>

#include "builder/Compile.h"
#include "builder/ProjectFileFunctions.h"
#include "builder/ScreenSaverExample_win.h"
#include "payload/TResourceToExeUnit.h"
#include "ui/ActionBars.h"
#include "ui/Actions.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"

namespace kestrix {

class TCheckBox;
class TCoolBar;
class TEdit;
class TGroupBox;
class TImage;
class TLabel;
class TMemo;
class TPageControl;
class TPanel;
class TRadioGroup;
class TShockwaveFlash;
class TSpeedButton;
class TStatusBar;
class TTabSheet;

// Who started a compile: the action, or one of the two Example buttons.
using TSender = const void*;

class TfrmMain : public TForm, public TProjectHolder {
public:
    TfrmMain();
    ~TfrmMain() override;

    // False when the creation event failed (a support file could not be written): the
    // builder then ends instead of running without its default project.
    bool StartedUp() const { return startedUp_; }

    ProjectSettings GetSettings() const override;
    void PutText(ProjectField field, const std::string& text) override;
    void PutInteger(ProjectField field, int value) override;
    void PutBoolean(ProjectField field, bool value) override;
    std::string CurrentFileName() const override { return currentFileName_; }
    void SetCurrentFileName(const std::string& fileName) override;

    // The alignment grid: the green panel is the choice, and its colour the only record of it.
    int GetAlignment() const;
    void SetAlignment(int index);

protected:
    void FormCreate() override;
    void FormDestroy() override;
    using TForm::FormClose;
    void FormClose(bool& canClose) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void BuildActions();
    void BuildBars();
    void BuildScreenSaverPage(TTabSheet* page);
    void BuildConfigurationPage(TTabSheet* page);
    void BuildDistributionPage(TTabSheet* page);
    void BuildDialogs();
    void ExtractSupportFiles();

    void aNewExecute();
    void aOpenExecute();
    void aSaveExecute();
    void aSaveAsExecute();
    void aCompileExecute(TSender sender);
    void FileExit1Execute();
    void aHelpExecute();
    void aAboutExecute();
    void AlignmentClick(const TPanel* sender);
    void rgScrollbarClick();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void btnSSExampleClick();
    void btnConfigExampleClick();

    TModalResult AskSaveChanges() const;
    // Saves under the current name, or under one asked for; false when nothing was saved.
    bool SaveCurrentProject();
    bool SaveProjectAs();
    bool SaveProjectReporting(const std::string& fileName);
    CompilePurpose PurposeOf(TSender sender) const;
    // Runs a control's handler, sending what it raises to the error box.
    std::function<void()> Guarded(void (TfrmMain::*handler)());

    std::string builderDirectory_;
    std::string currentFileName_;
    std::string helpFile_;
    std::unique_ptr<TProjectFile> project_;  // with SavedProjectLines, from FormCreate to FormDestroy
    TResourceToExe Res2Exe;
    TScreenSaverExamples examples_;
    bool startedUp_ = false;
    HWND lastFocus_ = nullptr;  // given back when the window is activated again

    TActionList aMan;
    TAction* aNew = nullptr;
    TAction* aOpen = nullptr;
    TAction* aSave = nullptr;
    TAction* aSaveAs = nullptr;
    TAction* aCompile = nullptr;
    TAction* FileExit1 = nullptr;
    TAction* aHelp = nullptr;
    TAction* aAbout = nullptr;

    TCoolBar* CoolBar1 = nullptr;
    TActionMainMenuBar* ActionMainMenuBar1 = nullptr;
    TActionToolBar* ActionToolBar1 = nullptr;
    TPageControl* PageControl1 = nullptr;
    TStatusBar* StatusBar1 = nullptr;

    TLabel* Label5 = nullptr;
    TEdit* edSSNameVersion = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* edFlashFile = nullptr;
    TRadioGroup* rgScale = nullptr;
    TGroupBox* gbAlignment = nullptr;
    TPanel* al[9] = {};
    TButton* Button1 = nullptr;
    TImage* Image1 = nullptr;
    TPanel* Panel1 = nullptr;
    TShockwaveFlash* swfpreview = nullptr;
    TSpeedButton* sbPlay = nullptr;
    TSpeedButton* sbStop = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TButton* btnSSExample = nullptr;

    TLabel* Label2 = nullptr;
    TEdit* edTitle = nullptr;
    TLabel* Label9 = nullptr;
    TEdit* edWebsite = nullptr;
    TLabel* Label10 = nullptr;
    TEdit* edEmail = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TCheckBox* cbTransparent = nullptr;
    TEdit* edLogo = nullptr;
    TButton* btnLogoPreview = nullptr;
    TButton* Button2 = nullptr;
    TGroupBox* GroupBox4 = nullptr;
    TMemo* mmCopyrightText = nullptr;
    TRadioGroup* rgScrollbar = nullptr;
    TGroupBox* GroupBox3 = nullptr;
    TButton* btnConfigExample = nullptr;

    TLabel* Label11 = nullptr;
    TEdit* edOutputDir = nullptr;
    TButton* Button3 = nullptr;
    TLabel* Label3 = nullptr;
    TEdit* edOutputFilename = nullptr;
    TLabel* Label4 = nullptr;

    TOpenDialog openFlash;
    TOpenDialog openLogo;
    TOpenDialog openOutputDir;
    TSaveDialog saveProject;
    TOpenDialog openProject;
};

extern TfrmMain* frmMain;

}  // namespace kestrix
