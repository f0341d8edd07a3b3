#include "app/transcript.h"

#include <algorithm>

#include "app/words.h"
#include "platform/forms/fm_check_box.h"
#include "platform/forms/msforms.h"
#include "runtime/error.h"
#include "runtime/text.h"

namespace app {

namespace fs = std::filesystem;
namespace forms = platform::forms;

namespace {

std::string Lower(std::string_view s) { return runtime::LCase(s); }

std::string WithoutAmpersand(std::string_view s) {
  std::string out;
  for (char c : s)
    if (c != '&') out += c;
  return out;
}

std::optional<std::string> CaptionOf(const forms::Control& c) {
  if (auto* x = dynamic_cast<const forms::CommandButton*>(&c)) return x->Caption();
  if (auto* x = dynamic_cast<const forms::OptionButton*>(&c)) return x->Caption();
  if (auto* x = dynamic_cast<const forms::CheckBox*>(&c)) return x->Caption();
  if (auto* x = dynamic_cast<const forms::Label*>(&c)) return x->Caption();
  if (auto* x = dynamic_cast<const forms::Frame*>(&c)) return x->Caption();
  if (auto* x = dynamic_cast<const forms::msforms::OptionButton*>(&c)) return x->Caption();
  if (auto* x = dynamic_cast<const forms::msforms::CheckBox*>(&c)) return x->Caption();
  return std::nullopt;
}

bool Showing(const forms::Form& form) { return form.IsLoaded() && forms::FormAccess::IsVisible(form); }

// The buttons a style offers, and the answer that commits to least.
bool Fits(long answer, long style) {
  switch (style & 7) {
    case forms::vbOKOnly: return answer == forms::vbOK;
    case forms::vbOKCancel: return answer == forms::vbOK || answer == forms::vbCancel;
    case forms::vbAbortRetryIgnore:
      return answer == forms::vbAbort || answer == forms::vbRetry || answer == forms::vbIgnore;
    case forms::vbYesNoCancel: return answer == forms::vbYes || answer == forms::vbNo || answer == forms::vbCancel;
    case forms::vbYesNo: return answer == forms::vbYes || answer == forms::vbNo;
    case forms::vbRetryCancel: return answer == forms::vbRetry || answer == forms::vbCancel;
    default: return false;
  }
}

long Safest(long style) {
  switch (style & 7) {
    case forms::vbOKCancel:
    case forms::vbYesNoCancel:
    case forms::vbRetryCancel: return forms::vbCancel;
    case forms::vbAbortRetryIgnore: return forms::vbAbort;
    case forms::vbYesNo: return forms::vbNo;
    default: return forms::vbOK;
  }
}

std::optional<long> ParseAnswer(std::string_view word) {
  const std::string w = Lower(word);
  if (w == "y" || w == "yes") return forms::vbYes;
  if (w == "n" || w == "no") return forms::vbNo;
  if (w == "ok" || w == "o") return forms::vbOK;
  if (w == "c" || w == "cancel") return forms::vbCancel;
  if (w == "a" || w == "abort") return forms::vbAbort;
  if (w == "r" || w == "retry") return forms::vbRetry;
  if (w == "i" || w == "ignore") return forms::vbIgnore;
  return std::nullopt;
}

}  // namespace

// ---- Transcript -------------------------------------------------------------

// Every text reaches the terminal through these two, escaped: subjects and
// names from mail could otherwise send it control sequences.
void Transcript::Line(std::string_view text) {
  out_ << OneLine(text) << '\n';
  out_.flush();
}

void Transcript::Block(std::string_view text) {
  while (!text.empty()) {
    const std::size_t nl = text.find('\n');
    out_ << "  " << OneLine(text.substr(0, nl)) << '\n';
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
  out_.flush();
}

std::string OneLine(std::string_view text) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const auto hex = [](unsigned char c) { return std::string{kDigits[c >> 4], kDigits[c & 0xF]}; };
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' || c == '\n' || c == '\t') {
      out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\t";
      ++i;
      continue;
    }
    if (c < 0x20 || c == 0x7F) {
      out += "\\x" + hex(c);
      ++i;
      continue;
    }
    // A multi-byte character whose bytes are all there passes, except the C1
    // controls (U+0080-U+009F: CSI is one of them); a stray byte is escaped.
    const std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    bool whole = n != 0 && i + n <= text.size();
    for (std::size_t k = 1; whole && k < n; ++k) whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
    if (!whole) {
      out += "\\x" + hex(c);
      ++i;
    } else if (c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
      out += "\\u00" + hex(static_cast<unsigned char>(text[i + 1]));
      i += 2;
    } else {
      out.append(text.substr(i, n));
      i += n;
    }
  }
  return out;
}

std::string DescribeBox(const forms::MessageBoxRecord& box) {
  std::string out = "message box \"" + box.title + "\" [";
  const std::string_view icon = forms::IconName(box.style);
  if (!icon.empty()) out += std::string(icon) + ", ";
  out += std::string(forms::ButtonsName(box.style)) + "]: " + OneLine(box.prompt);
  return out;
}

// ---- message boxes ------------------------------------------------------------

void ProgramMessageBoxes::Queue(long answer, int count) {
  for (int i = 0; i < count; ++i) answers_.push_back(answer);
}

long ProgramMessageBoxes::AskConsole(const forms::MessageBoxRecord& box) {
  // A person reads the box as it would look: its own line breaks, indented.
  std::string head = "message box \"" + box.title + "\" [";
  const std::string_view icon = forms::IconName(box.style);
  if (!icon.empty()) head += std::string(icon) + ", ";
  state_.transcript.Line(head + std::string(forms::ButtonsName(box.style)) + "]:");
  for (const std::string& line : runtime::Split(runtime::Replace(box.prompt, "\r\n", "\n"), "\n"))
    state_.transcript.Line("  " + line);
  for (;;) {
    auto line = state_.console->Ask("answer [" + std::string(forms::ButtonsName(box.style)) + "]> ");
    if (!line) return Safest(box.style);  // the input ended: the answer that does least
    auto answer = ParseAnswer(runtime::Trim(*line));
    if (answer && Fits(*answer, box.style)) return *answer;
    state_.transcript.Line("  (answer one of " + std::string(forms::ButtonsName(box.style)) + ")");
  }
}

long ProgramMessageBoxes::Answer(const forms::MessageBoxRecord& box) {
  forms::MessageBoxRecord logged = box;
  long answer = forms::vbOK;
  bool printed = false;
  if (state_.onBox) state_.onBox(box);
  if (state_.screenBoxes && answers_.empty()) {
    answer = state_.screenBoxes->Answer(box);
  } else if ((box.style & 7) == forms::vbOKOnly) {
    answer = forms::vbOK;
  } else if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
    if (!Fits(answer, box.style)) {
      state_.Stop("the queued answer " + std::string(forms::ResultName(answer)) + " does not fit the buttons " +
                  std::string(forms::ButtonsName(box.style)) + " of the box \"" + box.title + "\"");
      answer = Safest(box.style);
    }
  } else if (state_.console != nullptr) {
    answer = AskConsole(box);
    printed = true;
  } else {
    state_.Stop("the box \"" + box.title + "\" asks " + std::string(forms::ButtonsName(box.style)) +
                " and no answer is queued (use: answer yes|no|ok|cancel)");
    answer = Safest(box.style);
  }
  logged.answer = answer;
  log_.push_back(logged);
  if (printed) {
    state_.transcript.Line("  -> " + std::string(forms::ResultName(answer)));
  } else {
    state_.transcript.Line(DescribeBox(box) + " -> " + std::string(forms::ResultName(answer)));
  }
  return answer;
}

// ---- forms ----------------------------------------------------------------------

forms::Control& FindFormControl(forms::Form& form, std::string_view what) {
  const std::vector<forms::Control*> controls = form.Controls();
  const auto fullName = [](const forms::Control* c) {
    return c->Index() >= 0 ? c->Name() + "(" + std::to_string(c->Index()) + ")" : c->Name();
  };
  for (auto* c : controls)
    if (fullName(c) == what) return *c;
  for (auto* c : controls)
    if (runtime::TextEqual(fullName(c), what)) return *c;
  const std::string wanted = Lower(WithoutAmpersand(what));
  for (auto* c : controls) {
    const auto caption = CaptionOf(*c);
    if (caption && Lower(WithoutAmpersand(*caption)) == wanted) return *c;
  }
  runtime::Raise(runtime::err::kInvalidProcedureCall,
                 "The form " + form.Name() + " has no control '" + std::string(what) + "'");
}

void PerformFormAction(forms::Form& form, const std::vector<std::string>& words) {
  const auto need = [&](std::size_t n) {
    if (words.size() != n)
      runtime::Raise(runtime::err::kInvalidProcedureCall, "\"" + runtime::Join(words, " ") + "\" is not an action");
  };
  if (words.empty()) runtime::Raise(runtime::err::kInvalidProcedureCall, "no action");
  const std::string verb = Lower(words[0]);
  if (verb == "click" || verb == "choose") {
    need(2);
    forms::Control& c = FindFormControl(form, words[1]);
    if (verb == "choose" && dynamic_cast<forms::OptionButton*>(&c) == nullptr &&
        dynamic_cast<forms::msforms::OptionButton*>(&c) == nullptr)
      runtime::Raise(runtime::err::kInvalidProcedureCall, words[1] + " is no option of " + form.Name());
    forms::user::Click(c);
  } else if (verb == "set") {
    need(3);
    forms::Control& c = FindFormControl(form, words[1]);
    if (auto* box = dynamic_cast<forms::TextBox*>(&c)) {
      forms::user::Paste(*box, words[2]);
    } else if (auto* check = dynamic_cast<forms::CheckBox*>(&c)) {
      const std::string v = Lower(words[2]);
      const int want = v == "1" || v == "on" || v == "yes" || v == "true" ? forms::vbChecked : forms::vbUnchecked;
      for (int i = 0; i < 3 && check->Value() != want; ++i) forms::user::Click(*check);
    } else if (auto* box = dynamic_cast<forms::msforms::CheckBox*>(&c)) {
      const std::string v = Lower(words[2]);
      const bool want = v == "1" || v == "on" || v == "yes" || v == "true";
      if ((box->Value() != 0) != want) forms::user::Click(*box);
    } else {
      runtime::Raise(runtime::err::kInvalidProcedureCall, words[1] + " of " + form.Name() + " takes no text");
    }
  } else if (verb == "key") {
    need(2);
    const std::string k = Lower(words[1]);
    const int code = k == "enter" ? forms::vbKeyReturn
                     : k == "esc" ? forms::vbKeyEscape
                     : k == "tab" ? forms::vbKeyTab
                                  : 0;
    if (code == 0) runtime::Raise(runtime::err::kInvalidProcedureCall, "unknown key " + words[1]);
    forms::user::PressKey(form, code);
  } else if (verb == "close") {
    need(1);
    forms::user::Close(form);
  } else {
    runtime::Raise(runtime::err::kInvalidProcedureCall, "unknown form action " + words[0]);
  }
}

void ProgramUserInterface::QueueAction(const std::string& formName, std::vector<std::string> words) {
  actions_[Lower(formName)].push_back(std::move(words));
}

void ProgramUserInterface::QueueFolder(std::optional<std::string> folder) { folders_.push_back(std::move(folder)); }

std::size_t ProgramUserInterface::PendingActions() const {
  std::size_t n = 0;
  for (const auto& [name, queue] : actions_) n += queue.size();
  return n;
}

forms::UserInterface::Driver ProgramUserInterface::ModalDriver(const forms::Form&) {
  return [this](forms::Form& form) { Drive(form); };
}

void ProgramUserInterface::Drive(forms::Form& form) {
  state_.transcript.Line("form shown modally: " + form.Name());
  state_.transcript.Block(forms::DescribeForm(form));
  if (state_.onModal) state_.onModal(form);
  auto& queue = actions_[Lower(form.Name())];
  if (queue.empty() && state_.screenPerson) {
    // A person answers on screen; what they did shows in its effects.
    if (auto driver = state_.screenPerson->ModalDriver(form)) driver(form);
    return;
  }
  while (Showing(form)) {
    std::vector<std::string> action;
    if (!queue.empty()) {
      action = std::move(queue.front());
      queue.pop_front();
      state_.transcript.Line("  > " + runtime::Join(action, " "));
    } else if (state_.console != nullptr) {
      auto line = state_.console->Ask(form.Name() + "> ");
      if (!line) break;
      Words w = SplitWords(*line);
      if (!w.error.empty()) {
        state_.transcript.Line("  " + w.error);
        continue;
      }
      if (w.words.empty()) continue;
      if (w.words.size() == 1 && (w.words[0] == "show" || w.words[0] == "help")) {
        if (w.words[0] == "help")
          state_.transcript.Line(
              "  click CONTROL | set CONTROL TEXT | choose OPTION | key enter|esc|tab | close | show");
        state_.transcript.Block(forms::DescribeForm(form));
        continue;
      }
      action = std::move(w.words);
    } else {
      state_.Stop("the form " + form.Name() +
                  " is shown modally and nothing more is queued for it (use: dialog FORM click CONTROL)");
      break;
    }
    try {
      PerformFormAction(form, action);
    } catch (const runtime::Error& e) {
      if (state_.console == nullptr) {
        state_.Stop(e.Description());
        break;
      }
      state_.transcript.Line("  " + e.Description());
      continue;
    }
    if (state_.console != nullptr && Showing(form)) state_.transcript.Block(forms::DescribeForm(form));
  }
  // Nobody answers any more: the form goes as its close button sends it.
  if (Showing(form)) {
    try {
      forms::user::Close(form);
    } catch (const runtime::Error&) {
    }
  }
}

forms::FolderAnswer ProgramUserInterface::PickFolder(const forms::FolderRequest& request) {
  const std::string title = request.title ? "\"" + *request.title + "\"" : "(no title)";
  forms::FolderAnswer answer;
  std::optional<std::string> folder;
  if (!folders_.empty()) {
    folder = folders_.front();
    folders_.pop_front();
  } else if (state_.screenPerson) {
    answer = state_.screenPerson->PickFolder(request);
    if (answer.kind == forms::FolderAnswer::Kind::Folder) folder = answer.path;
  } else if (state_.console != nullptr) {
    // As the dialog opens at the desktop, a name typed without a folder is
    // taken from there.
    std::error_code here;
    const fs::path start = request.start.empty() ? fs::current_path(here) : fs::path(request.start);
    state_.transcript.Line("folder pick " + title + " in " + start.string());
    for (;;) {
      auto line = state_.console->Ask("folder (empty: cancel)> ");
      if (!line || runtime::Trim(*line).empty()) break;
      fs::path p = (start / runtime::Trim(*line)).lexically_normal();
      if (p.has_relative_path() && p.filename().empty()) p = p.parent_path();  // a trailing slash
      std::error_code ec;
      if (fs::is_directory(p, ec)) {
        folder = p.string();
        break;
      }
      state_.transcript.Line("  no such folder: " + p.string());
    }
  } else {
    state_.Stop("a folder pick " + title + " comes and none is queued (use: pick-folder PATH|cancel)");
  }
  if (folder) {
    answer.kind = forms::FolderAnswer::Kind::Folder;
    answer.path = *folder;
    answer.displayName = fs::path(*folder).filename().string();
  }
  state_.transcript.Line("folder pick " + title + " -> " + (folder ? *folder : std::string("cancel")));
  return answer;
}

void ProgramUserInterface::Notice(const forms::FormNotice& notice) {
  if (notice.action == "Show") shown_.push_back(notice.form);
}

void ProgramUserInterface::ReportShownForms() {
  std::vector<std::string> names;
  for (auto& n : shown_)
    if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
  shown_.clear();
  for (const auto& name : names) {
    std::shared_ptr<forms::Form> live;
    for (const auto& f : forms::Forms())
      if (f->Name() == name && Showing(*f)) live = f;
    if (!live) {
      state_.transcript.Line("form shown: " + name + " (closed again)");
      continue;
    }
    state_.transcript.Line("form shown: " + name);
    state_.transcript.Block(forms::DescribeForm(*live));
  }
}

// ---- program starts -----------------------------------------------------------

long TranscriptLauncher::Start(const platform::shell::ProgramStart& start) {
  std::vector<std::string> quoted;
  for (const auto& a : start.argv) quoted.push_back(QuoteWord(a));
  const std::string line = "program start: " + runtime::Join(quoted, " ");
  if (!real_) {
    if (start.argv.empty() || start.argv[0].empty()) runtime::Raise(runtime::err::kInvalidProcedureCall);
    state_.transcript.Line(line + " (not started: scripted run)");
    return ++next_;
  }
  try {
    const long pid = process_.Start(start);
    state_.transcript.Line(line);
    return pid;
  } catch (const runtime::Error& e) {
    state_.transcript.Line(line + " (failed: " + e.Description() + ")");
    throw;
  }
}

// ---- files written ----------------------------------------------------------------

void FileWatch::Watch(const fs::path& folder, bool recursive) {
  for (auto& [f, r] : folders_) {
    if (f == folder) {
      r = r || recursive;
      return;
    }
  }
  folders_.emplace_back(folder, recursive);
  // What is there already is not news.
  for (auto& [p, s] : Scan())
    if (!seen_.count(p)) seen_[p] = s;
}

std::map<fs::path, FileWatch::Stamp> FileWatch::Scan() const {
  std::map<fs::path, Stamp> out;
  const auto add = [&](const fs::directory_entry& e) {
    std::error_code ec;
    if (!e.is_regular_file(ec)) return;
    Stamp s;
    s.size = e.file_size(ec);
    s.time = e.last_write_time(ec);
    out[e.path()] = s;
  };
  for (const auto& [folder, recursive] : folders_) {
    std::error_code ec;
    if (recursive) {
      for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) add(*it);
    } else {
      for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) add(*it);
    }
  }
  return out;
}

void FileWatch::Look() { seen_ = Scan(); }

std::vector<std::pair<fs::path, std::uintmax_t>> FileWatch::Changes() {
  auto now = Scan();
  std::vector<std::pair<fs::path, std::uintmax_t>> out;
  for (const auto& [p, s] : now) {
    auto it = seen_.find(p);
    if (it == seen_.end() || !(it->second == s)) out.emplace_back(p, s.size);
  }
  seen_ = std::move(now);
  return out;
}

}  // namespace app
