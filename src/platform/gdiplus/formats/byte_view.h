#pragma once
// A read-only view of a picture file's bytes that refuses, rather than
// performs, every read past its end. Header readers use nothing else to
// look at the data, so a truncated or lying header ends in RejectPicture()
// and never in a stray read.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace platform::gdiplus {

// The picture cannot be loaded: error 1051 with "GDI+ Error 13".
[[noreturn]] void RejectPicture();

class ByteView {
 public:
  ByteView() = default;
  explicit ByteView(std::span<const std::uint8_t> data) : data_(data) {}

  std::uint64_t size() const noexcept { return data_.size(); }
  std::span<const std::uint8_t> span() const noexcept { return data_; }

  // True when [offset, offset + length) lies inside the view.
  bool Has(std::uint64_t offset, std::uint64_t length) const noexcept {
    return offset <= data_.size() && length <= data_.size() - offset;
  }
  // The same bytes without a throw, for sniffing.
  bool StartsWith(std::uint64_t offset, std::string_view magic) const noexcept {
    if (!Has(offset, magic.size())) return false;
    for (std::size_t i = 0; i < magic.size(); ++i) {
      if (data_[offset + i] != static_cast<std::uint8_t>(magic[i])) return false;
    }
    return true;
  }

  ByteView Slice(std::uint64_t offset, std::uint64_t length) const {
    Need(offset, length);
    return ByteView(data_.subspan(offset, length));
  }

  std::uint8_t U8(std::uint64_t at) const {
    Need(at, 1);
    return data_[at];
  }
  std::uint16_t U16le(std::uint64_t at) const {
    Need(at, 2);
    return static_cast<std::uint16_t>(data_[at] | (data_[at + 1] << 8));
  }
  std::uint16_t U16be(std::uint64_t at) const {
    Need(at, 2);
    return static_cast<std::uint16_t>((data_[at] << 8) | data_[at + 1]);
  }
  std::uint32_t U32le(std::uint64_t at) const {
    Need(at, 4);
    return static_cast<std::uint32_t>(data_[at]) | (static_cast<std::uint32_t>(data_[at + 1]) << 8) |
           (static_cast<std::uint32_t>(data_[at + 2]) << 16) | (static_cast<std::uint32_t>(data_[at + 3]) << 24);
  }
  std::uint32_t U32be(std::uint64_t at) const {
    Need(at, 4);
    return (static_cast<std::uint32_t>(data_[at]) << 24) | (static_cast<std::uint32_t>(data_[at + 1]) << 16) |
           (static_cast<std::uint32_t>(data_[at + 2]) << 8) | static_cast<std::uint32_t>(data_[at + 3]);
  }
  std::int16_t I16le(std::uint64_t at) const { return static_cast<std::int16_t>(U16le(at)); }
  std::int32_t I32le(std::uint64_t at) const { return static_cast<std::int32_t>(U32le(at)); }

 private:
  void Need(std::uint64_t offset, std::uint64_t length) const {
    if (!Has(offset, length)) RejectPicture();
  }

  std::span<const std::uint8_t> data_;
};

}  // namespace platform::gdiplus
