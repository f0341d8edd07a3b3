#include "host/mail/text_util.h"

#include <algorithm>

namespace host::mail::detail {

std::string MakeValidUtf8(std::string_view s, std::string_view replacement) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const Utf8Char c = DecodeUtf8(s, i);
    if (c.length == 0) {
      out += replacement;
      ++i;
    } else {
      out.append(s.substr(i, c.length));
      i += c.length;
    }
  }
  return out;
}

bool LessCaseBlind(std::string_view a, std::string_view b) {
  const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  const auto [ia, ib] =
      std::mismatch(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return fold(x) == fold(y); });
  if (ia == a.end() || ib == b.end()) {
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
  }
  return static_cast<unsigned char>(fold(*ia)) < static_cast<unsigned char>(fold(*ib));
}

std::string HexEncode(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 0x0F];
  }
  return out;
}

bool HexDecode(std::string_view hex, std::string& out) {
  const auto value = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  if (hex.size() % 2 != 0) return false;
  out.clear();
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int hi = value(hex[i]);
    const int lo = value(hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
  }
  return true;
}

}  // namespace host::mail::detail
