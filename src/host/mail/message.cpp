#include "host/mail/message.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "host/mail/mime.h"
#include "host/mail/names.h"
#include "host/mail/read_ahead.h"
#include "host/mail/text_util.h"
#include "platform/durability.h"
#include "platform/unique_fd.h"
#include "runtime/error.h"

namespace host::mail {

namespace fs = std::filesystem;

namespace {

// Header blocks longer than this are cut; the subject of such a message is
// whatever the first part of it holds.
constexpr std::size_t kMaxHeaderBlock = 1 << 20;

// Reads the whole file, or (`header_only`) up to the blank line after the headers.
std::string ReadFile(const fs::path& file, bool header_only) {
  const platform::UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) detail::RaiseIoError(errno, "read", file);
  std::string bytes;
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      detail::RaiseIoError(errno, "read", file);
    }
    if (n == 0) break;
    const std::size_t before = bytes.size();
    bytes.append(buffer, static_cast<std::size_t>(n));
    if (header_only) {
      const std::size_t from = before > 3 ? before - 3 : 0;
      std::size_t end = bytes.find("\n\n", from);
      const std::size_t crlf = bytes.find("\n\r\n", from);
      if (crlf != std::string::npos && (end == std::string::npos || crlf < end)) end = crlf;
      if (end != std::string::npos) {
        bytes.resize(end + 1);
        break;
      }
      if (bytes.size() >= kMaxHeaderBlock) break;
    }
  }
  return bytes;
}

// The flags of a Maildir file name ("...:2,DS" gives "DS").
std::string MaildirFlags(const std::string& file_name) {
  const std::size_t info = file_name.find(":2,");
  return info == std::string::npos ? std::string() : file_name.substr(info + 3);
}

}  // namespace

Message::Message(MessagePlace place) : place_(std::move(place)) {
  entry_id_ = detail::HexEncode(place_.folder_key + "/" + place_.unique);
}

fs::path Message::File() const {
  return place_.maildir ? place_.folder_dir / place_.subdir / place_.file_name : place_.folder_dir / place_.file_name;
}

bool Message::Sent() const {
  if (place_.drafts_folder) return false;
  return !(place_.maildir && MaildirFlags(place_.file_name).find('D') != std::string::npos);
}

bool Message::Relocate() {
  if (!place_.maildir) return false;
  for (const char* subdir : {"cur", "new"}) {
    std::error_code ec;
    for (fs::directory_iterator it(place_.folder_dir / subdir, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name == place_.unique || name.rfind(place_.unique + ":", 0) == 0) {
        place_.subdir = subdir;
        place_.file_name = name;
        return true;
      }
    }
  }
  return false;
}

void Message::EnsureCurrent(bool structure_needed) {
  detail::FileStamp now;
  if (!detail::StampOf(File(), now)) {
    const int error = errno;
    if (error != ENOENT || !Relocate() || !detail::StampOf(File(), now)) {
      if (error == ENOENT)
        runtime::Raise(runtime::err::kFileNotFound, "The message file '" + File().string() + "' is missing");
      detail::RaiseIoError(error, "read", File());
    }
  }
  if (!structure_needed) return;
  if (!loaded_) {
    LoadStructure();
    return;
  }
  if (now == stamp_) return;
  // Indexes the caller holds point into the old structure.
  const bool had_edits = dirty_;
  Revert();
  runtime::Raise(runtime::err::kPathFileAccessError,
                 "The message '" + File().string() + "' was changed by another program since it was read" +
                     (had_edits ? "; the changes made to it here were dropped" : "") +
                     ". Its attachments have been read again.");
}

const std::string& Message::Subject() {
  if (!subject_) {
    EnsureCurrent(false);
    subject_ = detail::ReadSubject(ReadFile(File(), true));
  }
  return *subject_;
}

void Message::ReadEnvelope() {
  if (envelope_) return;
  EnsureCurrent(false);
  detail::HeaderFacts facts = detail::ReadHeaders(ReadFile(File(), true));
  if (!subject_) subject_ = std::move(facts.subject);
  envelope_ = Envelope{std::move(facts.sender), std::move(facts.from), std::move(facts.to), facts.date};
}

const std::string& Message::Sender() {
  ReadEnvelope();
  return envelope_->sender;
}

std::optional<std::int64_t> Message::Date() {
  ReadEnvelope();
  return envelope_->date;
}

const std::string& Message::From() {
  ReadEnvelope();
  return envelope_->from;
}

const std::string& Message::To() {
  ReadEnvelope();
  return envelope_->to;
}

std::string Message::BodyText() {
  EnsureCurrent(false);
  return detail::ReadBodyText(File());
}

void Message::LoadStructure() {
  if (!detail::StampOf(File(), stamp_)) {
    if (errno != ENOENT || !Relocate() || !detail::StampOf(File(), stamp_))
      runtime::Raise(runtime::err::kFileNotFound, "The message file '" + File().string() + "' is missing");
  }
  std::optional<detail::StructureFacts> ahead = detail::TakeReadAhead(File(), stamp_);
  detail::StructureFacts facts;
  if (ahead) {
    facts = std::move(*ahead);  // the parts were noted where they were parsed
  } else {
    facts = detail::ReadStructure(File());
    detail::NoteParts(File(), stamp_, facts);
  }
  attachments_.clear();
  origins_.clear();
  loaded_paths_.clear();
  int ordinal = 0;
  for (auto& part : facts.attachments) {
    ++ordinal;
    Attachment a;
    a.type = part.type;
    a.content_type = part.content_type;
    a.content_id = part.content_id;
    if (part.type == 5) {
      std::string raw = part.raw_name;
      if (raw.empty() && !part.inner_subject.empty()) raw = part.inner_subject + ".eml";
      a.file_name = SanitizeAttachmentName(raw, NeutralAttachmentName(ordinal, part.content_type));
      a.display_name = CleanDisplayText(part.inner_subject);
      if (a.display_name.empty()) a.display_name = a.file_name;
    } else {
      a.file_name = SanitizeAttachmentName(part.raw_name, NeutralAttachmentName(ordinal, part.content_type));
      a.display_name = a.file_name;
    }
    attachments_.push_back(std::move(a));
    Origin origin;
    origin.path = part.path;
    origin.in_file = true;
    origin.range = part.range;
    origins_.push_back(std::move(origin));
    loaded_paths_.push_back(std::move(part.path));
  }
  problems_ = std::move(facts.problems);
  loaded_ = true;
}

const std::vector<Attachment>& Message::Attachments() {
  if (!loaded_) LoadStructure();
  return attachments_;
}

void Message::ReadAhead() {
  if (!loaded_) detail::ReadAhead(File());
}

const std::vector<std::string>& Message::Problems() {
  if (!loaded_) LoadStructure();
  return problems_;
}

void Message::CheckIndex(std::size_t index) const {
  if (index >= attachments_.size())
    runtime::Raise(runtime::err::kSubscriptOutOfRange, "Attachment " + std::to_string(index + 1) +
                                                           " does not exist; the message has " +
                                                           std::to_string(attachments_.size()));
}

std::shared_ptr<const detail::OpenedPart> Message::OpenInFile(std::size_t index) {
  EnsureCurrent(true);
  const Origin& origin = origins_[index];
  if (!origin.range) return detail::OpenPart(File(), origin.path);
  return detail::OpenPart(File(), origin.path, *origin.range, stamp_);
}

std::uint64_t Message::AttachmentSize(std::size_t index) {
  Attachments();
  CheckIndex(index);
  Origin& origin = origins_[index];
  if (!origin.size) {
    if (origin.in_file) {
      origin.size = OpenInFile(index)->Each([](std::string_view) {});
    } else {
      origin.size = origin.bytes->size();
    }
  }
  return *origin.size;
}

std::string Message::ReadAttachment(std::size_t index) {
  Attachments();
  CheckIndex(index);
  if (!origins_[index].in_file) return *origins_[index].bytes;
  return OpenInFile(index)->Whole();
}

std::function<std::uint64_t(const std::function<void(std::string_view)>&)> Message::OpenAttachment(std::size_t index) {
  Attachments();
  CheckIndex(index);
  if (!origins_[index].in_file) {
    std::shared_ptr<const std::string> bytes = origins_[index].bytes;
    return [bytes](const std::function<void(std::string_view)>& out) -> std::uint64_t {
      if (!bytes->empty()) out(*bytes);
      return bytes->size();
    };
  }
  std::shared_ptr<const detail::OpenedPart> part = OpenInFile(index);
  return [part](const std::function<void(std::string_view)>& out) { return part->Each(out); };
}

void Message::SaveAttachmentAs(std::size_t index, const fs::path& target) {
  Attachments();
  CheckIndex(index);
  const auto bytes = OpenAttachment(index);
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  // A copy: the message still holds the attachment, so the copy is not
  // synced on its own (see Save for when it is).
  detail::WriteAtomically(
      target, dir, [&](int fd) { bytes([&](std::string_view piece) { detail::WriteAll(fd, piece, target); }); },
      place_.faults.get(), platform::Durability::Copy);
}

fs::path Message::SaveAttachmentInto(std::size_t index, const fs::path& folder) {
  Attachments();
  CheckIndex(index);
  fs::path target = PathInside(folder, attachments_[index].file_name);
  SaveAttachmentAs(index, target);
  return target;
}

void Message::RemoveAttachment(std::size_t index) {
  Attachments();
  CheckIndex(index);
  attachments_.erase(attachments_.begin() + static_cast<std::ptrdiff_t>(index));
  origins_.erase(origins_.begin() + static_cast<std::ptrdiff_t>(index));
  dirty_ = true;
}

void Message::AddAttachment(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec))
    runtime::Raise(runtime::err::kFileNotFound, "Cannot attach '" + file.string() + "': no such file");
  AddAttachment(file.filename().string(), ReadFile(file, false));
}

void Message::AddAttachment(std::string_view name, std::string bytes) {
  Attachments();
  Origin origin;
  origin.bytes = std::make_shared<std::string>(std::move(bytes));
  const int ordinal = static_cast<int>(attachments_.size()) + 1;
  Attachment a;
  a.file_name = SanitizeAttachmentName(name, NeutralAttachmentName(ordinal, ContentTypeForFileName(name)));
  a.content_type = ContentTypeForFileName(a.file_name);
  a.display_name = a.file_name;
  a.added = true;
  attachments_.push_back(std::move(a));
  origins_.push_back(std::move(origin));
  dirty_ = true;
}

fs::path Message::TempDir() const { return place_.maildir ? place_.folder_dir / "tmp" : place_.folder_dir; }

void Message::Save() {
  if (!dirty_) return;
  const std::string label = subject_ && !subject_->empty() ? *subject_ : File().filename().string();
  const std::string what = "The message '" + label + "' was not saved: ";
  try {
    EnsureCurrent(true);
    // The rename would replace a read-only file as easily as any other; it
    // is refused as a read-only target of an attachment is.
    struct stat st {};
    if (::stat(File().c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0)
      runtime::Raise(runtime::err::kPermissionDenied, "the file '" + File().string() + "' is read-only");
    const std::string original = ReadFile(File(), false);

    std::vector<detail::PartPath> remove;
    for (const auto& path : loaded_paths_) {
      const bool kept =
          std::any_of(origins_.begin(), origins_.end(), [&](const Origin& o) { return o.in_file && o.path == path; });
      if (!kept) remove.push_back(path);
    }
    std::vector<detail::NewPart> add;
    for (std::size_t i = 0; i < origins_.size(); ++i) {
      if (!origins_[i].in_file)
        add.push_back({attachments_[i].file_name, attachments_[i].content_type, *origins_[i].bytes});
    }
    const std::string rewritten = detail::RewriteMessage(original, remove, add);

    // The attachments about to go may have been saved out just before (an
    // export that deletes what it saved): those copies reach the disk before
    // the only other copy, this message, loses them.
    if (!remove.empty()) {
      if (const int error = platform::SyncCopies())
        detail::RaiseIoError(error, "sync the saved attachments of", File());
    }
    if (place_.maildir) {
      std::error_code ec;
      fs::create_directories(TempDir(), ec);  // a Maildir may lack tmp/ after a careless copy
    }
    detail::WriteAtomically(
        File(), TempDir(), [&](int fd) { detail::WriteAll(fd, rewritten, File()); }, place_.faults.get());
  } catch (const runtime::Error& e) {
    runtime::Raise(e.Number(), what + e.Description() + ". The file on disk is unchanged.");
  }
  dirty_ = false;
  loaded_ = false;
  attachments_.clear();
  origins_.clear();
  loaded_paths_.clear();
}

void Message::Revert() {
  dirty_ = false;
  loaded_ = false;
  attachments_.clear();
  origins_.clear();
  loaded_paths_.clear();
  problems_.clear();
}

}  // namespace host::mail
