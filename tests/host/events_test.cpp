#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/addin.h"
#include "support/raised.h"

namespace {

using host::Host;
using host::ItemData;
using testsupport::Outcome;
using testsupport::Raised;

struct World {
  Host host;
  std::shared_ptr<host::Folder> inbox = host.Store()->AddFolder("Inbox");
  std::shared_ptr<host::Item> received = inbox->AddItem(ItemData{.itemClass = host::olMail, .subject = "Photos"});
  std::vector<std::string> log;
  std::vector<runtime::Subscription> subs;
};

TEST(EventOrder, OpeningAReceivedItem) {
  World w;
  auto app = w.host.App();
  std::shared_ptr<host::Inspector> seen;
  w.subs.push_back(app->Inspectors()->NewInspector.Subscribe([&](std::shared_ptr<host::Inspector> i) {
    seen = i;
    w.log.push_back("NewInspector class=" + std::to_string(i->CurrentItem()->Class()) +
                    " count=" + std::to_string(app->Inspectors()->Count()));
    i->Display();  // shows it, but the host's own Activate comes after Open
    w.subs.push_back(i->Activate.Subscribe([&] { w.log.push_back("Activate"); }));
  }));
  w.subs.push_back(w.received->Open.Subscribe([&](bool&) { w.log.push_back("Open"); }));

  auto inspector = app->OpenInspector(w.received);
  EXPECT_EQ(inspector, seen);
  EXPECT_EQ(w.log, (std::vector<std::string>{"NewInspector class=43 count=1", "Open", "Activate"}));
  EXPECT_EQ(w.received->GetInspector(), inspector);
  // Opening it again brings the same window forward.
  EXPECT_EQ(app->OpenInspector(w.received), inspector);
  EXPECT_EQ(w.log.back(), "Activate");
  EXPECT_EQ(app->Inspectors()->Count(), 1);
}

TEST(EventOrder, ClosingAnInspectorCountsItDuringTheItemsClose) {
  World w;
  auto app = w.host.App();
  auto inspector = app->OpenInspector(w.received);
  w.subs.push_back(w.received->Close.Subscribe(
      [&](bool&) { w.log.push_back("Item.Close count=" + std::to_string(app->Inspectors()->Count())); }));
  w.subs.push_back(inspector->Close.Subscribe(
      [&] { w.log.push_back("Inspector.Close count=" + std::to_string(app->Inspectors()->Count())); }));
  // A person's File > Close closes it as the host's own close does.
  auto close = host::As<host::CommandBarButton>(inspector->CommandBars()->FindControl({.Id = host::kIdCloseItem}));
  ASSERT_NE(close, nullptr);
  EXPECT_TRUE(close->UserClick());
  EXPECT_EQ(w.log, (std::vector<std::string>{"Item.Close count=1", "Inspector.Close count=1"}));
  EXPECT_TRUE(inspector->Closed());
  EXPECT_EQ(app->Inspectors()->Count(), 0);
  EXPECT_EQ(w.received->GetInspector(), nullptr);
  EXPECT_THROW(inspector->WindowState(), runtime::Error);  // a closed window's members raise
  EXPECT_EQ(w.received->Subject(), "Photos");              // the item itself lives on
}

TEST(EventOrder, ClosingAnExplorerNoLongerCountsIt) {
  World w;
  auto app = w.host.App();
  auto first = app->OpenExplorer();
  auto second = app->OpenExplorer();
  EXPECT_EQ(app->ActiveExplorer(), second);
  w.subs.push_back(second->Close.Subscribe([&] {
    w.log.push_back("Close count=" + std::to_string(app->Explorers()->Count()));
    w.log.push_back(app->ActiveExplorer() == first ? "active=first" : "active=?");
  }));
  app->CloseExplorer(second);
  EXPECT_EQ(w.log, (std::vector<std::string>{"Close count=1", "active=first"}));
  EXPECT_EQ(Raised([&] { second->Selection(); }),  // a closed Explorer raises
            (Outcome{host::err::kObjectDeleted, std::string(host::text::kObjectDeleted)}));
  app->CloseExplorer(first);
  EXPECT_EQ(app->ActiveExplorer(), nullptr);
}

TEST(EventOrder, NewExplorerThenViewSwitchThenSelectionChange) {
  for (bool viewSwitch : {false, true}) {
    SCOPED_TRACE(viewSwitch ? "with a view switch" : "without");
    World w;
    auto app = w.host.App();
    auto old = app->OpenExplorer();
    std::shared_ptr<host::Explorer> fresh;
    w.subs.push_back(app->Explorers()->NewExplorer.Subscribe([&](std::shared_ptr<host::Explorer> e) {
      fresh = e;
      // The new window is not active yet: the one before it still is.
      w.log.push_back(app->ActiveExplorer() == old ? "NewExplorer (old active)" : "NewExplorer");
      w.subs.push_back(e->ViewSwitch.Subscribe(
          [&] { w.log.push_back(app->ActiveExplorer() == fresh ? "ViewSwitch (new active)" : "ViewSwitch"); }));
      w.subs.push_back(e->SelectionChange.Subscribe(
          [&] { w.log.push_back("SelectionChange " + std::to_string(fresh->Selection()->Count())); }));
    }));
    app->OpenExplorer({.selection = {w.received}, .viewSwitch = viewSwitch});
    std::vector<std::string> want{"NewExplorer (old active)"};
    if (viewSwitch) want.push_back("ViewSwitch (new active)");
    want.push_back("SelectionChange 1");
    EXPECT_EQ(w.log, want);
    fresh->SwitchView();
    fresh->Select({});
    EXPECT_EQ(w.log.back(), "SelectionChange 0");
  }
}

TEST(EventOrder, ComposingAndSending) {
  World w;
  auto app = w.host.App();
  auto drafts = w.host.Store()->AddFolder("Drafts");
  std::shared_ptr<host::Item> item;
  w.subs.push_back(app->Inspectors()->NewInspector.Subscribe([&](std::shared_ptr<host::Inspector> i) {
    item = i->CurrentItem();
    w.log.push_back("NewInspector sent=" + std::string(item->Sent() ? "1" : "0") + " id='" + item->EntryID() + "'");
    w.subs.push_back(item->Open.Subscribe([&](bool&) { w.log.push_back("Open"); }));
    w.subs.push_back(item->AttachmentAdd.Subscribe(
        [&](std::shared_ptr<host::Attachment> a) { w.log.push_back("AttachmentAdd " + a->FileName()); }));
    w.subs.push_back(item->Close.Subscribe([&](bool&) { w.log.push_back("Close"); }));
  }));
  auto inspector = app->Compose(ItemData{.itemClass = host::olMail, .subject = "Hello"}, drafts);
  ASSERT_TRUE(inspector);
  item->AddAttachment({.fileName = "C:\\photos\\beach.jpg", .content = host::TextContent("jpeg")});
  item->AddOnSend({.fileName = "Outlook.jpg", .content = host::TextContent("stationery")});

  auto send = host::As<host::CommandBarButton>(inspector->CommandBars()->FindControl({.Id = host::kIdSend}));
  ASSERT_TRUE(send);
  bool clicked = false;
  auto click = send->Click.Subscribe([&](std::shared_ptr<host::CommandBarButton>, bool&) { clicked = true; });
  EXPECT_TRUE(send->UserClick());
  EXPECT_TRUE(clicked);
  EXPECT_EQ(w.log, (std::vector<std::string>{"NewInspector sent=0 id=''", "Open", "AttachmentAdd beach.jpg",
                                             "AttachmentAdd Outlook.jpg", "Close"}));
  EXPECT_TRUE(item->Sent());
  EXPECT_FALSE(item->EntryID().empty());
  EXPECT_EQ(drafts->Items()->Count(), 1);
  EXPECT_TRUE(inspector->Closed());
}

TEST(EventOrder, CancelDefaultKeepsTheItemUnsent) {
  World w;
  auto app = w.host.App();
  auto inspector = app->Compose(ItemData{.subject = "Draft"});
  auto send = host::As<host::CommandBarButton>(inspector->CommandBars()->FindControl({.Id = host::kIdSend}));
  auto click = send->Click.Subscribe([](std::shared_ptr<host::CommandBarButton>, bool& cancel) { cancel = true; });
  EXPECT_FALSE(send->UserClick());
  EXPECT_FALSE(inspector->CurrentItem()->Sent());
  EXPECT_FALSE(inspector->Closed());
}

TEST(EventOrder, ReceivedItemsHaveNoSendButton) {
  World w;
  auto inspector = w.host.App()->OpenInspector(w.received);
  EXPECT_EQ(inspector->CommandBars()->FindControl({.Id = host::kIdSend}), nullptr);
}

TEST(EventOrder, CancellingOpenKeepsTheWindowShut) {
  World w;
  auto app = w.host.App();
  auto sub = w.received->Open.Subscribe([](bool& cancel) { cancel = true; });
  EXPECT_EQ(app->OpenInspector(w.received), nullptr);
  EXPECT_EQ(app->Inspectors()->Count(), 0);
  EXPECT_EQ(w.received->GetInspector(), nullptr);
}

// A wrapper that unregisters itself and drops its window inside the window's
// own Close: both must live until the handler returns.
struct Wrapper : std::enable_shared_from_this<Wrapper> {
  std::vector<std::shared_ptr<Wrapper>>* registry = nullptr;
  std::shared_ptr<host::Explorer> explorer;
  runtime::Subscription onClose;
  bool ranToEnd = false;
  void Close() {
    registry->clear();
    explorer.reset();
    onClose.reset();
    ranToEnd = true;
  }
};

TEST(KeepAlive, AHandlerMayDropItsWindowAndItself) {
  World w;
  auto app = w.host.App();
  std::vector<std::shared_ptr<Wrapper>> registry;
  std::weak_ptr<Wrapper> watch;
  {
    auto wrapper = std::make_shared<Wrapper>();
    wrapper->registry = &registry;
    wrapper->explorer = app->OpenExplorer();
    Wrapper* raw = wrapper.get();
    wrapper->onClose = wrapper->explorer->Close.Subscribe([raw] { raw->Close(); }, wrapper);
    watch = wrapper;
    registry.push_back(std::move(wrapper));
  }
  app->CloseExplorer(registry.front()->explorer);
  EXPECT_TRUE(registry.empty());
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(app->Explorers()->Count(), 0);
}

TEST(KeepAlive, AHandlerMayCloseTheWindowThatActivated) {
  World w;
  auto app = w.host.App();
  std::vector<runtime::Subscription> subs;
  subs.push_back(app->Inspectors()->NewInspector.Subscribe([&](std::shared_ptr<host::Inspector> i) {
    std::weak_ptr<host::Inspector> weak = i;
    subs.push_back(i->Activate.Subscribe([app, weak] { app->CloseInspector(weak.lock()); }));
  }));
  auto inspector = app->OpenInspector(w.received);
  EXPECT_TRUE(inspector->Closed());
  EXPECT_EQ(app->Inspectors()->Count(), 0);
}

TEST(EscapedErrors, AFailingSinkIsRecordedAndTheOthersStillRun) {
  World w;
  auto app = w.host.App();
  auto inspector = app->Compose(ItemData{.subject = "x"});
  auto item = inspector->CurrentItem();
  int second = 0;
  auto a = item->AttachmentAdd.Subscribe([](std::shared_ptr<host::Attachment>) { runtime::Raise(5); });
  auto b = item->AttachmentAdd.Subscribe([&](std::shared_ptr<host::Attachment>) { ++second; });
  auto c = item->Close.Subscribe([](bool&) { throw std::runtime_error("boom"); });
  item->AddAttachment({.fileName = "a.png"});
  EXPECT_EQ(second, 1);
  EXPECT_TRUE(app->CloseInspector(inspector));
  const auto& escaped = w.host.EscapedErrors();
  ASSERT_EQ(escaped.size(), 2u);
  EXPECT_EQ(escaped[0].event, "Item.AttachmentAdd");
  EXPECT_EQ(escaped[0].number, 5);
  EXPECT_EQ(escaped[1].event, "Item.Close");
  EXPECT_EQ(escaped[1].number, runtime::err::kInternalError);
  EXPECT_EQ(escaped[1].description, "boom");
}

TEST(Inspector, WindowStateGeometryAndRefusals) {
  World w;
  auto inspector = w.host.App()->OpenInspector(w.received, {.windowState = host::OlWindowState::olMaximized});
  EXPECT_EQ(inspector->WindowState(), host::OlWindowState::olMaximized);
  inspector->WindowState(host::OlWindowState::olNormalWindow);
  inspector->Left(-8);  // left of the screen's edge is allowed
  EXPECT_EQ(inspector->Left(), -8);

  inspector->Faults().FailNext("WindowState=", host::err::kFail, std::string(host::text::kUnableToSetWindowState));
  EXPECT_EQ(Raised([&] { inspector->WindowState(host::OlWindowState::olMinimized); }),
            (Outcome{host::err::kFail, std::string(host::text::kUnableToSetWindowState)}));
  EXPECT_EQ(inspector->WindowState(), host::OlWindowState::olNormalWindow);  // reading is unaffected
  inspector->WindowState(host::OlWindowState::olMinimized);                  // only the next call failed

  inspector->Faults().FailNext("Display", host::err::kUnexpected);
  EXPECT_THROW(inspector->Display(), runtime::Error);
  EXPECT_NO_THROW(inspector->Display());  // shown already: nothing happens
}

TEST(Application, VersionGetNamespaceAndNothingSeams) {
  World w;
  auto app = w.host.App();
  app->Version("9.0.0.2711");
  EXPECT_EQ(app->Version(), "9.0.0.2711");
  app->Faults().FailNext("Version", host::err::kFail);
  EXPECT_THROW(app->Version(), runtime::Error);
  EXPECT_EQ(app->GetNamespace("MAPI"), app->Session());
  EXPECT_THROW(app->GetNamespace("OTHER"), runtime::Error);
  EXPECT_TRUE(app->Session()->MAPIOBJECT());
  app->Faults().ReturnNothing("Explorers");
  EXPECT_EQ(app->Explorers(), nullptr);
  EXPECT_EQ(app->ActiveExplorer(), nullptr);  // none open
}

TEST(Explorer, SelectionMayBeRefused) {
  World w;
  auto explorer = w.host.App()->OpenExplorer({.selection = {w.received}});
  EXPECT_EQ(explorer->Selection()->Item(1), w.received);
  EXPECT_EQ(explorer->CurrentFolder(), w.inbox);
  explorer->Faults().FailAlways("Selection", host::err::kFail, "The operation failed.");
  EXPECT_THROW(explorer->Selection(), runtime::Error);
  EXPECT_THROW(explorer->Selection(), runtime::Error);
  explorer->Faults().ReturnNothing("CommandBars");
  EXPECT_EQ(explorer->CommandBars(), nullptr);
}

}  // namespace
