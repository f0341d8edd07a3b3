#include "host/desktop_entries.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>

#include "platform/fso/resolve.h"
#include "platform/registry/registry.h"
#include "runtime/text.h"

namespace host::desktop {

namespace fs = std::filesystem;
namespace reg = platform::registry;

namespace {

constexpr std::string_view kMark = "DesktopEntry";
constexpr std::string_view kApplications = "Applications";
constexpr std::string_view kBrowsers = "SOFTWARE\\Clients\\StartMenuInternet";

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// A value with the escapes of the format (\s \n \t \r \\) undone.
std::string Unescape(std::string_view v) {
  std::string out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i] != '\\' || i + 1 == v.size()) {
      out += v[i];
      continue;
    }
    switch (v[++i]) {
      case 's': out += ' '; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      default: out += '\\'; out += v[i];
    }
  }
  return out;
}

std::vector<std::string> List(std::string_view v) {
  std::vector<std::string> out;
  std::string current;
  for (char c : v) {
    if (c == ';') {
      if (!current.empty()) out.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) out.push_back(std::move(current));
  return out;
}

bool IsTrue(std::string_view v) { return v == "true"; }

bool Executable(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

// ---- the registry ----

class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (h_ != 0) reg::RegCloseKey(h_);
  }
  bool Open(reg::HKEY root, std::string_view path) {
    return reg::RegOpenKeyEx(root, path, 0, reg::KEY_READ, &h_) == reg::ERROR_SUCCESS;
  }
  bool Create(reg::HKEY root, std::string_view path) {
    return reg::RegCreateKeyEx(root, path, "", reg::REG_OPTION_NON_VOLATILE, reg::KEY_ALL_ACCESS, nullptr, &h_,
                               nullptr) == reg::ERROR_SUCCESS;
  }
  void Set(std::string_view name, std::string_view text) {
    const auto data = reg::SzData(text);
    reg::RegSetValueEx(h_, name, reg::REG_SZ, data.data(), static_cast<long>(data.size()));
  }
  bool Has(std::string_view name) const {
    long type = 0;
    long size = 0;
    return reg::RegQueryValueEx(h_, name, &type, nullptr, &size) == reg::ERROR_SUCCESS;
  }
  std::vector<std::string> Subkeys() const {
    std::vector<std::string> out;
    for (long i = 0;; ++i) {
      char name[512];
      long chars = sizeof name;
      if (reg::RegEnumKeyEx(h_, i, name, &chars, nullptr, nullptr) != reg::ERROR_SUCCESS) break;
      out.emplace_back(name, static_cast<std::size_t>(chars));
    }
    return out;
  }

 private:
  reg::HKEY h_ = 0;
};

bool Exists(reg::HKEY root, const std::string& path) {
  Key k;
  return k.Open(root, path);
}

bool IsOurs(reg::HKEY root, const std::string& path) {
  Key k;
  return k.Open(root, path) && k.Has(kMark);
}

void DeleteTree(reg::HKEY root, const std::string& path) {
  std::vector<std::string> children;
  {
    Key k;
    if (!k.Open(root, path)) return;
    children = k.Subkeys();
  }
  for (const auto& child : children) DeleteTree(root, path + "\\" + child);
  reg::RegDeleteKey(root, path);
}

// Removes the keys under `parent` that carry our mark and are not in `keep`.
void RemoveStale(reg::HKEY root, std::string_view parent, const std::set<std::string>& keep) {
  std::vector<std::string> names;
  {
    Key k;
    if (!k.Open(root, parent)) return;
    names = k.Subkeys();
  }
  for (const auto& name : names) {
    const std::string path = std::string(parent) + "\\" + name;
    if (keep.count(runtime::LCase(name)) == 0 && IsOurs(root, path)) DeleteTree(root, path);
  }
}

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

// The command line the discovery reads: the program's full path, then the
// arguments with the file field codes as "%1" (added at the end when the
// entry has none) and the other field codes dropped.
std::string CommandLine(const std::string& program, const std::vector<std::string>& args) {
  std::string line = Quote(program);
  bool file = false;
  for (const auto& arg : args) {
    std::string out;
    for (std::size_t i = 0; i < arg.size(); ++i) {
      if (arg[i] != '%' || i + 1 == arg.size()) {
        out += arg[i];
        continue;
      }
      const char code = arg[++i];
      if (code == '%') {
        out += '%';
      } else if (code == 'f' || code == 'F' || code == 'u' || code == 'U') {
        out += "%1";
        file = true;
      }
    }
    if (out.empty()) continue;
    line += " ";
    line += out == "%1" || out.find(' ') != std::string::npos ? Quote(out) : out;
  }
  if (!file) line += " \"%1\"";
  return line;
}

// The program an Exec line runs: "env VAR=x prog" runs prog.
std::size_t ProgramIndex(const std::vector<std::string>& exec) {
  std::size_t i = 0;
  if (!exec.empty() && (exec[0] == "env" || exec[0] == "/usr/bin/env")) {
    i = 1;
    while (i < exec.size() && exec[i].find('=') != std::string::npos) ++i;
  }
  return i;
}

std::string FileName(std::string_view path) {
  const std::size_t cut = path.rfind('/');
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string WithoutSuffix(std::string id) {
  if (id.size() > 8 && id.compare(id.size() - 8, 8, ".desktop") == 0) id.resize(id.size() - 8);
  return id;
}

// Registry key names hold no backslash.
std::string KeyName(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '_');
  return name;
}

void Collect(const fs::path& dir, const std::string& prefix, int depth, std::map<std::string, fs::path>& into) {
  if (depth > 8) return;
  for (const auto& name : platform::fso::ListFolder(dir, platform::fso::EntryKind::All)) {
    const fs::path p = dir / name;
    std::error_code ec;
    if (fs::is_directory(p, ec)) {
      Collect(p, prefix + name + "-", depth + 1, into);
    } else if (name.size() > 8 && name.compare(name.size() - 8, 8, ".desktop") == 0) {
      into.emplace(prefix + name, p);
    }
  }
}

}  // namespace

std::optional<std::vector<std::string>> SplitExec(std::string_view exec) {
  std::vector<std::string> words;
  std::string current;
  bool inWord = false;
  bool quoted = false;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (quoted) {
      if (c == '\\' && i + 1 < exec.size() && std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos) {
        current += exec[++i];
      } else if (c == '"') {
        quoted = false;
      } else {
        current += c;
      }
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(std::move(current));
      current.clear();
      inWord = false;
    } else if (c == '"') {
      quoted = true;
      inWord = true;
    } else {
      current += c;
      inWord = true;
    }
  }
  if (quoted) return std::nullopt;
  if (inWord) words.push_back(std::move(current));
  return words;
}

std::optional<DesktopEntry> ParseDesktopEntry(std::string_view text) {
  DesktopEntry entry;
  std::string type;
  std::string exec;
  bool inGroup = false;
  bool seenGroup = false;
  while (!text.empty()) {
    const std::size_t nl = text.find('\n');
    std::string_view line = Trim(text.substr(0, nl));
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      if (seenGroup && inGroup) break;  // the main group is over
      inGroup = line == "[Desktop Entry]";
      seenGroup = seenGroup || inGroup;
      continue;
    }
    if (!inGroup) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, eq));
    const std::string value = Unescape(Trim(line.substr(eq + 1)));
    // Localised keys ("Name[de]") are left to the plain one.
    if (key == "Type")
      type = value;
    else if (key == "Name")
      entry.name = value;
    else if (key == "Exec")
      exec = value;
    else if (key == "TryExec")
      entry.tryExec = value;
    else if (key == "MimeType")
      entry.mimeTypes = List(value);
    else if (key == "Categories")
      entry.categories = List(value);
    else if (key == "Hidden")
      entry.hidden = IsTrue(value);
  }
  if (type != "Application" || entry.name.empty()) return std::nullopt;
  auto words = SplitExec(exec);
  if (!words || ProgramIndex(*words) >= words->size()) return std::nullopt;
  entry.exec = std::move(*words);
  return entry;
}

std::vector<fs::path> DataDirectories(const platform::shell::EnvironmentLookup& environment) {
  std::vector<fs::path> out;
  const auto absolute = [](const std::string& s) { return !s.empty() && s.front() == '/'; };
  const auto home = environment("XDG_DATA_HOME");
  if (home && absolute(*home)) {
    out.emplace_back(*home);
  } else if (const auto h = environment("HOME"); h && absolute(*h)) {
    out.push_back(fs::path(*h) / ".local" / "share");
  }
  auto dirs = environment("XDG_DATA_DIRS");
  const std::string list = dirs && !dirs->empty() ? *dirs : "/usr/local/share:/usr/share";
  for (const auto& d : runtime::Split(list, ":"))
    if (absolute(d)) out.emplace_back(d);
  return out;
}

std::vector<fs::path> SearchPath(const platform::shell::EnvironmentLookup& environment) {
  std::vector<fs::path> out;
  const auto path = environment("PATH");
  for (const auto& d : runtime::Split(path ? *path : "/usr/local/bin:/usr/bin:/bin", ":"))
    if (!d.empty()) out.emplace_back(d);
  return out;
}

std::vector<DesktopEntry> ReadDesktopEntries(const std::vector<fs::path>& dataDirectories) {
  std::map<std::string, fs::path> chosen;  // by id; the first directory wins
  for (const auto& dir : dataDirectories) {
    std::map<std::string, fs::path> found;
    Collect(dir / "applications", "", 0, found);
    for (auto& [id, file] : found) chosen.emplace(id, file);
  }
  std::vector<DesktopEntry> out;
  for (const auto& [id, file] : chosen) {
    std::ifstream in(file, std::ios::binary);
    if (!in) continue;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto entry = ParseDesktopEntry(text);
    if (!entry || entry->hidden) continue;
    entry->id = id;
    entry->file = file.string();
    out.push_back(std::move(*entry));
  }
  std::stable_sort(out.begin(), out.end(), [](const DesktopEntry& a, const DesktopEntry& b) {
    return platform::fso::CaseBlindLess(a.id, b.id);
  });
  return out;
}

std::string FindProgram(std::string_view program, const std::vector<fs::path>& searchPath) {
  if (program.empty()) return {};
  if (program.find('/') != std::string_view::npos) return Executable(program) ? std::string(program) : std::string();
  for (const auto& dir : searchPath) {
    const fs::path candidate = dir / std::string(program);
    if (Executable(candidate)) return candidate.string();
  }
  return {};
}

std::vector<std::string> ExtensionsForMimeType(std::string_view mimeType) {
  struct Row {
    std::string_view type;
    std::vector<std::string> extensions;
  };
  static const Row kRows[] = {
      {"image/jpeg", {".jpg", ".jpeg"}},
      {"image/pjpeg", {".jpg", ".jpeg"}},
      {"image/png", {".png"}},
      {"image/gif", {".gif"}},
      {"image/bmp", {".bmp"}},
      {"image/x-bmp", {".bmp"}},
      {"image/x-ms-bmp", {".bmp"}},
      {"image/tiff", {".tif", ".tiff"}},
      {"image/emf", {".emf"}},
      {"image/x-emf", {".emf"}},
      {"image/wmf", {".wmf"}},
      {"image/x-wmf", {".wmf"}},
      {"application/x-msmetafile", {".wmf"}},
  };
  for (const auto& row : kRows)
    if (runtime::TextEqual(row.type, mimeType)) return row.extensions;
  return {};
}

namespace {

// An entry's installed program and the command line that starts it.
struct Launch {
  std::string program;
  std::string command;
};

// Nothing when the program is not installed. "env VAR=x prog": the
// variables go with the command.
std::optional<Launch> LaunchOf(const DesktopEntry& entry, const std::vector<fs::path>& searchPath) {
  if (!entry.tryExec.empty() && FindProgram(entry.tryExec, searchPath).empty()) return std::nullopt;
  const std::size_t at = ProgramIndex(entry.exec);
  Launch launch{FindProgram(entry.exec[at], searchPath), {}};
  if (launch.program.empty()) return std::nullopt;
  const std::vector<std::string> args(entry.exec.begin() + static_cast<std::ptrdiff_t>(at) + 1, entry.exec.end());
  if (at > 0) {
    const std::string env = FindProgram("env", searchPath);
    launch.command = Quote(env.empty() ? "/usr/bin/env" : env);
    for (std::size_t i = 1; i < at; ++i) launch.command += " " + Quote(entry.exec[i]);
    launch.command += " ";
  }
  launch.command += CommandLine(launch.program, args);
  return launch;
}

// What an entry opens: picture extensions from its MIME types, and whether
// it is a web browser (by category or by handling web addresses).
struct Opens {
  std::vector<std::string> extensions;
  bool browser = false;
};

Opens WhatItOpens(const DesktopEntry& entry) {
  Opens opens;
  opens.browser = std::find(entry.categories.begin(), entry.categories.end(), "WebBrowser") != entry.categories.end();
  for (const auto& type : entry.mimeTypes) {
    for (auto& ext : ExtensionsForMimeType(type))
      if (std::find(opens.extensions.begin(), opens.extensions.end(), ext) == opens.extensions.end())
        opens.extensions.push_back(ext);
    if (runtime::TextEqual(type, "x-scheme-handler/http") || runtime::TextEqual(type, "x-scheme-handler/https"))
      opens.browser = true;
  }
  return opens;
}

// One key with its text values, made afresh.
void WriteKey(reg::HKEY root, const std::string& path,
              std::initializer_list<std::pair<std::string_view, std::string_view>> values) {
  Key k;
  if (!k.Create(root, path)) return;
  for (const auto& [name, text] : values) k.Set(name, text);
}

// Names published in this run (lower case), so a second entry of the same
// name does not replace the first.
using Taken = std::set<std::string>;

// A key is ours to (re)write when nobody wrote it by hand and this run has
// not written it yet.
bool MayWrite(reg::HKEY root, const std::string& path, const std::string& name, const Taken& taken) {
  return taken.count(runtime::LCase(name)) == 0 && (!Exists(root, path) || IsOurs(root, path));
}

// A picture viewer: "Applications\<program>" with its name, the
// extensions it supports and its open command.
void PublishViewer(const DesktopEntry& entry, const std::string& program, const std::string& command,
                   const std::vector<std::string>& extensions, Taken& taken, std::vector<std::string>& published) {
  std::string name = KeyName(FileName(program));
  if (taken.count(runtime::LCase(name)) != 0) name = KeyName(WithoutSuffix(entry.id));
  const std::string path = std::string(kApplications) + "\\" + name;
  if (!MayWrite(reg::HKEY_CLASSES_ROOT, path, name, taken)) return;
  DeleteTree(reg::HKEY_CLASSES_ROOT, path);
  WriteKey(reg::HKEY_CLASSES_ROOT, path, {{"FriendlyAppName", entry.name}, {kMark, entry.file}});
  {
    Key k;
    if (k.Create(reg::HKEY_CLASSES_ROOT, path + "\\SupportedTypes"))
      for (const auto& ext : extensions) k.Set(ext, "");
  }
  WriteKey(reg::HKEY_CLASSES_ROOT, path + "\\shell\\open\\command", {{"", command}});
  taken.insert(runtime::LCase(name));
  published.push_back(name);
}

// A web browser: "StartMenuInternet\<name>" with its open command.
void PublishBrowser(const DesktopEntry& entry, const std::string& command, Taken& taken,
                    std::vector<std::string>& published) {
  const std::string name = KeyName(entry.name);
  const std::string path = std::string(kBrowsers) + "\\" + name;
  if (!MayWrite(reg::HKEY_LOCAL_MACHINE, path, name, taken)) return;
  DeleteTree(reg::HKEY_LOCAL_MACHINE, path);
  WriteKey(reg::HKEY_LOCAL_MACHINE, path, {{"", entry.name}, {kMark, entry.file}});
  WriteKey(reg::HKEY_LOCAL_MACHINE, path + "\\shell\\open\\command", {{"", command}});
  taken.insert(runtime::LCase(name));
  published.push_back(name);
}

}  // namespace

Published PublishToRegistry(const std::vector<DesktopEntry>& entries, const std::vector<fs::path>& searchPath) {
  Published published;
  Taken viewerKeys;
  Taken browserKeys;
  for (const auto& entry : entries) {
    const std::optional<Launch> launch = LaunchOf(entry, searchPath);
    if (!launch) continue;  // not installed
    const Opens opens = WhatItOpens(entry);
    if (!opens.extensions.empty())
      PublishViewer(entry, launch->program, launch->command, opens.extensions, viewerKeys, published.viewers);
    if (opens.browser) PublishBrowser(entry, launch->command, browserKeys, published.browsers);
  }
  RemoveStale(reg::HKEY_CLASSES_ROOT, kApplications, viewerKeys);
  RemoveStale(reg::HKEY_LOCAL_MACHINE, kBrowsers, browserKeys);
  return published;
}

}  // namespace host::desktop
