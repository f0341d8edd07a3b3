// The commands of the Explorer toolbar and the Tools-menu entry. Each works
// on the active Explorer's selection or current folder, borrows the host's
// items for the one run and keeps nothing afterwards.

#include <cstdint>
#include <string>
#include <string_view>

#include "attachments/attachments.h"
#include "attachments/browse_for_folder.h"
#include "attachments/frm_export.h"
#include "attachments/frm_save_attachments.h"
#include "host/outlook.h"
#include "host/store.h"
#include "outlook/command_steps.h"
#include "outlook/expl_wrap.h"
#include "outlook/out_addin.h"
#include "outlook/wizard_display.h"
#include "platform/forms/msgbox.h"
#include "platform/fso/fso.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "settings/app.h"
#include "settings/reg_settings.h"
#include "windows/frm_main.h"
#include "windows/frm_settings.h"
#include "windows/frm_slideshow.h"

namespace lumivane {

using runtime::Ref;

namespace {

namespace forms = platform::forms;
namespace mpa = modPictureAttachments;

constexpr std::string_view kDeleteTitle = "No Attachments To Delete";

runtime::OnError Handler(const char* procedure) {
  return ErrorBox(procedure, runtime::ModuleKind::ClassModule, "ExplWrap");
}

bool IsMailOrPost(long itemClass) { return itemClass == host::olMail || itemClass == host::olPost; }

// The checks before a save or delete run (a check that cannot be made ends
// the command too, after the handler has had its say). False: the command
// ends here, with its refusal shown.
template <class OnErr>
bool SelectionHasAttachments(OnErr& h, std::string_view title, bool picturesOnly) {
  auto addIn = g_objOutAddIn;
  bool available = false;
  if (!h([&] { available = Ref(addIn).IsSelectionAvailable(); }) || !available) return false;
  std::shared_ptr<host::Explorer> explorer;
  std::shared_ptr<host::Selection> selection;
  long count = 0;
  if (!h([&] {
        explorer = Ref(g_objOutlook).ActiveExplorer();
        selection = Ref(explorer).Selection();
        count = Ref(selection).Count();
      })) {
    return false;
  }
  if (count == 0) return false;

  long itemType = -1;
  if (!h([&] { itemType = Ref(Ref(explorer).CurrentFolder()).DefaultItemType(); })) return false;
  if (itemType != host::olMailItem && itemType != host::olPostItem) {
    h([&] {
      forms::MsgBox("The Lumivane only supports e-mail or Post items.", forms::vbOKOnly, "Invalid Message Type");
    });
    return false;
  }

  if (count == 1) {
    std::shared_ptr<host::Item> item;
    long attachments = 0;
    if (!h([&] {
          item = selection->Item(1);
          attachments = Ref(Ref(item).Attachments()).Count();
        })) {
      return false;
    }
    if (attachments == 0) {
      h([&] {
        forms::MsgBox("The currently selected message does not have any attachments.", forms::vbExclamation, title);
      });
      return false;
    }
    if (picturesOnly) {
      bool downloaded = false;
      if (!h([&] { downloaded = mpa::IsMessageDownloaded(item); })) return false;
      if (!downloaded) {
        commands::ShowNotDownloaded(h);
        return false;
      }
      bool pictures = false;
      if (!h([&] { pictures = mpa::DoesMessageHaveAtLeastOnePictureAttachment(item); })) return false;
      if (!pictures) {
        h([&] { mpa::ShowNoPictureAttachmentsMessage(); });
        return false;
      }
    }
  }

  std::int16_t total = 0;
  for (const auto& item : *selection) {
    h([&] {
      const long n = Ref(Ref(item).Attachments()).Count();
      total = runtime::Add16(total, runtime::CInt(static_cast<double>(n)));
    });
  }
  if (total == 0) {
    h([&] {
      forms::MsgBox("The currently selected messages do not have any attachments.", forms::vbExclamation, title);
    });
    return false;
  }
  return true;
}

// Saves the attachments of every selected mail or post item into `folder`
// ("" for the quick-save folder of the settings), with a fresh name-conflict
// dialog held for the run; stops when the person cancels. The files saved.
std::int16_t SaveSelection(runtime::OnError& h, bool picturesOnly, const std::string& folder) {
  h([&] { Ref(g_objOutAddIn).SaveAttachmentsForm(std::make_shared<frmSaveAttachments>()); });
  std::shared_ptr<host::Selection> selection;
  if (!h([&] { selection = Ref(Ref(g_objOutlook).ActiveExplorer()).Selection(); })) return 0;
  std::int16_t total = 0;
  for (const auto& item : Ref(selection)) {
    bool wanted = false;
    h([&] { wanted = IsMailOrPost(Ref(item).Class()) && Ref(item->Attachments()).Count() != 0; });
    if (!wanted) continue;
    bool cancelled = false;
    const std::int16_t saved = commands::SaveItem(h, item, picturesOnly, folder, cancelled);
    h([&] { total = runtime::Add16(total, saved); });
    if (cancelled) break;
  }
  return total;
}

}  // namespace

void ExplWrap::ExplorerQuickSave(bool blnPicturesOnly) {
  auto eh = Handler("ExplorerQuickSave");
  [&] {
    if (!SelectionHasAttachments(eh, commands::kNoAttachmentsToSave, blnPicturesOnly)) return;
    commands::QuickSave(eh, blnPicturesOnly, " in the selected message(s) ",
                        [&] { return SaveSelection(eh, blnPicturesOnly, ""); });
  }();
  // Also after a refusal: the next run starts with fresh answers.
  eh([&] { Ref(g_objOutAddIn).SaveAttachmentsForm(nullptr); });
}

void ExplWrap::ExplorerSaveToButton(bool blnPicturesOnly) {
  auto eh = Handler("ExplorerSaveToButton");
  [&] {
    if (!SelectionHasAttachments(eh, commands::kNoAttachmentsToSave, blnPicturesOnly)) return;
    std::string folder;
    eh([&] { folder = BrowseForFolder().BrowseFolders2(0, "Save attachments to..."); });
    if (folder.empty()) return;  // the person cancelled the picker
    commands::ReportSaved(eh, SaveSelection(eh, blnPicturesOnly, folder), blnPicturesOnly, folder, false);
  }();
  eh([&] { Ref(g_objOutAddIn).SaveAttachmentsForm(nullptr); });
}

void ExplWrap::ExplorerDeleteAttachments() {
  runtime::ResumeNext rn;
  if (!SelectionHasAttachments(rn, kDeleteTitle, false)) return;
  long answer = forms::vbNo;
  rn([&] {
    answer = forms::MsgBox(
        "Are you sure you want to permanently delete all of the attachments in the selected "
        "message(s)?",
        forms::vbQuestion | forms::vbYesNo, "Delete All Attachments?");
  });
  // Only a Yes deletes: a box that could not be asked is a No.
  if (answer != forms::vbYes) return;
  std::shared_ptr<host::Selection> selection;
  if (!rn([&] { selection = Ref(Ref(g_objOutlook).ActiveExplorer()).Selection(); })) return;
  for (const auto& item : Ref(selection)) {
    bool wanted = false;
    rn([&] { wanted = IsMailOrPost(Ref(item).Class()); });
    if (!wanted) continue;
    std::shared_ptr<host::Attachments> attachments;
    long count = 0;
    rn([&] {
      attachments = item->Attachments();
      count = Ref(attachments).Count();
    });
    // From the last to the first: removing one moves the later ones down.
    for (long i = count; i >= 1; --i) rn([&] { attachments->Remove(i); });
    rn([&] { item->Save(); });
  }
}

void ExplWrap::ExplorerExportAttachments() {
  auto eh = Handler("ExplorerExportAttachments");
  auto addIn = g_objOutAddIn;
  bool available = false;
  if (!eh([&] { available = Ref(addIn).IsSelectionAvailable(); }) || !available) return;
  std::shared_ptr<host::Folder> folder;
  long itemType = -1;
  if (!eh([&] {
        folder = Ref(Ref(g_objOutlook).ActiveExplorer()).CurrentFolder();
        itemType = Ref(folder).DefaultItemType();
      })) {
    return;
  }
  if (itemType != host::olMailItem) {
    eh([&] {
      forms::MsgBox("The Lumivane only supports e-mail or Post items.", forms::vbOKOnly, "Invalid Message Type");
    });
    return;
  }
  long messages = 0;
  if (!eh([&] { messages = Ref(folder->Items()).Count(); })) return;
  if (messages == 0) {
    eh([&] {
      forms::MsgBox("The current folder does not contain any messages!", forms::vbExclamation, "Empty Folder");
    });
    return;
  }
  eh([&] { ShowExportForm(lvwCallingMode::Explorer); });
}

void ExplWrap::ExplorerWizardButton() {
  runtime::ResumeNext rn;
  std::shared_ptr<host::Item> item;
  rn([&] {
    auto addIn = g_objOutAddIn;
    item = Ref(addIn).GetCurrentMessage();
  });
  if (!item) return;
  rn([&] { commands::UnloadPreviewWindow(); });
  rn([&] { mpa::SavePicturesToTempFolder(Ref(item).Attachments()); });
  rn([&] { ShowWizardForm(Ref(item).Attachments()); });
}

void ExplWrap::ShowWizardForm(const std::shared_ptr<host::Attachments>& attachments) {
  if (!Ref(g_objOutAddIn).Enabled()) return;
  forms::Default<frmMain>()->BuildImageCollection(attachments);
  PositionWizardOnTop();
  forms::Default<frmMain>()->FormMode(FullWizard);
}

void ExplWrap::ExplorerSlideShowButton() {
  auto eh = Handler("ExplorerSlideShowButton");
  std::shared_ptr<host::Item> item;
  eh([&] {
    auto addIn = g_objOutAddIn;
    item = Ref(addIn).GetCurrentMessage();
  });
  if (!item) return;
  eh([&] { commands::UnloadPictureWindows(); });
  eh([&] { mpa::SavePicturesToTempFolder(Ref(item).Attachments()); });
  eh([&] {
    bool standAlone = true;
    bool delayedLoad = false;
    mpa::ShowSlideShow(standAlone, delayedLoad);
  });
}

void ExplWrap::ExplorerSettingsButton() { mpa::ShowSettingsForm(true, nullptr); }

}  // namespace lumivane
