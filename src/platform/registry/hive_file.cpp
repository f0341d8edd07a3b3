#include "platform/registry/hive_file.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace platform::registry {

namespace {

constexpr long kSz = 1;
constexpr long kBinary = 3;
constexpr long kDword = 4;
constexpr std::size_t kHexLineWidth = 76;

const char* const kHexDigits = "0123456789abcdef";

void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
}

// A REG_SZ can be written in quotes when it is one line of text followed by exactly one NUL.
bool IsQuotable(const ByteArray& data) {
  if (data.empty() || data.back() != 0) return false;
  return std::none_of(data.begin(), data.end() - 1, [](std::uint8_t b) { return b == 0 || b == '\r' || b == '\n'; });
}

std::string HexNumber(std::uint32_t v, int width) {
  std::string out;
  do {
    out.insert(out.begin(), kHexDigits[v & 0xF]);
    v >>= 4;
  } while (v != 0);
  while (static_cast<int>(out.size()) < width) out.insert(out.begin(), '0');
  return out;
}

void WriteValue(std::string& out, const ValueEntry& v) {
  std::size_t lineStart = out.size();
  if (v.name.empty()) {
    out += '@';
  } else {
    out += '"';
    AppendEscaped(out, v.name);
    out += '"';
  }
  out += '=';
  if (v.type == kSz && IsQuotable(v.data)) {
    out += '"';
    AppendEscaped(out, std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size() - 1));
    out += '"';
  } else if (v.type == kDword && v.data.size() == 4) {
    const std::uint32_t n = static_cast<std::uint32_t>(v.data[0]) | static_cast<std::uint32_t>(v.data[1]) << 8 |
                            static_cast<std::uint32_t>(v.data[2]) << 16 | static_cast<std::uint32_t>(v.data[3]) << 24;
    out += "dword:" + HexNumber(n, 8);
  } else {
    out += v.type == kBinary ? std::string("hex:") : "hex(" + HexNumber(static_cast<std::uint32_t>(v.type), 1) + "):";
    for (std::size_t i = 0; i < v.data.size(); ++i) {
      out += kHexDigits[v.data[i] >> 4];
      out += kHexDigits[v.data[i] & 0xF];
      if (i + 1 == v.data.size()) break;
      out += ',';
      if (out.size() - lineStart >= kHexLineWidth) {
        out += "\\\n  ";
        lineStart = out.size() - 2;
      }
    }
  }
  out += '\n';
}

void WriteSection(std::string& out, const KeyNode& key, const std::string& path) {
  out += '[' + path + "]\n";
  for (const auto& v : key.values) WriteValue(out, v);
  out += '\n';
}

// Depth first, in subkey order, with one path that grows and shrinks: no
// recursion on the depth and no copy of the path per level.
void WriteTree(std::string& out, const KeyNode& top, std::string_view rootName) {
  std::string path(rootName);
  if (!top.values.empty()) WriteSection(out, top, path);
  struct Level {
    const KeyNode* key;
    std::size_t next;
    std::size_t pathLength;
  };
  std::vector<Level> levels{{&top, 0, path.size()}};
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.next == level.key->subkeys.size()) {
      levels.pop_back();
      continue;
    }
    const KeyNode& sub = *level.key->subkeys[level.next++];
    path.resize(level.pathLength);
    path += '\\';
    path += sub.name;
    WriteSection(out, sub, path);
    levels.push_back({&sub, 0, path.size()});
  }
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && NamesEqual(s.substr(0, prefix.size()), prefix);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

struct Failure {
  std::string message;
};

// A quoted text starting at s[pos] == '"'; pos ends after the closing quote.
std::string ReadQuoted(std::string_view s, std::size_t& pos) {
  std::string out;
  for (++pos; pos < s.size(); ++pos) {
    const char c = s[pos];
    if (c == '"') {
      ++pos;
      return out;
    }
    if (c == '\\' && pos + 1 < s.size() && (s[pos + 1] == '\\' || s[pos + 1] == '"')) {
      out += s[++pos];
      continue;
    }
    out += c;
  }
  throw Failure{"a quoted text has no closing quote"};
}

ByteArray ReadHexList(std::string_view s) {
  ByteArray out;
  s = TrimBlanks(s);
  if (s.empty()) return out;
  if (s.back() == ',') s.remove_suffix(1);
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = s.find(',', start);
    const std::string_view item = TrimBlanks(s.substr(start, comma == std::string_view::npos ? s.npos : comma - start));
    if (item.empty() || item.size() > 2 || HexValue(item[0]) < 0 || (item.size() == 2 && HexValue(item[1]) < 0))
      throw Failure{"'" + std::string(item) + "' is not a byte in hexadecimal (like 0a or ff)"};
    out.push_back(
        static_cast<std::uint8_t>(item.size() == 1 ? HexValue(item[0]) : HexValue(item[0]) * 16 + HexValue(item[1])));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return out;
}

// The values of the key being read, by folded name: a key of many values
// is read in linear time, not by a search per value.
struct ValueIndex {
  KeyNode* key = nullptr;
  std::unordered_map<std::string, std::size_t> positions;

  static std::string Folded(std::string_view name) {
    std::string out(name);
    for (char& c : out)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
  }
  void Set(KeyNode& target, std::string name, long type, ByteArray data) {
    if (key != &target) {
      key = &target;
      positions.clear();
      for (std::size_t i = 0; i < target.values.size(); ++i) positions.emplace(Folded(target.values[i].name), i);
    }
    const auto [it, added] = positions.emplace(Folded(name), target.values.size());
    if (added) {
      target.values.push_back(ValueEntry{std::move(name), type, std::move(data)});
    } else {
      target.values[it->second].type = type;  // the first spelling and position stay
      target.values[it->second].data = std::move(data);
    }
  }
};

void ReadValueLine(std::string_view line, KeyNode& key, ValueIndex& index) {
  std::size_t pos = 0;
  std::string name;
  if (line[0] == '@') {
    pos = 1;
  } else {
    name = ReadQuoted(line, pos);
  }
  std::string_view rest = TrimBlanks(line.substr(pos));
  if (rest.empty() || rest[0] != '=') throw Failure{"expected '=' after the value name"};
  rest = TrimBlanks(rest.substr(1));

  long type = 0;
  ByteArray data;
  if (!rest.empty() && rest[0] == '"') {
    std::size_t p = 0;
    const std::string text = ReadQuoted(rest, p);
    if (!TrimBlanks(rest.substr(p)).empty()) throw Failure{"unexpected characters after the quoted text"};
    type = kSz;
    data.assign(text.begin(), text.end());
    data.push_back(0);
  } else if (StartsWithNoCase(rest, "dword:")) {
    const std::string_view digits = rest.substr(6);
    if (digits.empty() || digits.size() > 8 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return HexValue(c) >= 0; }))
      throw Failure{"a dword needs 1 to 8 hexadecimal digits"};
    std::uint32_t n = 0;
    for (char c : digits) n = n << 4 | static_cast<std::uint32_t>(HexValue(c));
    type = kDword;
    data = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n >> 16),
            static_cast<std::uint8_t>(n >> 24)};
  } else if (StartsWithNoCase(rest, "hex:")) {
    type = kBinary;
    data = ReadHexList(rest.substr(4));
  } else if (StartsWithNoCase(rest, "hex(")) {
    const std::size_t close = rest.find("):");
    const std::string_view digits = close == std::string_view::npos ? std::string_view() : rest.substr(4, close - 4);
    if (digits.empty() || digits.size() > 8 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return HexValue(c) >= 0; }))
      throw Failure{"expected hex(<type>): with the type in hexadecimal"};
    std::uint32_t t = 0;
    for (char c : digits) t = t << 4 | static_cast<std::uint32_t>(HexValue(c));
    type = static_cast<long>(t);
    data = ReadHexList(rest.substr(close + 2));
  } else {
    throw Failure{"the data must be a quoted text, dword:, hex: or hex(<type>):"};
  }
  index.Set(key, std::move(name), type, std::move(data));
}

KeyNode& ReadSection(std::string_view path, std::string_view rootName, KeyNode& top) {
  if (!path.empty() && path[0] == '-') throw Failure{"entries that delete a key are not supported"};
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t slash = path.find('\\', start);
    parts.push_back(path.substr(start, slash == std::string_view::npos ? path.npos : slash - start));
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  if (!NamesEqual(parts[0], rootName))
    throw Failure{"the key [" + std::string(path) + "] does not belong to " + std::string(rootName)};
  if (parts.size() - 1 > kMaxKeyDepth)
    throw Failure{"a key is nested " + std::to_string(parts.size() - 1) + " levels deep; at most " +
                  std::to_string(kMaxKeyDepth) + " are allowed"};
  KeyNode* key = &top;
  for (std::size_t i = 1; i < parts.size(); ++i) {
    if (parts[i].empty()) throw Failure{"the key [" + std::string(path) + "] has an empty name in it"};
    key = key->AddSubkey(parts[i]).get();
  }
  return *key;
}

}  // namespace

std::string WriteHiveText(const KeyNode& top, std::string_view rootName) {
  std::string out = "REGEDIT4\n\n";
  WriteTree(out, top, rootName);
  return out;
}

std::optional<HiveFileError> ReadHiveText(std::string_view text, std::string_view rootName, KeyNode& top) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t nl = text.find('\n', start);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = text.substr(start, nl - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = nl + 1;
  }

  // A last line without its line break may be cut inside ("dword:0000"):
  // it is not read.
  const bool terminated = !text.empty() && text.back() == '\n';
  const std::size_t wholeLines = terminated ? lines.size() : lines.size() - 1;

  bool sawHeader = false;
  KeyNode* key = nullptr;
  ValueIndex index;
  for (std::size_t i = 0; i < wholeLines; ++i) {
    const int lineNumber = static_cast<int>(i) + 1;
    std::string_view line = TrimBlanks(lines[i]);
    if (line.empty() || line[0] == ';') continue;
    try {
      if (!sawHeader) {
        if (line != "REGEDIT4") throw Failure{"the file must start with the line REGEDIT4"};
        sawHeader = true;
      } else if (line[0] == '[') {
        if (line.back() != ']') throw Failure{"a key line must end with ']'"};
        key = &ReadSection(line.substr(1, line.size() - 2), rootName, top);
      } else if (line[0] == '"' || line[0] == '@') {
        if (key == nullptr) throw Failure{"a value comes before the first [key] line"};
        std::string logical(line);
        while (!logical.empty() && logical.back() == '\\' && i + 1 < wholeLines) {
          logical.pop_back();
          logical += TrimBlanks(lines[++i]);
        }
        // Its continuation was cut off: the value is not whole.
        if (!terminated && !logical.empty() && logical.back() == '\\' && i + 1 == wholeLines) break;
        ReadValueLine(logical, *key, index);
      } else {
        throw Failure{"this line is neither a [key], a value nor a ; comment"};
      }
    } catch (const Failure& f) {
      return HiveFileError{lineNumber, f.message};
    }
  }
  if (!sawHeader) {
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
      return HiveFileError{0, "the file is empty; it must start with the line REGEDIT4"};
    return HiveFileError{0, "the file was cut short before its REGEDIT4 line was whole"};
  }
  // Every file written here ends with a blank line; without it the file was
  // cut short (after a whole line, which reads as a sound file) or not
  // written whole, and settings after the cut would silently fall back to
  // their defaults.
  if (!terminated || wholeLines < 2 || !TrimBlanks(lines[wholeLines - 2]).empty())
    return HiveFileError{0, "the file does not end with its final blank line: it was cut short or not written whole",
                         true};
  return std::nullopt;
}

}  // namespace platform::registry
