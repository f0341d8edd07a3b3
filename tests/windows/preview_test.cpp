// The preview window from the Explorer toolbar: what it shows when it opens,
// what a click on a thumbnail or a camera item changes, the layout of the
// thumbnail area, anchoring on resize, and closing.

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "attachments/attachments.h"
#include "outlook/mod_outl_expl.h"
#include "pictures/image_files.h"
#include "windows/preview_fixture.h"

namespace windows_test {
namespace {

using forms::user::ClickExplorerBarItem;
using forms::user::ClickFolderItem;

// The camera picture's texts are the picture file's own; the pane puts the
// labels in front.
const std::vector<std::string> kCameraDetails = {
    "File Name: camera.jpg",
    "Dimensions: 1600 x 1200",
    "Size: 0 KB",
    "Horizontal Resolution: 72 dpi",
    "Vertical Resolution: 72 dpi",
    "Date Picture Taken: 5/17/2004 02:03 PM",
    "Bit Depth: 8",
    "Equipment Make: Fotrix",
    "Camera Model: Fotrix Z10",
    "Creation Software: PixelForge 2.1",
    "Color Representation: sRGB",
    "Shutter Speed: 0.15sec (9/60)",
    "Lens Aperture: F/5",
    "Subject Distance: 3333 mm",
    "Flash Mode: Flash Fired",
    "Focal Length: 6 mm",
    "F-Number: F/2.8 (raw: 28/10)",
    "Exposure Time: 0.017sec (1/60)",
    "ISO Speed: ISO-100",
    "Metering Mode: Multi-segment/Pattern",
    "Light Source: Daylight",
    "Exposure Program: Normal",
    "Exposure Compensation: -1 step",
};

const std::vector<std::string> kNoPicture = {"(no picture selected)", "", "", "", ""};

TEST_F(PreviewTest, OpensOnTheSelectedMessageWithTheFirstPictureFocused) {
  auto f = Open("Holiday", {{"camera.jpg", Camera()}, {"plain.jpg", Plain()}, {"notes.txt", {}}});
  // A second picture of the same name, stored under a free one.
  ASSERT_TRUE(f->Loaded());
  ASSERT_TRUE(forms::FormAccess::IsVisible(*f));
  EXPECT_EQ(f->Caption(), "Lumivane [message: 'Holiday...']");
  EXPECT_EQ(f->FormMode(), lumivane::FullWizard);
  // Centred on the work area of 1000 x 740 pixels at 15 x 12 twips a pixel.
  EXPECT_EQ(f->Left(), 1500);
  EXPECT_EQ(f->Top(), 888);
  EXPECT_EQ(f->Width(), 12000);
  EXPECT_EQ(f->Height(), 7200);  // 7104 asked, but never below the size it was first shown at

  EXPECT_EQ(f->wbThumbnails->LocationURL(), temp);
  EXPECT_EQ(f->wbThumbnails->Document()->CurrentViewMode(), controls::fvmThumbstrip);
  EXPECT_EQ(View(*f), (std::vector<std::string>{">camera.jpg*", "plain.jpg"}));

  EXPECT_EQ(BarKeys(*f), (std::vector<std::string>{"SPECIAL", "DCF", "DETAILS"}));
  auto special = f->vbalExplorerBarCtl1->Bar("SPECIAL");
  EXPECT_EQ(special->Title(), "Picture &Tasks");
  EXPECT_TRUE(special->IsSpecial());
  EXPECT_EQ(special->Items().size(), 10u);
  EXPECT_EQ(special->Item("QUICKSAVEALL")->ToolTipText(), "Save all pictures to '" + pictures + "'");
  EXPECT_EQ(f->vbalExplorerBarCtl1->Bar("DCF")->Title(), "1/2 from Digital Camera");
  EXPECT_EQ(Texts(*f, "DCF"), std::vector<std::string>{"camera.jpg"});
  EXPECT_EQ(Texts(*f, "DETAILS"), kCameraDetails);
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(PreviewTest, ClickingAThumbnailOrACameraItemUpdatesThePaneOnce) {
  auto f = Open("Duplicates", {{"camera.jpg", Camera()}, {"plain.jpg", Plain()}});
  auto& pane = *f->vbalExplorerBarCtl1;

  long repaints = pane.Repaints();
  ClickFolderItem(*f->wbThumbnails, InTemp("plain.jpg"));
  EXPECT_EQ(View(*f), (std::vector<std::string>{"camera.jpg", ">plain.jpg*"}));
  EXPECT_EQ(Texts(*f, "DETAILS"),
            (std::vector<std::string>{"File Name: plain.jpg", "Dimensions: 640 x 480", "Size: 0 KB",
                                      "Horizontal Resolution: 96 dpi", "Vertical Resolution: 96 dpi"}));
  EXPECT_EQ(pane.Repaints(), repaints + 1);

  repaints = pane.Repaints();
  ClickExplorerBarItem(pane, "DCF", "camera.jpg");
  EXPECT_EQ(View(*f), (std::vector<std::string>{">camera.jpg*", "plain.jpg"}));
  EXPECT_EQ(Texts(*f, "DETAILS"), kCameraDetails);
  EXPECT_EQ(pane.Repaints(), repaints + 1);

  // Items of the DETAILS bar name no file: the view stays.
  ClickExplorerBarItem(pane, "DETAILS", "FileSize");
  ClickExplorerBarItem(pane, "DETAILS", "HR");
  EXPECT_EQ(View(*f), (std::vector<std::string>{">camera.jpg*", "plain.jpg"}));
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(PreviewTest, DuplicatesThumbsDbHiddenExtensionsAndAFileCopiedByHand) {
  controls::ShellSettings().hideKnownExtensions = true;
  std::ofstream(InTemp("Thumbs.db")) << "cache";
  std::ofstream(InTemp("zz copied.jpg")) << "by hand";
  scripted->Add(InTemp("zz copied.jpg"), Plain());
  scripted->Add(InTemp("trip_1.jpg"), Camera());
  auto f = Open("Trip", {{"trip.jpg", Camera()}, {"trip.jpg", Camera()}});

  // The first item is Thumbs.db, so the second is chosen.
  EXPECT_EQ(View(*f), (std::vector<std::string>{"Thumbs.db", ">trip*", "trip_1", "zz copied"}));
  EXPECT_EQ(f->vbalExplorerBarCtl1->Bar("DCF")->Title(), "2/2 from Digital Camera");
  EXPECT_EQ(Texts(*f, "DCF"), (std::vector<std::string>{"trip.jpg", "trip_1.jpg (duplicate; is trip.jpg in message)"}));
  EXPECT_EQ(Texts(*f, "DETAILS")[0], "File Name: trip.jpg");

  ClickFolderItem(*f->wbThumbnails, InTemp("zz copied.jpg"));
  EXPECT_EQ(Texts(*f, "DETAILS"), (std::vector<std::string>{"[ERROR LOADING PICTURE]", "", "", "", ""}));

  ClickExplorerBarItem(*f->vbalExplorerBarCtl1, "DCF", "trip_1.jpg");
  EXPECT_EQ(View(*f)[2], ">trip_1*");
  EXPECT_EQ(Texts(*f, "DETAILS")[0], "File Name: trip.jpg");

  // Not a picture: the standard items reset, the camera's stay.
  ClickFolderItem(*f->wbThumbnails, InTemp("Thumbs.db"));
  const auto texts = Texts(*f, "DETAILS");
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 5), kNoPicture);
  EXPECT_EQ(texts.size(), kCameraDetails.size());
}

TEST_F(PreviewTest, CaptionShowsTheFirst27CharactersOfTheSubject) {
  const std::pair<std::string, std::string> rows[] = {
      {"", "Lumivane [message: '...']"},
      {"Short", "Lumivane [message: 'Short...']"},
      {"Exactly twenty-seven chars!", "Lumivane [message: 'Exactly twenty-seven chars!...']"},
      {"A subject much longer than the window shows", "Lumivane [message: 'A subject much longer than ...']"},
  };
  for (const auto& [subject, caption] : rows) {
    SCOPED_TRACE(subject);
    auto f = Open(subject, {{"a.jpg", Plain()}});
    EXPECT_EQ(f->Caption(), caption);
  }
}

// Left and Width of the thumbnail area, by folder view, pane and loading.
TEST_F(PreviewTest, LayoutOfTheThumbnailArea) {
  struct Row {
    const char* name;
    bool classic;
    bool hidePane;
    bool loaded;
    long showInFull;
    bool onTopPending;
    float left;
    float widthOverW;       // Width - W
    bool widthKept;         // Width as before the call
    float designWidth = 0;  // not 0: this Width, whatever W
  };
  const Row rows[] = {
      {"classic hidden not loaded", true, true, false, 0, false, 3510, 0, false, 6020},
      {"classic hidden loaded", true, true, true, 0, false, 0, 0, false},
      {"classic shown", true, false, true, 0, false, 3510, -(3495 + 15), false},
      {"classic shown not loaded", true, false, false, 0, false, 3510, -(3495 + 15), false},
      {"web shown", false, false, true, 0, false, 350, -480, false},
      {"web shown not loaded", false, false, false, 0, false, 350, -480, false},
      {"web hidden not loaded", false, true, false, 0, false, 350, 0, true},
      {"web hidden loaded", false, true, true, 0, false, -3150, 3020, false},
      {"web hidden loaded, pane wanted", false, true, true, 1, false, -3150, 3020, false},
      {"web hidden while on top is pending", false, true, true, 0, true, -3150, 3020, false},
      {"web shown while on top is pending", false, false, true, 0, true, 350, -480, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ClassicView(row.classic);
    auto f = Open("Layout", {{"a.jpg", Plain()}});
    lumivane::g_objSettings->ShowTaskPaneInFullWizard(row.showInFull);
    f->Loaded(row.loaded);
    lumivane::g_blnWizardOnTopPending = row.onTopPending;
    const float W = f->ScaleWidth();
    // Twice: the layout does not drift when asked again.
    for (int i = 0; i < 2; ++i) {
      SCOPED_TRACE(i);
      // The pane as the setting for the mode asks; FormMode 3 leaves it alone.
      lumivane::g_objSettings->ShowTaskPaneInVerticalWizard(row.hidePane ? 0 : 1);
      const float before = f->wbThumbnails->Width();
      f->FormMode(lumivane::VerticalWizard);
      EXPECT_EQ(f->vbalExplorerBarCtl1->Visible(), !row.hidePane);
      EXPECT_EQ(f->wbThumbnails->Left(), row.left);
      EXPECT_EQ(f->wbThumbnails->Width(), row.widthKept          ? before
                                          : row.designWidth != 0 ? row.designWidth
                                                                 : W + row.widthOverW);
    }
    lumivane::g_blnWizardOnTopPending = false;
    f->Loaded(true);
  }
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(PreviewTest, ResizeKeepsTheControlsAnchoredAndTheMinimumSize) {
  auto f = Open("Resize", {{"a.jpg", Plain()}});
  struct Geometry {
    float left, top, width, height;
    bool operator==(const Geometry&) const = default;
  };
  auto of = [](forms::Control& c) { return Geometry{c.Left(), c.Top(), c.Width(), c.Height()}; };
  forms::Control* tracked[] = {&*f->wbThumbnails, &*f->vbalExplorerBarCtl1, &*f->cmdClose, &*f->cmdAlignThumbnailWindow,
                               &*f->TagAnchor1};
  // The size it was first shown at is the least it can have.
  const float w0 = 9900, h0 = 7200;
  ASSERT_EQ(f->Height(), h0);
  struct Row {
    const char* name;
    float width, height;  // the size asked for
    float wantW, wantH;   // the size the window ends with
  };
  const Row rows[] = {
      {"larger", 12200, h0 + 300, 12200, h0 + 300},
      {"smaller", w0, h0, w0, h0},
      {"narrower than at first", w0 - 500, h0, w0, h0},
      {"lower than at first", w0 + 100, h0 - 400, w0 + 100, h0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<Geometry> before;
    for (auto* c : tracked) before.push_back(of(*c));
    const float dw = row.wantW - f->Width(), dh = row.wantH - f->Height();
    f->Width(row.width);
    f->Height(row.height);
    EXPECT_EQ(f->Width(), row.wantW);
    EXPECT_EQ(f->Height(), row.wantH);
    // TTTT stretches, FTFT grows in height, FFTT moves, no tag stays.
    const std::vector<Geometry> want = {
        {before[0].left, before[0].top, before[0].width + dw, before[0].height + dh},
        {before[1].left, before[1].top, before[1].width, before[1].height + dh},
        {before[2].left + dw, before[2].top + dh, before[2].width, before[2].height},
        {before[3].left + dw, before[3].top + dh, before[3].width, before[3].height},
        before[4],
    };
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(of(*tracked[i]), want[i]) << tracked[i]->Name();
  }
  EXPECT_EQ(f->TagAnchor1->Width(), 480);
  EXPECT_EQ(f->TagAnchor1->Height(), 465);

  // Minimised and restored: nothing moves.
  const Geometry close = of(*f->cmdClose);
  f->WindowState(forms::FormWindowState::vbMinimized);
  f->WindowState(forms::FormWindowState::vbNormal);
  EXPECT_EQ(of(*f->cmdClose), close);
}

using PreviewRegressions = PreviewTest;

// The anchor keeps its own size whenever it is given another, not only when
// it is made.
TEST_F(PreviewRegressions, TheResizeAnchorKeepsItsOwnSizeWhenResizedLater) {
  auto f = Open("Anchor", {{"a.jpg", Plain()}});
  forms::Control& anchor = *f->TagAnchor1;
  anchor.Width(3000);
  anchor.Height(100);
  EXPECT_EQ(anchor.Width(), 480);
  EXPECT_EQ(anchor.Height(), 465);
  anchor.Move(60, 70, 1000, 2000);
  EXPECT_EQ((std::vector<float>{anchor.Left(), anchor.Top(), anchor.Width(), anchor.Height()}),
            (std::vector<float>{60, 70, 480, 465}));
}

class frmSlideshow : public forms::Form {
 public:
  frmSlideshow() : Form("frmSlideshow") {}
};

TEST_F(PreviewTest, ClosingEmptiesTheFolderAndWritesTheSettings) {
  struct Row {
    const char* name;
    long mode;
    bool slideshowOpen;
    bool messageWindowOpen;
    bool wantMaximised;
  };
  const Row rows[] = {
      {"full window", lumivane::FullWizard, false, true, false},
      {"tiled below", lumivane::HorizontalWizard, false, true, true},
      {"tiled beside", lumivane::VerticalWizard, false, true, true},
      {"tiled, message window closed", lumivane::VerticalWizard, false, false, false},
      {"slideshow still open", lumivane::FullWizard, true, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto f = Open("Close", {{"a.jpg", Plain()}, {"b.jpg", Plain()}});
    std::shared_ptr<host::Inspector> window;
    if (row.messageWindowOpen) {
      // Opening the message closes the preview; its own window opens it again.
      window = App()->OpenInspector(message);
      ButtonOf(window->Bars()->Item("Lumivane"), "&Lumivane...")->UserClick();
      f = forms::Default<frmMain>();
      ASSERT_TRUE(f->Loaded());
    }
    std::shared_ptr<frmSlideshow> slideshow;
    if (row.slideshowOpen) {
      slideshow = std::make_shared<frmSlideshow>();
      forms::Load(*slideshow);
    }
    f->FormMode(row.mode);
    lumivane::g_objSettings->WizardFormImageControlLastViewedState(5);

    forms::user::Click(*f->cmdClose);
    EXPECT_FALSE(f->IsLoaded());
    EXPECT_FALSE(f->Loaded());
    EXPECT_FALSE(forms::DefaultInstanceExists<frmMain>());
    EXPECT_EQ(Stored("WizardFormImageControlLastViewedState"), "5");
    EXPECT_EQ(platform::fso::ListFolder(temp, platform::fso::EntryKind::Files).size(), row.slideshowOpen ? 2u : 0u);
    EXPECT_EQ(lumivane::g_objOutAddIn->CachedFiles() == nullptr, !row.slideshowOpen);
    if (!row.messageWindowOpen) {
      EXPECT_EQ(App()->Inspectors()->Count(), 0);  // none opened to be maximised
    }
    if (window) {
      EXPECT_EQ(window->WindowState(),
                row.wantMaximised ? host::OlWindowState::olMaximized : host::OlWindowState::olNormalWindow);
      App()->CloseInspector(window);
    }
    if (slideshow) forms::Unload(*slideshow);
    lumivane::modPictureAttachments::ClearTempFolder();
  }
}

// Message windows close the preview only when it shows their own item, or
// when their own display takes the window.
TEST_F(PreviewTest, MessageWindowsLeaveThePreviewOfAnotherMessage) {
  const auto other = Message("Other", {outlook_test::Att("notes.txt")});
  auto f = Open("Preview", {{"a.jpg", Plain()}, {"b.jpg", Plain()}});
  const auto files = [&] { return platform::fso::ListFolder(temp, platform::fso::EntryKind::Files).size(); };

  auto window = App()->OpenInspector(other);
  App()->CloseInspector(window);  // the last one
  EXPECT_TRUE(f->Loaded());
  EXPECT_EQ(files(), 2u);

  // A message whose pictures show by themselves takes the window and the folder.
  const auto pictures = Message("Pictures", {outlook_test::Att("c.jpg")});
  window = App()->OpenInspector(pictures);
  EXPECT_FALSE(f->IsLoaded());
  EXPECT_EQ(platform::fso::ListFolder(temp, platform::fso::EntryKind::Files), std::vector<std::string>{"c.jpg"});
  App()->CloseInspector(window);

  // The preview of the very message a window opens for goes.
  f = Open("Preview", {{"a.jpg", Plain()}});
  window = App()->OpenInspector(message);
  EXPECT_FALSE(f->IsLoaded());
  App()->CloseInspector(window);
}

TEST_F(PreviewTest, ABrowserThatNeverGetsReadyDoesNotHangAndACloseWaitsForTheLoad) {
  controls::Readiness() = {controls::BrowserReadiness::Kind::Never, 0};
  forms::LoopTimer closer;
  closer.Start(100, false, [] { forms::Unload(*forms::Default<frmMain>()); });
  auto f = Open("Never ready", {{"a.jpg", Plain()}});
  EXPECT_TRUE(f->Loaded());
  EXPECT_TRUE(forms::FormAccess::IsVisible(*f));
  EXPECT_EQ(f->wbThumbnails->Document(), nullptr);
  EXPECT_EQ(Texts(*f, "DETAILS"), (std::vector<std::string>{"[no picture selected)", "Dimensions: ", "Size: ",
                                                            "Horizontal Resolution: ", "Vertical Resolution: "}));
  loop->Wait(1);
  EXPECT_FALSE(f->IsLoaded());
  EXPECT_TRUE(platform::fso::ListFolder(temp, platform::fso::EntryKind::Files).empty());

  // Ready after a few passes of the pump: the view is set.
  controls::Readiness() = {controls::BrowserReadiness::Kind::AfterReads, 3};
  f = Open("Soon ready", {{"a.jpg", Plain()}});
  EXPECT_EQ(f->wbThumbnails->Document()->CurrentViewMode(), controls::fvmThumbstrip);
  EXPECT_EQ(View(*f), std::vector<std::string>{">a.jpg*"});
}

// A camera's texts with line breaks and bidi controls (here an override
// that would turn "Z10" round) are shown on one line without them.
TEST_F(PreviewTest, ExifTextsWithLineBreaksOrBidiControlsShowOnOneLineWithoutThem) {
  auto picture = Camera();
  for (auto& item : picture.properties) {
    if (item.tag == 272) item = platform::gdiplus::PropertyData::Ascii(272, "Fotrix\r\n\xE2\x80\xAEZ10\xE2\x80\xAC");
    if (item.tag == 305) item = platform::gdiplus::PropertyData::Ascii(305, "PixelForge\t2.1\n");
  }
  auto f = Open("Controls", {{"camera.jpg", picture}});
  const std::vector<std::string> details = Texts(*f, "DETAILS");
  EXPECT_NE(std::find(details.begin(), details.end(), "Camera Model: Fotrix Z10"), details.end());
  EXPECT_NE(std::find(details.begin(), details.end(), "Creation Software: PixelForge 2.1"), details.end());
}

}  // namespace
}  // namespace windows_test
