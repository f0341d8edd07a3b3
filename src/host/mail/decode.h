#pragma once
// Internal to the store: the transfer decoding of attachment content, in one
// pass from the message bytes in memory. Base64 (nearly every picture) has a
// decoder of its own; it gives exactly what GMime's decoder gives for any
// input, line breaks, junk and padding included, and leaves the rare cases
// (padding, the end after it) to GMime itself.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace host::mail::detail {

class Base64Decoder {
 public:
  // Room `Step` needs in `out` for `in_size` input bytes.
  static constexpr std::size_t MaxOutput(std::size_t in_size) { return in_size / 4 * 3 + 6; }

  // Decodes the next piece of the content into `out`; answers the bytes
  // written. Pieces may be cut anywhere.
  std::size_t Step(std::string_view in, unsigned char* out);
  // All of a content at once.
  static std::string Whole(std::string_view in);

 private:
  int pending_ = 0;         // characters of an unfinished group of four
  std::uint32_t bits_ = 0;  // their six-bit values, the first highest
  // Once padding is met GMime decodes the rest: its own state from then on.
  bool handed_over_ = false;
  int gmime_state_ = 0;
  std::uint32_t gmime_save_ = 0;
};

}  // namespace host::mail::detail
