#include "windows/frm_about.h"

#include <string>

#include "runtime/handlers.h"
#include "settings/app.h"
#include "windows/window_helpers.h"

namespace lumivane {

namespace {

namespace forms = platform::forms;
using namespace windows;

// Blue, as links are drawn.
constexpr long kLinkColour = 0xFF0000;

void Link(forms::Control& link, std::string_view address) {
  link.Click = [address] { runtime::ResumeNext()([&] { OpenWebPage(address); }); };
  link.MouseMove = HandCursor();
}

void LinkLabel(forms::Label& label, std::string_view caption, std::string_view address) {
  label.Caption(std::string(caption));
  label.FontName("Arial");
  label.ForeColor(kLinkColour);
  Link(label, address);
}

}  // namespace

void frmAbout::Design() {
  FontName("Arial");
  BorderStyle(forms::vbFixedDialog);
  Width(5610);
  Height(3690);

  Shape1->Move(60, 60, 5400, 3195);
  Picture1->Picture("Logo");
  Picture1->Stretch(true);
  Picture1->Move(240, 240, 1200, 1200);
  // The logo's address ends in "/", the link label's does not.
  static const std::string kMakerHome = std::string(kMakerSite) + "/";
  Link(*Picture1, kMakerHome);

  lblVersion->Caption("Version Info");
  lblVersion->Move(1680, 240, 3500, 255);
  Label1->Caption("For product support and updates, please visit our web site:");
  Label1->Move(1680, 720, 3500, 435);
  LinkLabel(*lblQuenstor, kMakerSite, kMakerSite);
  lblQuenstor->ToolTipText("Click to visit " + std::string(kMakerSite));
  lblQuenstor->Move(1680, 1200, 3500, 255);
  Label2->Caption("A special thank you to ");
  // Wide enough that the "to" stays on the line in the desktop font.
  Label2->Move(240, 1800, 2160, 255);
  LinkLabel(*lblThankYou, kControlMakerName, kControlMakerSite);
  lblThankYou->Move(2400, 1800, 2900, 255);
  Label3->Caption("and to all of the ");
  Label3->Move(240, 2100, 1500, 255);
  LinkLabel(*lblOutlookMPVs, "Outlook MVPs.", kMvpPage);
  lblOutlookMPVs->ToolTipText(std::string(kMvpPage));
  lblOutlookMPVs->Move(1740, 2100, 2000, 255);

  cmdOK->Caption("OK");
  cmdOK->Default(true);
  cmdOK->Cancel(true);
  cmdOK->Move(4200, 2640, 1095, 375);
  cmdOK->Click = [this] { runtime::ResumeNext()([&] { forms::Unload(*this); }); };
}

void frmAbout::Form_Load() {
  auto eh = ErrorBox("Form_Load", runtime::ModuleKind::Form, "frmAbout");
  eh([&] { Caption("About " + std::string(App::Title)); });
}

}  // namespace lumivane
