#include "platform/fso/resolve.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>

#include "platform/fso/folder_index.h"
#include "platform/path.h"
#include "runtime/text.h"

namespace platform::fso {

namespace fs = std::filesystem;
constexpr char kSep = platform::kPathSeparator;

namespace {

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::symlink_status(p, ec).type() != fs::file_type::not_found && !ec;
}

// The entry of `folder` whose name matches `name` without regard to case;
// empty when none. Of several, the first in case-insensitive order. Reads the
// whole folder: only for folders the index (folder_index.h) does not keep.
std::string FindCaseBlind(const fs::path& folder, std::string_view name) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  std::string best;
  bool found = false;
  for (; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (!runtime::TextEqual(entry, name)) continue;
    if (!found || CaseBlindLess(entry, best)) best = std::move(entry);
    found = true;
  }
  return best;
}

struct LockTable {
  std::mutex mutex;
  std::map<std::string, int> counts;
};
LockTable& Locks() {
  static LockTable table;
  return table;
}

}  // namespace

bool CaseBlindLess(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char x = Fold(a[i]), y = Fold(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

std::string ResolvePath(std::string_view path) {
  std::string out;
  std::size_t pos = 0;
  if (!path.empty() && path.front() == kSep) {
    out.push_back(kSep);
    pos = 1;
  }
  // Most paths exist as written, or all but their last name does (a file
  // about to be written): then one or two lookups do instead of one for
  // every component. `known` is how much of `path` exists as written.
  std::size_t known = 0;
  if (Exists(fs::path(path))) {
    known = path.size();
  } else if (const std::size_t slash = path.rfind(kSep);
             slash != std::string_view::npos && slash > 0 && Exists(fs::path(path.substr(0, slash)))) {
    known = slash;
  }
  bool resolving = true;
  while (pos <= path.size()) {
    std::size_t next = path.find(kSep, pos);
    if (next == std::string_view::npos) next = path.size();
    std::string_view part = path.substr(pos, next - pos);
    pos = next + 1;
    if (part.empty()) continue;
    std::string name(part);
    if (resolving && next > known && part != "." && part != "..") {
      const std::string folder = out.empty() ? std::string(".") : out;
      if (!Exists(fs::path(folder) / name)) {
        std::optional<std::string> indexed = IndexedCaseBlindMatch(folder, name);
        std::string onDisk = indexed ? std::move(*indexed) : FindCaseBlind(folder, name);
        if (onDisk.empty()) {
          resolving = false;  // nothing below a missing component can exist
        } else {
          name = std::move(onDisk);
        }
      }
    }
    if (!out.empty() && out.back() != kSep) out += kSep;
    out += name;
  }
  return out;
}

std::vector<std::string> ListFolder(const fs::path& folder, EntryKind kind) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code sec;
    const bool isDir = it->is_directory(sec);
    const bool isFile = it->is_regular_file(sec);
    if ((kind == EntryKind::Files && !isFile) || (kind == EntryKind::Folders && !isDir)) continue;
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return CaseBlindLess(a, b); });
  return names;
}

FileLock::FileLock(std::string_view path) : path_(ResolvePath(path)) {
  std::lock_guard<std::mutex> guard(Locks().mutex);
  ++Locks().counts[path_];
}

FileLock::FileLock(FileLock&& other) noexcept : path_(std::move(other.path_)) { other.path_.clear(); }

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    Release();
    path_ = std::move(other.path_);
    other.path_.clear();
  }
  return *this;
}

FileLock::~FileLock() { Release(); }

void FileLock::Release() {
  if (path_.empty()) return;
  std::lock_guard<std::mutex> guard(Locks().mutex);
  auto it = Locks().counts.find(path_);
  if (it != Locks().counts.end() && --it->second == 0) Locks().counts.erase(it);
  path_.clear();
}

bool IsLocked(std::string_view path) {
  const std::string resolved = ResolvePath(path);
  std::lock_guard<std::mutex> guard(Locks().mutex);
  return Locks().counts.count(resolved) != 0;
}

bool IsSymbolicLink(std::string_view path) {
  std::error_code ec;
  return fs::is_symlink(fs::symlink_status(ResolvePath(path), ec));
}

bool SameContent(std::string_view a, std::string_view b) {
  const fs::path first(ResolvePath(a));
  const fs::path second(ResolvePath(b));
  std::error_code ec;
  if (!fs::is_regular_file(fs::symlink_status(first, ec)) || !fs::is_regular_file(fs::symlink_status(second, ec)))
    return false;
  const auto size = fs::file_size(first, ec);
  if (ec || size != fs::file_size(second, ec) || ec) return false;
  std::ifstream x(first, std::ios::binary);
  std::ifstream y(second, std::ios::binary);
  if (!x || !y) return false;
  std::array<char, 64 * 1024> bx{};
  std::array<char, 64 * 1024> by{};
  while (x && y) {
    x.read(bx.data(), bx.size());
    y.read(by.data(), by.size());
    if (x.gcount() != y.gcount() || !std::equal(bx.begin(), bx.begin() + x.gcount(), by.begin())) return false;
  }
  return x.eof() && y.eof();
}

}  // namespace platform::fso
