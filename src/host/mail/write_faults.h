#pragma once
// The seam for writes: a test makes one step of every following file write
// of a store fail with a number and a description, to prove that a failed
// write leaves the old file as it was.

#include <optional>
#include <string>
#include <utility>

namespace host::mail {

enum class WriteStep { CreateTemp, Write, Sync, Rename };

class WriteFaults {
 public:
  void FailAt(WriteStep step, long number, std::string description) {
    step_ = step;
    number_ = number;
    description_ = std::move(description);
  }
  void Clear() { step_.reset(); }
  // Raises the planned error when `step` is the one planned to fail.
  void Check(WriteStep step) const;

 private:
  std::optional<WriteStep> step_;
  long number_ = 0;
  std::string description_;
};

}  // namespace host::mail
