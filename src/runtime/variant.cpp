#include "runtime/variant.h"

#include "runtime/error.h"

namespace runtime {

namespace {
template <class T, class V>
auto& Get(V& v) {
  auto* p = std::get_if<T>(&v);
  if (p == nullptr) Raise(err::kTypeMismatch);
  return *p;
}
}  // namespace

bool Variant::AsBoolean() const { return Get<bool>(value_); }
std::int32_t Variant::AsLong() const { return Get<std::int32_t>(value_); }
double Variant::AsDouble() const { return Get<double>(value_); }
const std::string& Variant::AsString() const { return Get<std::string>(value_); }
const ByteArray& Variant::AsBytes() const { return Get<ByteArray>(value_); }
const VariantArray& Variant::AsArray() const { return Get<VariantArray>(value_); }
VariantArray& Variant::AsArray() { return Get<VariantArray>(value_); }

}  // namespace runtime
