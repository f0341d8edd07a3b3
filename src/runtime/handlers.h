#pragma once
// The three ways a procedure treats an error, as the documents name them:
//
//  * no handler: let runtime::Error reach the caller (plain C++);
//  * resume next, statement by statement: wrap each statement in a
//    ResumeNext call; a failing statement is skipped and the error is kept
//    in Err() until cleared, so the procedure can test it afterwards;
//  * a handler that reports and resumes at the next statement: OnError,
//    built with what to do with the error (usually the common error box).
//
//   runtime::ResumeNext rn;
//   rn([&] { key = Open(...); });
//   if (rn.Err()) return result;

#include <functional>
#include <utility>

#include "runtime/error.h"

namespace runtime {

// Runs a statement; on error it is skipped and `fallback` is returned.
template <class T, class F>
T ValueOr(F&& expression, T fallback) {
  try {
    return std::forward<F>(expression)();
  } catch (...) {
    return fallback;
  }
}

class OnError {
 public:
  using Report = std::function<void(const Error&)>;
  explicit OnError(Report report) : report_(std::move(report)) {}

  // Runs one statement; on error reports it and returns false so that the
  // caller carries on with the next statement.
  template <class F>
  bool operator()(F&& statement) {
    try {
      std::forward<F>(statement)();
      return true;
    } catch (...) {
      const Error e = ToError(std::current_exception());
      err_.Set(e);
      if (report_) report_(e);
      return false;
    }
  }

  ErrObject& Err() noexcept { return err_; }
  const ErrObject& Err() const noexcept { return err_; }

 private:
  Report report_;
  ErrObject err_;
};

// Resume next is a handler that reports to nobody: a failing statement is
// skipped and its error kept in Err().
class ResumeNext : public OnError {
 public:
  ResumeNext() : OnError(nullptr) {}
};

}  // namespace runtime
