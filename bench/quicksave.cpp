// lumivane-bench [--messages N] [--pictures K] [--kb SIZE] [--work DIR]
//
// Times, in one run over a synthetic Maildir (made by the same code as
// lumivane-bench-maildir, kept in the work folder for the next run):
//  (a) opening the folder: the store and the folder's list of items, then,
//      for information, reading every message's headers and MIME structure;
//  (b) quick-saving every picture of every message through the add-in's
//      toolbar command (no confirmation, no conflicts), as a person would;
//  (c) writing the same decoded bytes with a plain write loop;
// and prints the decoded MB/s of (b) and (c) and their ratio.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/registration.h"
#include "app/session.h"
#include "bench/synthetic.h"
#include "host/mail_link.h"
#include "platform/registry/registry.h"

namespace fs = std::filesystem;
namespace reg = platform::registry;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

std::uintmax_t FolderBytes(const fs::path& dir, std::size_t& files) {
  std::uintmax_t total = 0;
  files = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    if (!e.is_regular_file()) continue;
    total += e.file_size();
    ++files;
  }
  return total;
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

}  // namespace

int main(int argc, char** argv) {
  bench::Shape shape;
  fs::path work;
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
      } else {
        std::cerr << "usage: lumivane-bench [--messages N] [--pictures K] [--kb SIZE] [--work DIR]\n";
        return 2;
      }
    } catch (const std::invalid_argument&) {
      std::cerr << "lumivane-bench: " << a << " needs a number\n";
      return 2;
    }
  }
  work = bench::WorkFolder(work);
  const std::string tag = std::to_string(shape.messages) + "x" + std::to_string(shape.pictures) + "x" +
                          std::to_string(shape.kilobytes) + "k";
  const fs::path store = work / ("maildir-" + tag);
  const fs::path outB = work / "out-quicksave";
  const fs::path outC = work / "out-plain";
  const fs::path profile = work / "profile";
  fs::remove_all(outB);
  fs::remove_all(outC);
  fs::remove_all(profile);
  fs::create_directories(outB);
  fs::create_directories(outC);
  if (!fs::exists(store / "cur")) {
    std::cout << "making " << store.string() << " ...\n";
    bench::WriteMaildir(store, shape);
  }
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

  // (b) The quick-save command of the toolbar.
  double secondsB = 0;
  std::string how;
  {
    std::ostringstream transcript;
    app::SessionSetup setup;
    setup.options.store = store;
    setup.options.profile = profile;
    setup.publishDesktop = false;
    app::Session session(transcript, std::move(setup));
    SetNumber("DoNotPromptBeforeQuickSave", 1);
    SetText("PictureDumpDirectory", outB.string());
    session.Run("start");
    auto app = session.Client().App();
    auto explorer = app->ActiveExplorer();
    const auto items = explorer->CurrentFolder()->ItemList();
    explorer->Select(items);
    std::shared_ptr<host::CommandBarButton> button;
    // The entry of the add-in's popup on its toolbar.
    for (const auto& bar : explorer->Bars()->Bars()) {
      if (bar->BuiltIn()) continue;
      for (const auto& control : bar->ControlList())
        if (auto popup = std::dynamic_pointer_cast<host::CommandBarPopup>(control))
          for (const auto& entry : popup->CommandBar()->ControlList())
            if (entry->Caption() == kQuickSave) button = std::dynamic_pointer_cast<host::CommandBarButton>(entry);
    }
    const auto t = Clock::now();
    if (button) {
      how = "the add-in's toolbar command";
      button->UserClick();
    } else {
      how = "the host's SaveAsFile for each picture (this build holds no add-in)";
      for (const auto& item : items)
        for (const auto& a : item->AttachmentList())
          if (a->FileName().size() > 4 && a->FileName().compare(a->FileName().size() - 4, 4, ".jpg") == 0)
            a->SaveAsFile((outB / a->FileName()).string());
    }
    secondsB = Seconds(t);
    session.Run("stop");
  }
  std::size_t filesB = 0;
  const std::uintmax_t bytesB = FolderBytes(outB, filesB);

  // (c) The same bytes with a plain write loop.
  std::vector<std::pair<std::string, std::string>> decoded;
  {
    auto mail = host::mail::Store::Open(store);
    for (const auto& message : mail->FindFolder("Inbox")->Messages())
      for (std::size_t i = 0; i < message->Attachments().size(); ++i)
        decoded.emplace_back(message->Attachments()[i].file_name, message->ReadAttachment(i));
  }
  const auto t = Clock::now();
  std::uintmax_t bytesC = 0;
  for (const auto& [name, bytes] : decoded) {
    const int fd = ::open((outC / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return 1;
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n <= 0) return 1;
      done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytesC += bytes.size();
  }
  const double secondsC = Seconds(t);

  const double mb = 1024.0 * 1024.0;
  const double rateB = static_cast<double>(bytesB) / mb / secondsB;
  const double rateC = static_cast<double>(bytesC) / mb / secondsC;
  std::printf("(b) quick-save through %s: %zu files, %.1f MB in %.3f s: %.1f MB/s decoded\n", how.c_str(), filesB,
              static_cast<double>(bytesB) / mb, secondsB, rateB);
  std::printf("(c) plain write loop: %zu files, %.1f MB in %.3f s: %.1f MB/s\n", decoded.size(),
              static_cast<double>(bytesC) / mb, secondsC, rateC);
  std::printf("(b)/(c): %.2f of the plain loop's rate\n", rateB / rateC);
  if (filesB != decoded.size()) {
    std::printf("warning: (b) wrote %zu files, (c) %zu\n", filesB, decoded.size());
    return 1;
  }
  return 0;
}
