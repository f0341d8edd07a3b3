#pragma once
// What the add-in's small windows share: the maker's web pages and how one
// is opened, the hand cursor over a link, and placing a control in twips.

#include <string>
#include <string_view>

#include "platform/forms/controls.h"

namespace lumivane::windows {

inline constexpr std::string_view kMakerSite = "http://www.quenstor.com";
inline constexpr std::string_view kSettingsHelpPage = "http://www.quenstor.com/lumivane/help/settings.htm";
inline constexpr std::string_view kMvpPage = "http://www.quenstor.com/outlookmvps.htm";
// The maker of the outside controls the preview window uses.
inline constexpr std::string_view kControlMakerName = "Tessaleaf Controls";
inline constexpr std::string_view kControlMakerSite = "http://www.tessaleaf.com";

// Starts "explorer.exe <address>" in a normal window with the focus, which
// opens the page in the person's browser. A failure reaches the caller.
void OpenWebPage(std::string_view address);

// A MouseMove handler that shows the hand cursor; a failure shows nothing.
platform::forms::Control::MouseHandler HandCursor();

}  // namespace lumivane::windows
