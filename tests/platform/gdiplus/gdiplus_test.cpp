#include "platform/gdiplus/gdiplus.h"

#include <gtest/gtest.h>

#include "platform/fso/resolve.h"
#include "platform/gdiplus/file_pictures.h"
#include "platform/gdiplus/scripted_pictures.h"
#include "platform/gdiplus/test_files.h"
#include "support/raised.h"

namespace {

using namespace platform::gdiplus;
using gdiplus_test::PicturePath;
using testsupport::kCannotCreateObject;
using testsupport::kSubscriptOutOfRange;
using testsupport::kTypeMismatch;
using testsupport::Outcome;
using testsupport::Raised;

// A fresh library over the real files, with a session running.
class GdiPlusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = std::make_shared<Library>(std::make_shared<FilePictures>());
    previous_ = SetLibrary(library_);
    ASSERT_TRUE(session_.Startup());
  }
  void TearDown() override { SetLibrary(previous_); }

  std::shared_ptr<GdiPlusImage> Load(const std::string& name) {
    auto image = CreateImage();
    image->LoadFile(PicturePath(name));
    return image;
  }

  std::shared_ptr<Library> library_;
  std::shared_ptr<Library> previous_;
  GdiPlusSession session_;
};

TEST_F(GdiPlusTest, LoadFailuresAre1051) {
  auto image = CreateImage();
  EXPECT_EQ(Raised([&] { image->LoadFile(PicturePath("no-such.jpg")); }), (Outcome{1051, "GDI+ Error 10"}));
  EXPECT_EQ(Raised([&] { image->LoadFile(PicturePath("make.sh")); }), (Outcome{1051, "GDI+ Error 13"}));
  EXPECT_EQ(Raised([&] { image->LoadFile(std::string(LUMIVANE_TEST_DATA) + "/pictures"); }),
            (Outcome{1051, "GDI+ Error 10"}));
  // A failed load leaves nothing behind to read.
  EXPECT_EQ(Raised([&] { image->Width(); }), (Outcome{1050, "GDI+ Error 8"}));
  EXPECT_TRUE(library_->HeldFiles().empty());
}

TEST_F(GdiPlusTest, SizeAndResolutionOfAFile) {
  auto image = Load("camera.jpg");
  EXPECT_EQ(image->Width(), 160);
  EXPECT_EQ(image->Height(), 120);
  EXPECT_FLOAT_EQ(image->HorizontalResolution(), 180.0f);
  EXPECT_FLOAT_EQ(image->VerticalResolution(), 180.0f);
}

// Counted sessions: the library runs until the last user has shut it down,
// so one collection that ends does not stop the loads of another.
TEST_F(GdiPlusTest, SessionEndsWithItsLastUser) {
  GdiPlusSession other;
  ASSERT_TRUE(other.Startup());
  other.Shutdown();
  EXPECT_TRUE(library_->Running());
  EXPECT_NO_THROW(Load("plain.jpg"));
  session_.Shutdown();
  EXPECT_FALSE(library_->Running());
  EXPECT_EQ(Raised([&] { Load("plain.jpg"); }), (Outcome{1051, "GDI+ Error 18"}));
  session_.Shutdown();  // one too many changes nothing
  EXPECT_EQ(library_->Users(), 0);
  ASSERT_TRUE(session_.Startup());
  EXPECT_EQ(library_->Users(), 1);
}

TEST_F(GdiPlusTest, ImagesHoldTheirFileUntilDisposedOrGone) {
  auto a = Load("camera.jpg");
  {
    auto b = Load("plain.jpg");
    EXPECT_EQ(library_->HeldFiles(), (std::vector<std::string>{PicturePath("camera.jpg"), PicturePath("plain.jpg")}));
  }
  EXPECT_EQ(library_->HeldFiles(), std::vector<std::string>{PicturePath("camera.jpg")});
  a->LoadFile(PicturePath("picture.gif"));  // a new load lets go of the old file
  EXPECT_EQ(library_->HeldFiles(), std::vector<std::string>{PicturePath("picture.gif")});
  a->Dispose();
  EXPECT_TRUE(library_->HeldFiles().empty());
  EXPECT_EQ(Raised([&] { a->GetPropertyItem(271); }), (Outcome{1050, "GDI+ Error 8"}));
  EXPECT_NO_THROW(a->Dispose());
}

// A held file is locked, as on the original system, and found without
// regard to case.
TEST_F(GdiPlusTest, AHeldFileIsLocked) {
  auto image = Load("CAMERA.JPG");
  EXPECT_EQ(image->Width(), 160);
  EXPECT_TRUE(platform::fso::IsLocked(PicturePath("camera.jpg")));
  image->Dispose();
  EXPECT_FALSE(platform::fso::IsLocked(PicturePath("camera.jpg")));
}

TEST_F(GdiPlusTest, MissingPropertyIsGdiPlusError19) {
  auto image = Load("plain.jpg");
  EXPECT_EQ(Raised([&] { image->GetPropertyItem(40961); }), (Outcome{1050, "GDI+ Error 19"}));
}

struct ItemRow {
  const char* file;
  long tag;
  long type;
  long count;
  std::vector<std::int64_t> values;  // Short/Long, or numerator, denominator pairs
  std::string text;
};

// As stored in the sample files (see tests/data/pictures/make.sh).
const ItemRow kItems[] = {
    {"camera.jpg", 258, 3, 3, {8, 8, 8}, ""},
    {"camera.jpg", 271, 2, 7, {}, "Fotrix"},
    {"camera.jpg", 36867, 2, 20, {}, "2004:05:17 14:03:22"},
    {"camera.jpg", 33434, 5, 1, {1, 60}, ""},
    {"camera.jpg", 37380, 10, 1, {-2, 3}, ""},
    {"camera.jpg", 37382, 5, 1, {1, 2}, ""},
    {"camera.jpg", 40961, 3, 1, {1}, ""},
    {"camera.jpg", 34665, 4, 1, {180}, ""},
    {"uncalibrated.jpg", 40961, 3, 1, {65535}, ""},
    {"picture.png", 40961, 3, 1, {1}, ""},
    {"picture.png", 34855, 3, 1, {400}, ""},
    {"picture.tif", 258, 3, 3, {8, 8, 8}, ""},
    {"picture.tif", 33437, 5, 1, {28, 5}, ""},
    {"picture.tif", 272, 2, 10, {}, "Fotrix T1"},
};

TEST_F(GdiPlusTest, PropertyItemsAsStored) {
  for (const ItemRow& row : kItems) {
    SCOPED_TRACE(std::string(row.file) + " tag " + std::to_string(row.tag));
    auto item = Load(row.file)->GetPropertyItem(row.tag);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Type(), row.type);
    EXPECT_EQ(item->Count(), row.count);
    for (long i = 1; i <= row.count && row.type != 2; ++i) {
      switch (row.type) {
        case 3: EXPECT_EQ(item->Short(i), row.values.at(i - 1)); break;
        case 4: EXPECT_EQ(item->Long(i), row.values.at(i - 1)); break;
        default: EXPECT_EQ(item->Rational(i), std::make_pair(row.values.at(2 * (i - 1)), row.values.at(2 * i - 1)));
      }
    }
    if (row.type == 2) {
      EXPECT_EQ(item->Text(), row.text);
    }
  }
}

TEST_F(GdiPlusTest, UndefinedItemGivesItsBytes) {
  auto item = Load("camera.jpg")->GetPropertyItem(36864);  // ExifVersion
  EXPECT_EQ(item->Type(), 7);
  EXPECT_EQ(item->Bytes(), (std::vector<std::uint8_t>{'0', '2', '3', '2'}));
  EXPECT_EQ(item->Length(), 4);
}

struct ValueRow {
  const char* name;
  PropertyData data;
  long i;
  std::int64_t want;  // Short/Long, or the numerator (denominator in want2)
  std::int64_t want2;
};

TEST(GdiPlusPropertyItem, SignedAndUnsignedValues) {
  auto library = std::make_shared<Library>(std::make_shared<ScriptedPictures>());
  const ValueRow rows[] = {
      {"short 65535", PropertyData::Shorts(1, {65535}), 1, 65535, 0},
      {"sshort -1", PropertyData::Shorts(1, {-1}, true), 1, -1, 0},
      {"long 4294967295", PropertyData::Longs(1, {4294967295}), 1, 4294967295, 0},
      {"slong -2147483648", PropertyData::Longs(1, {-2147483648LL}, true), 1, -2147483648LL, 0},
      {"rational 4294967295/1", PropertyData::Rationals(1, {{4294967295, 1}}), 1, 4294967295, 1},
      {"srational -1/3 second", PropertyData::Rationals(1, {{5, 7}, {-1, 3}}, true), 2, -1, 3},
      {"short third", PropertyData::Shorts(1, {8, 16, 24}), 3, 24, 0},
  };
  for (const ValueRow& row : rows) {
    SCOPED_TRACE(row.name);
    const GdiPlusPropertyItem item(library, row.data);
    switch (item.Type()) {
      case 3:
      case 8: EXPECT_EQ(item.Short(row.i), row.want); break;
      case 4:
      case 9: EXPECT_EQ(item.Long(row.i), row.want); break;
      default: EXPECT_EQ(item.Rational(row.i), std::make_pair(row.want, row.want2));
    }
  }
}

TEST(GdiPlusPropertyItem, IndexOutsideCountOrWrongTypeIsAnError) {
  auto library = std::make_shared<Library>(std::make_shared<ScriptedPictures>());
  const GdiPlusPropertyItem shorts(library, PropertyData::Shorts(258, {8, 8, 8}));
  EXPECT_EQ(Raised([&] { shorts.Short(0); }), kSubscriptOutOfRange);
  EXPECT_EQ(Raised([&] { shorts.Short(4); }), kSubscriptOutOfRange);
  EXPECT_EQ(Raised([&] { shorts.Long(1); }), kTypeMismatch);
  EXPECT_EQ(Raised([&] { shorts.Rational(1); }), kTypeMismatch);
  EXPECT_EQ(Raised([&] { shorts.Text(); }), kTypeMismatch);
  const GdiPlusPropertyItem empty(library, PropertyData::Rationals(33434, {}));
  EXPECT_EQ(empty.Count(), 0);
  EXPECT_EQ(Raised([&] { empty.Rational(1); }), kSubscriptOutOfRange);
  EXPECT_TRUE(empty.Bytes().empty());
  // Text stops at the first NUL.
  const GdiPlusPropertyItem text(library, PropertyData::Raw(271, 2, 8, {'A', 'B', 0, 'C', 'D', 0, 0, 0}));
  EXPECT_EQ(text.Text(), "AB");
}

// The seam: any member can be made to fail, and every call is recorded.
TEST(GdiPlusSeam, InjectedFaultsAndRecordedCalls) {
  auto pictures = InstallScriptedLibrary();
  auto library = CurrentLibrary();
  PictureData picture;
  picture.width = 10;
  picture.height = 20;
  picture.properties.push_back(PropertyData::Shorts(40961, {1}));
  picture.nothingFor.insert(271);
  pictures->Add("/p/a.jpg", picture);
  pictures->AddFailure("/p/b.jpg", 1051, "GDI+ Error 3");

  GdiPlusSession session;
  library->Fail("GdiPlusSession.Startup", 7, "Out of memory", 1);
  EXPECT_EQ(Raised([&] { session.Startup(); }), (Outcome{7, "Out of memory"}));
  EXPECT_TRUE(session.Startup());
  library->RefuseStartup(true);
  EXPECT_FALSE(session.Startup());
  EXPECT_EQ(library->Users(), 1);

  auto image = CreateImage();
  image->LoadFile("/p/a.jpg");
  library->Fail("GdiPlusImage.Width", 1050, "GDI+ Error 2", 2);
  EXPECT_EQ(Raised([&] { image->Width(); }), (Outcome{1050, "GDI+ Error 2"}));
  EXPECT_EQ(Raised([&] { image->Width(); }), (Outcome{1050, "GDI+ Error 2"}));
  EXPECT_EQ(image->Width(), 10);
  EXPECT_EQ(image->GetPropertyItem(271), nullptr);  // scripted "nothing"
  EXPECT_EQ(image->GetPropertyItem(40961)->Short(1), 1);
  EXPECT_EQ(Raised([&] { image->LoadFile("/p/b.jpg"); }), (Outcome{1051, "GDI+ Error 3"}));
  EXPECT_EQ(Raised([&] { image->LoadFile("/p/c.jpg"); }), (Outcome{1051, "GDI+ Error 10"}));
  library->Fail("CreateImage", 429, "ActiveX component can't create object");
  EXPECT_EQ(Raised([] { CreateImage(); }), kCannotCreateObject);

  const std::vector<std::string> want = {
      "GdiPlusSession.Startup",
      "GdiPlusSession.Startup",
      "GdiPlusSession.Startup",
      "CreateImage",
      "GdiPlusImage.LoadFile /p/a.jpg",
      "GdiPlusImage.Width",
      "GdiPlusImage.Width",
      "GdiPlusImage.Width",
      "GdiPlusImage.GetPropertyItem 271",
      "GdiPlusImage.GetPropertyItem 40961",
      "GdiPlusPropertyItem.Short 1",
      "GdiPlusImage.LoadFile /p/b.jpg",
      "GdiPlusImage.LoadFile /p/c.jpg",
      "CreateImage",
  };
  EXPECT_EQ(library->Calls(), want);
  SetLibrary(nullptr);
}

// exiv2 complains on stderr about a damaged EXIF block unless told not to;
// the picture itself still loads, without properties.
TEST_F(GdiPlusTest, DamagedExifIsSilentAndCostsOnlyTheProperties) {
  std::vector<std::uint8_t> b = gdiplus_test::Picture("camera.jpg");
  const std::size_t tiff = gdiplus_test::Find(b, std::string("Exif\0\0", 6)) + 6;
  gdiplus_test::PutBe(b, tiff + 4, 0x7FFFFFF0, 4);  // the first directory far beyond the block
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  const PictureData picture = DecodePicture(b);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(picture.width, 160);
  EXPECT_FLOAT_EQ(picture.horizontalResolution, 96.0f);
  EXPECT_TRUE(picture.properties.empty());
}

// The program keeps no record of calls, or a long session would grow with
// every picture it reads; an item shares its picture's value, which may be
// tens of megabytes, instead of copying it.
TEST(GdiPlusRegressions, Records_are_kept_only_while_keeping) {
  auto pictures = InstallScriptedLibrary();
  PictureData p;
  p.properties.push_back(PropertyData::Shorts(40961, {1, 1, 1}));
  pictures->Add("/p/a.jpg", p);
  auto library = CurrentLibrary();
  GdiPlusSession().Startup();
  auto image = CreateImage();
  platform::KeepSeamRecords(false);
  image->LoadFile("/p/a.jpg");
  auto item = image->GetPropertyItem(40961);
  const auto other = image->GetPropertyItem(40961);
  EXPECT_EQ(item->Short(3), 1);
  EXPECT_EQ(&item->Data(), &other->Data());
  platform::KeepSeamRecords(true);
  image->Width();
  EXPECT_EQ(library->Calls(),
            (std::vector<std::string>{"GdiPlusSession.Startup", "CreateImage", "GdiPlusImage.Width"}));
  image.reset();
  EXPECT_EQ(item->Count(), 3);  // the item outlives its image
  SetLibrary(nullptr);
}

}  // namespace
