// The folder picker, deleting every attachment of an item, and the refusal
// for an item without pictures.

#include "attachments/attachments_fixture.h"
#include "attachments/browse_for_folder.h"

namespace attachments_test {
namespace {

class BrowseTest : public AttachmentsTest {};

TEST_F(BrowseTest, BothDialogsAnswerThePathOrNothing) {
  ui->AnswerFolder(target);
  ui->CancelFolder();
  ui->AnswerVirtualItem("Control Panel");
  ui->AnswerFolder(target);
  ui->AnswerFolder(appData);
  ui->AnswerVirtualItem("Control Panel");
  ui->CancelFolder();
  BrowseForFolder picker;
  EXPECT_EQ(picker.BrowseFolders(77, "Choose"), target);
  EXPECT_EQ(picker.BrowseFolders(77, "Choose"), "");
  EXPECT_EQ(picker.BrowseFolders(77, "Choose"), "");  // file-system folders only
  EXPECT_EQ(picker.BrowseFolders(0, "@@@"), target);
  EXPECT_EQ(picker.BrowseFolders2(0, "Save attachments to..."), appData);
  EXPECT_EQ(picker.BrowseFolders2(0, "Save attachments to..."), "");
  EXPECT_EQ(picker.BrowseFolders2(0), "");

  const auto& asked = ui->FolderRequests();
  ASSERT_EQ(asked.size(), 7u);
  EXPECT_EQ(asked[0].owner, 77);
  EXPECT_EQ(asked[0].title, std::optional<std::string>("Choose"));
  EXPECT_EQ(asked[0].flags, shell::BIF_RETURNONLYFSDIRS);
  EXPECT_EQ(asked[3].title, std::nullopt);  // "@@@": no title
  EXPECT_EQ(asked[4].flags, shell::BIF_NEWDIALOGSTYLE);
  EXPECT_EQ(asked[4].root, "");  // the desktop
  EXPECT_EQ(asked[4].title, std::optional<std::string>("Save attachments to..."));
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(BrowseTest, AFailingDialogShowsTheClassErrorBox) {
  ui->FailFolder(5, "Invalid procedure call or argument");
  EXPECT_EQ(BrowseForFolder().BrowseFolders2(0, "Save attachments to..."), "");
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].prompt,
            "Error 5 (Invalid procedure call or argument) in procedure BrowseFolders2 of Class Module BrowseForFolder");
}

class DeleteTest : public AttachmentsTest {};

TEST_F(DeleteTest, AllGoAfterYesAndTheItemIsSavedOnce) {
  auto item = Message({Att("a.jpg"), Att("b.pdf"), Att("c.png")});
  mail.Context()->ClearCalls();
  boxes->Queue(forms::vbYes);
  DeleteAllAttachments(item);
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].title, "Delete All Attachments?");
  EXPECT_EQ(boxes->Log()[0].prompt,
            "Are you sure you want to permanently delete all of the attachments in the current message?");
  EXPECT_EQ(boxes->Log()[0].style, forms::vbQuestion | forms::vbYesNo);
  EXPECT_EQ(item->Attachments()->Count(), 0);
  EXPECT_EQ(item->SaveCount(), 1);
  std::vector<std::string> removed;
  for (const auto& call : mail.Context()->Calls())
    if (call.member == "Remove") removed.push_back(call.detail);
  EXPECT_EQ(removed, (std::vector<std::string>{"c.png", "b.pdf", "a.jpg"}));  // last to first
}

TEST_F(DeleteTest, NoLeavesTheItemAloneAndAnItemWithoutAttachmentsIsRefused) {
  auto item = Message({Att("a.jpg")});
  boxes->Queue(forms::vbNo);
  DeleteAllAttachments(item);
  EXPECT_EQ(item->Attachments()->Count(), 1);
  EXPECT_EQ(item->SaveCount(), 0);

  boxes->ClearLog();
  auto empty = Message({});
  DeleteAllAttachments(empty);
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].title, "No Attachments");
  EXPECT_EQ(boxes->Log()[0].prompt, "The current message does not have any attachments.");
  EXPECT_EQ(boxes->Log()[0].style, forms::vbExclamation);
  EXPECT_EQ(empty->SaveCount(), 0);
}

TEST_F(DeleteTest, TheNoPicturesMessageFollowsTheInlineSetting) {
  g_objSettings->CaptureInlineHTMLImages(1);
  ShowNoPictureAttachmentsMessage();
  g_objSettings->CaptureInlineHTMLImages(0);
  ShowNoPictureAttachmentsMessage();
  ASSERT_EQ(boxes->Log().size(), 2u);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"No Picture Attachments", "No Picture Attachments"}));
  EXPECT_EQ(boxes->Log()[0].prompt, "The current message does not have any attachments that are image files.");
  EXPECT_EQ(boxes->Log()[1].prompt,
            "The current message does not have any attachments that are image files.\r\n\r\nNOTE: Inline HTML images "
            "are not currently processed as attachments.  If you would like to have these images processed, you can "
            "enable this option in Settings.");
  EXPECT_EQ(boxes->Log()[1].style, forms::vbExclamation);
}

}  // namespace
}  // namespace attachments_test
