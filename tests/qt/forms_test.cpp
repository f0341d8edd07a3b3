// Forms drawn with Qt: a person's clicks, keys and window actions reach the
// model through the same paths as scripts, and the drawing follows the model.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "attachments/frm_save_attachments.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/screen.h"
#include "platform/qt/screen_ui.h"
#include "platform/shell/browse_folder.h"
#include "platform/shell/shell.h"
#include "support/temp_dir.h"
#include "runtime/error.h"

namespace {

namespace forms = platform::forms;
namespace pq = platform::qt;

class frmProbe : public forms::Form {
 public:
  frmProbe() : Form("frmProbe") {}
  forms::FormControl<forms::CommandButton> cmdOK{this, "cmdOK"};
  forms::FormControl<forms::CommandButton> cmdClose{this, "cmdClose"};
  forms::FormControl<forms::TextBox> txtName{this, "txtName"};
  forms::FormControl<forms::CheckBox> chkKeep{this, "chkKeep"};
  forms::FormControl<forms::Label> lblInfo{this, "lblInfo"};
  int clicks = 0;
  int resizes = 0;
  int queryUnloads = 0;
  std::string keys;
  int changes = 0;

 protected:
  void Design() override {
    Caption("Probe");
    Width(4800);
    Height(3600);
    cmdOK->Move(120, 120, 1200, 375);
    cmdOK->Caption("&OK");
    cmdOK->Default(true);
    cmdClose->Move(1440, 120, 1200, 375);
    cmdClose->Caption("Close");
    txtName->Move(120, 600, 3000, 315);
    chkKeep->Move(120, 1000, 3000, 300);
    chkKeep->Caption("&Keep");
    lblInfo->Move(120, 1400, 3000, 300);
    lblInfo->Caption("Info");
    cmdOK->Click = [this] { ++clicks; };
    cmdClose->Click = [this] { forms::Unload(*this); };
    txtName->KeyPress = [this](int& k) {
      if (k == '!') k = 0;  // discarded
      keys += static_cast<char>(k);
    };
    txtName->Change = [this] { ++changes; };
  }
  void Form_Resize() override { ++resizes; }
  void Form_QueryUnload(int& Cancel, int mode) override { queryUnloads += mode == forms::vbFormControlMenu; }
};

class FormsOnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    scripted_ = std::make_shared<forms::ScriptedUserInterface>();
    forms::SetUserInterface(std::make_shared<pq::DrawnUserInterface>(scripted_, views_));
    boxes_ = std::make_shared<forms::ScriptedMessageBoxes>();
    forms::SetMessageBoxResponder(boxes_);
    forms::Screen().Reset();
  }
  void TearDown() override {
    pq::SetActionFailureReporter(nullptr);
    forms::DiscardAllForms();
    forms::SetUserInterface(nullptr);
    forms::SetMessageBoxResponder(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  template <class W>
  W* Find(const forms::Form& form, const char* name) {
    pq::FormWindow* window = views_.WindowOf(form);
    return window == nullptr ? nullptr : window->findChild<W*>(name);
  }

  pq::FormViews views_;
  std::shared_ptr<forms::ScriptedUserInterface> scripted_;
  std::shared_ptr<forms::ScriptedMessageBoxes> boxes_;
};

TEST_F(FormsOnScreen, ClickReachesTheModelAndIsRefusedWhenDisabledOrBelowAModalForm) {
  auto probe = std::make_shared<frmProbe>();
  probe->Show();
  auto* ok = Find<QPushButton>(*probe, "cmdOK");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), "&OK");
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(probe->clicks, 1);

  probe->cmdOK->Enabled(false);  // the drawing follows at once
  EXPECT_FALSE(ok->isEnabled());
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(probe->clicks, 1);
  probe->cmdOK->Enabled(true);

  // While another form is shown modally, the probe does not answer.
  auto modal = std::make_shared<frmProbe>();
  scripted_->DriveOnce("frmProbe", [&](forms::Form& shown) {
    QTest::mouseClick(ok, Qt::LeftButton);
    views_.WindowOf(*probe)->close();  // the window manager's close is refused too
    EXPECT_TRUE(probe->IsLoaded());
    QTest::mouseClick(Find<QPushButton>(shown, "cmdClose"), Qt::LeftButton);
  });
  modal->Show(forms::vbModal);
  EXPECT_EQ(probe->clicks, 1);
  EXPECT_FALSE(modal->IsLoaded());
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(probe->clicks, 2);
}

TEST_F(FormsOnScreen, AFailingClickIsReportedARefusedOneIsNot) {
  std::vector<std::pair<long, std::string>> reported;
  pq::SetActionFailureReporter([&](const runtime::Error& e) { reported.emplace_back(e.Number(), e.Description()); });
  auto probe = std::make_shared<frmProbe>();
  probe->Show();
  probe->cmdOK->Click = [] { runtime::Raise(53, "File not found"); };
  QTest::mouseClick(Find<QPushButton>(*probe, "cmdOK"), Qt::LeftButton);
  const std::vector<std::pair<long, std::string>> failed{{53, "File not found"}};
  EXPECT_EQ(reported, failed);

  // Below a modal form the click is refused: nothing ran, nothing to report.
  scripted_->DriveOnce("frmProbe", [&](forms::Form& shown) {
    QTest::mouseClick(Find<QPushButton>(*probe, "cmdOK"), Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>(shown, "cmdClose"), Qt::LeftButton);
  });
  std::make_shared<frmProbe>()->Show(forms::vbModal);
  EXPECT_EQ(reported, failed);
}

TEST_F(FormsOnScreen, TypingRaisesKeyPressAndChangeAndEnterClicksTheDefaultButton) {
  auto probe = std::make_shared<frmProbe>();
  probe->Show();
  auto* line = Find<QLineEdit>(*probe, "txtName");
  ASSERT_NE(line, nullptr);
  line->setFocus();
  QTest::keyClicks(line, "ab!c");
  EXPECT_EQ(probe->txtName->Text(), "abc");
  EXPECT_EQ(line->text(), "abc");
  EXPECT_EQ(probe->keys, std::string("ab") + '\0' + "c");
  EXPECT_EQ(probe->changes, 3);
  QTest::keyClick(line, Qt::Key_Backspace);
  EXPECT_EQ(probe->txtName->Text(), "ab");
  QTest::keyClick(line, Qt::Key_Return);
  EXPECT_EQ(probe->clicks, 1);

  // A check box toggles only through the model.
  auto* keep = Find<QCheckBox>(*probe, "chkKeep");
  QTest::mouseClick(keep, Qt::LeftButton);
  EXPECT_EQ(probe->chkKeep->Value(), forms::vbChecked);
  EXPECT_TRUE(keep->isChecked());
  probe->lblInfo->Caption("Changed");
  EXPECT_EQ(Find<QLabel>(*probe, "lblInfo")->text(), "Changed");
}

TEST_F(FormsOnScreen, AFormThatUnloadsItselfInItsOwnClickAndWindowActions) {
  auto probe = std::make_shared<frmProbe>();
  probe->Show();
  QTest::mouseClick(Find<QPushButton>(*probe, "cmdClose"), Qt::LeftButton);
  EXPECT_FALSE(probe->IsLoaded());
  EXPECT_EQ(views_.WindowOf(*probe), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  // A person's resize writes the size back and raises Resize once; the
  // title-bar close asks QueryUnload.
  probe->Show();
  pq::FormWindow* window = views_.WindowOf(*probe);
  const int before = probe->resizes;
  window->resize(400, 300);
  EXPECT_EQ(probe->resizes, before + 1);
  EXPECT_EQ(probe->ScaleWidth(), 400 * forms::Screen().TwipsPerPixelX());
  window->close();
  EXPECT_EQ(probe->queryUnloads, 1);
  EXPECT_FALSE(probe->IsLoaded());
}

TEST_F(FormsOnScreen, MessageBoxShowsTheCallersTextsAndReturnsTheAnswer) {
  struct Row {
    long style;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton press;
    long answer;
  };
  const Row rows[] = {
      {forms::vbYesNo | forms::vbQuestion, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
       forms::vbNo},
      {forms::vbOKOnly | forms::vbExclamation, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok, forms::vbOK},
      {forms::vbOKCancel | forms::vbInformation | forms::vbDefaultButton2, QMessageBox::Information,
       QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, forms::vbCancel},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.style);
    forms::MessageBoxRecord record{"First line\r\nSecond line", row.style, "Title", 0};
    auto box = pq::MakeMessageBox(record, nullptr);
    EXPECT_EQ(box->windowTitle(), "Title");
    EXPECT_EQ(box->text(), "First line\nSecond line");
    EXPECT_EQ(box->icon(), row.icon);
    EXPECT_EQ(box->standardButtons(), row.buttons);
    QTimer::singleShot(0, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      auto* shown = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(shown, nullptr);
      shown->button(row.press)->click();
    });
    EXPECT_EQ(pq::ScreenMessageBoxes().Answer(record), row.answer);
  }
}

// The folder dialog opened in the home folder; it opens at the Desktop
// folder, as the shell's dialog opens at the desktop.
TEST_F(FormsOnScreen, RegressionTheFolderDialogOpensAtTheDesktopFolder) {
  testsupport::TempDir profile;
  const std::string desktop = profile.MakeDir("Desktop");
  platform::shell::Reset();
  platform::shell::Current().folders.Define(platform::shell::CSIDL_DESKTOP, desktop);
  forms::SetUserInterface(std::make_shared<pq::PersonUserInterface>(views_));
  QString opened;
  QTimer::singleShot(0, [&] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      opened = dialog->directory().absolutePath();
      dialog->reject();
    }
  });
  EXPECT_EQ(platform::shell::SHBrowseForFolder({}), nullptr);  // cancelled
  EXPECT_EQ(opened.toStdString(), desktop);
  platform::shell::Reset();
}

TEST_F(FormsOnScreen, SnapshotOfTheNameConflictDialog) {
  auto dialog = std::make_shared<lumivane::frmSaveAttachments>();
  const auto file = std::filesystem::temp_directory_path() / "lumivane-qt-test" / "name-conflict.png";
  scripted_->DriveOnce("frmSaveAttachments", [&](forms::Form& shown) {
    EXPECT_EQ(pq::SaveSnapshot(*views_.WindowOf(shown), file.string()), "");
    forms::user::Close(shown);
  });
  try {
    dialog->Show(forms::vbModal);
  } catch (const runtime::Error&) {
  }
  const QImage picture(QString::fromStdString(file.string()));
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.width(), 528);
  EXPECT_EQ(picture.height(), 222);
  // Not blank: the text and buttons make many dark pixels.
  int dark = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) dark += qGray(picture.pixel(x, y)) < 100 ? 1 : 0;
  EXPECT_GT(dark, 1000);
  std::filesystem::remove_all(file.parent_path());
}

}  // namespace
