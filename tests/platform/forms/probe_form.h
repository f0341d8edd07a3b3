#pragma once
// A small form that logs its events, with one control of each kind.

#include <functional>
#include <string>

#include "platform/forms/forms_fixture.h"

namespace forms_test {

class frmProbe : public Form {
 public:
  frmProbe() : Form("frmProbe") { ++Alive(); }
  ~frmProbe() override { --Alive(); }
  static int& Alive() {
    static int alive = 0;
    return alive;
  }

  FormControl<Label> lblInfo{this, "lblInfo"};
  FormControl<Frame> fraOptions{this, "fraOptions"};
  FormControl<OptionButton> optA{this, "optA"};
  FormControl<OptionButton> optB{this, "optB"};
  FormControl<OptionButton> optOther{this, "optOther"};
  FormControl<CheckBox> chkFlag{this, "chkFlag"};
  FormControl<TextBox> txtName{this, "txtName"};
  FormControl<CommandButton> cmdOK{this, "cmdOK"};
  FormControl<CommandButton> cmdCancel{this, "cmdCancel"};
  FormControl<Image> imgHelp{this, "imgHelp"};
  FormControl<Timer> tmrTick{this, "tmrTick"};
  FormControlArray<Label> lblRow{this, "lblRow", {0, 1}};

  // Own members: touching them does not load the form.
  long CallingMode() const { return callingMode_; }
  void CallingMode(long value) { callingMode_ = value; }
  bool Cancelled() const { return cancelled_; }

  // Test hooks run inside handlers.
  std::function<void()> onOK;
  std::function<void()> onTick;
  std::function<void(int&)> onKeyPress;
  int cancelQueryUnload = 0;
  bool maximisedAtDesign = false;
  float widthAtLoad = 0;

 protected:
  void Design() override {
    Caption("Probe");
    Width(6000);
    Height(4000);
    if (maximisedAtDesign) WindowState(FormWindowState::vbMaximized);
    lblInfo->Caption("design");
    optA->Caption("A");
    optA->Container(&*fraOptions);
    optB->Caption("B");
    optB->Container(&*fraOptions);
    optOther->Caption("Other");
    txtName->KeyPress = [this](int& k) {
      if (onKeyPress) onKeyPress(k);
    };
    txtName->Change = [this] { Log().push_back("txtName_Change " + txtName->Text()); };
    cmdOK->Caption("OK");
    cmdOK->Default(true);
    cmdOK->TabIndex(0);
    cmdOK->Click = [this] {
      Log().push_back("cmdOK_Click");
      if (onOK) onOK();
    };
    cmdCancel->Caption("Cancel");
    cmdCancel->Cancel(true);
    cmdCancel->Click = [this] {
      Log().push_back("cmdCancel_Click");
      cancelled_ = true;
      Unload(*this);
    };
    optA->Click = [] { Log().push_back("optA_Click"); };
    optB->Click = [] { Log().push_back("optB_Click"); };
    optOther->Click = [] { Log().push_back("optOther_Click"); };
    chkFlag->Click = [this] { Log().push_back("chkFlag_Click " + std::to_string(chkFlag->Value())); };
    tmrTick->Tick = [this] {
      Log().push_back("tmrTick_Timer");
      if (onTick) onTick();
    };
    lblRow.Wire([](Label& l) { l.Click = [&l] { Log().push_back("lblRow_Click " + std::to_string(l.Index())); }; });
  }
  void Form_Load() override {
    widthAtLoad = Width();
    Log().push_back("Form_Load");
  }
  void Form_Activate() override { Log().push_back("Form_Activate"); }
  void Form_Resize() override { Log().push_back("Form_Resize"); }
  void Form_QueryUnload(int& Cancel, int UnloadMode) override {
    Log().push_back("Form_QueryUnload " + std::to_string(UnloadMode));
    Cancel = cancelQueryUnload;
  }
  void Form_Unload(int& Cancel) override { Log().push_back("Form_Unload"); }
  void Form_KeyUp(int& KeyCode, int& Shift) override { Log().push_back("Form_KeyUp " + std::to_string(KeyCode)); }
  void Form_KeyPress(int& KeyAscii) override {
    Log().push_back("Form_KeyPress " + std::to_string(KeyAscii));
    if (KeyAscii == '!') KeyAscii = 0;
  }

 private:
  long callingMode_ = 0;
  bool cancelled_ = false;
};

}  // namespace forms_test
