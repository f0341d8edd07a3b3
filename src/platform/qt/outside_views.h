#pragma once
// The views of the outside controls, each in its own file; RegisterOutsideViews
// (form_views.h) registers them all.

namespace platform::qt {

// The web browser showing a folder: the shell's folder view.
void RegisterFolderView();
// The explorer bar: the task pane of collapsible bars.
void RegisterExplorerBarView();

}  // namespace platform::qt
