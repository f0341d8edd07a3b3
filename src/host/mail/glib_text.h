#pragma once
// Internal to the store: ownership of a text or buffer that glib allocated.

#include <glib.h>

#include <memory>

namespace host::mail::detail {

struct GFree {
  void operator()(void* p) const { g_free(p); }
};
using GText = std::unique_ptr<char, GFree>;

}  // namespace host::mail::detail
