// The outside controls the preview window places: the folder view of the web
// browser (listing, names, selection flags, what a person does, readiness),
// and the explorer bar (keys, refusals, redraw).

#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "../forms/forms_fixture.h"
#include "platform/controls/explorer_bar.h"
#include "platform/controls/image_list.h"
#include "platform/controls/web_browser.h"
#include "platform/forms/form.h"
#include "platform/registry/registry.h"
#include "support/temp_dir.h"

namespace controls_test {
namespace {

using namespace platform::controls;
namespace forms = platform::forms;
using forms_test::Outcome;
using forms_test::Raised;
using testsupport::kInvalidCall;
using testsupport::kMemberNotSupported;
using testsupport::kObjectNotSet;

// The toolbars' and the explorer bar's answer to a key that is not there.
const Outcome kElementNotFound{35601, "Element not found"};

class frmProbe : public forms::Form {
 public:
  frmProbe() : Form("frmProbe") {}
  forms::FormControl<WebBrowser> wb{this, "wb"};
  forms::FormControl<ExplorerBarCtl> pane{this, "pane"};
  forms::FormControl<ImageList> icons{this, "icons"};
};

class OutsideControls : public forms_test::FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    folder = tmp.MakeDir("pics");
    for (const char* name : {"b.JPG", "a.jpg", "Thumbs.db", "c.txt"}) tmp.Write(std::string("pics/") + name);
    form = std::make_shared<frmProbe>();
    form->Show();
  }
  void TearDown() override {
    ShellSettings() = {};
    Readiness() = {};
    FormsTest::TearDown();
  }
  std::string In(const std::string& name) const { return folder + "/" + name; }
  // The view as "name", focus ">" and selection "*".
  std::vector<std::string> View() {
    std::vector<std::string> out;
    auto view = form->wb->Document();
    const auto items = view->Folder()->Items();
    for (const auto& item : *items)
      out.push_back((view->HasFocus(*item) ? ">" : "") + item->Name() + (view->IsSelected(*item) ? "*" : ""));
    return out;
  }

  testsupport::TempDir tmp;
  std::string folder;
  std::shared_ptr<frmProbe> form;
};

TEST_F(OutsideControls, FolderViewListsSelectsAndAnswersAPerson) {
  auto& wb = *form->wb;
  wb.Navigate(folder);
  ASSERT_EQ(wb.ReadyState(), READYSTATE_COMPLETE);
  auto view = wb.Document();
  int changes = 0;
  auto sub = view->SelectionChanged.Subscribe([&] { ++changes; });
  EXPECT_EQ(View(), (std::vector<std::string>{"a.jpg", "b.JPG", "c.txt", "Thumbs.db"}));
  ShellSettings().hideKnownExtensions = true;
  EXPECT_EQ(View(), (std::vector<std::string>{"a", "b", "c", "Thumbs.db"}));
  EXPECT_EQ(view->Folder()->ParseName("b")->FileName(), "b.JPG");
  EXPECT_EQ(view->Folder()->ParseName("B.jpg")->FileName(), "b.JPG");
  EXPECT_EQ(view->Folder()->ParseName("d"), nullptr);
  EXPECT_EQ(view->Folder()->Items()->Item(4), nullptr);

  // The three calls that select one item: focus, deselect the others, select.
  auto b = view->Folder()->ParseName("b");
  view->SelectItem(view->Folder()->ParseName("a"), SVSI_SELECT);
  view->SelectItem(b, SVSI_FOCUSED);
  EXPECT_EQ(View(), (std::vector<std::string>{"a*", ">b", "c", "Thumbs.db"}));
  view->SelectItem(b, SVSI_DESELECTOTHERS);
  view->SelectItem(b, SVSI_SELECT);
  view->SelectItem(b, SVSI_SELECT);  // no change, no event
  EXPECT_EQ(View(), (std::vector<std::string>{"a", ">b*", "c", "Thumbs.db"}));
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(Raised([&] { view->SelectItem(nullptr, SVSI_SELECT); }), kObjectNotSet);
  EXPECT_EQ(Raised([&] { view->CurrentViewMode(2); }), kInvalidCall);

  // A person: Ctrl toggles, Shift selects a range, keys move, Enter runs the verb.
  forms::user::ClickFolderItem(wb, In("Thumbs.db"), 2);
  EXPECT_EQ(View(), (std::vector<std::string>{"a", "b*", "c", ">Thumbs.db*"}));
  forms::user::ClickFolderItem(wb, In("a.jpg"), 1);
  EXPECT_EQ(View(), (std::vector<std::string>{">a*", "b*", "c*", "Thumbs.db*"}));
  forms::user::PressFolderKey(wb, forms::vbKeyDown);
  EXPECT_EQ(View(), (std::vector<std::string>{"a", ">b*", "c", "Thumbs.db"}));
  bool answer = true;
  auto verb = view->DefaultVerbInvoked.Subscribe([&](bool& runShell) { runShell = answer; });
  forms::user::PressFolderKey(wb, forms::vbKeyReturn);
  answer = false;
  forms::user::DoubleClickFolderItem(wb, In("c.txt"));
  EXPECT_EQ(view->ShellActions(), std::vector<std::string>{In("b.JPG")});
  form->Hide();
  EXPECT_EQ(Raised([&] { forms::user::ClickFolderItem(wb, In("a.jpg")); }),
            (Outcome{5, "a person cannot reach form 'frmProbe': it is not shown"}));
}

TEST(ShellViewSettings, WebViewShownUnlessTheValueIsTheNumberZero) {
  namespace reg = platform::registry;
  constexpr std::string_view kAdvanced = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
  struct Case {
    const char* what;
    std::optional<std::pair<long, reg::ByteArray>> value;
    bool shown;
  };
  const Case cases[] = {
      {"no value", std::nullopt, true},
      {"0", std::pair<long, reg::ByteArray>{reg::REG_DWORD, {0, 0, 0, 0}}, false},
      {"1", std::pair<long, reg::ByteArray>{reg::REG_DWORD, {1, 0, 0, 0}}, true},
      {"256", std::pair<long, reg::ByteArray>{reg::REG_DWORD, {0, 1, 0, 0}}, true},
      {"text 0", std::pair<long, reg::ByteArray>{reg::REG_SZ, {'0', 0}}, true},
  };
  auto previous = reg::Current();
  for (const Case& c : cases) {
    auto registry = std::make_shared<reg::Registry>();
    if (c.value) registry->Seed(reg::HKEY_CURRENT_USER, kAdvanced, "WebView", c.value->first, c.value->second);
    reg::SetCurrent(registry);
    EXPECT_EQ(ShellSettings().WebViewShown(), c.shown) << c.what;
  }
  reg::SetCurrent(previous);
}

TEST_F(OutsideControls, BrowserReadiness) {
  struct Row {
    const char* name;
    BrowserReadiness readiness;
    bool validPath;
    int readsToReady;  // -1: never
  };
  const Row rows[] = {
      {"at once", {}, true, 0},
      {"after three reads", {BrowserReadiness::Kind::AfterReads, 3}, true, 3},
      {"never", {BrowserReadiness::Kind::Never, 0}, true, -1},
      {"no folder there", {}, false, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Readiness() = row.readiness;
    form->wb->Navigate(row.validPath ? folder : In("missing"));
    int reads = 0;
    while (form->wb->ReadyState() < READYSTATE_INTERACTIVE && reads < 10) ++reads;
    EXPECT_EQ(reads, row.readsToReady < 0 ? 10 : row.readsToReady);
    EXPECT_EQ(form->wb->Document() != nullptr, row.readsToReady >= 0);
  }
}

TEST_F(OutsideControls, ExplorerBarKeysRefusalsAndOneRepaintPerRedraw) {
  auto& pane = *form->pane;
  form->icons->Add("200.bmp", "Hide");
  pane.ItemImages(&*form->icons);
  EXPECT_EQ(form->icons->IndexOf("Hide"), 0);
  EXPECT_EQ(Raised([&] { form->icons->Picture(1); }), (Outcome{35600, "Index out of bounds"}));
  EXPECT_EQ(Raised([&] { form->icons->Left(); }), kMemberNotSupported);

  auto bar = pane.AddBar("DETAILS", "Picture Info");
  bar->AddItem("FileName", "one");
  bar->AddItem("Size", "two");
  EXPECT_EQ(Raised([&] { bar->AddItem("filename", "again"); }), (Outcome{35602, "Key is not unique in collection"}));
  EXPECT_EQ(Raised([&] { bar->Item("Missing"); }), kElementNotFound);
  EXPECT_EQ(Raised([&] { bar->RemoveItem("Missing"); }), kElementNotFound);
  EXPECT_EQ(Raised([&] { pane.Bar("DCF"); }), kElementNotFound);

  const long before = pane.Repaints();
  pane.Redraw(false);
  bar->Item("filename")->Text("three");
  bar->RemoveItem("Size");
  bar->AddItem("Size", "back at the end");
  pane.Redraw(true);
  pane.Redraw(false);
  pane.Redraw(true);  // nothing changed since
  EXPECT_EQ(pane.Repaints(), before + 1);
  EXPECT_EQ(pane.Describe(),
            "at 0,0 size 0x0 twips, 1 bar\n      bar DETAILS \"Picture Info\"\n        \"three\"\n        \"back at "
            "the end\"");

  std::vector<std::string> clicked;
  pane.ItemClick = [&](const std::shared_ptr<ExplorerBarItem>& itm) { clicked.push_back(itm->Key()); };
  forms::user::ClickExplorerBarItem(pane, "details", "SIZE");
  forms::user::ClickExplorerBarTitle(pane, "DETAILS");
  EXPECT_EQ(Raised([&] { forms::user::ClickExplorerBarItem(pane, "DETAILS", "Size"); }),
            (Outcome{5, "a person cannot reach the items of bar 'DETAILS': it is collapsed"}));
  EXPECT_EQ(clicked, std::vector<std::string>{"Size"});
}

}  // namespace
}  // namespace controls_test
