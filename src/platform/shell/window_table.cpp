#include "platform/shell/window_table.h"

#include "platform/shell/shell.h"

namespace platform::shell {

long WindowTable::AddWindow(long threadId, bool minimised, bool visible, long processId) {
  const long hWnd = nextHandle_;
  nextHandle_ += 0x10;
  windows_[hWnd] = WindowRecord{hWnd, threadId, processId, visible, minimised};
  return hWnd;
}

void WindowTable::RemoveWindow(long hWnd) {
  windows_.erase(hWnd);
  if (foreground_ == hWnd) foreground_ = 0;
}

const WindowRecord* WindowTable::Find(long hWnd) const {
  auto it = windows_.find(hWnd);
  return it == windows_.end() ? nullptr : &it->second;
}

WindowRecord* WindowTable::FindMutable(long hWnd) {
  auto it = windows_.find(hWnd);
  return it == windows_.end() ? nullptr : &it->second;
}

bool WindowTable::KnownThread(long threadId) const {
  for (const auto& [h, w] : windows_) {
    if (w.threadId == threadId) return true;
  }
  return false;
}

long WindowTable::GetForegroundWindow() {
  seam_->Enter("GetForegroundWindow", FormatCall("GetForegroundWindow"));
  return foreground_;
}

long WindowTable::GetWindowThreadProcessId(long hWnd, long* processId) {
  seam_->Enter("GetWindowThreadProcessId", FormatCall("GetWindowThreadProcessId", hWnd));
  const WindowRecord* w = Find(hWnd);
  if (processId != nullptr) *processId = w ? w->processId : 0;
  return w ? w->threadId : 0;
}

long WindowTable::AttachThreadInput(long idAttach, long idAttachTo, long fAttach) {
  seam_->Enter("AttachThreadInput", FormatCall("AttachThreadInput", idAttach, idAttachTo, fAttach));
  if (idAttach == idAttachTo || !KnownThread(idAttach) || !KnownThread(idAttachTo)) return 0;
  if (fAttach != 0) {
    attached_.insert({idAttach, idAttachTo});
    return 1;
  }
  return attached_.erase({idAttach, idAttachTo}) != 0 ? 1 : 0;
}

long WindowTable::SetForegroundWindow(long hWnd) {
  seam_->Enter("SetForegroundWindow", FormatCall("SetForegroundWindow", hWnd));
  if (Find(hWnd) == nullptr) return 0;
  foreground_ = hWnd;
  return 1;
}

long WindowTable::IsIconic(long hWnd) {
  seam_->Enter("IsIconic", FormatCall("IsIconic", hWnd));
  const WindowRecord* w = Find(hWnd);
  return (w != nullptr && w->minimised) ? 1 : 0;
}

long WindowTable::ShowWindow(long hWnd, long nCmdShow) {
  seam_->Enter("ShowWindow", FormatCall("ShowWindow", hWnd, nCmdShow));
  WindowRecord* w = FindMutable(hWnd);
  if (w == nullptr) return 0;
  const long wasVisible = w->visible ? 1 : 0;
  switch (nCmdShow) {
    case SW_HIDE: w->visible = false; break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      w->visible = true;
      w->minimised = true;
      break;
    case SW_SHOWNORMAL:
    case SW_SHOWMAXIMIZED:
    case SW_SHOWNOACTIVATE:
    case SW_RESTORE:
      w->visible = true;
      w->minimised = false;
      break;
    default:  // SW_SHOW, SW_SHOWNA and the rest show the window as it is
      w->visible = true;
      break;
  }
  return wasVisible;
}

long GetForegroundWindow() { return Current().windows.GetForegroundWindow(); }
long GetWindowThreadProcessId(long hWnd, long* processId) {
  return Current().windows.GetWindowThreadProcessId(hWnd, processId);
}
long AttachThreadInput(long idAttach, long idAttachTo, long fAttach) {
  return Current().windows.AttachThreadInput(idAttach, idAttachTo, fAttach);
}
long SetForegroundWindow(long hWnd) { return Current().windows.SetForegroundWindow(hWnd); }
long IsIconic(long hWnd) { return Current().windows.IsIconic(hWnd); }
long ShowWindow(long hWnd, long nCmdShow) { return Current().windows.ShowWindow(hWnd, nCmdShow); }

}  // namespace platform::shell
