// The end of a run: windows closing one by one, the last Explorer closing
// while an Inspector stays open, the host exiting, the user removing the
// add-in while windows are open, and the windows that shutdown unloads.

#include "outlook/addin_fixture.h"

namespace outlook_test {
namespace {

using lumivane::g_objOutAddIn;
using lumivane::g_objSettings;
namespace mo = lumivane::modOutlExpl;

// A window of the add-in that happens to be open at shutdown.
class frmProbe : public forms::Form {
 public:
  frmProbe() : Form("frmProbe") {}
};

TEST_F(AddInTest, ClosingEveryWindowWritesTheSettingsAndShutsDownOnce) {
  host->Start();
  auto first = FirstExplorer();
  auto second = App()->OpenExplorer();
  auto inspector = App()->OpenInspector(Mail("hello"));
  auto window = forms::Default<frmProbe>();
  forms::Load(*window);

  // The settings object carries a change until a window closes.
  g_objSettings->SlideShowInterval(9);
  EXPECT_EQ(Stored("SlideShowInterval"), "5");
  App()->CloseExplorer(second);
  EXPECT_EQ(Stored("SlideShowInterval"), "9");
  EXPECT_EQ(mo::ExplWraps().Count(), 1);
  EXPECT_EQ(mo::ExplWraps().KeyOf(1), "0");
  EXPECT_NE(lumivane::g_objOutlook, nullptr);

  // The last Explorer: shut down although an Inspector is still open.
  g_objSettings->SlideShowInterval(7);
  App()->CloseExplorer(first);
  EXPECT_EQ(Stored("SlideShowInterval"), "7");
  EXPECT_EQ(g_objSettings, nullptr);
  EXPECT_EQ(lumivane::g_objRegRoutines, nullptr);
  EXPECT_EQ(lumivane::g_objOutlook, nullptr);
  EXPECT_EQ(lumivane::g_objRDOSession, nullptr);
  EXPECT_EQ(lumivane::g_objImageViewers, nullptr);
  EXPECT_EQ(mo::g_colExplWraps, nullptr);
  EXPECT_EQ(mo::g_colInspWraps, nullptr);
  EXPECT_FALSE(window->IsLoaded());
  EXPECT_NE(g_objOutAddIn, nullptr);  // Connect still holds it
  EXPECT_TRUE(host->Running());

  // No more window events reach the add-in.
  App()->OpenExplorer();
  EXPECT_EQ(mo::g_colExplWraps, nullptr);
  EXPECT_FALSE(HasToolbar(App()->OpenExplorers().back()));

  registry->ClearCalls();
  EndHost();  // the disconnection shuts down again and finds little left
  EXPECT_EQ(g_objOutAddIn, nullptr);
  EXPECT_EQ(g_objSettings, nullptr);
  EXPECT_TRUE(registry->Calls().empty());  // no settings object was made again
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(AddInTest, TheHostExitsWithItsLastWindow) {
  host->Start();
  App()->CloseExplorer(FirstExplorer());
  EXPECT_FALSE(host->Running());
  EXPECT_EQ(g_objOutAddIn, nullptr);
  EXPECT_TRUE(host->EscapedErrors().empty());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(AddInTest, RemovingTheAddInDeletesItsBarsAndEntriesInEveryWindow) {
  host->Start();
  auto first = FirstExplorer();
  auto second = App()->OpenExplorer({.viewSwitch = true});  // gets an entry of its own
  auto third = App()->OpenExplorer();
  Toolbar(third)->Delete();  // already gone: passed over
  auto inspector = App()->OpenInspector(Mail("hello"));
  ASSERT_EQ(mo::InspWraps().Count(), 1);
  App()->Context()->ClearCalls();

  host->RemoveAddIn("Lumivane.Connect");
  for (const auto& e : {first, second, third}) {
    EXPECT_FALSE(HasToolbar(e));
    EXPECT_EQ(MenuEntry(e), nullptr);
  }
  std::vector<std::string> deleted;
  for (const auto& c : App()->Context()->Calls()) deleted.push_back(c.member + " " + c.detail);
  EXPECT_EQ(deleted,
            (std::vector<std::string>{"CommandBar.Delete Lumivane", "CommandBarControl.Delete &Lumivane Settings...",
                                      "CommandBar.Delete Lumivane", "CommandBarControl.Delete &Lumivane Settings...",
                                      "CommandBar.Delete Lumivane"}));  // the message window has no menu entry
  EXPECT_EQ(App()->OpenExplorers().size(), 3u);
  EXPECT_EQ(g_objOutAddIn, nullptr);
  EXPECT_EQ(g_objSettings, nullptr);
  EXPECT_EQ(mo::g_colExplWraps, nullptr);

  // The wrappers live on with their windows and meet empty globals quietly.
  first->Select({Mail("later")});
  second->SwitchView();
  App()->CloseExplorer(second);
  App()->CloseInspector(inspector);
  EXPECT_TRUE(host->EscapedErrors().empty());
  EndHost();
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(AddInTest, TheHeldNameConflictDialogGoesWhenReleased) {
  host->Start();
  auto held = std::make_shared<frmProbe>();
  forms::Load(*held);
  g_objOutAddIn->SaveAttachmentsForm(held);
  EXPECT_EQ(g_objOutAddIn->SaveAttachmentsForm(), held);
  g_objOutAddIn->SaveAttachmentsForm(nullptr);
  EXPECT_FALSE(held->IsLoaded());
  EXPECT_EQ(g_objOutAddIn->SaveAttachmentsForm(), nullptr);

  forms::Load(*held);
  g_objOutAddIn->SaveAttachmentsForm(held);
  g_objOutAddIn->ShutdownHandler();
  EXPECT_FALSE(held->IsLoaded());
  EXPECT_EQ(g_objOutAddIn->SaveAttachmentsForm(), nullptr);
}

}  // namespace
}  // namespace outlook_test
