// Where windows go: a form's Left, Top, Width and Height are its outer
// frame, and what Qt places is the inside, with the frame the window manager
// draws once it is known and the classic one before (and offscreen).
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/qt/form_views.h"
#include "platform/qt/screen_ui.h"
#include "platform/qt/window_frame.h"

namespace {

namespace forms = platform::forms;
namespace pq = platform::qt;
using Margins = forms::FrameMargins;

TEST(WindowFrame, TheFrameOfEachBorderStyleBeforeAndAfterTheWindowManagerSaysIt) {
  const Margins titled{1, 24, 1, 2}, tool{1, 18, 1, 1};
  struct Case {
    int style;
    Margins classic, seenTitledOnly, seenBoth;
  } const cases[] = {
      {forms::vbBSNone, {}, {}, {}},
      {forms::vbFixedSingle, {3, 22, 3, 3}, titled, titled},
      {forms::vbSizable, {4, 23, 4, 4}, titled, titled},
      {forms::vbFixedDialog, {3, 22, 3, 3}, titled, titled},
      {forms::vbFixedToolWindow, {3, 18, 3, 3}, titled, tool},
      {forms::vbSizableToolWindow, {4, 19, 4, 4}, titled, tool},
  };
  forms::ScreenObject screen;
  for (const Case& c : cases) EXPECT_EQ(screen.FrameOf(c.style), c.classic) << c.style;
  EXPECT_TRUE(screen.LearnFrame(false, titled));
  EXPECT_FALSE(screen.LearnFrame(false, titled));
  for (const Case& c : cases) EXPECT_EQ(screen.FrameOf(c.style), c.seenTitledOnly) << c.style;
  EXPECT_TRUE(screen.LearnFrame(true, tool));
  for (const Case& c : cases) EXPECT_EQ(screen.FrameOf(c.style), c.seenBoth) << c.style;

  // The inside and the outer frame turn into each other.
  const QRect outer(960, 0, 960, 1040);
  EXPECT_EQ(pq::InsideOf(outer, titled), QRect(961, 24, 958, 1014));
  EXPECT_EQ(pq::FrameOf(pq::InsideOf(outer, titled), titled), outer);
}

class frmTiled : public forms::Form {
 public:
  frmTiled() : Form("frmTiled") {}
  int resizes = 0;

 protected:
  void Design() override {
    Caption("Tiled");
    Width(4800);
    Height(3600);
  }
  void Form_Resize() override { ++resizes; }
};

class WindowFrameOnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    forms::SetUserInterface(
        std::make_shared<pq::DrawnUserInterface>(std::make_shared<forms::ScriptedUserInterface>(), views_));
    forms::Screen().Reset();
  }
  void TearDown() override {
    forms::DiscardAllForms();
    forms::SetUserInterface(nullptr);
    forms::Screen().Reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  pq::FormViews views_;
};

// A form tiled into the right half of a 1920 x 1040 work area lies in it
// whole, frame and title bar included; a person's move and size come back
// as the outer frame; a frame learned later changes the inside, not the
// place, and the form lays out again.
TEST_F(WindowFrameOnScreen, AFormsTwipsAreItsOuterFrame) {
  auto form = forms::Default<frmTiled>();
  form->Left(960 * 15);
  form->Top(0);
  form->Width(960 * 15);
  form->Height(1040 * 15);
  form->Show();
  pq::FormWindow* window = views_.WindowOf(*form);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(pq::DrawnFrame(*window).has_value());  // offscreen: the classic frame
  EXPECT_EQ(window->geometry(), QRect(964, 23, 952, 1013));
  EXPECT_EQ(pq::OuterFrame(*window, forms::vbSizable), QRect(960, 0, 960, 1040));
  EXPECT_EQ(form->ScaleHeight(), 1013 * 15);

  window->setGeometry(104, 123, 500, 400);
  EXPECT_EQ(form->Left(), 100 * 15);
  EXPECT_EQ(form->Top(), 100 * 15);
  EXPECT_EQ(form->Width(), 508 * 15);
  EXPECT_EQ(form->Height(), 427 * 15);

  const int resizes = form->resizes;
  ASSERT_TRUE(forms::Screen().LearnFrame(false, {1, 24, 1, 2}));
  QEvent learned(pq::FrameLearned());  // what LearnFrame sends every window
  QApplication::sendEvent(window, &learned);
  EXPECT_EQ(window->geometry(), QRect(101, 124, 506, 401));
  EXPECT_EQ(form->Left(), 100 * 15);
  EXPECT_EQ(form->Height(), 427 * 15);
  EXPECT_EQ(form->ScaleHeight(), 401 * 15);
  EXPECT_EQ(form->resizes, resizes + 1);
}

}  // namespace
