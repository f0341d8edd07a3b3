#pragma once
// The registry stand-in: one hive per predefined root, reached through calls
// shaped like the advapi32 ANSI functions the add-in was written against.
// Every call returns the system result code (0 on success) and never throws,
// except where a test has injected an error to raise.
//
// Texts are UTF-8 and cross as bytes: name buffers count bytes, including
// room for the terminating NUL. Key paths use backslashes; trailing
// backslashes name the key itself, so "Software\" opens "Software".
//
// The free functions work on the current Registry (Current()); a fresh
// in-memory one exists until the program or a test installs its own. The
// program calls UseDirectory with its configuration folder, so every root
// is loaded from and saved to a REGEDIT4 file there (see hive_file.h).
// Single-threaded, like the user-interface thread that uses it.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/hive.h"
#include "platform/seam_record.h"

namespace platform::registry {

using HKEY = long;

// Predefined roots. A root is recognised by its low 32 bits, so a handle kept
// in a signed 32-bit variable (0x80000001 as -2147483647) still names it.
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000L;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001L;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002L;

// Access rights.
inline constexpr long KEY_QUERY_VALUE = 0x0001;
inline constexpr long KEY_SET_VALUE = 0x0002;
inline constexpr long KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr long KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr long KEY_NOTIFY = 0x0010;
inline constexpr long KEY_CREATE_LINK = 0x0020;
inline constexpr long KEY_READ = 0x20019;
inline constexpr long KEY_WRITE = 0x20006;
inline constexpr long KEY_ALL_ACCESS = 0xF003F;

// Value types.
inline constexpr long REG_NONE = 0;
inline constexpr long REG_SZ = 1;
inline constexpr long REG_EXPAND_SZ = 2;
inline constexpr long REG_BINARY = 3;
inline constexpr long REG_DWORD = 4;
inline constexpr long REG_MULTI_SZ = 7;

// Result codes.
inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;
inline constexpr long ERROR_ACCESS_DENIED = 5;
inline constexpr long ERROR_INVALID_HANDLE = 6;
inline constexpr long ERROR_INVALID_PARAMETER = 87;
inline constexpr long ERROR_BAD_PATHNAME = 161;
inline constexpr long ERROR_MORE_DATA = 234;
inline constexpr long ERROR_NO_MORE_ITEMS = 259;
inline constexpr long ERROR_KEY_DELETED = 1018;

// Key creation.
inline constexpr long REG_OPTION_NON_VOLATILE = 0;
inline constexpr long REG_CREATED_NEW_KEY = 1;
inline constexpr long REG_OPENED_EXISTING_KEY = 2;

// Passed to key creation; all zero means default security, the only kind modelled.
struct SecurityAttributes {
  long nLength = 0;
  long lpSecurityDescriptor = 0;
  long bInheritHandle = 0;
};

// Data in the registry's own layouts, for seeding and checking.
ByteArray SzData(std::string_view text);                       // text + NUL
ByteArray MultiSzData(const std::vector<std::string>& texts);  // each + NUL, then NUL
ByteArray DwordData(std::uint32_t value);                      // four bytes, little-endian

enum class Call { OpenKey, CreateKey, CloseKey, DeleteKey, DeleteValue, EnumKey, EnumValue, QueryValue, SetValue };
std::string_view CallName(Call call);

struct CallRecord {
  Call call;
  std::string key;     // the key the call worked on, "HKEY_CURRENT_USER\Software"; a bad handle as "#<n>"
  std::string detail;  // the path, value name or index it was given
  long result = 0;
};

// An injected failure: after `skip` matching calls, the next `times` calls
// return `result` without doing anything, or raise runtime::Error(number,
// description) when number is nonzero.
struct Fault {
  long result = ERROR_ACCESS_DENIED;
  long number = 0;
  std::string description;
  int skip = 0;
  int times = 1;
};

class Registry {
 public:
  Registry();
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;
  // Saves what is still unsaved.
  ~Registry();

  // ---- the calls ----
  long OpenKey(HKEY key, std::string_view subKey, long options, long samDesired, HKEY* result);
  // Creates every missing level; an existing key is opened. `disposition` may be null.
  long CreateKey(HKEY key, std::string_view subKey, std::string_view className, long options, long samDesired,
                 const SecurityAttributes* security, HKEY* result, long* disposition);
  // A predefined root is never closed (the call succeeds and does nothing).
  long CloseKey(HKEY key);
  // Only a key without subkeys can go (5 otherwise); a missing key gives 2.
  long DeleteKey(HKEY key, std::string_view subKey);
  long DeleteValue(HKEY key, std::string_view valueName);
  // Subkeys come in case-blind name order. `nameChars`: in, the buffer size
  // in bytes; out, the length copied without its NUL. A short buffer gives
  // 234 with the size needed (name + NUL) in `nameChars`, the buffer untouched.
  // Keys have no class: a class buffer gets an empty text. After the last: 259.
  long EnumKey(HKEY key, long index, char* name, long* nameChars, char* className, long* classChars);
  // Values come in the order first written. A short name or data buffer gives
  // 234 with both sizes needed reported (name + NUL, data bytes) and nothing
  // copied. Null `data` with `dataBytes` asks for the size only.
  long EnumValue(HKEY key, long index, char* name, long* nameChars, long* type, std::uint8_t* data, long* dataBytes);
  // A missing value gives 2; a short buffer 234 with the size needed in `dataBytes`.
  long QueryValue(HKEY key, std::string_view valueName, long* type, std::uint8_t* data, long* dataBytes);
  // The string types are stored terminated: a REG_SZ or REG_EXPAND_SZ whose
  // bytes do not end in NUL gets one, a REG_MULTI_SZ is completed to end in two.
  long SetValue(HKEY key, std::string_view valueName, long type, const std::uint8_t* data, long dataBytes);

  // ---- seam for tests ----
  // Seeding writes raw data (no terminating NUL added) and creates the keys on the way.
  void SeedKey(HKEY root, std::string_view path);
  void Seed(HKEY root, std::string_view path, std::string_view valueName, long type, ByteArray data);
  bool HasKey(HKEY root, std::string_view path) const;
  std::optional<ValueEntry> Peek(HKEY root, std::string_view path, std::string_view valueName) const;
  std::vector<std::string> SubkeyNames(HKEY root, std::string_view path) const;
  std::vector<std::string> ValueNames(HKEY root, std::string_view path) const;

  // A protected root refuses every write with 5, as a machine-wide root does
  // for a user without administrator rights; reading still works.
  void Protect(HKEY root, bool on = true);

  void InjectFault(Call call, Fault fault);
  void ClearFaults();
  // Runs at the start of every call: lets a test change the hive between two reads.
  std::function<void(Call)> beforeCall;

  const std::vector<CallRecord>& Calls() const { return calls_.Entries(); }
  void ClearCalls() { calls_.Clear(); }
  std::size_t OpenHandleCount() const { return handles_.size(); }

  // ---- persistence ----
  // Loads every root's file from `directory` (a missing file is an empty
  // root) and saves there from now on: a root that changed is written whole
  // to a temporary file in that folder and renamed over its file when the
  // handle the change came through is closed, at once when the change came
  // through a predefined root or a path (DeleteKey), or at Flush. A file
  // that cannot be parsed is renamed to "<file>.broken-<n>" and the root
  // starts empty; the message goes to `diagnostics`.
  void AttachDirectory(const std::filesystem::path& directory);
  void Flush();
  static std::string FileName(HKEY root);  // "HKEY_CURRENT_USER.reg"
  // Problems with the files, for a person to read; standard error by default.
  std::function<void(const std::string&)> diagnostics;
  // Every problem reported so far, also those reported before a program
  // set its own `diagnostics` (the files are read when the registry is made).
  const std::vector<std::string>& Reports() const { return reports_; }

 private:
  struct Hive {
    HKEY root = 0;
    std::string name;
    std::shared_ptr<KeyNode> top;
    bool dirty = false;
    bool writeProtected = false;
    bool saveBlocked = false;  // its file could not be read or set aside: never write over it
  };
  struct Handle {
    std::shared_ptr<KeyNode> key;
    int hive = 0;
    long access = 0;
    bool predefined = false;
  };
  struct Resolved {
    long code = ERROR_SUCCESS;
    Handle base;
    std::vector<std::string> parts;
  };

  long LookupHandle(HKEY key, Handle& out) const;
  Resolved Resolve(HKEY key, std::string_view subKey) const;
  // The key a resolved path names; nullptr when a level is missing.
  static std::shared_ptr<KeyNode> FindKey(const Resolved& r);
  KeyNode* Walk(HKEY root, std::string_view path) const;
  Hive& HiveOf(HKEY root);
  std::string Describe(HKEY key) const;
  HKEY NewHandle(Handle handle);
  void Changed(const Handle& via);
  void Save(Hive& hive);
  void Report(const std::string& message) const;
  void LoadHive(Hive& hive);
  template <class Body>
  long Run(Call call, HKEY key, std::string detail, Body&& body);

  std::array<Hive, 3> hives_;
  std::map<HKEY, Handle> handles_;
  HKEY nextHandle_ = 1;
  std::optional<std::filesystem::path> directory_;
  std::vector<std::pair<Call, Fault>> faults_;
  platform::SeamRecord<CallRecord> calls_;
  mutable std::vector<std::string> reports_;
};

// The registry the free functions use.
std::shared_ptr<Registry> Current();
void SetCurrent(std::shared_ptr<Registry> registry);
// The program's start: a registry persisted under `directory`, made current.
std::shared_ptr<Registry> UseDirectory(const std::filesystem::path& directory);
// Where the program keeps its hives: $LUMIVANE_HOME when set, else
// $XDG_CONFIG_HOME/lumivane, else $HOME/.config/lumivane. The caller reads
// the variables and passes their values ("" when unset).
std::filesystem::path HiveDirectory(std::string_view lumivaneHome, std::string_view xdgConfigHome,
                                    std::string_view home);

long RegOpenKeyEx(HKEY key, std::string_view subKey, long options, long samDesired, HKEY* result);
long RegCreateKeyEx(HKEY key, std::string_view subKey, std::string_view className, long options, long samDesired,
                    const SecurityAttributes* security, HKEY* result, long* disposition);
long RegCloseKey(HKEY key);
long RegDeleteKey(HKEY key, std::string_view subKey);
long RegDeleteValue(HKEY key, std::string_view valueName);
long RegEnumKeyEx(HKEY key, long index, char* name, long* nameChars, char* className, long* classChars);
long RegEnumValue(HKEY key, long index, char* name, long* nameChars, long* type, std::uint8_t* data, long* dataBytes);
long RegQueryValueEx(HKEY key, std::string_view valueName, long* type, std::uint8_t* data, long* dataBytes);
long RegSetValueEx(HKEY key, std::string_view valueName, long type, const std::uint8_t* data, long dataBytes);

}  // namespace platform::registry
