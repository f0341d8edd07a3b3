#include "host/mail_link.h"

#include <algorithm>
#include <chrono>

#include "host/common.h"
#include "runtime/error.h"
#include "runtime/text.h"

namespace host {

namespace {

// The bytes of one part of a message file, decoded when read. After a save
// the part may stand at another index; the link moves the reference.
class PartContent final : public ContentSource {
 public:
  explicit PartContent(std::shared_ptr<MailLink::PartRef> ref) : ref_(std::move(ref)) {}
  runtime::ByteArray Read() const override {
    const std::string bytes = Message()->ReadAttachment(ref_->index);
    return runtime::ByteArray(bytes.begin(), bytes.end());
  }

  // Saving an attachment decodes it from the message into the file piece
  // by piece, never holding it whole.
  files::Pieces Open() const override {
    auto decode = Message()->OpenAttachment(ref_->index);
    return [decode = std::move(decode)](const std::function<void(std::string_view)>& piece) { decode(piece); };
  }

 private:
  std::shared_ptr<mail::Message> Message() const {
    auto message = ref_->message.lock();
    if (!message || ref_->stale) runtime::Raise(err::kObjectDeleted, std::string(text::kObjectDeleted));
    return message;
  }

  std::shared_ptr<MailLink::PartRef> ref_;
};

class MessageSource final : public ItemSource {
 public:
  MessageSource(std::weak_ptr<MailLink> link, std::shared_ptr<mail::Message> message)
      : link_(std::move(link)), message_(std::move(message)) {}

  std::string Subject() override { return message_->Subject(); }
  void ReadAhead() override { message_->ReadAhead(); }

  std::vector<AttachmentData> Attachments() override {
    auto link = link_.lock();
    if (!link) RaiseDeleted();
    const auto& attachments = message_->Attachments();
    MailLink::MessageParts& parts = link->PartsOf(message_->EntryID(), message_);
    parts.contents.clear();
    parts.refs.clear();
    std::vector<AttachmentData> out;
    for (std::size_t i = 0; i < attachments.size(); ++i) {
      const mail::Attachment& a = attachments[i];
      auto ref = std::make_shared<MailLink::PartRef>(MailLink::PartRef{message_, i, false});
      auto content = std::make_shared<PartContent>(ref);
      parts.contents.push_back(content);
      parts.refs.push_back(ref);
      AttachmentData data;
      data.fileName = a.file_name;
      data.displayName = a.display_name;
      data.type = a.type == 5 ? olEmbeddeditem : olByValue;
      data.content = std::move(content);
      data.contentId = a.content_id;
      out.push_back(std::move(data));
    }
    return out;
  }

 private:
  std::weak_ptr<MailLink> link_;
  std::shared_ptr<mail::Message> message_;
};

}  // namespace

long ItemClassFor(long defaultItemType) {
  switch (defaultItemType) {
    case olAppointmentItem: return olAppointment;
    case olContactItem: return olContact;
    case olTaskItem: return olTask;
    case olJournalItem: return olJournal;
    case olNoteItem: return olNote;
    case olPostItem: return olPost;
    default: return olMail;
  }
}

std::shared_ptr<MailLink> MailLink::Attach(Store& store, std::shared_ptr<mail::Store> mail) {
  std::shared_ptr<MailLink> link(new MailLink());
  link->mail_ = std::move(mail);
  link->store_ = store.weak_from_this();
  link->AddFolders(store, link->mail_->Folders());
  store.Backend(link);
  return link;
}

void MailLink::AddFolders(Store& store, const std::vector<std::shared_ptr<mail::Folder>>& folders) {
  for (const auto& mailFolder : folders) {
    AddFolder(store, mailFolder);
    AddFolders(store, mailFolder->Folders());
  }
}

std::shared_ptr<Folder> MailLink::AddFolder(Store& store, const std::shared_ptr<mail::Folder>& mailFolder) {
  auto folder = store.AddFolder(mailFolder->Name(), mailFolder->DefaultItemType());
  folders_.emplace_back(mailFolder->Path(), folder);
  std::weak_ptr<MailLink> self = weak_from_this();
  folder->Populate([self, mailFolder](Folder& into) {
    const long itemClass = ItemClassFor(into.DefaultItemType());
    for (const auto& message : mailFolder->Messages()) {
      ItemData header;
      header.itemClass = itemClass;
      header.sent = message->Sent();
      header.downloadState = olFullItem;
      header.locator = message->File().string();
      into.AddStoredItem(message->EntryID(), std::move(header), std::make_shared<MessageSource>(self, message));
    }
  });
  return folder;
}

std::shared_ptr<Folder> MailLink::FolderAt(std::string_view path) const {
  auto mailFolder = mail_->FindFolder(path);
  if (!mailFolder) return nullptr;
  for (const auto& [p, folder] : folders_)
    if (p == mailFolder->Path()) return folder;
  return nullptr;
}

std::string MailLink::PathOf(const std::shared_ptr<Folder>& folder) const {
  for (const auto& [p, f] : folders_)
    if (f == folder) return p;
  return {};
}

std::shared_ptr<mail::Message> MailLink::MessageOf(const std::shared_ptr<Item>& item) const {
  return item ? mail_->FindMessage(item->EntryID()) : nullptr;
}

MailLink::MessageParts& MailLink::PartsOf(const std::string& entryId, const std::shared_ptr<mail::Message>& message) {
  MessageParts& parts = parts_[entryId];
  parts.message = message;
  return parts;
}

void MailLink::Write(const std::string& entryId, const ItemData& data) {
  auto message = mail_->FindMessage(entryId);
  if (!message) {
    if (data.locator.empty()) return;  // composed here: kept in memory
    runtime::Raise(err::kObjectDeleted, std::string(text::kObjectDeleted));
  }
  auto found = parts_.find(entryId);
  if (found == parts_.end()) return;  // never read, so never changed
  MessageParts& parts = found->second;

  const auto holds = [&](const std::shared_ptr<const ContentSource>& content) {
    return std::any_of(data.attachments.begin(), data.attachments.end(),
                       [&](const AttachmentData& a) { return a.content == content; });
  };
  std::vector<std::size_t> kept;
  for (std::size_t i = 0; i < parts.contents.size(); ++i)
    if (holds(parts.contents[i])) kept.push_back(i);
  std::vector<const AttachmentData*> added;
  for (const auto& a : data.attachments) {
    if (!a.content || std::find(parts.contents.begin(), parts.contents.end(), a.content) == parts.contents.end())
      added.push_back(&a);
  }
  if (kept.size() == parts.contents.size() && added.empty()) return;

  try {
    for (std::size_t i = parts.contents.size(); i-- > 0;)
      if (!std::binary_search(kept.begin(), kept.end(), i)) message->RemoveAttachment(i);
    for (const AttachmentData* a : added) {
      const runtime::ByteArray bytes = a->content ? a->content->Read() : runtime::ByteArray();
      message->AddAttachment(a->fileName, std::string(bytes.begin(), bytes.end()));
    }
    message->Save();
  } catch (...) {
    message->Revert();
    if (onWrite_) {
      std::string failure = runtime::ToError(std::current_exception()).Description();
      if (kept.size() < parts.contents.size()) failure += " Its attachments were not deleted.";
      onWrite_(message->File(), failure);
    }
    throw;
  }

  // The file now holds the kept parts in their order, then the added ones.
  MessageParts next;
  next.message = message;
  for (std::size_t i : kept) {
    next.contents.push_back(parts.contents[i]);
    next.refs.push_back(parts.refs[i]);
    if (parts.refs[i]) parts.refs[i]->index = next.contents.size() - 1;
  }
  for (std::size_t i = 0; i < parts.refs.size(); ++i)
    if (parts.refs[i] && !std::binary_search(kept.begin(), kept.end(), i)) parts.refs[i]->stale = true;
  for (const AttachmentData* a : added) {
    next.contents.push_back(a->content);
    next.refs.push_back(nullptr);
  }
  bool matches = false;
  try {
    matches = message->Attachments().size() == next.contents.size();
  } catch (...) {
  }
  if (!matches) {
    // The file reads otherwise than it was written: no index can be trusted.
    for (auto& ref : next.refs)
      if (ref) ref->stale = true;
  }
  parts = std::move(next);
  if (onWrite_) onWrite_(message->File(), {});
}

std::optional<Placement> MailLink::Save(const std::string& entryId, const ItemData& data) {
  // Sent from here, and not a message on disk yet: filed in Sent.
  if (data.sent && data.locator.empty() && !mail_->FindMessage(entryId)) return FileAsSent(data);
  Write(entryId, data);
  return std::nullopt;
}

Placement MailLink::FileAsSent(const ItemData& data) {
  auto store = store_.lock();
  if (!store) RaiseDeleted();
  mail::NewMessage out;
  out.from = from_;
  out.to = data.to;
  out.subject = data.subject;
  out.body = data.body;
  out.date =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
  std::vector<std::shared_ptr<const ContentSource>> contents;
  for (const auto& a : data.attachments) {
    const runtime::ByteArray bytes = a.content ? a.content->Read() : runtime::ByteArray();
    out.attachments.push_back({a.fileName, std::string(bytes.begin(), bytes.end())});
    contents.push_back(a.content);
  }

  std::shared_ptr<mail::Folder> mailSent = mail_->FindFolder("Sent");
  std::shared_ptr<Folder> sent;
  if (mailSent) {
    for (const auto& [path, folder] : folders_)
      if (path == mailSent->Path()) sent = folder;
  } else {
    mailSent = mail_->MakeFolder("Sent");
  }
  if (!sent) sent = AddFolder(*store, mailSent);
  // Listed before the file is there, so the new message is listed once: as
  // the item that was sent.
  sent->ItemList();

  std::shared_ptr<mail::Message> message;
  try {
    message = mailSent->AddMessage(out, "S");
  } catch (...) {
    if (onWrite_) onWrite_(mailSent->Directory(), runtime::ToError(std::current_exception()).Description());
    throw;
  }
  // Its parts stand in the file in the item's order: a later save (an
  // attachment deleted) rewrites them as it would any message read here.
  MessageParts& parts = PartsOf(message->EntryID(), message);
  parts.contents = std::move(contents);
  parts.refs.assign(parts.contents.size(), nullptr);
  if (onWrite_) onWrite_(message->File(), {});
  return Placement{message->EntryID(), sent};
}

}  // namespace host
