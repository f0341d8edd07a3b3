#include "platform/shell/programs.h"

#include "platform/shell/shell.h"

namespace platform::shell {

namespace {
ProgramStarter& Starter() {
  static ProgramStarter starter;
  return starter;
}
FileProgramStarter& FileStarter() {
  static FileProgramStarter starter;
  return starter;
}
}  // namespace

double StartProgram(std::string_view commandLine, long windowStyle) {
  Current().seam.Enter("Shell", FormatCall("Shell", commandLine, windowStyle));
  const ProgramStarter& starter = Starter();
  return starter ? starter(commandLine, windowStyle) : 0.0;
}

void SetProgramStarter(ProgramStarter starter) { Starter() = std::move(starter); }

double StartProgramOnFile(std::string_view program, std::string_view file, long windowStyle) {
  Current().seam.Enter("Shell", FormatCall("Shell", program, file, windowStyle));
  const FileProgramStarter& starter = FileStarter();
  return starter ? starter(program, file, windowStyle) : 0.0;
}

void SetFileProgramStarter(FileProgramStarter starter) { FileStarter() = std::move(starter); }

}  // namespace platform::shell
