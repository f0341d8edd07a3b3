#include "host/files.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <unistd.h>

#include "platform/atomic_write.h"
#include "platform/fso/resolve.h"

namespace host::files {

namespace fs = std::filesystem;

namespace {

WriteFailure FromErrno(int e) {
  switch (e) {
    case EACCES:
    case EPERM:
    case EROFS: return WriteFailure::NoPermission;
    case ENOENT:
    case ENOTDIR: return WriteFailure::NoFolder;
    default: return WriteFailure::Other;
  }
}

}  // namespace

std::string Resolve(std::string_view path) { return platform::fso::ResolvePath(path); }

bool ReadAll(std::string_view path, runtime::ByteArray& out) {
  const fs::path p(platform::fso::ResolvePath(path));
  std::error_code ec;
  if (!fs::is_regular_file(p, ec)) return false;
  std::ifstream in(p, std::ios::binary);
  if (!in) return false;
  runtime::ByteArray bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  out = std::move(bytes);
  return true;
}

namespace {

WriteFailure Write(std::string_view path, const platform::ContentPieces& content, platform::Durability durability,
                   int* error) {
  static std::atomic<unsigned> counter{0};
  const fs::path target(platform::fso::ResolvePath(path));
  std::error_code ec;
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (!fs::is_directory(folder, ec)) return WriteFailure::NoFolder;
  // A folder where the file should go is no question of permission: the
  // reason goes with the failure.
  if (fs::is_directory(target, ec)) {
    if (error) *error = EISDIR;
    return WriteFailure::Other;
  }
  // A file another program holds open (a viewer showing it) is not replaced.
  if (platform::fso::IsLocked(target.string())) return WriteFailure::NoPermission;
  // A read-only file is not written over, whoever runs the program.
  if (fs::exists(target, ec) && (fs::status(target, ec).permissions() & fs::perms::owner_write) == fs::perms::none)
    return WriteFailure::NoPermission;
  // A short name of its own: the target's name may already be as long as a
  // name can be.
  platform::SweepBeforeWriting(folder);
  const fs::path temp =
      folder / (".~lumivane." + std::to_string(::getpid()) + "." + std::to_string(++counter) + ".tmp");
  const platform::AtomicWriteResult r =
      platform::WriteFileAtomically(target, temp, content, platform::NewFileMode::Shared, durability);
  if (!r && error) *error = r.error;
  return r ? WriteFailure::None : FromErrno(r.error);
}

}  // namespace

WriteFailure WriteAll(std::string_view path, const runtime::ByteArray& bytes, int* error) {
  const std::string_view whole(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return Write(
      path, [&](const auto& write) { write(whole); }, platform::Durability::Synced, error);
}

WriteFailure WriteCopy(std::string_view path, const Pieces& bytes, int* error) {
  return Write(
      path, [&](const auto& write) { bytes([&](std::string_view piece) { write(piece); }); },
      platform::Durability::Copy, error);
}

}  // namespace host::files
