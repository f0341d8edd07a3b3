#include "platform/registry/hive.h"

#include <algorithm>

namespace platform::registry {

namespace {
unsigned char Fold(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}
}  // namespace

bool NamesEqual(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Fold(x) == Fold(y); });
}

bool NameLess(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Fold(x) < Fold(y); });
}

std::shared_ptr<KeyNode> KeyNode::FindSubkey(std::string_view subName) const {
  auto it =
      std::lower_bound(subkeys.begin(), subkeys.end(), subName,
                       [](const std::shared_ptr<KeyNode>& k, std::string_view n) { return NameLess(k->name, n); });
  return (it != subkeys.end() && NamesEqual((*it)->name, subName)) ? *it : nullptr;
}

std::shared_ptr<KeyNode> KeyNode::AddSubkey(std::string_view subName) {
  auto it =
      std::lower_bound(subkeys.begin(), subkeys.end(), subName,
                       [](const std::shared_ptr<KeyNode>& k, std::string_view n) { return NameLess(k->name, n); });
  if (it != subkeys.end() && NamesEqual((*it)->name, subName)) return *it;
  auto node = std::make_shared<KeyNode>();
  node->name = std::string(subName);
  node->parent = this;
  return *subkeys.insert(it, std::move(node));
}

const ValueEntry* KeyNode::FindValue(std::string_view valueName) const {
  auto it =
      std::find_if(values.begin(), values.end(), [&](const ValueEntry& v) { return NamesEqual(v.name, valueName); });
  return it == values.end() ? nullptr : &*it;
}

bool KeyNode::SetValue(std::string_view valueName, long type, ByteArray data) {
  auto it =
      std::find_if(values.begin(), values.end(), [&](const ValueEntry& v) { return NamesEqual(v.name, valueName); });
  if (it == values.end()) {
    values.push_back(ValueEntry{std::string(valueName), type, std::move(data)});
    return true;
  }
  if (it->type == type && it->data == data) return false;
  it->type = type;
  it->data = std::move(data);
  return true;
}

bool KeyNode::RemoveValue(std::string_view valueName) {
  return std::erase_if(values, [&](const ValueEntry& v) { return NamesEqual(v.name, valueName); }) > 0;
}

KeyNode::~KeyNode() {
  std::vector<std::shared_ptr<KeyNode>> pending = std::move(subkeys);
  while (!pending.empty()) {
    std::shared_ptr<KeyNode> node = std::move(pending.back());
    pending.pop_back();
    // Its last owner: its subkeys are taken out before it goes, so no
    // destructor runs inside another.
    if (node.use_count() == 1) {
      for (auto& sub : node->subkeys) pending.push_back(std::move(sub));
      node->subkeys.clear();
    }
  }
}

void KeyNode::MarkDeleted() {
  std::vector<KeyNode*> pending{this};
  while (!pending.empty()) {
    KeyNode* key = pending.back();
    pending.pop_back();
    key->deleted = true;
    key->parent = nullptr;
    for (auto& sub : key->subkeys) pending.push_back(sub.get());
  }
}

std::size_t KeyNode::Depth() const {
  std::size_t depth = 0;
  for (const KeyNode* k = this; k->parent != nullptr; k = k->parent) ++depth;
  return depth;
}

std::string KeyNode::Path() const {
  std::vector<const KeyNode*> chain;
  for (const KeyNode* k = this; k != nullptr && k->parent != nullptr; k = k->parent) chain.push_back(k);
  std::string out;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!out.empty()) out += '\\';
    out += (*it)->name;
  }
  return out;
}

}  // namespace platform::registry
