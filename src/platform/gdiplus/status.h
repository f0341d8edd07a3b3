#pragma once
// How the picture loader reports failure: a runtime::Error whose number says
// what went wrong for the caller, and whose description names the library's
// status, "GDI+ Error 19" for a property the picture lacks.

#include <string>

namespace platform::gdiplus {

// The picture cannot be loaded (missing, unreadable, not a picture, a lying
// header, or no session running).
inline constexpr long kErrCannotLoad = 1051;
// Any other call that fails, among them the lookup of a missing property.
inline constexpr long kErrCallFailed = 1050;

enum class Status : int {
  InvalidParameter = 2,
  OutOfMemory = 3,
  WrongState = 8,  // the image holds no picture (never loaded, or disposed)
  FileNotFound = 10,
  UnknownImageFormat = 13,
  NotInitialized = 18,  // no session is running
  PropertyNotFound = 19,
};

// "GDI+ Error <status>".
std::string StatusText(Status status);

[[noreturn]] void RaiseStatus(long number, Status status);

}  // namespace platform::gdiplus
