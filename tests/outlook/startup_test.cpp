// Whole runs of the host with the add-in: registration, connection with and
// without a window, the start-up refusals, the wrapper registry, the last
// window closing, and removal of the add-in while windows are open.

#include "host/store.h"
#include "outlook/addin_fixture.h"

namespace outlook_test {
namespace {

using lumivane::g_objOutAddIn;
using lumivane::g_objSettings;
namespace mo = lumivane::modOutlExpl;

TEST_F(AddInTest, SelfRegistrationIsWhatTheHostLoads) {
  auto regs = host::ReadAddInRegistrations();
  ASSERT_EQ(regs.size(), 1u);
  EXPECT_EQ(regs[0].progId, "Lumivane.Connect");
  EXPECT_EQ(regs[0].friendlyName, "Lumivane");
  EXPECT_EQ(regs[0].description,
            "A Microsoft Outlook utility to view thumbnails and slideshows of image attachments, as well as "
            "powerful general attachment handling features.");
  EXPECT_EQ(regs[0].loadBehavior, 3);
  host->Start();
  ASSERT_EQ(host->AddIns().size(), 1u);
  EXPECT_TRUE(host->LoadFailures().empty());
}

TEST_F(AddInTest, WithoutAWindowItStaysIdleAndTheDisconnectionStillLoadsTheSettings) {
  host->Start({.explorer = false});
  EXPECT_EQ(g_objOutAddIn, nullptr);
  EXPECT_EQ(g_objSettings, nullptr);
  EXPECT_FALSE(registry->HasKey(reg::HKEY_CURRENT_USER, kSettingsKey));
  App()->OpenExplorer();  // no hook: nothing is wrapped
  EXPECT_FALSE(HasToolbar(FirstExplorer()));

  EndHost();
  // The add-in object is made only to be shut down, and its settings object
  // reads and writes the whole key on the way.
  EXPECT_EQ(Stored("SlideShowInterval"), "5");
  EXPECT_EQ(g_objOutAddIn, nullptr);
  EXPECT_EQ(g_objSettings, nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(AddInTest, StartsWithOneExplorer) {
  host->Start();
  ASSERT_NE(g_objOutAddIn, nullptr);
  EXPECT_EQ(lumivane::g_strProgID, "Lumivane.Connect");
  EXPECT_EQ(lumivane::g_objOutlook, App());
  ASSERT_NE(lumivane::g_objRDOSession, nullptr);
  EXPECT_EQ(lumivane::g_objRDOSession->MAPIOBJECT(), App()->Session()->MAPIOBJECT());
  EXPECT_FALSE(lumivane::g_blnOutlook2000);
  EXPECT_TRUE(g_objOutAddIn->Enabled());
  EXPECT_EQ(g_objOutAddIn->TempFolderPath(), tmp / "home/.local/share/Quenstor/Lumivane/Temporary Picture Files");
  EXPECT_NE(lumivane::g_objTempFolder, nullptr);
  ASSERT_NE(lumivane::g_objImageViewers, nullptr);
  EXPECT_GE(lumivane::g_objImageViewers->Count(), 1);
  EXPECT_EQ(lumivane::g_colViewers->Count() + lumivane::g_colBrowsers->Count(), lumivane::g_objImageViewers->Count());
  ASSERT_EQ(mo::ExplWraps().Count(), 1);
  EXPECT_EQ(mo::ExplWraps().KeyOf(1), "0");
  EXPECT_EQ(mo::ExplWraps().Item("0")->Explorer(), FirstExplorer());
  EXPECT_EQ(mo::g_intExplKey, 1);
  EXPECT_TRUE(HasToolbar(FirstExplorer()));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(host->EscapedErrors().empty());
}

TEST_F(AddInTest, InitHandlerRefusesWithACriticalBox) {
  struct Row {
    const char* name;
    std::function<void(AddInTest&)> arrange;
    Box box;
  };
  const std::vector<Row> rows = {
      {"no Application",
       [](AddInTest& t) { t.host->PassNoApplication(true); },
       {"An internal Outlook error has occurred (olApp Is Nothing).  The Lumivane will be disabled.", 16,
        "Error in OutAddIn.InitHandler"}},
      {"no Explorers",
       [](AddInTest& t) { t.App()->Faults().ReturnNothing("Explorers"); },
       {"An internal Outlook error has occurred (olApp.Explorers is Nothing).  Lumivane will be disabled.", 16,
        "Error in OutAddin.InitHandler"}},
      {"Explorers unreadable",
       [](AddInTest& t) { t.App()->Explorers()->Faults().FailNext("Count", host::err::kFail, "", 2); },
       {"An internal Outlook error has occurred (Explorers = 0).  Lumivane  will be disabled.", 16,
        "Error in OutAddin.InitHandler"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Restart();
    row.arrange(*this);
    host->Start();
    EXPECT_EQ(Boxes(), std::vector<Box>{row.box});
    EXPECT_NE(g_objOutAddIn, nullptr);  // loaded, but inactive
    EXPECT_FALSE(HasToolbar(FirstExplorer()));
    EXPECT_EQ(mo::ExplWraps().Count(), 0);
    boxes->ClearLog();
  }
}

TEST_F(AddInTest, AMissingSessionObjectIsSkippedSilently) {
  classes->FailCreate("LMVUtils.LMVRDOSession");
  host->Start();
  EXPECT_EQ(lumivane::g_objRDOSession, nullptr);
  EXPECT_TRUE(HasToolbar(FirstExplorer()));
  EXPECT_NE(lumivane::g_objImageViewers, nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(AddInTest, OnlyMailAndPostInspectorsAreWrapped) {
  host->Start();
  for (long itemClass : {host::olAppointment, host::olMail, host::olContact, host::olTask, host::olNote, host::olPost,
                         host::olMeetingRequest})
    App()->OpenInspector(Mail("item", itemClass));
  ASSERT_EQ(mo::InspWraps().Count(), 2);
  EXPECT_EQ(mo::InspWraps().KeyOf(1), "0");
  EXPECT_EQ(mo::InspWraps().Item("0")->Inspector()->CurrentItem()->Class(), host::olMail);
  EXPECT_EQ(mo::InspWraps().Item("1")->Inspector()->CurrentItem()->Class(), host::olPost);
}

TEST_F(AddInTest, WrapperKeysAreNeverReusedAndStopAt32767) {
  host->Start();
  auto second = App()->OpenExplorer();
  App()->CloseExplorer(second);
  App()->OpenExplorer();
  EXPECT_EQ(mo::ExplWraps().KeyOf(1), "0");
  EXPECT_EQ(mo::ExplWraps().KeyOf(2), "2");

  // A key registered to another wrapper is left alone.
  auto first = mo::ExplWraps().Item("0");
  mo::RemoveExplorerWrapper(2, first);
  EXPECT_EQ(mo::ExplWraps().Count(), 2);

  mo::g_intExplKey = 32766;
  App()->OpenExplorer();
  EXPECT_EQ(mo::g_intExplKey, 32767);
  App()->OpenExplorer();  // the increment overflows: the key stays
  EXPECT_EQ(mo::g_intExplKey, 32767);
  auto unregistered = App()->OpenExplorer();  // duplicate key: the window keeps its toolbar, unregistered
  EXPECT_EQ(mo::ExplWraps().Count(), 4);
  EXPECT_TRUE(HasToolbar(unregistered));
  App()->CloseExplorer(unregistered);
  EXPECT_EQ(mo::ExplWraps().Count(), 4);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(AddInTest, AnExplorerWithoutCommandBarsIsWrappedWithoutAToolbar) {
  auto window = App()->OpenExplorer();  // already open when the add-in connects
  window->Faults().FailNext("CommandBars", host::err::kFail);
  host->Start({.explorer = false});
  ASSERT_EQ(mo::ExplWraps().Count(), 1);
  EXPECT_FALSE(HasToolbar(window));
  App()->CloseExplorer(window);
  EXPECT_EQ(mo::g_colExplWraps, nullptr);  // unregistered, then the shutdown released the registry
  EXPECT_EQ(g_objSettings, nullptr);
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace outlook_test
