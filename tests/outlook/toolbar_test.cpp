// The Explorer toolbar "Lumivane" and the Tools-menu entry as the host shows
// them: controls, placement, tags and bindings; what OnUpdate keeps; and the
// clicks that reach the wrapper's handlers.

#include "outlook/addin_fixture.h"
#include "settings/helpers.h"

namespace outlook_test {
namespace {

using lumivane::g_objSettings;
namespace mo = lumivane::modOutlExpl;

const std::string kAction = "!<Lumivane.Connect>";
const std::string kSettingsTip = "View and change settings for the Wizard add-in.";

// What a control shows, pictures by the file they came from.
struct Shown {
  std::string caption;
  long style;
  std::string tooltip;
  bool beginGroup;
  std::string tag;
  std::string onAction;
  std::string face;
  std::string mask;
  bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* os) {
  *os << "{" << s.caption << " | " << s.style << " | " << s.tooltip << " | " << s.beginGroup << " | " << s.tag << " | "
      << s.onAction << " | " << s.face << " | " << s.mask << "}";
}

std::string FileOf(const std::shared_ptr<const host::Picture>& p) {
  if (!p) return "";
  const std::string& path = p->Source();
  return path.substr(path.rfind('/') + 1);
}

Shown Show(const std::shared_ptr<host::CommandBarControl>& c) {
  Shown s{c->Caption(), 0, c->TooltipText(), c->BeginGroup(), c->Tag(), c->OnAction(), "", ""};
  if (auto b = std::dynamic_pointer_cast<host::CommandBarButton>(c)) {
    s.style = b->Style();
    s.face = FileOf(b->Picture());
    s.mask = FileOf(b->Mask());
  } else {
    s.style = host::As<host::CommandBarPopup>(c)->Style();
  }
  return s;
}

std::vector<Shown> ShowAll(const std::shared_ptr<host::CommandBar>& bar) {
  std::vector<Shown> out;
  for (const auto& c : bar->ControlList()) out.push_back(Show(c));
  return out;
}

std::vector<Shown> ToolbarRows(const std::string& n) {
  return {
      {"&Lumivane...", 3, "Launches wizard form.", false, "ExplWizard" + n, kAction, "101.bmp", "102.bmp"},
      {"Start S&lide Show", 3, "Start a slide show using the picture attachments in the selected message", false,
       "ExplSlideShow" + n, kAction, "109.bmp", "110.bmp"},
      {"Attachments &Manager", 3, "Advanced options for saving, exporting and deleting attachments from messages.",
       false, "", "", "", ""},
      {"&Settings...", 3, kSettingsTip, false, "ExplBarSettings" + n, kAction, "107.bmp", "108.bmp"},
  };
}

std::vector<Shown> PopupRows(const std::string& n) {
  return {
      {kQuickPictures, 3,
       "Saves just image files to a predefined directory. This location can be changed on the Settings screen.", false,
       "ExplQuickSavePicAtts" + n, kAction, "103.bmp", "104.bmp"},
      {kQuickAll, 3,
       "Saves any type of attachment files to a predefined directory. This location can be changed on the Settings "
       "screen.",
       false, "ExplQuickSaveAllAtts " + n, kAction, "103.bmp", "104.bmp"},
      {kSavePicturesTo, 3, "Saves just image files to the chosen directory.", false, "ExplSavePicsTo" + n, kAction,
       "115.bmp", "104.bmp"},
      {kSaveAllTo, 3, "Saves all attachment file types to the chosen directory.", false, "ExplSaveAttsTo" + n, kAction,
       "115.bmp", "104.bmp"},
      {kExport, 3, "Advanced options for exporting attachments from messages.", true, "ExplExportAtts" + n, kAction,
       "126.bmp", "127.bmp"},
      {kDelete, 3, "Permanently removes attachments from messages.", true, "ExplDeleteAtts" + n, kAction, "124.bmp",
       "125.bmp"},
  };
}

Shown MenuRow(const std::string& n) {
  return {"&Lumivane Settings...", 3, kSettingsTip, false, "ExplMenuSettings" + n, kAction, "101.bmp", "102.bmp"};
}

long ClickSinks(const std::shared_ptr<host::CommandBarButton>& b) { return static_cast<long>(b->Click.SinkCount()); }

TEST_F(AddInTest, TheFirstToolbarDocksAtTheTopAndItsPlaceIsStoredAtOnce) {
  host->Start();
  auto e = FirstExplorer();
  auto bar = Toolbar(e);
  EXPECT_TRUE(bar->Temporary());
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(ShowAll(bar), ToolbarRows("1"));
  EXPECT_EQ(ShowAll(PopupBar(e)), PopupRows("1"));
  for (const auto& c : bar->ControlList()) EXPECT_TRUE(c->Temporary());
  EXPECT_EQ(ButtonOf(bar, "Start S&lide Show")->Picture()->Height(), 18);

  auto entry = MenuEntry(e);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(Show(entry), MenuRow("1"));
  EXPECT_EQ(entry->Index(), ToolsMenu(e)->Controls()->Count());  // appended to the Tools menu

  // Docked in the first free row under the menu bar and the standard bar.
  EXPECT_EQ(bar->Position(), host::msoBarTop);
  EXPECT_EQ(bar->RowIndex(), 3);
  EXPECT_EQ(bar->Top(), 48);
  // Written before any control was added.
  for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{{"ExplBarPosition", "1"},
                                                                                    {"ExplBarRowIndex", "3"},
                                                                                    {"ExplBarLeft", "0"},
                                                                                    {"ExplBarTop", "48"},
                                                                                    {"ExplBarHeight", "26"},
                                                                                    {"ExplBarWidth", "4"}}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Stored(name), value);
  }
  EXPECT_FALSE(lumivane::modPictureAttachments::g_blnExplBarPositionUnset);
  // OnUpdate has followed the bar as it filled; the registry has not.
  EXPECT_EQ(g_objSettings->ExplBarWidth(), bar->Width());
  EXPECT_GT(bar->Width(), 4);
}

TEST_F(AddInTest, ASecondExplorerTakesTheStoredPlaceAndBindsTheActiveWindowsMenuEntry) {
  host->Start();
  auto first = FirstExplorer();
  auto second = App()->OpenExplorer();
  auto bar = Toolbar(second);
  EXPECT_EQ(bar->Position(), Toolbar(first)->Position());
  EXPECT_EQ(bar->RowIndex(), Toolbar(first)->RowIndex());
  EXPECT_EQ(bar->Width(), Toolbar(first)->Width());
  // Built before the wrapper joined the registry: one wrapper counted.
  EXPECT_EQ(ShowAll(bar), ToolbarRows("1"));
  EXPECT_EQ(ShowAll(PopupBar(second)), PopupRows("1"));
  // The menu bar used was the active window's: the first window's entry now
  // has both wrappers bound, and the new window has none.
  EXPECT_EQ(MenuEntry(second), nullptr);
  EXPECT_EQ(ClickSinks(MenuEntry(first)), 2);
  EXPECT_EQ(ClickSinks(ButtonOf(bar, "&Lumivane...")), 1);
}

TEST_F(AddInTest, AViewSwitchRebuildsOnlyBeforeTheFirstSelectionChange) {
  host->Start();
  auto first = FirstExplorer();
  auto second = App()->OpenExplorer({.viewSwitch = true});
  // Found and re-tagged, nothing duplicated; the entry now in its own menu.
  EXPECT_EQ(ShowAll(Toolbar(second)), ToolbarRows("2"));
  EXPECT_EQ(ShowAll(PopupBar(second)), PopupRows("2"));
  ASSERT_NE(MenuEntry(second), nullptr);
  EXPECT_EQ(Show(MenuEntry(second)), MenuRow("2"));
  EXPECT_EQ(ClickSinks(MenuEntry(second)), 1);
  EXPECT_EQ(ClickSinks(MenuEntry(first)), 1);
  EXPECT_EQ(ClickSinks(ButtonOf(Toolbar(second), "&Lumivane...")), 1);
  EXPECT_FALSE(mo::g_blnNewExplorer);

  // After the selection change a view switch leaves the window alone.
  Toolbar(second)->Delete();
  second->SwitchView();
  EXPECT_FALSE(HasToolbar(second));
}

TEST_F(AddInTest, ABarFoundInTheWindowKeepsWhatItHas) {
  auto window = App()->OpenExplorer();
  auto left = window->Bars()->Add({.Name = "Lumivane", .Temporary = true});
  auto old = host::As<host::CommandBarButton>(left->Controls()->Add({.Type = host::msoControlButton}));
  old->Caption("&Lumivane...");
  old->Style(host::msoButtonCaption);
  auto popup = left->Controls()->Add({.Type = host::msoControlPopup});
  popup->Caption("Attachments &Manager");
  host->Start({.explorer = false});

  auto bar = Toolbar(window);
  ASSERT_EQ(bar->Controls()->Count(), 4);
  EXPECT_EQ(Show(old), (Shown{"&Lumivane...", 2, "", false, "ExplWizard1", kAction, "", ""}));
  EXPECT_EQ(bar->Controls()->Item(3)->Caption(), "Start S&lide Show");  // the missing ones are appended
  EXPECT_EQ(ShowAll(host::As<host::CommandBarPopup>(popup)->CommandBar()), PopupRows("1"));

  // A popup this wrapper did not create is not followed by OnUpdate.
  popup->Caption("&Attachments");
  EXPECT_EQ(g_objSettings->ExpBarBut3Text(), "Attachments &Manager");
  old->Caption("&Pictures");
  EXPECT_EQ(g_objSettings->ExpBarBut1Text(), "&Pictures");
}

TEST_F(AddInTest, ACustomisedCaptionAndPlaceSurviveARestart) {
  host->Start();
  auto bar = Toolbar(FirstExplorer());
  auto button = ButtonOf(bar, "&Lumivane...");
  button->Caption("&Preview...");
  button->Style(host::msoButtonCaption);
  bar->Position(host::msoBarBottom);
  EXPECT_EQ(g_objSettings->ExpBarBut1Text(), "&Preview...");
  EXPECT_EQ(g_objSettings->ExplBarPosition(), host::msoBarBottom);
  EXPECT_EQ(Stored("ExpBarBut1Text"), "&Lumivane...");  // OnUpdate writes nothing

  App()->CloseExplorer(FirstExplorer());  // writes the settings
  EXPECT_EQ(Stored("ExpBarBut1Text"), "&Preview...");
  EXPECT_EQ(Stored("ExpBarBut1Style"), "2");
  EXPECT_EQ(Stored("ExplBarPosition"), "3");

  Restart();
  host->Start();
  bar = Toolbar(FirstExplorer());
  EXPECT_EQ(bar->Position(), host::msoBarBottom);
  EXPECT_EQ(bar->Controls()->Count(), 4);
  EXPECT_EQ(Show(bar->Controls()->Item(1)),
            (Shown{"&Preview...", 2, "Launches wizard form.", false, "ExplWizard1", kAction, "101.bmp", "102.bmp"}));
}

TEST_F(AddInTest, AHiddenToolbarIsStillBuiltAndBound) {
  registry->Seed(reg::HKEY_CURRENT_USER, kSettingsKey, "ExplBarHide", reg::REG_DWORD, reg::DwordData(1));
  host->Start();
  auto bar = Toolbar(FirstExplorer());
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(ShowAll(bar), ToolbarRows("1"));
  EXPECT_EQ(ClickSinks(ButtonOf(bar, "&Lumivane...")), 1);
  EXPECT_NE(MenuEntry(FirstExplorer()), nullptr);
}

TEST_F(AddInTest, OnTheOldestHostOnlyTheFirstToolbarTriesPictures) {
  Restart("9.0.0.2711");
  host->Start();
  EXPECT_TRUE(lumivane::g_blnOutlook2000);
  auto second = App()->OpenExplorer();
  ButtonOf(Toolbar(second), "&Lumivane...")->Style(host::msoButtonCaption);
  EXPECT_EQ(g_objSettings->ExpBarBut1Style(), 3);  // no styles are kept on that host

  App()->Version("11.0.0.8217");  // to read what the old object library hides
  auto first = FirstExplorer();
  for (const auto& row : ShowAll(PopupBar(first))) {
    SCOPED_TRACE(row.caption);
    EXPECT_EQ(row.style, 3);
    EXPECT_EQ(row.face, "");
  }
  for (const auto& row : ShowAll(PopupBar(second))) {
    SCOPED_TRACE(row.caption);
    EXPECT_EQ(row.style, 2);
    EXPECT_EQ(row.face, "");
  }
  EXPECT_EQ(host::As<host::CommandBarPopup>(Toolbar(first)->Controls()->Item(3))->Style(), 0);
  EXPECT_EQ(Show(MenuEntry(first)).face, "");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(AddInTest, AToolbarThatCannotBeAddedLeavesTheWindowBare) {
  auto window = App()->OpenExplorer();
  window->Bars()->Faults().FailNext("Add", host::err::kFail);
  host->Start({.explorer = false});
  EXPECT_FALSE(HasToolbar(window));
  EXPECT_EQ(MenuEntry(window), nullptr);
  EXPECT_EQ(mo::ExplWraps().Count(), 1);
  // The first placement is still to come.
  auto second = App()->OpenExplorer();
  EXPECT_EQ(Toolbar(second)->Position(), host::msoBarTop);
  EXPECT_EQ(Stored("ExplBarRowIndex"), "3");
}

TEST_F(AddInTest, EveryControlReachesItsOwnHandler) {
  host->Start();
  auto first = FirstExplorer();
  auto second = App()->OpenExplorer({.viewSwitch = true});
  std::vector<std::string> reached;
  lumivane::ExplWrap::ClickProbe() = [&](std::string_view h) { reached.emplace_back(h); };
  for (const auto& e : {first, second}) {
    struct Row {
      std::shared_ptr<host::CommandBarButton> control;
      std::string handler;
    };
    const std::vector<Row> rows = {
        {MenuEntry(e), "m_objLVWExplMenuSettings_Click"},
        {ButtonOf(Toolbar(e), "&Lumivane..."), "m_objLVWExplBarLumivaneButton_Click"},
        {ButtonOf(Toolbar(e), "Start S&lide Show"), "m_objLVWExplBarSSButton_Click"},
        {ButtonOf(Toolbar(e), "&Settings..."), "m_objLVWExplBarSettingsButton_Click"},
        {ButtonOf(PopupBar(e), kQuickPictures), "m_objLVWExplBarQuickSavePicturesInSelectedMessages_Click"},
        {ButtonOf(PopupBar(e), kQuickAll), "m_objLVWExplBarQuickSaveAttachmentsInSelectedMessages_Click"},
        {ButtonOf(PopupBar(e), kSavePicturesTo), "m_objLVWExplBarSavePicturesTo_Click"},
        {ButtonOf(PopupBar(e), kSaveAllTo), "m_objLVWExplBarSaveAttachmentsTo_Click"},
        {ButtonOf(PopupBar(e), kExport), "m_objLVWExplBarExportAttachments_Click"},
        {ButtonOf(PopupBar(e), kDelete), "m_objLVWExplBarDeleteAtts_Click"},
    };
    for (const auto& row : rows) {
      SCOPED_TRACE(row.handler);
      reached.clear();
      ASSERT_NE(row.control, nullptr);
      row.control->UserClick();
      EXPECT_EQ(reached, std::vector<std::string>{row.handler});
    }
  }
  EXPECT_TRUE(host->EscapedErrors().empty());
}

}  // namespace
}  // namespace outlook_test
