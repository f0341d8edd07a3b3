#include "platform/gdiplus/gdiplus.h"

#include <algorithm>
#include <new>

#include "platform/gdiplus/file_pictures.h"
#include "runtime/error.h"

namespace platform::gdiplus {

namespace {
std::shared_ptr<Library>& Installed() {
  static std::shared_ptr<Library> library;
  return library;
}

std::uint64_t ReadLe(const std::vector<std::uint8_t>& bytes, std::uint64_t at, std::uint64_t size) {
  std::uint64_t v = 0;
  for (std::uint64_t i = 0; i < size; ++i) v |= std::uint64_t{bytes[at + i]} << (8 * i);
  return v;
}
}  // namespace

// ---- GdiPlusPropertyItem ----------------------------------------------------

GdiPlusPropertyItem::GdiPlusPropertyItem(std::shared_ptr<Library> library, PropertyData data)
    : library_(std::move(library)), data_(std::make_shared<const PropertyData>(std::move(data))) {}

GdiPlusPropertyItem::GdiPlusPropertyItem(std::shared_ptr<Library> library, std::shared_ptr<const PropertyData> data)
    : library_(std::move(library)), data_(std::move(data)) {}

long GdiPlusPropertyItem::Type() const {
  library_->Enter("GdiPlusPropertyItem.Type");
  return data_->type;
}

long GdiPlusPropertyItem::Length() const {
  library_->Enter("GdiPlusPropertyItem.Length");
  return static_cast<long>(data_->value.size());
}

long GdiPlusPropertyItem::Count() const {
  library_->Enter("GdiPlusPropertyItem.Count");
  return data_->count;
}

std::string GdiPlusPropertyItem::Text() const {
  library_->Enter("GdiPlusPropertyItem.Text");
  if (data_->type != kTypeAscii) runtime::Raise(runtime::err::kTypeMismatch);
  const auto nul = std::find(data_->value.begin(), data_->value.end(), 0);
  return std::string(data_->value.begin(), nul);
}

std::uint64_t GdiPlusPropertyItem::ValueAt(long i, long typeA, long typeB, std::string_view member) const {
  library_->Enter(member, std::to_string(i));
  if (data_->type != typeA && data_->type != typeB) runtime::Raise(runtime::err::kTypeMismatch);
  const std::uint64_t size = TypeSize(data_->type);
  if (i < 1 || i > data_->count || static_cast<std::uint64_t>(i) * size > data_->value.size()) {
    runtime::Raise(runtime::err::kSubscriptOutOfRange);
  }
  return static_cast<std::uint64_t>(i - 1) * size;
}

std::pair<std::int64_t, std::int64_t> GdiPlusPropertyItem::Rational(long i) const {
  const std::uint64_t at = ValueAt(i, kTypeRational, kTypeSRational, "GdiPlusPropertyItem.Rational");
  const auto numerator = static_cast<std::uint32_t>(ReadLe(data_->value, at, 4));
  const auto denominator = static_cast<std::uint32_t>(ReadLe(data_->value, at + 4, 4));
  if (data_->type == kTypeSRational) {
    return {static_cast<std::int32_t>(numerator), static_cast<std::int32_t>(denominator)};
  }
  return {numerator, denominator};
}

std::int32_t GdiPlusPropertyItem::Short(long i) const {
  const std::uint64_t at = ValueAt(i, kTypeShort, kTypeSShort, "GdiPlusPropertyItem.Short");
  const auto v = static_cast<std::uint16_t>(ReadLe(data_->value, at, 2));
  return data_->type == kTypeSShort ? std::int32_t{static_cast<std::int16_t>(v)} : std::int32_t{v};
}

std::int64_t GdiPlusPropertyItem::Long(long i) const {
  const std::uint64_t at = ValueAt(i, kTypeLong, kTypeSLong, "GdiPlusPropertyItem.Long");
  const auto v = static_cast<std::uint32_t>(ReadLe(data_->value, at, 4));
  return data_->type == kTypeSLong ? std::int64_t{static_cast<std::int32_t>(v)} : std::int64_t{v};
}

std::vector<std::uint8_t> GdiPlusPropertyItem::Bytes() const {
  library_->Enter("GdiPlusPropertyItem.Bytes");
  const std::size_t n =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(data_->count, 0L)), data_->value.size());
  return std::vector<std::uint8_t>(data_->value.begin(), data_->value.begin() + static_cast<std::ptrdiff_t>(n));
}

// ---- GdiPlusImage -----------------------------------------------------------

GdiPlusImage::GdiPlusImage(std::shared_ptr<Library> library) : library_(std::move(library)) {}

GdiPlusImage::~GdiPlusImage() { Release(); }

void GdiPlusImage::LoadFile(const std::string& path) {
  library_->Enter("GdiPlusImage.LoadFile", path);
  if (!library_->Running()) RaiseStatus(kErrCannotLoad, Status::NotInitialized);
  Release();
  try {
    picture_ = std::make_shared<const PictureData>(library_->Source().Load(path));
  } catch (const std::bad_alloc&) {
    RaiseStatus(kErrCannotLoad, Status::OutOfMemory);
  }
  hold_ = library_->Hold(path);
}

const PictureData& GdiPlusImage::Picture(std::string_view member, std::string_view argument) {
  library_->Enter(member, argument);
  if (!picture_) RaiseStatus(kErrCallFailed, Status::WrongState);
  return *picture_;
}

std::int32_t GdiPlusImage::Width() { return Picture("GdiPlusImage.Width").width; }
std::int32_t GdiPlusImage::Height() { return Picture("GdiPlusImage.Height").height; }
float GdiPlusImage::HorizontalResolution() { return Picture("GdiPlusImage.HorizontalResolution").horizontalResolution; }
float GdiPlusImage::VerticalResolution() { return Picture("GdiPlusImage.VerticalResolution").verticalResolution; }

std::shared_ptr<GdiPlusPropertyItem> GdiPlusImage::GetPropertyItem(long tag) {
  const PictureData& p = Picture("GdiPlusImage.GetPropertyItem", std::to_string(tag));
  if (p.nothingFor.count(tag)) return nullptr;
  for (const PropertyData& property : p.properties) {
    if (property.tag == tag) {
      return std::make_shared<GdiPlusPropertyItem>(library_, std::shared_ptr<const PropertyData>(picture_, &property));
    }
  }
  RaiseStatus(kErrCallFailed, Status::PropertyNotFound);
}

void GdiPlusImage::Dispose() {
  library_->Enter("GdiPlusImage.Dispose");
  Release();
}

void GdiPlusImage::Release() noexcept {
  picture_.reset();
  if (hold_ != 0) library_->Release(hold_);
  hold_ = 0;
}

// ---- GdiPlusSession ---------------------------------------------------------

bool GdiPlusSession::Startup() { return CurrentLibrary()->StartupSession(); }
void GdiPlusSession::Shutdown() { CurrentLibrary()->ShutdownSession(); }

// ---- Library ----------------------------------------------------------------

Library::Library(std::shared_ptr<PictureSource> source) : source_(std::move(source)) {}

void Library::Fail(std::string member, long number, std::string description, int times) {
  faults_[std::move(member)] = Fault{number, std::move(description), times};
}

std::vector<std::string> Library::HeldFiles() const {
  std::vector<std::string> files;
  for (const auto& [ticket, lock] : held_) files.push_back(lock.Path());
  return files;
}

void Library::Enter(std::string_view member, std::string_view argument) {
  if (calls_.Keeping()) {
    std::string call(member);
    if (!argument.empty()) {
      call += ' ';
      call += argument;
    }
    calls_.Add(std::move(call));
  }
  const auto it = faults_.find(member);
  if (it == faults_.end()) return;
  const Fault fault = it->second;
  if (it->second.times > 0 && --it->second.times == 0) faults_.erase(it);
  runtime::Raise(fault.number, fault.description);
}

bool Library::StartupSession() {
  Enter("GdiPlusSession.Startup");
  if (refuseStartup_) return false;
  ++users_;
  return true;
}

void Library::ShutdownSession() {
  Enter("GdiPlusSession.Shutdown");
  if (users_ > 0) --users_;
}

long Library::Hold(const std::string& path) {
  held_.emplace(nextTicket_, platform::fso::FileLock(path));
  return nextTicket_++;
}

void Library::Release(long ticket) noexcept { held_.erase(ticket); }

std::shared_ptr<Library> CurrentLibrary() {
  std::shared_ptr<Library>& library = Installed();
  if (!library) library = std::make_shared<Library>(std::make_shared<FilePictures>());
  return library;
}

std::shared_ptr<Library> SetLibrary(std::shared_ptr<Library> library) {
  std::shared_ptr<Library> previous = std::move(Installed());
  Installed() = std::move(library);
  return previous;
}

std::shared_ptr<GdiPlusSession> CreateSession() {
  CurrentLibrary()->Enter("CreateSession");
  return std::make_shared<GdiPlusSession>();
}

std::shared_ptr<GdiPlusImage> CreateImage() {
  std::shared_ptr<Library> library = CurrentLibrary();
  library->Enter("CreateImage");
  return std::make_shared<GdiPlusImage>(std::move(library));
}

}  // namespace platform::gdiplus
