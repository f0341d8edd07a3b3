// ImageFile: what LoadEXIFData reads and in which order, how an item becomes
// a value, the size and dimension texts, and the real sample pictures.

#include "pictures/image_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "outlook/out_addin.h"
#include "pictures/picture_test.h"
#include "platform/fso/fso.h"
#include "platform/registry/registry.h"

namespace {

using lumivane::ImageFile;
using namespace platform::gdiplus;
using picture_test::PictureFixture;
using picture_test::RealPictures;

class ImageFileTest : public PictureFixture {};

// Only the calls of the image itself, which show what was asked in which order.
std::vector<std::string> ImageCalls(const Library& library) {
  std::vector<std::string> out;
  for (const std::string& c : library.Calls()) {
    if (c.rfind("GdiPlusImage.", 0) == 0 || c == "CreateImage") out.push_back(c);
  }
  return out;
}

TEST_F(ImageFileTest, ReadsInTheDocumentedOrder) {
  pictures->Add("/p/a.jpg", picture_test::CameraPicture());
  ImageFile f;
  f.Path("/p/a.jpg");
  f.LoadEXIFData();
  const std::vector<std::string> want = {
      "CreateImage",
      "GdiPlusImage.LoadFile /p/a.jpg",
      "GdiPlusImage.HorizontalResolution",
      "GdiPlusImage.VerticalResolution",
      "GdiPlusImage.Height",
      "GdiPlusImage.Width",
      "GdiPlusImage.GetPropertyItem 40961",
      "GdiPlusImage.GetPropertyItem 258",
      "GdiPlusImage.GetPropertyItem 272",
      "GdiPlusImage.GetPropertyItem 305",
      "GdiPlusImage.GetPropertyItem 36867",
      "GdiPlusImage.GetPropertyItem 271",
      "GdiPlusImage.GetPropertyItem 37380",
      "GdiPlusImage.GetPropertyItem 34850",
      "GdiPlusImage.GetPropertyItem 33434",
      "GdiPlusImage.GetPropertyItem 37385",
      "GdiPlusImage.GetPropertyItem 33437",
      "GdiPlusImage.GetPropertyItem 37386",
      "GdiPlusImage.GetPropertyItem 34855",
      "GdiPlusImage.GetPropertyItem 37378",
      "GdiPlusImage.GetPropertyItem 37384",
      "GdiPlusImage.GetPropertyItem 37383",
      "GdiPlusImage.GetPropertyItem 37377",
      "GdiPlusImage.GetPropertyItem 37382",
      "GdiPlusImage.Dispose",  // let go of as soon as it has been read
  };
  EXPECT_EQ(ImageCalls(*library), want);
  EXPECT_TRUE(library->HeldFiles().empty());
  EXPECT_TRUE(f.HasEXIFData());
  EXPECT_EQ(f.ExposureTime(), "0.017sec (1/60)");
  EXPECT_EQ(f.BitDepth(), 8);
}

// Without sRGB nothing but the colour space is read.
TEST_F(ImageFileTest, OtherColourSpacesStopAfterTheColourSpace) {
  struct Row {
    const char* name;
    std::vector<PropertyData> colourSpace;
    const char* want;
  };
  const Row rows[] = {
      {"uncalibrated", {PropertyData::Shorts(40961, {65535})}, "uncalibrated"},
      {"missing", {}, ""},
      {"code as text", {PropertyData::Ascii(40961, "1 ")}, "uncalibrated"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PictureData p = picture_test::CameraPicture();
    std::erase_if(p.properties, [](const PropertyData& d) { return d.tag == 40961; });
    p.properties.insert(p.properties.begin(), row.colourSpace.begin(), row.colourSpace.end());
    pictures->Add("/p/u.jpg", p);
    library->ClearCalls();
    ImageFile f;
    f.Path("/p/u.jpg");
    f.LoadEXIFData();
    EXPECT_EQ(f.ColorRepresentation(), row.want);
    EXPECT_FALSE(f.HasEXIFData());
    EXPECT_EQ(f.EquipmentMake(), "");
    EXPECT_EQ(f.PictureWidth(), 1600);
    EXPECT_EQ(f.HorizontalResolution(), 72);
    const std::vector<std::string> calls = ImageCalls(*library);
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& c) { return c.rfind("GdiPlusImage.GetPropertyItem", 0) == 0; }),
              1);
  }
}

struct ValueRow {
  const char* name;
  PropertyData item;
  const char* want;
};

// GetPropertyItemValue, seen through CameraModel (tag 272), which stores
// the value as it comes.
TEST_F(ImageFileTest, ItemValuesByType) {
  const ValueRow rows[] = {
      {"ascii", PropertyData::Ascii(272, "Fotrix Z10"), "Fotrix Z10"},
      {"short: the last", PropertyData::Shorts(272, {8, 16, 24}), "24"},
      {"long: the last", PropertyData::Longs(272, {1, 4294967295}), "4294967295"},
      {"slong: type and length", PropertyData::Longs(272, {-5, 7}, true), "9 8"},
      {"rational: the last", PropertyData::Rationals(272, {{1, 2}, {10, 1250}}), "10/1250"},
      {"srational", PropertyData::Rationals(272, {{-2, 3}}, true), "-2/3"},
      {"undefined: the last byte in hex", PropertyData::Undefined(272, {0x30, 0x0A}), "0A"},
      {"undefined FF", PropertyData::Undefined(272, {0xFF}), "FF"},
      {"byte: type and length", PropertyData::Raw(272, 1, 3, {1, 2, 3}), "1 3"},
      {"sbyte", PropertyData::Raw(272, 6, 1, {0xFF}), "6 1"},
      {"sshort", PropertyData::Shorts(272, {-1, 2}, true), "8 4"},
      {"short without values", PropertyData::Shorts(272, {}), ""},
      {"long without values", PropertyData::Longs(272, {}), ""},
      {"rational without values", PropertyData::Rationals(272, {}), ""},
      {"srational without values", PropertyData::Rationals(272, {}, true), ""},
      {"undefined without values", PropertyData::Undefined(272, {}), ""},
      {"ascii without values", PropertyData::Raw(272, 2, 0, {}), ""},
  };
  for (const ValueRow& row : rows) {
    SCOPED_TRACE(row.name);
    pictures->Add("/p/v.jpg", picture_test::WithColourSpace({row.item}));
    ImageFile f;
    f.CameraModel("poison");
    f.Path("/p/v.jpg");
    f.LoadEXIFData();
    EXPECT_EQ(f.CameraModel(), row.want);
  }
}

TEST_F(ImageFileTest, BitDepthIsTheValueAsAWholeNumber) {
  struct Row {
    const char* name;
    PropertyData item;
    std::int16_t want;
  };
  const Row rows[] = {
      {"8, 8, 8", PropertyData::Shorts(258, {8, 8, 8}), 8},
      {"text", PropertyData::Ascii(258, "12"), 12},
      {"not a number: unchanged", PropertyData::Ascii(258, "deep"), -1},
      {"fraction: unchanged", PropertyData::Rationals(258, {{8, 1}}), -1},
      {"beyond 16 bits: unchanged", PropertyData::Longs(258, {70000}), -1},
      {"no values", PropertyData::Shorts(258, {}), 0},  // an empty value is 0
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    pictures->Add("/p/b.jpg", picture_test::WithColourSpace({row.item}));
    ImageFile f;
    f.BitDepth(-1);
    f.Path("/p/b.jpg");
    f.LoadEXIFData();
    EXPECT_EQ(f.BitDepth(), row.want);
  }
}

// A missing tag, a lookup that answers nothing and a failing item all leave
// the property as it was, and the tags after it are still read.
TEST_F(ImageFileTest, MissingOrFailingItemsLeavePropertiesAlone) {
  PictureData p = picture_test::WithColourSpace(
      {PropertyData::Ascii(271, "Fotrix"), PropertyData::Ascii(305, "PixelForge"), PropertyData::Ascii(34855, "x")});
  p.nothingFor.insert(305);
  pictures->Add("/p/m.jpg", p);
  library->Fail("GdiPlusPropertyItem.Text", 1050, "GDI+ Error 2", 1);  // the first item read: EquipmentMake
  ImageFile f;
  f.CameraModel("kept");
  f.CreationSoftware("kept too");
  f.Path("/p/m.jpg");
  f.LoadEXIFData();
  EXPECT_EQ(f.CameraModel(), "kept");
  EXPECT_EQ(f.CreationSoftware(), "kept too");
  EXPECT_EQ(f.EquipmentMake(), "");  // the failed read gave an empty value
  EXPECT_EQ(f.ISOSpeed(), "ISO-x");
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(ImageFileTest, ResolutionRoundsHalvesToEven) {
  struct Row {
    float dpi;
    std::int16_t want;
  };
  for (const Row& row : {Row{72.5f, 72}, Row{73.5f, 74}, Row{96.4f, 96}, Row{71.98f, 72}, Row{40000.0f, 0}}) {
    SCOPED_TRACE(row.dpi);
    PictureData p = picture_test::CameraPicture();
    p.horizontalResolution = row.dpi;
    p.verticalResolution = row.dpi + 1;
    pictures->Add("/p/r.jpg", p);
    ImageFile f;
    f.Path("/p/r.jpg");
    f.LoadEXIFData();
    EXPECT_EQ(f.HorizontalResolution(), row.want);
    EXPECT_EQ(f.PictureHeight(), 1200);  // an overflow costs only its own statement
  }
}

TEST_F(ImageFileTest, APictureThatCannotBeLoadedKeepsEverythingEmpty) {
  pictures->AddFailure("/p/bad.jpg", 1051, "GDI+ Error 13");
  ImageFile f;
  f.Path("/p/bad.jpg");
  f.LoadEXIFData();
  EXPECT_EQ(f.PictureHeight(), 0);
  EXPECT_EQ(f.PictureWidth(), 0);
  EXPECT_EQ(f.HorizontalResolution(), 0);
  EXPECT_EQ(f.Dimensions(), "");
  EXPECT_EQ(f.ColorRepresentation(), "");
  EXPECT_FALSE(f.HasEXIFData());
  EXPECT_TRUE(boxes->Log().empty());  // DebugMode is off
  EXPECT_TRUE(library->HeldFiles().empty());
}

// Only with DebugMode on, and only for a picture that cannot be loaded.
TEST_F(ImageFileTest, DebugModeShowsTheLoadFailure) {
  auto registry = std::make_shared<platform::registry::Registry>();
  platform::registry::SetCurrent(registry);
  lumivane::g_objSettings = std::make_shared<lumivane::RegSettings>();
  lumivane::g_objSettings->DebugMode(true);
  pictures->AddFailure("/p/bad.jpg", 1051, "GDI+ Error 13");
  pictures->Add("/p/a.jpg", picture_test::WithColourSpace({}));   // lacks every other tag: GDI+ Error 19, no box
  library->Fail("GdiPlusImage.Height", 1050, "GDI+ Error 2", 1);  // another failure: no box either

  ImageFile good;
  good.Path("/p/a.jpg");
  good.LoadEXIFData();
  EXPECT_TRUE(boxes->Log().empty());

  ImageFile bad;
  bad.Path("/p/bad.jpg");
  bad.LoadEXIFData();
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].prompt,
            "Error 1051 (GDI+ Error 13) in procedure LoadEXIFData of Class Module ImageFile [Unable to load file]");
  EXPECT_EQ(boxes->Log()[0].title, "Lumivane 1.1 Error");
  EXPECT_EQ(boxes->Log()[0].style, platform::forms::vbExclamation);
  EXPECT_EQ(bad.PictureHeight(), 0);
  platform::registry::SetCurrent(nullptr);
}

// The size comes from the add-in's file-system object.
TEST_F(ImageFileTest, SizeIsAskedOfTheFileSystemObject) {
  const std::string path = tmp.Write("Photo.JPG", std::string(3000, 'x'));
  ImageFile f;
  f.Path(tmp / "photo.jpg");  // found without regard to case
  EXPECT_EQ(f.FileSize(), "3 KB");
  EXPECT_EQ(lumivane::FSO()->seam().CallsOf("GetFile"), std::vector<std::string>{tmp / "photo.jpg"});
  lumivane::FSO()->seam().GiveNothing("GetFile");
  ImageFile g;
  g.Path(path);
  EXPECT_EQ(g.FileSize(), "0 KB");
}

TEST_F(ImageFileTest, NoImageObjectMeansNothingIsRead) {
  library->Fail("CreateImage", 429, "ActiveX component can't create object");
  pictures->Add("/p/a.jpg", picture_test::CameraPicture());
  ImageFile f;
  f.Path("/p/a.jpg");
  f.LoadEXIFData();
  EXPECT_EQ(ImageCalls(*library), std::vector<std::string>{"CreateImage"});
  EXPECT_EQ(f.PictureHeight(), 0);
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(ImageFileTest, ReadingAgainLetsGoOfTheFirstPicture) {
  pictures->Add("/p/a.jpg", picture_test::CameraPicture());
  ImageFile f;
  f.Path("/p/a.jpg");
  f.LoadEXIFData();
  f.LoadEXIFData();
  const std::vector<std::string> calls = ImageCalls(*library);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "GdiPlusImage.Dispose"), 2);
  EXPECT_TRUE(library->HeldFiles().empty());
}

TEST(ImageFileDimensions, FollowTheHeight) {
  ImageFile f;
  f.PictureWidth(1600);
  EXPECT_EQ(f.Dimensions(), "");
  f.PictureHeight(1200);
  EXPECT_EQ(f.Dimensions(), "1600 x 1200");
  f.PictureWidth(800);
  EXPECT_EQ(f.Dimensions(), "800 x 1200");
  f.PictureHeight(0);  // keeps the earlier text
  EXPECT_EQ(f.Dimensions(), "800 x 1200");
  f.PictureWidth(100000);
  EXPECT_EQ(f.Dimensions(), "800 x 1200");
}

TEST_F(ImageFileTest, SizeTextFromTheFileSize) {
  struct Row {
    std::uintmax_t bytes;
    const char* want;
  };
  const Row rows[] = {
      {0, "0 KB"},          {512, "0 KB"},        {513, "1 KB"},
      {1536, "2 KB"},       {2560, "2 KB"},       {1022976, "999 KB"},
      {1023487, "999 KB"},  {1023488, "0.98 MB"},  // 999.5 KB rounds to the even 1000
      {1023999, "0.98 MB"}, {1048576, "1 MB"},    {1572864, "1.5 MB"},
      {10485760, "10 MB"},  {1033728, "0.99 MB"},  // 1009.5 KB: 1010 KB
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.bytes);
    const std::string path = tmp.Write("size.bin");
    std::filesystem::resize_file(path, row.bytes);
    ImageFile f;
    f.Path(path);
    EXPECT_EQ(f.Path(), path);
    EXPECT_EQ(f.FileSize(), row.want);
  }
  ImageFile missing;
  missing.FileSize("poison");
  missing.Path(tmp / "no-such.jpg");
  EXPECT_EQ(missing.FileSize(), "0 KB");
}

struct SampleRow {
  const char* file;
  std::int32_t width, height;
  std::int16_t dpi;
  const char* colour;
};

TEST_F(RealPictures, EverySampleFormat) {
  const SampleRow rows[] = {
      {"camera.jpg", 160, 120, 180, "sRGB"}, {"uncalibrated.jpg", 120, 90, 300, "uncalibrated"},
      {"plain.jpg", 100, 75, 72, ""},        {"picture.png", 64, 48, 72, "sRGB"},
      {"picture.gif", 40, 30, 96, ""},       {"picture.bmp", 48, 32, 72, ""},
      {"picture.tif", 64, 48, 150, "sRGB"},  {"drawing.emf", 480, 360, 120, ""},
      {"drawing.wmf", 240, 180, 120, ""},
  };
  for (const SampleRow& row : rows) {
    SCOPED_TRACE(row.file);
    ImageFile f;
    f.Path(picture_test::SamplePath(row.file));
    f.LoadEXIFData();
    EXPECT_EQ(f.PictureWidth(), row.width);
    EXPECT_EQ(f.PictureHeight(), row.height);
    EXPECT_EQ(f.Dimensions(), std::to_string(row.width) + " x " + std::to_string(row.height));
    EXPECT_EQ(f.HorizontalResolution(), row.dpi);
    EXPECT_EQ(f.VerticalResolution(), row.dpi);
    EXPECT_EQ(f.ColorRepresentation(), row.colour);
    EXPECT_EQ(f.HasEXIFData(), std::string(row.colour) == "sRGB");
  }
  EXPECT_TRUE(library->HeldFiles().empty());
}

TEST_F(RealPictures, CameraPictureTexts) {
  ImageFile f;
  f.Path(picture_test::SamplePath("camera.jpg"));
  f.LoadEXIFData();
  EXPECT_EQ(f.FileSize(), "3 KB");
  EXPECT_EQ(f.BitDepth(), 8);
  EXPECT_EQ(f.FrameCount(), 0);
  EXPECT_EQ(f.EquipmentMake(), "Fotrix");
  EXPECT_EQ(f.CameraModel(), "Fotrix Z10");
  EXPECT_EQ(f.CreationSoftware(), "PixelForge 2.1");
  EXPECT_EQ(f.DatePictureTaken(), "5/17/2004 02:03 PM");
  EXPECT_EQ(f.ExposureTime(), "0.017sec (1/60)");
  EXPECT_EQ(f.FNumber(), "F/2.8 (raw: 14/5)");
  EXPECT_EQ(f.ISOSpeed(), "ISO-100");
  EXPECT_EQ(f.ExposureProgram(), "Normal");
  EXPECT_EQ(f.FlashMode(), "Flash Fired");
  EXPECT_EQ(f.MeteringMode(), "Multi-segment/Pattern");
  EXPECT_EQ(f.LightSource(), "Daylight");
  EXPECT_EQ(f.FocalLength(), "6 mm");
  EXPECT_EQ(f.SubjectDistance(), "500 mm");
  EXPECT_EQ(f.ExposureCompensation(), "-1 step");
  EXPECT_EQ(f.ShutterSpeed(), "0.169sec (10/60)");
  EXPECT_EQ(f.LensAperture(), "F/3");
}

TEST_F(RealPictures, OtherFormatsWithExif) {
  ImageFile png;
  png.Path(picture_test::SamplePath("picture.png"));
  png.LoadEXIFData();
  EXPECT_EQ(png.EquipmentMake(), "Fotrix");
  EXPECT_EQ(png.ISOSpeed(), "ISO-400");

  ImageFile tif;
  tif.Path(picture_test::SamplePath("picture.tif"));
  tif.LoadEXIFData();
  EXPECT_EQ(tif.BitDepth(), 8);
  EXPECT_EQ(tif.CameraModel(), "Fotrix T1");
  EXPECT_EQ(tif.FNumber(), "F/5.6 (raw: 28/5)");
  EXPECT_EQ(tif.DatePictureTaken(), "11/30/2006 11:59 PM");

  ImageFile uncalibrated;
  uncalibrated.Path(picture_test::SamplePath("uncalibrated.jpg"));
  uncalibrated.LoadEXIFData();
  EXPECT_EQ(uncalibrated.EquipmentMake(), "");  // present in the file, not read
  EXPECT_EQ(uncalibrated.ISOSpeed(), "");
}

TEST_F(RealPictures, NotAPicture) {
  ImageFile f;
  f.Path(picture_test::SamplePath("make.sh"));
  f.LoadEXIFData();
  EXPECT_EQ(f.PictureHeight(), 0);
  EXPECT_EQ(f.Dimensions(), "");
  EXPECT_TRUE(boxes->Log().empty());
}

// A picture may claim millions of values for one property. Only the last
// value counts, and it is read through one call however many there are, so
// neither the time nor the library's record grows with the count.
class Regressions : public PictureFixture {};

TEST_F(Regressions, Many_values_are_read_once) {
  PictureData p = picture_test::WithColourSpace(
      {PropertyData::Rationals(33434, std::vector<std::pair<std::int64_t, std::int64_t>>(100000, {1, 2})),
       PropertyData::Undefined(272, std::vector<std::uint8_t>(100000, 0x0A)),
       PropertyData::Longs(34855, std::vector<std::int64_t>(100000, 7))});
  p.properties[0] = PropertyData::Shorts(40961, std::vector<std::int64_t>(200000, 1));
  p.properties[1] = PropertyData::Rationals(33434, std::vector<std::pair<std::int64_t, std::int64_t>>(100000, {1, 60}));
  pictures->Add("/p/many.tif", p);
  ImageFile f;
  f.Path("/p/many.tif");
  f.LoadEXIFData();
  EXPECT_EQ(f.ColorRepresentation(), "sRGB");
  EXPECT_EQ(f.ExposureTime(), "0.017sec (1/60)");
  EXPECT_EQ(f.CameraModel(), "0A");
  EXPECT_EQ(f.ISOSpeed(), "ISO-7");
  std::map<std::string, int> reads;
  for (const std::string& c : library->Calls()) {
    if (c.rfind("GdiPlusPropertyItem.", 0) == 0) ++reads[c];
  }
  const std::map<std::string, int> want = {
      {"GdiPlusPropertyItem.Bytes", 1},        {"GdiPlusPropertyItem.Count", 4},
      {"GdiPlusPropertyItem.Long 100000", 1},  {"GdiPlusPropertyItem.Rational 100000", 1},
      {"GdiPlusPropertyItem.Short 200000", 1}, {"GdiPlusPropertyItem.Type", 4},
  };
  EXPECT_EQ(reads, want);
}

}  // namespace
