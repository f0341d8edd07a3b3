#include "host/mail/decode.h"

#include <gmime/gmime.h>

#include <array>

namespace host::mail::detail {

namespace {

constexpr std::uint32_t kBad = 0x01000000;  // above any 24-bit group

constexpr int Rank(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// One table per position in a group of four, each value already shifted to
// its place, so a group is four loads and three ORs; anything that is not
// a base64 digit ('=' too) sets kBad.
struct Tables {
  std::array<std::array<std::uint32_t, 256>, 4> at{};
  std::array<std::int8_t, 256> rank{};
  constexpr Tables() {
    for (int c = 0; c < 256; ++c) {
      const int r = Rank(static_cast<unsigned char>(c));
      rank[c] = static_cast<std::int8_t>(r);
      for (int k = 0; k < 4; ++k) at[k][c] = r < 0 ? kBad : static_cast<std::uint32_t>(r) << (18 - 6 * k);
    }
  }
};
constexpr Tables kTables;

}  // namespace

std::size_t Base64Decoder::Step(std::string_view in, unsigned char* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  const unsigned char* const end = p + in.size();
  unsigned char* o = out;
  if (handed_over_) return g_mime_encoding_base64_decode_step(p, in.size(), out, &gmime_state_, &gmime_save_);
  const auto& t = kTables.at;
  for (;;) {
    if (pending_ == 0) {
      // The common case: whole groups on a line, the line break between them.
      while (end - p >= 4) {
        const std::uint32_t group = t[0][p[0]] | t[1][p[1]] | t[2][p[2]] | t[3][p[3]];
        if (group & kBad) break;
        o[0] = static_cast<unsigned char>(group >> 16);
        o[1] = static_cast<unsigned char>(group >> 8);
        o[2] = static_cast<unsigned char>(group);
        o += 3;
        p += 4;
      }
    }
    if (p == end) break;
    // One character at a time: a group cut by a line break or by the end of
    // the piece, a character GMime skips, or padding.
    const unsigned char c = *p;
    const int r = kTables.rank[c];
    if (r >= 0) {
      bits_ = (bits_ << 6) | static_cast<std::uint32_t>(r);
      if (++pending_ == 4) {
        o[0] = static_cast<unsigned char>(bits_ >> 16);
        o[1] = static_cast<unsigned char>(bits_ >> 8);
        o[2] = static_cast<unsigned char>(bits_);
        o += 3;
        pending_ = 0;
        bits_ = 0;
      }
      ++p;
    } else if (c == '=') {
      // GMime's state between groups is the count and the bits of the
      // unfinished group; from here on it decides what is left.
      handed_over_ = true;
      gmime_state_ = pending_;
      gmime_save_ = bits_;
      o += g_mime_encoding_base64_decode_step(p, static_cast<std::size_t>(end - p), o, &gmime_state_, &gmime_save_);
      break;
    } else {
      ++p;  // line breaks, blanks and junk carry nothing
    }
  }
  return static_cast<std::size_t>(o - out);
}

}  // namespace host::mail::detail
