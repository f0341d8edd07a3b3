// The settings dialog used on screen: a person's clicks on the drawn check
// box and up-down arrow, then OK, reach the registry.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTest>
#include <QToolButton>

#include "attachments/frm_export.h"
#include "outlook/addin_fixture.h"
#include "platform/qt/screen_ui.h"
#include "windows/frm_about.h"
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

// The captions of `window` that a person would not see whole: text wider or
// taller than the room its widget leaves for it in the font it is drawn with.
std::vector<std::string> CutCaptions(QWidget& window) {
  std::vector<std::string> cut;
  const auto check = [&](QWidget* w, const QString& text, QRect room, QSize need) {
    if (need.width() <= room.width() && need.height() <= room.height()) return;
    cut.push_back(w->objectName().toStdString() + " \"" + text.toStdString() + "\" needs " +
                  std::to_string(need.width()) + "x" + std::to_string(need.height()) + ", has " +
                  std::to_string(room.width()) + "x" + std::to_string(room.height()));
  };
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (!w->isVisibleTo(&window)) continue;
    const QFontMetrics metrics(w->font());
    QStyle* style = w->style();
    if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && !label->text().isEmpty()) {
      const QRect room = label->contentsRect();
      const int across = label->wordWrap() ? room.width() : QWIDGETSIZE_MAX;
      check(w, label->text(), room,
            metrics.boundingRect(0, 0, across, QWIDGETSIZE_MAX, Qt::TextWordWrap, label->text()).size());
    } else if (auto* button = qobject_cast<QAbstractButton*>(w); button != nullptr && !button->text().isEmpty()) {
      QStyleOptionButton option;
      option.initFrom(button);
      option.text = button->text();
      const QStyle::SubElement contents = qobject_cast<QCheckBox*>(w)      ? QStyle::SE_CheckBoxContents
                                          : qobject_cast<QRadioButton*>(w) ? QStyle::SE_RadioButtonContents
                                                                           : QStyle::SE_PushButtonContents;
      check(w, button->text(), style->subElementRect(contents, &option, button),
            metrics.size(Qt::TextShowMnemonic, button->text()));
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
      QStyleOptionComboBox option;
      option.initFrom(combo);
      const QRect room = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
      for (int i = 0; i < combo->count(); ++i) check(w, combo->itemText(i), room, metrics.size(0, combo->itemText(i)));
    }
  }
  return cut;
}

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

TEST_F(SettingsOnScreen, EveryCaptionOfTheSettingsAboutAndExportDialogsShowsWhole) {
  ClickToolbar("&Settings...");
  auto settings = forms::Default<lumivane::frmSettings>();
  ASSERT_NE(views.WindowOf(*settings), nullptr);
  EXPECT_EQ(CutCaptions(*views.WindowOf(*settings)), std::vector<std::string>{});

  std::vector<std::string> about = {"not shown"};
  ui->DriveOnce<lumivane::frmAbout>("frmAbout", [&](lumivane::frmAbout& a) {
    about = CutCaptions(*views.WindowOf(a));
    forms::user::Click(*a.cmdOK);
  });
  forms::user::Click(*settings->cmdAbout);
  EXPECT_EQ(about, std::vector<std::string>{});
  forms::user::Click(*settings->cmdCancel);

  explorer->Select({Message("Holiday", {{.fileName = "beach.jpg"}})});
  std::vector<std::string> exported = {"not shown"};
  ui->DriveOnce<lumivane::frmExport>("frmExport", [&](lumivane::frmExport& e) {
    exported = CutCaptions(*views.WindowOf(e));
    forms::user::Click(*e.cmdCancel);
  });
  Click(kExport);
  EXPECT_EQ(exported, std::vector<std::string>{});
}

// The folder boxes of the settings and export dialogs: Ctrl keys edit the
// path and never type their letter.
TEST_F(SettingsOnScreen, CtrlKeysInTheFolderBoxesEditThePath) {
  const auto edit = [](QLineEdit* line) {
    line->setFocus();
    QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(line, "/tmp/shots");
    QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(line, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(line, Qt::Key_End);
    QTest::keyClick(line, Qt::Key_V, Qt::ControlModifier);  // "/tmp/shots/tmp/shots"
    QTest::keyClick(line, Qt::Key_Z, Qt::ControlModifier);
    for (int i = 0; i < 5; ++i) QTest::keyClick(line, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(line, Qt::Key_X, Qt::ControlModifier);  // "/tmp/"
  };
  ClickToolbar("&Settings...");
  auto settings = forms::Default<lumivane::frmSettings>();
  auto* line = views.WindowOf(*settings)->findChild<QLineEdit*>("txtSavePath");
  ASSERT_NE(line, nullptr);
  edit(line);
  EXPECT_EQ(settings->txtSavePath->Text(), "/tmp/");
  EXPECT_EQ(line->text(), "/tmp/");
  EXPECT_EQ(QApplication::clipboard()->text(), "shots");
  EXPECT_TRUE(settings->cmdApply->Enabled());
  forms::user::Click(*settings->cmdCancel);

  explorer->Select({Message("Holiday", {{.fileName = "beach.jpg"}})});
  std::string exported = "not shown";
  ui->DriveOnce<lumivane::frmExport>("frmExport", [&](lumivane::frmExport& e) {
    edit(views.WindowOf(e)->findChild<QLineEdit*>("txtSavePath"));
    exported = e.txtSavePath->Text();
    forms::user::Click(*e.cmdCancel);
  });
  Click(kExport);
  EXPECT_EQ(exported, "/tmp/");
}

}  // namespace
