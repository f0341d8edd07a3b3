#pragma once
// The number and the description of the runtime::Error a statement raises,
// checked together: an error is pinned by both, never by its number alone.
//
//   EXPECT_EQ(Raised([&] { c.Item(0); }), kSubscriptOutOfRange);
//   EXPECT_EQ(Raised([&] { Open(bad); }), (Outcome{53, "File not found"}));

#include <ostream>
#include <string>
#include <utility>

#include "runtime/error.h"

namespace testsupport {

struct Outcome {
  long number = 0;
  std::string description;
  friend bool operator==(const Outcome&, const Outcome&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    return os << o.number << " (" << o.description << ")";
  }
};

inline const Outcome kNoError{0, ""};
inline const Outcome kInvalidCall{5, "Invalid procedure call or argument"};
inline const Outcome kOverflow{6, "Overflow"};
inline const Outcome kSubscriptOutOfRange{9, "Subscript out of range"};
inline const Outcome kTypeMismatch{13, "Type mismatch"};
inline const Outcome kFileNotFound{53, "File not found"};
inline const Outcome kFileAlreadyExists{58, "File already exists"};
inline const Outcome kPermissionDenied{70, "Permission denied"};
inline const Outcome kPathFileAccessError{75, "Path/File access error"};
inline const Outcome kPathNotFound{76, "Path not found"};
inline const Outcome kObjectNotSet{91, "Object variable or With block variable not set"};
inline const Outcome kObjectRequired{424, "Object required"};
inline const Outcome kCannotCreateObject{429, "ActiveX component can't create object"};
inline const Outcome kMemberNotSupported{438, "Object doesn't support this property or method"};
inline const Outcome kDuplicateKey{457, "This key is already associated with an element of this collection"};

// kNoError when the statement raises nothing; anything other than a
// runtime::Error escapes, so the test fails loudly.
template <class F>
Outcome Raised(F&& statement) {
  try {
    std::forward<F>(statement)();
  } catch (const runtime::Error& e) {
    return {e.Number(), e.Description()};
  }
  return kNoError;
}

}  // namespace testsupport
