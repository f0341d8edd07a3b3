// The forms-library check box and label, the drop-down combo and the up-down
// with its buddy: values, the events code and a person raise, and what the
// console prints.

#include <gtest/gtest.h>

#include "platform/controls/updown.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/fm_check_box.h"
#include "platform/forms/fm_label.h"
#include "platform/forms/forms_fixture.h"

namespace {

using namespace forms_test;
using Events = std::vector<std::string>;
using platform::controls::UpDown;

class frmKinds : public Form {
 public:
  frmKinds() : Form("frmKinds") {}
  FormControl<msforms::CheckBox> chkHide{this, "chkHide"};
  FormControl<msforms::Label> lblLink{this, "lblLink"};
  FormControl<ComboBox> cboStyle{this, "cboStyle"};
  FormControl<TextBox> txtDelay{this, "txtDelay"};
  FormControl<UpDown> udDelay{this, "udDelay"};
  bool tickAtDesign = false;

 protected:
  void Design() override {
    Caption("Kinds");
    chkHide->Caption("Hide");
    chkHide->Value(tickAtDesign ? 1 : 0);  // no events at design
    chkHide->Change = [] { Log().push_back("chkHide_Change"); };
    chkHide->Click = [] { Log().push_back("chkHide_Click"); };
    lblLink->Caption("Browse...");
    for (const char* s : {"Office XP", "Office 2003", "Money"}) cboStyle->AddItem(s);
    cboStyle->Click = [this] { Log().push_back("cboStyle_Click " + cboStyle->Text()); };
    txtDelay->Change = [this] { Log().push_back("txtDelay_Change " + txtDelay->Text()); };
    udDelay->Min(100);
    udDelay->Max(9999);
    udDelay->Increment(100);
    udDelay->Value(1000);
    udDelay->BuddyControl(&*txtDelay);
  }
};

class Kinds : public FormsTest {
 protected:
  std::shared_ptr<frmKinds> Shown(bool tickAtDesign = false) {
    auto f = Default<frmKinds>();
    f->tickAtDesign = tickAtDesign;
    f->Show();
    Log().clear();
    return f;
  }
};

TEST_F(Kinds, AFormsLibraryCheckBoxReadsMinusOneOrZeroAndTellsEveryChange) {
  auto f = Shown(true);
  EXPECT_EQ(f->chkHide->Value(), -1);
  struct Row {
    long set;
    long reads;
    bool events;
  };
  // Any number but 0 ticks; only a change of state raises Change, then Click.
  const Row rows[] = {{1, -1, false}, {0, 0, true}, {0, 0, false}, {7, -1, true}, {-1, -1, false}, {0, 0, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.set);
    Log().clear();
    f->chkHide->Value(row.set);
    EXPECT_EQ(f->chkHide->Value(), row.reads);
    const Events want = row.events ? Events{"chkHide_Change", "chkHide_Click"} : Events{};
    EXPECT_EQ(Log(), want);
  }
  user::Click(*f->chkHide);
  EXPECT_EQ(f->chkHide->Value(), -1);
  EXPECT_EQ(f->ActiveControl(), &*f->chkHide);
  EXPECT_NE(DescribeForm(*f).find("chkHide  MSForms.CheckBox  [x] \"Hide\""), std::string::npos);
  EXPECT_NE(DescribeForm(*f).find("lblLink  MSForms.Label  \"Browse...\""), std::string::npos);
}

TEST_F(Kinds, ACombosClickComesFromAPersonOnlyNotFromCode) {
  auto f = Shown();
  EXPECT_EQ(f->cboStyle->ListIndex(), -1);
  EXPECT_EQ(f->cboStyle->Text(), "");
  f->cboStyle->ListIndex(2);
  EXPECT_EQ(f->cboStyle->Text(), "Money");
  EXPECT_EQ(Raised([&] { f->cboStyle->ListIndex(3); }), kInvalidPropertyValue);
  EXPECT_EQ(f->cboStyle->ListIndex(), 2);
  EXPECT_EQ(Log(), Events{});
  user::Choose(*f->cboStyle, "Office 2003");
  user::Choose(*f->cboStyle, 1);  // the same entry again still clicks
  EXPECT_EQ(Log(), (Events{"cboStyle_Click Office 2003", "cboStyle_Click Office 2003"}));
  EXPECT_EQ(Raised([&] { user::Choose(*f->cboStyle, "Vista"); }),
            (Outcome{5, "the list of 'cboStyle' has no entry \"Vista\""}));
  EXPECT_NE(DescribeForm(*f).find("ComboBox  \"Office 2003\" of \"Office XP\" | \"Office 2003\" | \"Money\""),
            std::string::npos);
  f->cboStyle->AddItem("First", 0);  // the chosen entry moves along
  EXPECT_EQ(f->cboStyle->Text(), "Office 2003");
  f->cboStyle->Clear();
  EXPECT_EQ(f->cboStyle->ListIndex(), -1);
  f->cboStyle->Enabled(false);
  EXPECT_EQ(Raised([&] { user::Choose(*f->cboStyle, 0); }),
            (Outcome{5, "a person cannot reach control 'cboStyle' of form 'frmKinds': it is hidden or disabled"}));
}

TEST_F(Kinds, TheUpDownStepsWhatTheBuddyShowsWithinItsLimits) {
  struct Row {
    const char* typed;
    bool up;
    const char* shows;
  };
  // Typed text is left as it is until an arrow is clicked; then it is held to 100..9999.
  const Row rows[] = {
      {"1000", true, "1100"}, {"1000", false, "900"}, {"9950", true, "9999"},  {"9999", true, "9999"},
      {"150", false, "100"},  {"100", false, "100"},  {"50000", true, "9999"}, {"0", true, "200"},
      {"-40", false, "100"},  {"abc", true, "1100"},  {"", false, "900"},      {"1234.6", true, "1335"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.typed) + (row.up ? " up" : " down"));
    DiscardAllForms();
    auto f = Shown();
    user::Paste(*f->txtDelay, row.typed);
    EXPECT_EQ(f->txtDelay->Text(), row.typed);
    Log().clear();
    row.up ? user::ClickUp(*f->udDelay) : user::ClickDown(*f->udDelay);
    EXPECT_EQ(f->txtDelay->Text(), row.shows);
    const Events want =
        row.typed == std::string(row.shows) ? Events{} : Events{"txtDelay_Change " + std::string(row.shows)};
    EXPECT_EQ(Log(), want);
  }
  auto f = Default<frmKinds>();
  EXPECT_NE(DescribeForm(*f).find("udDelay  UpDown  value 1335 (100 to 9999 by 100) buddy txtDelay"),
            std::string::npos);
  EXPECT_EQ(Raised([&] { f->udDelay->Value(10000); }), kInvalidPropertyValue);
  EXPECT_EQ(Raised([&] { f->udDelay->Increment(0); }), kInvalidPropertyValue);
  f->udDelay->Enabled(false);
  EXPECT_EQ(Raised([&] { user::ClickUp(*f->udDelay); }),
            (Outcome{5, "a person cannot reach control 'udDelay' of form 'frmKinds': it is hidden or disabled"}));
}

}  // namespace
