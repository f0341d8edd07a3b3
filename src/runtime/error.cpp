#include "runtime/error.h"

#include <new>

namespace runtime {

std::string DefaultDescription(long number) {
  switch (number) {
    case 3: return "Return without GoSub";
    case 5: return "Invalid procedure call or argument";
    case 6: return "Overflow";
    case 7: return "Out of memory";
    case 9: return "Subscript out of range";
    case 11: return "Division by zero";
    case 13: return "Type mismatch";
    case 51: return "Internal error";
    case 52: return "Bad file name or number";
    case 53: return "File not found";
    case 57: return "Device I/O error";
    case 58: return "File already exists";
    case 61: return "Disk full";
    case 62: return "Input past end of file";
    case 67: return "Too many files";
    case 68: return "Device unavailable";
    case 70: return "Permission denied";
    case 71: return "Disk not ready";
    case 75: return "Path/File access error";
    case 76: return "Path not found";
    case 91: return "Object variable or With block variable not set";
    case 424: return "Object required";
    case 429: return "ActiveX component can't create object";
    case 438: return "Object doesn't support this property or method";
    case 457: return "This key is already associated with an element of this collection";
    default: return "Application-defined or object-defined error";
  }
}

Error::Error(long number) : Error(number, DefaultDescription(number)) {}

Error::Error(long number, std::string description, std::string source)
    : std::runtime_error(description),
      number_(number),
      description_(std::move(description)),
      source_(std::move(source)) {}

void Raise(long number, std::string description, std::string source) {
  if (description.empty()) description = DefaultDescription(number);
  throw Error(number, std::move(description), std::move(source));
}

Error ToError(std::exception_ptr ex) {
  try {
    std::rethrow_exception(ex);
  } catch (const Error& e) {
    return e;
  } catch (const std::bad_alloc&) {
    return Error(err::kOutOfMemory);
  } catch (const std::exception& e) {
    return Error(err::kInternalError, e.what());
  } catch (...) {
    return Error(err::kInternalError);
  }
}

std::string_view ModuleKindName(ModuleKind kind) {
  switch (kind) {
    case ModuleKind::Form: return "Form";
    case ModuleKind::ClassModule: return "Class Module";
    case ModuleKind::Module: return "Module";
    case ModuleKind::UserControl: return "User Control";
  }
  return "Module";
}

std::string CommonErrorText(const ErrObject& e, const ErrorSite& site) {
  std::string text =
      "Error " + std::to_string(e.Number) + " (" + e.Description + ") in procedure " + site.procedure + " of ";
  text += ModuleKindName(site.kind);
  text += " " + site.object;
  return text;
}

std::string CommonErrorText(const Error& e, const ErrorSite& site) {
  ErrObject o;
  o.Set(e);
  return CommonErrorText(o, site);
}

}  // namespace runtime
