#include "runtime/text.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "runtime/error.h"

namespace runtime {

namespace {
char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

[[noreturn]] void InvalidCall() { Raise(err::kInvalidProcedureCall); }

// Bytes taken by the character at `i`. A malformed sequence counts each of
// its bytes as a character of its own, so no input can make us read past the
// end or lose bytes.
std::size_t CharBytes(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  std::size_t n = 1;
  if ((c & 0xE0) == 0xC0) {
    n = 2;
  } else if ((c & 0xF0) == 0xE0) {
    n = 3;
  } else if ((c & 0xF8) == 0xF0) {
    n = 4;
  }
  if (i + n > s.size()) return 1;
  for (std::size_t k = 1; k < n; ++k) {
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  }
  return n;
}

// Byte offset of every character, plus s.size() at the end.
std::vector<std::size_t> CharStarts(std::string_view s) {
  std::vector<std::size_t> starts;
  starts.reserve(s.size() + 1);
  for (std::size_t i = 0; i < s.size(); i += CharBytes(s, i)) starts.push_back(i);
  starts.push_back(s.size());
  return starts;
}

long CharCount(const std::vector<std::size_t>& starts) { return static_cast<long>(starts.size()) - 1; }

std::size_t ByteAt(const std::vector<std::size_t>& starts, long index) {
  return starts[static_cast<std::size_t>(index)];
}

// Character index (0-based) of byte offset `b`, or -1 when `b` falls inside a character.
long CharIndexAt(const std::vector<std::size_t>& starts, std::size_t b) {
  auto it = std::lower_bound(starts.begin(), starts.end(), b);
  if (it == starts.end() || *it != b) return -1;
  return static_cast<long>(it - starts.begin());
}

std::string FoldIf(std::string_view s, Compare compare) { return compare == Compare::Text ? LCase(s) : std::string(s); }

// Searches that only accept whole characters: a match may neither begin nor
// end inside a multi-byte character. Results are character indexes (0-based).
class Searcher {
 public:
  Searcher(std::string_view s, std::string_view find, Compare compare)
      : hay_(FoldIf(s, compare)), needle_(FoldIf(find, compare)), starts_(CharStarts(s)) {}

  const std::vector<std::size_t>& Starts() const { return starts_; }

  // First match at or after character `from`; -1 when none.
  long First(long from) const {
    std::size_t pos = ByteAt(starts_, from);
    while ((pos = hay_.find(needle_, pos)) != std::string::npos) {
      long at = CharIndexAt(starts_, pos);
      if (at >= 0 && CharIndexAt(starts_, pos + needle_.size()) >= 0) return at;
      ++pos;
    }
    return -1;
  }

  // Last match lying wholly within the first `chars` characters; -1 when none.
  long Last(long chars) const {
    std::size_t limit = ByteAt(starts_, chars);
    if (needle_.size() > limit) return -1;
    std::size_t pos = limit - needle_.size();
    while (true) {
      pos = std::string_view(hay_).substr(0, limit).rfind(needle_, pos);
      if (pos == std::string::npos) return -1;
      long at = CharIndexAt(starts_, pos);
      if (at >= 0 && CharIndexAt(starts_, pos + needle_.size()) >= 0) return at;
      if (pos == 0) return -1;
      --pos;
    }
  }

 private:
  std::string hay_;
  std::string needle_;
  std::vector<std::size_t> starts_;
};

}  // namespace

bool TextEqual(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

// Text compare folds to lower case first, so it agrees with TextEqual.
int StrComp(std::string_view a, std::string_view b, Compare compare) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    char x = compare == Compare::Text ? FoldAscii(a[i]) : a[i];
    char y = compare == Compare::Text ? FoldAscii(b[i]) : b[i];
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string LCase(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), FoldAscii);
  return out;
}

std::string UCase(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), UpperAscii);
  return out;
}

long Len(std::string_view s) {
  long n = 0;
  for (std::size_t i = 0; i < s.size(); i += CharBytes(s, i)) ++n;
  return n;
}

std::string Left(std::string_view s, long length) {
  if (length < 0) InvalidCall();
  auto starts = CharStarts(s);
  long n = std::min(length, CharCount(starts));
  return std::string(s.substr(0, ByteAt(starts, n)));
}

std::string Right(std::string_view s, long length) {
  if (length < 0) InvalidCall();
  auto starts = CharStarts(s);
  long count = CharCount(starts);
  long n = std::min(length, count);
  return std::string(s.substr(ByteAt(starts, count - n)));
}

std::string Mid(std::string_view s, long start) { return Mid(s, start, std::numeric_limits<long>::max()); }

std::string Mid(std::string_view s, long start, long length) {
  if (start < 1 || length < 0) InvalidCall();
  auto starts = CharStarts(s);
  long count = CharCount(starts);
  if (start > count) return {};
  long from = start - 1;
  long to = from + std::min(length, count - from);
  return std::string(s.substr(ByteAt(starts, from), ByteAt(starts, to) - ByteAt(starts, from)));
}

long InStr(std::string_view s, std::string_view find, Compare compare) { return InStr(1, s, find, compare); }

long InStr(long start, std::string_view s, std::string_view find, Compare compare) {
  if (start < 1) InvalidCall();
  if (s.empty()) return 0;
  Searcher search(s, find, compare);
  long count = CharCount(search.Starts());
  if (start > count + 1) return 0;
  if (find.empty()) return start;
  if (start > count) return 0;
  long at = search.First(start - 1);
  return at < 0 ? 0 : at + 1;
}

long InStrRev(std::string_view s, std::string_view find, long start, Compare compare) {
  if (start == 0 || start < -1) InvalidCall();
  Searcher search(s, find, compare);
  long count = CharCount(search.Starts());
  if (start == -1) start = count;
  if (start > count || count == 0) return 0;
  if (find.empty()) return start;
  long at = search.Last(start);
  return at < 0 ? 0 : at + 1;
}

std::string Replace(std::string_view s, std::string_view find, std::string_view with, long start, long count,
                    Compare compare) {
  if (start < 1 || count < -1) InvalidCall();
  auto starts = CharStarts(s);
  if (start > CharCount(starts)) return {};
  std::string_view tail = s.substr(ByteAt(starts, start - 1));
  if (find.empty() || count == 0) return std::string(tail);

  Searcher search(tail, find, compare);
  const auto& at = search.Starts();
  std::string out;
  long from = 0;
  long done = 0;
  while (count == -1 || done < count) {
    long hit = search.First(from);
    if (hit < 0) break;
    out.append(tail.substr(ByteAt(at, from), ByteAt(at, hit) - ByteAt(at, from)));
    out.append(with);
    from = CharIndexAt(at, ByteAt(at, hit) + find.size());
    ++done;
  }
  out.append(tail.substr(ByteAt(at, from)));
  return out;
}

// The original gives an array without elements for the empty text.
std::vector<std::string> Split(std::string_view s, std::string_view delimiter, long limit, Compare compare) {
  if (limit < -1) InvalidCall();
  std::vector<std::string> parts;
  if (s.empty() || limit == 0) return parts;
  if (delimiter.empty()) {
    parts.emplace_back(s);
    return parts;
  }
  Searcher search(s, delimiter, compare);
  const auto& at = search.Starts();
  long from = 0;
  while (limit == -1 || static_cast<long>(parts.size()) < limit - 1) {
    long hit = search.First(from);
    if (hit < 0) break;
    parts.emplace_back(s.substr(ByteAt(at, from), ByteAt(at, hit) - ByteAt(at, from)));
    from = CharIndexAt(at, ByteAt(at, hit) + delimiter.size());
  }
  parts.emplace_back(s.substr(ByteAt(at, from)));
  return parts;
}

std::string Join(const std::vector<std::string>& parts, std::string_view delimiter) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out.append(delimiter);
    out.append(parts[i]);
  }
  return out;
}

std::string LTrim(std::string_view s) {
  std::size_t b = s.find_first_not_of(' ');
  return b == std::string_view::npos ? std::string() : std::string(s.substr(b));
}

std::string RTrim(std::string_view s) {
  std::size_t e = s.find_last_not_of(' ');
  return e == std::string_view::npos ? std::string() : std::string(s.substr(0, e + 1));
}

std::string Trim(std::string_view s) { return LTrim(RTrim(s)); }

std::string String(long count, char c) {
  if (count < 0) InvalidCall();
  return std::string(static_cast<std::size_t>(count), c);
}

// The value is a Long, as in the original: negatives show their 32-bit two's
// complement ("FFFFFFFF" for -1) and anything wider overflows.
std::string Hex(long value, int width) {
  if (width < 0) InvalidCall();
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
    Raise(err::kOverflow);
  }
  auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  do {
    out.insert(out.begin(), kDigits[bits & 0xF]);
    bits >>= 4;
  } while (bits != 0);
  if (out.size() < static_cast<std::size_t>(width)) out.insert(0, static_cast<std::size_t>(width) - out.size(), '0');
  return out;
}

}  // namespace runtime
