#pragma once
// Attachment names come from whoever sent the mail. Every name a message
// offers (the MIME filename, the Content-Type name, their RFC 2231 and
// RFC 2047 forms) goes through SanitizeAttachmentName before anything else
// sees it, and every write into a caller's folder goes through PathInside.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace host::mail {

// The longest file name most Linux file systems accept, in bytes.
inline constexpr std::size_t kMaxNameBytes = 255;

// A name that is safe to join to a folder:
// 1. bytes that are not valid UTF-8 become "_";
// 2. control characters (C0, DEL, C1) and bidirectional marks, embeddings,
//    overrides and isolates, zero-width characters, the byte-order mark and
//    the line and paragraph separators are removed;
// 3. only the last non-empty component is kept ("/" and "\" both separate);
// 4. blanks around it are trimmed;
// 5. "", "." and ".." give `fallback` (which the caller makes safe);
// 6. beyond kMaxNameBytes the part before the extension is cut on a
//    character boundary, so "....jpg" stays a ".jpg".
std::string SanitizeAttachmentName(std::string_view raw, std::string_view fallback);

// The name of a part that offers none (or only an unusable one): "attachment",
// its 1-based position among the message's attachments, and the extension
// its content type suggests: "attachment3.jpg", "attachment4".
std::string NeutralAttachmentName(int ordinal, std::string_view content_type);

// Text shown as a name (an attached message's subject): valid UTF-8 without
// control or bidirectional formatting characters; nothing else changes.
std::string CleanDisplayText(std::string_view raw);

// ".jpg" for "image/jpeg"; "" for a type without a usual extension.
std::string ExtensionForContentType(std::string_view content_type);
// "image/jpeg" for "Photo.JPG"; "application/octet-stream" when unknown.
std::string ContentTypeForFileName(std::string_view name);

// `folder` joined with `name`. Raises runtime::Error 52 when `name` is not
// one plain component (empty, ".", "..", a separator, a NUL, too long) and
// 75 when the result would not be a file directly inside the folder (an
// existing directory or symbolic link of that name). The folder itself is
// resolved first, so a folder reached through a link is judged by where it
// really is.
std::filesystem::path PathInside(const std::filesystem::path& folder, std::string_view name);

}  // namespace host::mail
