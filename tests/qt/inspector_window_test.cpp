// Message windows on screen, offscreen, with the add-in loaded: a received
// message opened from the drawn main window with its toolbar working, and a
// new message composed, given a file and sent through the drawn window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "host/mail/mail_support.h"
#include "host/mail/store.h"
#include "host/mail_link.h"
#include "host/qt/client_windows.h"
#include "host/qt/command_bar_views.h"
#include "host/qt/explorer_window.h"
#include "host/qt/inspector_window.h"
#include "outlook/addin_fixture.h"
#include "windows/frm_main.h"

namespace {

using namespace outlook_test;
using host::qt::InspectorWindow;

class InspectorWindowTest : public CommandsTest {
 protected:
  void SetUp() override {
    CommandsTest::SetUp();
    windows = std::make_unique<host::qt::ClientWindows>(*host, nullptr);
    main = windows->ExplorerWindowOf(explorer);
    ASSERT_NE(main, nullptr);
  }
  void TearDown() override {
    InspectorWindow::ChooseFilesWith(nullptr);
    windows.reset();
    CommandsTest::TearDown();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  static QStringList Texts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
  }
  // The drawn button of a host control of the window's "Standard" bar.
  static QToolButton* Drawn(InspectorWindow* window, long id) {
    auto control = window->inspector()->Bars()->Item("Standard")->FindControl({.Id = id});
    return qobject_cast<QToolButton*>(window->bars().ButtonOf(control));
  }

  std::unique_ptr<host::qt::ClientWindows> windows;
  host::qt::ExplorerWindow* main = nullptr;
};

TEST_F(InspectorWindowTest, ADoubleClickedMessageShowsItsItemAndItsToolbarRunsTheAddIn) {
  Message("Other", {});
  auto photo = Message("Photo", {Att("beach.jpg", "beach"), Att("notes.txt", "notes")});
  main->FollowExplorer();
  auto* list = main->messageList();
  // A person's double-click: a click, then the second press.
  const QPoint row = list->visualRect(list->model()->index(1, 0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);

  auto inspector = App()->ActiveInspector();
  ASSERT_NE(inspector, nullptr);
  EXPECT_EQ(inspector->CurrentItem(), photo);
  InspectorWindow* window = windows->ActiveInspectorWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->composing());
  EXPECT_EQ(window->windowTitle(), "Photo - Message");
  EXPECT_EQ(window->findChild<QLabel*>("subject")->text(), "Photo");
  EXPECT_EQ(Texts(window->attachmentList()), QStringList({"beach.jpg", "notes.txt"}));
  QToolBar* lumivane = window->bars().ToolBarOf(inspector->Bars()->Item("Lumivane"));
  ASSERT_NE(lumivane, nullptr);
  EXPECT_TRUE(lumivane->isVisibleTo(window));
  ASSERT_NE(Drawn(window, 354), nullptr) << "Reply";
  EXPECT_FALSE(Drawn(window, 354)->isEnabled()) << "the stand-in does not reply: greyed";
  EXPECT_EQ(Drawn(window, host::kIdSend), nullptr) << "a received message is not sent";

  // The popup's entry, as drawn, saves this message's pictures.
  auto bar = inspector->Bars()->Item("Lumivane");
  auto popup = host::As<host::CommandBarPopup>(bar->Controls()->Item("Attachments &Manager"));
  QAction* entry = window->bars().ActionOf(
      popup->CommandBar()->Controls()->Item("Quick-save Only &Picture Attachments to Default Directory"));
  ASSERT_NE(entry, nullptr);
  boxes->Queue(forms::vbYes);
  entry->trigger();
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_NE(Boxes()[0].prompt.find("in the current message to the '" + pictures + "'"), std::string::npos);
  EXPECT_EQ(Read(pictures + "/beach.jpg"), "beach");

  // A person's close from the title bar is the host's.
  window->close();
  EXPECT_TRUE(inspector->Closed());
  EXPECT_EQ(windows->ActiveInspectorWindow(), nullptr);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(InspectorWindowTest, NewComposesAttachesAndSendsThroughTheDrawnWindow) {
  const std::string picture = tmp.MakeDir("files") + "/lake.jpg";
  { std::ofstream(picture, std::ios::binary) << "lake"; }
  InspectorWindow::ChooseFilesWith([&](QWidget*) { return QStringList{QString::fromStdString(picture)}; });

  windows->Sync();
  auto newButton = explorer->Bars()->Item("Standard")->FindControl({.Id = host::kIdNew});
  auto* drawnNew = qobject_cast<QToolButton*>(main->bars().ButtonOf(newButton));
  ASSERT_NE(drawnNew, nullptr);
  QTest::mouseClick(drawnNew, Qt::LeftButton);

  auto inspector = App()->ActiveInspector();
  ASSERT_NE(inspector, nullptr);
  auto item = inspector->CurrentItem();
  InspectorWindow* window = windows->ActiveInspectorWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->composing());
  QTest::keyClicks(window->toField(), "mum@example.org");
  QTest::keyClicks(window->subjectField(), "The lake");
  QTest::keyClicks(window->bodyField(), "Here it is.");
  EXPECT_EQ(item->ToText(), "mum@example.org");
  EXPECT_EQ(item->SubjectText(), "The lake");
  EXPECT_EQ(item->BodyText(), "Here it is.");
  EXPECT_EQ(window->windowTitle(), "The lake - New Message");

  // Where the person put the window is the Inspector's; with previews on,
  // the picture attached moves the open window to the upper half of the
  // work area, above its preview.
  // Its place and size are the outer frame's (the classic one offscreen).
  window->setGeometry(204, 173, 500, 400);
  EXPECT_EQ(inspector->Left(), 200);
  EXPECT_EQ(inspector->Top(), 150);
  EXPECT_EQ(inspector->Height(), 427);
  lumivane::g_objSettings->EnableAttPreviews(1);
  QTest::mouseClick(window->attachButton(), Qt::LeftButton);
  EXPECT_EQ(Texts(window->attachmentList()), QStringList({"lake.jpg"}));
  ASSERT_EQ(item->Attachments()->Count(), 1);
  EXPECT_EQ(item->Attachments()->Item(1)->FileName(), "lake.jpg");
  EXPECT_EQ(window->geometry(), QRect(4, 23, 1016, 342));
  auto preview = forms::Default<lumivane::frmMain>();
  EXPECT_TRUE(forms::FormAccess::IsVisible(*preview));
  EXPECT_EQ(preview->FormMode(), lumivane::HorizontalWizard);

  windows->Sync();
  QToolButton* send = Drawn(window, host::kIdSend);
  ASSERT_NE(send, nullptr);
  EXPECT_TRUE(send->isEnabled());
  QTest::mouseClick(send, Qt::LeftButton);
  EXPECT_TRUE(inspector->Closed());
  EXPECT_TRUE(item->SentFlag());
  EXPECT_EQ(windows->ActiveInspectorWindow(), nullptr);
  EXPECT_TRUE(host->EscapedErrors().empty());
}

// Parts nested beyond the reader's limit looked like a message without
// attachments: the window says that the message could not be read whole.
TEST(InspectorWindowOfAFile, AMessageNotReadWholeSaysSo) {
  mail_test::Scratch scratch;
  for (const char* name : {"1.a:2,S", "2.b:2,S"})
    mail_test::WriteBytes(
        scratch.root() / "Inbox" / "cur" / name,
        mail_test::ReadBytes(mail_test::Fixture(name[0] == '1' ? "malformed/nested-40.eml" : "basic.eml")));
  host::Host client;
  auto link = host::MailLink::Attach(*client.Store(), host::mail::Store::Open(scratch.root()));
  host::qt::ClientWindows windows(client, link);
  QStringList notes, attachments;
  for (const auto& item : link->FolderAt("Inbox")->ItemList()) {
    client.App()->OpenInspector(item);
    InspectorWindow* window = windows.ActiveInspectorWindow();
    auto* note = window->findChild<QLabel*>("problems");
    notes << (note ? note->text() : "");
    attachments << window->attachmentList()->item(0)->text();
  }
  EXPECT_EQ(attachments, QStringList({"(none)", "beach.jpg"}));
  EXPECT_EQ(notes, QStringList({"Could not be read whole: parts are nested more than 32 levels deep; the deeper ones "
                                "are not listed. It may hold more attachments than are shown.",
                                ""}));
}

}  // namespace
