#pragma once
// What the Explorer's and the Inspector's toolbar "Lumivane" share: finding
// or adding the bar and placing it, finding or adding its three buttons, its
// popup and the popup's six entries, and carrying the bar's geometry and
// captions into the settings. Each window kind brings its own settings,
// captions, tooltips and tag bases.
//
// Everything here passes over errors statement by statement and shows
// nothing. Members that the oldest host's object library lacks (a button's
// Picture and Mask, a popup's Style) simply fail there.

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "settings/reg_settings.h"

namespace host {
class CommandBar;
class CommandBarButton;
class CommandBarControl;
class CommandBarPopup;
class CommandBars;
}  // namespace host

namespace lumivane::toolbar {

inline constexpr std::string_view kBarName = "Lumivane";

// A setting as its getter and setter.
struct LongSetting {
  long (RegSettings::*get)() const;
  void (RegSettings::*set)(long);
};
struct TextSetting {
  std::string (RegSettings::*get)() const;
  void (RegSettings::*set)(std::string);
};

// The settings of one window kind's toolbar.
struct BarSettings {
  LongSetting position, rowIndex, left, height, top, width;
  std::array<TextSetting, 4> text;  // buttons 1 and 2, the popup, button 4
  std::array<LongSetting, 4> style;
};

// What differs between the window kinds' controls besides their settings.
struct ControlTexts {
  std::string_view slideShowTooltip;
  std::array<std::string_view, 6> entryCaptions;
  // In build order: buttons 1 and 2, the six entries, button 4.
  std::array<std::string_view, 9> tagBases;
};

// The bar "Lumivane" of a window; nullptr when it has none or the look-up fails.
std::shared_ptr<host::CommandBar> FindBar(const std::shared_ptr<host::CommandBars>& bars);

// Adds the temporary bar and places it from the settings; on a first run
// (positionUnset) docks it at the top, stores where the host put it, writes
// the settings and clears the flag. nullptr when the bar could not be added
// or unprotected (such a bar stays behind, empty).
std::shared_ptr<host::CommandBar> CreateBar(const std::shared_ptr<host::CommandBars>& bars, const BarSettings& settings,
                                            bool& positionUnset);

// Called for each button as it is found or added, in build order (0 and 1
// the first two buttons, 2 to 7 the entries, 8 the last button).
using Bind = std::function<void(std::size_t index, const std::shared_ptr<host::CommandBarControl>& control)>;

// Finds or adds the controls of `bar`. Only a control that this call adds
// gets its caption, style, tooltip, separator and pictures; one found under
// its caption keeps what it has. Every button is tagged (tag base and
// `tagNumber`), routed to the add-in and bound. The popup, when this call
// added it (nullptr when it was found).
std::shared_ptr<host::CommandBarPopup> BuildControls(const std::shared_ptr<host::CommandBar>& bar,
                                                     const BarSettings& settings, const ControlTexts& texts,
                                                     long tagNumber, const Bind& bind);

// The bar's geometry and its controls' captions (and, but on the oldest
// host, styles) into the settings object; nothing is written to the
// registry. Without a bar nothing is kept.
void KeepBar(const BarSettings& settings, const std::shared_ptr<host::CommandBar>& bar,
             const std::array<std::shared_ptr<host::CommandBarButton>, 2>& leading,
             const std::shared_ptr<host::CommandBarPopup>& popup, const std::shared_ptr<host::CommandBarButton>& last);

// How the host routes a control to this add-in.
std::string OnActionText();

}  // namespace lumivane::toolbar
