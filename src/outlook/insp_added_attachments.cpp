// A picture attached while the item is composed: the preview window shows
// every picture of the item below the message window.

#include <string>

#include "attachments/attachments.h"
#include "host/office.h"
#include "host/store.h"
#include "outlook/command_steps.h"
#include "outlook/insp_wrap.h"
#include "platform/forms/msgbox.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "settings/app.h"
#include "settings/helpers.h"
#include "settings/reg_settings.h"

namespace lumivane {

using runtime::Ref;

namespace {

namespace forms = platform::forms;
namespace mpa = modPictureAttachments;

// The host's own picture of a message body (a signature or a pasted image)
// comes under this name.
constexpr std::string_view kHostBodyPicture = "Outlook.jpg";

}  // namespace

void InspWrap::PreProcessAddedAttachment(const std::shared_ptr<host::Attachment>& Attachment) {
  runtime::ResumeNext rn;
  rn([&] {
    const long count = Ref(Ref(m_objCurrentItem).Attachments()).Count();
    if (m_intAttachmentsCountOnLoad == count && Ref(g_objSettings).DebugMode())
      forms::MsgBox("AttachmentsCountOnLoad = " + std::to_string(m_intAttachmentsCountOnLoad) +
                        "; CurrentOLItemObject.Attachments.Count = " + std::to_string(count),
                    forms::vbOKOnly);
  });
  // What the host adds while it sends is no one's new picture.
  rn([&] {
    if (!m_blnSendClicked && Ref(Attachment).FileName() != kHostBodyPicture) ProcessAddedAttachment(Attachment);
  });
}

void InspWrap::ProcessAddedAttachment(const std::shared_ptr<host::Attachment>& Attachment) {
  int line = 0;
  runtime::OnError eh([&line](const runtime::Error& e) {
    forms::MsgBox("Error " + std::to_string(e.Number()) + ", Line " + std::to_string(line) + ": (" + e.Description() +
                      ") in procedure ProcessAddedAttachment of Class Module InspWrap",
                  forms::vbExclamation, std::string(App::ProductName) + " Error");
  });
  // Each statement with its line number, for the error box.
  auto at = [&](int number, auto&& statement) {
    line = number;
    return eh(statement);
  };
  long enabled = 0;
  at(1, [&] { enabled = Ref(g_objSettings).EnableAttPreviews(); });
  if (enabled == 0) {
    at(2, [&] { InitInspectorToolbar(); });
    return;
  }
  bool picture = false;
  at(3, [&] { picture = mpa::IsPictureExtension(mpa::GetExtension(Ref(Attachment).FileName()), false); });
  if (!picture) return;
  // A picture inside the message body is not previewed unless asked for.
  bool inBody = false;
  at(4, [&] {
    inBody = g_objSettings->CaptureInlineHTMLImages() == 0 &&
             mpa::IsAttachmentEmbedded(m_objCurrentItem, Attachment->DisplayName());
  });
  if (inBody) return;
  at(5, [&] { commands::UnloadPreviewWindow(); });
  at(6, [&] { mpa::SavePicturesToTempFolder(Ref(m_objCurrentItem).Attachments()); });
  at(7, [&] { TileWizardHorizontally(); });
  at(8, [&] { Ref(m_objLVWInspBar).Visible(true); });
}

}  // namespace lumivane
