#include "host/files.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "runtime/text.h"

namespace host::files {

namespace fs = std::filesystem;

namespace {

fs::path ResolvePath(const fs::path& p) {
  std::error_code ec;
  if (p.empty() || fs::exists(fs::symlink_status(p, ec))) return p;
  fs::path parent = p.parent_path();
  const std::string name = p.filename().string();
  if (name.empty()) return p;
  if (!parent.empty() && parent != p) parent = ResolvePath(parent);
  const fs::path dir = parent.empty() ? fs::path(".") : parent;
  fs::directory_iterator it(dir, ec);
  if (ec) return parent.empty() ? p : parent / name;
  for (const auto& entry : it) {
    const std::string candidate = entry.path().filename().string();
    if (runtime::TextEqual(candidate, name)) return parent.empty() ? fs::path(candidate) : parent / candidate;
  }
  return parent.empty() ? p : parent / name;
}

WriteFailure FromErrno(int e) {
  switch (e) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return WriteFailure::NoPermission;
    case ENOENT:
    case ENOTDIR: return WriteFailure::NoFolder;
    default: return WriteFailure::Other;
  }
}

}  // namespace

std::string Resolve(std::string_view path) { return ResolvePath(fs::path(std::string(path))).string(); }

bool ReadAll(std::string_view path, runtime::ByteArray& out) {
  const fs::path p = ResolvePath(fs::path(std::string(path)));
  std::error_code ec;
  if (!fs::is_regular_file(p, ec)) return false;
  std::ifstream in(p, std::ios::binary);
  if (!in) return false;
  runtime::ByteArray bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  out = std::move(bytes);
  return true;
}

WriteFailure WriteAll(std::string_view path, const runtime::ByteArray& bytes) {
  static std::atomic<unsigned> counter{0};
  const fs::path target = ResolvePath(fs::path(std::string(path)));
  std::error_code ec;
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (!fs::is_directory(folder, ec)) return WriteFailure::NoFolder;
  if (fs::is_directory(target, ec)) return WriteFailure::NoPermission;
  // A read-only file is not written over, whoever runs the program.
  if (fs::exists(target, ec) && (fs::status(target, ec).permissions() & fs::perms::owner_write) == fs::perms::none)
    return WriteFailure::NoPermission;
  const fs::path temp = folder / (".~" + target.filename().string() + "." + std::to_string(++counter) + ".tmp");
  {
    errno = 0;
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return FromErrno(errno);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      fs::remove(temp, ec);
      return WriteFailure::Other;
    }
  }
  fs::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return FromErrno(ec.value());
  }
  return WriteFailure::None;
}

}  // namespace host::files
