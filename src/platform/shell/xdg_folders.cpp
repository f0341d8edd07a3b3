#include "platform/shell/xdg_folders.h"

#include <fstream>
#include <map>

#include "platform/shell/shell.h"

namespace platform::shell {

namespace {

std::optional<std::string> AbsoluteValue(const EnvironmentLookup& environment, std::string_view name) {
  auto value = environment(name);
  if (!value || value->empty() || value->front() != '/') return std::nullopt;
  return value;
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// user-dirs.dirs lines look like  XDG_PICTURES_DIR="$HOME/Pictures"  and may
// also give an absolute path; anything else in the file is ignored.
std::map<std::string, std::string> ReadUserDirs(const std::string& file, const std::string& home, bool& present) {
  std::map<std::string, std::string> dirs;
  std::ifstream in(file);
  present = static_cast<bool>(in);
  std::string line;
  while (std::getline(in, line)) {
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    const auto eq = line.find('=', start);
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(start, eq - start);
    std::string raw = line.substr(eq + 1);
    if (raw.size() < 2 || raw.front() != '"') continue;
    std::string value;
    bool closed = false;
    for (std::size_t i = 1; i < raw.size(); ++i) {
      if (raw[i] == '\\' && i + 1 < raw.size()) {
        value += raw[++i];
      } else if (raw[i] == '"') {
        closed = true;
        break;
      } else {
        value += raw[i];
      }
    }
    if (!closed) continue;
    if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/')) {
      if (home.empty()) continue;
      value = home + value.substr(5);
    } else if (value.empty() || value.front() != '/') {
      continue;
    }
    dirs[key] = WithoutTrailingSlash(value);
  }
  return dirs;
}

}  // namespace

LinuxFolders ResolveLinuxFolders(const EnvironmentLookup& environment, const std::string& installPrefix) {
  LinuxFolders out;
  const std::string home = WithoutTrailingSlash(AbsoluteValue(environment, "HOME").value_or(""));

  std::string config = AbsoluteValue(environment, "XDG_CONFIG_HOME").value_or("");
  if (config.empty() && !home.empty()) config = home + "/.config";
  bool present = false;
  std::map<std::string, std::string> dirs;
  if (!config.empty()) dirs = ReadUserDirs(WithoutTrailingSlash(config) + "/user-dirs.dirs", home, present);

  auto userDir = [&](const char* key, const char* usual) -> std::optional<std::string> {
    if (!present) {
      if (home.empty()) return std::nullopt;
      return home + "/" + usual;
    }
    auto it = dirs.find(key);
    if (it == dirs.end() || it->second == home) return std::nullopt;
    return it->second;
  };
  out.desktop = userDir("XDG_DESKTOP_DIR", "Desktop");
  out.documents = userDir("XDG_DOCUMENTS_DIR", "Documents");
  out.pictures = userDir("XDG_PICTURES_DIR", "Pictures");

  if (auto data = AbsoluteValue(environment, "XDG_DATA_HOME")) {
    out.localAppData = WithoutTrailingSlash(*data);
  } else if (!home.empty()) {
    out.localAppData = home + "/.local/share";
  }
  if (!installPrefix.empty()) out.programFiles = WithoutTrailingSlash(installPrefix);
  out.system = "/usr/bin";
  return out;
}

void UseLinuxFolders(const LinuxFolders& folders) {
  SpecialFolders& table = Current().folders;
  auto put = [&](long folder, const std::optional<std::string>& path) {
    if (path) {
      table.Define(folder, *path);
    } else {
      table.Undefine(folder);
    }
  };
  if (folders.desktop) {
    table.Define(CSIDL_DESKTOP, *folders.desktop);
  } else {
    table.MakeVirtual(CSIDL_DESKTOP);  // the desktop root exists even without a folder behind it
  }
  put(CSIDL_PERSONAL, folders.documents);
  put(CSIDL_MYPICTURES, folders.pictures);
  put(CSIDL_LOCAL_APPDATA, folders.localAppData);
  put(CSIDL_PROGRAM_FILES, folders.programFiles);
  put(CSIDL_SYSTEM, folders.system);
}

}  // namespace platform::shell
