// The preview window's command bar used on screen: the drawn "&Views" arrow
// and one of its entries switch the folder view and move the check mark,
// the drawn viewer combo chooses the viewer, and the "Money" style is what
// a snapshot shows.
#include <algorithm>

#include <QComboBox>
#include <QLayout>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include "pictures/image_viewers.h"
#include "platform/qt/screen_ui.h"
#include "settings/reg_settings.h"
#include "windows/preview_fixture.h"

namespace {

namespace pq = platform::qt;
namespace forms = platform::forms;
namespace controls = platform::controls;
using windows_test::Plain;

class CommandBarOnScreen : public windows_test::PreviewTest {
 protected:
  void SetUp() override {
    PreviewTest::SetUp();
    forms::SetUserInterface(std::make_shared<pq::DrawnUserInterface>(ui, views));
    lumivane::g_objImageViewers->Add("Eye")->EXEPath("/usr/bin/eye");
  }
  void TearDown() override {
    PreviewTest::TearDown();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  pq::FormViews views;
};

TEST_F(CommandBarOnScreen, TheViewsMenuAndTheViewerComboWorkOnTheDrawnMoneyBar) {
  lumivane::g_objSettings->ToolbarStyle(2);
  auto f = Open("On screen", {{"a.jpg", Plain()}, {"b.jpg", Plain()}});
  pq::FormWindow* window = views.WindowOf(*f);
  ASSERT_NE(window, nullptr);
  QWidget* bar = window->findChild<QWidget*>("cmdBar(0)");
  ASSERT_NE(bar, nullptr);
  QWidget* thumbnails = window->findChild<QWidget*>("wbThumbnails");
  ASSERT_NE(thumbnails, nullptr);
  const QImage before = thumbnails->grab().toImage();

  // The caption opens the menu as the arrow does.
  auto* views = bar->findChild<QToolButton*>("VIEWOPTION");
  ASSERT_NE(views, nullptr);
  QTest::mouseClick(views, Qt::LeftButton);
  auto* menu = bar->findChild<QMenu*>("VIEWMENU");
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());
  menu->hide();
  auto* arrow = bar->findChild<QToolButton*>("VIEWOPTION.arrow");
  ASSERT_NE(arrow, nullptr);
  QTest::mouseClick(arrow, Qt::LeftButton);
  ASSERT_TRUE(menu->isVisible());
  QAction* details = menu->findChild<QAction*>("Details");
  ASSERT_NE(details, nullptr);
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(details).center());
  EXPECT_EQ(f->wbThumbnails->Document()->CurrentViewMode(), controls::fvmDetails);
  EXPECT_TRUE(details->isChecked());
  EXPECT_FALSE(menu->findChild<QAction*>("Filmstrip")->isChecked());
  EXPECT_NE(thumbnails->grab().toImage(), before);

  // The combo sits in its panel of the bar; a person's choice picks the viewer.
  auto* combo = bar->findChild<QComboBox*>("cboImageViewers");
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->currentText().toStdString(), "Windows Picture and Fax Viewer");
  combo->setFocus();
  const int eye = combo->findText("Eye");
  ASSERT_GE(eye, 0);
  while (combo->currentIndex() < eye) QTest::keyClick(combo, Qt::Key_Down);
  EXPECT_EQ(f->SelectedViewer()->ViewerName(), "Eye");

  // At its least size the bar's panels yield: nothing lies over "Views".
  f->Width(0);
  bar->layout()->activate();
  QWidget* viewers = bar->findChild<QWidget*>("VIEWERS");
  ASSERT_NE(viewers, nullptr);
  EXPECT_LE(viewers->geometry().right(), views->geometry().left());
  EXPECT_LE(bar->findChild<QWidget*>("HELP")->geometry().right(), bar->width());

  const std::string snapshot = tmp / "preview-money.png";
  EXPECT_EQ(pq::SaveSnapshot(*window, snapshot), "");
  EXPECT_FALSE(QImage(QString::fromStdString(snapshot)).isNull());
}

// The "Open with:" label stands out from the bar in every style, also after
// the bar was redrawn for a button's new caption.
TEST_F(CommandBarOnScreen, TheOpenWithLabelIsLegibleInEveryStyle) {
  for (long style = 0; style <= 3; ++style) {
    SCOPED_TRACE(style);
    lumivane::g_objSettings->ToolbarStyle(style);
    auto f = Open("Styles", {{"a.jpg", Plain()}});
    pq::FormWindow* window = views.WindowOf(*f);
    ASSERT_NE(window, nullptr);
    forms::user::ClickCommandBarButton(f->cmdBar(0), "TASKPANE");
    QWidget* label = window->findChild<QWidget*>("lblOpenWith");
    ASSERT_NE(label, nullptr);
    const QImage all = window->grab().toImage();
    const QImage text = all.copy(QRect(label->mapTo(window, QPoint(0, 0)), label->size()));
    // The bar shows at the label's corner; the text is what differs most.
    const int ground = qGray(text.pixel(0, 0));
    int contrast = 0;
    for (int y = 0; y < text.height(); ++y)
      for (int x = 0; x < text.width(); ++x) contrast = std::max(contrast, std::abs(qGray(text.pixel(x, y)) - ground));
    EXPECT_GT(contrast, 120);
  }
}

}  // namespace
