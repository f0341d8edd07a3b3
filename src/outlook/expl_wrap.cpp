#include "outlook/expl_wrap.h"

#include "host/office.h"
#include "host/outlook.h"
#include "outlook/mod_outl_expl.h"
#include "outlook/out_addin.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "settings/reg_settings.h"

namespace lumivane {

using runtime::Ref;

ExplWrap::ExplWrap() { m_objExpl.object = nullptr; }

ExplWrap::~ExplWrap() {
  // The toolbar stays: it is temporary and goes with its window.
  m_colCommandBars.Release();
  m_objLVWExplBar.reset();
  m_objExpl.Release();
  m_objApp.reset();
  m_objLVWExplMenuSettings.Release();
  m_objLVWExplBarLumivaneButton.Release();
  m_objLVWExplBarSSButton.Release();
  m_objLVWExplBarSettingsButton.Release();
  m_objLVWExplBarPopup.reset();
  m_objLVWExplBarQuickSavePicturesInSelectedMessages.Release();
  m_objLVWExplBarQuickSaveAttachmentsInSelectedMessages.Release();
  m_objLVWExplBarSavePicturesTo.Release();
  m_objLVWExplBarSaveAttachmentsTo.Release();
  m_objLVWExplBarExportAttachments.Release();
  m_objLVWExplBarDeleteAtts.Release();
}

std::function<void(std::string_view)>& ExplWrap::ClickProbe() {
  static std::function<void(std::string_view)> probe;
  return probe;
}

namespace {
void Probe(std::string_view handler) {
  if (auto& probe = ExplWrap::ClickProbe()) probe(handler);
}
}  // namespace

void ExplWrap::Explorer(const std::shared_ptr<host::Explorer>& objExpl) {
  runtime::ResumeNext rn;
  rn([&] { BindExplorer(objExpl); });
  rn([&] { BindCommandBars(Ref(objExpl).CommandBars()); });
  rn([&] { m_objApp = Ref(m_objExpl.object).Application(); });
  if (!rn.Err()) InitToolbar();
}

void ExplWrap::BindExplorer(const std::shared_ptr<host::Explorer>& objExpl) {
  m_objExpl.Release();
  m_objExpl.object = objExpl;
  if (!objExpl) return;
  // The window holds its wrapper until the wrapper lets go of it in Close.
  auto self = shared_from_this();
  m_objExpl.events.push_back(objExpl->SelectionChange.Subscribe([self] { self->m_objExpl_SelectionChange(); }));
  m_objExpl.events.push_back(objExpl->ViewSwitch.Subscribe([self] { self->m_objExpl_ViewSwitch(); }));
  m_objExpl.events.push_back(objExpl->Close.Subscribe([self] { self->m_objExpl_Close(); }));
}

void ExplWrap::BindCommandBars(const std::shared_ptr<host::CommandBars>& bars) {
  m_colCommandBars.Release();
  m_colCommandBars.object = bars;
  if (!bars) return;
  m_colCommandBars.events.push_back(
      bars->OnUpdate.Subscribe([this] { m_colCommandBars_OnUpdate(); }, weak_from_this()));
}

void ExplWrap::BindButton(WithEvents<host::CommandBarButton>& member,
                          const std::shared_ptr<host::CommandBarControl>& control, Click handler) {
  BindClick(*this, member, control, handler);
}

// ------------------------------------------------------------ window events

void ExplWrap::m_objExpl_SelectionChange() {
  if (modOutlExpl::g_blnNewExplorer) modOutlExpl::g_blnNewExplorer = false;
}

void ExplWrap::m_objExpl_ViewSwitch() {
  // Only a new window, before its first selection change: its menu bar may
  // not have been the active one when its toolbar was built.
  if (modOutlExpl::g_blnNewExplorer) InitToolbar();
}

void ExplWrap::m_objExpl_Close() {
  auto self = shared_from_this();
  runtime::ResumeNext rn;
  rn([&] { Ref(g_objSettings).Update(); });
  rn([&] { modOutlExpl::RemoveExplorerWrapper(m_intKey, self); });
  rn([&] { m_objExpl.Release(); });
  rn([&] {
    if (Ref(Ref(g_objOutlook).Explorers()).Count() == 0) {
      auto addIn = g_objOutAddIn;
      Ref(addIn).ShutdownHandler();
    }
  });
}

// ------------------------------------------------------------ Click handlers

void ExplWrap::m_objLVWExplMenuSettings_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWExplMenuSettings_Click");
  ExplorerSettingsButton();
}

void ExplWrap::m_objLVWExplBarLumivaneButton_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWExplBarLumivaneButton_Click");
  ExplorerWizardButton();
}

void ExplWrap::m_objLVWExplBarSSButton_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWExplBarSSButton_Click");
  ExplorerSlideShowButton();
}

void ExplWrap::m_objLVWExplBarSettingsButton_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWExplBarSettingsButton_Click");
  ExplorerSettingsButton();
}

void ExplWrap::m_objLVWExplBarQuickSavePicturesInSelectedMessages_Click(const std::shared_ptr<host::CommandBarButton>&,
                                                                        bool&) {
  Probe("m_objLVWExplBarQuickSavePicturesInSelectedMessages_Click");
  ExplorerQuickSave(true);
}

void ExplWrap::m_objLVWExplBarQuickSaveAttachmentsInSelectedMessages_Click(
    const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWExplBarQuickSaveAttachmentsInSelectedMessages_Click");
  ExplorerQuickSave(false);
}

void ExplWrap::m_objLVWExplBarSavePicturesTo_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWExplBarSavePicturesTo_Click");
  ExplorerSaveToButton(true);
}

void ExplWrap::m_objLVWExplBarSaveAttachmentsTo_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWExplBarSaveAttachmentsTo_Click");
  ExplorerSaveToButton(false);
}

void ExplWrap::m_objLVWExplBarExportAttachments_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWExplBarExportAttachments_Click");
  ExplorerExportAttachments();
}

void ExplWrap::m_objLVWExplBarDeleteAtts_Click(const std::shared_ptr<host::CommandBarButton>&, bool&) {
  Probe("m_objLVWExplBarDeleteAtts_Click");
  ExplorerDeleteAttachments();
}

}  // namespace lumivane
