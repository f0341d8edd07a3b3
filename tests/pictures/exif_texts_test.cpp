// The display texts of the EXIF properties, rule by rule, with their
// failure texts.

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "pictures/exif_names.h"
#include "pictures/image_file.h"
#include "runtime/locale.h"

namespace {

using lumivane::ImageFile;

// Each text property by name: its Let and its Get.
struct Property {
  std::function<void(ImageFile&, const std::string&)> let;
  std::function<std::string(const ImageFile&)> get;
};

#define PROPERTY(name)                                             \
  {                                                                \
#name, Property {                                              \
      [](ImageFile& f, const std::string& raw) { f.name(raw); },   \
          [](const ImageFile& f) { return std::string(f.name()); } \
    }                                                              \
  }

const std::map<std::string, Property> kProperties = {
    PROPERTY(ColorRepresentation),  PROPERTY(ExposureProgram),  PROPERTY(LightSource),
    PROPERTY(MeteringMode),         PROPERTY(FlashMode),        PROPERTY(ISOSpeed),
    PROPERTY(ExposureTime),         PROPERTY(ShutterSpeed),     PROPERTY(FNumber),
    PROPERTY(LensAperture),         PROPERTY(FocalLength),      PROPERTY(SubjectDistance),
    PROPERTY(ExposureCompensation), PROPERTY(DatePictureTaken), PROPERTY(CameraModel),
    PROPERTY(CreationSoftware),     PROPERTY(EquipmentMake),
};
#undef PROPERTY

struct Row {
  const char* property;
  const char* raw;
  const char* want;
};

const Row kRows[] = {
    // Codes are exact texts.
    {"ColorRepresentation", "1", "sRGB"},
    {"ColorRepresentation", "65535", "uncalibrated"},
    {"ColorRepresentation", "01", "uncalibrated"},
    {"ColorRepresentation", "", "uncalibrated"},
    {"ExposureProgram", "0", "not defined"},
    {"ExposureProgram", "1", "Manual"},
    {"ExposureProgram", "2", "Normal"},
    {"ExposureProgram", "3", "Aperture Prority"},
    {"ExposureProgram", "4", "Shutter Prority"},
    {"ExposureProgram", "5", "Creative (slow)"},
    {"ExposureProgram", "6", "Action (fast)"},
    {"ExposureProgram", "7", "Portrait"},
    {"ExposureProgram", "8", "Landscape"},
    {"ExposureProgram", "9", "(unknown)"},
    {"ExposureProgram", "02", "(unknown)"},
    {"ExposureProgram", " 1", "(unknown)"},
    {"LightSource", "0", "(unknown)"},
    {"LightSource", "1", "Daylight"},
    {"LightSource", "2", "Fluorescent"},
    {"LightSource", "3", "Tungsten"},
    {"LightSource", "4", "(reserved)"},
    {"LightSource", "10", "Flash"},
    {"LightSource", "17", "Standard Light A"},
    {"LightSource", "18", "Standard Light B"},
    {"LightSource", "19", "Standard Light C"},
    {"LightSource", "20", "D55"},
    {"LightSource", "21", "D65"},
    {"LightSource", "22", "D75"},
    {"LightSource", "255", "Other"},
    {"LightSource", "11", "(reserved)"},
    {"MeteringMode", "0", "Unknown"},
    {"MeteringMode", "1", "Average"},
    {"MeteringMode", "2", "Center Weighted Average"},
    {"MeteringMode", "3", "Spot"},
    {"MeteringMode", "4", "Multi-spot"},
    {"MeteringMode", "5", "Multi-segment/Pattern"},
    {"MeteringMode", "6", "Partial"},
    {"MeteringMode", "255", "Other"},
    {"MeteringMode", "7", "(reserved)"},
    {"FlashMode", "0", "No Flash"},
    {"FlashMode", "1", "Flash Fired"},
    {"FlashMode", "5", "Flash Fired - strobe return light not detected"},
    {"FlashMode", "7", "Flash Fired - strobe return light detected"},
    {"FlashMode", "25", "25 (unknown)"},
    {"ISOSpeed", "100", "ISO-100"},
    {"ISOSpeed", "", "ISO-"},
    // Seconds rounded to 3 decimals, then in sixtieths (halves to even).
    {"ExposureTime", "1/60", "0.017sec (1/60)"},
    {"ExposureTime", "1/2", "0.5sec (30/60)"},
    {"ExposureTime", "5", "1sec (60/60)"},
    {"ExposureTime", "1/8", "0.125sec (8/60)"},
    {"ExposureTime", "10/1250", "0.008sec (0/60)"},
    {"ExposureTime", "1/4000", "0sec (0/60)"},
    {"ExposureTime", "30/1", "30sec (1800/60)"},
    {"ExposureTime", "1/0", "0sec (0/60)"},
    {"ExposureTime", "0/0", "0sec (0/60)"},
    {"ExposureTime", "a/b", "0sec (0/60)"},
    {"ExposureTime", "1/2/4", "0.25sec (15/60)"},  // a before the first "/", b after the last
    {"ShutterSpeed", "20/3", "0.15sec (9/60)"},
    {"ShutterSpeed", "23917/4049", "0.169sec (10/60)"},
    {"ShutterSpeed", "0/1", "0sec (0/60)"},
    {"FNumber", "28/10", "F/2.8 (raw: 28/10)"},
    {"FNumber", "14/5", "F/2.8 (raw: 14/5)"},
    {"FNumber", "25/100", "F/0.2 (raw: 25/100)"},
    {"FNumber", "5/0", "F/5/0"},
    {"FNumber", "x", "F/x"},
    {"LensAperture", "5/1", "F/5"},
    {"LensAperture", "497/100", "F/5"},
    {"LensAperture", "24361/8200", "F/3"},
    {"LensAperture", "5/0", "F/0"},
    {"FocalLength", "63/10", "6 mm"},
    {"FocalLength", "65/10", "6 mm"},
    {"FocalLength", "75/10", "8 mm"},
    {"FocalLength", "5/0", "5/0 (raw)"},
    {"FocalLength", "abc", "abc (raw)"},
    // The unit is chosen by comparing the parts as texts.
    {"SubjectDistance", "5/10", "0.5 m"},
    {"SubjectDistance", "1/2", "500 mm"},
    {"SubjectDistance", "10/3", "3333 mm"},
    {"SubjectDistance", "0/1", "0 mm"},
    {"SubjectDistance", "1/1", "1000 mm"},
    {"SubjectDistance", "3/2", "1.5 m"},
    {"SubjectDistance", "25/10", "2.5 m"},
    {"SubjectDistance", "100/3", "100/3"},
    {"SubjectDistance", "1/0", "1/0"},
    {"SubjectDistance", "0/0", "0/0"},
    {"ExposureCompensation", "-2/3", "-1 step"},
    {"ExposureCompensation", "-1/3", "0 step"},
    {"ExposureCompensation", "3/2", "2 step"},
    {"ExposureCompensation", "-3/2", "-2 step"},
    {"ExposureCompensation", "1/2", "0 step"},
    {"ExposureCompensation", "0/3", "0 step"},
    {"ExposureCompensation", "0/0", "0 step"},
    {"ExposureCompensation", "1.5", "1.5 step"},
    {"ExposureCompensation", "1/0", "1/0 step"},
    {"ExposureCompensation", "40000/1", "40000/1 step"},
    {"ExposureCompensation", "1/2/3", "1/2/3 step"},
    {"ExposureCompensation", "", " step"},
    {"DatePictureTaken", "2004:05:17 14:03:22", "5/17/2004 02:03 PM"},
    {"DatePictureTaken", "2006:11:30 23:59:59", "11/30/2006 11:59 PM"},
    {"DatePictureTaken", "2005:01:02 00:30:00", "1/2/2005 12:30 AM"},
    {"DatePictureTaken", "2004:02:29 12:00:00", "2/29/2004 12:00 PM"},
    // What is no date or time stays as it stands.
    {"DatePictureTaken", "0000:00:00 00:00:00", "0000/00/00 12:00 AM"},
    {"DatePictureTaken", "2003:02:29 25:00:00", "2003/02/29 25:00:00"},
    {"DatePictureTaken", "    :  :     :  :  ", "    /  /     :  :  "},
    {"DatePictureTaken", "2004:05:17", "5/17/2004 "},
    {"CameraModel", " Fotrix Z10 ", " Fotrix Z10 "},
    {"CreationSoftware", "PixelForge 2.1", "PixelForge 2.1"},
    {"EquipmentMake", "", ""},
};

TEST(ExifTexts, EveryRule) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(std::string(row.property) + " \"" + row.raw + "\"");
    ImageFile f;
    const Property& p = kProperties.at(row.property);
    p.let(f, row.raw);
    EXPECT_EQ(p.get(f), row.want);
  }
}

TEST(ExifTexts, ColourSpaceSetsHasEXIFDataForGood) {
  ImageFile f;
  EXPECT_FALSE(f.HasEXIFData());
  f.ColorRepresentation("2");
  EXPECT_FALSE(f.HasEXIFData());
  f.ColorRepresentation("1");
  EXPECT_TRUE(f.HasEXIFData());
  f.ColorRepresentation("2");
  EXPECT_EQ(f.ColorRepresentation(), "uncalibrated");
  EXPECT_TRUE(f.HasEXIFData());
}

// Beyond the 16-bit range only the rounding fails, and the earlier text stays.
TEST(ExifTexts, FocalLengthKeepsItsTextWhenOnlyTheRoundingFails) {
  ImageFile f;
  f.FocalLength("63/10");
  f.FocalLength("40000/1");
  EXPECT_EQ(f.FocalLength(), "6 mm");
  f.FocalLength("327675/10");  // 32767.5 rounds to the even 32768
  EXPECT_EQ(f.FocalLength(), "6 mm");
  f.FocalLength("327665/10");
  EXPECT_EQ(f.FocalLength(), "32766 mm");
}

TEST(ExifTexts, NumbersUseTheUsersDecimalSeparator) {
  runtime::Locale comma;
  comma.decimalSeparator = ",";
  runtime::SetLocale(comma);
  ImageFile f;
  f.FNumber("28/10");
  f.ExposureTime("1/60");
  f.SubjectDistance("5/10");
  runtime::SetLocale(runtime::Locale{});
  EXPECT_EQ(f.FNumber(), "F/2,8 (raw: 28/10)");
  EXPECT_EQ(f.ExposureTime(), "0,017sec (1/60)");
  EXPECT_EQ(f.SubjectDistance(), "0,5 m");
}

TEST(ExifTexts, PropertyNamesByNumber) {
  const char* const names[] = {"",
                               "DatePictureTaken",
                               "BitDepth",
                               "FrameCount",
                               "EquipmentMake",
                               "CameraModel",
                               "CreationSoftware",
                               "ColorRepresentation",
                               "ShutterSpeed",
                               "LensAperture",
                               "SubjectDistance",
                               "FlashMode",
                               "FocalLength",
                               "FNumber",
                               "ExposureTime",
                               "ISOSpeed",
                               "MeteringMode",
                               "LightSource",
                               "ExposureProgram",
                               "ExposureCompensation",
                               ""};
  for (long n = 0; n <= 20; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(lumivane::modPictureAttachments::GetEXIFPropertyNameByEnum(n), names[n]);
  }
  EXPECT_EQ(lumivane::modPictureAttachments::GetEXIFPropertyNameByEnum(-1), "");
  EXPECT_EQ(lumivane::modPictureAttachments::GetEXIFPropertyNameByEnum(
                static_cast<long>(lumivane::lvwEXIFProperty::ExposureCompensation)),
            "ExposureCompensation");
}

TEST(ExifTexts, OneLineText) {
  const struct {
    const char* name;
    std::string_view raw, want;
  } rows[] = {
      {"plain", "Fotrix Z10", "Fotrix Z10"},
      {"line breaks and tabs become one blank", "Fotrix\r\n\tZ10\n", "Fotrix Z10"},
      {"other controls go", "Fo\x1B[31mtrix\x7F", "Fo[31mtrix"},
      {"bidi override and pop go", "\xE2\x80\xAEgpj.exe\xE2\x80\xAC", "gpj.exe"},
      {"isolates and marks go",
       "a\xE2\x81\xA6"
       "b\xE2\x81\xA9\xE2\x80\x8F"
       "c\xD8\x9C",
       "abc"},
      {"line separator is a break",
       "a\xE2\x80\xA8"
       "b",
       "a b"},
      {"other characters stay", "Caf\xC3\xA9 \xE2\x80\x94 \xE2\x80\x99", "Caf\xC3\xA9 \xE2\x80\x94 \xE2\x80\x99"},
      {"a cut sequence stays", "end\xE2\x80", "end\xE2\x80"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(lumivane::OneLineText(row.raw), row.want);
  }
}

}  // namespace
