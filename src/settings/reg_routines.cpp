#include "settings/reg_routines.h"

#include <algorithm>
#include <cstdint>

#include "platform/shell/environment.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/text.h"

namespace lumivane {

namespace reg = platform::registry;

namespace {

constexpr long kNameBuffer = 260;
constexpr long kEnumDataBuffer = 4096;
constexpr long kQueryDataBuffer = 1024;
// What a result holds before its call has run: a call skipped by an error
// must not read as success.
constexpr long kNotRun = -1;

std::string AsText(const runtime::ByteArray& data, std::size_t length) {
  return std::string(reinterpret_cast<const char*>(data.data()), std::min(length, data.size()));
}

std::int32_t AsDword(const runtime::ByteArray& data) {
  std::uint32_t n = 0;
  for (std::size_t i = 0; i < 4 && i < data.size(); ++i) n |= static_cast<std::uint32_t>(data[i]) << (8 * i);
  return static_cast<std::int32_t>(n);
}

std::string HexBytes(const runtime::ByteArray& data) {
  std::string out;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (i > 0) out += ' ';
    out += runtime::Hex(data[i], 2);
  }
  return out;
}

std::string Expand(const std::string& text) { return platform::shell::ExpandEnvironmentStrings(text); }

// The data part of a value listing.
runtime::Variant ListedData(long type, const runtime::ByteArray& data) {
  switch (type) {
    case reg::REG_SZ: return data.empty() ? std::string() : AsText(data, data.size() - 1);
    case reg::REG_EXPAND_SZ: return data.empty() ? std::string() : Expand(AsText(data, data.size() - 1));
    case reg::REG_BINARY: return HexBytes(data);
    case reg::REG_DWORD: return AsDword(data);
    case reg::REG_MULTI_SZ: {
      std::string text = data.size() < 2 ? std::string() : AsText(data, data.size() - 2);
      std::replace(text.begin(), text.end(), '\0', ',');
      return text;
    }
    default: return {};
  }
}

// The value as GetRegistryValue gives it; `result` keeps the default when the data holds nothing usable.
void ReadData(long type, const runtime::ByteArray& data, runtime::Variant& result) {
  switch (type) {
    case reg::REG_SZ:
      if (!data.empty()) result = AsText(data, data.size() - 1);
      break;
    case reg::REG_EXPAND_SZ:
      if (!data.empty()) result = Expand(AsText(data, data.size() - 1));
      break;
    case reg::REG_BINARY: result = data; break;
    case reg::REG_DWORD: result = AsDword(data); break;
    case reg::REG_MULTI_SZ:
      if (data.size() >= 2) {
        std::string text = AsText(data, data.size() - 2);
        if (std::any_of(text.begin(), text.end(), [](char c) { return c != '\0'; })) result = std::move(text);
      }
      break;
    default: break;
  }
}

}  // namespace

bool RegRoutines::KeyExists() {
  runtime::ResumeNext rn;
  reg::HKEY opened = 0;
  long ret = kNotRun;
  rn([&] { ret = reg::RegOpenKeyEx(hKey_, keyRoot_ + "\\" + subkey_, 0, reg::KEY_READ, &opened); });
  if (ret != reg::ERROR_SUCCESS) return false;
  rn([&] { reg::RegCloseKey(opened); });
  return true;
}

std::string RegRoutines::CreateKey(runtime::Optional<runtime::Variant>& KeyName) {
  runtime::ResumeNext rn;
  std::string name;
  rn([&] {
    if (KeyName.IsMissing()) {
      name = subkey_;
      KeyName = runtime::Variant(name);
    } else {
      name = KeyName.value.kind() == runtime::Variant::Kind::String ? KeyName.value.AsString()
                                                                    : runtime::CStr(KeyName.value);
    }
  });
  reg::HKEY created = 0;
  long disposition = 0;
  long ret = kNotRun;
  rn([&] {
    ret = reg::RegCreateKeyEx(hKey_, keyRoot_ + "\\" + name, "", reg::REG_OPTION_NON_VOLATILE, reg::KEY_ALL_ACCESS,
                              &security_, &created, &disposition);
  });
  if (ret != reg::ERROR_SUCCESS) return {};
  rn([&] { reg::RegCloseKey(created); });
  return "0";
}

std::string RegRoutines::CreateKey() {
  runtime::Optional<runtime::Variant> missing;
  return CreateKey(missing);
}

std::string RegRoutines::CreateKey(const runtime::Variant& KeyName) {
  runtime::Optional<runtime::Variant> given(KeyName);
  return CreateKey(given);
}

long RegRoutines::DeleteKey(const std::string& KeyName) {
  runtime::ResumeNext rn;
  long ret = kNotRun;
  if (!rn([&] { ret = reg::RegDeleteKey(hKey_, keyRoot_ + "\\" + KeyName); })) return rn.Err().Number;
  return ret;
}

long RegRoutines::DeleteValue(const std::string& ValueName) {
  runtime::ResumeNext rn;
  reg::HKEY opened = 0;
  long ret = kNotRun;
  if (!rn([&] { ret = reg::RegOpenKeyEx(hKey_, keyRoot_ + "\\" + subkey_, 0, reg::KEY_ALL_ACCESS, &opened); }))
    return rn.Err().Number;
  if (ret != reg::ERROR_SUCCESS) return ret;
  ret = kNotRun;
  if (!rn([&] { ret = reg::RegDeleteValue(opened, ValueName); })) ret = rn.Err().Number;
  rn([&] { reg::RegCloseKey(opened); });
  return ret;
}

runtime::Collection<std::string> RegRoutines::EnumRegistryKeys(long hKey, const std::string& KeyName) {
  runtime::ResumeNext rn;
  runtime::Collection<std::string> keys;
  reg::HKEY listed = hKey;
  if (!KeyName.empty()) {
    long ret = kNotRun;
    rn([&] { ret = reg::RegOpenKeyEx(hKey, KeyName, 0, reg::KEY_READ, &listed); });
    if (ret != reg::ERROR_SUCCESS) return keys;
  }
  for (long index = 0;; ++index) {
    std::string name(static_cast<std::size_t>(kNameBuffer), '\0');
    long nameLength = kNameBuffer;
    char className[1] = {'\0'};
    long classLength = 0;
    long ret = kNotRun;
    rn([&] { ret = reg::RegEnumKeyEx(listed, index, name.data(), &nameLength, className, &classLength); });
    if (ret != reg::ERROR_SUCCESS) break;
    rn([&] {
      name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
      keys.Add(name, name);
    });
  }
  if (!KeyName.empty()) rn([&] { reg::RegCloseKey(listed); });
  return keys;
}

runtime::Collection<runtime::VariantArray> RegRoutines::EnumRegistryValues(long hKey, const std::string& KeyName) {
  runtime::ResumeNext rn;
  runtime::Collection<runtime::VariantArray> values;
  reg::HKEY listed = hKey;
  if (!KeyName.empty()) {
    long ret = kNotRun;
    rn([&] { ret = reg::RegOpenKeyEx(hKey, KeyName, 0, reg::KEY_READ, &listed); });
    if (ret != reg::ERROR_SUCCESS) return values;
  }
  for (long index = 0;; ++index) {
    std::string name(static_cast<std::size_t>(kNameBuffer), '\0');
    runtime::ByteArray data(static_cast<std::size_t>(kEnumDataBuffer));
    long nameLength = kNameBuffer;
    long dataLength = kEnumDataBuffer;
    long type = 0;
    long ret = kNotRun;
    rn([&] { ret = reg::RegEnumValue(listed, index, name.data(), &nameLength, &type, data.data(), &dataLength); });
    if (ret == reg::ERROR_MORE_DATA) {
      ret = kNotRun;
      rn([&] {
        data.assign(static_cast<std::size_t>(dataLength), 0);
        nameLength = kNameBuffer;
        ret = reg::RegEnumValue(listed, index, name.data(), &nameLength, &type, data.data(), &dataLength);
      });
    }
    if (ret != reg::ERROR_SUCCESS) break;
    rn([&] {
      name.resize(static_cast<std::size_t>(nameLength));
      data.resize(static_cast<std::size_t>(dataLength));
      values.Add(runtime::VariantArray{runtime::Variant(name), ListedData(type, data)}, name);
    });
  }
  if (!KeyName.empty()) rn([&] { reg::RegCloseKey(listed); });
  return values;
}

runtime::Variant RegRoutines::GetRegistryValue(const std::string& ValueName) {
  return GetRegistryValue(ValueName, runtime::Optional<runtime::Variant>());
}

runtime::Variant RegRoutines::GetRegistryValue(const std::string& ValueName, const runtime::Variant& DefaultValue) {
  return GetRegistryValue(ValueName, runtime::Optional<runtime::Variant>(DefaultValue));
}

runtime::Variant RegRoutines::GetRegistryValue(const std::string& ValueName,
                                               const runtime::Optional<runtime::Variant>& DefaultValue) {
  runtime::ResumeNext rn;
  runtime::Variant result;
  rn([&] {
    if (!DefaultValue.IsMissing()) result = DefaultValue.value;
  });
  reg::HKEY opened = 0;
  long ret = kNotRun;
  rn([&] { ret = reg::RegOpenKeyEx(hKey_, keyRoot_ + "\\" + subkey_, 0, reg::KEY_READ, &opened); });
  if (ret != reg::ERROR_SUCCESS) return result;

  runtime::ByteArray data(static_cast<std::size_t>(kQueryDataBuffer));
  long dataLength = kQueryDataBuffer;
  long type = 0;
  ret = kNotRun;
  rn([&] { ret = reg::RegQueryValueEx(opened, ValueName, &type, data.data(), &dataLength); });
  if (ret == reg::ERROR_MORE_DATA) {
    ret = kNotRun;
    rn([&] {
      data.assign(static_cast<std::size_t>(dataLength), 0);
      ret = reg::RegQueryValueEx(opened, ValueName, &type, data.data(), &dataLength);
    });
  }
  if (ret == reg::ERROR_SUCCESS) {
    rn([&] {
      data.resize(static_cast<std::size_t>(dataLength));
      ReadData(type, data, result);
    });
  }
  rn([&] { reg::RegCloseKey(opened); });
  return result;
}

bool RegRoutines::SetRegistryValue(const std::string& ValueName, runtime::Variant& value, long& DType) {
  runtime::ResumeNext rn;
  reg::HKEY opened = 0;
  long ret = kNotRun;
  rn([&] { ret = reg::RegOpenKeyEx(hKey_, keyRoot_ + "\\" + subkey_, 0, reg::KEY_WRITE, &opened); });
  if (ret != reg::ERROR_SUCCESS) return false;

  bool written = false;
  switch (DType) {
    case reg::REG_SZ:
    case reg::REG_EXPAND_SZ:
    case reg::REG_MULTI_SZ:
      rn([&] {
        const std::string text =
            value.kind() == runtime::Variant::Kind::String ? value.AsString() : runtime::CStr(value);
        // The count is of encoded bytes and includes the terminator (two for a
        // string list), so every text, multibyte characters included, reads back whole.
        runtime::ByteArray bytes(text.begin(), text.end());
        bytes.push_back(0);
        if (DType == reg::REG_MULTI_SZ) bytes.push_back(0);
        written = reg::RegSetValueEx(opened, ValueName, DType, bytes.data(), static_cast<long>(bytes.size())) ==
                  reg::ERROR_SUCCESS;
      });
      break;
    case reg::REG_BINARY:
      rn([&] {
        const runtime::ByteArray& bytes = value.AsBytes();  // anything else: error 13, nothing written
        written = reg::RegSetValueEx(opened, ValueName, DType, bytes.data(), static_cast<long>(bytes.size())) ==
                  reg::ERROR_SUCCESS;
      });
      break;
    case reg::REG_DWORD:
      rn([&] {
        const std::int32_t n = runtime::CLng(value);
        const runtime::ByteArray bytes = reg::DwordData(static_cast<std::uint32_t>(n));
        written = reg::RegSetValueEx(opened, ValueName, DType, bytes.data(), 4) == reg::ERROR_SUCCESS;
      });
      break;
    default:
      // A type this class does not write counts as done: nothing is written and true comes back.
      written = true;
      break;
  }
  rn([&] { reg::RegCloseKey(opened); });
  return written;
}

bool RegRoutines::SetRegistryValue(const std::string& ValueName, const runtime::Variant& value, long DType) {
  runtime::Variant copy = value;
  return SetRegistryValue(ValueName, copy, DType);
}

std::string RegRoutines::TrimNull(std::string& Item) {
  std::erase(Item, '\0');
  return Item;
}

}  // namespace lumivane
