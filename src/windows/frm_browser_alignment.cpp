#include "windows/frm_browser_alignment.h"

#include <algorithm>

#include "runtime/convert.h"
#include "runtime/handlers.h"

namespace lumivane {

namespace forms = platform::forms;

void frmBrowserAlignment::Design() {
  Caption("Align Thumbnail Window...");
  BorderStyle(forms::vbFixedDialog);
  Width(3900);
  Height(2820);

  struct Row {
    forms::Label* label;
    forms::TextBox* box;
    const char* caption;
  };
  const Row rows[] = {{&*lblLeft, &*txtLeft, "Left:"},
                      {&*lblTop, &*txtTop, "Top:"},
                      {&*lblWidth, &*txtWidth, "Width:"},
                      {&*lblHeight, &*txtHeight, "Height:"}};
  float top = 150;
  for (const Row& row : rows) {
    row.label->Caption(row.caption);
    row.label->Move(240, top + 45, 900, 255);
    row.box->Move(1200, top, 1215, 315);
    top += 420;
  }
  cmdApply->Caption("&Apply");
  cmdApply->Move(2580, 150, 1095, 375);
  cmdApply->Default(true);
  cmdApply->Click = [this] { cmdApply_Click(); };
  cmdReset->Caption("&Reset");
  cmdReset->Move(2580, 600, 1095, 375);
  cmdReset->Click = [this] { cmdReset_Click(); };
  cmdClose->Caption("Close");
  cmdClose->Move(2580, 1410, 1095, 375);
  cmdClose->Cancel(true);
  cmdClose->Click = [this] { forms::Unload(*this); };
}

forms::Control* frmBrowserAlignment::ControlToAlign() const {
  auto owner = m_objOwner.lock();
  if (!owner || m_objControlToAlign == nullptr) return nullptr;
  const auto& live = owner->LiveControls();
  const bool there =
      std::any_of(live.begin(), live.end(), [&](const auto& c) { return c.get() == m_objControlToAlign; });
  return there ? m_objControlToAlign : nullptr;
}

void frmBrowserAlignment::ControlToAlign(forms::Control* control) {
  m_objControlToAlign = control;
  m_objOwner.reset();
  if (control == nullptr) return;
  m_objOwner = control->Parent().shared_from_this();
  runtime::ResumeNext rn;
  rn([&] { OrigHeight(runtime::CInt(static_cast<double>(control->Height()))); });
  rn([&] { OrigLeft(runtime::CInt(static_cast<double>(control->Left()))); });
  rn([&] { OrigTop(runtime::CInt(static_cast<double>(control->Top()))); });
  rn([&] { OrigWidth(runtime::CInt(static_cast<double>(control->Width()))); });
}

void frmBrowserAlignment::ShowOriginal() {
  runtime::ResumeNext rn;
  rn([&] { txtHeight->Text(runtime::CStr(static_cast<long>(OrigHeight()))); });
  rn([&] { txtLeft->Text(runtime::CStr(static_cast<long>(OrigLeft()))); });
  rn([&] { txtTop->Text(runtime::CStr(static_cast<long>(OrigTop()))); });
  rn([&] { txtWidth->Text(runtime::CStr(static_cast<long>(OrigWidth()))); });
}

void frmBrowserAlignment::Form_Load() { ShowOriginal(); }

void frmBrowserAlignment::cmdApply_Click() {
  runtime::ResumeNext rn;
  forms::Control* target = ControlToAlign();
  const auto apply = [&](void (forms::Control::*set)(float), forms::TextBox& box) {
    rn([&] {
      const float value = runtime::CSng(runtime::CDbl(box.Text()));
      if (target == nullptr) runtime::Raise(runtime::err::kObjectVariableNotSet);
      (target->*set)(value);
    });
  };
  apply(&forms::Control::Left, *txtLeft);
  apply(&forms::Control::Height, *txtHeight);
  apply(&forms::Control::Top, *txtTop);
  apply(&forms::Control::Width, *txtWidth);
}

void frmBrowserAlignment::cmdReset_Click() {
  ShowOriginal();
  cmdApply_Click();
}

void frmBrowserAlignment::Form_Unload(int&) {
  m_objControlToAlign = nullptr;
  m_objOwner.reset();
}

}  // namespace lumivane
