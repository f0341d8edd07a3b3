#include "attachments/attachments.h"
#include "host/outlook.h"
#include "host/rdo.h"
#include "host/store.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/text.h"
#include "settings/addin_state.h"
#include "settings/app.h"
#include "settings/helpers.h"
#include "settings/reg_settings.h"

namespace lumivane::modPictureAttachments {

namespace {

runtime::OnError Handler(const char* procedure) {
  return ErrorBox(procedure, runtime::ModuleKind::Module, "modPictureAttachments");
}

template <class T>
T& Object(const std::shared_ptr<T>& p) {
  if (!p) runtime::Raise(runtime::err::kObjectVariableNotSet);
  return *p;
}

// By value, with a picture extension (PNG included).
bool IsPictureAttachment(host::Attachment& attachment) {
  return attachment.Type() == host::olByValue && IsPictureExtension(GetExtension(attachment.FileName()), false);
}

}  // namespace

bool DoesMessageHaveAtLeastOnePictureAttachment(const std::shared_ptr<host::Item>& item) {
  auto eh = Handler("DoesMessageHaveAtLeastOnePictureAttachment");
  if (!item) return false;
  std::shared_ptr<host::Attachments> attachments;
  long count = 0;
  if (!eh([&] {
        attachments = Object(item).Attachments();
        count = Object(attachments).Count();
      })) {
    return false;
  }
  bool found = false;
  for (long i = 1; i <= count && !found; ++i) {
    eh([&] {
      auto attachment = attachments->Item(i);
      if (!IsPictureAttachment(Object(attachment))) return;
      // Inline pictures of an HTML body count only when the setting says so.
      if (Object(g_objSettings).CaptureInlineHTMLImages() != 0) {
        found = true;
      } else if (!IsAttachmentEmbedded(item, attachment->DisplayName())) {
        found = true;
      }
    });
  }
  return found;
}

bool IsAttachmentEmbedded(const std::shared_ptr<host::Item>& item, const std::string& displayName) {
  auto eh = Handler("IsAttachmentEmbedded");
  std::string entryId;
  if (!eh([&] { entryId = Object(item).EntryID(); })) return false;
  if (entryId.empty()) return false;  // never saved: the session object cannot see it

  std::shared_ptr<host::RDOAttachment> match;
  if (!eh([&] {
        auto message = Object(g_objRDOSession).GetMessageFromID(entryId);
        for (const auto& attachment : Object(Object(message).Attachments())) {
          if (Object(attachment).DisplayName() == displayName) {
            match = attachment;
            break;
          }
        }
      })) {
    return false;
  }
  if (!match) return false;
  bool embedded = false;
  eh([&] { embedded = !match->Fields(host::PR_ATTACH_CONTENT_ID_W).empty(); });
  if (!embedded) eh([&] { embedded = !match->Fields(host::PR_ATTACH_CONTENT_ID_ERROR).empty(); });
  return embedded;
}

bool IsMessageDownloaded(const std::shared_ptr<host::Item>& item) {
  runtime::ResumeNext rn;
  std::int16_t major = 0;
  // Whatever cannot be read counts as downloaded.
  if (!rn([&] { major = runtime::CInt(runtime::Left(Object(g_objOutlook).Version(), 2)); })) return true;
  if (major <= 9) return true;  // the 9.x client has no download states
  long state = host::olFullItem;
  if (!rn([&] { state = Object(item).DownloadState(); })) return true;
  return state == host::olFullItem;
}

bool AreAllAttachmentsPictures(const std::shared_ptr<host::Attachments>& attachments) {
  auto eh = Handler("AreAllAttachmentsPictures");
  long count = 0;
  if (!eh([&] { count = Object(attachments).Count(); })) return false;
  if (count == 0) return false;
  std::int16_t pictures = 0;
  for (long i = 1; i <= count; ++i) {
    eh([&] {
      if (IsPictureAttachment(Object(attachments->Item(i)))) pictures = runtime::Add16(pictures, 1);
    });
  }
  return pictures == count;
}

}  // namespace lumivane::modPictureAttachments
