#pragma once
// The wrapper registry: one ExplWrap for every Explorer and one InspWrap for
// every Inspector of a mail or post item, each kept in a collection under
// the decimal text of its key. Keys come from two 16-bit counters that count
// up from 0 and are never reset or reused while the library is loaded; once
// a counter has reached 32767 it stays there, and every later wrapper of
// that kind fails to join its collection (duplicate key) and so leaves its
// window without a registered wrapper.

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/collection.h"

namespace host {
class Explorer;
class Inspector;
}  // namespace host

namespace lumivane {

class ExplWrap;
class InspWrap;

namespace modOutlExpl {

using ExplWrapCollection = runtime::Collection<std::shared_ptr<ExplWrap>>;
using InspWrapCollection = runtime::Collection<std::shared_ptr<InspWrap>>;

// Released by ShutdownHandler; ExplWraps() and InspWraps() make them anew,
// empty, for the next statement that uses them.
extern std::shared_ptr<ExplWrapCollection> g_colExplWraps;
extern std::shared_ptr<InspWrapCollection> g_colInspWraps;
ExplWrapCollection& ExplWraps();
InspWrapCollection& InspWraps();

// A new Explorer has opened and no Explorer has had a selection change since.
extern bool g_blnNewExplorer;

// An Inspector was restored once while the preview window was loaded;
// cleared whenever an Inspector closes.
extern bool g_InspectorActivatedOnce;

// The keys the next wrappers get.
extern std::int16_t g_intExplKey;
extern std::int16_t g_intInspKey;

// All four pass over errors silently.
void AddExplorerWrapper(const std::shared_ptr<host::Explorer>& objExpl);
// Removes the entry under intKey only when it is this very wrapper.
void RemoveExplorerWrapper(std::int16_t intKey, const std::shared_ptr<ExplWrap>& objExplWrap);
// The key text under which the wrapper was added ("" when it was not).
std::string AddInspectorWrapper(const std::shared_ptr<host::Inspector>& objInsp);
void RemoveInspectorWrapper(std::int16_t intKey, const std::shared_ptr<InspWrap>& objInspWrap);

}  // namespace modOutlExpl
}  // namespace lumivane
