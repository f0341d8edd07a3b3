#include "platform/shell/seam.h"

#include "runtime/error.h"

namespace platform::shell {

void Faults::Arm(std::string member, long number, std::string description, int times) {
  if (description.empty()) description = runtime::DefaultDescription(number);
  armed_[std::move(member)] = Fault{number, std::move(description), times};
}

void Faults::Clear(std::string_view member) {
  auto it = armed_.find(member);
  if (it != armed_.end()) armed_.erase(it);
}

void Faults::Check(std::string_view member) {
  auto it = armed_.find(member);
  if (it == armed_.end()) return;
  const Fault fault = it->second;
  if (fault.remaining > 0 && --it->second.remaining == 0) armed_.erase(it);
  throw runtime::Error(fault.number, fault.description);
}

std::vector<std::string> CallLog::CallsOf(std::string_view member) const {
  std::vector<std::string> out;
  for (const auto& call : calls_.Entries()) {
    if (call.size() > member.size() && call.compare(0, member.size(), member) == 0 && call[member.size()] == '(') {
      out.push_back(call);
    }
  }
  return out;
}

}  // namespace platform::shell
