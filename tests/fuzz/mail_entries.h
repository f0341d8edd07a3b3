#pragma once
// What the mail fuzz targets run on each input, shared with the regression
// test that replays their corpora. Each returns an empty text when the input
// was handled soundly, else what went wrong.

#include <stdlib.h>

#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/mail/names.h"
#include "host/mail/store.h"
#include "runtime/error.h"

namespace fuzz {

namespace mail_detail {

namespace fs = std::filesystem;

// A directory of its own, gone with the object.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "lumivane-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

inline std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool WriteAll(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// Valid UTF-8 without control characters (C0, DEL, C1) or bidirectional
// formatting: what the sanitiser promises of every character it keeps.
inline std::string CharacterProblem(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t length = b < 0x80                 ? 1
                         : b >= 0xC2 && b <= 0xDF ? 2
                         : b >= 0xE0 && b <= 0xEF ? 3
                         : b >= 0xF0 && b <= 0xF4 ? 4
                                                  : 0;
    if (length == 0 || i + length > s.size()) return "invalid UTF-8";
    char32_t code = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
    for (std::size_t k = 1; k < length; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return "invalid UTF-8";
      code = (code << 6) | (c & 0x3F);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
      return "invalid UTF-8";
    if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) return "a control character";
    if (code == 0x061C || code == 0x200E || code == 0x200F || (code >= 0x202A && code <= 0x202E) ||
        (code >= 0x2066 && code <= 0x2069))
      return "a bidirectional mark";
    i += length;
  }
  return {};
}

// Empty when `name` is safe to join to a folder.
inline std::string NameProblem(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return "name '" + std::string(name) + "' is not a file name";
  if (name.size() > host::mail::kMaxNameBytes) return "name longer than 255 bytes";
  if (name.find_first_of("/\\") != std::string_view::npos) return "name '" + std::string(name) + "' has a separator";
  if (std::string problem = CharacterProblem(name); !problem.empty()) return "name has " + problem;
  return {};
}

inline bool SoundError(const runtime::Error& e) { return e.Number() != 0 && !e.Description().empty(); }

// What a reader can tell of one attachment; the neutral name stands for
// "no name of its own", whatever its position.
struct Seen {
  int type = 0;
  std::string name;
  std::string content_type;
  std::string content_id;
  std::string bytes;
};

inline std::string ReadAttachments(host::mail::Message& m, std::vector<Seen>& out) {
  const auto& list = m.Attachments();
  for (std::size_t i = 0; i < list.size(); ++i) {
    const host::mail::Attachment a = list[i];
    if (std::string problem = NameProblem(a.file_name); !problem.empty())
      return "attachment " + std::to_string(i) + ": " + problem;
    if (a.type != 1 && a.type != 5) return "attachment type " + std::to_string(a.type);
    if (!CharacterProblem(a.display_name).empty()) return "display name has " + CharacterProblem(a.display_name);
    Seen seen;
    seen.type = a.type;
    seen.name = a.file_name == host::mail::NeutralAttachmentName(static_cast<int>(i) + 1, a.content_type)
                    ? std::string("\x01neutral")
                    : a.file_name;
    seen.content_type = a.content_type;
    seen.content_id = a.content_id;
    const std::uint64_t size = m.AttachmentSize(i);
    seen.bytes = m.ReadAttachment(i);
    if (size != seen.bytes.size()) {
      return "attachment " + std::to_string(i) + ": size " + std::to_string(size) + " but " +
             std::to_string(seen.bytes.size()) + " bytes";
    }
    out.push_back(std::move(seen));
  }
  return {};
}

inline std::shared_ptr<host::mail::Message> OnlyMessage(const fs::path& root) {
  const auto store = host::mail::Store::Open(root);
  const auto folder = store->FindFolder("Inbox");
  if (!folder || folder->Messages().size() != 1) return nullptr;
  return folder->Messages().front();
}

// Everything in the folder but the message itself: what a write left behind.
inline std::string Leftovers(const fs::path& root, const fs::path& message) {
  std::string found;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file() && it->path() != message) found += " " + it->path().filename().string();
  }
  return found;
}

}  // namespace mail_detail

// One message in a fresh store, read from end to end, edited and saved.
// The first byte chooses the folder kind (bit 0: Maildir or .eml), whether
// to remove an attachment (bit 1) and add a file (bit 2), the added file's
// name (bits 3-4); the second byte chooses the attachment to remove; the
// rest is the message.
inline std::string MailMessage(std::span<const std::uint8_t> data) {
  namespace fs = std::filesystem;
  using namespace mail_detail;
  if (data.size() < 2) return {};
  const std::uint8_t control = data[0];
  const std::uint8_t pick = data[1];
  const std::string_view bytes(reinterpret_cast<const char*>(data.data()) + 2, data.size() - 2);
  const bool maildir = (control & 1) != 0;
  const bool remove = (control & 2) != 0;
  const bool add = (control & 4) != 0;
  static constexpr const char* kAddedNames[] = {"note.txt", "photo.jpg", "no extension", "x.eml"};
  const char* added_name = kAddedNames[(control >> 3) & 3];

  TempDir scratch;
  if (scratch.path().empty()) return "no temporary directory";
  const fs::path root = scratch.path() / "store";
  fs::path file;
  std::error_code ec;
  if (maildir) {
    for (const char* sub : {"cur", "new", "tmp"}) fs::create_directories(root / sub, ec);
    file = root / "cur" / "1700000000.M1P1.fuzz:2,S";
  } else {
    fs::create_directories(root / "Inbox", ec);
    file = root / "Inbox" / "message.eml";
  }
  if (ec || !WriteAll(file, bytes)) return "could not write the message";
  const fs::path extra = scratch.path() / added_name;
  const std::string extra_bytes(bytes.substr(bytes.size() > 40 ? bytes.size() - 40 : 0));
  if (!WriteAll(extra, extra_bytes)) return "could not write the added file";

  std::vector<Seen> before;
  std::optional<std::size_t> removed;
  try {
    const auto message = OnlyMessage(root);
    if (!message) return "the store does not show the one message";
    (void)message->Subject();
    (void)message->Sent();
    if (std::string problem = ReadAttachments(*message, before); !problem.empty()) return problem;
    if (remove && !before.empty()) {
      removed = pick % before.size();
      message->RemoveAttachment(*removed);
    }
    if (add) message->AddAttachment(extra);
    if (!message->Dirty()) return {};
    try {
      message->Save();
    } catch (const runtime::Error& e) {
      if (!SoundError(e)) return "save failed without a clear error";
      if (ReadAll(message->File()) != bytes) return "a failed save changed the file: " + e.Description();
      if (std::string left = Leftovers(root, message->File()); !left.empty()) return "a failed save left" + left;
      return {};
    }
  } catch (const runtime::Error& e) {
    return SoundError(e) ? std::string() : "an error without number or description";
  } catch (const std::exception& e) {
    return std::string("not a runtime::Error: ") + e.what();
  }

  // Saved: the list must be the old one minus the removed plus the added.
  std::vector<Seen> expected;
  for (std::size_t i = 0; i < before.size(); ++i)
    if (!removed || i != *removed) expected.push_back(before[i]);
  if (add) {
    Seen seen;
    seen.type = 1;
    seen.name = added_name;
    seen.content_type = host::mail::ContentTypeForFileName(added_name);
    seen.bytes = extra_bytes;
    expected.push_back(std::move(seen));
  }
  try {
    const auto again = OnlyMessage(root);
    if (!again) return "the saved message is gone";
    if (std::string left = Leftovers(root, again->File()); !left.empty()) return "the save left" + left;
    std::vector<Seen> after;
    if (std::string problem = ReadAttachments(*again, after); !problem.empty()) return "after saving: " + problem;
    if (after.size() != expected.size()) {
      return "saved " + std::to_string(after.size()) + " attachments, expected " + std::to_string(expected.size());
    }
    for (std::size_t i = 0; i < after.size(); ++i) {
      const Seen& a = after[i];
      const Seen& e = expected[i];
      const std::string at = "saved attachment " + std::to_string(i) + ": ";
      if (a.type != e.type) return at + "type changed";
      if (a.name != e.name) return at + "name '" + a.name + "', expected '" + e.name + "'";
      if (a.content_type != e.content_type)
        return at + "type '" + a.content_type + "', expected '" + e.content_type + "'";
      if (a.content_id != e.content_id)
        return at + "content id '" + a.content_id + "', expected '" + e.content_id + "'";
      if (a.bytes != e.bytes)
        return at + "bytes changed (type " + std::to_string(a.type) + ", '" + a.content_type + "', " +
               std::to_string(e.bytes.size()) + " to " + std::to_string(a.bytes.size()) + ")";
    }
  } catch (const runtime::Error& e) {
    return "reading the saved message: " + e.Description();
  }
  return {};
}

// The sanitiser and PathInside on raw bytes.
inline std::string AttachmentName(std::span<const std::uint8_t> data) {
  namespace fs = std::filesystem;
  using namespace mail_detail;
  const std::string_view raw(reinterpret_cast<const char*>(data.data()), data.size());
  const std::string name = host::mail::SanitizeAttachmentName(raw, "fallback.bin");
  if (std::string problem = NameProblem(name); !problem.empty()) return "sanitised " + problem;
  if (std::string problem = CharacterProblem(host::mail::CleanDisplayText(raw)); !problem.empty())
    return "display text has " + problem;

  static const TempDir folder;
  if (folder.path().empty()) return "no temporary directory";
  const fs::path base = fs::canonical(folder.path());
  try {
    const fs::path target = host::mail::PathInside(folder.path(), name);
    if (target.parent_path() != base || target.filename().string() != name) return "sanitised name left the folder";
  } catch (const runtime::Error& e) {
    return "a sanitised name was refused: " + e.Description();
  }
  try {
    const fs::path target = host::mail::PathInside(folder.path(), raw);
    if (target.parent_path() != base) return "raw name left the folder";
    if (target.filename().string() != raw) return "raw name changed";
  } catch (const runtime::Error& e) {
    if (!SoundError(e)) return "refused without a clear error";
  }
  std::error_code ec;
  if (!fs::is_empty(folder.path(), ec)) return "PathInside wrote into the folder";
  return {};
}

}  // namespace fuzz
