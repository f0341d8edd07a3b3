#include "outlook/command_steps.h"

#include "windows/frm_main.h"
#include "windows/frm_slideshow.h"

#include "attachments/attachments.h"
#include "host/store.h"
#include "outlook/out_addin.h"
#include "platform/forms/form.h"
#include "platform/forms/msgbox.h"
#include "platform/fso/fso.h"
#include "runtime/convert.h"
#include "runtime/ref.h"
#include "settings/reg_settings.h"

namespace lumivane::commands {

using runtime::Ref;

namespace forms = platform::forms;

bool PreviewWindowLoaded() { return forms::DefaultInstanceExists<frmMain>() && forms::Default<frmMain>()->Loaded(); }

void UnloadPictureWindows() {
  // The slideshow first: the preview's close then finds no show using the
  // folder and empties it.
  if (forms::DefaultInstanceExists<frmSlideshow>()) forms::Unload(forms::Default<frmSlideshow>());
  UnloadPreviewWindow();
}

void UnloadPreviewWindow() {
  if (forms::DefaultInstanceExists<frmMain>()) forms::Unload(forms::Default<frmMain>());
}

void UnloadPreviewWindowOf(const std::shared_ptr<host::Item>& item) {
  if (!item || !forms::DefaultInstanceExists<frmMain>()) return;
  auto preview = forms::Default<frmMain>();
  if (preview->CurrentMessage() == item) forms::Unload(*preview);
}

void ShowNotDownloaded(runtime::OnError& h) {
  h([&] {
    forms::MsgBox(std::string("Only the header has been downloaded for this message.  Until the entire item is "
                              "available, ") +
                      "any present attachments cannot be retrieved.",
                  forms::vbExclamation, "Message Not Downloaded");
  });
}

namespace {

// The question before a quick-save into `folder`; `where` names the
// messages (" in the selected message(s) "). True: the person said Yes.
bool ConfirmQuickSave(runtime::OnError& h, bool picturesOnly, const std::string& folder, std::string_view where) {
  const std::string text = std::string(picturesOnly ? "Are you sure you want to save the picture attachments"
                                                    : "Are you sure you want to save the attachments") +
                           std::string(where) + "to the '" + folder + "' folder?" + "\r\n\r\n" +
                           "Note: You can change the default location for saving attachments in the Settings screen.";
  long answer = forms::vbNo;
  h([&] { answer = forms::MsgBox(text, forms::vbQuestion | forms::vbYesNo, "Save Pictures?"); });
  return answer == forms::vbYes;
}

bool QuickSaveFolderExists(runtime::OnError& h, const std::string& folder) {
  bool exists = false;
  if (!h([&] { exists = Ref(FSO()).FolderExists(folder); })) return false;
  if (exists) return true;
  h([&] {
    forms::MsgBox("The '" + folder + "' directory is invalid or does not exist.  Please change " +
                      "the location of your default Quick-save folder in the Settings screen.",
                  forms::vbExclamation, "Invalid Folder");
  });
  return false;
}

}  // namespace

void QuickSave(runtime::OnError& h, bool picturesOnly, std::string_view where,
               const std::function<std::int16_t()>& save) {
  std::string folder;
  long doNotPrompt = 0;
  if (!h([&] {
        folder = Ref(g_objSettings).PictureDumpDirectory();
        doNotPrompt = g_objSettings->DoNotPromptBeforeQuickSave();
      })) {
    return;
  }
  if (doNotPrompt == 0 && !ConfirmQuickSave(h, picturesOnly, folder, where)) return;
  if (!QuickSaveFolderExists(h, folder)) return;
  const std::int16_t saved = save();
  std::string dump;
  if (saved != 0 && h([&] { dump = Ref(g_objSettings).PictureDumpDirectory(); }))
    ReportSaved(h, saved, picturesOnly, dump, true);
}

std::int16_t SaveItem(runtime::OnError& h, const std::shared_ptr<host::Item>& item, bool picturesOnly,
                      const std::string& folder, bool& cancelled) {
  std::shared_ptr<host::Attachments> attachments;
  long count = 0;
  h([&] {
    attachments = Ref(item).Attachments();
    count = Ref(attachments).Count();
  });
  AttachmentCollection collection;
  for (long i = 1; i <= count; ++i) {
    h([&] {
      auto attachment = attachments->Item(i);
      collection.Add(attachment, Ref(attachment).FileName() + "_" + runtime::CStr(attachment->Index()));
    });
  }
  std::string path = folder;
  std::int16_t saved = 0;
  h([&] { modPictureAttachments::SaveAttachments(collection, picturesOnly, path, cancelled, saved); });
  return saved;
}

void ReportSaved(runtime::OnError& h, std::int16_t saved, bool picturesOnly, const std::string& folder,
                 bool quickSave) {
  if (saved == 0) return;
  const std::string to = quickSave ? "to the '" : "to '";
  const std::string end = quickSave ? "' folder." : "'.";
  std::string text;
  if (saved == 1)
    text = std::string(picturesOnly ? "One image attachment has been saved " : "One attachment has been saved ");
  else
    text = runtime::CStr(static_cast<long>(saved)) +
           (picturesOnly ? " image attachments have been saved " : " attachments have been saved ");
  text += to + folder + end;
  h([&] { forms::MsgBox(text, forms::vbInformation, "SAVE COMPLETE"); });
}

}  // namespace lumivane::commands
