#include "platform/gdiplus/status.h"

#include "runtime/error.h"

namespace platform::gdiplus {

std::string StatusText(Status status) { return "GDI+ Error " + std::to_string(static_cast<int>(status)); }

void RaiseStatus(long number, Status status) { runtime::Raise(number, StatusText(status)); }

}  // namespace platform::gdiplus
