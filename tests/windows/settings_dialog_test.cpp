// The settings dialog and the about box, opened from the Explorer's toolbar
// and Tools menu of a running host and used as a person would: what they
// show, what Apply, OK and Cancel leave in the registry, and what they do at
// once to the toolbars and to a loaded preview window.

#include <functional>

#include "outlook/addin_fixture.h"
#include "platform/shell/cursors.h"
#include "windows/frm_about.h"
#include "windows/frm_settings.h"

namespace windows_test {
namespace {

using namespace outlook_test;
using lumivane::frmAbout;
using lumivane::frmSettings;
using lumivane::g_objSettings;
using Strings = std::vector<std::string>;
namespace user = forms::user;

class SettingsTest : public CommandsTest {
 public:
  void TearDown() override {
    lumivane::PreviewToolbarStyleHook() = nullptr;
    CommandsTest::TearDown();
  }

  // The dialog as the toolbar button opens it.
  std::shared_ptr<frmSettings> Open() {
    ClickToolbar("&Settings...");
    EXPECT_TRUE(forms::DefaultInstanceExists<frmSettings>());
    auto dialog = forms::Default<frmSettings>();
    EXPECT_TRUE(dialog->Visible());
    return dialog;
  }
  // Settings stored now, and the dialog opened over them.
  std::shared_ptr<frmSettings> OpenOver(const std::function<void(lumivane::RegSettings&)>& change) {
    change(*g_objSettings);
    g_objSettings->Update();
    return Open();
  }
  static void Type(forms::TextBox& box, const std::string& text) { user::Paste(box, text); }
  Strings Starts() const { return platform::shell::Current().seam.log.CallsOf("Shell"); }
};

TEST_F(SettingsTest, OpenedFromTheToolbarAndTheToolsMenuItShowsTheSettingsAsTheyStand) {
  auto d = OpenOver([](lumivane::RegSettings& s) {
    s.AutoDisplayOptions(1);
    s.AutoDisplayOrientationOptions(2);
    s.SlideShowInterval(12);
    s.ExplBarHide(1);
  });
  EXPECT_EQ(d->Caption(), "Settings - Lumivane");
  EXPECT_EQ(ui->NoticesOf("frmSettings"), (Strings{"Load", "Show"}));  // modeless
  EXPECT_FALSE(d->cmdApply->Enabled());
  EXPECT_TRUE(d->cmdOK->Default());
  EXPECT_TRUE(d->cmdCancel->Cancel());
  EXPECT_EQ(d->cboAutoDisplayOptions->Text(), "Slideshow");
  EXPECT_TRUE(d->cboFormOrientation->Enabled());  // as designed until a person picks
  EXPECT_EQ(d->cboFormOrientation->Text(), "Tile Vertically");
  EXPECT_EQ(d->cboAutoDisplayCriteria->Text(), "If one or more attachments are pictures");
  EXPECT_EQ(d->cboToolbarStyle->Text(), "Money");
  EXPECT_EQ(d->txtSlideShowDelay->Text(), "12");
  EXPECT_EQ(d->txtDelay->Text(), "1000");
  EXPECT_EQ(d->chkExplorerToolbar->Value(), -1);
  EXPECT_EQ(d->txtSavePath->Text(), pictures);
  EXPECT_EQ(d->cboAutoDisplayOptions->ToolTipText(),
            "Choose whether to show the Wizard or Slideshow screens when a message with image attachments is opened.");
  EXPECT_EQ(d->lblLabels(0).Caption(), "Change Your Settings:");
  EXPECT_EQ(d->UpDown2->Max(), 9999);
  EXPECT_EQ(d->UpDown1->Max(), 60);

  // The Tools-menu entry finds the one dialog there is.
  MenuEntry(explorer)->UserClick();
  EXPECT_EQ(forms::Default<frmSettings>(), d);
  user::Close(*d);
  MenuEntry(explorer)->UserClick();
  EXPECT_TRUE(forms::Default<frmSettings>()->Visible());
  // The host going away takes the dialog with it.
  EndHost();
  EXPECT_FALSE(forms::Default<frmSettings>()->IsLoaded());
}

TEST_F(SettingsTest, EveryControlLoadsItsSettingAndOkStoresWhatAPersonChanged) {
  using Box = forms::FormControl<forms::msforms::CheckBox> frmSettings::*;
  struct Row {
    Box box;
    const char* setting;
  };
  const Row boxes[] = {
      {&frmSettings::chkSlideShowText, "HideSlideShowText"},
      {&frmSettings::chkTBFull, "ShowTaskPaneInFullWizard"},
      {&frmSettings::chkTPHorizontal, "ShowTaskPaneInHorizontalWizard"},
      {&frmSettings::chkTPVertical, "ShowTaskPaneInVerticalWizard"},
      {&frmSettings::chkExplorerToolbar, "ExplBarHide"},
      {&frmSettings::chkInspectorToolbar, "InspectorBarHide"},
      {&frmSettings::chkEnableNewEmailAttPreviews, "EnableAttPreviews"},
      {&frmSettings::chkHTMLImages, "CaptureInlineHTMLImages"},
      {&frmSettings::chkPromptBeforeQuickSave, "DoNotPromptBeforeQuickSave"},
  };
  std::vector<long> before;
  auto d = Open();
  for (const Row& row : boxes) {
    before.push_back(-((d.get()->*row.box)->Value()));
    EXPECT_EQ(Stored(row.setting), std::to_string(before.back())) << row.setting;
    user::Click(*(d.get()->*row.box));
  }
  EXPECT_TRUE(d->cmdApply->Enabled());
  user::Choose(*d->cboAutoDisplayCriteria, 0);
  user::Choose(*d->cboAutoDisplayOptions, "Wizard");
  user::Choose(*d->cboFormOrientation, "Tile Horizontally");
  user::Choose(*d->cboToolbarStyle, "System");
  user::ClickUp(*d->UpDown2);
  user::ClickDown(*d->UpDown1);
  Type(*d->txtSavePath, tmp / "saved");
  user::Click(*d->cmdOK);

  EXPECT_FALSE(d->IsLoaded());
  for (std::size_t i = 0; i < std::size(boxes); ++i)
    EXPECT_EQ(Stored(boxes[i].setting), before[i] == 0 ? "1" : "0") << boxes[i].setting;
  EXPECT_EQ(Stored("AutoDisplayCriteria"), "0");
  EXPECT_EQ(Stored("AutoDisplayOptions"), "2");
  EXPECT_EQ(Stored("AutoDisplayOrientationOptions"), "1");
  EXPECT_EQ(Stored("ToolbarStyle"), "3");
  EXPECT_EQ(Stored("AutoDisplayInterval"), "1100");
  EXPECT_EQ(Stored("SlideShowInterval"), "4");
  EXPECT_EQ(Stored("PictureDumpDirectory"), tmp / "saved");
  EXPECT_EQ(g_objSettings->ExplBarHide(), 1);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SettingsTest, OkWithoutChangesKeepsEverythingAndCancelWritesNothing) {
  auto d = Open();
  user::Click(*d->cmdOK);
  EXPECT_FALSE(d->IsLoaded());
  EXPECT_EQ(Stored("SlideShowInterval"), "5");
  EXPECT_EQ(Stored("ExplBarHide"), "0");
  EXPECT_TRUE(Toolbar(explorer)->Visible());

  d = Open();
  user::Click(*d->chkExplorerToolbar);
  user::ClickUp(*d->UpDown1);
  user::PressKey(*d, forms::vbKeyEscape);  // the cancel button
  EXPECT_FALSE(d->IsLoaded());
  EXPECT_EQ(Stored("SlideShowInterval"), "5");
  EXPECT_EQ(Stored("ExplBarHide"), "0");
  EXPECT_EQ(g_objSettings->SlideShowInterval(), 5);
  EXPECT_TRUE(Toolbar(explorer)->Visible());
}

TEST_F(SettingsTest, ApplyWritesAndHidesTheExplorerToolbarAtOnceAndACancelLaterKeepsIt) {
  auto d = Open();
  user::Click(*d->chkExplorerToolbar);
  EXPECT_TRUE(Toolbar(explorer)->Visible());
  user::Click(*d->cmdApply);
  EXPECT_FALSE(Toolbar(explorer)->Visible());
  EXPECT_EQ(Stored("ExplBarHide"), "1");
  EXPECT_FALSE(d->cmdApply->Enabled());
  EXPECT_TRUE(d->IsLoaded());
  user::Click(*d->cmdCancel);
  EXPECT_EQ(Stored("ExplBarHide"), "1");

  // Cleared again and confirmed with Enter: the toolbar is back.
  MenuEntry(explorer)->UserClick();
  d = forms::Default<frmSettings>();
  user::Click(*d->chkExplorerToolbar);
  user::PressKey(*d, forms::vbKeyReturn);
  EXPECT_FALSE(d->IsLoaded());
  EXPECT_TRUE(Toolbar(explorer)->Visible());
  EXPECT_EQ(Stored("ExplBarHide"), "0");
}

using SettingsRegressions = SettingsTest;

// A toolbar that cannot be reached is reported at the Apply that changed it,
// not again at every later Apply and OK.
TEST_F(SettingsRegressions, AnUnreachableExplorerToolbarIsReportedOnce) {
  auto d = Open();
  App()->Faults().ReturnNothing("ActiveExplorer");
  user::Click(*d->chkExplorerToolbar);
  user::Click(*d->cmdApply);
  ASSERT_FALSE(Boxes().empty());
  for (const Box& b : Boxes()) EXPECT_NE(b.prompt.find("SaveSettings"), std::string::npos) << b.prompt;
  EXPECT_EQ(Stored("ExplBarHide"), "1");
  EXPECT_FALSE(d->cmdApply->Enabled());

  const std::size_t reported = Boxes().size();
  user::ClickUp(*d->UpDown1);
  user::Click(*d->cmdApply);
  user::Click(*d->cmdOK);
  EXPECT_EQ(Boxes().size(), reported);
  EXPECT_FALSE(d->IsLoaded());
  EXPECT_EQ(Stored("SlideShowInterval"), "6");
}

TEST_F(SettingsTest, TheOrientationComboFollowsWizardAndShowsItsPicture) {
  auto d = Open();
  auto shown = [&] {
    std::string out;
    for (auto* img : {&*d->imgOnTop, &*d->imgHorizontal, &*d->imgVertical})
      if (img->Visible()) out += img->Name();
    return out;
  };
  EXPECT_EQ(shown(), "imgOnTop");
  user::Choose(*d->cboFormOrientation, "Tile Vertically");
  EXPECT_EQ(shown(), "imgVertical");
  user::Choose(*d->cboFormOrientation, "Tile Horizontally");
  EXPECT_EQ(shown(), "imgHorizontal");
  for (const char* option : {"Never", "Slideshow"}) {
    user::Choose(*d->cboAutoDisplayOptions, option);
    EXPECT_FALSE(d->cboFormOrientation->Enabled()) << option;
  }
  user::Choose(*d->cboAutoDisplayOptions, "Wizard");
  EXPECT_TRUE(d->cboFormOrientation->Enabled());
}

TEST_F(SettingsTest, ANewToolbarStyleReachesALoadedPreviewWindowOnce) {
  std::vector<long> applied;
  bool previewLoaded = false;
  lumivane::PreviewToolbarStyleHook() = [&](long style) {
    if (previewLoaded) applied.push_back(style);
    return previewLoaded;
  };
  auto d = Open();
  const auto apply = [&](const char* style) {
    user::Choose(*d->cboToolbarStyle, style);
    user::Click(*d->cmdApply);
  };
  apply("Office XP");  // no preview window: the setting alone
  EXPECT_EQ(Stored("ToolbarStyle"), "0");
  previewLoaded = true;
  apply("Office XP");  // the window still has the style it was loaded with
  apply("Office XP");  // applied already
  user::Choose(*d->cboToolbarStyle, "Office 2003");
  user::Click(*d->cmdOK);
  EXPECT_EQ(applied, (std::vector<long>{0, 1}));
  EXPECT_EQ(Stored("ToolbarStyle"), "1");
}

TEST_F(SettingsTest, BrowseReplacesTheSaveFolderOnlyWhenOneIsChosen) {
  auto d = Open();
  user::MouseMove(*d->lblBrowse);
  EXPECT_EQ(d->lblBrowse->ForeColor(), 0xFF);
  EXPECT_EQ(platform::shell::Current().cursors.CurrentCursor(),
            platform::shell::Current().cursors.HandleOf(platform::shell::IDC_HAND));
  user::MouseMove(*d);
  EXPECT_EQ(d->lblBrowse->ForeColor(), 0xFF0000);
  ui->CancelFolder();
  user::Click(*d->lblBrowse);
  EXPECT_EQ(d->txtSavePath->Text(), pictures);
  EXPECT_FALSE(d->cmdApply->Enabled());
  ui->AnswerFolder(tmp / "chosen");
  user::Click(*d->lblBrowse);
  EXPECT_EQ(d->txtSavePath->Text(), tmp / "chosen");
  EXPECT_TRUE(d->cmdApply->Enabled());
  ASSERT_EQ(ui->FolderRequests().size(), 2u);
  EXPECT_EQ(ui->FolderRequests()[0].title, "Choose a default folder for saving attachments...");
  EXPECT_EQ(ui->FolderRequests()[0].owner, d->hWnd());
}

TEST_F(SettingsTest, DelaysAreKeptInRangeAndATextThatIsNoNumberKeepsTheDialogOpen) {
  struct Row {
    const char* wizard;
    const char* slideshow;
    std::string storedWizard, storedSlideshow;  // empty: refused
    const char* refusal;
  };
  const std::string wizardBox = "The Wizard Delay must be a number of milliseconds between 100 and 9999.";
  const std::string slideBox = "The Slide Show Interval must be a number of seconds between 1 and 60.";
  const Row rows[] = {
      {"2500", "12", "2500", "12", nullptr},
      {"0", "0", "100", "1", nullptr},
      {"-50", "-5", "100", "1", nullptr},
      {"99999", "61", "9999", "60", nullptr},
      {"99999999999", "1e3", "9999", "60", nullptr},
      {"1500.5", "7.5", "1500", "8", nullptr},  // rounded half to even
      {"soon", "12", "", "", "wizard"},
      {"1000", "", "", "", "slideshow"},
  };
  // Zero set while running shows the default, and OK stores that.
  g_objSettings->SlideShowInterval(0);
  g_objSettings->AutoDisplayInterval(0);
  auto first = Open();
  EXPECT_EQ(first->txtSlideShowDelay->Text(), "5");
  EXPECT_EQ(first->txtDelay->Text(), "1000");
  user::Click(*first->cmdOK);
  EXPECT_EQ(Stored("SlideShowInterval"), "5");
  EXPECT_EQ(Stored("AutoDisplayInterval"), "1000");

  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.wizard) + " / " + row.slideshow);
    g_objSettings->AutoDisplayInterval(1000);
    g_objSettings->SlideShowInterval(5);
    g_objSettings->Update();
    boxes->ClearLog();
    auto d = Open();
    Type(*d->txtDelay, row.wizard);
    Type(*d->txtSlideShowDelay, row.slideshow);
    user::Click(*d->cmdOK);
    if (row.refusal == nullptr) {
      EXPECT_FALSE(d->IsLoaded());
      EXPECT_EQ(Stored("AutoDisplayInterval"), row.storedWizard);
      EXPECT_EQ(Stored("SlideShowInterval"), row.storedSlideshow);
      EXPECT_TRUE(Boxes().empty());
      continue;
    }
    const bool wizard = std::string(row.refusal) == "wizard";
    EXPECT_EQ(Boxes(), (std::vector<Box>{{wizard ? wizardBox : slideBox, forms::vbExclamation, "Invalid Setting"}}));
    EXPECT_TRUE(d->IsLoaded());
    EXPECT_EQ(d->ActiveControl(), wizard ? static_cast<forms::Control*>(&*d->txtDelay) : &*d->txtSlideShowDelay);
    EXPECT_EQ(Stored("AutoDisplayInterval"), "1000");  // nothing written
    EXPECT_EQ(Stored("SlideShowInterval"), "5");
    user::Click(*d->cmdCancel);
  }
}

TEST_F(SettingsTest, TheAboutBoxOpensFromTheDialogAndItsLinksStartTheBrowser) {
  auto d = Open();
  user::MouseMove(*d->imgHelp);
  user::Click(*d->imgHelp);
  Strings captions;
  ui->DriveOnce<frmAbout>("frmAbout", [&](frmAbout& a) {
    captions = {a.Caption(),
                a.lblVersion->Caption(),
                a.lblQuenstor->Caption(),
                a.lblQuenstor->ToolTipText(),
                a.lblThankYou->Caption(),
                a.lblOutlookMPVs->Caption(),
                a.lblOutlookMPVs->ToolTipText()};
    for (forms::Control* link :
         std::initializer_list<forms::Control*>{&*a.lblQuenstor, &*a.Picture1, &*a.lblThankYou, &*a.lblOutlookMPVs}) {
      platform::shell::Current().cursors.SetCursor(0);
      user::MouseMove(*link);
      EXPECT_EQ(platform::shell::Current().cursors.CurrentCursor(),
                platform::shell::Current().cursors.HandleOf(platform::shell::IDC_HAND))
          << link->Name();
      user::Click(*link);
    }
    EXPECT_EQ(a.lblQuenstor->FontName(), "Arial");
    user::Click(*a.cmdOK);
  });
  user::Click(*d->cmdAbout);
  EXPECT_EQ(ui->NoticesOf("frmAbout"), (Strings{"Load", "ShowModal", "Unload"}));
  EXPECT_EQ(captions, (Strings{"About Lumivane", "Version Info", "http://www.quenstor.com",
                               "Click to visit http://www.quenstor.com", "Tessaleaf Controls", "Outlook MVPs.",
                               "http://www.quenstor.com/outlookmvps.htm"}));
  EXPECT_EQ(Starts(), (Strings{"Shell(\"explorer.exe http://www.quenstor.com/lumivane/help/settings.htm\", 1)",
                               "Shell(\"explorer.exe http://www.quenstor.com\", 1)",
                               "Shell(\"explorer.exe http://www.quenstor.com/\", 1)",
                               "Shell(\"explorer.exe http://www.tessaleaf.com\", 1)",
                               "Shell(\"explorer.exe http://www.quenstor.com/outlookmvps.htm\", 1)"}));
  EXPECT_TRUE(d->Visible());

  // A browser that cannot be started shows nothing.
  platform::shell::Current().seam.faults.Arm("Shell", 53);
  ui->DriveOnce<frmAbout>("frmAbout", [](frmAbout& a) {
    user::Click(*a.lblThankYou);
    user::PressKey(a, forms::vbKeyEscape);
  });
  user::Click(*d->cmdAbout);
  EXPECT_FALSE(forms::Default<frmAbout>()->IsLoaded());
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace windows_test
