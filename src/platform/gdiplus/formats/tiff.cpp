// TIFF: the first directory gives size, resolution and where the pixel
// data lies; strips or tiles that lie outside the file are a lie. The same
// directory reader serves the EXIF block of a JPEG for its resolution, its
// orientation and the thumbnail its second directory may point at.

#include <limits>
#include <vector>

#include "platform/gdiplus/formats/formats.h"
#include "runtime/error.h"

namespace platform::gdiplus::tiff {

namespace {
enum Tag : std::uint16_t {
  kImageWidth = 256,
  kImageLength = 257,
  kStripOffsets = 273,
  kStripByteCounts = 279,
  kXResolution = 282,
  kYResolution = 283,
  kResolutionUnit = 296,
  kOrientation = 274,
  kThumbnailOffset = 513,
  kThumbnailLength = 514,
  kTileOffsets = 324,
  kTileByteCounts = 325,
};
enum Type : std::uint16_t { kShort = 3, kLong = 4, kRational = 5, kIfd = 13 };
constexpr std::uint16_t kExifPointer = 34665;

// Bytes per value of the types 1 to 12; 0 for any other.
std::uint64_t UnitSize(std::uint16_t type) {
  constexpr std::uint8_t kSizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
  return type < std::size(kSizes) ? kSizes[type] : 0;
}

// Entries that lead to other directories: cutting them would change which
// directories there are.
bool IsPointer(std::uint16_t tag) { return tag == 330 || tag == kExifPointer || tag == 34853 || tag == 40965; }

struct Entry {
  std::uint16_t tag = 0;
  std::uint16_t type = 0;
  std::uint32_t count = 0;
  std::uint64_t fieldAt = 0;  // where the value, or its offset, is
};

class Directory {
 public:
  // The first directory, or with `second` the one that follows it (none
  // there: an empty directory).
  explicit Directory(ByteView data, bool second = false) : v_(data) {
    ReadHeader();
    std::uint64_t at = U32(4);
    if (second) {
      at = U32(at + 2 + 12ull * U16(at));
      if (at == 0) return;
    }
    ReadEntries(at);
  }
  // The directory at `at`, counted from the start of the structure.
  static Directory At(ByteView data, std::uint64_t at) {
    Directory d;
    d.v_ = data;
    d.ReadHeader();
    d.ReadEntries(at);
    return d;
  }

  const Entry* Find(std::uint16_t tag) const {
    for (const Entry& e : entries_) {
      if (e.tag == tag) return &e;
    }
    return nullptr;
  }

  // Value i of a SHORT or LONG entry.
  std::uint32_t Number(const Entry& e, std::uint32_t i) const {
    if (i >= e.count) RejectPicture();
    if (e.type == kShort) return U16(ValueAt(e, 2) + 2ull * i);
    if (e.type == kLong) return U32(ValueAt(e, 4) + 4ull * i);
    RejectPicture();
  }

  // A RATIONAL entry's first value; nothing for a zero denominator.
  std::optional<double> Ratio(const Entry& e) const {
    if (e.type != kRational || e.count == 0) RejectPicture();
    const std::uint64_t at = ValueAt(e, 8);
    const std::uint32_t den = U32(at + 4);
    if (den == 0) return std::nullopt;
    return static_cast<double>(U32(at)) / den;
  }

  std::uint64_t size() const { return v_.size(); }
  // The value field read as one 32-bit number, whatever the entry's type.
  std::uint32_t Inline32(const Entry& e) const { return U32(e.fieldAt); }

  // Entries whose values take more than `bound` bytes, rewritten to hold
  // their last value alone. Values that do not lie wholly in the data, or
  // whose size overflows 32 bits, are left for the reader to refuse.
  void KeepLastValues(std::uint64_t bound, bool (*trimmed)(std::uint16_t type), std::vector<EntryPatch>& out) const {
    for (const Entry& e : entries_) {
      const std::uint64_t unit = UnitSize(e.type);
      if (unit == 0 || !trimmed(e.type) || IsPointer(e.tag)) continue;
      const std::uint64_t bytes = unit * e.count;
      if (bytes <= bound || bytes > std::numeric_limits<std::uint32_t>::max()) continue;
      const std::uint64_t at = U32(e.fieldAt);
      if (!v_.Has(at, bytes)) continue;
      const std::uint64_t last = at + bytes - unit;
      EntryPatch patch{e.fieldAt - 4, {}};
      PutU32(patch.bytes.data(), 1);
      if (unit <= 4) {
        for (std::uint64_t i = 0; i < unit; ++i) patch.bytes[4 + i] = v_.U8(last + i);
      } else {
        PutU32(patch.bytes.data() + 4, static_cast<std::uint32_t>(last));
      }
      out.push_back(patch);
    }
  }

 private:
  Directory() = default;

  void ReadHeader() {
    if (v_.StartsWith(0, "II")) {
      little_ = true;
    } else if (!v_.StartsWith(0, "MM")) {
      RejectPicture();
    }
    if (U16(2) != 42) RejectPicture();
  }
  void ReadEntries(std::uint64_t at) {
    const std::uint16_t n = U16(at);
    if (n == 0) RejectPicture();
    v_.Slice(at + 2, 12ull * n);
    entries_.reserve(n);
    for (std::uint64_t i = 0; i < n; ++i) {
      const std::uint64_t e = at + 2 + 12 * i;
      entries_.push_back(Entry{U16(e), U16(e + 2), U32(e + 4), e + 8});
    }
  }
  void PutU32(std::uint8_t* to, std::uint32_t v) const {
    for (int i = 0; i < 4; ++i) to[little_ ? i : 3 - i] = static_cast<std::uint8_t>(v >> (8 * i));
  }

  // Values of up to four bytes sit in the entry itself, longer ones at the
  // offset it holds; the whole array must lie in the data.
  std::uint64_t ValueAt(const Entry& e, std::uint64_t unit) const {
    const std::uint64_t bytes = unit * e.count;
    const std::uint64_t at = bytes <= 4 ? e.fieldAt : U32(e.fieldAt);
    v_.Slice(at, bytes);
    return at;
  }
  std::uint16_t U16(std::uint64_t at) const { return little_ ? v_.U16le(at) : v_.U16be(at); }
  std::uint32_t U32(std::uint64_t at) const { return little_ ? v_.U32le(at) : v_.U32be(at); }

  ByteView v_;
  bool little_ = false;
  std::vector<Entry> entries_;
};

std::optional<Resolution> ResolutionOf(const Directory& d) {
  const Entry* x = d.Find(kXResolution);
  const Entry* y = d.Find(kYResolution);
  if (!x || !y) return std::nullopt;
  const Entry* unitEntry = d.Find(kResolutionUnit);
  const std::uint32_t unit = unitEntry ? d.Number(*unitEntry, 0) : 2;  // inches unless said otherwise
  const std::optional<double> dx = d.Ratio(*x);
  const std::optional<double> dy = d.Ratio(*y);
  if (!dx || !dy || *dx <= 0 || *dy <= 0) return std::nullopt;
  if (unit == 2) return Resolution{*dx, *dy};
  if (unit == 3) return Resolution{*dx * 2.54, *dy * 2.54};
  return std::nullopt;
}

int OrientationOf(const Directory& d) {
  // A tag of a strange type or count is not worth refusing the picture for.
  const Entry* e = d.Find(kOrientation);
  if (!e || e->count == 0 || (e->type != kShort && e->type != kLong)) return 1;
  const std::uint32_t value = d.Number(*e, 0);
  return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
}

// Every strip or tile named by the offsets/byte-counts pair lies in the file.
bool DataLiesInFile(const Directory& d, std::uint16_t offsetsTag, std::uint16_t countsTag) {
  const Entry* offsets = d.Find(offsetsTag);
  const Entry* counts = d.Find(countsTag);
  if (!offsets || !counts) return false;
  if (offsets->count == 0 || offsets->count != counts->count) RejectPicture();
  for (std::uint32_t i = 0; i < offsets->count; ++i) {
    const std::uint64_t at = d.Number(*offsets, i);
    const std::uint64_t bytes = d.Number(*counts, i);
    if (at > d.size() || bytes > d.size() - at) RejectPicture();
  }
  return true;
}
}  // namespace

bool Sniff(std::span<const std::uint8_t> data) noexcept {
  const ByteView v(data);
  return v.StartsWith(0, std::string_view("II*\0", 4)) || v.StartsWith(0, std::string_view("MM\0*", 4));
}

PictureHeader Read(std::span<const std::uint8_t> data) {
  const Directory d{ByteView(data)};
  const Entry* width = d.Find(kImageWidth);
  const Entry* height = d.Find(kImageLength);
  if (!width || !height) RejectPicture();
  PictureHeader h{"TIFF"};
  h.width = CheckedExtent(d.Number(*width, 0));
  h.height = CheckedExtent(d.Number(*height, 0));
  if (!DataLiesInFile(d, kStripOffsets, kStripByteCounts) && !DataLiesInFile(d, kTileOffsets, kTileByteCounts)) {
    RejectPicture();
  }
  if (const std::optional<Resolution> r = ResolutionOf(d)) {
    h.horizontalDpi = r->horizontalDpi;
    h.verticalDpi = r->verticalDpi;
  }
  h.orientation = OrientationOf(d);
  return h;
}

std::optional<Resolution> ReadResolution(ByteView tiffData) { return ResolutionOf(Directory(tiffData)); }

int ReadOrientation(ByteView tiffData) { return OrientationOf(Directory(tiffData)); }

std::optional<Thumbnail> ReadThumbnail(ByteView tiffData) {
  const Directory d(tiffData, true);
  const Entry* offset = d.Find(kThumbnailOffset);
  const Entry* length = d.Find(kThumbnailLength);
  if (!offset || !length) return std::nullopt;
  const Thumbnail t{d.Number(*offset, 0), d.Number(*length, 0)};
  if (t.length == 0 || !tiffData.Has(t.offset, t.length)) return std::nullopt;
  return t;
}

std::vector<EntryPatch> KeepLastValues(ByteView tiffData, std::uint64_t bound, bool (*trimmed)(std::uint16_t type)) {
  std::vector<EntryPatch> patches;
  std::uint64_t exifAt = 0;
  try {
    const Directory first(tiffData);
    first.KeepLastValues(bound, trimmed, patches);
    const Entry* exif = first.Find(kExifPointer);
    if (exif && exif->count == 1 && (exif->type == kLong || exif->type == kIfd)) exifAt = first.Inline32(*exif);
  } catch (const runtime::Error&) {
    return patches;
  }
  if (exifAt == 0) return patches;
  try {
    Directory::At(tiffData, exifAt).KeepLastValues(bound, trimmed, patches);
  } catch (const runtime::Error&) {
  }
  return patches;
}

}  // namespace platform::gdiplus::tiff
