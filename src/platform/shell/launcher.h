#pragma once
// The Linux backing of program starts (programs.h): one launcher for every
// program the add-in starts (a picture viewer, a web browser, a help page).
// A program gets an argument vector and is started detached from us; no
// shell interpreter ever sees the text, so a file name full of quotes,
// blanks or semicolons stays one argument.
//
// The add-in starts programs the way the original runtime's Shell did, with
// one command line: the starter splits it as that platform's programs split
// their command lines (blanks separate, double quotes group) and turns the
// programs of that platform into what does the same job here:
//   explorer.exe ADDRESS-OR-FOLDER      -> xdg-open ADDRESS-OR-FOLDER
//   a web address as the program        -> xdg-open ADDRESS
//   rundll32.exe ...shimgvw.dll,ImageView_Fullscreen FILE
//                                       -> xdg-open FILE (the rest of the
//                                          line is one file name, as there)
//
// The program installs a launcher as the shell's program starter
// (InstallLauncher); a RecordingLauncher lets tests and scripted runs see
// what would have started.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/shell/programs.h"

namespace platform::shell {

inline constexpr std::string_view kOpener = "xdg-open";

struct ProgramStart {
  std::vector<std::string> argv;  // what is started, after translation
  std::string commandLine;        // the command line asked for
  long windowStyle = vbNormalFocus;
};

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Starts argv[0] (looked up on PATH unless it holds a "/") detached and
  // returns its process id. Raises runtime::Error 53 "File not found" when
  // the program is not there and 5 for an empty vector.
  virtual long Start(const ProgramStart& start) = 0;
};

// Records instead of starting. The seam for tests and for a scripted run.
class RecordingLauncher : public Launcher {
 public:
  long Start(const ProgramStart& start) override;
  // The next `times` starts (-1: all) raise this error and record nothing.
  void Fail(long number, std::string description = {}, int times = 1);
  const std::vector<ProgramStart>& Starts() const { return starts_; }
  void Clear() { starts_.clear(); }

 private:
  std::vector<ProgramStart> starts_;
  long failNumber_ = 0;
  std::string failDescription_;
  int failTimes_ = 0;
};

// Starts real processes: a new session, standard input and output on
// /dev/null, nobody waits for them.
class ProcessLauncher : public Launcher {
 public:
  long Start(const ProgramStart& start) override;
};

// Blank-separated words; double quotes group a word and are removed; a
// backslash escapes a double quote and is otherwise kept (so "C:\dir\a b.jpg"
// in quotes stays one word with its backslashes).
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The command line's program as this system runs it (see above).
std::vector<std::string> TranslateProgram(std::string_view commandLine);

// A program (the part of a command line naming it) and one file as the
// argument vector: the file is the last argument, whatever it holds. A
// program that is an existing file is one word, blanks and all; the
// platform's picture viewer and shell become the desktop's opener.
std::vector<std::string> TranslateProgramOnFile(std::string_view program, std::string_view file);

// Starts a command line through `launcher`: translated, then started.
// Raises 5 for an empty command line.
double Launch(Launcher& launcher, std::string_view commandLine, long windowStyle);

// Makes `launcher` the shell's program starter (nullptr: nothing starts).
void InstallLauncher(std::shared_ptr<Launcher> launcher);

}  // namespace platform::shell
