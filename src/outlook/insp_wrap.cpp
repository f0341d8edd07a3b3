#include "outlook/insp_wrap.h"

#include "attachments/attachments.h"
#include "host/office.h"
#include "host/outlook.h"
#include "host/timer.h"
#include "outlook/command_steps.h"
#include "outlook/mod_outl_expl.h"
#include "outlook/out_addin.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "settings/reg_settings.h"

namespace lumivane {

using runtime::Ref;

namespace mpa = modPictureAttachments;

InspWrap::~InspWrap() {
  // The toolbar stays: it is temporary and goes with its window.
  m_colCommandBars.Release();
  m_ShowWizardFormTimer.Release();
  m_objLVWInspBar.reset();
  m_objLVWInspBarLumivaneButton.Release();
  m_objLVWInspBarSSButton.Release();
  m_objLVWInspBarSettingsButton.Release();
  m_objLVWInspBarPopup.reset();
  m_objLVWInspBarQuickSavePictures.Release();
  m_objLVWInspBarQuickSaveAttachments.Release();
  m_objLVWInspBarSavePicturesTo.Release();
  m_objLVWInspBarSaveAttachmentsTo.Release();
  m_objLVWInspBarExportAttachments.Release();
  m_objLVWInspBarDeleteAtts.Release();
  m_objSendButton.Release();
  m_objMail.Release();
  m_objPost.Release();
  m_objCurrentItem.reset();
  m_objInsp.Release();
}

std::function<void(std::string_view)>& InspWrap::ClickProbe() {
  static std::function<void(std::string_view)> probe;
  return probe;
}

namespace {
void Probe(std::string_view handler) {
  if (auto& probe = InspWrap::ClickProbe()) probe(handler);
}
}  // namespace

// ------------------------------------------------------------ attaching

void InspWrap::Inspector(const std::shared_ptr<host::Inspector>& objInsp) {
  runtime::ResumeNext rn;
  rn([&] { BindInspector(objInsp); });
  rn([&] { BindCommandBars(Ref(objInsp).CommandBars()); });
  std::shared_ptr<host::Item> item;
  long itemClass = 0;
  if (!rn([&] {
        item = Ref(m_objInsp.object).CurrentItem();
        itemClass = Ref(item).Class();
      })) {
    return;
  }
  // A wrapper that holds its item already keeps it.
  if (itemClass == host::olMail && !m_objMail.object) TakeItem(item, true);
  if (itemClass == host::olPost && !m_objPost.object) TakeItem(item, false);
}

void InspWrap::TakeItem(const std::shared_ptr<host::Item>& item, bool mail) {
  runtime::ResumeNext rn;
  WithEvents<host::Item>& member = mail ? m_objMail : m_objPost;
  auto init = [&] { mail ? InitMailItem() : InitPostItem(); };
  bool sent = false;
  if (!rn([&] { sent = Ref(item).Sent(); })) return;
  if (!sent) {
    // Being composed: only a never-saved item is taken; its Open builds the toolbar.
    std::string entryId;
    if (rn([&] { entryId = item->EntryID(); }) && entryId.empty()) {
      rn([&] { BindItem(member, item, mail); });
      rn(init);
    }
    return;
  }
  // A preview of another message stays; the display of this one's pictures
  // takes the window when it comes.
  rn([&] { commands::UnloadPreviewWindowOf(item); });
  rn([&] { BindItem(member, item, mail); });
  rn(init);
  bool downloaded = true;
  const bool known = rn([&] { downloaded = mpa::IsMessageDownloaded(member.object); });
  if (known && !downloaded) {
    commands::ShowNotDownloaded(rn);
  } else if (known) {
    bool pictures = false;
    if (rn([&] { pictures = mpa::DoesMessageHaveAtLeastOnePictureAttachment(member.object); }) && pictures)
      ActivateWizards();
  }
  InitInspectorToolbar();
}

void InspWrap::InitMailItem() {
  runtime::ResumeNext rn;
  rn([&] { CurrentOLItemObject(m_objMail.object); });
}

void InspWrap::InitPostItem() {
  runtime::ResumeNext rn;
  rn([&] { CurrentOLItemObject(m_objPost.object); });
}

void InspWrap::CurrentOLItemObject(const std::shared_ptr<host::Item>& item) {
  runtime::ResumeNext rn;
  m_objCurrentItem = item;
  rn([&] { m_intAttachmentsCountOnLoad = runtime::CInt(static_cast<double>(Ref(Ref(item).Attachments()).Count())); });
}

// ------------------------------------------------------------ bindings

void InspWrap::BindInspector(const std::shared_ptr<host::Inspector>& objInsp) {
  m_objInsp.Release();
  m_objInsp.object = objInsp;
  if (!objInsp) return;
  m_objInsp.events.push_back(objInsp->Activate.Subscribe([this] { m_objInsp_Activate(); }, weak_from_this()));
}

void InspWrap::BindCommandBars(const std::shared_ptr<host::CommandBars>& bars) {
  m_colCommandBars.Release();
  m_colCommandBars.object = bars;
  if (!bars) return;
  m_colCommandBars.events.push_back(
      bars->OnUpdate.Subscribe([this] { m_colCommandBars_OnUpdate(); }, weak_from_this()));
}

void InspWrap::BindItem(WithEvents<host::Item>& member, const std::shared_ptr<host::Item>& item, bool mail) {
  member.Release();
  member.object = item;
  if (!item) return;
  // The item holds its wrapper until the wrapper lets go of it in Close.
  auto self = shared_from_this();
  member.events.push_back(item->Open.Subscribe(
      [self, mail](bool& cancel) { mail ? self->m_objMail_Open(cancel) : self->m_objPost_Open(cancel); }));
  member.events.push_back(item->Close.Subscribe(
      [self, mail](bool& cancel) { mail ? self->m_objMail_Close(cancel) : self->m_objPost_Close(cancel); }));
  member.events.push_back(item->AttachmentAdd.Subscribe([self, mail](std::shared_ptr<host::Attachment> attachment) {
    mail ? self->m_objMail_AttachmentAdd(attachment) : self->m_objPost_AttachmentAdd(attachment);
  }));
}

void InspWrap::BindButton(WithEvents<host::CommandBarButton>& member,
                          const std::shared_ptr<host::CommandBarControl>& control, Click handler) {
  BindClick(*this, member, control, handler);
}

void InspWrap::Unbind() {
  auto self = weak_from_this().lock();
  m_ShowWizardFormTimer.Release();
  m_colCommandBars.Release();
  m_objInsp.Release();
  m_objMail.Release();
  m_objPost.Release();
  for (auto* button : {&m_objLVWInspBarLumivaneButton, &m_objLVWInspBarSSButton, &m_objLVWInspBarSettingsButton,
                       &m_objLVWInspBarQuickSavePictures, &m_objLVWInspBarQuickSaveAttachments,
                       &m_objLVWInspBarSavePicturesTo, &m_objLVWInspBarSaveAttachmentsTo,
                       &m_objLVWInspBarExportAttachments, &m_objLVWInspBarDeleteAtts, &m_objSendButton})
    button->Release();
}

// ------------------------------------------------------------ window and item events

void InspWrap::m_objInsp_Activate() {
  runtime::ResumeNext rn;
  bool loaded = false;
  rn([&] { loaded = commands::PreviewWindowLoaded(); });
  if (!loaded || modOutlExpl::g_InspectorActivatedOnce) return;
  host::OlWindowState state = host::OlWindowState::olNormalWindow;
  if (!rn([&] { state = Ref(m_objInsp.object).WindowState(); })) return;
  if (state == host::OlWindowState::olNormalWindow) return;
  // Restored once, unless this wrapper armed a delayed display of the
  // preview window (a fired timer still counts).
  if (!m_ShowWizardFormTimer.object) rn([&] { m_objInsp.object->WindowState(host::OlWindowState::olNormalWindow); });
  modOutlExpl::g_InspectorActivatedOnce = true;
}

void InspWrap::m_objMail_Open(bool&) {
  runtime::ResumeNext rn;
  long editor = 0;
  rn([&] { editor = Ref(m_objInsp.object).EditorType(); });
  // Word as the editor brings its own bars.
  if (editor != host::olEditorWord) InitInspectorToolbar();
}

void InspWrap::m_objPost_Open(bool&) { InitInspectorToolbar(); }

void InspWrap::m_objMail_AttachmentAdd(const std::shared_ptr<host::Attachment>& Attachment) {
  if (Ref(m_objInsp.object).EditorType() == host::olEditorWord) return;
  PreProcessAddedAttachment(Attachment);
}

void InspWrap::m_objPost_AttachmentAdd(const std::shared_ptr<host::Attachment>& Attachment) {
  PreProcessAddedAttachment(Attachment);
}

void InspWrap::m_objMail_Close(bool&) { CloseInspector(); }

void InspWrap::m_objPost_Close(bool&) { CloseInspector(); }

void InspWrap::m_objSendButton_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  // CancelDefault stays False: the host sends.
  m_blnSendClicked = true;
}

void InspWrap::CloseInspector() {
  auto self = shared_from_this();
  runtime::ResumeNext rn;
  // A preview still waiting for this window's delayed display would stay
  // loaded and hidden with nobody left to show it.
  rn([&] {
    if (m_ShowWizardFormTimer.object && m_ShowWizardFormTimer.object->Interval() != 0 && PreviewStillPending())
      commands::UnloadPreviewWindow();
  });
  const std::shared_ptr<host::Item> item = m_objCurrentItem;
  rn([&] { modOutlExpl::RemoveInspectorWrapper(m_intKey, self); });
  rn([&] { m_objInsp.Release(); });
  rn([&] { m_objMail.Release(); });
  rn([&] { m_objPost.Release(); });
  rn([&] { m_objCurrentItem.reset(); });
  // A delayed display that has not fired yet does not happen.
  rn([&] { m_ShowWizardFormTimer.Release(); });
  modOutlExpl::g_InspectorActivatedOnce = false;
  rn([&] { Ref(g_objSettings).Update(); });
  rn([&] {
    if (modOutlExpl::InspWraps().Count() == 0) commands::UnloadPreviewWindowOf(item);
  });
  // The closing window is still counted.
  rn([&] {
    if (Ref(Ref(g_objOutlook).Inspectors()).Count() < 2 && !g_objOutlook->ActiveExplorer()) {
      auto addIn = g_objOutAddIn;
      Ref(addIn).ShutdownHandler();
    }
  });
}

// ------------------------------------------------------------ Click handlers

void InspWrap::m_objLVWInspBarLumivaneButton_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWInspBarLumivaneButton_Click");
  InspectorWizardButton();
}

void InspWrap::m_objLVWInspBarSSButton_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWInspBarSSButton_Click");
  InspectorSlideShowButton();
}

void InspWrap::m_objLVWInspBarSettingsButton_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWInspBarSettingsButton_Click");
  InspectorSettingsButton();
}

void InspWrap::m_objLVWInspBarQuickSavePictures_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWInspBarQuickSavePictures_Click");
  InspectorQuickSave(true);
}

void InspWrap::m_objLVWInspBarQuickSaveAttachments_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWInspBarQuickSaveAttachments_Click");
  InspectorQuickSave(false);
}

void InspWrap::m_objLVWInspBarSavePicturesTo_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWInspBarSavePicturesTo_Click");
  InspectorSaveToButton(true);
}

void InspWrap::m_objLVWInspBarSaveAttachmentsTo_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWInspBarSaveAttachmentsTo_Click");
  InspectorSaveToButton(false);
}

void InspWrap::m_objLVWInspBarExportAttachments_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWInspBarExportAttachments_Click");
  InspectorExportButton();
}

void InspWrap::m_objLVWInspBarDeleteAtts_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWInspBarDeleteAtts_Click");
  InspectorDeleteAttsButton();
}

}  // namespace lumivane
