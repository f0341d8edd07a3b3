#include "platform/forms/controls.h"

#include <gtest/gtest.h>

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
