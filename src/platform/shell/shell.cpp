#include "platform/shell/shell.h"

#include <memory>

namespace platform::shell {

namespace {

std::unique_ptr<Shell> Fresh() {
  auto shell = std::make_unique<Shell>();
  // The browse dialog starts from the desktop, which exists on every system.
  shell->folders.MakeVirtual(CSIDL_DESKTOP);
  for (const char* fn :
       {"GetLongPathNameA", "ExpandEnvironmentStringsA", "LoadLibraryA", "GetProcAddress", "FreeLibrary"}) {
    shell->modules.AddFunction("kernel32", fn);
  }
  for (const char* fn : {"GetForegroundWindow", "GetWindowThreadProcessId", "AttachThreadInput", "SetForegroundWindow",
                         "IsIconic", "ShowWindow", "LoadCursorA", "SetCursor", "SystemParametersInfoA"}) {
    shell->modules.AddFunction("user32", fn);
  }
  for (const char* fn : {"SHGetSpecialFolderLocation", "SHGetPathFromIDList", "SHGetPathFromIDListA", "SHGetMalloc"}) {
    shell->modules.AddFunction("shell32", fn);
  }
  return shell;
}

std::unique_ptr<Shell>& Slot() {
  static std::unique_ptr<Shell> shell = Fresh();
  return shell;
}

}  // namespace

Shell& Current() { return *Slot(); }

void Reset() { Slot() = Fresh(); }

}  // namespace platform::shell
