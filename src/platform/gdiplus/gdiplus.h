#pragma once
// The picture loader the add-in reads pictures with: a session, images and
// their EXIF property items, with the members the add-in calls and nothing
// else.
//
//   auto image = platform::gdiplus::CreateImage();
//   image->LoadFile(path);                       // 1051 when it cannot be loaded
//   long w = image->Width();
//   auto item = image->GetPropertyItem(33434);   // 1050 "GDI+ Error 19" when absent
//
// Everything goes through a Library: the session count, where pictures come
// from (a PictureSource: the files themselves, or a script in tests), the
// files that images hold, injected failures and a record of the calls.
// CurrentLibrary() is the one in use; tests install their own.
//
// Failures, all runtime::Error:
//   1051 "GDI+ Error 10"  LoadFile: no such file, or it cannot be read
//   1051 "GDI+ Error 13"  LoadFile: not a picture, or a truncated or lying header
//   1051 "GDI+ Error 18"  LoadFile: no session is running
//   1051 "GDI+ Error 3"   LoadFile: out of memory
//   1050 "GDI+ Error 19"  GetPropertyItem: the picture has no such property
//   1050 "GDI+ Error 8"   any image member but LoadFile and Dispose: no picture held
//   9 / 13                an item's value by an index outside 1 to Count, or of another type
//
// GetPropertyItem raises for a missing property rather than returning
// nullptr, as the library did; it returns nullptr only where a scripted
// picture says so, which lets a test play a library answering "nothing".

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/fso/resolve.h"
#include "platform/gdiplus/property_data.h"
#include "platform/gdiplus/status.h"
#include "platform/seam_record.h"

namespace platform::gdiplus {

// A loaded picture: what the images report.
struct PictureData {
  std::string format;
  std::int32_t width = 0;
  std::int32_t height = 0;
  float horizontalResolution = 96.0f;
  float verticalResolution = 96.0f;
  std::vector<PropertyData> properties;  // the first of a tag wins
  std::set<long> nothingFor;             // scripted only: tags whose lookup answers nothing
};

// Where pictures come from. Load raises error 1051 when there is none.
class PictureSource {
 public:
  virtual ~PictureSource() = default;
  virtual PictureData Load(const std::string& path) = 0;
};

class Library;

class GdiPlusPropertyItem {
 public:
  GdiPlusPropertyItem(std::shared_ptr<Library> library, PropertyData data);
  // An item over the data of a loaded picture, shared rather than copied: a
  // value may be tens of megabytes.
  GdiPlusPropertyItem(std::shared_ptr<Library> library, std::shared_ptr<const PropertyData> data);

  long Type() const;         // the EXIF type, 1 to 10
  long Length() const;       // the value's length in bytes (the item's second whole number)
  long Count() const;        // number of values
  std::string Text() const;  // the ASCII value, up to its first NUL
  // Values by index from 1. A rational is {numerator, denominator}, signed
  // for type 10. Short reads types 3 and 8, Long types 4 and 9.
  std::pair<std::int64_t, std::int64_t> Rational(long i) const;
  std::int32_t Short(long i) const;
  std::int64_t Long(long i) const;
  std::vector<std::uint8_t> Bytes() const;  // Count bytes of the value

  const PropertyData& Data() const { return *data_; }

 private:
  std::uint64_t ValueAt(long i, long typeA, long typeB, std::string_view member) const;

  std::shared_ptr<Library> library_;
  std::shared_ptr<const PropertyData> data_;
};

class GdiPlusImage {
 public:
  explicit GdiPlusImage(std::shared_ptr<Library> library);
  ~GdiPlusImage();  // lets go of the file, as Dispose
  GdiPlusImage(const GdiPlusImage&) = delete;
  GdiPlusImage& operator=(const GdiPlusImage&) = delete;

  void LoadFile(const std::string& path);
  std::int32_t Width();
  std::int32_t Height();
  float HorizontalResolution();
  float VerticalResolution();
  std::shared_ptr<GdiPlusPropertyItem> GetPropertyItem(long tag);
  void Dispose();

 private:
  const PictureData& Picture(std::string_view member, std::string_view argument = {});
  void Release() noexcept;

  std::shared_ptr<Library> library_;
  std::shared_ptr<const PictureData> picture_;  // items share it
  long hold_ = 0;                               // the library's ticket for the file held, 0 for none
};

// The one session of the library; Startup and Shutdown are counted, so the
// session ends only when the last user has shut it down. A session object
// works on whatever library is current when it is called.
class GdiPlusSession {
 public:
  bool Startup();  // true: the session runs
  void Shutdown();
};

class Library {
 public:
  explicit Library(std::shared_ptr<PictureSource> source);

  PictureSource& Source() { return *source_; }

  // Session state.
  bool Running() const { return users_ > 0; }
  int Users() const { return users_; }

  // Test seam. A member is named "Class.Member" ("GdiPlusImage.LoadFile");
  // CreateImage and CreateSession are "CreateImage" and "CreateSession".
  // The next `times` calls of it raise the error (-1: every call).
  void Fail(std::string member, long number, std::string description, int times = -1);
  void ClearFaults() { faults_.clear(); }
  // Startup answers false, without raising, while this is set.
  void RefuseStartup(bool refuse) { refuseStartup_ = refuse; }
  // Every call in order: "GdiPlusImage.LoadFile /tmp/a.jpg", "GdiPlusImage.GetPropertyItem 40961".
  const std::vector<std::string>& Calls() const { return calls_.Entries(); }
  void ClearCalls() { calls_.Clear(); }
  // The files that images have loaded and not yet let go of, in the order
  // they were loaded. Each is locked (platform::fso::FileLock) meanwhile, as
  // the original library kept a loaded file locked until Dispose.
  std::vector<std::string> HeldFiles() const;

  // Used by the classes above.
  void Enter(std::string_view member, std::string_view argument = {});
  bool StartupSession();
  void ShutdownSession();
  long Hold(const std::string& path);
  void Release(long ticket) noexcept;

 private:
  struct Fault {
    long number;
    std::string description;
    int times;
  };

  std::shared_ptr<PictureSource> source_;
  int users_ = 0;
  bool refuseStartup_ = false;
  std::map<std::string, Fault, std::less<>> faults_;
  platform::SeamRecord<std::string> calls_;
  std::map<long, platform::fso::FileLock> held_;
  long nextTicket_ = 1;
};

// The library in use: by default one over the picture files themselves.
std::shared_ptr<Library> CurrentLibrary();
// Installs a library (nullptr: back to the default one) and returns the one
// that was in use.
std::shared_ptr<Library> SetLibrary(std::shared_ptr<Library> library);

std::shared_ptr<GdiPlusSession> CreateSession();
std::shared_ptr<GdiPlusImage> CreateImage();

}  // namespace platform::gdiplus
