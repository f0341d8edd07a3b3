// The preview window's command bar (task pane button, views, viewer choice,
// help) and the picture commands of its task pane: opening pictures in the
// chosen viewer, saving, export, delete, settings, slideshow, and the
// alignment dialog.

#include <algorithm>
#include <cmath>

#include "attachments/frm_export.h"
#include "pictures/image_viewers.h"
#include "platform/forms/screen.h"
#include "platform/fso/fso.h"
#include "settings/reg_settings.h"
#include "windows/frm_browser_alignment.h"
#include "windows/frm_settings.h"
#include "windows/frm_slideshow.h"
#include "windows/preview_fixture.h"

namespace windows_test {
namespace {

using forms::user::ChooseCommandBarEntry;
using forms::user::ClickCommandBarButton;
using forms::user::ClickExplorerBarItem;
using forms::user::ClickFolderItem;
using lumivane::frmBrowserAlignment;
using Strings = std::vector<std::string>;

class PreviewCommandsTest : public PreviewTest {
 public:
  void SetUp() override {
    PreviewTest::SetUp();
    // A viewer installed on the desktop, beside the ones always found.
    auto eye = lumivane::g_objImageViewers->Add("Eye");
    eye->EXEName("eye");
    eye->EXEPath("/usr/bin/eye");
  }
  void Task(frmMain& f, const char* key) { ClickExplorerBarItem(*f.vbalExplorerBarCtl1, "SPECIAL", key); }
  static std::vector<std::string> Starts() { return platform::shell::Current().seam.log.CallsOf("Shell"); }
  std::string Start(const std::string& file) const { return "Shell(\"/usr/bin/eye\", \"" + InTemp(file) + "\", 3)"; }
  // The keys of the checked view entries.
  static std::string Checked(frmMain& f) {
    std::string out;
    for (const auto& e : f.cmdBar(0).Bars().Item("VIEWMENU")->Buttons())
      if (e->Checked()) out += e->Key();
    return out;
  }
};

TEST_F(PreviewCommandsTest, TheCommandBarIsBuiltWithTheStyleAndTheViewsSwitchAndAreRemembered) {
  lumivane::g_objSettings->ToolbarStyle(2);
  auto f = Open("Views", {{"a.jpg", Plain()}, {"b.jpg", Plain()}});
  auto& bar = f->cmdBar(0);
  EXPECT_EQ(bar.Describe(),
            "Money: [&Hide Task Pane] | (lblOpenWith) (cboImageViewers) | [&Views v] {* Filmstri&p, T&humbnails, "
            "Tile&s, Ico&ns, &List, &Details} | [&Help...]");
  EXPECT_EQ(bar.Buttons().Item("HELP")->IconIndex(), 14);
  EXPECT_EQ(f->lblOpenWith->ForeColor(), 0xFFFFFF);
  EXPECT_EQ(f->lblOpenWith->Container(), &bar);

  struct Row {
    const char* entry;
    long mode;
  } rows[] = {{"Thumbnails", 5}, {"Tiles", 6}, {"Icons", 1}, {"List", 3}, {"Details", 4}, {"Filmstrip", 7}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.entry);
    ChooseCommandBarEntry(bar, "VIEWOPTION", row.entry);
    EXPECT_EQ(f->wbThumbnails->Document()->CurrentViewMode(), row.mode);
    EXPECT_EQ(Checked(*f), row.entry);
    EXPECT_EQ(lumivane::g_objSettings->WizardFormImageControlLastViewedState(), row.mode);
  }
  // The drop-down got one element of its own, floating, loaded once.
  EXPECT_EQ(f->cmdBar.UBound(), 1);
  EXPECT_EQ(f->cmdBar(1).Align(), 0);

  // "&Views" itself names no view: nothing changes.
  ChooseCommandBarEntry(bar, "VIEWOPTION", "Tiles");
  ClickCommandBarButton(bar, "VIEWOPTION");
  EXPECT_EQ(f->wbThumbnails->Document()->CurrentViewMode(), 6);
  EXPECT_EQ(lumivane::g_objSettings->WizardFormImageControlLastViewedState(), 6);

  forms::user::Click(*f->cmdClose);
  EXPECT_EQ(Stored("WizardFormImageControlLastViewedState"), "6");
  f = Open("Views again", {{"a.jpg", Plain()}});
  EXPECT_EQ(f->wbThumbnails->Document()->CurrentViewMode(), 6);
  EXPECT_EQ(Checked(*f), "Tiles");
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(PreviewCommandsTest, TheTaskPaneButtonHelpAndTheSettingsDialogsStyle) {
  auto f = Open("Pane", {{"a.jpg", Plain()}});
  auto& bar = f->cmdBar(0);
  auto pane = bar.Buttons().Item("TASKPANE");
  ClickCommandBarButton(bar, "TASKPANE");
  EXPECT_FALSE(f->vbalExplorerBarCtl1->Visible());
  EXPECT_EQ(pane->Caption(), "&Show Task Pane");
  EXPECT_EQ(pane->IconIndex(), 10);
  ClickCommandBarButton(bar, "TASKPANE");
  EXPECT_TRUE(f->vbalExplorerBarCtl1->Visible());
  EXPECT_EQ(pane->Caption(), "&Hide Task Pane");
  EXPECT_EQ(pane->IconIndex(), 9);
  pane->IconIndex(3);  // neither picture: the click does nothing
  ClickCommandBarButton(bar, "TASKPANE");
  EXPECT_TRUE(f->vbalExplorerBarCtl1->Visible());

  ClickCommandBarButton(bar, "HELP");
  EXPECT_EQ(Starts(), Strings{"Shell(\"explorer.exe http://www.quenstor.com/lumivane/help/preview.htm\", 1)"});

  // The settings dialog restyles the loaded window's bar at once.
  ASSERT_TRUE(lumivane::PreviewToolbarStyleHook());
  EXPECT_TRUE(lumivane::PreviewToolbarStyleHook()(2));
  EXPECT_EQ(bar.Style(), 2);
  EXPECT_EQ(f->lblOpenWith->ForeColor(), 0xFFFFFF);
  EXPECT_TRUE(lumivane::PreviewToolbarStyleHook()(3));
  EXPECT_EQ(f->lblOpenWith->ForeColor(), forms::vbButtonText);
  forms::Unload(*f);
  EXPECT_FALSE(lumivane::PreviewToolbarStyleHook());
}

TEST_F(PreviewCommandsTest, TheViewerComboStartsOnTheDefaultAndKeepsTheChoiceOnClose) {
  auto f = Open("Viewers", {{"a.jpg", Plain()}});
  // No viewer is the default yet: the platform's own viewer is chosen.
  EXPECT_EQ(f->cboImageViewers->Text(), "Windows Picture and Fax Viewer");
  EXPECT_EQ(f->SelectedViewer()->ViewerName(), "Windows Picture and Fax Viewer");
  forms::user::ChooseImageComboEntry(*f->cboImageViewers, "Eye");
  EXPECT_EQ(f->SelectedViewer()->ViewerName(), "Eye");
  forms::user::Click(*f->cmdClose);
  EXPECT_EQ(Stored("DefaultViewer"), "Eye");
  EXPECT_EQ(lumivane::g_objImageViewers->GetDefaultViewer()->ViewerName(), "Eye");

  f = Open("Viewers again", {{"a.jpg", Plain()}});
  EXPECT_EQ(f->cboImageViewers->Text(), "Eye");
  EXPECT_EQ(f->SelectedViewer()->ViewerName(), "Eye");
}

TEST_F(PreviewCommandsTest, OpeningPicturesOnePerTickThroughAFailingStartAndOnTheDefaultAction) {
  lumivane::g_objSettings->DefaultViewer("Eye");
  auto f = Open("Open", {{"a.jpg", Plain()}, {"b.jpg", Plain()}, {"c.jpg", Plain()}, {"notes.txt", {}}});
  std::ofstream(InTemp("d.txt")) << "not a picture";  // copied by hand: it costs a tick
  platform::shell::Current().seam.log.Clear();

  Task(*f, "OPENALL");
  EXPECT_TRUE(Starts().empty());  // the first one on the first tick
  loop->Wait(500);
  EXPECT_EQ(Starts(), Strings{Start("a.jpg")});
  platform::shell::Current().seam.faults.Arm("Shell", 53, "File not found", 1);
  loop->Wait(500);
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].prompt,
            "Error 53 (File not found) in procedure OpenImage of Form frmMain.\r\n\r\n[error in OpenImage; file = '" +
                InTemp("b.jpg") + "; application exe path = '/usr/bin/eye \"" + InTemp("b.jpg") +
                "\"'; exe name = 'eye']");
  EXPECT_EQ(forms::Screen().MousePointer(), forms::vbDefault);  // not left as the hourglass
  loop->Wait(2000);
  EXPECT_EQ(Starts().size(), 2u);  // stopped

  // Again: on from the file after the failed one, to the end of the folder.
  Task(*f, "OPENALL");
  loop->Wait(5000);
  EXPECT_EQ(Starts(), (Strings{Start("a.jpg"), Start("b.jpg"), Start("c.jpg")}));
  EXPECT_FALSE(f->TimerForImageOpening->Enabled());

  // The selection: the selected pictures in the first ticks.
  platform::shell::Current().seam.log.Clear();
  ClickFolderItem(*f->wbThumbnails, InTemp("b.jpg"));
  ClickFolderItem(*f->wbThumbnails, InTemp("c.jpg"), 2);
  Task(*f, "OPENSELECTED");
  loop->Wait(5000);
  EXPECT_EQ(Starts(), (Strings{Start("b.jpg"), Start("c.jpg")}));

  // A double-click opens the selection at once; the shell does nothing of its own.
  platform::shell::Current().seam.log.Clear();
  forms::user::DoubleClickFolderItem(*f->wbThumbnails, InTemp("a.jpg"));
  EXPECT_EQ(Starts(), Strings{Start("a.jpg")});
  EXPECT_TRUE(f->wbThumbnails->Document()->ShellActions().empty());
}

TEST_F(PreviewCommandsTest, WithoutAViewerTheOpenCommandsAreRefused) {
  // Only a viewer that is not there any more is the default, and the
  // platform's own is gone too: the combo chooses nothing.
  lumivane::g_objImageViewers->Remove(runtime::Variant(std::string("Windows Picture and Fax Viewer")));
  auto f = Open("No viewer", {{"a.jpg", Plain()}});
  EXPECT_EQ(f->cboImageViewers->Text(), "");
  boxes->Queue(forms::vbOK, 2);
  Task(*f, "OPENALL");
  Task(*f, "OPENSELECTED");
  ASSERT_EQ(boxes->Log().size(), 2u);
  EXPECT_EQ(boxes->Log()[0].title, "No Selected Application");
  EXPECT_EQ(boxes->Log()[0].style, forms::vbExclamation);
  EXPECT_EQ(boxes->Log()[0].prompt.rfind("You must choose an Image application from the drop down list to view the "
                                         "select image(s).\r\n\r\n",
                                         0),
            0u);
  loop->Wait(2000);
  EXPECT_TRUE(Starts().empty());
}

TEST_F(PreviewCommandsTest, SavingAllOrTheSelectedPicturesAndTheDuplicateNames) {
  const std::string documents = tmp / "home/Documents";
  auto f = Open("Save", {{"beach.jpg", Camera()}, {"beach.jpg", Plain()}, {"notes.txt", {}}});
  // Both pictures of one name are in the folder, the second as beach_1.jpg.
  EXPECT_EQ(View(*f), (Strings{">beach.jpg*", "beach_1.jpg"}));

  // Quick save of all: asked first, then both pictures, the second renamed.
  boxes->Queue(forms::vbYes);
  ui->Drive("frmSaveAttachments", [](forms::Form& dialog) {
    forms::user::Click(*static_cast<lumivane::frmSaveAttachments&>(dialog).cmdUseRename);
  });
  Task(*f, "QUICKSAVEALL");
  ASSERT_EQ(boxes->Log().size(), 2u);
  EXPECT_EQ(boxes->Log()[0].prompt,
            "Are you sure you want to save all of the picture attachments in the current message to the '" + pictures +
                "' folder?");
  EXPECT_EQ(boxes->Log()[0].title, "Save Pictures?");
  EXPECT_EQ(boxes->Log()[1].prompt, "2 image attachments have been saved to '" + pictures + "'.");
  EXPECT_EQ(boxes->Log()[1].title, "SAVE COMPLETE");
  boxes->ClearLog();

  // The second beach.jpg alone, stored as beach_1.jpg, to a folder picked now.
  ClickFolderItem(*f->wbThumbnails, InTemp("beach_1.jpg"));
  ui->AnswerFolder(documents);
  Task(*f, "CUSTOMSAVESELECTED");
  EXPECT_EQ(ui->FolderRequests().back().title, "Select the folder where you want to save the selected pictures...");
  EXPECT_EQ(outlook_test::Read(documents + "/beach.jpg"), "data");
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].prompt, "One image attachment has been saved to '" + documents + "'.");
  EXPECT_EQ(message->Attachments()->Item(2)->SavedTo().back(), documents + "/beach.jpg");
  EXPECT_NE(message->Attachments()->Item(1)->SavedTo().back(), documents + "/beach.jpg");
  boxes->ClearLog();

  // Nothing selected: the selected-pictures commands do nothing, silently.
  ClickFolderItem(*f->wbThumbnails, InTemp("beach_1.jpg"), 2);
  Task(*f, "QUICKSAVESELECTED");
  Task(*f, "CUSTOMSAVESELECTED");
  // A cancelled folder pick saves nothing either.
  ui->CancelFolder();
  Task(*f, "CUSTOMSAVEALL");
  EXPECT_TRUE(boxes->Log().empty());
  EXPECT_EQ(ui->PendingFolderAnswers(), 0u);
}

// With known extensions hidden, a shown name with a dot or a ";" still finds
// its own file, its texts and, for the selected-pictures save, exactly its
// own attachment.
TEST_F(PreviewCommandsTest, NamesWithADotOrASemicolonUnderHiddenExtensions) {
  controls::ShellSettings().hideKnownExtensions = true;
  // The second a;b.jpg is a camera picture, stored as a;b_1.jpg.
  scripted->Add(InTemp("a;b_1.jpg"), Camera());
  auto f = Open("Odd names", {{"a;b.jpg", Camera()}, {"my.photo.jpg", Plain()}, {"a;b.jpg", Plain()}});
  EXPECT_EQ(View(*f), (Strings{">a;b*", "a;b_1", "my.photo"}));
  EXPECT_EQ(Texts(*f, "DCF"), Strings{"a;b_1.jpg (duplicate; is a;b.jpg in message)"});

  ClickFolderItem(*f->wbThumbnails, InTemp("my.photo.jpg"));
  EXPECT_EQ(Texts(*f, "DETAILS")[0], "File Name: my.photo.jpg");
  ClickFolderItem(*f->wbThumbnails, InTemp("a;b_1.jpg"));
  EXPECT_EQ(Texts(*f, "DETAILS")[0], "File Name: a;b.jpg");
  EXPECT_EQ(Texts(*f, "DETAILS")[1], "Dimensions: 1600 x 1200");  // the camera's, not the first a;b.jpg's

  const std::string documents = tmp / "home/Documents";
  ui->AnswerFolder(documents);
  Task(*f, "CUSTOMSAVESELECTED");
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].prompt, "One image attachment has been saved to '" + documents + "'.");
  EXPECT_EQ(message->Attachments()->Item(3)->SavedTo().back(), documents + "/a;b.jpg");
  EXPECT_TRUE(message->Attachments()->Item(1)->SavedTo().empty() ||
              message->Attachments()->Item(1)->SavedTo().back() != documents + "/a;b.jpg");
}

using TaskPaneRegressions = PreviewCommandsTest;

// An attached message and a link named like the picture come first: the
// selected picture is still the attachment its file was written from.
TEST_F(TaskPaneRegressions, SavingTheSelectedPictureSavesTheAttachmentItCameFrom) {
  auto attached = outlook_test::Att("beach.jpg", "an attached message");
  attached.type = host::olEmbeddeditem;
  auto link = outlook_test::Att("beach.jpg", "a link");
  link.type = host::olByReference;
  scripted->Add(InTemp("beach.jpg"), Plain());
  message = Message("Beach", {attached, link, outlook_test::Att("beach.jpg", "the picture")});
  explorer->Select({message});
  ClickToolbar("&Lumivane...");
  auto f = forms::Default<frmMain>();
  ASSERT_EQ(View(*f), (Strings{">beach.jpg*"}));

  const std::string documents = tmp / "home/Documents";
  ui->AnswerFolder(documents);
  Task(*f, "CUSTOMSAVESELECTED");
  EXPECT_EQ(outlook_test::Read(documents + "/beach.jpg"), "the picture");
  EXPECT_TRUE(message->Attachments()->Item(1)->SavedTo().empty());
  EXPECT_TRUE(message->Attachments()->Item(2)->SavedTo().empty());
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].prompt, "One image attachment has been saved to '" + documents + "'.");
}

TEST_F(PreviewCommandsTest, OnlyNonPicturesSavedEndsWithoutTheCompleteBox) {
  auto f = Open("Text", {{"a.jpg", Plain()}, {"notes.txt", {}}});
  // The message's picture went meanwhile; only the text file is left.
  message->Attachments()->Remove(1);
  ui->AnswerFolder(tmp / "home/Documents");
  Task(*f, "CUSTOMSAVEALL");
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(PreviewCommandsTest, ExportDeleteSettingsAndSlideshowReachTheirWindows) {
  auto f = Open("Windows", {{"a.jpg", Plain()}, {"b.jpg", Plain()}});
  ui->Drive("frmExport", [](forms::Form& dialog) {
    auto& e = static_cast<lumivane::frmExport&>(dialog);
    EXPECT_EQ(e.CallingMode(), lumivane::lvwCallingMode::Wizard);
    forms::user::Click(*e.cmdCancel);
  });
  Task(*f, "EXPORT");
  EXPECT_EQ(ui->NoticesOf("frmExport"), (Strings{"Load", "ShowModal", "Hide", "Unload"}));

  Task(*f, "SETTINGS");
  auto settings = forms::Default<lumivane::frmSettings>();
  EXPECT_TRUE(forms::FormAccess::IsVisible(*settings));
  EXPECT_EQ(settings->Owner().get(), f.get());
  forms::Unload(*settings);

  // The slideshow is modal from here; one already loaded goes first.
  auto old = forms::Default<lumivane::frmSlideshow>();
  forms::Load(*old);
  ui->Drive("frmSlideshow", [](forms::Form& show) { forms::Unload(show); });
  Task(*f, "SLIDESHOW");
  EXPECT_FALSE(old->IsLoaded());
  const Strings shows = ui->NoticesOf("frmSlideshow");
  EXPECT_EQ(std::count(shows.begin(), shows.end(), "ShowModal"), 1);
  EXPECT_EQ(std::count(shows.begin(), shows.end(), "Load"), 2);  // loaded afresh

  boxes->Queue(forms::vbYes);
  Task(*f, "DELETEATTS");
  EXPECT_EQ(boxes->Log().back().title, "Delete All Attachments?");
  EXPECT_EQ(message->Attachments()->Count(), 0);
}

TEST_F(PreviewCommandsTest, TheAlignmentDialogAppliesAndResetsTheThumbnailArea) {
  registry->Seed(platform::registry::HKEY_CURRENT_USER, outlook_test::kSettingsKey, "DebugMode",
                 platform::registry::REG_DWORD, {1, 0, 0, 0});
  lumivane::g_objSettings = std::make_shared<lumivane::RegSettings>();
  auto f = Open("Align", {{"a.jpg", Plain()}});
  ASSERT_TRUE(f->cmdAlignThumbnailWindow->Visible());
  auto& browser = *f->wbThumbnails;
  const float left = browser.Left(), top = browser.Top(), width = browser.Width(), height = browser.Height();

  ui->DriveOnce("frmBrowserAlignment", [&](forms::Form& form) {
    auto& d = static_cast<frmBrowserAlignment&>(form);
    EXPECT_EQ(d.Caption(), "Align Thumbnail Window...");
    EXPECT_EQ(d.txtLeft->Text(), std::to_string(std::lround(left)));
    EXPECT_EQ(d.txtWidth->Text(), std::to_string(std::lround(width)));
    forms::user::Paste(*d.txtWidth, "4000");
    forms::user::Paste(*d.txtTop, "");  // an empty box changes nothing for its side
    forms::user::Click(*d.cmdApply);
    EXPECT_EQ(browser.Width(), 4000);
    EXPECT_EQ(browser.Top(), top);
    forms::user::Paste(*d.txtHeight, "1000");
    forms::user::Click(*d.cmdApply);
    forms::user::Click(*d.cmdReset);
    EXPECT_EQ(browser.Width(), width);
    EXPECT_EQ(browser.Height(), height);
    EXPECT_EQ(d.txtTop->Text(), std::to_string(std::lround(top)));
    forms::user::Paste(*d.txtLeft, "120");
    forms::user::Click(*d.cmdApply);
    forms::user::Click(*d.cmdClose);
  });
  forms::user::Click(*f->cmdAlignThumbnailWindow);
  EXPECT_EQ(browser.Left(), 120);  // the last applied place stays
  EXPECT_FALSE(forms::DefaultInstanceExists<frmBrowserAlignment>() &&
               forms::Default<frmBrowserAlignment>()->ControlToAlign() != nullptr);
  EXPECT_TRUE(boxes->Log().empty());
}

TEST(ViewNames, MapBothWaysWithCase) {
  namespace mpa = lumivane::modPictureAttachments;
  const std::pair<const char*, long> rows[] = {{"Icons", 1},      {"List", 3},  {"Details", 4},
                                               {"Thumbnails", 5}, {"Tiles", 6}, {"Filmstrip", 7}};
  for (const auto& [name, mode] : rows) {
    SCOPED_TRACE(name);
    EXPECT_EQ(mpa::GetFolderViewModeByName(name), mode);
    EXPECT_EQ(mpa::GetThumbnailViewName(mode), name);
  }
  EXPECT_EQ(mpa::GetFolderViewModeByName("filmstrip"), 0);
  EXPECT_EQ(mpa::GetFolderViewModeByName("Views"), 0);
  EXPECT_EQ(mpa::GetThumbnailViewName(2), "");
  EXPECT_EQ(mpa::GetThumbnailViewName(8), "");
  EXPECT_EQ(mpa::GetThumbnailViewName(0), "");
}

}  // namespace
}  // namespace windows_test
