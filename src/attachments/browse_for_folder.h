#pragma once
// The shell's folder dialog, for the save-to commands, the export dialog and
// the settings dialog. Each caller makes its own object for one question.

#include <string>

#include "platform/shell/browse_folder.h"

namespace lumivane {

class BrowseForFolder {
 public:
  // File-system folders only; "@@@" shows the dialog without a title. The
  // folder's path, or empty when the person cancels.
  std::string BrowseFolders(long hwnd, const std::string& DialogText = {});
  // The resizable dialog, starting at the desktop. The folder's path, or
  // empty when the person cancels or picks something that is no folder.
  std::string BrowseFolders2(long hwnd, const std::string& DialogText = {});

 private:
  std::string ShowBrowseDialog(long rootFolder, long flags, const std::string& title, long hwndOwner);
  // nullptr below 1 (the desktop) or when the shell cannot give the folder.
  platform::shell::Pidl GetSpecialFolderIDList(long hwnd, long folder);
};

}  // namespace lumivane
