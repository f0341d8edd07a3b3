#pragma once
// The wrapper of one Inspector that shows a mail or post item: it takes the
// item (a received or sent one at once, a never-saved new one too), builds
// and binds the window's toolbar "Lumivane", keeps the toolbar's geometry
// and captions in the settings, binds the window's Send button, runs the
// toolbar's commands on its own item, and unregisters itself when the item
// closes, shutting the add-in down with the last window.
//
// Lifetime: the item's events hold the wrapper (as an event source holds its
// sink) until its Close handler lets go of the item; the registry holds it
// too. The window, its command bars and its controls hold it only while one
// of their handlers runs. At shutdown every registered wrapper lets go of
// everything it is bound to, so no event reaches released globals.

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "host/store.h"
#include "outlook/with_events.h"

namespace host {
class Attachment;
class CommandBar;
class CommandBarButton;
class CommandBarControl;
class CommandBarPopup;
class CommandBars;
class Inspector;
class Item;
class OneShotTimer;
}  // namespace host

namespace runtime {
class OnError;
}

namespace lumivane {

class frmMain;

class InspWrap : public std::enable_shared_from_this<InspWrap> {
 public:
  InspWrap() = default;
  ~InspWrap();
  InspWrap(const InspWrap&) = delete;
  InspWrap& operator=(const InspWrap&) = delete;

  // Attaching binds the window and takes its item.
  std::shared_ptr<host::Inspector> Inspector() const { return m_objInsp.object; }
  void Inspector(const std::shared_ptr<host::Inspector>& objInsp);
  long Key() const { return m_intKey; }
  void Key(std::int16_t anID) { m_intKey = anID; }

  void InitMailItem();
  void InitPostItem();
  // An attachment added while the item is composed: its picture is previewed
  // below the window (unless the settings say otherwise).
  void PreProcessAddedAttachment(const std::shared_ptr<host::Attachment>& Attachment);
  void ProcessAddedAttachment(const std::shared_ptr<host::Attachment>& Attachment);
  std::shared_ptr<host::Item> CurrentOLItemObject() const { return m_objCurrentItem; }
  // Also takes the item's attachment count as AttachmentsCountOnLoad.
  void CurrentOLItemObject(const std::shared_ptr<host::Item>& item);
  std::int16_t AttachmentsCountOnLoad() const { return m_intAttachmentsCountOnLoad; }
  void AttachmentsCountOnLoad(std::int16_t count) { m_intAttachmentsCountOnLoad = count; }
  long AutoDisplayModeOnLoad() const { return m_lngAutoDisplayModeOnLoad; }
  void AutoDisplayModeOnLoad(long mode) { m_lngAutoDisplayModeOnLoad = mode; }

  // Shutdown: lets go of the window, its item, its bars and controls, so
  // that none of their events runs here any more.
  void Unbind();

  // Whether the window's Send button was clicked (it never goes back).
  bool SendClicked() const { return m_blnSendClicked; }

  // Test seam: told the name of each Click handler as it starts.
  static std::function<void(std::string_view handler)>& ClickProbe();

 private:
  using Click = void (InspWrap::*)(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);

  void BindInspector(const std::shared_ptr<host::Inspector>& objInsp);
  void BindCommandBars(const std::shared_ptr<host::CommandBars>& bars);
  void BindItem(WithEvents<host::Item>& member, const std::shared_ptr<host::Item>& item, bool mail);
  void BindButton(WithEvents<host::CommandBarButton>& member, const std::shared_ptr<host::CommandBarControl>& control,
                  Click handler);
  // Takes a mail (or post) item as the attach step does.
  void TakeItem(const std::shared_ptr<host::Item>& item, bool mail);
  void CloseInspector();

  // The toolbar.
  void InitInspectorToolbar();
  bool InspectorToolbarExists(const std::shared_ptr<host::Inspector>& objInsp);
  std::shared_ptr<host::CommandBar> CreateInspectorToolbar();
  void AddInspectorToolbarButtons();

  // The commands behind the controls; each runs to its end on the item.
  void InspectorWizardButton();
  // The automatic display of a received item's pictures, as the settings
  // ask: nothing, the slideshow, or the preview window on top (after the
  // settings' delay) or tiled with this window.
  void ActivateWizards();
  // This window on the upper half of the work area, the preview on the lower one.
  void TileWizardHorizontally();
  // This window on the left half of the work area, the preview on the right one.
  void TileWizardVertically();
  // The item's pictures in the preview window, shown in its normal state.
  void DisplayWizardForm();
  // The preview window for the item's pictures, centred on top: at once, or
  // when the display timer fires.
  void ShowWizardForm(const std::shared_ptr<host::Attachments>& attachments, bool delayed);
  void m_ShowWizardFormTimer_ThatTime();
  // Whether the preview window is still the one this wrapper filled for its
  // delayed display, with this wrapper's item.
  bool PreviewStillPending();
  void InspectorSlideShowButton();
  void InspectorSettingsButton();
  void InspectorExportButton();
  void InspectorDeleteAttsButton();
  void InspectorQuickSave(bool blnPicturesOnly);
  void InspectorSaveToButton(bool blnPicturesOnly);
  // The first checks of the commands that show or save pictures; false ends the command.
  bool IsDownloadedWithPictures(runtime::OnError& h);

  void m_colCommandBars_OnUpdate();
  void m_objInsp_Activate();
  void m_objMail_Open(bool& Cancel);
  void m_objPost_Open(bool& Cancel);
  void m_objMail_AttachmentAdd(const std::shared_ptr<host::Attachment>& Attachment);
  void m_objPost_AttachmentAdd(const std::shared_ptr<host::Attachment>& Attachment);
  void m_objMail_Close(bool& Cancel);
  void m_objPost_Close(bool& Cancel);
  void m_objSendButton_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);

  void m_objLVWInspBarLumivaneButton_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);
  void m_objLVWInspBarSSButton_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);
  void m_objLVWInspBarSettingsButton_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);
  void m_objLVWInspBarQuickSavePictures_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);
  void m_objLVWInspBarQuickSaveAttachments_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl,
                                                 bool& CancelDefault);
  void m_objLVWInspBarSavePicturesTo_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);
  void m_objLVWInspBarSaveAttachmentsTo_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);
  void m_objLVWInspBarExportAttachments_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);
  void m_objLVWInspBarDeleteAtts_Click(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault);

  std::int16_t m_intKey = 0;
  std::shared_ptr<host::CommandBar> m_objLVWInspBar;
  bool m_blnSendClicked = false;
  std::shared_ptr<host::CommandBarPopup> m_objLVWInspBarPopup;
  std::shared_ptr<host::Item> m_objCurrentItem;
  std::int16_t m_intAttachmentsCountOnLoad = 0;
  long m_lngAutoDisplayModeOnLoad = 0;

  WithEvents<host::CommandBars> m_colCommandBars;
  WithEvents<host::Item> m_objMail;
  WithEvents<host::Item> m_objPost;
  WithEvents<host::Inspector> m_objInsp;
  WithEvents<host::OneShotTimer> m_ShowWizardFormTimer;
  // The preview window that the delayed display fills; another instance
  // (after an unload) or another item means the display is off.
  std::weak_ptr<frmMain> m_pendingWizardForm;
  WithEvents<host::CommandBarButton> m_objLVWInspBarLumivaneButton;
  WithEvents<host::CommandBarButton> m_objLVWInspBarSSButton;
  WithEvents<host::CommandBarButton> m_objLVWInspBarSettingsButton;
  WithEvents<host::CommandBarButton> m_objLVWInspBarQuickSavePictures;
  WithEvents<host::CommandBarButton> m_objLVWInspBarQuickSaveAttachments;
  WithEvents<host::CommandBarButton> m_objLVWInspBarSavePicturesTo;
  WithEvents<host::CommandBarButton> m_objLVWInspBarSaveAttachmentsTo;
  WithEvents<host::CommandBarButton> m_objLVWInspBarExportAttachments;
  WithEvents<host::CommandBarButton> m_objLVWInspBarDeleteAtts;
  WithEvents<host::CommandBarButton> m_objSendButton;
};

}  // namespace lumivane
