#include "platform/forms/controls.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/forms/probe_form.h"

namespace {

using namespace forms_test;
using Events = std::vector<std::string>;

class Controls : public FormsTest {
 protected:
  std::shared_ptr<frmProbe> Shown() {
    auto f = Default<frmProbe>();
    f->Show();
    Log().clear();
    return f;
  }
};

TEST_F(Controls, OptionButtonsOfOneContainerFormAGroup) {
  auto f = Shown();
  f->optA->Value(true);
  f->optOther->Value(true);  // another container: A stays
  f->optA->Value(true);      // selected already: no Click
  EXPECT_EQ(Log(), (Events{"optA_Click", "optOther_Click"}));
  user::Click(*f->optB);
  EXPECT_FALSE(f->optA->Value());
  EXPECT_TRUE(f->optB->Value());
  EXPECT_TRUE(f->optOther->Value());
  user::Click(*f->optB);  // a person clicking the selected one changes nothing
  EXPECT_EQ(Log(), (Events{"optA_Click", "optOther_Click", "optB_Click"}));
  EXPECT_EQ(f->ActiveControl(), &*f->optB);
}

TEST_F(Controls, ACheckBoxRaisesClickWhenItsValueChangesByCodeOrByHand) {
  auto f = Shown();
  f->chkFlag->Value(vbChecked);
  f->chkFlag->Value(vbChecked);
  user::Click(*f->chkFlag);
  EXPECT_EQ(Log(), (Events{"chkFlag_Click 1", "chkFlag_Click 0"}));
  EXPECT_EQ(Raised([&] { f->chkFlag->Value(3); }), kInvalidPropertyValue);
  EXPECT_EQ(f->chkFlag->Value(), vbUnchecked);
}

TEST_F(Controls, TypingGoesThroughKeyPressAndATextChangeRaisesChange) {
  auto f = Shown();
  f->onKeyPress = [](int& k) {
    if (k == '/' || k == '?') k = 0;  // a rejected character is discarded
  };
  f->txtName->Text("a");
  f->txtName->Text("a");  // unchanged: no Change
  user::Type(*f->txtName, "b/c?\b");
  EXPECT_EQ(f->txtName->Text(), "ab");
  EXPECT_EQ(Log(), (Events{"txtName_Change a", "txtName_Change ab", "txtName_Change abc", "txtName_Change ab"}));
  Log().clear();
  user::Paste(*f->txtName, "x/y");  // a paste passes KeyPress by
  EXPECT_EQ(f->txtName->Text(), "x/y");
  EXPECT_EQ(Log(), Events{"txtName_Change x/y"});
  EXPECT_EQ(f->ActiveControl(), &*f->txtName);
}

// Ctrl with a letter reaches KeyPress as its control code, as on the
// original platform, and never types the letter.
TEST_F(Controls, CtrlKeysReachKeyPressAsControlCodes) {
  struct Row {
    int keyCode, shift, want;  // want 0: no KeyPress
  };
  const Row rows[] = {
      {vbKeyA, vbCtrlMask, 1},     {vbKeyC, vbCtrlMask, 3},  {vbKeyV, vbCtrlMask, 22},
      {vbKeyX, vbCtrlMask, 24},    {vbKeyZ, vbCtrlMask, 26}, {vbKeyA, vbCtrlMask | vbShiftMask, 1},
      {vbKeyA, vbAltMask, 0},      {vbKeyA, 0, 'a'},         {vbKeyA, vbShiftMask, 'A'},
      {vbKeyLeft, vbShiftMask, 0},
  };
  auto f = Shown();
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.keyCode) + " shift " + std::to_string(row.shift));
    int seen = 0;
    f->onKeyPress = [&](int& k) {
      seen = k;
      if (k < 32) k = 0;  // cancelled with what it does
    };
    f->txtName->Text("path");
    f->txtName->SetFocus();
    user::PressKey(*f, row.keyCode, row.shift);
    EXPECT_EQ(seen, row.want);
    EXPECT_EQ(f->txtName->Text(), row.want >= 32 ? "path" + std::string(1, static_cast<char>(row.want)) : "path");
  }
}

// What a person's keys do to a text box: a row is a start text, keys
// (^X Ctrl+X, +Left Shift+Left, 'abc typed) and the text and selection after.
TEST_F(Controls, ATextBoxEditsAtTheCaretWithSelectionClipboardAndUndo) {
  struct Row {
    const char* name;
    std::vector<std::string> keys;
    std::string text;
    long selStart, selLength;
  };
  const Row rows[] = {
      {"Ctrl+A then typing replaces all", {"^A", "'x"}, "x", 1, 0},
      {"typing goes in at the caret", {"Left", "Left", "'é"}, "/home/éab", 7, 0},
      {"Shift with arrows selects, Ctrl+X cuts, Ctrl+V pastes",
       {"Home", "+Right", "+Right", "^X", "End", "^V"},
       "ome/ab/h",
       8,
       0},
      {"Shift+Home selects back to the start", {"Left", "+Home"}, "/home/ab", 0, 7},
      {"an arrow ends a selection at its edge", {"^A", "Left", "'x"}, "x/home/ab", 1, 0},
      {"Ctrl+C copies, nothing changes", {"^A", "^C", "End", "^V"}, "/home/ab/home/ab", 16, 0},
      {"Delete and backspace", {"Home", "Del", "End", "BS"}, "home/a", 6, 0},
      {"Ctrl+Z undoes a run of typing at once", {"'xyz", "^Z"}, "/home/ab", 8, 0},
      {"a second Ctrl+Z redoes", {"'xyz", "^Z", "^Z"}, "/home/abxyz", 11, 0},
      {"Ctrl+Z undoes a cut", {"^A", "^X", "^Z"}, "/home/ab", 0, 8},
      {"a cancelled Ctrl+A selects nothing", {"!", "^A", "'x"}, "/home/abx", 9, 0},
      {"a cancelled Ctrl+V pastes nothing", {"^A", "^C", "!", "^V"}, "/home/ab", 0, 8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto f = Shown();
    f->onKeyPress = nullptr;
    f->txtName->Text("/home/ab");
    f->txtName->SetFocus();
    for (const std::string& key : row.keys) {
      static const std::map<std::string, std::pair<int, int>> kKeys = {
          {"Left", {vbKeyLeft, 0}},
          {"Home", {vbKeyHome, 0}},
          {"End", {vbKeyEnd, 0}},
          {"+Right", {vbKeyRight, vbShiftMask}},
          {"+Home", {vbKeyHome, vbShiftMask}},
          {"Del", {vbKeyDelete, 0}},
          {"BS", {vbKeyBack, 0}},
      };
      if (key == "!") {
        f->onKeyPress = [](int& k) {
          if (k < 32) k = 0;
        };
      } else if (key[0] == '\'') {
        user::Type(*f->txtName, key.substr(1));
      } else if (key[0] == '^') {
        user::PressKey(*f, key[1], vbCtrlMask);
      } else {
        user::PressKey(*f, kKeys.at(key).first, kKeys.at(key).second);
      }
    }
    EXPECT_EQ(f->txtName->Text(), row.text);
    EXPECT_EQ(f->txtName->SelStart(), row.selStart);
    EXPECT_EQ(f->txtName->SelLength(), row.selLength);
    Unload(*f);
  }
}

TEST_F(Controls, SelStartSelLengthAndSelTextByCode) {
  auto f = Shown();
  f->txtName->Text("abcdef");
  EXPECT_EQ(f->txtName->SelStart(), 6);  // a text set by code leaves the caret at its end
  f->txtName->SelStart(1);
  f->txtName->SelLength(99);  // stops at the end
  EXPECT_EQ(f->txtName->SelText(), "bcdef");
  f->txtName->SelLength(2);
  Log().clear();
  f->txtName->SelText("XY!");
  EXPECT_EQ(f->txtName->Text(), "aXY!def");
  EXPECT_EQ(f->txtName->SelStart(), 4);
  EXPECT_EQ(Log(), Events{"txtName_Change aXY!def"});
  EXPECT_EQ(Raised([&] { f->txtName->SelStart(-1); }), kInvalidPropertyValue);
  EXPECT_EQ(Raised([&] { f->txtName->SelLength(-1); }), kInvalidPropertyValue);
}

TEST_F(Controls, AFormThatPreviewsKeysSeesThemFirst) {
  auto f = Shown();
  f->KeyPreview(true);
  user::Type(*f->txtName, "a!");
  EXPECT_EQ(f->txtName->Text(), "a");  // the form discarded '!'
  EXPECT_EQ(Log(), (Events{"Form_KeyPress 97", "txtName_Change a", "Form_KeyPress 33"}));
  Log().clear();
  f->txtName->Visible(false);  // no focus now
  user::PressKey(*f, vbKeyRight);
  EXPECT_EQ(Log(), Events{"Form_KeyUp 39"});
}

TEST_F(Controls, EnterClicksTheDefaultButtonAndEscTheCancelButton) {
  auto f = Shown();
  f->txtName->SetFocus();
  user::PressKey(*f, vbKeyReturn);
  EXPECT_EQ(Log(), Events{"cmdOK_Click"});
  user::PressKey(*f, vbKeyEscape);
  EXPECT_EQ(Log(), (Events{"cmdOK_Click", "cmdCancel_Click", "Form_QueryUnload 1", "Form_Unload"}));
  EXPECT_FALSE(f->IsLoaded());
}

TEST_F(Controls, TheTimerFiresEveryIntervalWhileEnabledAndItsFormLoaded) {
  auto f = Shown();
  f->tmrTick->Interval(1000);
  loop->Wait(999);
  EXPECT_TRUE(Log().empty());
  loop->Wait(1001);
  EXPECT_EQ(Log(), (Events{"tmrTick_Timer", "tmrTick_Timer"}));
  // Re-enabling starts a full interval again.
  loop->Wait(500);
  f->tmrTick->Enabled(false);
  f->tmrTick->Enabled(true);
  loop->Wait(999);
  EXPECT_EQ(Log().size(), 2u);
  loop->Wait(1);
  EXPECT_EQ(Log().size(), 3u);
  // A handler that stops its timer, and an unload, end the ticks.
  f->onTick = [&] { f->tmrTick->Enabled(false); };
  loop->Wait(5000);
  EXPECT_EQ(Log().size(), 4u);
  f->tmrTick->Enabled(true);
  f->onTick = nullptr;
  Unload(*f);
  Log().clear();
  loop->Wait(5000);
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(loop->ActiveTimers(), 0u);
}

TEST_F(Controls, TimerLimitsAndMembersItLacks) {
  auto f = Default<frmProbe>();
  EXPECT_EQ(Raised([&] { f->tmrTick->Interval(65536); }), kInvalidPropertyValue);
  EXPECT_EQ(Raised([&] { f->tmrTick->Interval(-1); }), kInvalidPropertyValue);
  f->tmrTick->Interval(65535);
  EXPECT_EQ(Raised([&] { f->tmrTick->Left(); }), kMemberNotSupported);
  EXPECT_EQ(Raised([&] { f->tmrTick->TabIndex(); }), kMemberNotSupported);
  EXPECT_EQ(Raised([&] { f->imgHelp->TabIndex(); }), kMemberNotSupported);
  f->tmrTick->Interval(0);  // zero never fires
  loop->Wait(100000);
  EXPECT_EQ(Log(), Events{"Form_Load"});
}

TEST_F(Controls, ControlArraysLoadElementsAtRunTimeWithTheFirstElementsProperties) {
  auto f = Default<frmProbe>();
  f->lblRow(0).Caption("row");
  f->lblRow(0).FontName("Arial");
  EXPECT_EQ(f->lblRow.LBound(), 0);
  EXPECT_EQ(f->lblRow.UBound(), 1);
  f->lblRow.Load(2);
  Label& added = f->lblRow(2);
  EXPECT_EQ(added.Caption(), "row");
  EXPECT_EQ(added.FontName(), "Arial");
  EXPECT_FALSE(added.Visible());
  EXPECT_EQ(added.Index(), 2);
  EXPECT_EQ(f->lblRow.UBound(), 2);
  EXPECT_EQ(Raised([&] { f->lblRow.Load(2); }), (Outcome{360, "Object already loaded"}));
  EXPECT_EQ(Raised([&] { f->lblRow(7); }), (Outcome{340, "Control array element '7' doesn't exist"}));
  EXPECT_EQ(Raised([&] { f->lblRow.Unload(1); }), (Outcome{362, "Can't unload controls created at design time"}));

  f->Show();
  added.Visible(true);
  user::Click(added);  // wired like the design-time elements
  user::Click(f->lblRow(0));
  EXPECT_EQ(Log().back(), "lblRow_Click 0");
  EXPECT_EQ(*(Log().end() - 2), "lblRow_Click 2");

  f->lblRow.Unload(2);
  EXPECT_EQ(f->lblRow.Count(), 2);
  Unload(*f);
  EXPECT_EQ(f->lblRow.UBound(), 1);  // a new load has the design-time elements only
}

TEST_F(Controls, TheControlsCollectionHoldsEveryControlInTheOrderMade) {
  auto f = Default<frmProbe>();
  std::vector<std::string> names;
  for (Control* c : f->Controls()) names.push_back(c->Name() + (c->Index() >= 0 ? std::to_string(c->Index()) : ""));
  EXPECT_EQ(names, (std::vector<std::string>{"lblInfo", "fraOptions", "optA", "optB", "optOther", "chkFlag", "txtName",
                                             "cmdOK", "cmdCancel", "imgHelp", "tmrTick", "lblRow0", "lblRow1"}));
  for (Control* c : f->Controls()) EXPECT_EQ(c->Tag(), "");
}

TEST_F(Controls, TabIndexMovesAControlAndTheFirstInTabOrderGetsTheFocus) {
  auto f = Default<frmProbe>();
  EXPECT_EQ(f->cmdOK->TabIndex(), 0);    // moved there at design
  EXPECT_EQ(f->lblInfo->TabIndex(), 1);  // the others renumbered behind it
  f->cmdOK->Enabled(false);
  f->Show();
  EXPECT_EQ(f->ActiveControl(), &*f->optA);  // the first that can take the focus
  f->txtName->TabIndex(1);
  EXPECT_EQ(f->txtName->TabIndex(), 1);
  EXPECT_EQ(f->lblInfo->TabIndex(), 2);
  EXPECT_EQ(Raised([&] { f->cmdOK->SetFocus(); }), kInvalidCall);
  EXPECT_EQ(Raised([&] { f->lblInfo->SetFocus(); }), kInvalidCall);
  f->Hide();
  EXPECT_EQ(Raised([&] { f->txtName->SetFocus(); }), kInvalidCall);
}

TEST_F(Controls, APersonCannotReachHiddenFormsOrHiddenOrDisabledControls) {
  auto f = Default<frmProbe>();
  EXPECT_EQ(Raised([&] { user::Click(*f->cmdOK); }),
            (Outcome{5, "a person cannot reach form 'frmProbe': it is not shown"}));  // loaded, not shown
  f->Show();
  f->cmdOK->Enabled(false);
  f->fraOptions->Visible(false);
  EXPECT_EQ(Raised([&] { user::Click(*f->cmdOK); }),
            (Outcome{5, "a person cannot reach control 'cmdOK' of form 'frmProbe': it is hidden or disabled"}));
  EXPECT_EQ(
      Raised([&] { user::Click(*f->optA); }),
      (Outcome{5, "a person cannot reach control 'optA' of form 'frmProbe': it is hidden or disabled"}));  // its frame
                                                                                                           // is hidden
  user::Click(*f->optOther);
  EXPECT_EQ(Log().back(), "optOther_Click");
}

}  // namespace

namespace {

using namespace forms_test;

// Values at design raise nothing; the same values set in Form_Load do.
class frmDesigned : public Form {
 public:
  frmDesigned() : Form("frmDesigned") {}
  FormControl<OptionButton> optIncNum{this, "optIncNum"};
  FormControl<CheckBox> chkHide{this, "chkHide"};
  FormControl<TextBox> txtDelay{this, "txtDelay"};

 protected:
  void Design() override {
    txtDelay->FontName("Courier");
    FontName("Arial");
    optIncNum->Click = [] { Log().push_back("optIncNum_Click"); };
    chkHide->Click = [] { Log().push_back("chkHide_Click"); };
    txtDelay->Change = [] { Log().push_back("txtDelay_Change"); };
    optIncNum->Value(true);
    txtDelay->Text("1000");
  }
  void Form_Load() override {
    chkHide->Value(vbChecked);
    txtDelay->Text("5");
  }
};

class DesignTime : public FormsTest {};

TEST_F(DesignTime, DesignValuesRaiseNoEventsButFormLoadChangesDo) {
  auto f = Default<frmDesigned>();
  EXPECT_TRUE(f->optIncNum->Value());
  EXPECT_EQ(Log(), (std::vector<std::string>{"chkHide_Click", "txtDelay_Change"}));
  // Controls take the form's font at design unless they have one of their own.
  EXPECT_EQ(f->chkHide->FontName(), "Arial");
  EXPECT_EQ(f->txtDelay->FontName(), "Courier");
  f->FontName("Tahoma");  // at run time the controls keep theirs
  EXPECT_EQ(f->chkHide->FontName(), "Arial");
}

}  // namespace
