#pragma once
// The shell and window services of the system the add-in was written for:
// special folders, long path names, library and function lookup, the window
// table and the cursors. One shell is current for the process; the program
// sets up its Linux backing at start (xdg_folders.h), tests start from
// Reset() and arrange what they need through the seams.

#include "platform/shell/cursors.h"
#include "platform/shell/long_path.h"
#include "platform/shell/modules.h"
#include "platform/shell/seam.h"
#include "platform/shell/special_folders.h"
#include "platform/shell/window_table.h"
#include "platform/shell/work_area.h"

namespace platform::shell {

struct Shell {
  Shell() = default;
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;

  Seam seam;
  SpecialFolders folders{&seam};
  Modules modules{&seam};
  WindowTable windows{&seam};
  Cursors cursors{&seam};
  WorkArea workArea{&seam};
};

Shell& Current();

// A fresh headless shell: no special folder defined but the virtual desktop,
// the system libraries with the functions the stand-ins provide, no windows,
// the system cursors with the arrow current, no faults, an empty log.
void Reset();

}  // namespace platform::shell
