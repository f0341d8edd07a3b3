#pragma once
// The views of the control kinds this layer draws, each kind in its own
// file. FormViews knows none of them: the program (and the window tests)
// register them at start, before the first form shows.
//
//   platform::qt::RegisterControlViews();
//   platform::qt::FormViews views;

#include <functional>
#include <string>
#include <string_view>

namespace platform::forms {
class Form;
}

namespace platform::qt {

// Every view below.
void RegisterControlViews();
// The forms runtime's own controls.
void RegisterIntrinsicViews();
// A user control placed on a form: a container of its constituent controls.
void RegisterUserControlViews();
// The outside controls: the up-down and the three below.
void RegisterOutsideViews();
// The command bar and the image combo.
void RegisterCommandBarViews();
// The web browser showing a folder: the shell's folder view.
void RegisterFolderView();
// The explorer bar: the task pane of collapsible bars.
void RegisterExplorerBarView();

// The picture a form will show next in its stretched Image (empty: none), so
// the drawing decodes it ahead while the current one shows.
using UpcomingPicture = std::function<std::string(platform::forms::Form&)>;
void RegisterUpcomingPicture(std::string_view formName, UpcomingPicture upcoming);

}  // namespace platform::qt
