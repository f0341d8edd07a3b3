// A message a person composed, written as a new file: GMime builds it (the
// header fields encoded as they need, the attachments as the rewriter adds
// them), and it is read back before anything is written, so what reaches
// the Sent folder reads as what was sent.

#include <glib.h>

#include "host/mail/gmime_wrap.h"
#include "host/mail/mime.h"
#include "host/mail/names.h"
#include "host/mail/store.h"
#include "runtime/error.h"

namespace host::mail::detail {

using namespace gm;

namespace {

void SetAddresses(GMimeMessage* message, GMimeAddressType type, const std::string& text) {
  if (text.empty()) return;
  InternetAddressList* list = g_mime_message_get_addresses(message, type);
  GRef<InternetAddressList> parsed(internet_address_list_parse(nullptr, text.c_str()));
  if (parsed && internet_address_list_length(parsed.get()) > 0) {
    internet_address_list_append(list, parsed.get());
  } else {
    // Not an address a parser knows: kept as the person typed it.
    internet_address_list_add(list, internet_address_mailbox_new(nullptr, text.c_str()));
  }
}

GRef<GMimeObject> BodyPart(const std::string& body) {
  GRef<GMimeTextPart> text(g_mime_text_part_new_with_subtype("plain"));
  g_mime_text_part_set_text(text.get(), body.c_str());
  g_mime_text_part_set_charset(text.get(), "utf-8");
  g_mime_part_set_content_encoding(GMIME_PART(text.get()), g_mime_part_get_best_content_encoding(
                                                               GMIME_PART(text.get()), GMIME_ENCODING_CONSTRAINT_7BIT));
  return GRef<GMimeObject>(GMIME_OBJECT(text.release()));
}

}  // namespace

std::string BuildMessage(const NewMessage& m) {
  EnsureGMime();
  GRef<GMimeMessage> message(g_mime_message_new(TRUE));
  SetAddresses(message.get(), GMIME_ADDRESS_TYPE_FROM, m.from);
  SetAddresses(message.get(), GMIME_ADDRESS_TYPE_TO, m.to);
  g_mime_message_set_subject(message.get(), m.subject.c_str(), "utf-8");
  GDateTime* date = g_date_time_new_from_unix_utc(m.date);
  g_mime_message_set_date(message.get(), date);
  g_date_time_unref(date);
  GText id(g_mime_utils_generate_message_id("lumivane.localhost"));
  g_mime_message_set_message_id(message.get(), id.get());

  GRef<GMimeObject> body = BodyPart(m.body);
  if (m.attachments.empty()) {
    g_mime_message_set_mime_part(message.get(), body.get());
  } else {
    GRef<GMimeMultipart> mixed(g_mime_multipart_new_with_subtype("mixed"));
    g_mime_multipart_add(mixed.get(), body.get());
    int ordinal = 0;
    for (const NewMessage::File& file : m.attachments) {
      ++ordinal;
      NewPart part;
      part.file_name =
          SanitizeAttachmentName(file.name, NeutralAttachmentName(ordinal, ContentTypeForFileName(file.name)));
      part.content_type = ContentTypeForFileName(part.file_name);
      part.bytes = file.bytes;
      g_mime_multipart_add(mixed.get(), AttachmentPart(part).get());
    }
    g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(mixed.get()));
  }
  const FormatOptions format = FormatFor(GMIME_NEWLINE_FORMAT_UNIX);
  GText text(g_mime_object_to_string(GMIME_OBJECT(message.get()), format.get()));
  std::string out = text ? text.get() : "";

  Parsed check;
  check.ParseBytes(out);
  if (!check.message() || !check.problems().empty())
    runtime::Raise(runtime::err::kPathFileAccessError, "the message could not be written as a mail file");
  return out;
}

}  // namespace host::mail::detail
