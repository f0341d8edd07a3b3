#pragma once
// One message file of a store. Nothing is read when the object is made: the
// subject reads the header block, the attachment list parses the MIME
// structure, and attachment bytes are decoded only when asked for.
// Attachment indexes count from 0 in the list order.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/mail/atomic_file.h"
#include "host/mail/mime.h"
#include "host/mail/write_faults.h"

namespace host::mail {

class Folder;

struct Attachment {
  int type = 1;              // 1 a file part, 5 an attached message
  std::string file_name;     // sanitised: safe to join to a folder
  std::string display_name;  // the file name; for an attached message its subject
  std::string content_type;  // lower case, "image/jpeg"
  std::string content_id;    // only for a part inside the HTML body (multipart/related, not its root); no "<>"
  bool added = false;        // added since the message was last saved
};

// Where a message lives; filled in by its folder.
struct MessagePlace {
  std::filesystem::path folder_dir;
  bool maildir = false;
  std::string subdir;      // "cur" or "new" in a Maildir folder
  std::string file_name;   // as on disk, Maildir flags included
  std::string unique;      // the Maildir unique name; the file name of an .eml
  std::string folder_key;  // the folder's directory relative to the store
  bool drafts_folder = false;
  std::shared_ptr<WriteFaults> faults;
};

class Message {
 public:
  explicit Message(MessagePlace place);

  // Stable across runs and across changes of Maildir flags: it names the
  // folder and the unique name, not the file.
  const std::string& EntryID() const { return entry_id_; }
  std::filesystem::path File() const;
  // The Maildir unique name, or the .eml file name.
  const std::string& UniqueName() const { return place_.unique; }

  // Decoded subject; "" when there is none. Raises runtime::Error 53 when
  // the file has gone.
  const std::string& Subject();
  // The sender's decoded name (else address) and the time of the Date field
  // in seconds since 1970, as a message list shows them; "" and none when
  // the message lacks them or they cannot be read. Raise as Subject does.
  const std::string& Sender();
  std::optional<std::int64_t> Date();
  // The From and To fields as a message window shows them ("Name <addr>,
  // ..."), decoded; "" when absent. Raise as Subject does.
  const std::string& From();
  const std::string& To();
  // The body a reader shows: the plain text, else the HTML's text; "" when
  // the message has none. Reads the file each time.
  std::string BodyText();
  // Received and sent mail: true. A draft (Maildir flag D, or any message
  // of a Drafts folder): false.
  bool Sent() const;

  // The attachments in part order, with edits not yet saved applied.
  const std::vector<Attachment>& Attachments();
  // A hint that Attachments will be asked for soon: the file may be parsed
  // on another thread meanwhile.
  void ReadAhead();
  // What the parser had to guess or skip in this message (truncated,
  // nested too deeply, ...); empty for a sound message.
  const std::vector<std::string>& Problems();

  // Decoded size in bytes (counted on first request).
  std::uint64_t AttachmentSize(std::size_t index);
  // Decoded bytes; an attached message as the message it is.
  std::string ReadAttachment(std::size_t index);
  // Reads the message and finds the attachment now (raising what
  // ReadAttachment raises); the answer, called later, hands the decoded bytes
  // to its receiver in order, in one piece for any picture of usual size,
  // and answers their number. Only the receiver can make it fail.
  std::function<std::uint64_t(const std::function<void(std::string_view)>&)> OpenAttachment(std::size_t index);
  // Writes the decoded bytes to `target` (replacing a file there) through a
  // temporary file in the same folder.
  void SaveAttachmentAs(std::size_t index, const std::filesystem::path& target);
  // Writes into `folder` under the attachment's file name; never outside it
  // (see PathInside). Answers the path written.
  std::filesystem::path SaveAttachmentInto(std::size_t index, const std::filesystem::path& folder);

  // Edits in memory; Save writes them.
  void RemoveAttachment(std::size_t index);
  // Takes the file's bytes now: a later change of the file does not reach
  // the message. Raises 53 when it cannot be read.
  void AddAttachment(const std::filesystem::path& file);
  // A new part named `name` (sanitised) holding `bytes`.
  void AddAttachment(std::string_view name, std::string bytes);
  bool Dirty() const { return dirty_; }
  // Writes the message with the edits, atomically: a new file (in tmp/ of a
  // Maildir, beside an .eml) renamed over the old one. Removed parts are
  // gone, added files are new parts, all other parts keep their bytes. On
  // failure raises runtime::Error, the old file is as it was and the edits
  // stay pending. Nothing to write: no-op.
  void Save();
  // Drops edits not yet saved.
  void Revert();

 private:
  friend class Folder;
  // The folder found the file under another name (a Maildir flag change).
  void Moved(std::string subdir, std::string file_name) {
    place_.subdir = std::move(subdir);
    place_.file_name = std::move(file_name);
  }

  struct Origin {
    std::vector<int> path;  // the part in the file, when `in_file`
    bool in_file = false;
    // Where its content lies in the file as `stamp_` shows it, when it can be read from there alone.
    std::optional<detail::ContentRange> range;
    std::shared_ptr<std::string> bytes;  // content of an added file
    std::optional<std::uint64_t> size;
  };

  void LoadStructure();
  // Finds the file again when another program renamed it (a Maildir flag
  // change) and raises when its content changed since the structure was read.
  void EnsureCurrent(bool structure_needed);
  bool Relocate();
  void CheckIndex(std::size_t index) const;
  // The content of an attachment in the file, current (EnsureCurrent) and found.
  std::shared_ptr<const detail::OpenedPart> OpenInFile(std::size_t index);
  std::filesystem::path TempDir() const;

  MessagePlace place_;
  std::string entry_id_;
  std::optional<std::string> subject_;
  struct Envelope {
    std::string sender;
    std::string from;
    std::string to;
    std::optional<std::int64_t> date;
  };
  std::optional<Envelope> envelope_;
  void ReadEnvelope();

  bool loaded_ = false;
  detail::FileStamp stamp_;
  std::vector<Attachment> attachments_;
  std::vector<Origin> origins_;
  std::vector<std::vector<int>> loaded_paths_;
  std::vector<std::string> problems_;
  bool dirty_ = false;
};

}  // namespace host::mail
