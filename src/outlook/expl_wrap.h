#pragma once
// The wrapper of one Explorer window: it listens to the window's selection
// change, view switch and close, builds and binds the window's toolbar
// "Lumivane" and the Tools-menu entry, keeps the toolbar's geometry and
// captions in the settings, and runs the commands of the controls it bound.
//
// Lifetime: the window's events hold the wrapper (as an event source holds
// its sink), so it lives until its window closes even after the registry has
// let go of it; its Close handler unbinds the window, and the wrapper goes
// when that handler returns. The toolbar controls and the command bars hold
// it only while one of their handlers runs.

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "outlook/with_events.h"

namespace host {
class Application;
class Attachments;
class CommandBar;
class CommandBarButton;
class CommandBarControl;
class CommandBarPopup;
class CommandBars;
class Explorer;
}  // namespace host

namespace lumivane {

class ExplWrap : public std::enable_shared_from_this<ExplWrap> {
 public:
  ExplWrap();
  ~ExplWrap();
  ExplWrap(const ExplWrap&) = delete;
  ExplWrap& operator=(const ExplWrap&) = delete;

  // Attaching binds the window's events and builds its toolbar.
  std::shared_ptr<host::Explorer> Explorer() const { return m_objExpl.object; }
  void Explorer(const std::shared_ptr<host::Explorer>& objExpl);
  void Key(std::int16_t anID) { m_intKey = anID; }

  // Test seam: told the name of each Click handler as it starts.
  static std::function<void(std::string_view handler)>& ClickProbe();

 private:
  using Click = void (ExplWrap::*)(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);

  void BindExplorer(const std::shared_ptr<host::Explorer>& objExpl);
  void BindCommandBars(const std::shared_ptr<host::CommandBars>& bars);
  void BindButton(WithEvents<host::CommandBarButton>& member, const std::shared_ptr<host::CommandBarControl>& control,
                  Click handler);

  // The toolbar and the menu entry.
  void InitToolbar();
  bool ToolbarExists(const std::shared_ptr<host::Explorer>& objExpl);
  std::shared_ptr<host::CommandBar> CreateToolbar();
  void BuildToolbar();
  std::shared_ptr<host::CommandBarControl> FindOrAddMenuEntry(const std::shared_ptr<host::CommandBarControl>& tools);

  // The commands behind the controls; each runs to its end.
  void ExplorerWizardButton();
  void ShowWizardForm(const std::shared_ptr<host::Attachments>& attachments);
  void ExplorerSlideShowButton();
  void ExplorerSettingsButton();
  void ExplorerExportAttachments();
  void ExplorerQuickSave(bool blnPicturesOnly);
  void ExplorerSaveToButton(bool blnPicturesOnly);
  void ExplorerDeleteAttachments();

  void m_colCommandBars_OnUpdate();
  void m_objExpl_SelectionChange();
  void m_objExpl_ViewSwitch();
  void m_objExpl_Close();

  void m_objLVWExplMenuSettings_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);
  void m_objLVWExplBarLumivaneButton_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);
  void m_objLVWExplBarSSButton_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);
  void m_objLVWExplBarSettingsButton_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);
  void m_objLVWExplBarQuickSavePicturesInSelectedMessages_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl,
                                                                bool& CancelDefault);
  void m_objLVWExplBarQuickSaveAttachmentsInSelectedMessages_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl,
                                                                   bool& CancelDefault);
  void m_objLVWExplBarSavePicturesTo_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);
  void m_objLVWExplBarSaveAttachmentsTo_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);
  void m_objLVWExplBarExportAttachments_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);
  void m_objLVWExplBarDeleteAtts_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);

  std::int16_t m_intKey = 0;
  WithEvents<host::CommandBars> m_colCommandBars;
  std::shared_ptr<host::CommandBar> m_objLVWExplBar;
  WithEvents<host::Explorer> m_objExpl;
  std::shared_ptr<host::Application> m_objApp;  // bound, but none of its events is handled
  WithEvents<host::CommandBarButton> m_objLVWExplMenuSettings;
  WithEvents<host::CommandBarButton> m_objLVWExplBarLumivaneButton;
  WithEvents<host::CommandBarButton> m_objLVWExplBarSSButton;
  WithEvents<host::CommandBarButton> m_objLVWExplBarSettingsButton;
  std::shared_ptr<host::CommandBarPopup> m_objLVWExplBarPopup;
  WithEvents<host::CommandBarButton> m_objLVWExplBarQuickSavePicturesInSelectedMessages;
  WithEvents<host::CommandBarButton> m_objLVWExplBarQuickSaveAttachmentsInSelectedMessages;
  WithEvents<host::CommandBarButton> m_objLVWExplBarSavePicturesTo;
  WithEvents<host::CommandBarButton> m_objLVWExplBarSaveAttachmentsTo;
  WithEvents<host::CommandBarButton> m_objLVWExplBarExportAttachments;
  WithEvents<host::CommandBarButton> m_objLVWExplBarDeleteAtts;
};

}  // namespace lumivane
