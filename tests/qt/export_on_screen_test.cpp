// The export dialog used on screen: option groups and check boxes clicked
// on the drawn dialog decide what the export does.
#include <QAbstractButton>
#include <QPalette>
#include <QRadioButton>
#include <QTest>
#include <filesystem>

#include "attachments/attachments_fixture.h"
#include "attachments/frm_export.h"
#include "platform/qt/screen_ui.h"
#include "settings/reg_settings.h"

namespace {

using namespace attachments_test;
namespace pq = platform::qt;
using lumivane::frmExport;

class ExportOnScreen : public AttachmentsTest {
 protected:
  void SetUp() override {
    AttachmentsTest::SetUp();
    forms::SetUserInterface(std::make_shared<pq::DrawnUserInterface>(ui, views));
    lumivane::g_objSettings->PictureDumpDirectory(target);
  }
  void TearDown() override {
    AttachmentsTest::TearDown();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  pq::FormViews views;
};

TEST_F(ExportOnScreen, OptionGroupsAndCheckBoxesClickedOnScreen) {
  auto explorer = mail.App()->OpenExplorer({.folder = inbox});
  auto beach = Message({Att("beach.jpg"), Att("notes.txt")}, "Beach");
  explorer->Select({beach});
  ui->DriveOnce<frmExport>("frmExport", [&](frmExport& f) {
    pq::FormWindow* window = views.WindowOf(f);
    ASSERT_NE(window, nullptr);
    const auto click = [&](const char* name) {
      auto* button = window->findChild<QAbstractButton*>(name);
      ASSERT_NE(button, nullptr) << name;
      QTest::mouseClick(button, Qt::LeftButton);
    };
    // One choice per group: a click in one group leaves the others alone.
    click("optEmailFolders");
    click("optAll");
    EXPECT_TRUE(window->findChild<QRadioButton*>("optEmailFolders")->isChecked());
    EXPECT_FALSE(window->findChild<QRadioButton*>("optOutputFolder")->isChecked());
    EXPECT_TRUE(window->findChild<QRadioButton*>("optSelectedMessages")->isChecked());
    // The separator's caption does not apply to sub-folders: it is drawn grey.
    const QPalette separator = window->findChild<QWidget*>("lblAppendSep")->palette();
    EXPECT_FALSE(f.lblAppendSep->Enabled());
    EXPECT_NE(separator.color(QPalette::Disabled, QPalette::WindowText),
              separator.color(QPalette::Active, QPalette::WindowText));
    click("chkIncludeReport");
    EXPECT_NE(f.chkIncludeReport->Value(), 0);
    click("cmdOK");
    click("cmdCancel");
  });
  lumivane::ShowExportForm(lumivane::lvwCallingMode::Explorer);
  // All file types into a folder named after the subject, and the report.
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(target) / "Beach" / "beach.jpg"));
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(target) / "Beach" / "notes.txt"));
  EXPECT_EQ(beach->Attachments()->Count(), 3);
}

}  // namespace
