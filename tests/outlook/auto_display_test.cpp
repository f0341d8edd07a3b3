// The automatic display when a received message with pictures opens (nothing,
// the slideshow, the preview on top after the delay, or tiled with the
// message window) and the preview of pictures attached while composing.

#include <cmath>
#include <filesystem>
#include <functional>

#include "host/timer.h"
#include "outlook/addin_fixture.h"
#include "pictures/image_files.h"
#include "platform/forms/screen.h"
#include "windows/frm_main.h"
#include "windows/frm_slideshow.h"

namespace outlook_test {
namespace {

using lumivane::frmMain;
using lumivane::frmSlideshow;
using lumivane::g_objOutAddIn;
using lumivane::g_objSettings;
using State = host::OlWindowState;
namespace mo = lumivane::modOutlExpl;
namespace fs = std::filesystem;

enum class Shown { Nothing, Slideshow, OnTop, Below, Beside };

const char* Name(Shown s) {
  const char* names[] = {"nothing", "slideshow", "on top", "below", "beside"};
  return names[static_cast<int>(s)];
}

// A work area that does not start at the screen's corner, on a screen whose
// pixels are not square in twips.
constexpr platform::shell::RECT kArea{64, 30, 1985, 1230};

class AutoDisplayTest : public CommandsTest {
 public:
  void SetUp() override {
    AddInTest::SetUp();
    // Ahead of the add-in's own handler: the window as the person left it
    // last time, and the refusals it will give.
    newInspector = App()->Inspectors()->NewInspector.Subscribe([this](std::shared_ptr<host::Inspector> window) {
      if (prepare) prepare(*window);
    });
    host->Start();
    explorer = FirstExplorer();
    platform::shell::Current().workArea.Set(kArea);
    forms::Screen().Configure(15.0f, 12.0f, 2048, 1280);
  }
  void TearDown() override {
    EXPECT_EQ(boxes->Pending(), 0u);
    EXPECT_TRUE(host->EscapedErrors().empty());
    newInspector.reset();
    forms::Screen().Reset();
    CommandsTest::TearDown();
  }

  static bool PreviewShown() {
    return forms::DefaultInstanceExists<frmMain>() && forms::FormAccess::IsVisible(*forms::Default<frmMain>());
  }
  static bool SlideshowLoaded() {
    return forms::DefaultInstanceExists<frmSlideshow>() && forms::Default<frmSlideshow>()->IsLoaded();
  }
  // What is on the screen once the delay has passed.
  Shown Outcome() {
    loop->Wait(g_objSettings->AutoDisplayInterval());
    if (SlideshowLoaded()) return Shown::Slideshow;
    if (!PreviewShown()) return Shown::Nothing;
    return static_cast<Shown>(forms::Default<frmMain>()->FormMode() + static_cast<long>(Shown::OnTop));
  }
  static bool BarVisible(const std::shared_ptr<host::Inspector>& window) {
    for (const auto& bar : window->Bars()->Bars())
      if (bar->Name() == "Lumivane" && !bar->Deleted()) return bar->Visible();
    return false;
  }
  bool TempFolderEmpty() const { return fs::is_empty(g_objOutAddIn->TempFolderPath()); }
  void CloseAll(const std::shared_ptr<host::Inspector>& window) {
    App()->CloseInspector(window);
    if (SlideshowLoaded()) forms::Unload(forms::Default<frmSlideshow>());
    loop->Wait(5000);
    boxes->ClearLog();
  }

  std::function<void(host::Inspector&)> prepare;
  runtime::Subscription newInspector;
};

TEST_F(AutoDisplayTest, TheSettingsChooseWhatOpensWithTheMessage) {
  auto mixed = Message("Mixed", {Att("beach.jpg", "beach"), Att("notes.txt")});
  struct Row {
    long options, criteria, orientation;
    Shown shown;
  };
  const Row rows[] = {
      {0, 0, 0, Shown::Nothing}, {0, 0, 1, Shown::Nothing},   {0, 0, 2, Shown::Nothing},   {0, 1, 0, Shown::Nothing},
      {0, 1, 1, Shown::Nothing}, {0, 1, 2, Shown::Nothing},   {1, 0, 0, Shown::Nothing},   {1, 0, 1, Shown::Nothing},
      {1, 0, 2, Shown::Nothing}, {1, 1, 0, Shown::Slideshow}, {1, 1, 1, Shown::Slideshow}, {1, 1, 2, Shown::Slideshow},
      {2, 0, 0, Shown::Nothing}, {2, 0, 1, Shown::Nothing},   {2, 0, 2, Shown::Nothing},   {2, 1, 0, Shown::OnTop},
      {2, 1, 1, Shown::Below},   {2, 1, 2, Shown::Beside},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.options << " x " << row.criteria << " x " << row.orientation);
    g_objSettings->AutoDisplayOptions(row.options);
    g_objSettings->AutoDisplayCriteria(row.criteria);
    g_objSettings->AutoDisplayOrientationOptions(row.orientation);
    auto window = App()->OpenInspector(mixed);
    EXPECT_EQ(TempFolderEmpty(), row.shown == Shown::Nothing);  // nothing saved for nothing shown
    EXPECT_EQ(Outcome(), row.shown) << Name(Outcome());
    if (row.options != 0) {
      EXPECT_EQ(mo::InspWraps().Item(1)->AutoDisplayModeOnLoad(), row.shown == Shown::Nothing ? 0 : row.options);
    }
    EXPECT_TRUE(Boxes().empty());
    CloseAll(window);
  }

  // Only pictures: the stricter criteria shows them too; with debug mode on
  // the stricter criteria says why it shows nothing.
  g_objSettings->AutoDisplayOptions(2);
  g_objSettings->AutoDisplayCriteria(0);
  g_objSettings->AutoDisplayOrientationOptions(0);
  auto window = App()->OpenInspector(Message("Pictures", {Att("a.jpg"), Att("b.png")}));
  EXPECT_EQ(Outcome(), Shown::OnTop);
  CloseAll(window);
  g_objSettings->DebugMode(true);
  window = App()->OpenInspector(mixed);
  EXPECT_EQ(Outcome(), Shown::Nothing);
  EXPECT_EQ(Boxes(), (std::vector<Box>{{"ActivateWizards - lvwAutoDisplayCriteria.OnlyWhenAllAttachmentsArePictures : "
                                        "Exiting",
                                        forms::vbExclamation, "DEBUG MODE"}}));
  CloseAll(window);

  // A show still running when another message's show comes: the new one
  // holds only the new message's pictures.
  g_objSettings->DebugMode(false);
  g_objSettings->AutoDisplayOptions(1);
  auto first = App()->OpenInspector(Message("First", {Att("a.jpg", "a"), Att("b.jpg", "b")}));
  ASSERT_EQ(Outcome(), Shown::Slideshow);
  auto second = App()->OpenInspector(Message("Second", {Att("c.jpg", "c")}));
  EXPECT_EQ(Outcome(), Shown::Slideshow);
  EXPECT_EQ(forms::Default<frmSlideshow>()->lblInfo(2).Caption(), "c.jpg (1/1)");
  CloseAll(second);
  CloseAll(first);
}

TEST_F(AutoDisplayTest, ThePreviewTakesItsPlaceOnTheWorkArea) {
  struct Geometry {
    long left, top, width, height;
    bool operator==(const Geometry&) const = default;
  };
  struct Row {
    const char* name;
    long orientation;
    long left;  // where the person left the message window
    State state;
    bool areaFails;
    Geometry window;   // pixels, afterwards
    Geometry preview;  // twips, or all 0: not shown
    long formMode;
  };
  const Row rows[] = {
      {"on top", 0, 120, State::olNormalWindow, false, {120, 80, 800, 600}, {3842, 1800, 23052, 11520}, 0},
      {"on top, no work area: the screen",
       0,
       120,
       State::olNormalWindow,
       true,
       {120, 80, 800, 600},
       {3072, 1536, 24576, 12288},
       0},
      {"below", 1, 120, State::olNormalWindow, false, {64, 30, 1921, 600}, {960, 7560, 28815, 7200}, 1},
      {"below, from maximised", 1, 120, State::olMaximized, false, {64, 30, 1921, 600}, {960, 7560, 28815, 7200}, 1},
      // Half of 1921 pixels rounds to the even 960.
      {"beside", 2, 120, State::olNormalWindow, false, {64, 30, 960, 1200}, {15360, 360, 14400, 14400}, 2},
      {"beside, on a monitor to the left",
       2,
       -300,
       State::olNormalWindow,
       false,
       {-300, 30, 960, 1200},
       {15360, 360, 14400, 14400},
       2},
      {"beside, no work area: nothing", 2, 120, State::olNormalWindow, true, {120, 80, 800, 600}, {0, 0, 0, 0}, 0},
  };
  auto photo = Message("Photo", {Att("beach.jpg", "beach")});
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_objSettings->AutoDisplayOrientationOptions(row.orientation);
    platform::shell::Current().workArea.Fail(row.areaFails);
    prepare = [&](host::Inspector& window) { window.Left(row.left); };
    auto window = App()->OpenInspector(photo, {.windowState = row.state});
    // A tiled preview is there at once; the one on top waits for the delay.
    EXPECT_EQ(PreviewShown(), row.orientation != 0 && !row.areaFails);
    loop->Wait(1000);
    EXPECT_EQ(window->WindowState(), row.orientation == 0 || row.areaFails ? row.state : State::olNormalWindow);
    EXPECT_EQ((Geometry{window->Left(), window->Top(), window->Width(), window->Height()}), row.window);
    if (row.preview.width == 0) {
      EXPECT_FALSE(PreviewShown());
    } else {
      ASSERT_TRUE(PreviewShown());
      auto preview = forms::Default<frmMain>();
      EXPECT_EQ((Geometry{std::lround(preview->Left()), std::lround(preview->Top()), std::lround(preview->Width()),
                          std::lround(preview->Height())}),
                row.preview);
      EXPECT_EQ(preview->FormMode(), row.formMode);
      EXPECT_EQ(preview->Pictures()->Count(), 1);
    }
    CloseAll(window);
  }
}

TEST_F(AutoDisplayTest, TheOnTopPreviewWaitsForTheDelayAndOnlyForItsOwnWindow) {
  auto photo = Message("Photo", {Att("beach.jpg", "beach")});
  // A minimised window with a display pending is left as it is.
  auto window = App()->OpenInspector(photo, {.windowState = State::olMinimized});
  auto preview = forms::Default<frmMain>();
  EXPECT_EQ(preview->Pictures()->Count(), 1);
  EXPECT_EQ(preview->FormMode(), lumivane::FullWizard);
  EXPECT_TRUE(lumivane::g_blnWizardOnTopPending);
  EXPECT_EQ(window->WindowState(), State::olMinimized);
  loop->Wait(999);
  EXPECT_FALSE(PreviewShown());
  loop->Wait(1);
  EXPECT_TRUE(PreviewShown());
  EXPECT_FALSE(lumivane::g_blnWizardOnTopPending);
  EXPECT_EQ(preview->CurrentMessage(), photo);
  CloseAll(window);

  // The window closes before the delay: nothing comes, also while another
  // message window stays open.
  auto draft = App()->Compose({.subject = "Draft"});
  for (int open = 0; open < 2; ++open) {
    window = App()->OpenInspector(photo);
    loop->Wait(500);
    App()->CloseInspector(window);
    EXPECT_FALSE(forms::DefaultInstanceExists<frmMain>());
    loop->Wait(1000);
    EXPECT_FALSE(forms::DefaultInstanceExists<frmMain>());
    if (open == 0) App()->CloseInspector(draft);
  }

  // The preview is unloaded, or taken by another message, before the delay:
  // it is neither brought back empty nor shown with someone else's pictures.
  window = App()->OpenInspector(photo);
  loop->Wait(500);
  forms::Unload(forms::Default<frmMain>());
  loop->Wait(500);
  EXPECT_FALSE(forms::DefaultInstanceExists<frmMain>());
  auto other = Message("Other", {Att("other.jpg")});
  window = App()->OpenInspector(photo);
  forms::Default<frmMain>()->BuildImageCollection(other->Attachments());
  loop->Wait(1000);
  EXPECT_FALSE(PreviewShown());
  CloseAll(window);

  // A delay of 0 stored by hand reads as the default.
  g_objSettings->AutoDisplayInterval(0);
  g_objSettings->Update();
  Restart();
  host->Start();
  EXPECT_EQ(g_objSettings->AutoDisplayInterval(), 1000);
  window = App()->OpenInspector(Message("Photo", {Att("beach.jpg")}));
  loop->Wait(1000);
  EXPECT_TRUE(PreviewShown());

  // The main window closes while a display is pending: the add-in shuts
  // down, and the message window's timer stops with it.
  window = App()->OpenInspector(Message("Later", {Att("later.jpg")}));
  EXPECT_TRUE(loop->NextDue().has_value());
  App()->CloseExplorer(FirstExplorer());
  EXPECT_EQ(g_objSettings, nullptr);
  EXPECT_FALSE(loop->NextDue().has_value());
  loop->Wait(1000);
  EXPECT_FALSE(forms::DefaultInstanceExists<frmMain>());
}

TEST_F(AutoDisplayTest, RefusalsOfTheOpeningWindowAreHandledAsExpected) {
  // A picture that reads, so debug mode has nothing else to say.
  auto photo = Message(
      "Photo", {{.fileName = "camera.jpg",
                 .content = host::TextContent(Read(std::string(LUMIVANE_TEST_DATA) + "/pictures/camera.jpg"))}});
  const std::string unableToDisplay(host::text::kUnableToDisplayItem);
  const std::string unableToSetState(host::text::kUnableToSetWindowState);
  // While the display is being decided: expected refusals show as debug
  // texts only, anything else as the common error box; the display goes on.
  struct Row {
    long number;
    std::string description;
    std::vector<Box> debugOn, debugOff;
  };
  const Box error{"Error 5 (Invalid procedure call or argument) in procedure ActivateWizards of Class Module InspWrap",
                  forms::vbExclamation, "Lumivane 1.1 Error"};
  const Row rows[] = {
      {host::err::kFail,
       unableToDisplay,
       {{"Unable to display item error handled!", forms::vbExclamation, "DEBUG MODE"}},
       {}},
      {host::err::kFail,
       unableToSetState,
       {{"Unable to set the WindowState of this Explorer or Inspector error handled!", forms::vbExclamation,
         "DEBUG MODE"}},
       {}},
      {host::err::kUnexpected, "Catastrophic failure", {}, {}},
      {5, "Invalid procedure call or argument", {error}, {error}},
  };
  for (const Row& row : rows) {
    for (bool debug : {true, false}) {
      SCOPED_TRACE(row.description + (debug ? ", debug mode" : ""));
      g_objSettings->DebugMode(debug);
      // The wrapper's third look at the attachments is the display's own.
      photo->Faults().FailNext("Attachments", row.number, row.description, 1, 2);
      auto window = App()->OpenInspector(photo);
      EXPECT_EQ(Outcome(), Shown::OnTop);
      EXPECT_EQ(Boxes(), debug ? row.debugOn : row.debugOff);
      CloseAll(window);
      photo->Faults().Clear();
    }
  }

  // While tiling, the window's refusals are passed over and the tiling goes on.
  g_objSettings->AutoDisplayOrientationOptions(2);
  g_objSettings->DebugMode(true);
  struct Refusal {
    const char* member;
    long number;
    std::string description;
  };
  const Refusal refusals[] = {{"Display", host::err::kFail, unableToDisplay},
                              {"Display", host::err::kUnexpected, ""},
                              {"WindowState=", host::err::kFail, unableToSetState}};
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(std::string(refusal.member) + " " + refusal.description);
    prepare = [&](host::Inspector& window) {
      window.Faults().FailAlways(refusal.member, refusal.number, refusal.description);
    };
    auto window = App()->OpenInspector(photo, {.windowState = State::olMaximized});
    EXPECT_EQ(Outcome(), Shown::Beside);
    EXPECT_EQ(window->Width(), 960);
    EXPECT_TRUE(Boxes().empty());
    window->Faults().Clear();
    CloseAll(window);
  }

  // A disabled add-in tiles nothing: the window keeps its place and no
  // preview is loaded behind it.
  prepare = nullptr;
  g_objOutAddIn->Enabled(false);
  auto window = App()->OpenInspector(photo);
  EXPECT_EQ(window->Width(), 800);
  EXPECT_FALSE(forms::DefaultInstanceExists<frmMain>() && forms::Default<frmMain>()->IsLoaded());
  g_objOutAddIn->Enabled(true);
  CloseAll(window);
}

TEST_F(AutoDisplayTest, APictureAttachedWhileComposingIsPreviewedBelowTheWindow) {
  auto drafts = host->Store()->AddFolder("Drafts");
  prepare = [](host::Inspector& window) { window.Height(500); };
  struct Row {
    const char* name;
    long previews;
    long capture;
    host::AttachmentData added;
    long pictures;  // in the preview; 0: none shown
  };
  auto inlined = Att("logo.png");
  inlined.contentId = "logo.png@mail";
  const Row rows[] = {
      {"a picture", 1, 0, Att("photo.JPG"), 2},
      {"the host's body picture", 1, 0, Att("Outlook.jpg"), 0},
      {"a picture of that name in lower case", 1, 0, Att("outlook.jpg"), 2},
      {"a text file", 1, 0, Att("notes.txt"), 0},
      {"previews off", 0, 0, Att("photo.jpg"), 0},
      {"a picture in the body", 1, 0, inlined, 0},
      {"a picture in the body, asked for", 1, 1, inlined, 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_objSettings->EnableAttPreviews(row.previews);
    g_objSettings->CaptureInlineHTMLImages(row.capture);
    auto window = App()->Compose({.subject = "Holiday", .sent = false}, drafts);
    auto item = window->CurrentItem();
    item->AddAttachment(Att("earlier.gif"));
    // The body's pictures are known by name once the draft is saved.
    if (!row.added.contentId.empty()) item->AddAttachment(row.added);
    item->Save();
    forms::Unload(forms::Default<frmMain>());  // what the earlier pictures opened
    window->Height(500);
    item->AddAttachment(row.added);
    EXPECT_EQ(PreviewShown(), row.pictures != 0);
    if (row.pictures != 0) {
      auto preview = forms::Default<frmMain>();
      EXPECT_EQ(preview->FormMode(), lumivane::HorizontalWizard);
      EXPECT_EQ(preview->Pictures()->Count(), row.pictures);  // with those attached before
      EXPECT_EQ(window->Height(), 600);                       // the upper half of the work area
      EXPECT_TRUE(BarVisible(window));
    }
    CloseAll(window);
  }

  // Debug mode says when the count taken at opening already holds the
  // attachment just added.
  g_objSettings->DebugMode(true);
  g_objSettings->EnableAttPreviews(0);
  auto draft = App()->Compose({.subject = "Counted", .sent = false}, drafts);
  mo::InspWraps().Item(1)->AttachmentsCountOnLoad(1);
  draft->CurrentItem()->AddAttachment(Att("notes.txt"));
  EXPECT_EQ(Boxes(), (std::vector<Box>{{"AttachmentsCountOnLoad = 1; CurrentOLItemObject.Attachments.Count = 1",
                                        forms::vbOKOnly, "Lumivane"}}));
  CloseAll(draft);
  g_objSettings->DebugMode(false);

  // What the host adds as it sends is not previewed.
  g_objSettings->EnableAttPreviews(1);
  auto window = App()->Compose({.subject = "Sending", .sent = false}, drafts);
  auto item = window->CurrentItem();
  item->AddOnSend(Att("photo.jpg"));
  host::As<host::CommandBarButton>(window->Bars()->FindControl({.Id = host::kIdSend}))->UserClick();
  EXPECT_TRUE(window->Closed());
  ASSERT_EQ(item->AttachmentList().size(), 1u);
  EXPECT_TRUE(item->AttachmentList().front()->SavedTo().empty());
}

}  // namespace
}  // namespace outlook_test
