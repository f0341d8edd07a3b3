#include "platform/registry/registry.h"

#include "platform/atomic_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/atomic_write.h"
#include "platform/registry/hive_file.h"
#include "runtime/error.h"

namespace platform::registry {

namespace {

// Rights that change something: a protected root refuses a handle asking for any of them.
constexpr long kDelete = 0x10000;
constexpr long kWriteDac = 0x40000;
constexpr long kWriteOwner = 0x80000;
constexpr long kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | kDelete | kWriteDac | kWriteOwner;

// Names cross the original calls as C strings: a NUL ends them.
std::string_view CutAtNul(std::string_view s) {
  const auto p = s.find('\0');
  return p == std::string_view::npos ? s : s.substr(0, p);
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

bool Allowed(const auto& handle, long right) { return handle.predefined || (handle.access & right) != 0; }

std::string ErrnoText(int code) { return std::strerror(code); }

// Writes `text` to a new file beside `file` and renames it over `file`, so
// the old file stays whole until the new one is complete on disk.
std::string WriteAtomically(const std::filesystem::path& file, const std::string& text) {
  const std::filesystem::path temp = file.string() + ".tmp";
  const platform::AtomicWriteResult r = platform::WriteFileAtomically(file, temp, text, platform::NewFileMode::Private);
  switch (r.failed) {
    case platform::AtomicWriteResult::Step::None: return {};
    case platform::AtomicWriteResult::Step::Create: return "cannot create " + temp.string() + ": " + ErrnoText(r.error);
    case platform::AtomicWriteResult::Step::Write: return "cannot write " + temp.string() + ": " + ErrnoText(r.error);
    case platform::AtomicWriteResult::Step::Replace:
      return "cannot replace " + file.string() + ": " + ErrnoText(r.error);
  }
  return {};
}

}  // namespace

ByteArray SzData(std::string_view text) {
  ByteArray out(text.begin(), text.end());
  out.push_back(0);
  return out;
}

ByteArray MultiSzData(const std::vector<std::string>& texts) {
  ByteArray out;
  for (const auto& t : texts) {
    out.insert(out.end(), t.begin(), t.end());
    out.push_back(0);
  }
  out.push_back(0);
  return out;
}

ByteArray DwordData(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::string_view CallName(Call call) {
  switch (call) {
    case Call::OpenKey: return "OpenKey";
    case Call::CreateKey: return "CreateKey";
    case Call::CloseKey: return "CloseKey";
    case Call::DeleteKey: return "DeleteKey";
    case Call::DeleteValue: return "DeleteValue";
    case Call::EnumKey: return "EnumKey";
    case Call::EnumValue: return "EnumValue";
    case Call::QueryValue: return "QueryValue";
    case Call::SetValue: return "SetValue";
  }
  return "?";
}

Registry::Registry() {
  const HKEY roots[3] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
  const char* names[3] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};
  for (int i = 0; i < 3; ++i) {
    hives_[i].root = roots[i];
    hives_[i].name = names[i];
    hives_[i].top = std::make_shared<KeyNode>();
    hives_[i].top->name = names[i];
  }
  diagnostics = [](const std::string& message) { std::cerr << message << '\n'; };
}

Registry::~Registry() {
  try {
    Flush();
  } catch (...) {
    // A destructor must not throw; what could not be saved was reported already.
  }
}

std::string Registry::FileName(HKEY root) {
  switch (static_cast<std::uint32_t>(root)) {
    case 0x80000000u: return "HKEY_CLASSES_ROOT.reg";
    case 0x80000001u: return "HKEY_CURRENT_USER.reg";
    case 0x80000002u: return "HKEY_LOCAL_MACHINE.reg";
  }
  return {};
}

long Registry::LookupHandle(HKEY key, Handle& out) const {
  for (int i = 0; i < 3; ++i) {
    const HKEY root = hives_[i].root;
    if (key == root || key == static_cast<HKEY>(static_cast<std::int32_t>(static_cast<std::uint32_t>(root)))) {
      out = Handle{hives_[i].top, i, KEY_ALL_ACCESS, true};
      return ERROR_SUCCESS;
    }
  }
  auto it = handles_.find(key);
  if (it == handles_.end()) return ERROR_INVALID_HANDLE;
  out = it->second;
  return ERROR_SUCCESS;
}

Registry::Resolved Registry::Resolve(HKEY key, std::string_view subKey) const {
  Resolved r;
  r.code = LookupHandle(key, r.base);
  if (r.code != ERROR_SUCCESS) return r;
  if (r.base.key->deleted) {
    r.code = ERROR_KEY_DELETED;
    return r;
  }
  std::string_view path = CutAtNul(subKey);
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  if (!path.empty() && path.front() == '\\') {
    // Only the classes root forgives one leading backslash, as the original did.
    if (!(r.base.predefined && r.base.hive == 0)) {
      r.code = ERROR_BAD_PATHNAME;
      return r;
    }
    path.remove_prefix(1);
  }
  if (path.empty()) return r;
  std::size_t start = 0;
  while (true) {
    const std::size_t slash = path.find('\\', start);
    const std::string_view part = path.substr(start, slash == std::string_view::npos ? path.npos : slash - start);
    if (part.empty()) {
      r.code = ERROR_BAD_PATHNAME;
      return r;
    }
    if (HasLineBreak(part)) {
      r.code = ERROR_INVALID_PARAMETER;
      return r;
    }
    r.parts.emplace_back(part);
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  return r;
}

std::shared_ptr<KeyNode> Registry::FindKey(const Resolved& r) {
  std::shared_ptr<KeyNode> node = r.base.key;
  for (const auto& part : r.parts) {
    node = node->FindSubkey(part);
    if (!node) return nullptr;
  }
  return node;
}

KeyNode* Registry::Walk(HKEY root, std::string_view path) const {
  Resolved r = Resolve(root, path);
  if (r.code != ERROR_SUCCESS) return nullptr;
  return FindKey(r).get();
}

Registry::Hive& Registry::HiveOf(HKEY root) {
  Handle h;
  if (LookupHandle(root, h) != ERROR_SUCCESS || !h.predefined)
    throw runtime::Error(runtime::err::kInvalidProcedureCall, "not a predefined registry root");
  return hives_[h.hive];
}

std::string Registry::Describe(HKEY key) const {
  Handle h;
  if (LookupHandle(key, h) != ERROR_SUCCESS) return "#" + std::to_string(key);
  const std::string& root = hives_[h.hive].name;
  if (h.key->deleted) return root + "\\<deleted>\\" + h.key->name;
  const std::string path = h.key->Path();
  return path.empty() ? root : root + "\\" + path;
}

HKEY Registry::NewHandle(Handle handle) {
  const HKEY id = nextHandle_++;
  handles_.emplace(id, std::move(handle));
  return id;
}

void Registry::Changed(const Handle& via) {
  Hive& hive = hives_[via.hive];
  hive.dirty = true;
  // A predefined root is never closed, so a change through it is saved at once.
  if (via.predefined) Save(hive);
}

template <class Body>
long Registry::Run(Call call, HKEY key, std::string detail, Body&& body) {
  if (beforeCall) beforeCall(call);
  std::string where = Describe(key);
  for (auto it = faults_.begin(); it != faults_.end(); ++it) {
    if (it->first != call) continue;
    Fault& f = it->second;
    if (f.skip > 0) {
      --f.skip;
      break;
    }
    const Fault fault = f;
    if (--f.times <= 0) faults_.erase(it);
    calls_.Add(CallRecord{call, std::move(where), std::move(detail), fault.number != 0 ? fault.number : fault.result});
    if (fault.number != 0) throw runtime::Error(fault.number, fault.description);
    return fault.result;
  }
  const long result = body();
  calls_.Add(CallRecord{call, std::move(where), std::move(detail), result});
  return result;
}

long Registry::OpenKey(HKEY key, std::string_view subKey, long options, long samDesired, HKEY* result) {
  return Run(Call::OpenKey, key, std::string(subKey), [&]() -> long {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = 0;
    Resolved r = Resolve(key, subKey);
    if (r.code != ERROR_SUCCESS) return r.code;
    std::shared_ptr<KeyNode> node = FindKey(r);
    if (!node) return ERROR_FILE_NOT_FOUND;
    if ((samDesired & kWriteRights) != 0 && hives_[r.base.hive].writeProtected) return ERROR_ACCESS_DENIED;
    *result = NewHandle(Handle{node, r.base.hive, samDesired, false});
    return ERROR_SUCCESS;
  });
}

long Registry::CreateKey(HKEY key, std::string_view subKey, std::string_view className, long options, long samDesired,
                         const SecurityAttributes* security, HKEY* result, long* disposition) {
  return Run(Call::CreateKey, key, std::string(subKey), [&]() -> long {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = 0;
    Resolved r = Resolve(key, subKey);
    if (r.code != ERROR_SUCCESS) return r.code;
    const Hive& hive = hives_[r.base.hive];
    std::shared_ptr<KeyNode> node = r.base.key;
    std::size_t level = 0;
    for (; level < r.parts.size(); ++level) {
      auto next = node->FindSubkey(r.parts[level]);
      if (!next) break;
      node = std::move(next);
    }
    const bool creating = level < r.parts.size();
    if (hive.writeProtected && (creating || (samDesired & kWriteRights) != 0)) return ERROR_ACCESS_DENIED;
    if (creating && !Allowed(r.base, KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    // Deeper keys could not be read back from the hive file.
    if (creating && node->Depth() + (r.parts.size() - level) > kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
    for (; level < r.parts.size(); ++level) node = node->AddSubkey(r.parts[level]);
    Handle opened{node, r.base.hive, samDesired, false};
    *result = NewHandle(opened);
    if (disposition != nullptr) *disposition = creating ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    if (creating) Changed(opened);  // saved when the new handle is closed
    return ERROR_SUCCESS;
  });
}

long Registry::CloseKey(HKEY key) {
  return Run(Call::CloseKey, key, {}, [&]() -> long {
    Handle h;
    const long code = LookupHandle(key, h);
    if (code != ERROR_SUCCESS) return code;
    if (h.predefined) return ERROR_SUCCESS;
    handles_.erase(key);
    Save(hives_[h.hive]);
    return ERROR_SUCCESS;
  });
}

long Registry::DeleteKey(HKEY key, std::string_view subKey) {
  return Run(Call::DeleteKey, key, std::string(subKey), [&]() -> long {
    Resolved r = Resolve(key, subKey);
    if (r.code != ERROR_SUCCESS) return r.code;
    std::shared_ptr<KeyNode> node = FindKey(r);
    if (!node) return ERROR_FILE_NOT_FOUND;
    KeyNode* parent = node->parent;
    if (parent == nullptr) return ERROR_ACCESS_DENIED;  // a root itself
    if (hives_[r.base.hive].writeProtected) return ERROR_ACCESS_DENIED;
    if (!node->subkeys.empty()) return ERROR_ACCESS_DENIED;
    std::erase(parent->subkeys, node);
    node->MarkDeleted();
    Hive& hive = hives_[r.base.hive];
    hive.dirty = true;
    Save(hive);  // no handle of this call is closed later
    return ERROR_SUCCESS;
  });
}

long Registry::DeleteValue(HKEY key, std::string_view valueName) {
  return Run(Call::DeleteValue, key, std::string(valueName), [&]() -> long {
    Handle h;
    const long code = LookupHandle(key, h);
    if (code != ERROR_SUCCESS) return code;
    if (h.key->deleted) return ERROR_KEY_DELETED;
    if (!Allowed(h, KEY_SET_VALUE) || hives_[h.hive].writeProtected) return ERROR_ACCESS_DENIED;
    if (!h.key->RemoveValue(CutAtNul(valueName))) return ERROR_FILE_NOT_FOUND;
    Changed(h);
    return ERROR_SUCCESS;
  });
}

long Registry::EnumKey(HKEY key, long index, char* name, long* nameChars, char* className, long* classChars) {
  return Run(Call::EnumKey, key, std::to_string(index), [&]() -> long {
    Handle h;
    const long code = LookupHandle(key, h);
    if (code != ERROR_SUCCESS) return code;
    if (h.key->deleted) return ERROR_KEY_DELETED;
    if (!Allowed(h, KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
    if (name == nullptr || nameChars == nullptr) return ERROR_INVALID_PARAMETER;
    if (index < 0 || static_cast<std::size_t>(index) >= h.key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    const std::string& found = h.key->subkeys[static_cast<std::size_t>(index)]->name;
    const long needed = static_cast<long>(found.size()) + 1;
    if (*nameChars < needed) {
      *nameChars = needed;
      return ERROR_MORE_DATA;
    }
    std::memcpy(name, found.c_str(), found.size() + 1);
    *nameChars = needed - 1;
    if (classChars != nullptr) {
      if (className != nullptr && *classChars > 0) className[0] = '\0';
      *classChars = 0;
    }
    return ERROR_SUCCESS;
  });
}

long Registry::EnumValue(HKEY key, long index, char* name, long* nameChars, long* type, std::uint8_t* data,
                         long* dataBytes) {
  return Run(Call::EnumValue, key, std::to_string(index), [&]() -> long {
    Handle h;
    const long code = LookupHandle(key, h);
    if (code != ERROR_SUCCESS) return code;
    if (h.key->deleted) return ERROR_KEY_DELETED;
    if (!Allowed(h, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    if (name == nullptr || nameChars == nullptr || (data != nullptr && dataBytes == nullptr))
      return ERROR_INVALID_PARAMETER;
    if (index < 0 || static_cast<std::size_t>(index) >= h.key->values.size()) return ERROR_NO_MORE_ITEMS;
    const ValueEntry& v = h.key->values[static_cast<std::size_t>(index)];
    const long nameNeeded = static_cast<long>(v.name.size()) + 1;
    const long dataNeeded = static_cast<long>(v.data.size());
    if (type != nullptr) *type = v.type;
    if (*nameChars < nameNeeded || (data != nullptr && *dataBytes < dataNeeded)) {
      *nameChars = nameNeeded;
      if (dataBytes != nullptr) *dataBytes = dataNeeded;
      return ERROR_MORE_DATA;
    }
    std::memcpy(name, v.name.c_str(), v.name.size() + 1);
    *nameChars = nameNeeded - 1;
    if (data != nullptr && !v.data.empty()) std::memcpy(data, v.data.data(), v.data.size());
    if (dataBytes != nullptr) *dataBytes = dataNeeded;
    return ERROR_SUCCESS;
  });
}

long Registry::QueryValue(HKEY key, std::string_view valueName, long* type, std::uint8_t* data, long* dataBytes) {
  return Run(Call::QueryValue, key, std::string(valueName), [&]() -> long {
    Handle h;
    const long code = LookupHandle(key, h);
    if (code != ERROR_SUCCESS) return code;
    if (h.key->deleted) return ERROR_KEY_DELETED;
    if (!Allowed(h, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    if (data != nullptr && dataBytes == nullptr) return ERROR_INVALID_PARAMETER;
    const ValueEntry* v = h.key->FindValue(CutAtNul(valueName));
    if (v == nullptr) return ERROR_FILE_NOT_FOUND;
    const long needed = static_cast<long>(v->data.size());
    if (type != nullptr) *type = v->type;
    if (data != nullptr && *dataBytes < needed) {
      *dataBytes = needed;
      return ERROR_MORE_DATA;
    }
    if (data != nullptr && !v->data.empty()) std::memcpy(data, v->data.data(), v->data.size());
    if (dataBytes != nullptr) *dataBytes = needed;
    return ERROR_SUCCESS;
  });
}

long Registry::SetValue(HKEY key, std::string_view valueName, long type, const std::uint8_t* data, long dataBytes) {
  return Run(Call::SetValue, key, std::string(valueName), [&]() -> long {
    Handle h;
    const long code = LookupHandle(key, h);
    if (code != ERROR_SUCCESS) return code;
    if (h.key->deleted) return ERROR_KEY_DELETED;
    if (!Allowed(h, KEY_SET_VALUE) || hives_[h.hive].writeProtected) return ERROR_ACCESS_DENIED;
    const std::string_view name = CutAtNul(valueName);
    if (dataBytes < 0 || (dataBytes > 0 && data == nullptr) || type < 0 || type > 0xFFFFFFFFL || HasLineBreak(name))
      return ERROR_INVALID_PARAMETER;
    ByteArray bytes(data, data + dataBytes);
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
      if (bytes.empty() || bytes.back() != 0) bytes.push_back(0);
    } else if (type == REG_MULTI_SZ) {
      while (bytes.size() < 2 || bytes[bytes.size() - 1] != 0 || bytes[bytes.size() - 2] != 0) bytes.push_back(0);
    }
    if (h.key->SetValue(name, type, std::move(bytes))) Changed(h);
    return ERROR_SUCCESS;
  });
}

// ---- seam ----

void Registry::SeedKey(HKEY root, std::string_view path) {
  Hive& hive = HiveOf(root);
  Resolved r = Resolve(root, path);
  if (r.code != ERROR_SUCCESS) throw runtime::Error(runtime::err::kInvalidProcedureCall, "bad registry path");
  std::shared_ptr<KeyNode> node = hive.top;
  for (const auto& part : r.parts) node = node->AddSubkey(part);
  hive.dirty = true;
}

void Registry::Seed(HKEY root, std::string_view path, std::string_view valueName, long type, ByteArray data) {
  SeedKey(root, path);
  Walk(root, path)->SetValue(valueName, type, std::move(data));
}

bool Registry::HasKey(HKEY root, std::string_view path) const { return Walk(root, path) != nullptr; }

std::optional<ValueEntry> Registry::Peek(HKEY root, std::string_view path, std::string_view valueName) const {
  const KeyNode* key = Walk(root, path);
  const ValueEntry* v = key == nullptr ? nullptr : key->FindValue(valueName);
  if (v == nullptr) return std::nullopt;
  return *v;
}

std::vector<std::string> Registry::SubkeyNames(HKEY root, std::string_view path) const {
  std::vector<std::string> out;
  if (const KeyNode* key = Walk(root, path))
    for (const auto& sub : key->subkeys) out.push_back(sub->name);
  return out;
}

std::vector<std::string> Registry::ValueNames(HKEY root, std::string_view path) const {
  std::vector<std::string> out;
  if (const KeyNode* key = Walk(root, path))
    for (const auto& v : key->values) out.push_back(v.name);
  return out;
}

void Registry::Protect(HKEY root, bool on) { HiveOf(root).writeProtected = on; }

void Registry::InjectFault(Call call, Fault fault) { faults_.emplace_back(call, std::move(fault)); }

void Registry::ClearFaults() { faults_.clear(); }

// ---- persistence ----

void Registry::Report(const std::string& message) const {
  reports_.push_back(message);
  if (diagnostics) diagnostics(message);
}

void Registry::AttachDirectory(const std::filesystem::path& directory) {
  directory_ = directory;
  for (Hive& hive : hives_) LoadHive(hive);
}

void Registry::LoadHive(Hive& hive) {
  hive.top->MarkDeleted();  // handles into what was there before see it gone
  hive.top = std::make_shared<KeyNode>();
  hive.top->name = hive.name;
  hive.dirty = false;
  hive.saveBlocked = false;

  const std::filesystem::path file = *directory_ / FileName(hive.root);
  std::error_code ec;
  const bool present = std::filesystem::exists(file, ec);
  if (ec) {
    Report("lumivane: cannot look at the registry file " + file.string() + ": " + ec.message() + "; " + hive.name +
           " starts empty and will not be saved over it.");
    hive.saveBlocked = true;
    return;
  }
  if (!present) return;
  // A folder (or a pipe) of that name is no file to read, and not one to
  // save over either.
  if (!std::filesystem::is_regular_file(file, ec)) {
    Report("lumivane: the registry file " + file.string() + " is " +
           (std::filesystem::is_directory(file, ec) ? "a directory" : "not a plain file") + "; " + hive.name +
           " starts empty and will not be saved over it.");
    hive.saveBlocked = true;
    return;
  }

  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in || in.bad()) {
    Report("lumivane: cannot read the registry file " + file.string() + "; " + hive.name +
           " starts empty and will not be saved over it.");
    hive.saveBlocked = true;
    return;
  }

  auto parsed = std::make_shared<KeyNode>();
  parsed->name = hive.name;
  const auto error = ReadHiveText(text.str(), hive.name, *parsed);
  if (!error) {
    hive.top = std::move(parsed);
    return;
  }

  const std::string where =
      error->line > 0 ? "line " + std::to_string(error->line) + ": " + error->message : error->message;
  std::filesystem::path aside;
  for (int n = 1; n < 10000; ++n) {
    aside = file.string() + ".broken-" + std::to_string(n);
    if (!std::filesystem::exists(aside, ec) && !ec) break;
  }
  // A file cut short keeps everything before the cut; other damage leaves
  // the root empty. Either way the file itself is kept aside.
  if (error->cut) {
    hive.top->MarkDeleted();
    hive.top = std::move(parsed);
    hive.dirty = true;
  }
  std::filesystem::rename(file, aside, ec);
  if (ec) {
    Report("lumivane: the registry file " + file.string() + " cannot be read (" + where +
           ") and could not be renamed aside (" + ec.message() + "). " + hive.name +
           " starts empty and nothing will be saved over the file until it is repaired or removed.");
    hive.saveBlocked = true;
    return;
  }
  if (error->cut) {
    Report("lumivane: the registry file " + file.string() + " is damaged (" + where + "). It was renamed to " +
           aside.string() + "; " + hive.name +
           " keeps what could be read from it, and the rest of its settings are new.");
    return;
  }
  Report("lumivane: the registry file " + file.string() + " cannot be read (" + where + "). It was renamed to " +
         aside.string() + " and " + hive.name + " starts empty.");
}

void Registry::Save(Hive& hive) {
  if (!hive.dirty || !directory_ || hive.saveBlocked) return;
  std::error_code ec;
  std::filesystem::create_directories(*directory_, ec);
  if (ec) {
    Report("lumivane: the changes to " + hive.name + " were not saved: cannot create the folder " +
           directory_->string() + ": " + ec.message());
    return;
  }
  const std::string problem = WriteAtomically(*directory_ / FileName(hive.root), WriteHiveText(*hive.top, hive.name));
  if (!problem.empty()) {
    Report("lumivane: the changes to " + hive.name + " were not saved: " + problem);
    return;
  }
  hive.dirty = false;
}

void Registry::Flush() {
  for (Hive& hive : hives_) Save(hive);
}

// ---- the current registry and the free calls ----

namespace {
std::shared_ptr<Registry>& CurrentSlot() {
  static std::shared_ptr<Registry> current;
  return current;
}
}  // namespace

std::shared_ptr<Registry> Current() {
  auto& slot = CurrentSlot();
  if (!slot) slot = std::make_shared<Registry>();
  return slot;
}

void SetCurrent(std::shared_ptr<Registry> registry) { CurrentSlot() = std::move(registry); }

std::shared_ptr<Registry> UseDirectory(const std::filesystem::path& directory) {
  auto registry = std::make_shared<Registry>();
  registry->AttachDirectory(directory);
  SetCurrent(registry);
  return registry;
}

std::filesystem::path HiveDirectory(std::string_view lumivaneHome, std::string_view xdgConfigHome,
                                    std::string_view home) {
  if (!lumivaneHome.empty()) return std::filesystem::path(lumivaneHome);
  // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG rules say.
  if (!xdgConfigHome.empty() && std::filesystem::path(xdgConfigHome).is_absolute())
    return std::filesystem::path(xdgConfigHome) / "lumivane";
  return std::filesystem::path(home) / ".config" / "lumivane";
}

long RegOpenKeyEx(HKEY key, std::string_view subKey, long options, long samDesired, HKEY* result) {
  return Current()->OpenKey(key, subKey, options, samDesired, result);
}
long RegCreateKeyEx(HKEY key, std::string_view subKey, std::string_view className, long options, long samDesired,
                    const SecurityAttributes* security, HKEY* result, long* disposition) {
  return Current()->CreateKey(key, subKey, className, options, samDesired, security, result, disposition);
}
long RegCloseKey(HKEY key) { return Current()->CloseKey(key); }
long RegDeleteKey(HKEY key, std::string_view subKey) { return Current()->DeleteKey(key, subKey); }
long RegDeleteValue(HKEY key, std::string_view valueName) { return Current()->DeleteValue(key, valueName); }
long RegEnumKeyEx(HKEY key, long index, char* name, long* nameChars, char* className, long* classChars) {
  return Current()->EnumKey(key, index, name, nameChars, className, classChars);
}
long RegEnumValue(HKEY key, long index, char* name, long* nameChars, long* type, std::uint8_t* data, long* dataBytes) {
  return Current()->EnumValue(key, index, name, nameChars, type, data, dataBytes);
}
long RegQueryValueEx(HKEY key, std::string_view valueName, long* type, std::uint8_t* data, long* dataBytes) {
  return Current()->QueryValue(key, valueName, type, data, dataBytes);
}
long RegSetValueEx(HKEY key, std::string_view valueName, long type, const std::uint8_t* data, long dataBytes) {
  return Current()->SetValue(key, valueName, type, data, dataBytes);
}

}  // namespace platform::registry
