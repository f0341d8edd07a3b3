#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "host/addin.h"
#include "support/raised.h"

namespace {

using namespace host;

using testsupport::kFileNotFound;
using testsupport::kInvalidCall;
using testsupport::kMemberNotSupported;
using testsupport::kNoError;
using testsupport::kTypeMismatch;
using testsupport::Outcome;
using testsupport::Raised;

const Outcome kObjectDeleted{err::kObjectDeleted, std::string(text::kObjectDeleted)};

struct Windows {
  Host host;
  std::shared_ptr<Folder> inbox = host.Store()->AddFolder("Inbox");
  std::shared_ptr<Explorer> explorer = host.App()->OpenExplorer();
  std::shared_ptr<CommandBars> bars = explorer->CommandBars();
};

TEST(CommandBars, BuiltInBarsOfEachWindow) {
  Windows w;
  auto app = w.host.App();
  auto menu = w.bars->Item("Menu Bar");
  auto tools = As<CommandBarPopup>(menu->FindControl({.Id = kIdToolsMenuExplorer}));
  ASSERT_TRUE(tools);
  EXPECT_EQ(tools->Caption(), "&Tools");
  EXPECT_EQ(menu->FindControl({.Id = kIdToolsMenuInspector}), nullptr);
  // A bar's FindControl stays on that bar; the set's looks into every bar and popup.
  EXPECT_EQ(menu->FindControl({.Id = 522}), nullptr);
  EXPECT_EQ(menu->FindControl({.Id = 522, .Recursive = true})->Caption(), "&Options...");
  EXPECT_EQ(w.bars->FindControl({.Id = 522})->Caption(), "&Options...");

  auto composing = app->Compose(ItemData{.subject = "new"});
  auto inspectorMenu = composing->CommandBars()->Item("Menu Bar");
  EXPECT_TRUE(inspectorMenu->FindControl({.Id = kIdToolsMenuInspector}));
  EXPECT_EQ(inspectorMenu->FindControl({.Id = kIdToolsMenuExplorer}), nullptr);
  EXPECT_EQ(composing->CommandBars()->FindControl({.Id = kIdSend})->Caption(), "&Send");
  // Every window has its own set.
  EXPECT_NE(composing->CommandBars(), w.bars);
  EXPECT_NE(app->OpenExplorer()->CommandBars()->Item("Menu Bar"), menu);
}

TEST(CommandBars, LookupIsByExactNameAndCaption) {
  Windows w;
  struct Row {
    const char* name;
    const char* lookup;
    bool found;
  };
  const Row bars[] = {{"exact", "Menu Bar", true}, {"case", "menu bar", false}, {"missing", "Lumivane", false}};
  for (const auto& row : bars) {
    SCOPED_TRACE(row.name);
    if (row.found)
      EXPECT_TRUE(w.bars->Item(row.lookup));
    else
      EXPECT_EQ(Raised([&] { w.bars->Item(row.lookup); }), kInvalidCall);
  }
  auto tools = As<CommandBarPopup>(w.bars->FindControl({.Id = kIdToolsMenuExplorer}));
  auto controls = tools->Controls();
  const Row captions[] = {{"with the ampersand", "&Options...", true},
                          {"without the ampersand", "Options...", false},
                          {"other case", "&options...", false}};
  for (const auto& row : captions) {
    SCOPED_TRACE(row.name);
    if (row.found)
      EXPECT_EQ(controls->Item(row.lookup)->Id(), 522);
    else
      EXPECT_EQ(Raised([&] { controls->Item(row.lookup); }), kInvalidCall);
  }
}

TEST(CommandBars, AddedBarFloatsHiddenUntilDocked) {
  Windows w;
  int updates = 0;
  auto sub = w.bars->OnUpdate.Subscribe([&] { ++updates; });
  auto bar = w.bars->Add({.Name = "Lumivane", .Temporary = true});
  EXPECT_EQ(updates, 1);
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(bar->Position(), msoBarFloating);
  EXPECT_EQ(Raised([&] { w.bars->Add({.Name = "Lumivane", .Temporary = true}); }), kInvalidCall);

  auto controls = bar->Controls();
  auto button = As<CommandBarButton>(controls->Add({.Type = msoControlButton, .Temporary = true}));
  button->Caption("Lumivane");
  button->Style(msoButtonIconAndCaption);
  auto popup = As<CommandBarPopup>(controls->Add({.Type = msoControlPopup, .Temporary = true}));
  popup->Caption("Attachments");
  EXPECT_EQ(controls->Count(), 2);
  EXPECT_EQ(popup->Index(), 2);
  EXPECT_EQ(Raised([&] { controls->Add({.Type = 4}); }), kInvalidCall);

  // Docking at the top: the next free row, at the start of it, under the
  // menu bar (22) and the standard toolbar (26).
  bar->Position(msoBarTop);
  EXPECT_EQ(bar->RowIndex(), 3);
  EXPECT_EQ(bar->Left(), 0);
  EXPECT_EQ(bar->Top(), kMenuBarHeight + kToolbarHeight);
  EXPECT_EQ(bar->Height(), kToolbarHeight);
  EXPECT_EQ(bar->Width(), 4 + (23 + 7 * 8) + (12 + 7 * 11));
  bar->Visible(true);
  EXPECT_TRUE(bar->Visible());
}

TEST(CommandBars, StoredPlacementRoundTrips) {
  Windows w;
  auto first = w.bars->Add({.Name = "Lumivane", .Temporary = true});
  first->Position(msoBarTop);
  first->Visible(true);
  first->Left(140);
  const long geometry[] = {first->Position(), first->RowIndex(), first->Left(),
                           first->Height(),   first->Top(),      first->Width()};

  // A second window places its bar from the stored values, in the order the add-in sets them.
  auto other = w.host.App()->OpenExplorer()->CommandBars()->Add({.Name = "Lumivane", .Temporary = true});
  other->Position(geometry[0]);
  other->RowIndex(geometry[1]);
  other->Left(geometry[2]);
  other->Height(geometry[3]);
  other->Top(geometry[4]);
  other->Width(geometry[5]);
  EXPECT_EQ(other->Position(), geometry[0]);
  EXPECT_EQ(other->RowIndex(), geometry[1]);
  EXPECT_EQ(other->Left(), geometry[2]);
  EXPECT_EQ(other->Height(), geometry[3]);
  EXPECT_EQ(other->Top(), geometry[4]);
  EXPECT_EQ(other->Width(), geometry[5]);
}

TEST(CommandBars, RowsAreKeptInRange) {
  Windows w;
  auto bar = w.bars->Add({.Name = "Mine"});
  bar->Position(msoBarTop);
  bar->Visible(true);
  struct Row {
    const char* name;
    long set;
    long want;
  };
  const Row rows[] = {
      {"first", msoBarRowFirst, 1}, {"past the last", 9, 3}, {"last", msoBarRowLast, 2}, {"second", 2, 2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    bar->RowIndex(row.set);
    EXPECT_EQ(bar->RowIndex(), row.want);
  }
  EXPECT_EQ(bar->Top(), kMenuBarHeight);  // sharing the standard toolbar's row
  bar->Top(500);                          // docked bars stay in their row
  EXPECT_EQ(bar->Top(), kMenuBarHeight);
  bar->Position(msoBarFloating);
  bar->Top(500);
  EXPECT_EQ(bar->Top(), 500);
  EXPECT_EQ(Raised([&] { bar->Position(msoBarPopup); }), kInvalidCall);
}

TEST(CommandBars, OlderObjectLibraryLacksPicturesMasksAndPopupStyle) {
  for (const char* version : {"9.0.0.2711", "11.0.0.8217"}) {
    SCOPED_TRACE(version);
    Windows w;
    w.host.App()->Version(version);
    const bool old = version[0] == '9';
    auto bar = w.bars->Add({.Name = "Lumivane", .Temporary = true});
    auto button = As<CommandBarButton>(bar->Controls()->Add({.Type = msoControlButton}));
    auto popup = As<CommandBarPopup>(bar->Controls()->Add({.Type = msoControlPopup}));
    auto face = Picture::FromPixels(1, 1, {0xFF0000});
    const Outcome want = old ? kMemberNotSupported : kNoError;
    EXPECT_EQ(Raised([&] { button->Picture(face); }), want);
    EXPECT_EQ(Raised([&] { button->Mask(face); }), want);
    EXPECT_EQ(Raised([&] { popup->Style(msoButtonCaption); }), want);
    EXPECT_EQ(Raised([&] { popup->Style(); }), want);
    EXPECT_EQ(Raised([&] { button->Style(msoButtonCaption); }), kNoError);
    EXPECT_EQ(Raised([&] { popup->CommandBar(); }), kNoError);
  }
}

TEST(CommandBars, OnUpdateFollowsVisibleChangesOnly) {
  Windows w;
  auto bar = w.bars->Add({.Name = "Lumivane", .Temporary = true});
  auto button = As<CommandBarButton>(bar->Controls()->Add({.Type = msoControlButton}));
  int updates = 0;
  auto sub = w.bars->OnUpdate.Subscribe([&] { ++updates; });
  struct Row {
    const char* name;
    std::function<void()> change;
    int raised;
  };
  const Row rows[] = {
      {"dock", [&] { bar->Position(msoBarTop); }, 1},
      {"show", [&] { bar->Visible(true); }, 1},
      {"show again", [&] { bar->Visible(true); }, 0},
      {"move", [&] { bar->Left(50); }, 1},
      {"customise caption", [&] { button->Caption("Preview"); }, 1},
      {"customise style", [&] { button->Style(msoButtonCaption); }, 1},
      {"tag", [&] { button->Tag("ExplWizard1"); }, 0},
      {"action", [&] { button->OnAction("!<Lumivane.Connect>"); }, 0},
      {"tooltip", [&] { button->TooltipText("tip"); }, 0},
      {"protection", [&] { bar->Protection(msoBarNoProtection); }, 0},
      {"hide", [&] { bar->Visible(false); }, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    updates = 0;
    row.change();
    EXPECT_EQ(updates, row.raised);
  }
  // A bar of another window does not raise this window's event.
  updates = 0;
  w.host.App()->OpenExplorer()->CommandBars()->Item("Standard")->Left(30);
  EXPECT_EQ(updates, 0);
}

TEST(CommandBars, TemporaryBarsVanishWithTheirWindow) {
  Windows w;
  auto bar = w.bars->Add({.Name = "Lumivane", .Temporary = true});
  auto button = bar->Controls()->Add({.Type = msoControlButton, .Temporary = true});
  w.host.App()->CloseExplorer(w.explorer);
  EXPECT_TRUE(bar->Deleted());
  EXPECT_EQ(Raised([&] { bar->Visible(); }), kObjectDeleted);
  EXPECT_EQ(Raised([&] { button->Caption(); }), kObjectDeleted);
  EXPECT_EQ(Raised([&] { w.bars->Item("Menu Bar"); }), kObjectDeleted);
  // The next window starts with the host's own bars only.
  EXPECT_EQ(Raised([&] { w.host.App()->OpenExplorer()->CommandBars()->Item("Lumivane"); }), kInvalidCall);
}

TEST(CommandBars, DeletingBarsAndControls) {
  Windows w;
  auto bar = w.bars->Add({.Name = "Lumivane", .Temporary = true});
  auto popup = As<CommandBarPopup>(bar->Controls()->Add({.Type = msoControlPopup}));
  auto entry = popup->CommandBar()->Controls()->Add({.Type = msoControlButton});
  entry->Caption("&Export...");
  auto tools = As<CommandBarPopup>(w.bars->Item("Menu Bar")->FindControl({.Id = kIdToolsMenuExplorer}));
  auto menuEntry = tools->Controls()->Add({.Type = msoControlButton, .Temporary = true});
  menuEntry->Caption("&Lumivane Settings...");
  const long before = tools->Controls()->Count();

  tools->Controls()->Item("&Lumivane Settings...")->Delete();
  EXPECT_EQ(tools->Controls()->Count(), before - 1);
  EXPECT_EQ(Raised([&] { menuEntry->Caption(); }), kObjectDeleted);

  w.bars->Item("Lumivane")->Delete();
  EXPECT_EQ(Raised([&] { w.bars->Item("Lumivane"); }), kInvalidCall);
  EXPECT_EQ(Raised([&] { entry->Caption(); }), kObjectDeleted);  // controls go with their bar
  EXPECT_EQ(Raised([&] { w.bars->Item("Menu Bar")->Delete(); }), kInvalidCall);
}

TEST(CommandBars, ClicksReachOnlyTheClickedControl) {
  Windows w;
  auto bar = w.bars->Add({.Name = "Lumivane", .Temporary = true});
  bar->Visible(true);
  auto a = As<CommandBarButton>(bar->Controls()->Add({.Type = msoControlButton}));
  auto b = As<CommandBarButton>(bar->Controls()->Add({.Type = msoControlButton}));
  // Two windows' controls sharing a tag must not be clicked together.
  a->Tag("ExplWizard1");
  b->Tag("ExplWizard1");
  std::vector<std::string> log;
  auto onA1 = a->Click.Subscribe([&](std::shared_ptr<CommandBarButton> ctrl, bool& cancel) {
    EXPECT_EQ(ctrl, a);
    EXPECT_FALSE(cancel);
    log.push_back("a/1");
  });
  auto onA2 = a->Click.Subscribe([&](std::shared_ptr<CommandBarButton>, bool&) { log.push_back("a/2"); });
  auto onB = b->Click.Subscribe([&](std::shared_ptr<CommandBarButton>, bool&) { log.push_back("b"); });
  EXPECT_TRUE(a->UserClick());
  EXPECT_EQ(log, (std::vector<std::string>{"a/1", "a/2"}));
  onA2.reset();
  log.clear();
  b->UserClick();
  EXPECT_EQ(log, (std::vector<std::string>{"b"}));

  bar->Visible(false);
  EXPECT_EQ(Raised([&] { a->UserClick(); }), (Outcome{5, "The control is not shown and cannot be clicked."}));

  // A menu entry is clickable while its menu is shown.
  auto tools = As<CommandBarPopup>(w.bars->FindControl({.Id = kIdToolsMenuExplorer}));
  auto entry = As<CommandBarButton>(tools->Controls()->Add({.Type = msoControlButton, .Temporary = true}));
  EXPECT_TRUE(entry->UserClick());
}

TEST(CommandBars, TypedAccessAndFaults) {
  Windows w;
  auto menu = w.bars->Item("Menu Bar");
  auto tools = menu->FindControl({.Id = kIdToolsMenuExplorer});
  EXPECT_EQ(Raised([&] { As<CommandBarButton>(tools); }), kTypeMismatch);
  EXPECT_EQ(As<CommandBarButton>(nullptr), nullptr);

  w.bars->Faults().FailNext("Add", 5);
  EXPECT_EQ(Raised([&] { w.bars->Add({.Name = "Lumivane"}); }), kInvalidCall);
  auto bar = w.bars->Add({.Name = "Lumivane"});
  bar->Faults().FailNext("Protection=", -2147467259, "Method 'Protection' of object 'CommandBar' failed");
  EXPECT_EQ(Raised([&] { bar->Protection(msoBarNoProtection); }),
            (Outcome{err::kFail, "Method 'Protection' of object 'CommandBar' failed"}));
  w.bars->Faults().FailNext("FindControl", 5);
  EXPECT_EQ(Raised([&] { w.bars->FindControl({.Id = kIdSend}); }), kInvalidCall);
}

TEST(Picture, ReadsTheSizeOfABitmapFile) {
  const auto dir = std::filesystem::temp_directory_path() / ("host_picture_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  // A 16 x 18 bitmap header, bottom-up.
  std::vector<unsigned char> bmp(54, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  bmp[18] = 16;
  bmp[22] = 18;
  {
    std::ofstream out(dir / "Face.BMP", std::ios::binary);
    out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    std::ofstream junk(dir / "junk.bmp");
    junk << "not a bitmap";
  }
  auto face = Picture::FromFile((dir / "face.bmp").string());  // found in any case
  EXPECT_EQ(face->Width(), 16);
  EXPECT_EQ(face->Height(), 18);
  EXPECT_EQ(Raised([&] { Picture::FromFile((dir / "junk.bmp").string()); }), (Outcome{481, "Invalid picture"}));
  EXPECT_EQ(Raised([&] { Picture::FromFile((dir / "none.bmp").string()); }), kFileNotFound);
  std::filesystem::remove_all(dir);
}

}  // namespace
