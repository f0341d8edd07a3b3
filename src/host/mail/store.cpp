#include "host/mail/store.h"

#include <algorithm>
#include <fstream>
#include <set>

#include "host/mail/text_util.h"
#include "platform/atomic_write.h"
#include "runtime/error.h"
#include "runtime/text.h"

namespace host::mail {

namespace fs = std::filesystem;

namespace {

// Plain folders inside plain folders deeper than this are not listed.
constexpr int kMaxFolderDepth = 16;

// A Maildir copied by a tool that keeps no empty folders may have lost new/
// or tmp/ (tmp/ is made again when a message is written): either of cur/
// and new/ makes one.
bool IsMaildir(const fs::path& dir) {
  std::error_code ec;
  return fs::is_directory(dir / "cur", ec) || fs::is_directory(dir / "new", ec);
}

// Subdirectories only, never through a link: a link back up would loop.
std::vector<std::string> SubdirectoryNames(const fs::path& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    if (it->is_symlink(type_ec) || !it->is_directory(type_ec)) continue;
    names.push_back(it->path().filename().string());
  }
  return names;
}

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

void SortFolders(std::vector<std::shared_ptr<Folder>>& folders) {
  std::sort(folders.begin(), folders.end(),
            [](const auto& a, const auto& b) { return detail::LessCaseBlind(a->Name(), b->Name()); });
}

std::string JoinPath(const std::string& parent, const std::string& name) {
  return parent.empty() ? name : parent + "/" + name;
}

}  // namespace

struct StoreBuilder {
  Store& store;

  std::shared_ptr<Folder> Make(std::string name, const std::string& parent_path, FolderFormat format, fs::path dir) {
    std::shared_ptr<Folder> folder(new Folder());
    folder->name_ = std::move(name);
    folder->path_ = JoinPath(parent_path, folder->name_);
    folder->format_ = format;
    folder->dir_ = std::move(dir);
    folder->key_ = folder->dir_ == store.root_ ? std::string() : folder->dir_.lexically_relative(store.root_).string();
    folder->faults_ = store.faults_;
    folder->drafts_ = runtime::TextEqual(folder->name_, "Drafts");
    ReadSettings(*folder);
    store.by_key_[folder->key_] = folder;
    return folder;
  }

  static void ReadSettings(Folder& folder) {
    const fs::path file = folder.dir_ / kFolderSettingsFile;
    std::error_code ec;
    if (!fs::exists(file, ec)) return;
    std::ifstream in(file, std::ios::binary);
    if (!in) runtime::Raise(runtime::err::kPathFileAccessError, "Could not read '" + file.string() + "'");
    std::string line;
    int number = 0;
    const auto fail = [&](const std::string& why) {
      runtime::Raise(runtime::err::kPathFileAccessError,
                     "Folder settings '" + file.string() + "' line " + std::to_string(number) + ": " + why);
    };
    while (std::getline(in, line)) {
      ++number;
      const std::string_view text = Trim(line);
      if (text.empty() || text.front() == '#') continue;
      const std::size_t equals = text.find('=');
      if (equals == std::string_view::npos) fail("expected \"key = value\"");
      const std::string_view key = Trim(text.substr(0, equals));
      const std::string value(Trim(text.substr(equals + 1)));
      if (runtime::TextEqual(key, "type")) {
        static constexpr std::string_view kNames[] = {"mail",    "appointment", "contact", "task",
                                                      "journal", "note",        "post"};
        int type = -1;
        for (int i = 0; i < 7; ++i)
          if (runtime::TextEqual(value, kNames[i]) || value == std::to_string(i)) type = i;
        if (type < 0) fail("unknown item type '" + value + "'");
        folder.default_item_type_ = type;
      } else if (runtime::TextEqual(key, "drafts")) {
        if (runtime::TextEqual(value, "yes") || runtime::TextEqual(value, "true") || value == "1") {
          folder.drafts_ = true;
        } else if (runtime::TextEqual(value, "no") || runtime::TextEqual(value, "false") || value == "0") {
          folder.drafts_ = false;
        } else {
          fail("drafts must be yes or no, not '" + value + "'");
        }
      } else {
        fail("unknown setting '" + std::string(key) + "'");
      }
    }
  }

  // Maildir++ folders of the Maildir `dir`: ".A" and ".A.B" become A and its
  // child B, placed into `into`. A folder whose parent is missing hangs from
  // the nearest one present, named with the rest of its dotted name.
  void AddMaildirPlusPlus(const fs::path& dir, std::vector<std::shared_ptr<Folder>>& into,
                          const std::string& parent_path) {
    struct Entry {
      std::string dir_name;
      std::vector<std::string> segments;
    };
    std::vector<Entry> entries;
    for (const std::string& name : SubdirectoryNames(dir)) {
      if (name.size() < 2 || name[0] != '.' || name == ".." || !IsMaildir(dir / name)) continue;
      Entry entry{name, {}};
      std::string_view rest = std::string_view(name).substr(1);
      for (std::size_t dot; (dot = rest.find('.')) != std::string_view::npos; rest.remove_prefix(dot + 1))
        entry.segments.emplace_back(rest.substr(0, dot));
      entry.segments.emplace_back(rest);
      entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
      if (a.segments.size() != b.segments.size()) return a.segments.size() < b.segments.size();
      return a.dir_name < b.dir_name;
    });

    std::map<std::string, Folder*> by_dotted;
    for (const Entry& entry : entries) {
      std::vector<std::shared_ptr<Folder>>* container = &into;
      std::string path = parent_path;
      std::size_t first = 0;
      for (std::size_t k = entry.segments.size() - 1; k >= 1; --k) {
        std::string prefix = entry.segments[0];
        for (std::size_t i = 1; i < k; ++i) prefix += "." + entry.segments[i];
        if (auto it = by_dotted.find(prefix); it != by_dotted.end()) {
          container = &it->second->folders_;
          path = it->second->path_;
          first = k;
          break;
        }
      }
      std::string name = entry.segments[first];
      for (std::size_t i = first + 1; i < entry.segments.size(); ++i) name += "." + entry.segments[i];
      auto folder = Make(name, path, FolderFormat::Maildir, dir / entry.dir_name);
      by_dotted[entry.dir_name.substr(1)] = folder.get();
      container->push_back(std::move(folder));
    }
  }

  // Subdirectories of a plain directory, each a Maildir or a plain folder.
  void AddPlain(const fs::path& dir, std::vector<std::shared_ptr<Folder>>& into, const std::string& parent_path,
                int depth) {
    if (depth > kMaxFolderDepth) return;
    for (const std::string& name : SubdirectoryNames(dir)) {
      if (name.empty() || name[0] == '.') continue;
      const fs::path sub = dir / name;
      if (IsMaildir(sub)) {
        auto folder = Make(name, parent_path, FolderFormat::Maildir, sub);
        AddMaildirPlusPlus(sub, folder->folders_, folder->path_);
        into.push_back(std::move(folder));
      } else {
        auto folder = Make(name, parent_path, FolderFormat::Eml, sub);
        AddPlain(sub, folder->folders_, folder->path_, depth + 1);
        into.push_back(std::move(folder));
      }
    }
  }

  static void SortAll(std::vector<std::shared_ptr<Folder>>& folders) {
    SortFolders(folders);
    for (auto& folder : folders) SortAll(folder->folders_);
  }
};

std::shared_ptr<Store> Store::Open(const fs::path& root) {
  std::error_code ec;
  const fs::path canonical = fs::canonical(root, ec);
  if (ec || !fs::is_directory(canonical, ec))
    runtime::Raise(runtime::err::kPathNotFound, "The mail store '" + root.string() + "' is not a folder");

  std::shared_ptr<Store> store(new Store());
  store->root_ = canonical;
  store->faults_ = std::make_shared<WriteFaults>();
  StoreBuilder builder{*store};
  if (IsMaildir(canonical)) {
    store->folders_.push_back(builder.Make("Inbox", "", FolderFormat::Maildir, canonical));
    builder.AddMaildirPlusPlus(canonical, store->folders_, "");
  } else {
    builder.AddPlain(canonical, store->folders_, "", 0);
  }
  StoreBuilder::SortAll(store->folders_);
  // What saves that were killed left in tmp/, as Maildir readers are
  // expected to clear it; only our own files, and only old ones.
  for (const auto& [key, folder] : store->by_key_)
    if (folder->Format() == FolderFormat::Maildir)
      platform::RemoveStaleTemporaryFiles(folder->Directory() / "tmp", std::chrono::hours(24));
  return store;
}

std::shared_ptr<Folder> Store::FindFolder(std::string_view path) const {
  const std::vector<std::shared_ptr<Folder>>* level = &folders_;
  std::shared_ptr<Folder> found;
  while (!path.empty()) {
    const std::size_t cut = path.find_first_of("/\\");
    const std::string_view name = path.substr(0, cut);
    path = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
    if (name.empty()) continue;
    const auto it = std::find_if(level->begin(), level->end(),
                                 [&](const auto& folder) { return runtime::TextEqual(folder->Name(), name); });
    if (it == level->end()) return nullptr;
    found = *it;
    level = &found->Folders();
  }
  return found;
}

std::shared_ptr<Message> Store::FindMessage(std::string_view entry_id) const {
  std::string decoded;
  if (entry_id.empty() || !detail::HexDecode(entry_id, decoded)) return nullptr;
  const std::size_t slash = decoded.rfind('/');
  if (slash == std::string::npos) return nullptr;
  const auto it = by_key_.find(decoded.substr(0, slash));
  if (it == by_key_.end()) return nullptr;
  return it->second->FindMessage(decoded.substr(slash + 1));
}

const std::vector<std::shared_ptr<Message>>& Folder::Messages() {
  if (!listed_) Refresh();
  return messages_;
}

std::shared_ptr<Message> Folder::FindMessage(std::string_view unique_name) {
  Messages();
  const auto it = by_unique_.find(std::string(unique_name));
  return it == by_unique_.end() ? nullptr : messages_[it->second];
}

void Folder::Refresh() {
  struct Found {
    std::string unique;
    std::string subdir;
    std::string file_name;
  };
  std::vector<Found> found;
  std::set<std::string> seen;
  const auto scan = [&](const fs::path& dir, const std::string& subdir) {
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    if (ec == std::errc::no_such_file_or_directory && format_ == FolderFormat::Maildir) return;  // see IsMaildir
    if (ec)
      runtime::Raise(runtime::err::kPathFileAccessError,
                     "Could not list the folder '" + dir.string() + "': " + ec.message());
    for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
      std::error_code type_ec;
      if (!it->is_regular_file(type_ec)) continue;
      const std::string name = it->path().filename().string();
      if (name.empty() || name[0] == '.') continue;
      std::string unique = name;
      if (format_ == FolderFormat::Maildir) {
        unique = name.substr(0, name.find(':'));
      } else {
        const std::size_t dot = name.rfind('.');
        if (dot == std::string::npos || !runtime::TextEqual(std::string_view(name).substr(dot), ".eml")) continue;
      }
      // A unique name in both cur/ and new/ (a crash between two renames)
      // is listed once, from cur/.
      if (!seen.insert(unique).second) continue;
      found.push_back({std::move(unique), subdir, name});
    }
  };
  if (format_ == FolderFormat::Maildir) {
    scan(dir_ / "cur", "cur");
    scan(dir_ / "new", "new");
  } else {
    scan(dir_, "");
  }
  std::sort(found.begin(), found.end(),
            [](const Found& a, const Found& b) { return detail::LessCaseBlind(a.unique, b.unique); });

  std::vector<std::shared_ptr<Message>> messages;
  std::map<std::string, std::size_t> by_unique;
  for (Found& f : found) {
    std::shared_ptr<Message> message;
    if (auto old = by_unique_.find(f.unique); old != by_unique_.end()) {
      message = messages_[old->second];
      message->Moved(f.subdir, f.file_name);
    } else {
      MessagePlace place;
      place.folder_dir = dir_;
      place.maildir = format_ == FolderFormat::Maildir;
      place.subdir = f.subdir;
      place.file_name = f.file_name;
      place.unique = f.unique;
      place.folder_key = key_;
      place.drafts_folder = drafts_;
      place.faults = faults_;
      message = std::make_shared<Message>(std::move(place));
    }
    by_unique[f.unique] = messages.size();
    messages.push_back(std::move(message));
  }
  messages_ = std::move(messages);
  by_unique_ = std::move(by_unique);
  listed_ = true;
}

}  // namespace host::mail
