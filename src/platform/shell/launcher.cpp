#include "platform/shell/launcher.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/unique_fd.h"
#include "runtime/error.h"
#include "runtime/text.h"

namespace platform::shell {

namespace {

struct Word {
  std::string text;
  std::size_t end = 0;  // offset just past the word in the command line
};

std::vector<Word> Split(std::string_view line) {
  std::vector<Word> words;
  std::size_t i = 0;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (i < line.size()) {
    while (i < line.size() && blank(line[i])) ++i;
    if (i >= line.size()) break;
    Word w;
    bool quoted = false;
    for (; i < line.size() && (quoted || !blank(line[i])); ++i) {
      const char c = line[i];
      if (c == '\\' && i + 1 < line.size() && line[i + 1] == '"') {
        w.text += '"';
        ++i;
      } else if (c == '"') {
        quoted = !quoted;
      } else {
        w.text += c;
      }
    }
    w.end = i;
    words.push_back(std::move(w));
  }
  return words;
}

std::string BaseNameLower(std::string_view program) {
  const std::size_t cut = program.find_last_of("/\\");
  const std::string_view base = cut == std::string_view::npos ? program : program.substr(cut + 1);
  return runtime::LCase(base);
}

bool IsWebAddress(std::string_view text) {
  const std::string lower = runtime::LCase(text.substr(0, 8));
  for (std::string_view scheme : {"http://", "https://", "ftp://", "mailto:", "file://", "www."})
    if (lower.rfind(scheme, 0) == 0) return true;
  return false;
}

std::string Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return std::string(s);
}

[[noreturn]] void RaiseFor(int error, const std::string& program) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: runtime::Raise(runtime::err::kFileNotFound, "File not found: " + program);
    case EACCES:
    case EPERM: runtime::Raise(runtime::err::kPermissionDenied, "Permission denied: " + program);
    default:
      runtime::Raise(runtime::err::kInvalidProcedureCall,
                     "Could not start " + program + ": " + std::string(std::strerror(error)));
  }
}

// What the two processes between us and the program report through the pipe.
struct Report {
  char tag;  // 'P': the program's process id; 'E': exec failed with errno
  int value;
};

void Send(int fd, char tag, int value) {
  const Report r{tag, value};
  [[maybe_unused]] const ssize_t n = ::write(fd, &r, sizeof r);
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> out;
  for (auto& w : Split(commandLine)) out.push_back(std::move(w.text));
  return out;
}

std::vector<std::string> TranslateProgram(std::string_view commandLine) {
  const std::vector<Word> words = Split(commandLine);
  std::vector<std::string> argv;
  if (words.empty()) return argv;
  const std::string program = BaseNameLower(words[0].text);
  if (program == "explorer.exe" || program == "explorer") {
    argv.emplace_back(kOpener);
    for (std::size_t i = 1; i < words.size(); ++i) argv.push_back(words[i].text);
    return argv;
  }
  if ((program == "rundll32.exe" || program == "rundll32") && words.size() >= 3 &&
      runtime::LCase(words[1].text).find("shimgvw.dll,") != std::string::npos) {
    // Everything after the entry point is the file, blanks and all.
    std::string file = Trim(commandLine.substr(words[1].end));
    if (file.size() >= 2 && file.front() == '"' && file.back() == '"') file = file.substr(1, file.size() - 2);
    return {std::string(kOpener), file};
  }
  if (IsWebAddress(words[0].text)) argv.emplace_back(kOpener);
  for (const auto& w : words) argv.push_back(w.text);
  return argv;
}

std::vector<std::string> TranslateProgramOnFile(std::string_view program, std::string_view file) {
  const std::string whole = Trim(program);
  std::vector<std::string> argv;
  std::error_code error;
  if (!whole.empty() && std::filesystem::is_regular_file(whole, error)) {
    argv.push_back(whole);
  } else {
    const std::vector<Word> words = Split(whole);
    const std::string name = words.empty() ? std::string() : BaseNameLower(words[0].text);
    const bool opener = name == "explorer.exe" || name == "explorer" ||
                        ((name == "rundll32.exe" || name == "rundll32") && words.size() >= 2 &&
                         runtime::LCase(words[1].text).find("shimgvw.dll,") != std::string::npos);
    if (opener) return {std::string(kOpener), std::string(file)};
    for (const auto& w : words) argv.push_back(w.text);
  }
  argv.emplace_back(file);
  return argv;
}

double Launch(Launcher& launcher, std::string_view commandLine, long windowStyle) {
  ProgramStart start;
  start.argv = TranslateProgram(commandLine);
  start.commandLine = std::string(commandLine);
  start.windowStyle = windowStyle;
  if (start.argv.empty()) runtime::Raise(runtime::err::kInvalidProcedureCall);
  return static_cast<double>(launcher.Start(start));
}

void InstallLauncher(std::shared_ptr<Launcher> launcher) {
  if (!launcher) {
    SetProgramStarter(nullptr);
    SetFileProgramStarter(nullptr);
    return;
  }
  SetProgramStarter([launcher](std::string_view commandLine, long windowStyle) {
    return Launch(*launcher, commandLine, windowStyle);
  });
  SetFileProgramStarter([launcher](std::string_view program, std::string_view file, long windowStyle) {
    ProgramStart start;
    start.argv = TranslateProgramOnFile(program, file);
    start.commandLine = std::string(program) + " \"" + std::string(file) + "\"";
    start.windowStyle = windowStyle;
    if (start.argv.size() < 2 || start.argv[0].empty()) runtime::Raise(runtime::err::kInvalidProcedureCall);
    return static_cast<double>(launcher->Start(start));
  });
}

long RecordingLauncher::Start(const ProgramStart& start) {
  if (failTimes_ != 0) {
    if (failTimes_ > 0) --failTimes_;
    runtime::Raise(failNumber_, failDescription_);
  }
  if (start.argv.empty() || start.argv[0].empty()) runtime::Raise(runtime::err::kInvalidProcedureCall);
  starts_.push_back(start);
  return 1000 + static_cast<long>(starts_.size());
}

void RecordingLauncher::Fail(long number, std::string description, int times) {
  failNumber_ = number;
  failDescription_ = std::move(description);
  failTimes_ = times;
}

long ProcessLauncher::Start(const ProgramStart& start) {
  if (start.argv.empty() || start.argv[0].empty()) runtime::Raise(runtime::err::kInvalidProcedureCall);
  std::vector<char*> args;
  for (const auto& a : start.argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) RaiseFor(errno, start.argv[0]);
  platform::UniqueFd reader(fds[0]);
  platform::UniqueFd writer(fds[1]);
  const pid_t child = ::fork();
  if (child < 0) RaiseFor(errno, start.argv[0]);
  if (child == 0) {
    // The middle process: a new session, then the program in a grandchild,
    // which init adopts when we leave, so nobody has to wait for it.
    reader.Reset();
    ::setsid();
    const pid_t program = ::fork();
    if (program < 0) {
      Send(writer.Get(), 'E', errno);
      ::_exit(1);
    }
    if (program == 0) {
      const int null = ::open("/dev/null", O_RDWR);
      if (null >= 0) {
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
      }
      ::execvp(args[0], args.data());
      Send(writer.Get(), 'E', errno);
      ::_exit(127);
    }
    Send(writer.Get(), 'P', program);
    ::_exit(0);
  }
  writer.Reset();  // the read below ends when the middle process has gone
  long pid = 0;
  int error = 0;
  Report r;
  for (;;) {
    const ssize_t n = ::read(reader.Get(), &r, sizeof r);
    if (n < 0 && errno == EINTR) continue;
    if (n != static_cast<ssize_t>(sizeof r)) break;
    if (r.tag == 'P') pid = r.value;
    if (r.tag == 'E') error = r.value;
  }
  reader.Reset();
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (error != 0) RaiseFor(error, start.argv[0]);
  return pid;
}

}  // namespace platform::shell
