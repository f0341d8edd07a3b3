// One run of the program: running a line of the command language, what a
// command caused (files written, boxes, errors that escaped), and the
// helpers the commands lean on. Set-up, the commands and the `show` output
// are in session_setup.cpp, session_commands.cpp and session_show.cpp.

#include "app/session.h"

#include <map>

#include "app/session_parts.h"
#include "app/words.h"
#include "platform/fso/resolve.h"
#include "platform/registry/registry.h"
#include "runtime/error.h"
#include "runtime/text.h"

namespace app {

namespace fs = std::filesystem;
namespace reg = platform::registry;

void Fail(const std::string& why) { runtime::Raise(runtime::err::kInvalidProcedureCall, why); }

std::string ErrorLine(const runtime::Error& e) {
  return "error: " + e.Description() +
         (e.Number() == runtime::err::kInvalidProcedureCall ? "" : " (" + std::to_string(e.Number()) + ")");
}

long Number(const std::string& word, const std::string& what) {
  long n = 0;
  std::size_t used = 0;
  try {
    n = std::stol(word, &used);
  } catch (...) {
    used = 0;
  }
  if (used != word.size() || word.empty()) Fail(what + " must be a number, not '" + word + "'");
  return n;
}

std::string ReadProblems(const host::MailLink& link, host::Item& item) {
  std::shared_ptr<host::mail::Message> message;
  try {
    message = link.Mail()->FindMessage(item.EntryID());
    if (!message || message->Problems().empty()) return {};
    return " (could not be read whole: " + runtime::Join(message->Problems(), "; ") + ")";
  } catch (const runtime::Error& e) {
    return " (could not be read whole: " + e.Description() + ")";
  }
}

// ---- running a line ---------------------------------------------------------------

bool Session::Run(std::string_view line) {
  const Words w = SplitWords(line);
  if (!w.error.empty()) {
    state_.transcript.Line("error: " + w.error);
    return false;
  }
  if (w.words.empty()) return true;
  // At a terminal the person sees what they typed already.
  if (state_.console == nullptr) state_.transcript.Line("> " + std::string(runtime::Trim(line)));
  bool ok = true;
  try {
    Dispatch(w.words);
  } catch (const runtime::Error& e) {
    state_.transcript.Line(ErrorLine(e));
    ok = false;
  } catch (const std::exception& e) {
    state_.transcript.Line(std::string("error: ") + e.what());
    ok = false;
  }
  try {
    AfterCommand();
  } catch (const runtime::Error& e) {
    state_.transcript.Line("error: " + e.Description());
    ok = false;
  }
  if (state_.stop) {
    state_.transcript.Line("error: " + *state_.stop);
    state_.stop.reset();
    ok = false;
  }
  return ok;
}

void Session::Idle() {
  try {
    AfterCommand();
  } catch (const runtime::Error& e) {
    state_.transcript.Line("error: " + e.Description());
  }
}

bool Session::Finish() {
  std::vector<std::string> left;
  if (boxes_->Pending() > 0) left.push_back(std::to_string(boxes_->Pending()) + " answer(s)");
  if (ui_->PendingActions() > 0) left.push_back(std::to_string(ui_->PendingActions()) + " dialog action(s)");
  if (ui_->PendingFolders() > 0) left.push_back(std::to_string(ui_->PendingFolders()) + " folder pick(s)");
  if (setup_.screen && setup_.screen->Pending() > 0)
    left.push_back(std::to_string(setup_.screen->Pending()) + " snapshot(s)");
  if (left.empty()) return true;
  state_.transcript.Line("error: the script queued " + runtime::Join(left, ", ") + " that nothing asked for");
  return false;
}

void Session::Dispatch(const Args& words) {
  auto it = commands_.find(runtime::LCase(words[0]));
  if (it == commands_.end()) Fail("unknown command '" + words[0] + "' (type help)");
  it->second(Args(words.begin() + 1, words.end()));
}

void Session::Lines(const std::vector<std::string>& lines) {
  for (const auto& line : lines) state_.transcript.Line(line);
}

void Session::AfterCommand() {
  ui_->ReportShownForms();
  if (setup_.screen) {
    setup_.screen->Settle();
    Lines(setup_.screen->VisibleFormsShown());
  }
  // Files: what the watched folders got, the targets of SaveAsFile anywhere,
  // and the message files that saves wrote.
  std::map<std::string, std::uintmax_t> files;
  if (host_) {
    for (const auto& call : host_->Context()->Calls()) {
      if (call.member != "SaveAsFile") continue;
      // Named as on disk: the add-in's TRIP/photo.jpg may have gone into Trip/.
      const std::string path = platform::fso::ResolvePath(call.detail);
      std::error_code ec;
      files[path] = fs::file_size(path, ec);
    }
    host_->Context()->ClearCalls();
  }
  if (auto r = reg::Current()) {
    if (auto dump = r->Peek(reg::HKEY_CURRENT_USER, kSettingsKey, "PictureDumpDirectory")) {
      std::string dir(dump->data.begin(), dump->data.end());
      dir = dir.substr(0, dir.find('\0'));
      std::error_code ec;
      if (!dir.empty() && fs::is_directory(dir, ec)) watch_.Watch(dir, false);
    }
  }
  for (const auto& [path, size] : watch_.Changes()) files[path.string()] = size;
  for (const auto& file : written_) files.erase(file);
  // A file may be gone by now: a window that closed emptied its folder.
  constexpr auto kGone = static_cast<std::uintmax_t>(-1);
  for (const auto& [path, size] : files)
    state_.transcript.Line("file written: " + path +
                           (size == kGone ? " (removed again)" : " (" + std::to_string(size) + " bytes)"));
  for (const auto& file : written_) state_.transcript.Line("message file written: " + file);
  written_.clear();
  if (host_) {
    const auto& escaped = host_->EscapedErrors();
    for (; escapedSeen_ < escaped.size(); ++escapedSeen_) {
      const auto& e = escaped[escapedSeen_];
      state_.transcript.Line("error escaped from the add-in in " + e.event + ": " + std::to_string(e.number) + " " +
                             e.description);
    }
  }
}

// ---- helpers ------------------------------------------------------------------------

std::shared_ptr<host::Application> Session::RunningApp() {
  if (!host_ || !host_->Running()) Fail("the mail client is not running (start it first)");
  return host_->App();
}

std::shared_ptr<host::Explorer> Session::ActiveExplorer() {
  auto e = RunningApp()->ActiveExplorer();
  if (!e) Fail("no Explorer window is open");
  return e;
}

std::shared_ptr<host::Inspector> Session::ActiveInspector() {
  auto i = RunningApp()->ActiveInspector();
  if (!i) Fail("no message window is open");
  return i;
}

std::shared_ptr<host::CommandBars> Session::ActiveBars() {
  auto app = RunningApp();
  if (inspectorOnTop_ && app->ActiveInspector()) return app->ActiveInspector()->Bars();
  if (auto e = app->ActiveExplorer()) return e->Bars();
  if (auto i = app->ActiveInspector()) return i->Bars();
  Fail("no window is open");
}

std::shared_ptr<host::Folder> Session::FolderArg(const std::string& path) {
  auto folder = link_->FolderAt(path);
  if (!folder) {
    std::vector<std::string> known;
    for (const auto& [name, f] : link_->Folders()) known.push_back(name);
    Fail("the store has no folder '" + path + "' (its folders: " + runtime::Join(known, ", ") + ")");
  }
  return folder;
}

std::string Session::FolderName(const std::shared_ptr<host::Folder>& folder) {
  const std::string path = link_->PathOf(folder);
  return path.empty() ? folder->Name() : path;
}

std::vector<std::shared_ptr<host::Item>> Session::CurrentItems() {
  auto folder = ActiveExplorer()->CurrentFolder();
  if (!folder) Fail("the Explorer shows no folder");
  return folder->ItemList();
}

}  // namespace app
