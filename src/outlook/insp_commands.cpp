// The commands of the Inspector toolbar. Each works on the wrapper's own
// item, read afresh at every step, as it stands (a message being composed
// may not be saved yet); none asks for a selection, a folder or the item's
// class.

#include <cstdint>
#include <string>

#include "attachments/attachments.h"
#include "attachments/browse_for_folder.h"
#include "attachments/frm_export.h"
#include "attachments/frm_save_attachments.h"
#include "host/store.h"
#include "outlook/command_steps.h"
#include "outlook/insp_wrap.h"
#include "outlook/out_addin.h"
#include "platform/forms/msgbox.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "settings/app.h"
#include "settings/reg_settings.h"
#include "windows/frm_settings.h"
#include "windows/frm_slideshow.h"

namespace lumivane {

using runtime::Ref;

namespace {

namespace forms = platform::forms;
namespace mpa = modPictureAttachments;

runtime::OnError Handler(const char* procedure) {
  return ErrorBox(procedure, runtime::ModuleKind::ClassModule, "InspWrap");
}

}  // namespace

bool InspWrap::IsDownloadedWithPictures(runtime::OnError& h) {
  bool downloaded = false;
  if (!h([&] { downloaded = mpa::IsMessageDownloaded(CurrentOLItemObject()); })) return false;
  if (!downloaded) {
    commands::ShowNotDownloaded(h);
    return false;
  }
  bool pictures = false;
  if (!h([&] { pictures = mpa::DoesMessageHaveAtLeastOnePictureAttachment(CurrentOLItemObject()); })) return false;
  if (!pictures) {
    h([&] { mpa::ShowNoPictureAttachmentsMessage(); });
    return false;
  }
  return true;
}

void InspWrap::InspectorWizardButton() {
  runtime::ResumeNext rn;
  if (!IsDownloadedWithPictures(rn)) return;
  rn([&] { commands::UnloadPreviewWindow(); });
  rn([&] { mpa::SavePicturesToTempFolder(Ref(CurrentOLItemObject()).Attachments()); });
  rn([&] { ShowWizardForm(Ref(CurrentOLItemObject()).Attachments(), false); });
}

void InspWrap::InspectorSlideShowButton() {
  runtime::ResumeNext rn;
  if (!IsDownloadedWithPictures(rn)) return;
  rn([&] { commands::UnloadPictureWindows(); });
  rn([&] { mpa::SavePicturesToTempFolder(Ref(CurrentOLItemObject()).Attachments()); });
  rn([&] {
    bool standAlone = true;
    bool delayedLoad = false;
    mpa::ShowSlideShow(standAlone, delayedLoad);
  });
}

void InspWrap::InspectorSettingsButton() {
  runtime::ResumeNext()([] { mpa::ShowSettingsForm(true, nullptr); });
}

void InspWrap::InspectorExportButton() {
  // No test comes first: the dialog works on the open message, with or
  // without attachments.
  runtime::ResumeNext()([&] { ShowExportForm(lvwCallingMode::Inspector, CurrentOLItemObject()); });
}

void InspWrap::InspectorDeleteAttsButton() {
  runtime::ResumeNext rn;
  // It asks its own question and says when there is nothing to delete.
  rn([&] { mpa::DeleteAllAttachments(CurrentOLItemObject()); });
}

namespace {

// The checks before a save; false ends the command, its refusal shown.
bool HasAttachmentsToSave(runtime::OnError& h, const std::shared_ptr<host::Item>& item) {
  long count = 0;
  if (!h([&] { count = Ref(Ref(item).Attachments()).Count(); })) return false;
  if (count != 0) return true;
  h([&] {
    forms::MsgBox("The current message does not contain any attachments.", forms::vbExclamation,
                  commands::kNoAttachmentsToSave);
  });
  return false;
}

// Saves the item's attachments into `folder` ("" for the quick-save folder)
// with a fresh name-conflict dialog held for the run.
std::int16_t SaveOne(runtime::OnError& h, const std::shared_ptr<host::Item>& item, bool picturesOnly,
                     const std::string& folder) {
  h([&] { Ref(g_objOutAddIn).SaveAttachmentsForm(std::make_shared<frmSaveAttachments>()); });
  bool cancelled = false;
  return commands::SaveItem(h, item, picturesOnly, folder, cancelled);
}

}  // namespace

void InspWrap::InspectorQuickSave(bool blnPicturesOnly) {
  auto eh = Handler("InspectorQuickSave");
  [&] {
    if (blnPicturesOnly && !IsDownloadedWithPictures(eh)) return;
    if (!HasAttachmentsToSave(eh, CurrentOLItemObject())) return;
    commands::QuickSave(eh, blnPicturesOnly, " in the current message ",
                        [&] { return SaveOne(eh, CurrentOLItemObject(), blnPicturesOnly, ""); });
  }();
  // Also after a refusal: the next run starts with fresh answers.
  eh([&] { Ref(g_objOutAddIn).SaveAttachmentsForm(nullptr); });
}

void InspWrap::InspectorSaveToButton(bool blnPicturesOnly) {
  auto eh = Handler("InspectorSaveToButton");
  [&] {
    if (blnPicturesOnly && !IsDownloadedWithPictures(eh)) return;
    if (!HasAttachmentsToSave(eh, CurrentOLItemObject())) return;
    std::string folder;
    eh([&] {
      folder = BrowseForFolder().BrowseFolders2(
          0, blnPicturesOnly ? "Save picture attachments to..." : "Save attachments to...");
    });
    if (folder.empty()) return;  // the person cancelled the picker
    commands::ReportSaved(eh, SaveOne(eh, CurrentOLItemObject(), blnPicturesOnly, folder), blnPicturesOnly, folder,
                          false);
  }();
  eh([&] { Ref(g_objOutAddIn).SaveAttachmentsForm(nullptr); });
}

}  // namespace lumivane
