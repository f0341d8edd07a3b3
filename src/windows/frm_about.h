#pragma once
// The about box: the product's title in the caption, credits, and four links
// (the logo among them) that open web pages in the person's browser. The
// settings dialog shows its default instance modally; OK unloads it.

#include "platform/forms/form.h"

namespace lumivane {

class frmAbout : public platform::forms::Form {
 public:
  frmAbout() : Form("frmAbout") {}

  // The decorative shape that frames the window; first, so it lies beneath.
  platform::forms::FormControl<platform::forms::Frame> Shape1{this, "Shape1"};
  platform::forms::FormControl<platform::forms::Image> Picture1{this, "Picture1"};
  platform::forms::FormControl<platform::forms::Label> lblVersion{this, "lblVersion"};
  platform::forms::FormControl<platform::forms::Label> Label1{this, "Label1"};
  platform::forms::FormControl<platform::forms::Label> lblQuenstor{this, "lblQuenstor"};
  platform::forms::FormControl<platform::forms::Label> Label2{this, "Label2"};
  platform::forms::FormControl<platform::forms::Label> lblThankYou{this, "lblThankYou"};
  platform::forms::FormControl<platform::forms::Label> Label3{this, "Label3"};
  platform::forms::FormControl<platform::forms::Label> lblOutlookMPVs{this, "lblOutlookMPVs"};
  platform::forms::FormControl<platform::forms::CommandButton> cmdOK{this, "cmdOK"};

 protected:
  void Design() override;
  void Form_Load() override;
};

}  // namespace lumivane
