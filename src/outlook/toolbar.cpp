#include "outlook/toolbar.h"

#include "host/office.h"
#include "outlook/out_addin.h"
#include "outlook/resources.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"

namespace lumivane::toolbar {

using runtime::Ref;

namespace {

constexpr std::string_view kPopupTooltip =
    "Advanced options for saving, exporting and deleting attachments from messages.";
constexpr std::string_view kSettingsTooltip = "View and change settings for the Wizard add-in.";

RegSettings& Settings() { return Ref(g_objSettings); }

host::CommandBarButton& Button(const std::shared_ptr<host::CommandBarControl>& control) {
  return Ref(host::As<host::CommandBarButton>(control));
}

host::CommandBarPopup& Popup(const std::shared_ptr<host::CommandBarControl>& control) {
  return Ref(host::As<host::CommandBarPopup>(control));
}

long Get(const LongSetting& s) { return (Settings().*s.get)(); }
void Set(const LongSetting& s, long v) { (Settings().*s.set)(v); }

// One button of the toolbar or of the popup.
struct ButtonSpec {
  std::function<std::string()> caption;
  std::function<long()> style;  // popup entries: 2, or 3 once they have pictures
  std::string_view tooltip = {};
  bool entry = false;  // an entry of the popup
  bool beginGroup = false;
  long face = 0;
  long mask = 0;
};

std::shared_ptr<host::CommandBarControl> FindOrAddButton(const std::shared_ptr<host::CommandBar>& owner,
                                                         const ButtonSpec& s) {
  runtime::ResumeNext rb;
  std::shared_ptr<host::CommandBarControl> control;
  rb([&] { control = Ref(owner).Controls()->Item(s.caption()); });
  if (control) return control;
  rb([&] { control = Ref(owner).Controls()->Add({.Type = host::msoControlButton, .Temporary = true}); });
  rb([&] { Button(control).Caption(s.caption()); });
  rb([&] { Button(control).Style(s.style()); });
  rb([&] { Button(control).TooltipText(s.tooltip); });
  if (s.beginGroup) rb([&] { Button(control).BeginGroup(true); });
  if (!g_blnOutlook2000) {
    if (s.entry) rb([&] { Button(control).Style(host::msoButtonIconAndCaption); });
    rb([&] { Button(control).Picture(LoadResPicture(s.face)); });
    rb([&] { Button(control).Mask(LoadResPicture(s.mask)); });
  }
  return control;
}

}  // namespace

std::string OnActionText() { return "!<" + g_strProgID + ">"; }

std::shared_ptr<host::CommandBar> FindBar(const std::shared_ptr<host::CommandBars>& bars) {
  return runtime::ValueOr([&] { return Ref(bars).Item(kBarName); }, std::shared_ptr<host::CommandBar>());
}

std::shared_ptr<host::CommandBar> CreateBar(const std::shared_ptr<host::CommandBars>& bars, const BarSettings& settings,
                                            bool& positionUnset) {
  runtime::ResumeNext rn;
  std::shared_ptr<host::CommandBar> bar;
  rn([&] { bar = Ref(bars).Add({.Name = std::string(kBarName), .Temporary = true}); });
  rn([&] { Ref(bar).Protection(host::msoBarNoProtection); });
  // A bar that was added but could not be unprotected stays behind, empty.
  if (rn.Err() || !bar) return nullptr;

  if (!positionUnset) {
    rn([&] { bar->Position(Get(settings.position)); });
    rn([&] { bar->RowIndex(Get(settings.rowIndex)); });
    rn([&] { bar->Left(Get(settings.left)); });
    rn([&] { bar->Height(Get(settings.height)); });
    rn([&] { bar->Top(Get(settings.top)); });
    rn([&] { bar->Width(Get(settings.width)); });
  } else {
    // First run: dock at the top where the host puts it, and keep that at once.
    rn([&] { bar->Position(host::msoBarTop); });
    rn([&] { Set(settings.position, bar->Position()); });
    rn([&] { Set(settings.height, bar->Height()); });
    rn([&] { Set(settings.left, bar->Left()); });
    rn([&] { Set(settings.rowIndex, bar->RowIndex()); });
    rn([&] { Set(settings.top, bar->Top()); });
    rn([&] { Set(settings.width, bar->Width()); });
    rn([&] { Settings().Update(); });
    positionUnset = false;
  }
  return bar;
}

std::shared_ptr<host::CommandBarPopup> BuildControls(const std::shared_ptr<host::CommandBar>& bar,
                                                     const BarSettings& settings, const ControlTexts& texts,
                                                     long tagNumber, const Bind& bind) {
  runtime::ResumeNext rn;
  const std::string number = runtime::CStr(tagNumber);
  auto place = [&](std::size_t index, const std::shared_ptr<host::CommandBar>& owner, const ButtonSpec& s) {
    runtime::ResumeNext rb;
    std::shared_ptr<host::CommandBarControl> control;
    rb([&] { control = FindOrAddButton(owner, s); });
    rb([&] { Ref(control).Tag(std::string(texts.tagBases[index]) + number); });
    rb([&] { Ref(control).OnAction(OnActionText()); });
    rb([&] { bind(index, control); });
  };
  auto setting = [&](std::size_t i) -> ButtonSpec {
    return {[t = settings.text[i]] { return (Settings().*t.get)(); }, [s = settings.style[i]] { return Get(s); }};
  };
  auto entry = [&](std::size_t i) -> ButtonSpec {
    return {[c = texts.entryCaptions[i]] { return std::string(c); }, [] { return long{host::msoButtonCaption}; }};
  };

  ButtonSpec wizard = setting(0);
  wizard.tooltip = "Launches wizard form.";
  wizard.face = 101;
  wizard.mask = 102;
  place(0, bar, wizard);
  ButtonSpec slideShow = setting(1);
  slideShow.tooltip = texts.slideShowTooltip;
  slideShow.face = 109;
  slideShow.mask = 110;
  place(1, bar, slideShow);

  // The popup: no tag, no action, no binding.
  std::shared_ptr<host::CommandBarPopup> created;
  std::shared_ptr<host::CommandBarControl> popup;
  rn([&] { popup = Ref(bar).Controls()->Item((Settings().*settings.text[2].get)()); });
  if (!popup) {
    rn([&] { popup = Ref(bar).Controls()->Add({.Type = host::msoControlPopup, .Temporary = true}); });
    rn([&] { Ref(popup).Caption((Settings().*settings.text[2].get)()); });
    rn([&] { Popup(popup).Style(Get(settings.style[2])); });
    rn([&] { Ref(popup).TooltipText(kPopupTooltip); });
    rn([&] { created = host::As<host::CommandBarPopup>(popup); });
  }
  std::shared_ptr<host::CommandBar> popupBar;
  rn([&] { popupBar = Popup(popup).CommandBar(); });
  if (popupBar) {
    struct Entry {
      std::string_view tooltip;
      bool beginGroup;
      long face;
      long mask;
    };
    static constexpr std::array<Entry, 6> kEntries = {{
        {"Saves just image files to a predefined directory. This location can be changed on the Settings screen.",
         false, 103, 104},
        {"Saves any type of attachment files to a predefined directory. This location can be changed on the "
         "Settings screen.",
         false, 103, 104},
        {"Saves just image files to the chosen directory.", false, 115, 104},
        {"Saves all attachment file types to the chosen directory.", false, 115, 104},
        {"Advanced options for exporting attachments from messages.", true, 126, 127},
        {"Permanently removes attachments from messages.", true, 124, 125},
    }};
    for (std::size_t i = 0; i < kEntries.size(); ++i) {
      ButtonSpec s = entry(i);
      s.tooltip = kEntries[i].tooltip;
      s.entry = true;
      s.beginGroup = kEntries[i].beginGroup;
      s.face = kEntries[i].face;
      s.mask = kEntries[i].mask;
      place(2 + i, popupBar, s);
    }
  }

  ButtonSpec settingsButton = setting(3);
  settingsButton.tooltip = kSettingsTooltip;
  settingsButton.face = 107;
  settingsButton.mask = 108;
  place(8, bar, settingsButton);
  return created;
}

void KeepBar(const BarSettings& settings, const std::shared_ptr<host::CommandBar>& bar,
             const std::array<std::shared_ptr<host::CommandBarButton>, 2>& leading,
             const std::shared_ptr<host::CommandBarPopup>& popup, const std::shared_ptr<host::CommandBarButton>& last) {
  runtime::ResumeNext rn;
  // Without a toolbar (or a settings object) there is nothing to keep.
  if (!rn([&] { Set(settings.position, Ref(bar).Position()); })) return;
  rn([&] { Set(settings.rowIndex, Ref(bar).RowIndex()); });
  rn([&] { Set(settings.left, Ref(bar).Left()); });
  rn([&] { Set(settings.height, Ref(bar).Height()); });
  rn([&] { Set(settings.top, Ref(bar).Top()); });
  rn([&] { Set(settings.width, Ref(bar).Width()); });
  auto text = [&](std::size_t i, auto& control) {
    rn([&] { (Settings().*settings.text[i].set)(Ref(control).Caption()); });
  };
  text(0, leading[0]);
  text(1, leading[1]);
  text(2, popup);
  text(3, last);
  if (!g_blnOutlook2000) {
    auto style = [&](std::size_t i, auto& control) { rn([&] { Set(settings.style[i], Ref(control).Style()); }); };
    style(0, leading[0]);
    style(1, leading[1]);
    style(2, popup);
    style(3, last);
  }
}

}  // namespace lumivane::toolbar
