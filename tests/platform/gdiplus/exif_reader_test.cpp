#include "platform/gdiplus/exif_reader.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "platform/gdiplus/test_files.h"

namespace {

using namespace platform::gdiplus;
using gdiplus_test::PutBe;
using gdiplus_test::PutLe;

constexpr std::uint64_t kNoBound = std::numeric_limits<std::uint64_t>::max();  // exiv2 sees every value

struct Field {
  std::uint16_t tag;
  std::uint16_t type;
  std::uint32_t count;
  std::vector<std::uint8_t> values;  // in the file's order; four bytes or fewer go inline
};

// A TIFF structure: the first directory, its EXIF directory (when there are
// EXIF fields), then the values that do not fit in their entries.
std::vector<std::uint8_t> Tiff(bool little, const std::vector<Field>& first, const std::vector<Field>& exif = {}) {
  std::vector<std::uint8_t> b;
  const auto put = [&](std::size_t at, std::uint64_t v, int bytes) {
    if (b.size() < at + bytes) b.resize(at + bytes);
    little ? PutLe(b, at, v, bytes) : PutBe(b, at, v, bytes);
  };
  b = {static_cast<std::uint8_t>(little ? 'I' : 'M'), static_cast<std::uint8_t>(little ? 'I' : 'M')};
  put(2, 42, 2);
  put(4, 8, 4);
  std::vector<Field> ifd0 = first;
  if (!exif.empty()) ifd0.push_back({34665, 4, 1, {}});
  const std::size_t exifAt = 8 + 2 + 12 * ifd0.size() + 4;
  std::size_t data = exifAt + (exif.empty() ? 0 : 2 + 12 * exif.size() + 4);
  const auto directory = [&](std::size_t at, const std::vector<Field>& fields) {
    put(at, fields.size(), 2);
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const Field& f = fields[i];
      const std::size_t e = at + 2 + 12 * i;
      put(e, f.tag, 2);
      put(e + 2, f.type, 2);
      put(e + 4, f.count, 4);
      if (f.tag == 34665) {
        put(e + 8, exifAt, 4);
      } else if (f.values.size() <= 4) {
        put(e + 8, 0, 4);
        std::copy(f.values.begin(), f.values.end(), b.begin() + static_cast<std::ptrdiff_t>(e + 8));
      } else {
        put(e + 8, data, 4);
        b.resize(data);
        b.insert(b.end(), f.values.begin(), f.values.end());
        data = b.size();
      }
    }
    put(at + 2 + 12 * fields.size(), 0, 4);
  };
  directory(8, ifd0);
  if (!exif.empty()) directory(exifAt, exif);
  return b;
}

// `n` values of `unit` bytes, every one `fill` but the last, which is `last`.
std::vector<std::uint8_t> Values(bool little, std::uint64_t n, int unit, std::uint64_t fill, std::uint64_t last) {
  std::vector<std::uint8_t> b(n * unit);
  for (std::uint64_t i = 0; i < n; ++i) {
    const std::uint64_t v = i + 1 == n ? last : fill;
    little ? PutLe(b, i * unit, v, unit) : PutBe(b, i * unit, v, unit);
  }
  return b;
}
// Rationals as a numerator then a denominator of four bytes each.
std::vector<std::uint8_t> Rationals(bool little, std::uint64_t n, std::uint32_t lastNumerator) {
  std::vector<std::uint8_t> b(n * 8);
  for (std::uint64_t i = 0; i < n; ++i) {
    const std::uint32_t numerator = i + 1 == n ? lastNumerator : 7;
    little ? PutLe(b, i * 8, numerator, 4) : PutBe(b, i * 8, numerator, 4);
    little ? PutLe(b, i * 8 + 4, 60, 4) : PutBe(b, i * 8 + 4, 60, 4);
  }
  return b;
}

const PropertyData* Find(const std::vector<PropertyData>& properties, long tag) {
  for (const PropertyData& p : properties) {
    if (p.tag == tag) return &p;
  }
  return nullptr;
}

// JPEG: the TIFF structure in an APP1 "Exif" block, then a frame header.
std::vector<std::uint8_t> Jpeg(const std::vector<std::uint8_t>& tiff) {
  std::vector<std::uint8_t> b = {0xFF, 0xD8, 0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
  PutBe(b, 4, 2 + 6 + tiff.size(), 2);
  b.insert(b.end(), tiff.begin(), tiff.end());
  for (std::uint8_t x : {0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x10, 0x00, 0x10, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9}) {
    b.push_back(x);
  }
  return b;
}

// PNG: the TIFF structure in an eXIf chunk, a format the cut before exiv2
// does not look into.
std::vector<std::uint8_t> Png(const std::vector<std::uint8_t>& tiff) {
  std::vector<std::uint8_t> b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const auto chunk = [&](const std::string& type, const std::vector<std::uint8_t>& body) {
    const std::size_t at = b.size();
    b.resize(at + 4);
    PutBe(b, at, body.size(), 4);
    b.insert(b.end(), type.begin(), type.end());
    b.insert(b.end(), body.begin(), body.end());
    b.insert(b.end(), 4, 0);  // CRC, which exiv2 does not check
  };
  chunk("IHDR", {0, 0, 0, 16, 0, 0, 0, 16, 8, 0, 0, 0, 0});
  chunk("eXIf", tiff);
  chunk("IEND", {});
  return b;
}

struct TrimRow {
  const char* name;
  long tag;
  long type;
  std::uint64_t count;  // values in the file
  bool inFirst;         // in the first directory, else in the EXIF directory
  long wantCount;       // what the property holds
};

constexpr std::uint64_t kBound = kExifValueBound;

const TrimRow kTrimRows[] = {
    {"2 million ColorSpace SHORTs", 40961, 3, 2'000'000, false, 1},
    {"SHORTs just under the bound", 40961, 3, kBound / 2, false, kBound / 2},
    {"SHORTs just over the bound", 40961, 3, kBound / 2 + 1, false, 1},
    {"RATIONALs just under the bound", 33434, 5, kBound / 8, false, kBound / 8},
    {"RATIONALs over the bound, the last kept at its offset", 33434, 5, 100'000, false, 1},
    {"SRATIONALs over the bound", 37380, 10, kBound / 8 + 1, false, 1},
    {"LONGs over the bound, the last kept inline", 34855, 4, kBound / 4 + 1, false, 1},
    {"UNDEFINED over the bound", 36864, 7, kBound + 1, false, 1},
    {"SHORTs of the first directory", 258, 3, kBound, true, 1},
    {"a text keeps all of it", 272, 2, kBound + 1, true, kBound + 1},
    {"SSHORTs show their length, so keep it", 39321, 8, kBound, false, kBound},
};

std::vector<std::uint8_t> RowValues(const TrimRow& row, bool little) {
  if (row.type == 5 || row.type == 10) return Rationals(little, row.count, 1);
  if (row.type == 2) return Values(little, row.count, 1, 'a', 0);
  const int unit = row.type == 4 ? 4 : row.type == 7 ? 1 : 2;
  return Values(little, row.count, unit, 2, 1);
}

TEST(GdiPlusRegressions, Long_exif_values_keep_only_their_last) {
  for (const bool little : {true, false}) {
    for (const TrimRow& row : kTrimRows) {
      SCOPED_TRACE(std::string(row.name) + (little ? " (II)" : " (MM)"));
      const Field field{static_cast<std::uint16_t>(row.tag), static_cast<std::uint16_t>(row.type),
                        static_cast<std::uint32_t>(row.count), RowValues(row, little)};
      const std::vector<Field> others = {{33437, 5, 1, Rationals(little, 1, 28)}};
      const std::vector<std::uint8_t> file =
          row.inFirst ? Tiff(little, {field}, others) : Tiff(little, {}, {field, others[0]});

      // What the picture library gave before values were cut: every value.
      const std::vector<PropertyData> whole = ReadExifProperties(file, kNoBound);
      const PropertyData* before = Find(whole, row.tag);
      ASSERT_NE(before, nullptr);
      ASSERT_EQ(static_cast<std::uint64_t>(before->count), row.count);

      const std::vector<PropertyData> properties = ReadExifProperties(file);
      const PropertyData* p = Find(properties, row.tag);
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(p->type, row.type);
      EXPECT_EQ(p->count, row.wantCount);
      const std::size_t unit = TypeSize(row.type);
      ASSERT_EQ(p->value.size(), unit * static_cast<std::size_t>(p->count));
      EXPECT_TRUE(std::equal(p->value.end() - static_cast<std::ptrdiff_t>(unit), p->value.end(),
                             before->value.end() - static_cast<std::ptrdiff_t>(unit)));
      EXPECT_EQ(Find(properties, 33437)->value, Find(whole, 33437)->value);

      // The cut happens before exiv2 reads the values, and only when needed.
      const std::optional<std::vector<std::uint8_t>> copy = KeepLastValues(file, kBound);
      EXPECT_EQ(copy.has_value(), row.wantCount == 1);
      if (copy) {
        EXPECT_EQ(Find(ReadExifProperties(*copy, kNoBound), row.tag)->count, 1);
      }
    }
  }
}

TEST(ExifReader, OtherContainersAreCutToo) {
  constexpr std::uint64_t kSmallBound = 16;  // an EXIF block of a JPEG holds no more than 64 KB
  const std::vector<std::uint8_t> tiff = Tiff(true, {}, {{40961, 3, 100, Values(true, 100, 2, 2, 1)}});
  struct Row {
    const char* name;
    std::vector<std::uint8_t> file;
    bool copied;
  };
  const Row rows[] = {{"JPEG: its EXIF block, before exiv2", Jpeg(tiff), true},
                      {"PNG: when converted", Png(tiff), false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<PropertyData> properties = ReadExifProperties(row.file, kSmallBound);
    const PropertyData* p = Find(properties, 40961);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->count, 1);
    EXPECT_EQ(p->value, (std::vector<std::uint8_t>{1, 0}));
    EXPECT_EQ(Find(ReadExifProperties(row.file, kNoBound), 40961)->count, 100);
    EXPECT_EQ(KeepLastValues(row.file, kSmallBound).has_value(), row.copied);
  }
}

// exiv2 refuses what the cut leaves alone: a value that overflows or runs
// past the end keeps no bytes.
TEST(ExifReader, DamagedDirectoriesGiveNoValues) {
  const std::vector<std::uint8_t> good = Tiff(true, {}, {{40961, 3, 40'000, Values(true, 40'000, 2, 2, 1)}});
  const std::size_t exifEntry = 8 + 2 + 12 + 4 + 2;
  struct Row {
    const char* name;
    std::size_t at;
    std::uint64_t value;
  };
  const Row rows[] = {
      {"first directory past the end", 4, 0x7FFFFFF0},
      {"EXIF directory past the end", 8 + 2 + 8, 0x7FFFFFF0},
      {"count overflows 32 bits of bytes", exifEntry + 4, 0x80000001},
      {"values past the end", exifEntry + 8, good.size() - 10},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::uint8_t> file = good;
    PutLe(file, row.at, row.value, 4);
    EXPECT_FALSE(KeepLastValues(file, kExifValueBound).has_value());
    const std::vector<PropertyData> properties = ReadExifProperties(file);
    const PropertyData* p = Find(properties, 40961);
    EXPECT_TRUE(p == nullptr || p->value.empty());
    if (row.at == 4) {
      EXPECT_TRUE(properties.empty());
    }
  }
}

}  // namespace
