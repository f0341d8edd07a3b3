#include "platform/fso/folder_index.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <unordered_map>

#include "platform/unique_fd.h"
#include "runtime/text.h"

namespace platform::fso {

namespace {

// Enough folders for any one job; past it the index starts afresh.
constexpr std::size_t kMaxFolders = 64;

constexpr std::uint32_t kWatched = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

// Only on these does every change pass through this machine's kernel, so
// only here do the notices tell all.
bool LocalFileSystem(int folderFd) {
  struct statfs fs {};
  if (::fstatfs(folderFd, &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53UL:      // ext2, ext3, ext4
    case 0x58465342UL:  // xfs
    case 0x9123683EUL:  // btrfs
    case 0x01021994UL:  // tmpfs
    case 0xF2F52010UL:  // f2fs
      return true;
    default: return false;
  }
}

// One folder's names by their folded spelling; of several spellings, the
// first in byte order is the first in case-insensitive order.
struct Folder {
  dev_t device = 0;
  ino_t inode = 0;
  std::unordered_map<std::string, std::set<std::string>> names;

  void Add(const std::string& name) { names[runtime::LCase(name)].insert(name); }
  void Remove(const std::string& name) {
    const auto it = names.find(runtime::LCase(name));
    if (it == names.end()) return;
    it->second.erase(name);
    if (it->second.empty()) names.erase(it);
  }
};

class Index {
 public:
  std::optional<std::string> Find(const std::string& path, std::string_view name) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!Ready()) return std::nullopt;
    Drain();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    Folder* folder = Known(path, st);
    if (folder == nullptr) folder = Load(path);
    if (folder == nullptr) return std::nullopt;
    const auto it = folder->names.find(runtime::LCase(name));
    if (it == folder->names.end()) return std::string();
    return *it->second.begin();
  }

 private:
  // A notice queue of this process's own: a child made by fork shares its
  // parent's, and reading from it would take notices the parent needs.
  bool Ready() {
    const pid_t pid = ::getpid();
    if (pid != pid_) {
      pid_ = pid;
      Reset();
    }
    return static_cast<bool>(fd_);
  }

  // Forgets every folder with a new queue (closing the old one ends its
  // watches); without one, nothing is indexed.
  void Reset() {
    fd_.Reset(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    folders_.clear();
    paths_.clear();
  }

  // Applies every notice queued so far.
  void Drain() {
    alignas(struct inotify_event) char buffer[64 * 1024];
    while (fd_) {
      const ssize_t n = ::read(fd_.Get(), buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == EAGAIN) return;
      if (n <= 0) {  // a queue that cannot be read tells nothing more
        Reset();
        return;
      }
      for (ssize_t at = 0; at < n;) {
        const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(struct inotify_event) + event->len);
        if ((event->mask & IN_Q_OVERFLOW) != 0) {  // notices were lost
          Reset();
          return;
        }
        const auto it = folders_.find(event->wd);
        if (it == folders_.end()) continue;
        if ((event->mask & IN_IGNORED) != 0) {  // the folder is gone, or its file system
          folders_.erase(it);
          continue;
        }
        if (event->len == 0) continue;
        const std::string name(event->name);
        if ((event->mask & (IN_CREATE | IN_MOVED_TO)) != 0) it->second.Add(name);
        if ((event->mask & (IN_DELETE | IN_MOVED_FROM)) != 0) it->second.Remove(name);
      }
    }
  }

  // The folder indexed for `path`, if `path` still names that folder.
  Folder* Known(const std::string& path, const struct stat& st) {
    const auto p = paths_.find(path);
    if (p == paths_.end()) return nullptr;
    const auto f = folders_.find(p->second);
    if (f != folders_.end() && f->second.device == st.st_dev && f->second.inode == st.st_ino) return &f->second;
    paths_.erase(p);
    return nullptr;
  }

  // Watches the folder, then reads it. The watch goes on the folder opened,
  // whatever `path` names meanwhile; a change made while the folder is read
  // is applied again afterwards, which leaves the name as the change did.
  Folder* Load(const std::string& path) {
    if (folders_.size() >= kMaxFolders || paths_.size() >= 4 * kMaxFolders) Reset();
    if (!fd_) return nullptr;
    UniqueFd dirFd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd) return nullptr;
    struct stat st {};
    if (::fstat(dirFd.Get(), &st) != 0 || !LocalFileSystem(dirFd.Get())) return nullptr;
    const std::string self = "/proc/self/fd/" + std::to_string(dirFd.Get());
    const int wd = ::inotify_add_watch(fd_.Get(), self.c_str(), kWatched);
    if (wd < 0) return nullptr;
    Folder fresh{st.st_dev, st.st_ino, {}};
    bool complete = false;
    if (DIR* dir = ::fdopendir(dirFd.Get())) {
      dirFd.Release();  // the stream owns it now
      errno = 0;
      while (const struct dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..") fresh.Add(std::string(name));
      }
      complete = errno == 0;
      ::closedir(dir);
    }
    if (!complete) {
      ::inotify_rm_watch(fd_.Get(), wd);
      folders_.erase(wd);
      return nullptr;
    }
    folders_[wd] = std::move(fresh);
    paths_[path] = wd;
    Drain();
    const auto it = folders_.find(wd);
    return it == folders_.end() ? nullptr : &it->second;
  }

  std::mutex mutex_;
  UniqueFd fd_;
  pid_t pid_ = 0;
  std::map<int, Folder> folders_;     // by watch
  std::map<std::string, int> paths_;  // the watch of each path looked up
};

Index& TheIndex() {
  static Index index;
  return index;
}

}  // namespace

std::optional<std::string> IndexedCaseBlindMatch(const std::string& folder, std::string_view name) {
  return TheIndex().Find(folder, name);
}

}  // namespace platform::fso
