#include "platform/shell/browse_folder.h"

#include <gtest/gtest.h>

#include "platform/forms/forms_fixture.h"
#include "platform/shell/shell.h"

namespace {

using namespace platform::shell;
using forms_test::Outcome;
using forms_test::Raised;

class BrowseFolder : public forms_test::FormsTest {
 protected:
  // The dialog and the conversion, as the picker class uses them.
  std::string Pick(long flags, std::optional<std::string> title) {
    BROWSEINFO bi;
    bi.hwndOwner = 0x1234;
    bi.lpszTitle = std::move(title);
    bi.ulFlags = flags;
    std::string path = "(untouched)";
    Pidl pidl = SHBrowseForFolder(bi);
    if (!SHGetPathFromIDList(pidl, path)) return "";
    return path;
  }
};

TEST_F(BrowseFolder, BothFlagSetsGiveThePickedFolderOrNothing) {
  ui->AnswerFolder("/home/me/Pictures");
  ui->CancelFolder();
  ui->AnswerVirtualItem("Control Panel");
  ui->AnswerVirtualItem("Control Panel");
  EXPECT_EQ(Pick(BIF_NEWDIALOGSTYLE, "Choose a folder"), "/home/me/Pictures");
  EXPECT_EQ(Pick(BIF_RETURNONLYFSDIRS, std::nullopt), "");
  EXPECT_EQ(Pick(BIF_RETURNONLYFSDIRS, "t"), "");  // a virtual item cannot be chosen there
  EXPECT_EQ(Pick(BIF_NEWDIALOGSTYLE, "t"), "");    // chosen, but it has no path
  ASSERT_EQ(ui->FolderRequests().size(), 4u);
  const auto& first = ui->FolderRequests()[0];
  EXPECT_EQ(first.owner, 0x1234);
  EXPECT_EQ(first.title, "Choose a folder");
  EXPECT_EQ(first.flags, BIF_NEWDIALOGSTYLE);
  EXPECT_EQ(first.root, "");
  EXPECT_FALSE(ui->FolderRequests()[1].title.has_value());
}

using BrowseFolderRegressions = BrowseFolder;

// Without a root the dialog opened in the home folder; it opens at the
// desktop, the user's Desktop folder, or at the root it is given.
TEST_F(BrowseFolderRegressions, TheDialogOpensAtTheDesktopFolder) {
  auto& folders = Current().folders;
  auto opensAt = [&](Pidl root) {
    ui->CancelFolder();
    BROWSEINFO bi;
    bi.pidlRoot = std::move(root);
    SHBrowseForFolder(bi);
    return ui->FolderRequests().back().start;
  };
  folders.Define(CSIDL_DESKTOP, "/home/me/Desktop");
  EXPECT_EQ(opensAt(nullptr), "/home/me/Desktop");
  EXPECT_EQ(
      opensAt(std::make_shared<ItemIdList>(ItemIdList{.path = "/data", .fileSystem = true, .displayName = "data"})),
      "/data");
  folders.MakeVirtual(CSIDL_DESKTOP);  // no folder behind the desktop: the dialog chooses
  EXPECT_EQ(opensAt(nullptr), "");
  EXPECT_EQ(ui->FolderRequests().front().root, "");
}

TEST_F(BrowseFolder, TheDisplayNameIsCutToItsBuffer) {
  ui->AnswerFolder("/data/A very long folder name");
  std::string name;
  BROWSEINFO bi;
  bi.pszDisplayName = &name;
  bi.displayNameBuffer = 7;
  ASSERT_NE(SHBrowseForFolder(bi), nullptr);
  EXPECT_EQ(name, "A very");  // the folder's own name
}

TEST_F(BrowseFolder, AnUnexpectedPickFailsTheTest) {
  EXPECT_EQ(Raised([] { SHBrowseForFolder(BROWSEINFO{}); }),
            (Outcome{51, "no answer queued for the folder picker \"\""}));
}

}  // namespace
