// The slideshow through the add-in's own entry (ShowSlideShow) on the virtual
// clock: the show's files, fitting, auto-advance and its end, keys, clicks,
// the navigator's buttons, the delayed show, the auto-hide of the hints, and
// closing from inside its own handlers.

#include "windows/slideshow_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using namespace slideshow_test;

TEST_F(SlideshowTest, OpensFullScreenOnThePicturesOfTheFolderLeavingTiffAndPngOut) {
  PutFive();
  auto show = Open();
  EXPECT_TRUE(forms::FormAccess::IsVisible(*show));
  EXPECT_TRUE(show->Loaded());
  EXPECT_TRUE(show->StandAlone());
  EXPECT_EQ(show->Caption(), "Slide Show - Lumivane");
  EXPECT_EQ(show->BorderStyle(), forms::vbBSNone);
  EXPECT_EQ(show->BackColor(), 0);
  EXPECT_FLOAT_EQ(show->Width(), kScreenWTwips);
  EXPECT_FLOAT_EQ(show->Height(), kScreenHTwips);
  EXPECT_EQ(Caption(*show), "a.jpg (1/3)");
  EXPECT_TRUE(show->lblInfo(2).Visible());
  EXPECT_TRUE(HintsShown(*show));
  EXPECT_EQ(show->lblInfo(3).Caption(), "Auto Mode");
  EXPECT_EQ(show->UpcomingPicturePath(), folder + "/d.gif");

  // The anchors: the picture fills the window, the navigator sits bottom right,
  // the caption is centred at the bottom.
  EXPECT_FLOAT_EQ(show->Picture1->Width(), kScreenWTwips);
  EXPECT_FLOAT_EQ(show->Picture1->Height(), kScreenHTwips);
  EXPECT_FLOAT_EQ(show->Navigator1->Left(), kScreenWTwips - 120 - 2040);
  EXPECT_FLOAT_EQ(show->Navigator1->Top(), kScreenHTwips - 120 - 330);
  EXPECT_FLOAT_EQ(show->lblInfo(2).Top(), kScreenHTwips - 345);
  EXPECT_FLOAT_EQ(show->lblInfo(2).Left(), (kScreenWTwips - show->lblInfo(2).Width()) / 2);

  // 1000 x 500 pixels fit as they are, centred.
  EXPECT_EQ(Shown(*show), "a.jpg");
  EXPECT_TRUE(show->Image1->Visible());
  EXPECT_TRUE(show->Image1->Stretch());
  EXPECT_FLOAT_EQ(show->Image1->Width(), 15000);
  EXPECT_FLOAT_EQ(show->Image1->Height(), 7500);
  EXPECT_FLOAT_EQ(show->Image1->Left(), (kScreenWTwips - 15000) / 2);
  EXPECT_FLOAT_EQ(show->Image1->Top(), (kScreenHTwips - 7500) / 2);
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(SlideshowTest, PicturesFitWholeNeverEnlargedWhateverTheirSize) {
  struct Row {
    const char* name;
    std::int32_t w, h;  // pixels, 15 twips each
    float maxH, maxW;
    float wantW, wantH;
  };
  const Row rows[] = {
      {"fits as it is", 400, 200, 8000, 12000, 6000, 3000},
      {"wide, by its width", 1600, 400, 8000, 12000, 12000, 3000},
      {"portrait, limited by the width too", 200, 1000, 8000, 1000, 1000, 5000},
      {"beyond 16-bit twips both ways", 40000, 30000, 8000, 12000, 32000.0f / 3, 8000},
      {"small, never enlarged", 10, 10, 8000, 12000, 150, 150},
  };
  Put("a.bmp");
  auto show = Open();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Put("fit.bmp", row.w, row.h);
    show->LoadAnImage(folder + "/fit.bmp", row.maxH, row.maxW);
    EXPECT_NEAR(show->Image1->Width(), row.wantW, 0.01);
    EXPECT_NEAR(show->Image1->Height(), row.wantH, 0.01);
    EXPECT_NEAR(show->Image1->Left(), (show->Picture1->ScaleWidth() - row.wantW) / 2, 0.01);
    EXPECT_NEAR(show->Image1->Top(), (show->Picture1->ScaleHeight() - row.wantH) / 2, 0.01);
    EXPECT_EQ(Shown(*show), "fit.bmp");
  }
}

TEST_F(SlideshowTest, AdvancesEveryIntervalAndEndsAtTheLastPicture) {
  PutFive();
  auto show = Open();
  loop->Wait(4999);
  EXPECT_EQ(Caption(*show), "a.jpg (1/3)");
  loop->Wait(1);
  EXPECT_EQ(Caption(*show), "d.gif (2/3)");
  EXPECT_EQ(Shown(*show), "d.gif");
  loop->Wait(5000);
  EXPECT_EQ(Caption(*show), "E.BMP (3/3)");
  // 4000 x 3000 pixels: the height limits (16200 - 5 twips).
  EXPECT_NEAR(show->Image1->Height(), kScreenHTwips - 5, 0.01);
  loop->Wait(5000);
  EXPECT_TRUE(show->lblInfo(1).Visible());
  EXPECT_FALSE(show->lblInfo(2).Visible());
  EXPECT_FALSE(show->Timer1->Enabled());
  loop->Wait(20000);
  EXPECT_EQ(Shown(*show), "E.BMP");
}

TEST_F(SlideshowTest, KeysNavigateStopTheRunAndEscapeCloses) {
  struct Row {
    int key;
    int from;  // presses of End first: 0 stays at the first picture
    const char* caption;
  };
  const Row rows[] = {
      {forms::vbKeySpace, 0, "d.gif (2/3)"},
      {forms::vbKeyRight, 0, "d.gif (2/3)"},
      {forms::vbKeyUp, 0, "d.gif (2/3)"},
      {forms::vbKeyLeft, 1, "d.gif (2/3)"},
      {forms::vbKeyDown, 1, "d.gif (2/3)"},
      {forms::vbKeyLeft, 0, "a.jpg (1/3)"},
      {forms::vbKeyEnd, 0, "E.BMP (3/3)"},
      {forms::vbKeyHome, 1, "a.jpg (1/3)"},
      {'A', 0, "a.jpg (1/3)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    PutFive();  // each close empties the folder
    auto show = Open();
    if (row.from != 0) forms::user::PressKey(*show, forms::vbKeyEnd);
    forms::user::PressKey(*show, row.key);
    EXPECT_EQ(Caption(*show), row.caption);
    EXPECT_EQ(show->lblInfo(3).Caption(), "Navigation Mode");
    EXPECT_FALSE(show->Timer1->Enabled());
    forms::Unload(*show);
  }

  // A step past the end stops the run and shows nothing at the bottom.
  PutFive();
  auto show = Open();
  forms::user::PressKey(*show, forms::vbKeyEnd);
  show->Timer1->Enabled(true);
  forms::user::PressKey(*show, forms::vbKeyRight);
  EXPECT_FALSE(show->lblInfo(1).Visible());
  EXPECT_FALSE(show->lblInfo(2).Visible());

  // Escape unloads inside the key's own handler.
  forms::user::PressKey(*show, forms::vbKeyEscape);
  EXPECT_FALSE(show->IsLoaded());
  EXPECT_FALSE(show->Loaded());
  EXPECT_FALSE(forms::DefaultInstanceExists<frmSlideshow>());
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(SlideshowTest, ClicksStepAndEndTheShowWhileItRuns) {
  PutFive();
  auto show = Open();
  forms::user::Click(*show);
  EXPECT_EQ(Caption(*show), "d.gif (2/3)");
  forms::user::Click(*show->Image1);
  EXPECT_EQ(Caption(*show), "E.BMP (3/3)");
  forms::user::Click(*show->Picture1);
  EXPECT_TRUE(show->lblInfo(1).Visible());
  EXPECT_FALSE(show->Timer1->Enabled());
}

TEST_F(SlideshowTest, NavigatorButtonsAtTheirEdgesDriveTheShow) {
  PutFive();
  auto show = Open();
  Press(*show, 300.5f);  // Pause
  Press(*show, 750);     // Pause again: the prefix comes once
  EXPECT_EQ(Caption(*show), "PAUSED - a.jpg (1/3)");
  EXPECT_FALSE(show->Timer1->Enabled());
  loop->Wait(20000);
  EXPECT_EQ(Shown(*show), "a.jpg");

  Press(*show, 300);  // Play
  EXPECT_EQ(Caption(*show), "a.jpg (1/3)");
  EXPECT_TRUE(show->Timer1->Enabled());

  Press(*show, 1500);  // Next; a full interval starts over
  EXPECT_EQ(Caption(*show), "d.gif (2/3)");
  EXPECT_EQ(Nav(*show).ShownBitmap(), stepwick::PlayDown);
  loop->Wait(4999);
  EXPECT_EQ(Caption(*show), "d.gif (2/3)");

  Press(*show, 1000);  // Previous
  EXPECT_EQ(Caption(*show), "a.jpg (1/3)");
  Press(*show, 1000);  // Previous on the first keeps it
  EXPECT_EQ(Caption(*show), "a.jpg (1/3)");

  // Next on the last ends the show, also after a pause.
  forms::user::PressKey(*show, forms::vbKeyEnd);
  Press(*show, 500);
  Press(*show, 1500);
  EXPECT_TRUE(show->lblInfo(1).Visible());
  EXPECT_FALSE(show->Timer1->Enabled());
  Press(*show, 1000);
  EXPECT_FALSE(show->lblInfo(1).Visible());

  // Close unloads the form while the navigator is still inside its press.
  Press(*show, 1600.5f);
  EXPECT_FALSE(show->IsLoaded());
  EXPECT_FALSE(forms::DefaultInstanceExists<frmSlideshow>());
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(SlideshowTest, DelayedShowAppearsAfterOneSecond) {
  PutFive();
  auto show = Open(true, true);
  EXPECT_TRUE(show->IsLoaded());
  EXPECT_TRUE(show->DelayedLoad());
  EXPECT_FALSE(forms::FormAccess::IsVisible(*show));
  loop->Wait(999);
  EXPECT_FALSE(forms::FormAccess::IsVisible(*show));
  loop->Wait(1);
  EXPECT_TRUE(forms::FormAccess::IsVisible(*show));
  EXPECT_FALSE(show->Timer2->Enabled());
  EXPECT_EQ(Shown(*show), "a.jpg");
}

TEST_F(SlideshowTest, HintsHideAfterFiveSecondsOfRestAndComeBackOnMovement) {
  PutFive();
  g_objSettings->SlideShowInterval(60);
  auto show = Open();
  loop->Wait(4999);
  EXPECT_TRUE(HintsShown(*show));
  loop->Wait(1);
  EXPECT_TRUE(HintsHidden(*show));

  // Moving over the navigator's strip is no movement over the show.
  show->Navigator1->Visible(true);
  forms::user::MouseMove(Nav(*show).Image1(), 10, 10);
  EXPECT_FALSE(show->lblInfo(0).Visible());

  for (const char* where : {"form", "Picture1", "Image1"}) {
    SCOPED_TRACE(where);
    const std::string w = where;
    if (w == "form") forms::user::MouseMove(*show, 10, 10);
    if (w == "Picture1") forms::user::MouseMove(*show->Picture1, 10, 10);
    if (w == "Image1") forms::user::MouseMove(*show->Image1, 10, 10);
    EXPECT_TRUE(HintsShown(*show));
    loop->Wait(3000);
    forms::user::MouseMove(*show, 10, 10);  // the countdown starts over
    loop->Wait(4999);
    EXPECT_TRUE(HintsShown(*show));
    loop->Wait(1);
    EXPECT_TRUE(HintsHidden(*show));
  }
}

TEST_F(SlideshowTest, HiddenTextStaysHiddenUntilMovementFollowsAnAutomaticHide) {
  g_objSettings->HideSlideShowText(1);
  PutFive();
  auto show = Open();
  EXPECT_FALSE(show->lblInfo(0).Visible());
  EXPECT_FALSE(show->lblInfo(2).Visible());
  EXPECT_TRUE(show->Navigator1->Visible());
  forms::user::MouseMove(*show, 10, 10);
  EXPECT_FALSE(show->lblInfo(0).Visible());
  loop->Wait(5000);
  forms::user::MouseMove(*show, 10, 10);
  EXPECT_TRUE(HintsShown(*show));
  EXPECT_FALSE(show->lblInfo(2).Visible());
}

TEST_F(SlideshowTest, AStandAloneShowEmptiesTheFolderOnCloseUnlessThePreviewHoldsIt) {
  PutFive();
  auto show = Open();
  forms::user::PressKey(*show, forms::vbKeyEscape);
  EXPECT_TRUE(FolderFiles().empty());

  PutFive();
  SetPreviewWindowLoaded([] { return true; });
  show = Open();
  Press(*show, 2000);
  EXPECT_EQ(FolderFiles().size(), 5u);
  EXPECT_FALSE(show->StandAlone());

  // Shown modally from the preview window: the folder is the preview's.
  SetPreviewWindowLoaded(nullptr);
  ui->Drive<frmSlideshow>("frmSlideshow", [](frmSlideshow& f) {
    forms::user::PressKey(f, forms::vbKeyRight);
    forms::user::PressKey(f, forms::vbKeyEscape);
  });
  bool standAlone = false, delayed = false;
  modPictureAttachments::ShowSlideShow(standAlone, delayed);
  EXPECT_EQ(ui->NoticesOf("frmSlideshow").back(), "Unload");
  EXPECT_FALSE(forms::DefaultInstanceExists<frmSlideshow>());
  EXPECT_EQ(FolderFiles().size(), 5u);
}

TEST_F(SlideshowTest, LoadFailuresShowTheBoxAndTheWindowStillOpens) {
  // No picture in the folder, and an interval the timer refuses.
  g_objSettings->SlideShowInterval(66);
  Put("only.png");
  auto show = Open();
  EXPECT_TRUE(forms::FormAccess::IsVisible(*show));
  std::vector<std::string> prompts;
  for (const auto& b : boxes->Log()) prompts.push_back(b.prompt);
  EXPECT_EQ(prompts, (std::vector<std::string>{
                         "Error 380 (Invalid property value) in procedure Form_Load of Form frmSlideshow",
                         "Error 5 (Invalid procedure call or argument) in procedure Form_Load of Form frmSlideshow",
                     }));
  EXPECT_EQ(boxes->Log()[0].title, "Lumivane 1.1 Error");
  EXPECT_FALSE(show->Image1->Visible());
  forms::user::Click(*show);  // past the end of nothing
  EXPECT_TRUE(show->lblInfo(1).Visible());
  forms::user::PressKey(*show, forms::vbKeyHome);
  // No file to take, then none to load: each statement has its box.
  ASSERT_EQ(boxes->Log().size(), 4u);
  EXPECT_EQ(boxes->Log()[2].prompt,
            "Error 5 (Invalid procedure call or argument) in procedure ChangePicture of Form frmSlideshow");
  EXPECT_EQ(boxes->Log()[3].prompt,
            "Error 91 (Object variable or With block variable not set) in procedure ChangePicture of Form "
            "frmSlideshow");
  forms::user::PressKey(*show, forms::vbKeyEscape);
  EXPECT_FALSE(show->IsLoaded());
}

TEST_F(SlideshowTest, AnUnreadablePictureShowsThePreviousUnderTheNewCaption) {
  Put("a.jpg", 800, 600);
  tmp.Write(std::filesystem::relative(folder, tmp.path()).string() + "/b.jpg", "not a picture");
  auto show = Open();
  forms::user::PressKey(*show, forms::vbKeyRight);
  EXPECT_EQ(Caption(*show), "b.jpg (2/2)");
  EXPECT_EQ(Shown(*show), "a.jpg");
  EXPECT_TRUE(show->Image1->Visible());
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(SlideshowTest, NothingOpensWhileTheAddInIsDisabled) {
  PutFive();
  g_objOutAddIn->Enabled(false);
  Open();
  EXPECT_FALSE(forms::Default<frmSlideshow>()->IsLoaded());
}

}  // namespace
