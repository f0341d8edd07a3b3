// Message windows: the wrapper that takes a received or a new item, the
// toolbar "Lumivane" that it builds on the window (shown or hidden by the
// item's pictures), the Send button it binds, the commands that run on the
// open item, and the last message window closing.

#include <filesystem>

#include "outlook/addin_fixture.h"
#include "settings/helpers.h"
#include "windows/frm_main.h"
#include "windows/frm_slideshow.h"

namespace outlook_test {
namespace {

using lumivane::frmSaveAttachments;
using lumivane::g_objOutAddIn;
using lumivane::g_objSettings;
namespace mo = lumivane::modOutlExpl;

using PreviewProbe = lumivane::frmMain;

const std::string kInspQuickPictures = "Quick-save Only &Picture Attachments to Default Directory";
const std::string kInspQuickAll = "Quick-save &All Attachments to Default Directory";
const std::string kInspSavePicturesTo = "Save &Pictures To...";
const std::string kInspSaveAllTo = "Save &All Attachments To...";

const Box kNotDownloaded{
    "Only the header has been downloaded for this message.  Until the entire item is available, any present "
    "attachments cannot be retrieved.",
    forms::vbExclamation, "Message Not Downloaded"};
const Box kNoPictureBox{kNoPictures, forms::vbExclamation, "No Picture Attachments"};
const Box kNothingToSave{"The current message does not contain any attachments.", forms::vbExclamation,
                         "No Attachments To Save"};

class InspectorTest : public CommandsTest {
 public:
  void TearDown() override {
    EXPECT_EQ(boxes->Pending(), 0u);
    EXPECT_TRUE(host->EscapedErrors().empty());
    CommandsTest::TearDown();
  }

  static std::shared_ptr<host::CommandBar> BarOf(const std::shared_ptr<host::Inspector>& i) {
    for (const auto& b : i->Bars()->Bars())
      if (b->Name() == "Lumivane" && !b->Deleted()) return b;
    return nullptr;
  }
  // A control of the window's toolbar or of its popup, by caption.
  static std::shared_ptr<host::CommandBarButton> Control(const std::shared_ptr<host::Inspector>& i,
                                                         const std::string& caption) {
    auto bar = BarOf(i);
    for (const auto& c : bar->ControlList()) {
      if (c->Caption() == caption) return host::As<host::CommandBarButton>(c);
      if (auto popup = std::dynamic_pointer_cast<host::CommandBarPopup>(c))
        for (const auto& e : popup->CommandBar()->ControlList())
          if (e->Caption() == caption) return host::As<host::CommandBarButton>(e);
    }
    ADD_FAILURE() << "no control " << caption;
    return nullptr;
  }
  static std::shared_ptr<host::CommandBarButton> Send(const std::shared_ptr<host::Inspector>& i) {
    return host::As<host::CommandBarButton>(i->Bars()->FindControl({.Id = host::kIdSend}));
  }
  void Click(const std::shared_ptr<host::Inspector>& i, const std::string& caption) {
    Control(i, caption)->UserClick();
  }
  std::shared_ptr<lumivane::InspWrap> Wrapper(long index = 1) { return mo::InspWraps().Item(index); }
};

TEST_F(InspectorTest, AReceivedMessageWithPicturesGetsItsToolbarAndItsCommandsWorkOnIt) {
  auto photo = Message("Photo", {Att("beach.jpg", "beach"), Att("notes.txt", "notes")});
  Message("Other", {Att("other.jpg")});
  auto preview = forms::Default<PreviewProbe>();
  forms::Load(*preview);

  auto window = App()->OpenInspector(photo);
  EXPECT_FALSE(preview->IsLoaded());  // an open preview closes
  ASSERT_EQ(mo::InspWraps().Count(), 1);
  EXPECT_EQ(Wrapper()->CurrentOLItemObject(), photo);
  EXPECT_EQ(Wrapper()->AttachmentsCountOnLoad(), 2);
  auto bar = BarOf(window);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->Shown());
  std::vector<std::string> captions, tags;
  for (const auto& c : bar->ControlList()) captions.push_back(c->Caption());
  for (const auto& c : Control(window, kInspQuickPictures)->Parent()->ControlList()) {
    captions.push_back(c->Caption());
    tags.push_back(c->Tag());
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"&Lumivane...", "Start S&lide Show", "Attachments &Manager",
                                                "Settings...", kInspQuickPictures, kInspQuickAll, kInspSavePicturesTo,
                                                kInspSaveAllTo, kExport, kDelete}));
  EXPECT_EQ(tags, (std::vector<std::string>{"InspQuickSavePicAtts1", "InspQuickSaveAllAtts 1", "InspSavePicsTo1",
                                            "InspSaveAttsTo1", "InspExportAtts1", "InspDeleteAtts1"}));
  EXPECT_EQ(Control(window, "Start S&lide Show")->TooltipText(),
            "Start a slide show using the picture attachments in the selected message.");
  EXPECT_EQ(Control(window, "&Lumivane...")->OnAction(), "!<Lumivane.Connect>");
  EXPECT_EQ(Send(window), nullptr);   // a received message has no Send button
  EXPECT_TRUE(HasToolbar(explorer));  // the main window keeps its own

  // Each control reaches its handler, one click each.
  std::vector<std::string> reached;
  lumivane::InspWrap::ClickProbe() = [&](std::string_view h) { reached.emplace_back(h); };
  for (const auto& caption : {"Settings...", kExport.c_str()}) Click(window, caption);
  EXPECT_EQ(reached, (std::vector<std::string>{"m_objLVWInspBarSettingsButton_Click",
                                               "m_objLVWInspBarExportAttachments_Click"}));

  // The preview and the slideshow take the item's pictures into the temporary folder.
  for (const auto& caption : {"&Lumivane...", "Start S&lide Show"}) {
    SCOPED_TRACE(caption);
    g_objOutAddIn->CachedFiles(nullptr);
    Click(window, caption);
    ASSERT_NE(g_objOutAddIn->CachedFiles(), nullptr);
    EXPECT_EQ(g_objOutAddIn->CachedFiles()->Count(), 1);
    EXPECT_EQ(Read(g_objOutAddIn->TempFolderPath() + "/beach.jpg"), "beach");
  }
  // The show took the folder from the open preview: the picture lies there once.
  EXPECT_FALSE(forms::Default<lumivane::frmMain>()->Loaded());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(g_objOutAddIn->TempFolderPath()), {}), 1);

  // Another message window's show while this one runs: the old show goes,
  // and the new one holds only the other message's pictures.
  auto show = forms::Default<lumivane::frmSlideshow>();
  ASSERT_TRUE(show->IsLoaded());
  g_objSettings->AutoDisplayOptions(0);  // no preview of its own holds the folder
  auto other = App()->OpenInspector(Message("Two", {Att("a.jpg", "a"), Att("b.jpg", "b")}));
  Click(other, "Start S&lide Show");
  EXPECT_FALSE(show->IsLoaded());
  EXPECT_EQ(forms::Default<lumivane::frmSlideshow>()->lblInfo(2).Caption(), "a.jpg (1/2)");
  forms::Unload(forms::Default<lumivane::frmSlideshow>());
  App()->CloseInspector(other);

  // Quick-save asks about "the current message" and saves this item only.
  boxes->Queue(forms::vbYes);
  Click(window, kInspQuickPictures);
  const std::string chosen = tmp.MakeDir("chosen");
  ui->AnswerFolder(chosen);
  Click(window, kInspSaveAllTo);
  ui->AnswerFolder(chosen);
  ui->DriveOnce<frmSaveAttachments>("frmSaveAttachments", [](frmSaveAttachments& f) { forms::user::Click(*f.cmdNo); });
  Click(window, kInspSavePicturesTo);
  EXPECT_EQ(Boxes(),
            (std::vector<Box>{
                {"Are you sure you want to save the picture attachments in the current message to the '" + pictures +
                     "' folder?\r\n\r\nNote: You can change the default location for saving attachments in the "
                     "Settings screen.",
                 forms::vbQuestion | forms::vbYesNo, "Save Pictures?"},
                {"One image attachment has been saved to the '" + pictures + "' folder.", forms::vbInformation,
                 "SAVE COMPLETE"},
                {"2 attachments have been saved to '" + chosen + "'.", forms::vbInformation, "SAVE COMPLETE"}}));
  EXPECT_EQ(Read(pictures + "/beach.jpg"), "beach");
  EXPECT_FALSE(std::filesystem::exists(pictures + "/other.jpg"));
  EXPECT_EQ(Read(chosen + "/notes.txt"), "notes");
  ASSERT_EQ(ui->FolderRequests().size(), 2u);
  EXPECT_EQ(ui->FolderRequests()[0].title, "Save attachments to...");
  EXPECT_EQ(ui->FolderRequests()[1].title, "Save picture attachments to...");
  EXPECT_EQ(g_objOutAddIn->SaveAttachmentsForm(), nullptr);

  // Delete asks its own question about the current message.
  boxes->ClearLog();
  boxes->Queue(forms::vbYes);
  Click(window, kDelete);
  EXPECT_EQ(Boxes(), (std::vector<Box>{{"Are you sure you want to permanently delete all of the attachments in the "
                                        "current message?",
                                        forms::vbQuestion | forms::vbYesNo, "Delete All Attachments?"}}));
  EXPECT_EQ(photo->Attachments()->Count(), 0);
  EXPECT_EQ(photo->SaveCount(), 1);
}

TEST_F(InspectorTest, AClickReachesOnlyTheWindowClickedWhenTwoShareATag) {
  g_objSettings->AutoDisplayOptions(0);
  auto first = App()->OpenInspector(Message("One", {Att("a.jpg")}));
  auto second = App()->OpenInspector(Message("Two", {Att("b.jpg")}));
  App()->CloseInspector(first);
  auto third = App()->OpenInspector(Message("Three", {Att("c.jpg")}));
  EXPECT_EQ(Control(second, "Start S&lide Show")->Tag(), "InspSlideShow2");
  EXPECT_EQ(Control(third, "Start S&lide Show")->Tag(), "InspSlideShow2");
  std::vector<std::string> reached;
  lumivane::InspWrap::ClickProbe() = [&](std::string_view h) { reached.emplace_back(h); };
  Click(third, "Start S&lide Show");
  EXPECT_EQ(reached, std::vector<std::string>{"m_objLVWInspBarSSButton_Click"});
  EXPECT_EQ(forms::Default<lumivane::frmSlideshow>()->lblInfo(2).Caption(), "c.jpg (1/1)");
}

TEST_F(InspectorTest, CommandsRefuseWhatTheOpenItemCannotGive) {
  auto headerOnly = Message("Header", {Att("a.jpg")});
  headerOnly->DownloadState(host::olHeaderOnly);
  auto headerOnlyEmpty = Message("Header, nothing attached", {});
  headerOnlyEmpty->DownloadState(host::olHeaderOnly);
  auto text = Message("Text", {Att("a.txt")});
  auto empty = Message("Empty", {});
  struct Row {
    std::shared_ptr<host::Item> item;
    std::string control;
    std::vector<Box> want;
  };
  const std::vector<Row> rows = {
      {headerOnly, "&Lumivane...", {kNotDownloaded}},
      {headerOnly, "Start S&lide Show", {kNotDownloaded}},
      {headerOnly, kInspQuickPictures, {kNotDownloaded}},
      {headerOnly, kInspSavePicturesTo, {kNotDownloaded}},
      // Saving every attachment does not need the body: it goes on to the count.
      {headerOnlyEmpty, kInspQuickAll, {kNothingToSave}},
      {text, "&Lumivane...", {kNoPictureBox}},
      {text, kInspQuickPictures, {kNoPictureBox}},
      {empty, kInspQuickPictures, {kNoPictureBox}},
      {empty, kInspSaveAllTo, {kNothingToSave}},
      {empty,
       kDelete,
       {{"The current message does not have any attachments.", forms::vbExclamation, "No Attachments"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.item->SubjectText() + ": " + row.control);
    auto window = App()->OpenInspector(row.item);
    boxes->ClearLog();
    Click(window, row.control);
    EXPECT_EQ(Boxes(), row.want);
    App()->CloseInspector(window);
  }
  EXPECT_TRUE(std::filesystem::is_empty(pictures));
  EXPECT_TRUE(ui->FolderRequests().empty());
  EXPECT_EQ(g_objOutAddIn->CachedFiles(), nullptr);

  // Opening a message of which only the header is there says so; the toolbar is built all the same.
  boxes->ClearLog();
  auto window = App()->OpenInspector(headerOnly);
  EXPECT_EQ(Boxes(), std::vector<Box>{kNotDownloaded});
  EXPECT_NE(BarOf(window), nullptr);
}

TEST_F(InspectorTest, TheHideSettingHidesTheToolbarOnlyOnItemsWithoutPictures) {
  struct Row {
    bool pictures;
    long hide;
    bool shown;
  };
  for (const Row& row : {Row{true, 0, true}, Row{true, 1, true}, Row{false, 0, true}, Row{false, 1, false}}) {
    SCOPED_TRACE(std::to_string(row.pictures) + " " + std::to_string(row.hide));
    g_objSettings->InspectorBarHide(row.hide);
    auto window = App()->OpenInspector(Message("M", {Att(row.pictures ? "a.jpg" : "a.txt")}));
    auto bar = BarOf(window);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Visible(), row.shown);
    // Hidden or not, every control is bound to the wrapper.
    for (const auto& caption : {"&Lumivane...", "Settings...", kInspQuickAll.c_str(), kDelete.c_str()})
      EXPECT_EQ(Control(window, caption)->Click.SinkCount(), 1u) << caption;
    App()->CloseInspector(window);
  }
}

TEST_F(InspectorTest, NewItemsGetTheirToolbarFromOpenAndSendIsBound) {
  auto drafts = host->Store()->AddFolder("Drafts");
  auto saved = drafts->AddItem({.subject = "Saved draft", .sent = false});
  struct Row {
    const char* name;
    std::function<std::shared_ptr<host::Inspector>()> open;
    bool toolbar;
    bool taken;
  };
  const std::vector<Row> rows = {
      {"new mail", [&] { return App()->Compose({.subject = "New"}, drafts); }, true, true},
      {"new mail in the word editor",
       [&] { return App()->Compose({.subject = "Word"}, drafts, {.editorType = host::olEditorWord}); }, false, true},
      {"new post in the word editor",
       [&] {
         return App()->Compose({.itemClass = host::olPost, .subject = "Post"}, drafts,
                               {.editorType = host::olEditorWord});
       },
       true, true},
      // A draft saved before is left alone: no toolbar, and its added pictures are not previewed.
      {"saved draft", [&] { return App()->OpenInspector(saved); }, false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto window = row.open();
    ASSERT_EQ(mo::InspWraps().Count(), 1);
    EXPECT_EQ(BarOf(window) != nullptr, row.toolbar);
    EXPECT_EQ(Wrapper()->CurrentOLItemObject() != nullptr, row.taken);
    EXPECT_EQ(Send(window)->Click.SinkCount(), row.toolbar ? 1u : 0u);
    App()->CloseInspector(window);
    // A wrapper without its item never hears its window close.
    EXPECT_EQ(mo::InspWraps().Count(), row.taken ? 0 : 1);
  }

  // Composing: attachments added, then Send: the wrapper hears the click and
  // the host sends the message with what was attached.
  auto window = App()->Compose({.subject = "Holiday"}, drafts);
  auto item = window->CurrentItem();
  auto wrapper = Wrapper(2);
  item->Attachments()->Add(tmp.Write("beach.jpg", "beach"));
  EXPECT_FALSE(wrapper->SendClicked());
  g_objSettings->SlideShowInterval(9);
  Send(window)->UserClick();
  EXPECT_TRUE(wrapper->SendClicked());
  EXPECT_TRUE(window->Closed());
  EXPECT_TRUE(item->Sent());
  EXPECT_EQ(item->Attachments()->Count(), 1);
  EXPECT_EQ(mo::InspWraps().Count(), 1);
  EXPECT_EQ(Stored("SlideShowInterval"), "9");  // closing the window wrote the settings
  EXPECT_NE(lumivane::g_objOutlook, nullptr);   // the main window is open
}

TEST_F(InspectorTest, TheLastMessageWindowShutsTheAddInDownOnlyWithoutAMainWindow) {
  auto first = App()->OpenInspector(Message("One", {Att("a.jpg")}));
  auto second = App()->OpenInspector(Message("Two", {Att("b.jpg")}));
  App()->Faults().ReturnNothing("ActiveExplorer");  // no main window is active
  App()->CloseInspector(first);
  EXPECT_NE(g_objSettings, nullptr);
  EXPECT_EQ(mo::InspWraps().Count(), 1);
  App()->CloseInspector(second);
  EXPECT_EQ(g_objSettings, nullptr);
  EXPECT_EQ(lumivane::g_objOutlook, nullptr);
  EXPECT_EQ(mo::g_colInspWraps, nullptr);
  App()->Faults().Clear();

  // With the main window gone first, the add-in shuts down at once; the
  // message window that stays keeps its toolbar, which no longer runs.
  Restart();
  host->Start();
  auto window = App()->OpenInspector(Message("Three", {Att("c.jpg")}));
  App()->CloseExplorer(FirstExplorer());
  EXPECT_EQ(g_objSettings, nullptr);
  EXPECT_TRUE(host->Running());
  ASSERT_NE(BarOf(window), nullptr);
  for (const auto& caption : {"&Lumivane...", kInspQuickPictures.c_str(), "Settings..."})
    EXPECT_EQ(Control(window, caption)->Click.SinkCount(), 0u) << caption;
  Click(window, kInspQuickPictures);
  App()->ActivateInspector(window);
  App()->CloseInspector(window);
  EXPECT_FALSE(host->Running());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(InspectorTest, AnInspectorIsRestoredOnceWhileThePreviewIsLoaded) {
  using State = host::OlWindowState;
  // New messages: opening a received one would close the preview.
  auto open = [&](const char* subject, State state) {
    return App()->Compose({.subject = subject}, nullptr, {.windowState = state});
  };
  auto preview = forms::Default<PreviewProbe>();
  auto minimised = open("Minimised", State::olMinimized);
  EXPECT_EQ(minimised->WindowState(), State::olMinimized);  // no preview: left alone

  forms::Load(*preview);
  open("Normal", State::olNormalWindow);
  EXPECT_FALSE(mo::g_InspectorActivatedOnce);  // a normal window changes nothing
  App()->ActivateInspector(minimised);
  EXPECT_EQ(minimised->WindowState(), State::olNormalWindow);
  EXPECT_TRUE(mo::g_InspectorActivatedOnce);
  auto maximised = open("Maximised", State::olMaximized);
  EXPECT_EQ(maximised->WindowState(), State::olMaximized);  // once only

  // Closing a window clears the flag; a window that refuses the state still
  // counts as the one restored.
  auto refusing = open("Refusing", State::olMaximized);
  refusing->Faults().FailAlways("WindowState=", host::err::kFail, std::string(host::text::kUnableToSetWindowState));
  App()->CloseInspector(maximised);
  EXPECT_FALSE(mo::g_InspectorActivatedOnce);
  App()->ActivateInspector(refusing);
  EXPECT_EQ(refusing->WindowState(), State::olMaximized);
  EXPECT_TRUE(mo::g_InspectorActivatedOnce);
  EXPECT_TRUE(preview->IsLoaded());  // other message windows are open
}

TEST_F(InspectorTest, TheToolbarKeepsItsOwnGeometryAndCaptions) {
  // A first run without a stored place: the first message window's toolbar
  // docks on top and its place is written at once.
  lumivane::modPictureAttachments::g_blnInspBarPositionUnset = true;
  auto first = App()->OpenInspector(Message("One", {Att("a.jpg")}));
  auto bar = BarOf(first);
  EXPECT_EQ(bar->Position(), host::msoBarTop);
  EXPECT_EQ(Stored("InspBarPosition"), "1");
  EXPECT_EQ(Stored("InspBarRowIndex"), std::to_string(bar->RowIndex()));
  EXPECT_FALSE(lumivane::modPictureAttachments::g_blnInspBarPositionUnset);

  // The person moves it and renames a button: OnUpdate keeps both in the
  // settings object, and closing the window writes them.
  bar->Position(host::msoBarBottom);
  Control(first, "&Lumivane...")->Caption("&Preview");
  EXPECT_EQ(g_objSettings->InspBarPosition(), host::msoBarBottom);
  EXPECT_EQ(g_objSettings->InspBarBut1Text(), "&Preview");
  EXPECT_EQ(g_objSettings->ExpBarBut1Text(), "&Lumivane...");  // the main window's are its own
  App()->CloseInspector(first);
  EXPECT_EQ(Stored("InspBarBut1Text"), "&Preview");

  // The next window takes the stored place and caption; a second build of
  // the same window (its item's Open) duplicates nothing.
  auto second = App()->OpenInspector(Message("Two", {Att("b.jpg")}));
  EXPECT_EQ(BarOf(second)->Position(), host::msoBarBottom);
  EXPECT_EQ(BarOf(second)->ControlList().size(), 4u);
  EXPECT_EQ(Control(second, "&Preview")->Tag(), "InspWizard1");
}

}  // namespace
}  // namespace outlook_test
