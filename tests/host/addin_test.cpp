#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/addin.h"
#include "host/rdo.h"
#include "platform/registry/registry.h"

namespace {

using namespace host;

// An add-in that writes down what the host tells it.
struct Recorder : AddinInstance {
  std::vector<std::string>* log = nullptr;
  std::string name;
  std::shared_ptr<Application> app;
  bool failConnect = false;

  void Note(const std::string& s) { log->push_back(name + " " + s); }
  void OnConnection(std::shared_ptr<Application> application, long mode, std::shared_ptr<COMAddIn> inst,
                    Custom&) override {
    app = application;
    Note("OnConnection mode=" + std::to_string(mode) + " progid=" + inst->ProgId() +
         " app=" + (application ? "yes" : "no") +
         " explorers=" + (application ? std::to_string(application->Explorers()->Count()) : "-"));
    if (failConnect) runtime::Raise(91);
  }
  void OnDisconnection(long mode, Custom&) override {
    Note("OnDisconnection " + std::to_string(mode) +
         " windows=" + std::to_string(app ? app->OpenExplorers().size() + app->OpenInspectors().size() : 0));
  }
  void OnAddInsUpdate(Custom&) override { Note("OnAddInsUpdate"); }
  void OnStartupComplete(Custom&) override { Note("OnStartupComplete"); }
  void OnBeginShutdown(Custom&) override { Note("OnBeginShutdown"); }
};

struct Connection : ::testing::Test {
  std::shared_ptr<platform::com::ClassRegistry> classes = std::make_shared<platform::com::ClassRegistry>();
  std::vector<std::string> log;
  std::vector<std::shared_ptr<Recorder>> made;
  std::vector<AddInRegistration> registrations;
  std::unique_ptr<Host> host = std::make_unique<Host>();

  void SetUp() override {
    platform::com::SetClassRegistry(classes);
    host->AddInSource([this] { return registrations; });
    host->Store()->AddFolder("Inbox");
  }
  void TearDown() override { platform::com::SetClassRegistry(nullptr); }

  void Register(const std::string& progId, long loadBehavior = kLoadAtStartup, bool failConnect = false) {
    registrations.push_back({progId, progId, "description of " + progId, loadBehavior});
    classes->Register(progId, [this, progId, failConnect] {
      auto r = std::make_shared<Recorder>();
      r->log = &log;
      r->name = progId;
      r->failConnect = failConnect;
      made.push_back(r);
      return r;
    });
  }
};

TEST_F(Connection, ConnectsAtStartupAndDisconnectsOnExit) {
  Register("A.Connect");
  Register("B.Connect", 2);  // not loaded at start-up
  Register("C.Connect");
  host->Start();
  EXPECT_EQ(log, (std::vector<std::string>{"A.Connect OnConnection mode=1 progid=A.Connect app=yes explorers=1",
                                           "C.Connect OnConnection mode=1 progid=C.Connect app=yes explorers=1",
                                           "A.Connect OnStartupComplete", "C.Connect OnStartupComplete"}));
  ASSERT_EQ(host->AddIns().size(), 2u);
  EXPECT_TRUE(host->AddIns()[0].addIn->Connect());
  EXPECT_EQ(host->AddIns()[0].addIn->Description(), "description of A.Connect");
  log.clear();
  host->Exit();
  EXPECT_EQ(log, (std::vector<std::string>{"A.Connect OnBeginShutdown", "C.Connect OnBeginShutdown",
                                           "A.Connect OnDisconnection 0 windows=0",
                                           "C.Connect OnDisconnection 0 windows=0"}));
  EXPECT_FALSE(host->Running());
  EXPECT_THROW(made[0]->app->Explorers(), runtime::Error);  // the host has ended
}

TEST_F(Connection, StartsWithoutAWindow) {
  Register("A.Connect");
  host->Start({.explorer = false});
  EXPECT_EQ(log.front(), "A.Connect OnConnection mode=1 progid=A.Connect app=yes explorers=0");
  host->PassNoApplication(true);
  host->Exit();
  EXPECT_EQ(log.back(), "A.Connect OnDisconnection 0 windows=0");
}

TEST_F(Connection, AnAddInThatCannotBeCreatedIsSkipped) {
  Register("A.Connect");
  registrations.push_back({"Missing.Connect", "", "", kLoadAtStartup});
  Register("C.Connect");
  classes->FailCreate("C.Connect");
  host->Start();
  ASSERT_EQ(host->LoadFailures().size(), 2u);
  EXPECT_EQ(host->LoadFailures()[0].progId, "Missing.Connect");
  EXPECT_EQ(host->LoadFailures()[0].number, runtime::err::kCannotCreateObject);
  EXPECT_EQ(host->LoadFailures()[1].progId, "C.Connect");
  EXPECT_EQ(host->AddIns().size(), 1u);
}

TEST_F(Connection, FailuresLeavingConnectionEventsComeBackToTheHost) {
  Register("A.Connect", kLoadAtStartup, true);
  host->PassNoApplication(true);
  host->Start();
  EXPECT_EQ(log, (std::vector<std::string>{"A.Connect OnConnection mode=1 progid=A.Connect app=no explorers=-",
                                           "A.Connect OnStartupComplete"}));
  ASSERT_EQ(host->EscapedErrors().size(), 1u);
  EXPECT_EQ(host->EscapedErrors()[0].event, "AddinInstance.OnConnection");
  EXPECT_EQ(host->EscapedErrors()[0].number, 91);
}

TEST_F(Connection, RemovalDisconnectsWithOneAndLeavesTheWindowsOpen) {
  Register("A.Connect");
  Register("B.Connect");
  host->Start();
  host->App()->OpenInspector(host->Store()->FindFolder("Inbox")->AddItem({}));
  log.clear();
  host->RemoveAddIn("a.connect");
  EXPECT_EQ(log, (std::vector<std::string>{"A.Connect OnDisconnection 1 windows=2", "B.Connect OnAddInsUpdate"}));
  EXPECT_EQ(host->AddIns().size(), 1u);
  EXPECT_TRUE(host->Running());
  log.clear();
  host->RemoveAddIn("A.Connect");  // gone already: nothing happens
  EXPECT_TRUE(log.empty());
}

TEST_F(Connection, TheHostEndsWithItsLastWindow) {
  Register("A.Connect");
  host->Start();
  auto app = host->App();
  auto inspector = app->OpenInspector(host->Store()->FindFolder("Inbox")->AddItem({}));
  // Closing the last Explorer while an Inspector is open keeps the host running.
  app->CloseExplorer(app->ActiveExplorer());
  EXPECT_TRUE(host->Running());
  EXPECT_EQ(app->ActiveExplorer(), nullptr);
  log.clear();
  app->CloseInspector(inspector);
  EXPECT_FALSE(host->Running());
  EXPECT_EQ(log, (std::vector<std::string>{"A.Connect OnBeginShutdown", "A.Connect OnDisconnection 0 windows=0"}));
}

TEST_F(Connection, ExitClosesTheWindowsFirst) {
  Register("A.Connect");
  host->Start();
  auto app = host->App();
  app->OpenInspector(host->Store()->FindFolder("Inbox")->AddItem({}));
  std::vector<runtime::Subscription> subs;
  subs.push_back(app->OpenInspectors()[0]->Close.Subscribe([&] { log.push_back("Inspector.Close"); }));
  subs.push_back(app->OpenExplorers()[0]->Close.Subscribe([&] { log.push_back("Explorer.Close"); }));
  log.clear();
  host->Exit();
  EXPECT_EQ(log, (std::vector<std::string>{"Inspector.Close", "Explorer.Close", "A.Connect OnBeginShutdown",
                                           "A.Connect OnDisconnection 0 windows=0"}));
}

TEST(Registration, AddInsAreReadFromTheMachineRegistry) {
  namespace reg = platform::registry;
  auto registry = std::make_shared<reg::Registry>();
  reg::SetCurrent(registry);
  const std::string key = std::string(kAddInsKey) + "\\";
  EXPECT_EQ(WriteAddInRegistration({"Lumivane.Connect", "Lumivane", "A utility", kLoadAtStartup}), 0);
  EXPECT_EQ(registry->Peek(reg::HKEY_LOCAL_MACHINE, key + "Lumivane.Connect", "LoadBehavior")->data, reg::DwordData(3));
  EXPECT_EQ(WriteAddInRegistration({"Bad\\Name", "", "", kLoadAtStartup}), reg::ERROR_INVALID_PARAMETER);
  registry->Seed(reg::HKEY_LOCAL_MACHINE, key + "Other.Connect", "LoadBehavior", reg::REG_DWORD, reg::DwordData(2));
  registry->SeedKey(reg::HKEY_LOCAL_MACHINE, key + "Bare.Connect");

  const auto found = ReadAddInRegistrations();
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].progId, "Bare.Connect");
  EXPECT_EQ(found[0].loadBehavior, 0);
  EXPECT_EQ(found[1].progId, "Lumivane.Connect");
  EXPECT_EQ(found[1].friendlyName, "Lumivane");
  EXPECT_EQ(found[1].description, "A utility");
  EXPECT_EQ(found[1].loadBehavior, kLoadAtStartup);
  EXPECT_EQ(found[2].loadBehavior, 2);

  // The host loads the one with load behaviour 3 whose ProgID is registered.
  auto classes = std::make_shared<platform::com::ClassRegistry>();
  platform::com::SetClassRegistry(classes);
  std::vector<std::string> log;
  classes->Register("Lumivane.Connect", [&log] {
    auto r = std::make_shared<Recorder>();
    r->log = &log;
    r->name = "L";
    return r;
  });
  {
    Host host;
    host.Start({.explorer = false});
    ASSERT_EQ(host.AddIns().size(), 1u);
    EXPECT_EQ(host.AddIns()[0].addIn->ProgId(), "Lumivane.Connect");
    EXPECT_EQ(host.AddIns()[0].addIn->Description(), "A utility");
    host.Exit();
  }
  EXPECT_EQ(log.size(), 4u);
  platform::com::SetClassRegistry(nullptr);
  reg::SetCurrent(nullptr);
}

}  // namespace
