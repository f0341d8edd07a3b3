#pragma once
// The client's store over real mail: every folder of a mail store on disk
// (host/mail/store.h) becomes a folder of the host's store, every message an
// item, every attachment part an attachment. Nothing is read up front: a
// folder lists its files when first used, a message reads its subject and
// its MIME structure when first used, and an attachment's bytes are decoded
// when SaveAsFile needs them.
//
// Saving an item writes its message file back (the link is the store's
// backend): attachments removed from the item are gone from the file, files
// added to it are new parts, every other part keeps its bytes. A failed save
// leaves the file as it was and raises.
//
// Items:
//   Class         43 in a mail folder, 45 in a post folder, the class of the
//                 folder's kind otherwise (26 appointment, 40 contact, ...)
//   Sent          false for a draft (Maildir flag D, a Drafts folder)
//   EntryID       the mail store's own, stable across runs
//   DownloadState 1: a file on disk is always the whole message
// Attachments: FileName sanitised by the mail layer; Type 1 for a file, 5 for
// an attached message; the content id of an inline image is what the outside
// session object reads (rdo.h).

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/mail/store.h"
#include "host/store.h"

namespace host {

// The class of the items of a folder whose DefaultItemType is `defaultItemType`.
long ItemClassFor(long defaultItemType);

class MailLink : public StoreBackend, public std::enable_shared_from_this<MailLink> {
 public:
  // Adds a host folder for every folder of `mail`, parents before their
  // subfolders, in the mail store's order (a subfolder keeps its own name),
  // and becomes `store`'s backend.
  static std::shared_ptr<MailLink> Attach(Store& store, std::shared_ptr<mail::Store> mail);

  const std::shared_ptr<mail::Store>& Mail() const { return mail_; }
  // The host folder of a mail folder path ("Inbox/Projects", "\" separates
  // too, names compared without regard to case); nullptr when none.
  std::shared_ptr<Folder> FolderAt(std::string_view path) const;
  // The mail path of one of the link's host folders; "" for any other.
  std::string PathOf(const std::shared_ptr<Folder>& folder) const;
  // The message file behind one of the link's items (its sender and date
  // for a message list); nullptr for an item composed here.
  std::shared_ptr<mail::Message> MessageOf(const std::shared_ptr<Item>& item) const;
  // Every folder with its mail path, in the order they were added.
  const std::vector<std::pair<std::string, std::shared_ptr<Folder>>>& Folders() const { return folders_; }

  // StoreBackend. An item composed in the client has no message file: it
  // stays in memory until it is sent; then it is written as a new message
  // into the store's "Sent" folder (a Maildir, made when missing; flag S),
  // its attachments included, and becomes that message's item there.
  void Write(const std::string& entryId, const ItemData& data) override;
  std::optional<Placement> Save(const std::string& entryId, const ItemData& data) override;
  // The From of the messages sent from here ("" writes none).
  void SenderAddress(std::string from) { from_ = std::move(from); }
  // Told the file of every message written, and of every write that failed
  // (with the error's description; "" for a write that succeeded).
  using WriteObserver = std::function<void(const std::filesystem::path& file, const std::string& failure)>;
  void OnWrite(WriteObserver observer) { onWrite_ = std::move(observer); }

  // Internal: where the attachment parts of each read message stand in its
  // file, shared with the content sources.
  struct PartRef {
    std::weak_ptr<mail::Message> message;
    std::size_t index = 0;
    bool stale = false;
  };
  struct MessageParts {
    std::shared_ptr<mail::Message> message;
    // By the part's index in the message: the content the host's attachment holds.
    std::vector<std::shared_ptr<const ContentSource>> contents;
    std::vector<std::shared_ptr<PartRef>> refs;  // nullptr for a part added by a save
  };
  MessageParts& PartsOf(const std::string& entryId, const std::shared_ptr<mail::Message>& message);

 private:
  MailLink() = default;
  void AddFolders(Store& store, const std::vector<std::shared_ptr<mail::Folder>>& folders);
  std::shared_ptr<Folder> AddFolder(Store& store, const std::shared_ptr<mail::Folder>& mailFolder);
  Placement FileAsSent(const ItemData& data);

  std::shared_ptr<mail::Store> mail_;
  std::vector<std::pair<std::string, std::shared_ptr<Folder>>> folders_;
  std::map<std::string, MessageParts> parts_;
  WriteObserver onWrite_;
  std::weak_ptr<Store> store_;
  std::string from_;
};

}  // namespace host
