#include "host/common.h"

#include <algorithm>
#include <cctype>

namespace host {

void Faults::FailNext(std::string member, long number, std::string description, int times, int after) {
  if (times == 0) return;
  armed_.push_back(Armed{std::move(member), number, std::move(description), times, after});
}

void Faults::ReturnNothing(std::string member, bool nothing) {
  std::erase(nothing_, member);
  if (nothing) nothing_.push_back(std::move(member));
}

void Faults::Clear() {
  armed_.clear();
  nothing_.clear();
}

void Faults::Check(std::string_view member) {
  for (auto it = armed_.begin(); it != armed_.end(); ++it) {
    if (it->member != member) continue;
    if (it->after > 0) {
      --it->after;
      return;
    }
    const long number = it->number;
    std::string description = it->description;
    if (it->times > 0 && --it->times == 0) armed_.erase(it);
    runtime::Raise(number, std::move(description));
  }
}

bool Faults::IsNothing(std::string_view member) const {
  return std::find(nothing_.begin(), nothing_.end(), member) != nothing_.end();
}

long Context::Major() const {
  long n = 0;
  for (char c : version_) {
    if (!std::isdigit(static_cast<unsigned char>(c))) break;
    n = n * 10 + (c - '0');
    if (n > 100000) break;
  }
  return n;
}

void Context::Require(long since) const {
  if (Major() < since) runtime::Raise(runtime::err::kMemberNotSupported);
}

void Context::RecordEscaped(std::string event, const runtime::Error& e) {
  escaped_.push_back(EscapedError{std::move(event), e.Number(), e.Description()});
}

void RaiseDeleted() { runtime::Raise(err::kObjectDeleted, std::string(text::kObjectDeleted)); }

}  // namespace host
