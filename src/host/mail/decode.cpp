#include "host/mail/decode.h"

#include <gmime/gmime.h>

#include <array>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace host::mail::detail {

namespace {

#if defined(__x86_64__)
// 32 base64 digits into 24 bytes at once, where the processor has AVX2;
// false, with nothing written, when any of the 32 is not a digit (a line
// break, padding, junk), which the careful path then takes. The digits are
// checked by their two halves through two tables and mapped to their values
// by the high half (a lookup of what to add), then packed four into three.
__attribute__((target("avx2"))) bool Decode32(const unsigned char* in, unsigned char* out) {
  const __m256i text = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
  const __m256i low_bits =
      _mm256_setr_epi8(0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A,
                       0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A);
  const __m256i high_bits =
      _mm256_setr_epi8(0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10,
                       0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10);
  const __m256i shift = _mm256_setr_epi8(0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 19, 4, -65,
                                         -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0);
  const __m256i slash = _mm256_set1_epi8(0x2F);
  // The mask keeps each byte's nibble; bit 5 (from the next byte) is ignored by the lookups.
  const __m256i high = _mm256_and_si256(_mm256_srli_epi32(text, 4), slash);
  const __m256i low = _mm256_and_si256(text, slash);
  if (!_mm256_testz_si256(_mm256_shuffle_epi8(low_bits, low), _mm256_shuffle_epi8(high_bits, high))) return false;
  const __m256i roll = _mm256_shuffle_epi8(shift, _mm256_add_epi8(_mm256_cmpeq_epi8(text, slash), high));
  __m256i v = _mm256_add_epi8(text, roll);                     // six-bit values
  v = _mm256_maddubs_epi16(v, _mm256_set1_epi32(0x01400140));  // pairs into 12 bits
  v = _mm256_madd_epi16(v, _mm256_set1_epi32(0x00011000));     // groups into 24 bits
  v = _mm256_shuffle_epi8(v, _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1, 2, 1, 0, 6, 5, 4,
                                              10, 9, 8, 14, 13, 12, -1, -1, -1, -1));
  v = _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
  // Exactly 24 bytes: the output has no room to spare.
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(v));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(v, 1));
  return true;
}

bool HaveAvx2() {
  static const bool have = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return have;
}
#else
bool Decode32(const unsigned char*, unsigned char*) { return false; }
bool HaveAvx2() { return false; }
#endif

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

std::string Base64Decoder::Whole(std::string_view in) {
  std::string bytes(MaxOutput(in.size()), '\0');
  Base64Decoder decoder;
  bytes.resize(decoder.Step(in, reinterpret_cast<unsigned char*>(bytes.data())));
  return bytes;
}

std::size_t Base64Decoder::Step(std::string_view in, unsigned char* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  const unsigned char* const end = p + in.size();
  unsigned char* o = out;
  if (handed_over_) return g_mime_encoding_base64_decode_step(p, in.size(), out, &gmime_state_, &gmime_save_);
  const auto& t = kTables.at;
  const bool wide = HaveAvx2();
  for (;;) {
    if (pending_ == 0) {
      // The common case: whole groups on a line, the line break between them.
      while (wide && end - p >= 32 && Decode32(p, o)) {
        o += 24;
        p += 32;
      }
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
