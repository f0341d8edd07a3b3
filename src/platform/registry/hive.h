#pragma once
// The tree of one registry root: keys with case-blind, case-preserving names,
// values in the order they were first written, subkeys in case-blind order.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::registry {

using ByteArray = std::vector<std::uint8_t>;

struct ValueEntry {
  std::string name;  // "" is the key's unnamed default value
  long type = 0;
  ByteArray data;

  bool operator==(const ValueEntry&) const = default;
};

// How deep keys may nest below a root, as in the registry we stand in for.
inline constexpr std::size_t kMaxKeyDepth = 512;

struct KeyNode {
  KeyNode() = default;
  // Takes a deep tree apart level by level, never by recursion on its depth.
  ~KeyNode();
  KeyNode(const KeyNode&) = delete;
  KeyNode& operator=(const KeyNode&) = delete;

  std::string name;
  KeyNode* parent = nullptr;  // null for a root and for a deleted key
  bool deleted = false;
  std::vector<ValueEntry> values;
  std::vector<std::shared_ptr<KeyNode>> subkeys;  // kept in NameLess order

  std::shared_ptr<KeyNode> FindSubkey(std::string_view subName) const;
  // The existing subkey of that name (any case), else a new one in its place.
  std::shared_ptr<KeyNode> AddSubkey(std::string_view subName);
  const ValueEntry* FindValue(std::string_view valueName) const;
  // Overwriting keeps the value's position and the spelling it was first written with.
  // Returns false when the value already held exactly this type and data.
  bool SetValue(std::string_view valueName, long type, ByteArray data);
  bool RemoveValue(std::string_view valueName);
  // Marks this key and everything below it deleted, so open handles see it gone.
  void MarkDeleted();
  // Backslash-separated names from the root's first level down ("" for a root).
  std::string Path() const;
  // Levels below the root (0 for a root).
  std::size_t Depth() const;
};

// Names compare as the registry compares them: a-z fold to A-Z, other bytes as they are.
bool NamesEqual(std::string_view a, std::string_view b);
bool NameLess(std::string_view a, std::string_view b);

}  // namespace platform::registry
