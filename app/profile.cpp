#include "app/profile.h"

#include <unistd.h>

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

}  // namespace

Profile SetUpProfile(const Options& options, const shell::Environment& environment, const fs::path& sampleMail,
                     const std::string& installPrefix) {
  Profile p;
  shell::Reset();
  auto& folders = shell::Current().folders;
  fs::path dataRoot;
  if (options.profile) {
    const fs::path root = fs::absolute(*options.profile);
    MakeFolder(root);
    p.registry = root / "registry";
    dataRoot = root;
    const std::pair<long, const char*> layout[] = {{shell::CSIDL_DESKTOP, "Desktop"},
                                                   {shell::CSIDL_PERSONAL, "Documents"},
                                                   {shell::CSIDL_MYPICTURES, "Pictures"},
                                                   {shell::CSIDL_LOCAL_APPDATA, "AppData/Local"}};
    for (const auto& [csidl, name] : layout) {
      MakeFolder(root / name);
      folders.Define(csidl, (root / name).string());
      p.watched.push_back({root / name, true});
    }
    folders.Define(shell::CSIDL_PROGRAM_FILES, installPrefix);
    folders.Define(shell::CSIDL_SYSTEM, "/usr/bin");
  } else {
    const auto lookup = [&](std::string_view name) { return environment.Get(name); };
    const shell::LinuxFolders xdg = shell::ResolveLinuxFolders(lookup, installPrefix);
    shell::UseLinuxFolders(xdg);
    p.registry = platform::registry::HiveDirectory(Value(environment, "LUMIVANE_HOME"),
                                                   Value(environment, "XDG_CONFIG_HOME"), Value(environment, "HOME"));
    if (!xdg.localAppData) runtime::Raise(runtime::err::kPathNotFound, "HOME is not set; use --profile DIR");
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
