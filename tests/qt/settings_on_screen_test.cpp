// The settings dialog used on screen: a person's clicks on the drawn check
// box and up-down arrow, then OK, reach the registry.
#include <QAbstractButton>
#include <QCheckBox>
#include <QTest>
#include <QToolButton>

#include "outlook/addin_fixture.h"
#include "platform/qt/screen_ui.h"
#include "windows/frm_settings.h"

namespace {

using namespace outlook_test;
namespace pq = platform::qt;

class SettingsOnScreen : public CommandsTest {
 protected:
  void SetUp() override {
    CommandsTest::SetUp();
    forms::SetUserInterface(std::make_shared<pq::DrawnUserInterface>(ui, views));
  }
  void TearDown() override {
    CommandsTest::TearDown();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  pq::FormViews views;
};

TEST_F(SettingsOnScreen, ACheckBoxAndAnUpDownChangedOnScreenAreStoredByOK) {
  ClickToolbar("&Settings...");
  auto dialog = forms::Default<lumivane::frmSettings>();
  pq::FormWindow* window = views.WindowOf(*dialog);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Settings - Lumivane");

  auto* hideToolbar = window->findChild<QCheckBox*>("chkExplorerToolbar");
  ASSERT_NE(hideToolbar, nullptr);
  QTest::mouseClick(hideToolbar, Qt::LeftButton);
  EXPECT_TRUE(hideToolbar->isChecked());

  // The slideshow's up arrow: 5 seconds become 6.
  QWidget* upDown = window->findChild<QWidget*>("UpDown1");
  ASSERT_NE(upDown, nullptr);
  const auto arrows = upDown->findChildren<QToolButton*>();
  ASSERT_EQ(arrows.size(), 2);
  QTest::mouseClick(arrows[0], Qt::LeftButton);
  EXPECT_EQ(dialog->txtSlideShowDelay->Text(), "6");

  QTest::mouseClick(window->findChild<QAbstractButton*>("cmdOK"), Qt::LeftButton);
  EXPECT_EQ(Stored("SlideShowInterval"), "6");
  EXPECT_EQ(Stored("ExplBarHide"), "1");
}

}  // namespace
