#include "platform/shell/modules.h"

#include "platform/shell/shell.h"
#include "runtime/text.h"

namespace platform::shell {

std::string Modules::Canonical(std::string_view name) {
  std::string out = runtime::LCase(name);
  if (out.size() > 4 && out.compare(out.size() - 4, 4, ".dll") == 0) out.resize(out.size() - 4);
  return out;
}

Modules::Library* Modules::ByHandle(long hModule) {
  if (hModule == 0) return nullptr;
  for (auto& [name, lib] : libraries_) {
    if (lib.handle == hModule) return &lib;
  }
  return nullptr;
}

void Modules::AddFunction(std::string_view library, std::string function) {
  Library& lib = libraries_[Canonical(library)];
  if (lib.handle == 0) {
    lib.handle = nextHandle_;
    nextHandle_ += 0x10000;
  }
  lib.functions.insert(std::move(function));
}

void Modules::RemoveFunction(std::string_view library, std::string_view function) {
  auto it = libraries_.find(Canonical(library));
  if (it != libraries_.end()) it->second.functions.erase(std::string(function));
}

void Modules::RemoveLibrary(std::string_view library) { libraries_.erase(Canonical(library)); }

long Modules::LoadCount(std::string_view library) const {
  auto it = libraries_.find(Canonical(library));
  return it == libraries_.end() ? 0 : it->second.loads;
}

long Modules::LoadLibraryA(std::string_view name) {
  seam_->Enter("LoadLibraryA", FormatCall("LoadLibraryA", name));
  auto it = libraries_.find(Canonical(name));
  if (it == libraries_.end()) return 0;
  ++it->second.loads;
  return it->second.handle;
}

long Modules::GetProcAddress(long hModule, std::string_view procName) {
  seam_->Enter("GetProcAddress", FormatCall("GetProcAddress", hModule, procName));
  Library* lib = ByHandle(hModule);
  if (lib == nullptr || lib->loads == 0) return 0;
  auto fn = lib->functions.find(std::string(procName));
  if (fn == lib->functions.end()) return 0;
  return hModule + 0x1000 + 0x10 * static_cast<long>(std::distance(lib->functions.begin(), fn));
}

long Modules::FreeLibrary(long hModule) {
  seam_->Enter("FreeLibrary", FormatCall("FreeLibrary", hModule));
  Library* lib = ByHandle(hModule);
  if (lib == nullptr || lib->loads == 0) return 0;
  --lib->loads;
  return 1;
}

long LoadLibraryA(std::string_view name) { return Current().modules.LoadLibraryA(name); }
long GetProcAddress(long hModule, std::string_view procName) {
  return Current().modules.GetProcAddress(hModule, procName);
}
long FreeLibrary(long hModule) { return Current().modules.FreeLibrary(hModule); }

}  // namespace platform::shell
