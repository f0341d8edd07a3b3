#pragma once
// Starting a program as the runtime's Shell function did: a command line and
// a window style, no waiting. Every start goes through the current shell's
// seam (logged as `Shell("explorer.exe http://...", 1)`, and made to fail by
// arming the member "Shell"); the headless shell starts nothing, the program
// installs a starter that really does (an argument vector, never a shell
// interpreter; a web address goes to the desktop's opener).

#include <functional>
#include <string>
#include <string_view>

namespace platform::shell {

enum AppWinStyle : long {
  vbHide = 0,
  vbNormalFocus = 1,
  vbMinimizedFocus = 2,
  vbMaximizedFocus = 3,
  vbNormalNoFocus = 4,
  vbMinimizedNoFocus = 6,
};

// Starts the program; raises what the starter raises (53 "File not found"
// when there is no such program). Returns the task id (0 headless).
double StartProgram(std::string_view commandLine, long windowStyle = vbMinimizedFocus);

// Starts a program on one file: `program` is the part of a command line
// that names the program (a path, blanks and all, or a program with its
// fixed arguments), `file` is passed as one argument whatever characters it
// holds. Logged as `Shell("program", "file", 3)`; fails like StartProgram.
double StartProgramOnFile(std::string_view program, std::string_view file, long windowStyle = vbMinimizedFocus);

// What really starts programs; empty: nothing is started.
using ProgramStarter = std::function<double(std::string_view commandLine, long windowStyle)>;
void SetProgramStarter(ProgramStarter starter);
using FileProgramStarter = std::function<double(std::string_view program, std::string_view file, long windowStyle)>;
void SetFileProgramStarter(FileProgramStarter starter);

}  // namespace platform::shell
