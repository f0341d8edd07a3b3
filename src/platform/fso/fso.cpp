#include "platform/fso/fso.h"

#include <unistd.h>  // getpid: a temporary name of our own
#include <atomic>
#include <filesystem>
#include <system_error>

#include "platform/fso/resolve.h"
#include "platform/path.h"
#include "runtime/error.h"
#include "runtime/text.h"

namespace platform::fso {

namespace fs = std::filesystem;
constexpr char kSep = platform::kPathSeparator;
namespace err = runtime::err;

namespace {

// The original's number for a failed file-system call.
long NumberFor(const std::error_code& ec, long notFound) {
  if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory) return notFound;
  if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted ||
      ec == std::errc::read_only_file_system || ec == std::errc::device_or_resource_busy ||
      ec == std::errc::directory_not_empty || ec == std::errc::is_a_directory)
    return err::kPermissionDenied;
  if (ec == std::errc::file_exists) return err::kFileAlreadyExists;
  if (ec == std::errc::no_space_on_device) return 61;  // Disk full
  return err::kPathFileAccessError;
}

// The system's reason goes with the number: "Path/File access error" alone
// does not tell a name too long from a disk gone away.
[[noreturn]] void RaiseFor(const std::error_code& ec, long notFound) {
  const long number = NumberFor(ec, notFound);
  const std::string text = runtime::DefaultDescription(number);
  const std::string reason = ec.message();
  runtime::Raise(number, runtime::TextEqual(text, reason) ? text : text + ": " + reason);
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

// Anything but a folder: a regular file, a link to one, a device.
bool IsFile(const std::string& path) {
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  return !ec && fs::exists(st) && !fs::is_directory(st);
}

std::string LastComponent(std::string_view path) {
  while (path.size() > 1 && path.back() == kSep) path.remove_suffix(1);
  const std::size_t slash = path.rfind(kSep);
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ParentOf(const std::string& resolved) {
  const std::size_t slash = resolved.rfind(kSep);
  if (slash == std::string::npos) return ".";
  if (slash == 0) return std::string(1, kSep);
  return resolved.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == kSep) return folder + name;
  return folder + kSep + name;
}

// The read-only attribute of the original is the owner's write bit here.
bool IsReadOnly(const std::string& path) {
  std::error_code ec;
  const fs::perms p = fs::status(path, ec).permissions();
  return !ec && (p & fs::perms::owner_write) == fs::perms::none;
}

void DeleteResolved(const std::string& resolved, bool force) {
  if (!IsFile(resolved)) runtime::Raise(err::kFileNotFound);
  if (IsLocked(resolved)) runtime::Raise(err::kPermissionDenied);
  if (!force && IsReadOnly(resolved)) runtime::Raise(err::kPermissionDenied);
  std::error_code ec;
  if (!fs::remove(resolved, ec) || ec) RaiseFor(ec, err::kFileNotFound);
}

void RequirePath(std::string_view path) {
  if (path.empty()) runtime::Raise(err::kInvalidProcedureCall);
}

FileSystemObjectProvider& Provider() {
  static FileSystemObjectProvider provider;
  return provider;
}

}  // namespace

// ---- Seam ----

void Seam::Fail(std::string member, long number, std::string description, int times) {
  faults_[std::move(member)] = Fault{number, std::move(description), times};
}

void Seam::GiveNothing(std::string member, bool on) { nothing_[std::move(member)] = on; }

void Seam::Heal(const std::string& member) {
  faults_.erase(member);
  nothing_.erase(member);
}

void Seam::HealAll() {
  faults_.clear();
  nothing_.clear();
}

std::vector<std::string> Seam::CallsOf(std::string_view member) const {
  std::vector<std::string> out;
  for (const auto& c : calls_.Entries())
    if (c.member == member) out.push_back(c.argument);
  return out;
}

bool Seam::Enter(std::string_view member, std::string_view argument) {
  if (calls_.Keeping()) calls_.Add(Call{std::string(member), std::string(argument)});
  auto it = faults_.find(member);
  if (it != faults_.end() && it->second.times != 0) {
    const Fault fault = it->second;
    if (it->second.times > 0 && --it->second.times == 0) faults_.erase(it);
    runtime::Raise(fault.number, fault.description);
  }
  auto nothing = nothing_.find(member);
  return nothing != nothing_.end() && nothing->second;
}

// ---- File ----

File::File(std::shared_ptr<Seam> seam, std::string path) : seam_(std::move(seam)), path_(std::move(path)) {}

std::string File::Name() const {
  seam_->Enter("File.Name", path_);
  return LastComponent(path_);
}

std::int64_t File::Size() const {
  seam_->Enter("File.Size", path_);
  const std::string resolved = ResolvePath(path_);
  if (!IsFile(resolved)) runtime::Raise(err::kFileNotFound);
  std::error_code ec;
  const auto size = fs::file_size(resolved, ec);
  if (ec) RaiseFor(ec, err::kFileNotFound);
  return static_cast<std::int64_t>(size);
}

void File::Delete(bool force) {
  seam_->Enter("File.Delete", path_);
  DeleteResolved(ResolvePath(path_), force);
}

// ---- Folder ----

Folder::Folder(std::shared_ptr<Seam> seam, std::string path) : seam_(std::move(seam)), path_(std::move(path)) {}

std::string Folder::Name() const {
  seam_->Enter("Folder.Name", path_);
  return LastComponent(path_);
}

std::vector<std::shared_ptr<File>> Folder::Files() const {
  seam_->Enter("Folder.Files", path_);
  const std::string resolved = ResolvePath(path_);
  if (!IsFolder(resolved)) runtime::Raise(err::kPathNotFound);
  std::vector<std::shared_ptr<File>> files;
  for (const std::string& name : ListFolder(resolved, EntryKind::Files))
    files.push_back(std::make_shared<File>(seam_, Join(resolved, name)));
  return files;
}

// ---- TextStream ----

TextStream::TextStream(std::shared_ptr<Seam> seam, std::string path) : seam_(std::move(seam)), path_(std::move(path)) {
  static std::atomic<unsigned> counter{0};
  const std::string parent = ParentOf(path_);
  temp_ =
      Join(parent, "." + LastComponent(path_) + ".~" + std::to_string(::getpid()) + "." + std::to_string(++counter));
  out_.open(temp_, std::ios::binary | std::ios::trunc);
  if (!out_) runtime::Raise(err::kPermissionDenied);
  open_ = true;
}

TextStream::~TextStream() {
  if (!open_) return;
  try {
    Close();
  } catch (...) {
    std::error_code ec;
    fs::remove(temp_, ec);
  }
}

void TextStream::Check(std::string_view member, std::string_view argument) {
  seam_->Enter(member, argument);
  if (!open_) runtime::Raise(54, "Bad file mode");
}

void TextStream::Write(std::string_view text) {
  Check("TextStream.Write", text);
  out_.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out_) runtime::Raise(57);  // Device I/O error
}

void TextStream::WriteLine(std::string_view text) {
  Check("TextStream.WriteLine", text);
  out_.write(text.data(), static_cast<std::streamsize>(text.size()));
  out_.write("\r\n", 2);
  if (!out_) runtime::Raise(57);
}

void TextStream::Close() {
  if (!open_) return;
  open_ = false;
  std::error_code ec;
  try {
    seam_->Enter("TextStream.Close", path_);
  } catch (...) {
    out_.close();
    fs::remove(temp_, ec);
    throw;
  }
  out_.close();
  if (out_.fail()) {
    fs::remove(temp_, ec);
    runtime::Raise(57);
  }
  // The target may have been made or locked meanwhile: resolve again.
  const std::string target = ResolvePath(path_);
  if (IsLocked(target)) {
    fs::remove(temp_, ec);
    runtime::Raise(err::kPermissionDenied);
  }
  fs::rename(temp_, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp_, ignored);
    RaiseFor(ec, err::kPathNotFound);
  }
}

// ---- FileSystemObject ----

FileSystemObject::FileSystemObject() : seam_(std::make_shared<Seam>()) {}

bool FileSystemObject::FolderExists(std::string_view path) {
  seam_->Enter("FolderExists", path);
  return !path.empty() && IsFolder(ResolvePath(path));
}

bool FileSystemObject::FileExists(std::string_view path) {
  seam_->Enter("FileExists", path);
  return !path.empty() && IsFile(ResolvePath(path));
}

std::shared_ptr<Folder> FileSystemObject::GetFolder(std::string_view path) {
  if (seam_->Enter("GetFolder", path)) return nullptr;
  RequirePath(path);
  std::string resolved = ResolvePath(path);
  if (!IsFolder(resolved)) runtime::Raise(err::kPathNotFound);
  return std::make_shared<Folder>(seam_, std::move(resolved));
}

std::shared_ptr<File> FileSystemObject::GetFile(std::string_view path) {
  if (seam_->Enter("GetFile", path)) return nullptr;
  RequirePath(path);
  std::string resolved = ResolvePath(path);
  if (!IsFile(resolved)) runtime::Raise(err::kFileNotFound);
  return std::make_shared<File>(seam_, std::move(resolved));
}

std::shared_ptr<Folder> FileSystemObject::CreateFolder(std::string_view path) {
  if (seam_->Enter("CreateFolder", path)) return nullptr;
  RequirePath(path);
  std::string resolved = ResolvePath(path);
  std::error_code ec;
  if (fs::exists(fs::symlink_status(resolved, ec))) runtime::Raise(err::kFileAlreadyExists);
  if (!IsFolder(ParentOf(resolved))) runtime::Raise(err::kPathNotFound);
  if (!fs::create_directory(resolved, ec) || ec) RaiseFor(ec, err::kPathNotFound);
  return std::make_shared<Folder>(seam_, std::move(resolved));
}

void FileSystemObject::DeleteFile(std::string_view path, bool force) {
  seam_->Enter("DeleteFile", path);
  RequirePath(path);
  DeleteResolved(ResolvePath(path), force);
}

std::string FileSystemObject::GetBaseName(std::string_view path) {
  seam_->Enter("GetBaseName", path);
  std::string name = LastComponent(path);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::shared_ptr<TextStream> FileSystemObject::CreateTextFile(std::string_view path, bool overwrite) {
  seam_->Enter("CreateTextFile", path);
  RequirePath(path);
  std::string resolved = ResolvePath(path);
  if (IsFolder(resolved)) runtime::Raise(err::kPermissionDenied);
  if (IsFile(resolved)) {
    if (!overwrite) runtime::Raise(err::kFileAlreadyExists);
    if (IsLocked(resolved)) runtime::Raise(err::kPermissionDenied);
  }
  if (!IsFolder(ParentOf(resolved))) runtime::Raise(err::kPathNotFound);
  return std::make_shared<TextStream>(seam_, std::move(resolved));
}

// ---- creation ----

void SetFileSystemObjectProvider(FileSystemObjectProvider provider) { Provider() = std::move(provider); }

std::shared_ptr<FileSystemObject> CreateFileSystemObject() {
  if (Provider()) return Provider()();
  return std::make_shared<FileSystemObject>();
}

}  // namespace platform::fso
