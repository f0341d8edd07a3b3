#include "app/profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "platform/shell/xdg_folders.h"
#include "runtime/error.h"

namespace app {

namespace fs = std::filesystem;
namespace shell = platform::shell;

namespace {

void MakeFolder(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec || !fs::is_directory(dir))
    runtime::Raise(runtime::err::kPathNotFound, "Cannot make the folder '" + dir.string() + "': " + ec.message());
}

// Copies the sample mail whole into `target` unless it is there already; a
// half-finished copy never takes the target's place.
void CopySampleMail(const fs::path& source, const fs::path& target) {
  std::error_code ec;
  if (fs::exists(target, ec)) return;
  if (!fs::is_directory(source, ec))
    runtime::Raise(runtime::err::kPathNotFound, "The sample mail '" + source.string() + "' is missing");
  MakeFolder(target.parent_path());
  const fs::path temp = target.parent_path() / (".sample-mail." + std::to_string(::getpid()));
  fs::remove_all(temp, ec);
  fs::copy(source, temp, fs::copy_options::recursive, ec);
  if (!ec) fs::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove_all(temp, ignored);
    runtime::Raise(runtime::err::kPathFileAccessError,
                   "Cannot copy the sample mail to '" + target.string() + "': " + ec.message());
  }
}

std::string Value(const shell::Environment& env, std::string_view name) { return env.Get(name).value_or(""); }

// The process id the holder wrote into the lock file; "" when it wrote none
// (yet).
std::string HolderOf(int fd) {
  char text[32] = {};
  const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
  std::string pid(text, n > 0 ? static_cast<std::size_t>(n) : 0);
  while (!pid.empty() && (pid.back() == '\n' || pid.back() == ' ')) pid.pop_back();
  return !pid.empty() && pid.find_first_not_of("0123456789") == std::string::npos ? pid : std::string();
}

}  // namespace

ProfileLock::ProfileLock(const fs::path& folder) {
  const fs::path file = folder / "lumivane-host.lock";
  // Close-on-exec: a program started from here must not keep the lock.
  fd_.Reset(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (!fd_)
    runtime::Raise(runtime::err::kPathFileAccessError,
                   "Cannot open the lock file '" + file.string() + "': " + std::strerror(errno));
  if (::flock(fd_.Get(), LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    const std::string pid = error == EWOULDBLOCK ? HolderOf(fd_.Get()) : std::string();
    fd_.Reset();
    if (error != EWOULDBLOCK)
      runtime::Raise(runtime::err::kPathFileAccessError,
                     "Cannot lock the profile '" + folder.string() + "': " + std::strerror(error));
    runtime::Raise(runtime::err::kPermissionDenied,
                   "The profile '" + folder.string() + "' is in use by " +
                       (pid.empty() ? std::string("another process") : "process " + pid) +
                       " (another lumivane-host); end that one or use another profile (--profile DIR)");
  }
  const std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd_.Get(), 0) != 0 ||
      ::pwrite(fd_.Get(), pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
    // The lock holds all the same; only the name of its holder is missing.
  }
}

Profile SetUpProfile(const Options& options, const shell::Environment& environment, const fs::path& sampleMail,
                     const std::string& installPrefix) {
  Profile p;
  const auto lookup = [&](std::string_view name) { return environment.Get(name); };
  const shell::LinuxFolders xdg = shell::ResolveLinuxFolders(lookup, installPrefix);
  const std::optional<fs::path> root =
      options.profile ? std::optional<fs::path>(fs::absolute(*options.profile)) : std::nullopt;
  if (root) {
    p.registry = *root / "registry";
  } else {
    if (!xdg.localAppData) runtime::Raise(runtime::err::kPathNotFound, "HOME is not set; use --profile DIR");
    p.registry = platform::registry::HiveDirectory(Value(environment, "LUMIVANE_HOME"),
                                                   Value(environment, "XDG_CONFIG_HOME"), Value(environment, "HOME"));
  }
  // Locked first: a program turned away makes and writes nothing there.
  const fs::path lockFolder = root ? *root : p.registry;
  MakeFolder(lockFolder);
  p.lock = std::make_shared<const ProfileLock>(lockFolder);

  shell::Reset();
  auto& folders = shell::Current().folders;
  fs::path dataRoot;
  if (root) {
    dataRoot = *root;
    const std::pair<long, const char*> layout[] = {{shell::CSIDL_DESKTOP, "Desktop"},
                                                   {shell::CSIDL_PERSONAL, "Documents"},
                                                   {shell::CSIDL_MYPICTURES, "Pictures"},
                                                   {shell::CSIDL_LOCAL_APPDATA, "AppData/Local"}};
    for (const auto& [csidl, name] : layout) {
      MakeFolder(*root / name);
      folders.Define(csidl, (*root / name).string());
      p.watched.push_back({*root / name, true});
    }
    folders.Define(shell::CSIDL_PROGRAM_FILES, installPrefix);
    folders.Define(shell::CSIDL_SYSTEM, "/usr/bin");
  } else {
    shell::UseLinuxFolders(xdg);
    dataRoot = fs::path(*xdg.localAppData) / "lumivane";
    // The user's own folders may be large: only their top level is watched.
    for (const auto& dir : {xdg.pictures, xdg.documents, xdg.desktop})
      if (dir) p.watched.push_back({*dir, false});
    p.watched.push_back({fs::path(*xdg.localAppData) / "Quenstor", true});
  }
  MakeFolder(p.registry);
  platform::registry::UseDirectory(p.registry);

  if (options.store) {
    p.store = fs::absolute(*options.store);
  } else {
    p.store = dataRoot / "sample-mail";
    CopySampleMail(sampleMail, p.store);
    p.sampleMail = true;
  }
  return p;
}

}  // namespace app
