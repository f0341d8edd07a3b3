#pragma once
// A table of top-level windows: handle, owning thread and process, shown or
// hidden, minimised or not, and which one is in the foreground; with the
// user32-like calls that bring a window to the front. Nothing is drawn.

#include <map>
#include <set>
#include <utility>

#include "platform/shell/seam.h"

namespace platform::shell {

// ShowWindow commands.
inline constexpr long SW_HIDE = 0;
inline constexpr long SW_SHOWNORMAL = 1;
inline constexpr long SW_SHOWMINIMIZED = 2;
inline constexpr long SW_SHOWMAXIMIZED = 3;
inline constexpr long SW_SHOWNOACTIVATE = 4;
inline constexpr long SW_SHOW = 5;
inline constexpr long SW_MINIMIZE = 6;
inline constexpr long SW_SHOWMINNOACTIVE = 7;
inline constexpr long SW_SHOWNA = 8;
inline constexpr long SW_RESTORE = 9;

struct WindowRecord {
  long hWnd = 0;
  long threadId = 0;
  long processId = 0;
  bool visible = true;
  bool minimised = false;
};

class WindowTable {
 public:
  explicit WindowTable(Seam* seam) : seam_(seam) {}

  // Seam: these change the table without a log entry.
  long AddWindow(long threadId, bool minimised = false, bool visible = true, long processId = 1);
  void RemoveWindow(long hWnd);
  void SetForeground(long hWnd) { foreground_ = hWnd; }
  // nullptr for a handle that is not in the table.
  const WindowRecord* Find(long hWnd) const;
  bool InputAttached(long fromThread, long toThread) const { return attached_.count({fromThread, toThread}) != 0; }

  long GetForegroundWindow();
  // The thread that owns the window (0 for an unknown one); its process
  // goes to `processId` when given.
  long GetWindowThreadProcessId(long hWnd, long* processId = nullptr);
  // Nonzero on success; fails for one thread with itself, for a thread that
  // owns no window, and for detaching what is not attached.
  long AttachThreadInput(long idAttach, long idAttachTo, long fAttach);
  // Nonzero when the window became the foreground window.
  long SetForegroundWindow(long hWnd);
  long IsIconic(long hWnd);
  // Nonzero when the window was visible before.
  long ShowWindow(long hWnd, long nCmdShow);

 private:
  WindowRecord* FindMutable(long hWnd);
  bool KnownThread(long threadId) const;

  Seam* seam_;
  std::map<long, WindowRecord> windows_;
  std::set<std::pair<long, long>> attached_;
  long foreground_ = 0;
  long nextHandle_ = 0x00010010;
};

long GetForegroundWindow();
long GetWindowThreadProcessId(long hWnd, long* processId = nullptr);
long AttachThreadInput(long idAttach, long idAttachTo, long fAttach);
long SetForegroundWindow(long hWnd);
long IsIconic(long hWnd);
long ShowWindow(long hWnd, long nCmdShow);

}  // namespace platform::shell
