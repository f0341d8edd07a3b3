// Attachment names come from whoever wrote the message. The mail client
// passes on only plain names, but the save procedures do not rely on it: a
// name that would leave the folder is refused, nothing is written, and the
// run goes on with the next attachment.

#include <filesystem>
#include <fstream>

#include "attachments/attachments_fixture.h"

namespace attachments_test {
namespace {

// An attachment that hands on its name as the message had it.
class RawAttachment : public LateAttachment {
 public:
  explicit RawAttachment(std::string name) : name_(std::move(name)) {}
  long Type() override { return host::olByValue; }
  std::string FileName() override { return name_; }
  void SaveAsFile(const std::string& path) override { std::ofstream(path, std::ios::binary) << "payload"; }

 private:
  std::string name_;
};

const std::vector<std::string> kHostile = {
    "../x.jpg", "/etc/x.jpg", "a/../../b.jpg", "..", ".", "", "..\\..\\x.jpg", "sub\\x.jpg", std::string("x\0.jpg", 6),
};

std::vector<std::string> Everything(const std::string& root) {
  std::vector<std::string> out;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root)) out.push_back(e.path().string());
  std::sort(out.begin(), out.end());
  return out;
}

class HostileNames : public AttachmentsTest {
 protected:
  std::vector<std::shared_ptr<LateAttachment>> Run() {
    std::vector<std::shared_ptr<LateAttachment>> list;
    for (const auto& name : kHostile) list.push_back(std::make_shared<RawAttachment>(name));
    list.push_back(std::make_shared<RawAttachment>("fine.jpg"));
    return list;
  }
};

TEST_F(HostileNames, SavingRefusesEachAndGoesOn) {
  tmp.Write("x.jpg", "outside");
  const auto before = Everything(tmp.path());
  std::string path = target;
  bool cancelled = false;
  std::int16_t count = -1;
  SaveAttachments(Run(), false, path, cancelled, count);
  EXPECT_EQ(count, 1);
  EXPECT_FALSE(cancelled);
  auto after = Everything(tmp.path());
  after.erase(std::remove(after.begin(), after.end(), target + "/fine.jpg"), after.end());
  EXPECT_EQ(after, before);
  EXPECT_EQ(Read(tmp.path() + "/x.jpg"), "outside");
  ASSERT_EQ(boxes->Log().size(), kHostile.size());
  for (std::size_t i = 0; i < kHostile.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(boxes->Log()[i].title, "Invalid File Name");
    EXPECT_EQ(boxes->Log()[i].prompt, "The file name '" + kHostile[i] + "' does not name a file inside the '" + target +
                                          "' folder.  The attachment was not saved.");
  }
}

TEST_F(HostileNames, TheTemporaryFolderRefusesThemToo) {
  const std::string temp = MakeTempFolder();
  const auto before = Everything(tmp.path());
  SavePicturesToTempFolder(Run());
  auto list = g_objOutAddIn->CachedFiles();
  ASSERT_EQ(list->Count(), 1);
  EXPECT_EQ(list->Item(1), "fine.jpg");
  auto after = Everything(tmp.path());
  after.erase(std::remove(after.begin(), after.end(), temp + "/fine.jpg"), after.end());
  EXPECT_EQ(after, before);
}

TEST_F(HostileNames, TypedNamesThatPassTheCharacterCheck) {
  tmp.Write("target/photo.jpg", "old");
  for (const char* typed : {"..", "."}) {
    SCOPED_TRACE(typed);
    boxes->ClearLog();
    ui->DriveOnce<frmSaveAttachments>("frmSaveAttachments", [typed](frmSaveAttachments& d) {
      forms::user::Paste(*d.txtRename, typed);
      forms::user::Click(*d.cmdUseRename);
    });
    std::string path = target;
    bool cancelled = false;
    std::int16_t count = -1;
    SaveAttachments(std::vector<std::shared_ptr<LateAttachment>>{std::make_shared<RawAttachment>("photo.jpg")}, false,
                    path, cancelled, count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Titles(), std::vector<std::string>{"Invalid File Name"});
    EXPECT_EQ(Listing(target), std::vector<std::string>{"photo.jpg"});
    EXPECT_EQ(Read(target + "/photo.jpg"), "old");
  }
}

}  // namespace
}  // namespace attachments_test
