#include "attachments/attachments.h"
#include "host/store.h"
#include "platform/forms/msgbox.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "settings/reg_settings.h"

namespace lumivane::modPictureAttachments {

namespace {
namespace forms = platform::forms;
}  // namespace

void DeleteAllAttachments(const std::shared_ptr<host::Item>& item) {
  runtime::ResumeNext rn;
  std::shared_ptr<host::Attachments> attachments;
  std::int16_t count = 0;
  // An item whose attachments cannot be read is left alone, unasked.
  if (!rn([&] {
        if (!item) runtime::Raise(runtime::err::kObjectVariableNotSet);
        attachments = item->Attachments();
        if (!attachments) runtime::Raise(runtime::err::kObjectVariableNotSet);
        count = runtime::CInt(static_cast<double>(attachments->Count()));
      })) {
    return;
  }
  if (count == 0) {
    rn([] {
      forms::MsgBox("The current message does not have any attachments.", forms::vbExclamation, "No Attachments");
    });
    return;
  }
  long answer = forms::vbNo;
  rn([&] {
    answer = forms::MsgBox("Are you sure you want to permanently delete all of the attachments in the current message?",
                           forms::vbQuestion | forms::vbYesNo, "Delete All Attachments?");
  });
  if (answer != forms::vbYes) return;

  rn([&] { count = runtime::CInt(static_cast<double>(attachments->Count())); });
  // From the last to the first, so that removing never shifts an index still to come.
  if (count != 0) {
    for (std::int16_t i = count; i >= 1; --i) rn([&] { attachments->Remove(i); });
  }
  rn([&] { item->Save(); });
}

void ShowNoPictureAttachmentsMessage() {
  runtime::ResumeNext rn;
  bool inline_ = false;
  rn([&] {
    if (!g_objSettings) runtime::Raise(runtime::err::kObjectVariableNotSet);
    inline_ = g_objSettings->CaptureInlineHTMLImages() != 0;
  });
  std::string text = "The current message does not have any attachments that are image files.";
  if (!inline_) {
    text += std::string("\r\n\r\n") +
            "NOTE: Inline HTML images are not currently processed as attachments.  If you would like to have these "
            "images processed, " +
            "you can enable this option in Settings.";
  }
  rn([&] { forms::MsgBox(text, forms::vbExclamation, "No Picture Attachments"); });
}

}  // namespace lumivane::modPictureAttachments
