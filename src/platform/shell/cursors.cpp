#include "platform/shell/cursors.h"

#include "platform/shell/shell.h"

namespace platform::shell {

Cursors::Cursors(Seam* seam) : seam_(seam) {
  for (long id : {IDC_ARROW, IDC_IBEAM, IDC_WAIT, IDC_HAND}) AddSystemCursor(id);
  current_ = HandleOf(IDC_ARROW);
}

// Handles are derived from the number so that a cursor keeps its handle when
// it is taken away and given back.
void Cursors::AddSystemCursor(long id) { system_[id] = 0x00060000 + id; }
void Cursors::RemoveSystemCursor(long id) { system_.erase(id); }

long Cursors::HandleOf(long id) const {
  auto it = system_.find(id);
  return it == system_.end() ? 0 : it->second;
}

long Cursors::LoadCursorA(long hInstance, long cursorName) {
  seam_->Enter("LoadCursorA", FormatCall("LoadCursorA", hInstance, cursorName));
  return hInstance == 0 ? HandleOf(cursorName) : 0;
}

long Cursors::SetCursor(long hCursor) {
  seam_->Enter("SetCursor", FormatCall("SetCursor", hCursor));
  const long previous = current_;
  current_ = hCursor;
  return previous;
}

long Cursors::GetCursor() {
  seam_->Enter("GetCursor", FormatCall("GetCursor"));
  return current_;
}

long LoadCursorA(long hInstance, long cursorName) { return Current().cursors.LoadCursorA(hInstance, cursorName); }
long SetCursor(long hCursor) { return Current().cursors.SetCursor(hCursor); }
long GetCursor() { return Current().cursors.GetCursor(); }

}  // namespace platform::shell
