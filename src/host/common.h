#pragma once
// What every object of the stand-in mail client shares: the host's error
// numbers and texts, the per-object fault seam, events whose escaping
// failures the host catches, and the context of one running host (its
// version text, the failures that escaped add-in handlers, the log of the
// calls that change something).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/error.h"
#include "runtime/event.h"

namespace host {

// Error numbers of the mail client and its component runtime (HRESULTs as
// the late-bound caller saw them).
namespace err {
inline constexpr long kObjectDeleted = -2147221238;  // 0x8004010A: the object was closed or deleted
inline constexpr long kNotFound = -2147221233;       // 0x8004010F: no such entry
inline constexpr long kUnexpected = -2147418113;     // 0x8000FFFF
inline constexpr long kFail = -2147467259;           // 0x80004005
inline constexpr long kAccessDenied = -2147024891;   // 0x80070005
inline constexpr long kPathNotFound = -2147024893;   // 0x80070003
inline constexpr long kFileNotFound = -2147024894;   // 0x80070002
inline constexpr long kNotLoggedOn = -2147221231;    // 0x80040111
}  // namespace err

// Texts of the host's own errors; the add-in matches some of them.
namespace text {
inline constexpr std::string_view kObjectDeleted = "The item has been moved or deleted.";
inline constexpr std::string_view kUnableToDisplayItem = "Unable to display item.";
inline constexpr std::string_view kUnableToSetWindowState =
    "Unable to set the WindowState of this Explorer or Inspector.";
inline constexpr std::string_view kSaveNoPermission =
    "Cannot save the attachment. You don't have appropriate permission to perform this operation.";
inline constexpr std::string_view kSavePathNotFound =
    "Cannot save the attachment. Path does not exist. Verify the path is correct.";
inline constexpr std::string_view kSaveFailed = "Cannot save the attachment.";
inline constexpr std::string_view kNotDownloaded =
    "Cannot save the attachment. Only the header of this item has been downloaded.";
inline constexpr std::string_view kAddFileNotFound =
    "Cannot find this file. Verify the path and file name are correct.";
}  // namespace text

// Fault injection on one object. Members are named as the object model
// names them; a property's getter is "Name", its setter "Name=".
class Faults {
 public:
  // The next `times` calls fail (times < 0: every call until cleared), once
  // `after` calls have passed.
  void FailNext(std::string member, long number, std::string description = {}, int times = 1, int after = 0);
  void FailAlways(std::string member, long number, std::string description = {}) {
    FailNext(std::move(member), number, std::move(description), -1);
  }
  // A getter that returns an object gives Nothing instead.
  void ReturnNothing(std::string member, bool nothing = true);
  void Clear();

  // Called by the object at the start of the member: raises when armed.
  void Check(std::string_view member);
  bool IsNothing(std::string_view member) const;

 private:
  struct Armed {
    std::string member;
    long number;
    std::string description;
    int times;
    int after;
  };
  std::vector<Armed> armed_;
  std::vector<std::string> nothing_;
};

// A failure that left an add-in's event handler and came back to the host.
struct EscapedError {
  std::string event;  // "Explorer.Close", "MailItem.AttachmentAdd", ...
  long number = 0;
  std::string description;
};

// A call that changed something, for tests to observe ("Save", "SaveAsFile",
// "Remove", "Delete", "Add", "Send") with what it acted on.
struct HostCall {
  std::string member;
  std::string detail;
};

class Context {
 public:
  explicit Context(std::string version = "11.0.0.8217") : version_(std::move(version)) {}

  const std::string& Version() const { return version_; }
  void Version(std::string v) { version_ = std::move(v); }
  // The leading number of the version text ("9.0.0.2711" -> 9; none -> 0).
  long Major() const;
  // A member that the object library of an older host lacks: on a host whose
  // major version is below `since` the late-bound call raises 438.
  void Require(long since) const;

  void RecordEscaped(std::string event, const runtime::Error& e);
  const std::vector<EscapedError>& Escaped() const { return escaped_; }
  void ClearEscaped() { escaped_.clear(); }

  void Record(std::string member, std::string detail) { calls_.push_back({std::move(member), std::move(detail)}); }
  const std::vector<HostCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

 private:
  std::string version_;
  std::vector<EscapedError> escaped_;
  std::vector<HostCall> calls_;
};

// An event of a host object. Each sink runs inside the host's own guard: a
// failure that leaves a handler comes back to the host, which records it and
// goes on with the next sink; it never reaches the code that made the host
// raise the event.
template <class... Args>
class HostEvent {
 public:
  using Handler = std::function<void(Args...)>;

  HostEvent(std::string name, std::weak_ptr<Context> context) : name_(std::move(name)), context_(std::move(context)) {}
  HostEvent(const HostEvent&) = delete;
  HostEvent& operator=(const HostEvent&) = delete;

  // As runtime::Event::Subscribe: `keepAlive` is held while its handler runs.
  [[nodiscard]] runtime::Subscription Subscribe(Handler handler, std::weak_ptr<const void> keepAlive = {}) {
    return event_.Subscribe(
        [handler = std::move(handler), name = name_, context = context_](Args... args) {
          try {
            handler(args...);
          } catch (...) {
            if (auto c = context.lock()) c->RecordEscaped(name, runtime::ToError(std::current_exception()));
          }
        },
        std::move(keepAlive));
  }

  void Raise(Args... args) { event_.Raise(args...); }
  std::size_t SinkCount() const { return event_.SinkCount(); }
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  std::weak_ptr<Context> context_;
  runtime::Event<Args...> event_;
};

// Collections are handed out as shared objects; these let a loop walk one
// straight from the member that returns it, which keeps it alive meanwhile:
//   for (auto a : item->Attachments()) ...
template <class C>
auto begin(const std::shared_ptr<C>& c) -> decltype(c->begin()) {
  return c->begin();
}
template <class C>
auto end(const std::shared_ptr<C>& c) -> decltype(c->end()) {
  return c->end();
}

// Raises the host's "object deleted" error for a closed window, a removed
// attachment, a deleted command bar or a host that has shut down.
[[noreturn]] void RaiseDeleted();

}  // namespace host
