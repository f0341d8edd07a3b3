// The mail client's main window on screen, offscreen, with the add-in loaded:
// its toolbar drawn from the command bars, a person's clicks and selection
// going the ways a script's do, and windows following the host's Explorers.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include "host/mail/mail_support.h"
#include "host/mail/store.h"
#include "host/mail_link.h"
#include "host/qt/client_windows.h"
#include "host/qt/command_bar_views.h"
#include "host/qt/explorer_window.h"
#include "host/qt/inspector_window.h"
#include "host/qt/message_list.h"
#include "outlook/addin_fixture.h"

namespace {

using namespace outlook_test;

class ExplorerWindowTest : public CommandsTest {
 protected:
  void SetUp() override {
    CommandsTest::SetUp();
    posts = host->Store()->AddFolder("Posts", host::olPostItem);
    windows = std::make_unique<host::qt::ClientWindows>(*host, nullptr);
    window = windows->ExplorerWindowOf(explorer);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    windows.reset();
    CommandsTest::TearDown();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // The drawn toolbar button of a control of the add-in's toolbar, as drawn now.
  QToolButton* Drawn(const std::string& caption) {
    windows->Sync();
    return qobject_cast<QToolButton*>(window->bars().ButtonOf(Toolbar(explorer)->Controls()->Item(caption)));
  }
  QRect RowRect(int row) const {
    auto* list = window->messageList();
    return list->visualRect(list->model()->index(row, 0));
  }

  std::shared_ptr<host::Folder> posts;
  std::unique_ptr<host::qt::ClientWindows> windows;
  host::qt::ExplorerWindow* window = nullptr;
};

TEST_F(ExplorerWindowTest, TheAddInsToolbarIsDrawnWithItsFaces) {
  QToolBar* toolbar = window->bars().ToolBarOf(Toolbar(explorer));
  ASSERT_NE(toolbar, nullptr);
  EXPECT_TRUE(toolbar->isVisibleTo(window));
  QToolButton* button = Drawn("&Lumivane...");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), "&Lumivane...");
  EXPECT_EQ(button->toolTip(), "Launches wizard form.");
  EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);

  // Face 101 under mask 102: the mask's white border is transparent, the
  // frame, sky and hill show in their colours.
  const QImage face = button->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(qAlpha(face.pixel(0, 0)), 0);
  EXPECT_EQ(face.pixel(1, 1), 0xFF202020u);
  EXPECT_EQ(face.pixel(3, 3), 0xFF78B4F0u);
  EXPECT_EQ(face.pixel(3, 10), 0xFF28A040u);
  const QImage shot = button->grab().toImage().convertToFormat(QImage::Format_RGB32);
  int green = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) green += (shot.pixel(x, y) & 0xFFFFFFu) == 0x28A040u;
  EXPECT_GE(green, 20) << "the face is painted on the button";

  // The popup drops down its entries; the Tools menu holds the add-in's entry.
  QToolButton* popup = Drawn("Attachments &Manager");
  ASSERT_NE(popup, nullptr);
  auto* menu = popup->findChild<QMenu*>();
  ASSERT_NE(menu, nullptr);
  QStringList entries;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) entries << a->text();
  EXPECT_EQ(entries, QStringList({QString::fromStdString(kQuickPictures), QString::fromStdString(kQuickAll),
                                  QString::fromStdString(kSavePicturesTo), QString::fromStdString(kSaveAllTo),
                                  QString::fromStdString(kExport), QString::fromStdString(kDelete)}));
  QMenu* tools = nullptr;
  for (QAction* a : window->menuBar()->actions())
    if (a->text() == "&Tools") tools = a->menu();
  ASSERT_NE(tools, nullptr);
  QAction* entry = window->bars().ActionOf(MenuEntry(explorer));
  ASSERT_NE(entry, nullptr);
  EXPECT_TRUE(tools->actions().contains(entry));
  EXPECT_EQ(entry->text(), "&Lumivane Settings...");
}

TEST_F(ExplorerWindowTest, APersonsSelectionAndClickGoWhereAScriptsGo) {
  auto a = Message("A", {Att("a.jpg")});
  auto b = Message("B", {Att("b.jpg"), Att("notes.txt")});
  auto c = Message("C", {});
  window->FollowExplorer();  // the items were added behind the host's back
  auto* list = window->messageList();
  ASSERT_EQ(list->model()->rowCount(), 3);
  EXPECT_EQ(list->model()->index(1, host::qt::MessageListModel::kAttachments).data().toString(), "b.jpg, notes.txt");

  // Two messages chosen with the mouse are the Explorer's Selection ...
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowRect(0).center());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, RowRect(1).center());
  EXPECT_EQ(explorer->SelectedItems(), (std::vector<std::shared_ptr<host::Item>>{a, b}));
  // ... and the drawn button refuses them as `click` does.
  boxes->ClearLog();
  QToolButton* slideShow = Drawn("Start S&lide Show");
  ASSERT_NE(slideShow, nullptr);
  QTest::mouseClick(slideShow, Qt::LeftButton);
  EXPECT_EQ(Boxes(), (std::vector<Box>{{"Please select only one e-message.", forms::vbOKOnly, "Invalid Selection"}}));

  // A selection made by a script shows in the view.
  explorer->Select({c});
  const auto rows = list->selectionModel()->selectedRows();
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(rows.front().row(), 2);

  // Choosing a folder in the tree shows it, with nothing selected.
  const auto found = window->folderTree()->findItems("Posts", Qt::MatchExactly | Qt::MatchRecursive);
  ASSERT_EQ(found.size(), 1);
  window->folderTree()->setCurrentItem(found.front());
  EXPECT_EQ(explorer->CurrentFolder(), posts);
  EXPECT_TRUE(explorer->SelectedItems().empty());
  EXPECT_EQ(list->model()->rowCount(), 0);
}

TEST_F(ExplorerWindowTest, EnterOnAMessageRowOpensItAsFileOpenDoes) {
  auto a = Message("A", {Att("a.jpg")});
  Message("B", {});
  window->FollowExplorer();
  auto* list = window->messageList();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowRect(0).center());
  ASSERT_TRUE(App()->OpenInspectors().empty());
  QTest::keyClick(list, Qt::Key_Return);
  ASSERT_EQ(App()->OpenInspectors().size(), 1u);
  EXPECT_EQ(App()->OpenInspectors().front()->CurrentItem(), a);
}

TEST_F(ExplorerWindowTest, WhatTheAddInChangesShowsAtOnce) {
  ButtonOf(Toolbar(explorer), "&Lumivane...")->Caption("&Pictures");
  ButtonOf(Toolbar(explorer), "Start S&lide Show")->Visible(false);
  ASSERT_NE(windows->WindowOf(explorer), nullptr);  // what a snapshot grabs is up to date
  ASSERT_NE(Drawn("&Pictures"), nullptr);
  EXPECT_EQ(Drawn("&Pictures")->text(), "&Pictures");
  EXPECT_EQ(Drawn("Start S&lide Show"), nullptr);

  // Without asking: the next turn of the event loop draws it.
  ButtonOf(Toolbar(explorer), "&Pictures")->Caption("&Again");
  QCoreApplication::processEvents();
  auto again = Toolbar(explorer)->Controls()->Item("&Again");
  auto* drawn = qobject_cast<QToolButton*>(window->bars().ButtonOf(again));
  ASSERT_NE(drawn, nullptr);
  EXPECT_EQ(drawn->text(), "&Again");

  auto bar = Toolbar(explorer);
  bar->Delete();
  QCoreApplication::processEvents();
  EXPECT_EQ(window->bars().ToolBarOf(bar), nullptr);
  for (QToolBar* t : window->findChildren<QToolBar*>()) {
    if (t->isVisibleTo(window)) {
      EXPECT_NE(t->objectName(), "Lumivane");
    }
  }
}

TEST_F(ExplorerWindowTest, ASecondExplorerGetsItsOwnWindowAndClosingFollowsTheHost) {
  auto second = App()->OpenExplorer({.folder = posts});
  auto* other = windows->ExplorerWindowOf(second);
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other, window);
  EXPECT_TRUE(other->isVisible());
  EXPECT_NE(other->bars().ToolBarOf(Toolbar(second)), nullptr) << "the add-in's toolbar on the new window";
  EXPECT_EQ(other->folderTree()->currentItem()->text(0), "Posts");

  App()->ActivateExplorer(explorer);
  EXPECT_EQ(windows->ActiveWindow(), window);

  // A person closes the second window from its title bar: the host closes its Explorer.
  other->close();
  EXPECT_TRUE(second->Closed());
  EXPECT_EQ(App()->OpenExplorers(), std::vector<std::shared_ptr<host::Explorer>>{explorer});
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(windows->ExplorerWindowOf(second), nullptr);

  // File > Exit closes every window, a message window too, and the host exits.
  auto message = App()->OpenInspector(Message("Open", {}));
  QAction* exit = window->bars().ActionOf(explorer->Bars()->FindControl({.Id = host::kIdExit}));
  ASSERT_NE(exit, nullptr);
  exit->trigger();
  EXPECT_TRUE(message->Closed());
  EXPECT_TRUE(explorer->Closed());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(windows->ActiveWindow(), nullptr);
  EXPECT_FALSE(host->Running());
}

// Over real mail the list is ordered by date, oldest first, whatever the
// files are called; an item saved with an attachment less shows so at once
// in the list and in its open message window, without a folder switch; the
// subject column takes what a wider window gains.
TEST(ExplorerWindowOfAFile, ListsOldestFirstAndShowsASavedItemAtOnce) {
  mail_test::Scratch scratch;
  const std::string basic = mail_test::ReadBytes(mail_test::Fixture("basic.eml"));
  const auto dated = [&](const std::string& date) {
    std::string bytes = basic;
    const std::string old = "Mon, 4 May 2026 10:00:00 +0200";
    bytes.replace(bytes.find(old), old.size(), date);
    return bytes;
  };
  mail_test::WriteBytes(scratch.root() / "Inbox/cur/1.a:2,S", dated("Wed, 6 May 2026 10:00:00 +0200"));
  mail_test::WriteBytes(scratch.root() / "Inbox/cur/2.b:2,S", dated("Fri, 1 May 2026 10:00:00 +0200"));
  mail_test::WriteBytes(scratch.root() / "Inbox/cur/3.c:2,S", dated("Sun, 3 May 2026 10:00:00 +0200"));
  host::Host client;
  auto link = host::MailLink::Attach(*client.Store(), host::mail::Store::Open(scratch.root()));
  auto inbox = link->FolderAt("Inbox");
  client.App()->OpenExplorer({.folder = inbox});
  host::qt::ClientWindows windows(client, link);
  auto* window = windows.ExplorerWindowOf(client.App()->ActiveExplorer());
  ASSERT_NE(window, nullptr);
  auto& list = window->messages();
  const auto column = [&](int c) {
    QStringList texts;
    for (int row = 0; row < list.rowCount(); ++row) texts << list.index(row, c).data().toString();
    return texts;
  };
  std::vector<std::string> files;
  for (int row = 0; row < list.rowCount(); ++row) files.push_back(link->MessageOf(list.ItemAt(row))->UniqueName());
  EXPECT_EQ(files, std::vector<std::string>({"2.b", "3.c", "1.a"}));
  const QString before = column(host::qt::MessageListModel::kAttachments)[1];
  ASSERT_TRUE(before.startsWith("beach.jpg, "));

  auto item = list.ItemAt(1);
  client.App()->OpenInspector(item);
  auto* message = windows.ActiveInspectorWindow();
  ASSERT_NE(message, nullptr);
  const int shown = message->attachmentList()->count();
  item->Attachments()->Item(1)->Delete();
  item->Save();
  EXPECT_EQ(column(host::qt::MessageListModel::kAttachments)[1], before.mid(11));
  ASSERT_EQ(message->attachmentList()->count(), shown - 1);
  EXPECT_EQ(message->attachmentList()->item(0)->text(), "booking.pdf");

  QHeaderView* header = window->messageList()->horizontalHeader();
  window->resize(900, 500);
  QCoreApplication::processEvents();
  const int subject = header->sectionSize(host::qt::MessageListModel::kSubject);
  const int attachments = header->sectionSize(host::qt::MessageListModel::kAttachments);
  window->resize(1300, 500);
  QCoreApplication::processEvents();
  EXPECT_EQ(header->sectionSize(host::qt::MessageListModel::kSubject), subject + 400);
  EXPECT_EQ(header->sectionSize(host::qt::MessageListModel::kAttachments), attachments);
}

}  // namespace
