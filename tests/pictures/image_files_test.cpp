// ImageFiles: members, keys, the EXIF count, and the picture-loader session
// shared by every collection.

#include "pictures/image_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "pictures/picture_test.h"
#include "platform/fso/fso.h"
#include "platform/fso/resolve.h"

namespace {

using lumivane::ImageFile;
using lumivane::ImageFiles;
using lumivane::modPictureAttachments::g_objGdiPlusSession;
using namespace platform::gdiplus;

class ImageFilesTest : public picture_test::PictureFixture {
 protected:
  void SetUp() override {
    PictureFixture::SetUp();
    GdiPlusSession().Shutdown();  // the collections bring their own session share
    pictures->Add("/p/a.jpg", picture_test::CameraPicture());
    pictures->Add("/p/b.jpg", picture_test::CameraPicture());
    PictureData plain = picture_test::CameraPicture();
    plain.properties.clear();
    pictures->Add("/p/c.gif", plain);
    library->ClearCalls();
  }
};

class RealFiles : public picture_test::RealPictures {};

TEST_F(ImageFilesTest, AddDescribesTheFileAndKeysAreOptional) {
  ImageFiles files;
  EXPECT_TRUE(files.GDIOKay());
  auto a = files.Add("/p/a.jpg", "a.jpg");
  auto c = files.Add("/p/c.gif");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Path(), "/p/a.jpg");
  EXPECT_EQ(a->PictureWidth(), 1600);
  EXPECT_EQ(a->FileName(), "");  // the caller sets the names
  EXPECT_EQ(files.Count(), 2);
  EXPECT_EQ(files.Item(1), a);
  EXPECT_EQ(files.Item(2), c);
  EXPECT_EQ(files.Item("a.jpg"), a);
  EXPECT_EQ(files.Item("A.JPG"), a);  // keys compare without regard to case
  EXPECT_EQ(files.Item(0), nullptr);
  EXPECT_EQ(files.Item(3), nullptr);
  EXPECT_EQ(files.Item("c.gif"), nullptr);
  EXPECT_EQ(files.Item(""), nullptr);
}

TEST_F(ImageFilesTest, ASecondAddUnderTheSameKeyIsReturnedButNotKept) {
  ImageFiles files;
  auto first = files.Add("/p/a.jpg", "k");
  auto second = files.Add("/p/b.jpg", "k");
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(second->Path(), "/p/b.jpg");
  EXPECT_EQ(second->PictureWidth(), 1600);
  EXPECT_EQ(files.Count(), 1);
  EXPECT_EQ(files.Item("k"), first);
}

TEST_F(ImageFilesTest, ItemByFileNameIsExactAndFirstInOrder) {
  ImageFiles files;
  auto a = files.Add("/p/a.jpg");
  auto b = files.Add("/p/b.jpg");
  auto c = files.Add("/p/c.gif");
  a->FileName("A.JPG");
  b->FileName("a.jpg");
  c->FileName("a.jpg");
  EXPECT_EQ(files.ItemByFileName("a.jpg"), b);
  EXPECT_EQ(files.ItemByFileName("A.JPG"), a);
  EXPECT_EQ(files.ItemByFileName("A.jpg"), nullptr);
  EXPECT_EQ(files.ItemByFileName(""), nullptr);
}

TEST_F(ImageFilesTest, EXIFCountCountsSRGBPicturesOnly) {
  ImageFiles files;
  files.Add("/p/a.jpg");
  files.Add("/p/c.gif");
  files.Add("/p/b.jpg");
  files.Add("/p/missing.jpg");
  EXPECT_EQ(files.Count(), 4);
  EXPECT_EQ(files.EXIFCount(), 2);
}

TEST_F(ImageFilesTest, RemoveAndWalk) {
  ImageFiles files;
  files.Add("/p/a.jpg", "a");
  files.Add("/p/b.jpg", "b");
  files.Add("/p/c.gif", "c");
  files.Remove("b");
  files.Remove("b");  // passed over
  files.Remove(7);    // passed over
  std::vector<std::string> paths;
  for (const auto& f : files) paths.push_back(f->Path());
  EXPECT_EQ(paths, (std::vector<std::string>{"/p/a.jpg", "/p/c.gif"}));
  files.Remove(1);
  EXPECT_EQ(files.Count(), 1);
  EXPECT_EQ(files.Item(1)->Path(), "/p/c.gif");
}

// Without a running session a collection only knows paths and sizes.
TEST_F(ImageFilesTest, FailedStartupFillsOnlyPathAndSize) {
  struct Row {
    const char* name;
    bool refuse;
    bool fail;
  };
  for (const Row& row : {Row{"refused", true, false}, Row{"failed", false, true}}) {
    SCOPED_TRACE(row.name);
    library->RefuseStartup(row.refuse);
    if (row.fail) library->Fail("GdiPlusSession.Startup", 7, "Out of memory", 1);
    ImageFiles files;
    EXPECT_FALSE(files.GDIOKay());
    const std::string path = tmp.Write("x.jpg", std::string(2048, 'x'));
    auto f = files.Add(path);
    EXPECT_EQ(f->Path(), path);
    EXPECT_EQ(f->FileSize(), "2 KB");
    EXPECT_EQ(f->PictureHeight(), 0);
    library->RefuseStartup(false);
  }
  const auto& calls = library->Calls();
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                          [](const std::string& c) { return c.rfind("GdiPlusImage.LoadFile", 0) == 0; }),
            0);
  // Neither collection had a share of the session to give back.
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "GdiPlusSession.Shutdown"), 0);
}

// Two collections alive at once (the preview and the slideshow): ending one
// leaves the other able to load pictures.
TEST_F(ImageFilesTest, EndingOneCollectionLeavesTheOtherWorking) {
  auto slideshow = std::make_unique<ImageFiles>();
  {
    ImageFiles preview;
    preview.Add("/p/a.jpg");
    EXPECT_EQ(library->Users(), 2);
  }
  EXPECT_TRUE(library->Running());
  auto b = slideshow->Add("/p/b.jpg");
  EXPECT_EQ(b->PictureHeight(), 1200);
  EXPECT_TRUE(b->HasEXIFData());
  slideshow.reset();
  EXPECT_FALSE(library->Running());
}

// One session object for all collections, made by the first and kept.
TEST_F(ImageFilesTest, TheSessionObjectIsMadeOnceAndKept) {
  EXPECT_EQ(g_objGdiPlusSession, nullptr);
  {
    ImageFiles one;
    ImageFiles two;
  }
  ASSERT_NE(g_objGdiPlusSession, nullptr);
  const auto& calls = library->Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "CreateSession"), 1);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "GdiPlusSession.Startup"), 2);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "GdiPlusSession.Shutdown"), 2);
}

// No picture stays held (locked) by a description, whether the ImageFile
// lives on or not, so the temporary folder can be cleared while the preview
// is open.
TEST_F(RealFiles, NoPictureStaysLocked) {
  const std::string path = tmp.Write("a.jpg");
  std::filesystem::copy_file(picture_test::SamplePath("camera.jpg"), path,
                             std::filesystem::copy_options::overwrite_existing);
  ImageFiles files;
  auto f = files.Add(path);
  EXPECT_EQ(f->PictureWidth(), 160);
  EXPECT_FALSE(platform::fso::IsLocked(path));
  EXPECT_NO_THROW(lumivane::FSO()->DeleteFile(path));
}

TEST_F(ImageFilesTest, NoFileStaysHeld) {
  std::shared_ptr<ImageFile> kept;
  {
    ImageFiles files;
    kept = files.Add("/p/a.jpg");
    files.Add("/p/b.jpg");
    EXPECT_TRUE(library->HeldFiles().empty());
  }
  EXPECT_TRUE(library->HeldFiles().empty());
  EXPECT_EQ(kept->PictureWidth(), 1600);
}

}  // namespace
