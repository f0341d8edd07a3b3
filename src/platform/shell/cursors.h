#pragma once
// The system cursors and the current cursor. A system may lack a cursor
// (older systems had no hand cursor); loading it then gives 0.

#include <map>

#include "platform/shell/seam.h"

namespace platform::shell {

inline constexpr long IDC_ARROW = 32512;
inline constexpr long IDC_IBEAM = 32513;
inline constexpr long IDC_WAIT = 32514;
inline constexpr long IDC_HAND = 32649;

class Cursors {
 public:
  explicit Cursors(Seam* seam);

  // Seam.
  void AddSystemCursor(long id);
  void RemoveSystemCursor(long id);
  // The handle LoadCursorA gives for a system cursor; 0 when absent.
  long HandleOf(long id) const;
  long CurrentCursor() const { return current_; }

  // A system cursor (hInstance 0) by number; 0 when there is none. The
  // stand-in has no cursors of its own in modules.
  long LoadCursorA(long hInstance, long cursorName);
  // Makes the cursor current (0 hides it) and returns the previous one.
  long SetCursor(long hCursor);
  long GetCursor();

 private:
  Seam* seam_;
  std::map<long, long> system_;  // number -> handle
  long current_ = 0;
};

long LoadCursorA(long hInstance, long cursorName);
long SetCursor(long hCursor);
long GetCursor();

}  // namespace platform::shell
