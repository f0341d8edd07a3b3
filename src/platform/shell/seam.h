#pragma once
// What every shell stand-in member offers tests: a log of the calls it was
// asked to make, and faults armed by member name so that a test can make any
// member raise a given error number and description.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/seam_record.h"
namespace platform::shell {

class Faults {
 public:
  // Makes the next `times` calls of `member` raise (number, description);
  // times < 0 keeps raising until cleared. An empty description takes the
  // runtime's text for the number.
  void Arm(std::string member, long number, std::string description = {}, int times = -1);
  void Clear(std::string_view member);
  void ClearAll() { armed_.clear(); }

  // Called first by every member: raises runtime::Error when armed.
  void Check(std::string_view member);

 private:
  struct Fault {
    long number = 0;
    std::string description;
    int remaining = -1;
  };
  std::map<std::string, Fault, std::less<>> armed_;
};

// Calls in the order they were made, written like a call: "ShowWindow(7, 9)".
class CallLog {
 public:
  void Record(std::string call) { calls_.Add(std::move(call)); }
  const std::vector<std::string>& Calls() const { return calls_.Entries(); }
  // The calls of one member only, in order.
  std::vector<std::string> CallsOf(std::string_view member) const;
  void Clear() { calls_.Clear(); }

 private:
  platform::SeamRecord<std::string> calls_;
};

// "Name(a, b)": numbers in decimal, texts in double quotes.
namespace detail {
inline void AppendArg(std::string& out, long v) { out += std::to_string(v); }
inline void AppendArg(std::string& out, std::string_view v) {
  out += '"';
  out += v;
  out += '"';
}
}  // namespace detail

template <class... Args>
std::string FormatCall(std::string_view member, const Args&... args) {
  std::string out(member);
  out += '(';
  bool first = true;
  ((out += first ? "" : ", ", first = false, detail::AppendArg(out, args)), ...);
  out += ')';
  return out;
}

// The two together, shared by every part of one shell.
struct Seam {
  Faults faults;
  CallLog log;

  // Logs the call, then raises if a fault is armed for the member.
  void Enter(std::string_view member, std::string call) {
    log.Record(std::move(call));
    faults.Check(member);
  }
};

}  // namespace platform::shell
