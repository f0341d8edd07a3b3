#pragma once
// Library and function lookup over a table of (library, function) pairs:
// the functions the stand-ins provide. Library names ignore case and may
// leave out ".dll"; function names are exact, as the real lookup has them.

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "platform/shell/seam.h"

namespace platform::shell {

class Modules {
 public:
  explicit Modules(Seam* seam) : seam_(seam) {}

  // Seam.
  void AddFunction(std::string_view library, std::string function);
  void RemoveFunction(std::string_view library, std::string_view function);
  void RemoveLibrary(std::string_view library);
  void Clear() { libraries_.clear(); }
  // Loads of the library not yet freed.
  long LoadCount(std::string_view library) const;

  // A module handle, or 0 when there is no such library.
  long LoadLibraryA(std::string_view name);
  // The function's address, or 0 for an unknown module or function.
  long GetProcAddress(long hModule, std::string_view procName);
  // Nonzero on success; 0 for a handle that is not loaded.
  long FreeLibrary(long hModule);

 private:
  struct Library {
    long handle = 0;
    std::set<std::string> functions;
    long loads = 0;
  };
  static std::string Canonical(std::string_view name);
  Library* ByHandle(long hModule);

  Seam* seam_;
  std::map<std::string, Library> libraries_;  // by canonical name
  long nextHandle_ = 0x10000000;
};

long LoadLibraryA(std::string_view name);
long GetProcAddress(long hModule, std::string_view procName);
long FreeLibrary(long hModule);

}  // namespace platform::shell
