#pragma once
// The few places the documents use a Variant: registry data (empty, text,
// 32-bit number, byte array, the two-element name/data pairs of a value
// listing), optional arguments with a "missing" test, and Boolean options.
// Conversions with the runtime's rules live in convert.h.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace runtime {

class Variant;
using ByteArray = std::vector<std::uint8_t>;
using VariantArray = std::vector<Variant>;

class Variant {
 public:
  enum class Kind { Empty, Boolean, Long, Double, String, Bytes, Array };

  Variant() = default;
  Variant(bool v) : value_(v) {}                           // NOLINT(google-explicit-constructor)
  Variant(std::int32_t v) : value_(v) {}                   // NOLINT(google-explicit-constructor)
  Variant(double v) : value_(v) {}                         // NOLINT(google-explicit-constructor)
  Variant(std::string v) : value_(std::move(v)) {}         // NOLINT(google-explicit-constructor)
  Variant(std::string_view v) : value_(std::string(v)) {}  // NOLINT(google-explicit-constructor)
  Variant(const char* v) : value_(std::string(v)) {}       // NOLINT(google-explicit-constructor)
  Variant(ByteArray v) : value_(std::move(v)) {}           // NOLINT(google-explicit-constructor)
  Variant(VariantArray v) : value_(std::move(v)) {}        // NOLINT(google-explicit-constructor)

  Kind kind() const noexcept { return static_cast<Kind>(value_.index()); }
  bool IsEmpty() const noexcept { return kind() == Kind::Empty; }
  bool IsArray() const noexcept { return kind() == Kind::Array || kind() == Kind::Bytes; }

  // Direct access; the caller has checked kind(). Mismatches raise error 13.
  bool AsBoolean() const;
  std::int32_t AsLong() const;
  double AsDouble() const;
  const std::string& AsString() const;
  const ByteArray& AsBytes() const;
  const VariantArray& AsArray() const;
  VariantArray& AsArray();

  bool operator==(const Variant& other) const { return value_ == other.value_; }

 private:
  std::variant<std::monostate, bool, std::int32_t, double, std::string, ByteArray, VariantArray> value_;
};

// An optional argument that may be missing (IsMissing in the original).
template <class T>
struct Optional {
  Optional() = default;
  Optional(T v) : value(std::move(v)), present(true) {}  // NOLINT(google-explicit-constructor)
  T value{};
  bool present = false;
  bool IsMissing() const noexcept { return !present; }
};

}  // namespace runtime
