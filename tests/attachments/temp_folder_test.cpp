// The temporary picture folder: finding or making it, its refusals, emptying
// it, writing a message's pictures into it and its naming rule.

#include <filesystem>

#include "attachments/attachments_fixture.h"
#include "platform/fso/resolve.h"

namespace attachments_test {
namespace {

constexpr const char* kTempSuffix = "/Quenstor/Lumivane/Temporary Picture Files";

class TempFolderTest : public AttachmentsTest {};

TEST_F(TempFolderTest, IsMadeLevelByLevelOrTakenAndEnablesTheAddIn) {
  GetTempFolder();
  const std::string want = appData + kTempSuffix;
  EXPECT_TRUE(std::filesystem::is_directory(want));
  EXPECT_EQ(g_objOutAddIn->TempFolderPath(), want);
  EXPECT_TRUE(g_objOutAddIn->Enabled());
  EXPECT_EQ(g_objTempFolder->Path(), want);
  EXPECT_EQ(fs->seam().CallsOf("CreateFolder"),
            (std::vector<std::string>{appData + "/Quenstor", appData + "/Quenstor/Lumivane", want}));
  EXPECT_TRUE(boxes->Log().empty());

  // The next start takes the folder as it is.
  g_objOutAddIn = std::make_shared<OutAddIn>();
  fs->seam().ClearCalls();
  GetTempFolder();
  EXPECT_TRUE(g_objOutAddIn->Enabled());
  EXPECT_TRUE(fs->seam().CallsOf("CreateFolder").empty());
}

TEST_F(TempFolderTest, ScriptingDisabledWhenTheFolderCannotBeHad) {
  const std::string path = appData + kTempSuffix;
  std::filesystem::create_directories(path);
  fs->seam().GiveNothing("GetFolder");
  GetTempFolder();
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].title, "Scripting Disabled");
  EXPECT_EQ(boxes->Log()[0].style, forms::vbExclamation);
  EXPECT_EQ(boxes->Log()[0].prompt,
            "Unable to retrieve the '" + path +
                "' folder.  If you are running an anti-virus utility (like Norton or McAfee), please disable any "
                "script blocking features or configure the application so that this add-in or Outlook is a "
                "trusted program.");
  EXPECT_FALSE(g_objOutAddIn->Enabled());
  EXPECT_EQ(g_objOutAddIn->TempFolderPath(), "");

  // A blocked scripting runtime gives no file-system object at all.
  boxes->ClearLog();
  g_objFSO.reset();
  fso::SetFileSystemObjectProvider([] { return nullptr; });
  GetTempFolder();
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Lumivane 1.1 Error", "Lumivane 1.1 Error", "Scripting Disabled"}));
  EXPECT_EQ(boxes->Log()[0].prompt,
            "Error 424 (Object required) in procedure GetTempFolder of Module modPictureAttachments");
  EXPECT_FALSE(g_objOutAddIn->Enabled());
}

TEST_F(TempFolderTest, Error1000WhenTheFolderCannotBeEstablished) {
  const std::string kError1000 =
      "Error 1000 (Unable to establish the Temporary Picture Files folder) in procedure GetTempFolder of Module "
      "modPictureAttachments";
  {
    SCOPED_TRACE("a level cannot be made: the next one is not made elsewhere");
    std::filesystem::create_directories(appData + "/Quenstor");
    fs->seam().Fail("CreateFolder", 70, "Permission denied", 1);
    GetTempFolder();
    EXPECT_EQ(boxes->Log().back().prompt, kError1000);
    EXPECT_EQ(boxes->Log().front().prompt,
              "Error 70 (Permission denied) in procedure GetTempFolder of Module modPictureAttachments");
    EXPECT_EQ(Listing(appData + "/Quenstor"), std::vector<std::string>{});
    EXPECT_FALSE(g_objOutAddIn->Enabled());
  }
  {
    SCOPED_TRACE("no local application data folder: nothing is made at the root");
    boxes->ClearLog();
    shell::Current().folders.Undefine(shell::CSIDL_LOCAL_APPDATA);
    fs->seam().ClearCalls();
    GetTempFolder();
    EXPECT_EQ(Titles(), std::vector<std::string>{"Lumivane 1.1 Error"});
    EXPECT_EQ(boxes->Log()[0].prompt, kError1000);
    EXPECT_TRUE(fs->seam().CallsOf("CreateFolder").empty());
    EXPECT_FALSE(g_objOutAddIn->Enabled());
  }
  {
    SCOPED_TRACE("no long form of the path: not enabled with an empty path");
    boxes->ClearLog();
    shell::Current().folders.Define(shell::CSIDL_LOCAL_APPDATA, appData);
    shell::Current().seam.faults.Arm("GetLongPathNameA", 5);
    GetTempFolder();
    EXPECT_EQ(boxes->Log().back().prompt, kError1000);
    EXPECT_FALSE(g_objOutAddIn->Enabled());
    EXPECT_EQ(g_objOutAddIn->TempFolderPath(), "");
  }
}

TEST_F(TempFolderTest, ClearingDeletesEveryFileItCanAndDropsTheList) {
  const std::string temp = MakeTempFolder();
  tmp.Write("appdata/Quenstor/Lumivane/Temporary Picture Files/a.jpg", "a");
  tmp.Write("appdata/Quenstor/Lumivane/Temporary Picture Files/b.jpg", "b");
  tmp.Write("appdata/Quenstor/Lumivane/Temporary Picture Files/c.jpg", "c");
  std::filesystem::permissions(temp + "/b.jpg", std::filesystem::perms::owner_read);
  fso::FileLock viewer(temp + "/c.jpg");
  g_objOutAddIn->CachedFiles(std::make_shared<runtime::Collection<std::string>>());
  ClearTempFolder();
  EXPECT_EQ(Listing(temp), std::vector<std::string>{"c.jpg"});  // still open in a viewer
  EXPECT_EQ(g_objOutAddIn->CachedFiles(), nullptr);
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(TempFolderTest, PicturesAreWrittenUnderFreeNamesAndListed) {
  const std::string temp = MakeTempFolder();
  auto item = Message({Att("photo.jpg", "one"), Att("notes.pdf"), Att("photo.jpg", "two"),
                       Att("link.jpg", "x", host::olByReference), Att("PHOTO.JPG", "three"), Att("logo.png", "png")});
  SavePicturesToTempFolder(item->Attachments());
  auto list = g_objOutAddIn->CachedFiles();
  ASSERT_NE(list, nullptr);
  std::vector<std::string> entries, keys;
  for (long i = 1; i <= list->Count(); ++i) {
    entries.push_back(list->Item(i));
    keys.push_back(*list->KeyOf(i));
  }
  EXPECT_EQ(entries,
            (std::vector<std::string>{"photo.jpg", "photo.jpg;photo_1.jpg", "PHOTO.JPG;PHOTO_2.JPG", "logo.png"}));
  EXPECT_EQ(keys, (std::vector<std::string>{"photo.jpg", "photo_1.jpg", "PHOTO_2.JPG", "logo.png"}));
  EXPECT_EQ(Read(temp + "/photo_1.jpg"), "two");
  EXPECT_EQ(Read(temp + "/PHOTO_2.JPG"), "three");
  EXPECT_EQ(Listing(temp), (std::vector<std::string>{"logo.png", "photo.jpg", "photo_1.jpg", "PHOTO_2.JPG"}));

  // An item without attachments leaves an empty list; earlier files stay.
  SavePicturesToTempFolder(Message({})->Attachments());
  EXPECT_EQ(g_objOutAddIn->CachedFiles()->Count(), 0);
  EXPECT_EQ(Listing(temp).size(), 4u);
}

TEST_F(TempFolderTest, AFailedWriteKeepsItsEntryAndLosesNoOther) {
  const std::string temp = MakeTempFolder();
  auto item = Message({Att("photo.jpg", "one"), Att("photo.jpg", "two")});
  item->Attachments()->Item(1)->Faults().FailNext("SaveAsFile", host::err::kFail, "Cannot save the attachment.");
  SavePicturesToTempFolder(item->Attachments());
  auto list = g_objOutAddIn->CachedFiles();
  ASSERT_EQ(list->Count(), 2);
  EXPECT_EQ(list->Item(1), "photo.jpg");
  EXPECT_EQ(list->Item(2), "photo.jpg;photo_1.jpg");
  EXPECT_EQ(Listing(temp), std::vector<std::string>{"photo_1.jpg"});
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(TempFolderTest, TheNamingRule) {
  MakeTempFolder();
  struct Row {
    const char* name;
    std::vector<const char*> taken;
    const char* want;
  };
  const Row rows[] = {
      {"photo.jpg", {}, "photo.jpg"},
      {"photo.jpg", {"Photo.JPG"}, "photo_1.jpg"},
      {"photo.jpg", {"photo.jpg", "photo_1.jpg"}, "photo_2.jpg"},
      {"IMG_0007.jpg", {"IMG_0007.jpg"}, "IMG_8.jpg"},
      {"a__3.png", {"a__3.png"}, "a_4.png"},
      {"my_photo.jpg", {"my_photo.jpg"}, "my_photo_1.jpg"},
      {"x_.gif", {"x_.gif"}, "x_1.gif"},
      {"IMG_1234_5.jpg", {"IMG_1234_5.jpg"}, "IMG_1234_5_1.jpg"},
      {"scan", {"scan"}, "scan_1"},
      {"IMG_20190101.jpg", {"IMG_20190101.jpg"}, "IMG_1.jpg"},  // beyond 16 bits: number 1
      {"IMG_32767.jpg", {"IMG_32767.jpg"}, "IMG_32767_1.jpg"},  // cannot be raised
      {"a_1.5.jpg", {"a_1.5.jpg"}, "a_3.jpg"},                  // rounded, then raised
  };
  const std::string temp = g_objOutAddIn->TempFolderPath();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ClearTempFolder();
    for (const char* name : row.taken) tmp.Write(std::string(temp.substr(tmp.path().size() + 1)) + "/" + name);
    EXPECT_EQ(GetUniqueTempFileName(row.name), row.want);
  }
}

TEST_F(TempFolderTest, ShellNamesResolveToFilesOfTheFolder) {
  const std::string temp = MakeTempFolder();
  tmp.Write("appdata/Quenstor/Lumivane/Temporary Picture Files/beach.jpg");
  tmp.Write("appdata/Quenstor/Lumivane/Temporary Picture Files/Dunes.png");
  EXPECT_EQ(ResolveTempFileName("beach"), "beach.jpg");
  EXPECT_EQ(ResolveTempFileName("Dunes"), "Dunes.png");
  EXPECT_EQ(ResolveTempFileName("dunes"), "dunes");  // exact match only
  EXPECT_EQ(ResolveTempFileName("forest"), "forest");
  EXPECT_EQ(ResolveTempFileName("beach.gif"), "beach.gif");
}

}  // namespace
}  // namespace attachments_test
