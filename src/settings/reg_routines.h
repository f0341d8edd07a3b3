#pragma once
// RegRoutines: a root and a key path, with key tests, key creation and
// deletion, value reading and writing, and listings of a key's subkeys and
// values with the data converted by registry type. No member raises or shows
// anything: failures show only in results (false, "", an empty collection, a
// system result code or the caller's default).

#include <string>

#include "platform/registry/registry.h"
#include "runtime/collection.h"
#include "runtime/variant.h"

namespace lumivane {

class RegRoutines {
 public:
  long hKey() const { return hKey_; }
  void hKey(long value) { hKey_ = value; }
  const std::string& KeyRoot() const { return keyRoot_; }
  void KeyRoot(std::string value) { keyRoot_ = std::move(value); }
  const std::string& Subkey() const { return subkey_; }
  void Subkey(std::string value) { subkey_ = std::move(value); }

  // True when KeyRoot\Subkey opens for reading.
  bool KeyExists();
  // Creates KeyRoot\KeyName (Subkey when KeyName is missing; a missing KeyName
  // receives the name chosen), every missing level included. "0" on success,
  // also for a key that already exists; "" on failure.
  std::string CreateKey(runtime::Optional<runtime::Variant>& KeyName);
  std::string CreateKey();
  std::string CreateKey(const runtime::Variant& KeyName);
  // The system result code of deleting KeyRoot\KeyName (only a key without subkeys goes).
  long DeleteKey(const std::string& KeyName);
  // The system result code of deleting the value under KeyRoot\Subkey.
  long DeleteValue(const std::string& ValueName);
  // Subkey names of KeyName under hKey (hKey itself when KeyName is empty), keyed by name.
  runtime::Collection<std::string> EnumRegistryKeys(long hKey, const std::string& KeyName);
  // Two-element arrays (value name, data converted by type), keyed by value name.
  runtime::Collection<runtime::VariantArray> EnumRegistryValues(long hKey, const std::string& KeyName);
  // The value under KeyRoot\Subkey converted by type; the default (Empty when
  // missing) when it cannot be read or holds nothing usable.
  runtime::Variant GetRegistryValue(const std::string& ValueName);
  runtime::Variant GetRegistryValue(const std::string& ValueName, const runtime::Variant& DefaultValue);
  runtime::Variant GetRegistryValue(const std::string& ValueName,
                                    const runtime::Optional<runtime::Variant>& DefaultValue);
  // Writes the value under KeyRoot\Subkey (never creating the key) as DType:
  // 1, 2, 7 text; 3 a byte array; 4 a 32-bit number. True when written, and
  // also for any other DType, for which nothing is written.
  bool SetRegistryValue(const std::string& ValueName, runtime::Variant& value, long& DType);
  bool SetRegistryValue(const std::string& ValueName, const runtime::Variant& value, long DType);
  // Removes every NUL from Item, in place, and returns it.
  std::string TrimNull(std::string& Item);

 private:
  long hKey_ = 0;
  std::string keyRoot_;
  std::string subkey_;
  platform::registry::SecurityAttributes security_{};  // all zero: default security
};

}  // namespace lumivane
