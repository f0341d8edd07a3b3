// lumivane-bench [--messages N] [--pictures K] [--kb SIZE] [--work DIR] [--rounds R] [--peers]
//
// Times, in one run over synthetic Maildirs (made by the same code as
// lumivane-bench-maildir, kept in the work folder for the next run):
//  (a) opening the folder: the store and the folder's list of items, then,
//      for information, reading every message's headers and MIME structure;
//  (b) quick-saving every picture of every message through the add-in's
//      toolbar command (no confirmation, no conflicts), as a person would;
//  (c) writing the same decoded bytes with a plain write loop;
// and prints the decoded MB/s of (b) and (c) and their ratio. Then:
//  (d) 1,000 messages of one 50 KB picture each: the cost per message;
//  (e) filling the temporary picture folder with a message of 30 pictures
//      of 4 MB, as a preview or slideshow does (the best of R rounds);
//  (f) quick-saving one 200 MB attachment, in a process of its own: time
//      and peak resident memory;
//  (g) with --peers: the command-line extractors that are installed
//      (munpack, ripmime, mu) on the Maildir of (b), their MB/s and our
//      ratio to each;
//  (h) exporting every attachment of the folder of (b) through the export
//      dialog (all messages, all file types, a sub-folder per message), as
//      a person would, beside a plain write loop into the same sub-folders
//      and beside the quick-save rate of (b).
// Every timed phase writes into a fresh folder after a sync, so none pays
// for the write-back of another; all but (f) and (g) take the best of R
// rounds, the rounds of two phases compared taken in turn.
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/registration.h"
#include "app/session.h"
#include "attachments/attachments.h"
#include "bench/synthetic.h"
#include "host/mail_link.h"
#include "outlook/out_addin.h"
#include "platform/registry/registry.h"
#include "platform/unique_fd.h"

extern char** environ;

namespace fs = std::filesystem;
namespace reg = platform::registry;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kMB = 1024.0 * 1024.0;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

std::uintmax_t FolderBytes(const fs::path& dir, std::size_t& files) {
  std::uintmax_t total = 0;
  files = 0;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (!e.is_regular_file()) continue;
    total += e.file_size();
    ++files;
  }
  return total;
}

// An empty folder, and nothing of anyone's left to write back.
void Fresh(const fs::path& dir) {
  fs::remove_all(dir);
  fs::create_directories(dir);
  ::sync();
}

void SetText(const char* name, const std::string& value) {
  const auto data = reg::SzData(value);
  reg::Current()->Seed(reg::HKEY_CURRENT_USER, "Software\\Quenstor\\Lumivane\\Settings", name, reg::REG_SZ, data);
}

void SetNumber(const char* name, std::uint32_t value) {
  reg::Current()->Seed(reg::HKEY_CURRENT_USER, "Software\\Quenstor\\Lumivane\\Settings", name, reg::REG_DWORD,
                       reg::DwordData(value));
}

constexpr const char* kQuickSave = "Quick-save &Only Picture Attachments in Selected Messages to Default Directory";

fs::path MailFor(const fs::path& work, const bench::Shape& shape) {
  const std::string tag = std::to_string(shape.messages) + "x" + std::to_string(shape.pictures) + "x" +
                          std::to_string(shape.kilobytes) + "k";
  const fs::path store = work / ("maildir-" + tag);
  if (!fs::exists(store / "cur")) {
    std::cout << "making " << store.string() << " ...\n" << std::flush;
    bench::WriteMaildir(store, shape);
  }
  return store;
}

// A session of the program over `store`, the add-in loaded, every message
// of the Inbox selected; `timed` runs inside it and answers its seconds.
double InSession(const fs::path& store, const fs::path& out, const fs::path& profile,
                 const std::function<double(app::Session&, const std::vector<std::shared_ptr<host::Item>>&)>& timed) {
  fs::remove_all(profile);
  std::ostringstream transcript;
  app::SessionSetup setup;
  setup.options.store = store;
  setup.options.profile = profile;
  setup.publishDesktop = false;
  app::Session session(transcript, std::move(setup));
  SetNumber("DoNotPromptBeforeQuickSave", 1);
  SetText("PictureDumpDirectory", out.string());
  session.Run("start");
  auto explorer = session.Client().App()->ActiveExplorer();
  const auto items = explorer->CurrentFolder()->ItemList();
  explorer->Select(items);
  const double seconds = timed(session, items);
  session.Run("stop");
  return seconds;
}

// The add-in's quick-save of every selected message into `out`.
double QuickSave(const fs::path& store, const fs::path& out, const fs::path& profile) {
  Fresh(out);
  return InSession(store, out, profile, [](app::Session& session, const auto&) {
    std::shared_ptr<host::CommandBarButton> button;
    // The entry of the add-in's popup on its toolbar.
    for (const auto& bar : session.Client().App()->ActiveExplorer()->Bars()->Bars()) {
      if (bar->BuiltIn()) continue;
      for (const auto& control : bar->ControlList())
        if (auto popup = std::dynamic_pointer_cast<host::CommandBarPopup>(control))
          for (const auto& entry : popup->CommandBar()->ControlList())
            if (entry->Caption() == kQuickSave) button = std::dynamic_pointer_cast<host::CommandBarButton>(entry);
    }
    if (!button) {
      std::cerr << "lumivane-bench: the add-in's quick-save command is not on the toolbar\n";
      std::exit(1);
    }
    const auto t = Clock::now();
    button->UserClick();
    return Seconds(t);
  });
}

// The export dialog run once over every message of the Inbox into `out`:
// all file types, a sub-folder named after each message's subject.
double Export(const fs::path& store, const fs::path& out, const fs::path& profile) {
  Fresh(out);
  return InSession(store, out, profile, [](app::Session& session, const auto&) {
    for (const char* line :
         {"dialog frmExport choose optAllMessages", "dialog frmExport choose optEmailFolders",
          "dialog frmExport choose optAll", "dialog frmExport set chkIncludeReport off",
          "dialog frmExport set chkDelete off", "dialog frmExport click cmdOK", "dialog frmExport click cmdCancel"})
      session.Run(line);
    const auto t = Clock::now();
    session.Run("click \"&Export Attachments (Advanced)...\"");
    return Seconds(t);
  });
}

struct DecodedFile {
  std::string subject;
  std::string name;
  std::string bytes;
};

// Every attachment of the Inbox, decoded, with its file name and the
// subject of its message.
std::vector<DecodedFile> Decoded(const fs::path& store) {
  std::vector<DecodedFile> decoded;
  auto mail = host::mail::Store::Open(store);
  for (const auto& message : mail->FindFolder("Inbox")->Messages())
    for (std::size_t i = 0; i < message->Attachments().size(); ++i)
      decoded.push_back({message->Subject(), message->Attachments()[i].file_name, message->ReadAttachment(i)});
  return decoded;
}

// The same bytes written by hand: flat, or into a sub-folder per subject.
double PlainLoop(const std::vector<DecodedFile>& decoded, const fs::path& out, bool subfolders = false) {
  Fresh(out);
  const auto t = Clock::now();
  for (const auto& [subject, name, bytes] : decoded) {
    fs::path folder = out;
    if (subfolders) {
      folder /= subject;
      if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) std::exit(1);
    }
    const platform::UniqueFd fd(::open((folder / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd) std::exit(1);
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd.Get(), bytes.data() + done, bytes.size() - done);
      if (n <= 0) std::exit(1);
      done += static_cast<std::size_t>(n);
    }
  }
  return Seconds(t);
}

// Runs a program (output discarded); false when it could not run or failed.
bool RunProgram(const std::vector<std::string>& argv, const fs::path& cwd, bool quiet = true) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (quiet) {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  pid_t pid = 0;
  const int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  return failed == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Installed(const std::string& program) {
  for (const char* dir : {"/usr/bin", "/usr/local/bin", "/bin"})
    if (::access((fs::path(dir) / program).c_str(), X_OK) == 0) return true;
  return false;
}

void Peers(const fs::path& store, const fs::path& work, double bytes, double ourRate) {
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(store / "cur")) files.push_back(fs::absolute(e.path()));
  std::sort(files.begin(), files.end());
  struct Peer {
    const char* program;
    const char* how;
    std::function<bool(const fs::path& out)> run;
  };
  const Peer peers[] = {
      {"munpack", "one process",
       [&](const fs::path& out) {
         std::vector<std::string> argv{"munpack", "-q", "-C", out.string()};
         for (const auto& f : files) argv.push_back(f.string());
         return RunProgram(argv, out);
       }},
      {"ripmime", "a process per message",
       [&](const fs::path& out) {
         for (std::size_t i = 0; i < files.size(); ++i) {
           const fs::path dir = out / std::to_string(i);
           fs::create_directories(dir);
           if (!RunProgram({"ripmime", "-i", files[i].string(), "-d", dir.string()}, out)) return false;
         }
         return true;
       }},
      {"mu", "mu extract, a process per message",
       [&](const fs::path& out) {
         const fs::path home = work / "mu-home";
         fs::create_directories(home);
         for (std::size_t i = 0; i < files.size(); ++i) {
           const fs::path dir = out / std::to_string(i);
           fs::create_directories(dir);
           if (!RunProgram({"mu", "extract", "--muhome=" + home.string(), "--save-all", "--target-dir=" + dir.string(),
                            files[i].string()},
                           out))
             return false;
         }
         return true;
       }},
  };
  for (const Peer& peer : peers) {
    if (!Installed(peer.program)) {
      std::printf("(g) %s: absent\n", peer.program);
      continue;
    }
    const fs::path out = work / (std::string("out-") + peer.program);
    Fresh(out);
    const auto t = Clock::now();
    const bool ok = peer.run(out);
    const double seconds = Seconds(t);
    if (!ok) {
      std::printf("(g) %s: failed on this Maildir\n", peer.program);
      continue;
    }
    const double rate = bytes / kMB / seconds;
    std::printf("(g) %s (%s): %.3f s: %.1f MB/s decoded; quick-save is %.2fx its rate\n", peer.program, peer.how,
                seconds, rate, ourRate / rate);
  }
}

// (f), in a process of its own so that its peak memory is its own.
const bench::Shape kBigShape{1, 1, 200 * 1024, {}, {}};

int BigChild(const fs::path& work) {
  const fs::path store = MailFor(work, kBigShape);
  const fs::path out = work / "out-big";
  const double seconds = QuickSave(store, out, work / "profile");
  std::size_t files = 0;
  const double bytes = static_cast<double>(FolderBytes(out, files));
  std::printf("(f) one %.0f MB attachment quick-saved in %.3f s: %.1f MB/s decoded; message file %.0f MB\n",
              bytes / kMB, seconds, bytes / kMB / seconds,
              static_cast<double>(fs::file_size(*fs::directory_iterator(store / "cur"))) / kMB);
  // Its own high-water mark: the parent's rusage would count the memory of
  // the process it was started from as well.
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0)
      std::printf("(f) peak resident memory of that process: %.0f MB\n", std::stod(line.substr(6)) / 1024.0);
  return files == 1 ? 0 : 1;
}

void Big(const fs::path& work) {
  // Made here, so that the child's peak memory is that of the save alone.
  MailFor(work, kBigShape);
  std::fflush(stdout);
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  if (!RunProgram({self, "--big-child", work.string()}, work, false)) std::printf("(f) failed\n");
}

// (e) The temporary picture folder for a preview.
void TemporaryFolder(const fs::path& work, const fs::path& profile, int rounds) {
  const bench::Shape many{1, 30, 4096, {}, {}};
  const fs::path manyStore = MailFor(work, many);
  std::size_t files = 0;
  fs::path folder;
  const double seconds = InSession(manyStore, work / "out-temp", profile, [&](app::Session&, const auto& items) {
    namespace pa = lumivane::modPictureAttachments;
    double s = 1e9;
    for (int r = 0; r < rounds; ++r) {
      pa::ClearTempFolder();
      ::sync();
      const auto t = Clock::now();
      pa::SavePicturesToTempFolder(items.at(0)->Attachments());
      s = std::min(s, Seconds(t));
    }
    folder = lumivane::g_objOutAddIn->TempFolderPath();
    FolderBytes(folder, files);
    return s;
  });
  std::printf(
      "(e) temporary picture folder for a message of 30 pictures of 4 MB: %zu files in %.3f s (%.0f ms, best of %d)\n",
      files, seconds, seconds * 1000.0, rounds);
}

}  // namespace

int main(int argc, char** argv) {
  bench::Shape shape;
  fs::path work;
  int rounds = 3;
  bool peers = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << "lumivane-bench: " << a << " needs a value\n";
        std::exit(2);
      }
      return argv[++i];
    };
    try {
      if (a == "--messages") {
        shape.messages = std::stoi(value());
      } else if (a == "--pictures") {
        shape.pictures = std::stoi(value());
      } else if (a == "--kb") {
        shape.kilobytes = std::stoi(value());
      } else if (a == "--work") {
        work = value();
      } else if (a == "--rounds") {
        rounds = std::max(1, std::stoi(value()));
      } else if (a == "--peers") {
        peers = true;
      } else if (a == "--temporary-folder") {  // (e) alone, to profile it
        const fs::path dir = fs::absolute(value());
        TemporaryFolder(dir, dir / "profile", rounds);
        return 0;
      } else if (a == "--big-child") {
        return BigChild(fs::absolute(value()));
      } else {
        std::cerr << "usage: lumivane-bench [--messages N] [--pictures K] [--kb SIZE] [--work DIR] [--rounds R] "
                     "[--peers]\n";
        return 2;
      }
    } catch (const std::invalid_argument&) {
      std::cerr << "lumivane-bench: " << a << " needs a number\n";
      return 2;
    }
  }
  work = bench::WorkFolder(work);
  const fs::path profile = work / "profile";
  const fs::path store = MailFor(work, shape);
  std::cout << "mail: " << shape.messages << " messages x " << shape.pictures << " JPEG attachments x "
            << shape.kilobytes << " KB (" << store.string() << ")\n";

  // (a) Opening the folder.
  {
    auto t = Clock::now();
    host::Host client;
    auto link = host::MailLink::Attach(*client.Store(), host::mail::Store::Open(store));
    const auto& items = link->FolderAt("Inbox")->ItemList();
    const double open = Seconds(t);
    t = Clock::now();
    std::size_t attachments = 0;
    for (const auto& item : items) attachments += item->AttachmentList().size();
    const double structure = Seconds(t);
    std::printf(
        "(a) open the folder (%zu items): %.3f s; then headers and MIME structure of every message: %.3f s "
        "(%zu attachments)\n",
        items.size(), open, structure, attachments);
  }

  // (b) and (c), alternating, the best of each.
  const fs::path outB = work / "out-quicksave";
  const fs::path outC = work / "out-plain";
  const auto decoded = Decoded(store);
  double secondsB = 1e9, secondsC = 1e9;
  for (int r = 0; r < rounds; ++r) {
    secondsB = std::min(secondsB, QuickSave(store, outB, profile));
    secondsC = std::min(secondsC, PlainLoop(decoded, outC));
  }
  std::size_t filesB = 0;
  const double bytesB = static_cast<double>(FolderBytes(outB, filesB));
  double bytesC = 0;
  for (const auto& d : decoded) bytesC += static_cast<double>(d.bytes.size());
  const double rateB = bytesB / kMB / secondsB;
  const double rateC = bytesC / kMB / secondsC;
  std::printf("(b) quick-save through the add-in's toolbar command: %zu files, %.1f MB in %.3f s: %.1f MB/s decoded\n",
              filesB, bytesB / kMB, secondsB, rateB);
  std::printf("(c) plain write loop: %zu files, %.1f MB in %.3f s: %.1f MB/s\n", decoded.size(), bytesC / kMB, secondsC,
              rateC);
  std::printf("(b)/(c): %.2f of the plain loop's rate (best of %d rounds each)\n", rateB / rateC, rounds);
  if (filesB != decoded.size()) {
    std::printf("warning: (b) wrote %zu files, (c) %zu\n", filesB, decoded.size());
    return 1;
  }

  // (d) Many small messages.
  {
    const bench::Shape small{1000, 1, 50, {}, {}};
    const fs::path smallStore = MailFor(work, small);
    const auto smallDecoded = Decoded(smallStore);
    double seconds = 1e9, plain = 1e9;
    for (int r = 0; r < rounds; ++r) {
      seconds = std::min(seconds, QuickSave(smallStore, work / "out-small", profile));
      plain = std::min(plain, PlainLoop(smallDecoded, work / "out-small-plain"));
    }
    std::printf(
        "(d) 1000 messages of one 50 KB picture: quick-save %.3f s (%.3f ms a message), plain loop %.3f s: "
        "%.2f of its rate\n",
        seconds, seconds * 1000.0 / small.messages, plain, plain / seconds);
  }

  // (h) The export dialog over the same folder, a sub-folder per message.
  {
    const fs::path outH = work / "out-export";
    const fs::path outPlain = work / "out-export-plain";
    double secondsH = 1e9, secondsPlain = 1e9;
    for (int r = 0; r < rounds; ++r) {
      secondsH = std::min(secondsH, Export(store, outH, profile));
      secondsPlain = std::min(secondsPlain, PlainLoop(decoded, outPlain, true));
    }
    std::size_t filesH = 0;
    const double bytesH = static_cast<double>(FolderBytes(outH, filesH));
    const double rateH = bytesH / kMB / secondsH;
    const double ratePlain = bytesC / kMB / secondsPlain;
    std::printf(
        "(h) export dialog, every attachment, a sub-folder per message: %zu files, %.1f MB in %.3f s: %.1f MB/s "
        "decoded; plain loop into the same sub-folders %.1f MB/s (%.2f of it); %.2f of quick-save's rate\n",
        filesH, bytesH / kMB, secondsH, rateH, ratePlain, rateH / ratePlain, rateH / rateB);
    if (filesH != decoded.size())
      std::printf("warning: (h) wrote %zu files, the folder holds %zu\n", filesH, decoded.size());
  }

  TemporaryFolder(work, profile, rounds);
  Big(work);
  if (peers) Peers(store, work, bytesB, rateB);
  return 0;
}
