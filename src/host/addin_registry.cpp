// The one place where the host reads its add-in registrations.
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "host/addin.h"
#include "platform/registry/registry.h"

namespace host {

namespace reg = platform::registry;

namespace {

std::string QueryText(reg::HKEY key, std::string_view name) {
  long type = 0;
  long size = 0;
  if (reg::RegQueryValueEx(key, name, &type, nullptr, &size) != reg::ERROR_SUCCESS) return {};
  if ((type != reg::REG_SZ && type != reg::REG_EXPAND_SZ) || size <= 0) return {};
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
  if (reg::RegQueryValueEx(key, name, &type, data.data(), &size) != reg::ERROR_SUCCESS) return {};
  std::string text(data.begin(), data.begin() + size);
  if (auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
  return text;
}

long QueryDword(reg::HKEY key, std::string_view name) {
  long type = 0;
  std::uint8_t data[4] = {};
  long size = sizeof data;
  if (reg::RegQueryValueEx(key, name, &type, data, &size) != reg::ERROR_SUCCESS) return 0;
  if (type != reg::REG_DWORD || size != 4) return 0;
  return static_cast<long>(static_cast<std::int32_t>(data[0] | (data[1] << 8) | (data[2] << 16) |
                                                     (static_cast<std::uint32_t>(data[3]) << 24)));
}

}  // namespace

std::vector<AddInRegistration> ReadAddInRegistrations() {
  std::vector<AddInRegistration> out;
  reg::HKEY addIns = 0;
  if (reg::RegOpenKeyEx(reg::HKEY_LOCAL_MACHINE, kAddInsKey, 0, reg::KEY_READ, &addIns) != reg::ERROR_SUCCESS)
    return out;
  for (long index = 0;; ++index) {
    char name[256];
    long nameChars = sizeof name;
    const long rc = reg::RegEnumKeyEx(addIns, index, name, &nameChars, nullptr, nullptr);
    if (rc == reg::ERROR_MORE_DATA) continue;  // no ProgID is that long
    if (rc != reg::ERROR_SUCCESS) break;
    AddInRegistration r;
    r.progId.assign(name, static_cast<std::size_t>(nameChars));
    reg::HKEY key = 0;
    if (reg::RegOpenKeyEx(addIns, r.progId, 0, reg::KEY_READ, &key) == reg::ERROR_SUCCESS) {
      r.friendlyName = QueryText(key, "FriendlyName");
      r.description = QueryText(key, "Description");
      r.loadBehavior = QueryDword(key, "LoadBehavior");
      reg::RegCloseKey(key);
    }
    out.push_back(std::move(r));
  }
  reg::RegCloseKey(addIns);
  return out;
}

long WriteAddInRegistration(const AddInRegistration& registration) {
  if (registration.progId.empty() || registration.progId.find('\\') != std::string::npos)
    return reg::ERROR_INVALID_PARAMETER;
  reg::HKEY key = 0;
  long rc = reg::RegCreateKeyEx(reg::HKEY_LOCAL_MACHINE, std::string(kAddInsKey) + "\\" + registration.progId, "",
                                reg::REG_OPTION_NON_VOLATILE, reg::KEY_WRITE, nullptr, &key, nullptr);
  if (rc != reg::ERROR_SUCCESS) return rc;
  const auto friendly = reg::SzData(registration.friendlyName);
  const auto description = reg::SzData(registration.description);
  const auto behaviour = reg::DwordData(static_cast<std::uint32_t>(registration.loadBehavior));
  for (const auto& [name, type, data] :
       {std::tuple{"FriendlyName", reg::REG_SZ, &friendly}, std::tuple{"Description", reg::REG_SZ, &description},
        std::tuple{"LoadBehavior", reg::REG_DWORD, &behaviour}}) {
    rc = reg::RegSetValueEx(key, name, type, data->data(), static_cast<long>(data->size()));
    if (rc != reg::ERROR_SUCCESS) break;
  }
  reg::RegCloseKey(key);
  return rc;
}

}  // namespace host
