#include "platform/shell/long_path.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/shell/shell.h"
#include "runtime/text.h"

namespace platform::shell {

namespace fs = std::filesystem;

namespace {

bool InvalidPath(std::string_view path) {
  if (path.empty()) return true;
  return std::any_of(path.begin(), path.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '*' || c == '?' || c == '<' || c == '>' || c == '|';
  });
}

std::vector<std::string> Components(std::string_view path) {
  std::vector<std::string> out;
  std::string part;
  for (char c : path) {
    if (c == '/' || c == '\\') {
      if (!part.empty()) out.push_back(std::move(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) out.push_back(std::move(part));
  return out;
}

// The name of the entry of `dir` that `name` refers to: the exact spelling
// when it exists, else the first (in ordinal order) that differs only in case.
bool ResolveEntry(const fs::path& dir, const std::string& name, std::string& found) {
  std::error_code ec;
  if (fs::exists(dir / name, ec)) {
    found = name;
    return true;
  }
  bool any = false;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (runtime::TextEqual(entry, name) && (!any || entry < found)) {
      found = std::move(entry);
      any = true;
    }
  }
  return any;
}

bool LongForm(std::string_view shortPath, std::string& result) {
  const bool absolute = shortPath.front() == '/' || shortPath.front() == '\\';
  fs::path at = absolute ? fs::path("/") : fs::path(".");
  std::vector<std::string> resolved;
  for (const std::string& part : Components(shortPath)) {
    if (part == ".") continue;
    if (part == "..") {
      if (!resolved.empty() && resolved.back() != "..") {
        resolved.pop_back();
      } else if (!absolute) {
        resolved.push_back(part);
      }
      at /= part;
      continue;
    }
    std::string name;
    if (!ResolveEntry(at, part, name)) return false;
    at /= name;
    resolved.push_back(std::move(name));
  }
  std::error_code ec;
  if (!fs::exists(at, ec)) return false;
  result = absolute ? "/" : "";
  for (std::size_t i = 0; i < resolved.size(); ++i) {
    if (i > 0) result += '/';
    result += resolved[i];
  }
  if (result.empty()) result = ".";
  return true;
}

}  // namespace

long GetLongPathNameA(std::string_view shortPath, std::string& buffer, long bufferLength) {
  Current().seam.Enter("GetLongPathNameA", FormatCall("GetLongPathNameA", shortPath, bufferLength));
  if (InvalidPath(shortPath)) return 0;
  std::string longPath;
  if (!LongForm(shortPath, longPath)) return 0;
  const long needed = static_cast<long>(longPath.size()) + 1;
  const long room = std::min(std::max(bufferLength, 0L), static_cast<long>(buffer.size()));
  if (needed > room) return needed;
  std::copy(longPath.begin(), longPath.end(), buffer.begin());
  buffer[longPath.size()] = '\0';
  return needed - 1;
}

}  // namespace platform::shell
