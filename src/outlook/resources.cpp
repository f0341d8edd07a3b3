#include "outlook/resources.h"

#include "host/office.h"
#include "platform/path.h"
#include "runtime/error.h"
#include "settings/addin_state.h"

namespace lumivane {

namespace {
constexpr long kResourceNotFound = 326;
}  // namespace

std::shared_ptr<const host::Picture> LoadResPicture(long id) {
  const std::string name = std::to_string(id);
  try {
    return host::Picture::FromFile(platform::JoinPath(ResourceFolder(), name + ".bmp"));
  } catch (const runtime::Error& e) {
    if (e.Number() != runtime::err::kFileNotFound) throw;
    runtime::Raise(kResourceNotFound, "Resource with identifier '" + name + "' not found");
  }
}

}  // namespace lumivane
