#pragma once
// Errors as the original runtime had them: a number and a description.
// Every stand-in and every runtime helper raises `runtime::Error`; procedures
// decide per statement whether to skip it, show the common error box, or let
// it reach their caller (see handlers.h).

#include <stdexcept>
#include <string>
#include <string_view>

namespace runtime {

// Error numbers the runtime itself raises.
namespace err {
inline constexpr long kInvalidProcedureCall = 5;
inline constexpr long kOverflow = 6;
inline constexpr long kOutOfMemory = 7;
inline constexpr long kSubscriptOutOfRange = 9;
inline constexpr long kTypeMismatch = 13;
inline constexpr long kInternalError = 51;
inline constexpr long kBadFileNameOrNumber = 52;
inline constexpr long kFileNotFound = 53;
inline constexpr long kFileAlreadyExists = 58;
inline constexpr long kPermissionDenied = 70;
inline constexpr long kPathFileAccessError = 75;
inline constexpr long kPathNotFound = 76;
inline constexpr long kObjectVariableNotSet = 91;
inline constexpr long kObjectRequired = 424;
inline constexpr long kCannotCreateObject = 429;
inline constexpr long kMemberNotSupported = 438;
inline constexpr long kDuplicateKey = 457;
}  // namespace err

// The runtime's own text for a number ("Overflow" for 6); "Application-defined
// or object-defined error" for a number it does not know.
std::string DefaultDescription(long number);

class Error : public std::runtime_error {
 public:
  explicit Error(long number);
  Error(long number, std::string description, std::string source = {});

  long Number() const noexcept { return number_; }
  const std::string& Description() const noexcept { return description_; }
  const std::string& Source() const noexcept { return source_; }

 private:
  long number_;
  std::string description_;
  std::string source_;
};

// Err.Raise: with an empty description the runtime's own text is used.
[[noreturn]] void Raise(long number, std::string description = {}, std::string source = {});

// The global Err object of one procedure: number 0 means no error.
struct ErrObject {
  long Number = 0;
  std::string Description;
  std::string Source;

  void Clear() { *this = ErrObject{}; }
  void Set(const Error& e) {
    Number = e.Number();
    Description = e.Description();
    Source = e.Source();
  }
  explicit operator bool() const noexcept { return Number != 0; }
};

// Turns whatever a statement threw into an Error: runtime::Error as it is,
// std::bad_alloc as 7, any other std::exception as 51 with its text.
Error ToError(std::exception_ptr ex);

// Where a handler sits, for the text of the common error box:
// "Error 5 (Invalid procedure call or argument) in procedure Update of Class Module RegSettings".
enum class ModuleKind { Form, ClassModule, Module, UserControl };
std::string_view ModuleKindName(ModuleKind kind);

struct ErrorSite {
  std::string procedure;
  ModuleKind kind = ModuleKind::Module;
  std::string object;
};

std::string CommonErrorText(const Error& e, const ErrorSite& site);
std::string CommonErrorText(const ErrObject& e, const ErrorSite& site);

}  // namespace runtime
