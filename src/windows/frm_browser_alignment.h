#pragma once
// frmBrowserAlignment, "Align Thumbnail Window...": places one control of
// another window by hand. It shows the control's left, top, width and
// height (twips) in four text boxes, applies typed values at once and can
// put back the geometry the control had when it was handed in. The preview
// window opens it, in debug mode, for its thumbnail area.

#include <cstdint>
#include <memory>

#include "platform/forms/form.h"

namespace lumivane {

class frmBrowserAlignment : public platform::forms::Form {
 public:
  frmBrowserAlignment() : Form("frmBrowserAlignment") {}

  template <class T>
  using Ctl = platform::forms::FormControl<T>;
  Ctl<platform::forms::Label> lblLeft{this, "lblLeft"};
  Ctl<platform::forms::TextBox> txtLeft{this, "txtLeft"};
  Ctl<platform::forms::Label> lblTop{this, "lblTop"};
  Ctl<platform::forms::TextBox> txtTop{this, "txtTop"};
  Ctl<platform::forms::Label> lblWidth{this, "lblWidth"};
  Ctl<platform::forms::TextBox> txtWidth{this, "txtWidth"};
  Ctl<platform::forms::Label> lblHeight{this, "lblHeight"};
  Ctl<platform::forms::TextBox> txtHeight{this, "txtHeight"};
  Ctl<platform::forms::CommandButton> cmdApply{this, "cmdApply"};
  Ctl<platform::forms::CommandButton> cmdReset{this, "cmdReset"};
  Ctl<platform::forms::CommandButton> cmdClose{this, "cmdClose"};

  // ---- public members, in slot order (own members: they load nothing) ----
  std::int16_t OrigLeft() const { return m_intOrigLeft; }
  void OrigLeft(std::int16_t value) { m_intOrigLeft = value; }
  std::int16_t OrigTop() const { return m_intOrigTop; }
  void OrigTop(std::int16_t value) { m_intOrigTop = value; }
  std::int16_t OrigHeight() const { return m_intOrigHeight; }
  void OrigHeight(std::int16_t value) { m_intOrigHeight = value; }
  std::int16_t OrigWidth() const { return m_intOrigWidth; }
  void OrigWidth(std::int16_t value) { m_intOrigWidth = value; }
  // The control being aligned; nullptr when none, or when its window has
  // gone since it was handed in.
  platform::forms::Control* ControlToAlign() const;
  // Keeps the control and records its geometry; a dimension beyond 32767
  // twips cannot be recorded and keeps its previous value.
  void ControlToAlign(platform::forms::Control* control);

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(int& Cancel) override;

 private:
  void cmdApply_Click();
  void cmdReset_Click();
  void ShowOriginal();

  std::int16_t m_intOrigLeft = 0;
  std::int16_t m_intOrigTop = 0;
  std::int16_t m_intOrigHeight = 0;
  std::int16_t m_intOrigWidth = 0;
  platform::forms::Control* m_objControlToAlign = nullptr;
  // The control's window, so a control of a window that went is never touched.
  std::weak_ptr<platform::forms::Form> m_objOwner;
};

}  // namespace lumivane
