#include "outlook/mod_outl_expl.h"

#include "outlook/expl_wrap.h"
#include "outlook/insp_wrap.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"

namespace lumivane::modOutlExpl {

using runtime::Ref;

std::shared_ptr<ExplWrapCollection> g_colExplWraps;
std::shared_ptr<InspWrapCollection> g_colInspWraps;
bool g_blnNewExplorer = false;
bool g_InspectorActivatedOnce = false;
std::int16_t g_intExplKey = 0;
std::int16_t g_intInspKey = 0;

ExplWrapCollection& ExplWraps() {
  if (!g_colExplWraps) g_colExplWraps = std::make_shared<ExplWrapCollection>();
  return *g_colExplWraps;
}

InspWrapCollection& InspWraps() {
  if (!g_colInspWraps) g_colInspWraps = std::make_shared<InspWrapCollection>();
  return *g_colInspWraps;
}

namespace {

std::string KeyText(std::int16_t key) { return runtime::CStr(static_cast<long>(key)); }

// Removes the entry under the key when it holds this very object.
template <class Wrappers, class Wrapper>
void RemoveIfSame(Wrappers& wrappers, std::int16_t key, const std::shared_ptr<Wrapper>& wrapper) {
  runtime::ResumeNext rn;
  std::shared_ptr<Wrapper> found;
  if (!rn([&] { found = wrappers.Item(KeyText(key)); })) return;
  if (found && found == wrapper) rn([&] { wrappers.Remove(KeyText(key)); });
}

}  // namespace

void AddExplorerWrapper(const std::shared_ptr<host::Explorer>& objExpl) {
  runtime::ResumeNext rn;
  std::shared_ptr<ExplWrap> wrapper;
  rn([&] { wrapper = std::make_shared<ExplWrap>(); });
  // Attaching builds the window's toolbar before the wrapper is registered.
  rn([&] { Ref(wrapper).Explorer(objExpl); });
  rn([&] { Ref(wrapper).Key(g_intExplKey); });
  rn([&] { ExplWraps().Add(wrapper, KeyText(g_intExplKey)); });
  rn([&] { g_intExplKey = runtime::Add16(g_intExplKey, 1); });
}

void RemoveExplorerWrapper(std::int16_t intKey, const std::shared_ptr<ExplWrap>& objExplWrap) {
  runtime::ResumeNext rn;
  rn([&] { RemoveIfSame(ExplWraps(), intKey, objExplWrap); });
}

std::string AddInspectorWrapper(const std::shared_ptr<host::Inspector>& objInsp) {
  runtime::ResumeNext rn;
  std::string key;
  std::shared_ptr<InspWrap> wrapper;
  rn([&] { wrapper = std::make_shared<InspWrap>(); });
  rn([&] { Ref(wrapper).Inspector(objInsp); });
  rn([&] { Ref(wrapper).Key(g_intInspKey); });
  rn([&] {
    InspWraps().Add(wrapper, KeyText(g_intInspKey));
    key = KeyText(g_intInspKey);
  });
  rn([&] { g_intInspKey = runtime::Add16(g_intInspKey, 1); });
  return key;
}

void RemoveInspectorWrapper(std::int16_t intKey, const std::shared_ptr<InspWrap>& objInspWrap) {
  runtime::ResumeNext rn;
  rn([&] { RemoveIfSame(InspWraps(), intKey, objInspWrap); });
}

}  // namespace lumivane::modOutlExpl
