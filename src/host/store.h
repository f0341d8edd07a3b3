#pragma once
// The mail store of the stand-in client: folders, items of every class and
// their attachments, held in memory. Tests build it in code; a loader of mail
// files plugs in through its seams: a folder lists its items when first used
// (Folder::Populate), an item reads its subject and attachments when first
// used (ItemSource), an attachment's bytes come from a ContentSource (read
// when first needed), and a StoreBackend persists an item when it is saved.
//
// Saving copies an item's state into the store's persisted records, which is
// what the outside MAPI session object reads (rdo.h): like the real store, it
// sees saved state only.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/common.h"
#include "host/files.h"
#include "runtime/variant.h"

namespace host {

class Inspector;
class Folder;
class Item;
class Store;

// Object classes of items (the item's `Class`).
enum OlObjectClass : long {
  olAppointment = 26,
  olContact = 40,
  olJournal = 42,
  olMail = 43,
  olNote = 44,
  olPost = 45,
  olReport = 46,
  olTask = 48,
  olTaskRequest = 49,
  olMeetingRequest = 53,
  olMeetingCancellation = 54,
  olDistributionList = 69,
};

// A folder's `DefaultItemType`.
enum OlItemType : long {
  olMailItem = 0,
  olAppointmentItem = 1,
  olContactItem = 2,
  olTaskItem = 3,
  olJournalItem = 4,
  olNoteItem = 5,
  olPostItem = 6,
};

// An attachment's `Type`.
enum OlAttachmentType : long { olByValue = 1, olByReference = 4, olEmbeddeditem = 5, olOLE = 6 };

// An item's `DownloadState`.
enum OlDownloadState : long { olHeaderOnly = 0, olFullItem = 1 };

// MAPI property tags of an attachment's content id, as the outside session
// object reads them (Unicode text and the property's error form).
inline constexpr std::uint32_t PR_ATTACH_CONTENT_ID_W = 0x3712001F;
inline constexpr std::uint32_t PR_ATTACH_CONTENT_ID_ERROR = 0x3712000A;

// The bytes of an attachment. A loader supplies its own source that reads
// them from the mail file on demand; Read may raise.
class ContentSource {
 public:
  virtual ~ContentSource() = default;
  virtual runtime::ByteArray Read() const = 0;
  // For a writer: finds and checks the bytes now, raising what Read raises,
  // and hands them out in pieces when the answer is called. A loader whose
  // source can give them without holding them whole overrides it; by
  // default they are Read's, in one piece.
  virtual files::Pieces Open() const;
};
std::shared_ptr<const ContentSource> BytesContent(runtime::ByteArray bytes);
std::shared_ptr<const ContentSource> TextContent(std::string_view text);

struct AttachmentData {
  std::string fileName = {};     // sanitised when the attachment is made
  std::string displayName = {};  // "" -> the file name
  long type = olByValue;
  std::shared_ptr<const ContentSource> content = nullptr;  // nullptr: no bytes
  std::string contentId = {};                              // "" when the part has none
  std::map<std::uint32_t, std::string> properties = {};    // further MAPI properties by tag
};

struct ItemData {
  long itemClass = olMail;
  std::string subject = {};
  // What a person writes into a new message; an item from a loader keeps
  // them in its file (see MailLink).
  std::string to = {};
  std::string body = {};
  bool sent = true;
  long downloadState = olFullItem;
  std::vector<AttachmentData> attachments = {};
  std::string locator = {};  // where a loader found the item (its file), for the backend
};

// An item a loader has found but not read: its subject and attachments are
// read when first needed, so a folder of many messages opens at once. Either
// may raise (the file has gone); the item is then read again next time.
class ItemSource {
 public:
  virtual ~ItemSource() = default;
  virtual std::string Subject() = 0;
  virtual std::vector<AttachmentData> Attachments() = 0;
  // A hint that Attachments will be asked for soon; a source may start
  // reading them on another thread.
  virtual void ReadAhead() {}
};

// Where a backend filed an item anew: its EntryID and folder there.
struct Placement {
  std::string entryId;
  std::shared_ptr<Folder> folder;
};

// Persists saved items (the mail-file writer). Write raises on failure and
// must then leave the stored copy as it was.
class StoreBackend {
 public:
  virtual ~StoreBackend() = default;
  virtual void Write(const std::string& entryId, const ItemData& data) = 0;
  // Every save comes here. A backend may file the item anew (a message
  // composed here and sent goes to its Sent folder) and answers where; by
  // default Write, and the item stays where it is.
  virtual std::optional<Placement> Save(const std::string& entryId, const ItemData& data) {
    Write(entryId, data);
    return std::nullopt;
  }
};

// The name an attachment file gets, whatever its source: the mail's own
// sanitiser (host/mail/names.h), with "attachment" for a name that is none.
inline constexpr std::string_view kNeutralAttachmentName = "attachment";

class Attachment : public std::enable_shared_from_this<Attachment> {
 public:
  Attachment(std::shared_ptr<Context> context, std::weak_ptr<Item> parent, AttachmentData data);

  std::string FileName();
  std::string DisplayName();
  long Type();
  long Index();
  std::shared_ptr<Item> Parent();
  // Writes the content to `path`, over an existing file of that name (in any
  // case). The file is written whole or not at all.
  void SaveAsFile(std::string_view path);
  void Delete();

  // Host side.
  runtime::ByteArray Content();  // raises when the item holds only its header
  files::Pieces OpenContent();   // as Content, the bytes handed out later
  const AttachmentData& Data() const { return data_; }
  bool Deleted() const { return deleted_; }
  host::Faults& Faults() { return faults_; }
  // The targets of every successful SaveAsFile, in order.
  const std::vector<std::string>& SavedTo() const { return savedTo_; }

 private:
  friend class Item;
  void CheckAlive(std::string_view member);
  // What `get` answers from the content, after the checks every read makes.
  template <class Get>
  auto ReadContent(Get get) -> decltype(get(std::declval<const ContentSource&>()));

  std::shared_ptr<Context> context_;
  std::weak_ptr<Item> parent_;
  AttachmentData data_;
  bool deleted_ = false;
  host::Faults faults_;
  std::vector<std::string> savedTo_;
};

// A live view of an item's attachments, counted from 1.
class Attachments : public std::enable_shared_from_this<Attachments> {
 public:
  explicit Attachments(std::shared_ptr<host::Item> item) : item_(std::move(item)) {}

  long Count() const;
  std::shared_ptr<Attachment> Item(long index) const;
  // Attaches a copy of the file; raises the item's AttachmentAdd. `type`
  // defaults to by value, `displayName` to the file name.
  std::shared_ptr<Attachment> Add(std::string_view source, long type = olByValue, long position = 0,
                                  std::string_view displayName = {});
  void Remove(long index);
  std::shared_ptr<host::Item> Parent() const { return item_; }

  // Walks the live collection by index, so removing while walking is safe.
  class iterator {
   public:
    iterator(const Attachments* owner, long index) : owner_(owner), index_(index) {}
    std::shared_ptr<Attachment> operator*() const { return owner_->Item(index_); }
    iterator& operator++() {
      ++index_;
      return *this;
    }
    bool operator==(const iterator& o) const { return Done() == o.Done() && (Done() || index_ == o.index_); }

   private:
    bool Done() const { return !owner_ || index_ > owner_->Count(); }
    const Attachments* owner_;
    long index_;
  };
  iterator begin() const { return iterator(this, 1); }
  iterator end() const { return iterator(nullptr, 0); }

 private:
  std::shared_ptr<host::Item> item_;
};

class Item : public std::enable_shared_from_this<Item> {
 public:
  Item(std::shared_ptr<Context> context, std::weak_ptr<Store> store, std::weak_ptr<Folder> parent, ItemData data);

  long Class();
  std::string Subject();
  void Subject(std::string_view subject);
  bool Sent();
  std::string EntryID();  // "" until the item is first saved
  long DownloadState();   // absent on 9.x hosts (438)
  std::shared_ptr<host::Attachments> Attachments();
  // Persists the item. A failing save changes nothing stored: the item keeps
  // its EntryID (still "" when it had never been saved); a stored item whose
  // write failed goes back to its stored state, a new one keeps its state.
  void Save();
  std::shared_ptr<Inspector> GetInspector();  // the open Inspector, or Nothing
  std::shared_ptr<Folder> Parent();

  HostEvent<bool&> Open;   // (Cancel)
  HostEvent<bool&> Close;  // (Cancel)
  HostEvent<std::shared_ptr<Attachment>> AttachmentAdd;

  // Host side.
  host::Faults& Faults() { return faults_; }
  void Sent(bool sent) { sent_ = sent; }
  // What a person types into a new message's window.
  const std::string& ToText() const { return to_; }
  void SetTo(std::string to) { to_ = std::move(to); }
  const std::string& BodyText() const { return body_; }
  void SetBody(std::string body) { body_ = std::move(body); }
  void DownloadState(long state) { downloadState_ = state; }
  void Class(long itemClass) { class_ = itemClass; }
  // Adds an attachment as the host does (a file dropped on the window, the
  // stationery picture at send time): raises AttachmentAdd.
  std::shared_ptr<Attachment> AddAttachment(AttachmentData data, long position = 0);
  // Attachments the host adds itself when the item is sent.
  void AddOnSend(AttachmentData data) { onSend_.push_back(std::move(data)); }
  std::vector<AttachmentData> TakeOnSend() { return std::exchange(onSend_, {}); }
  long SaveCount() const { return saveCount_; }
  bool SentFlag() const { return sent_; }
  // These read an item that a loader has not read yet (and may raise then).
  const std::string& SubjectText() const;
  void SetInspector(const std::shared_ptr<Inspector>& inspector) { inspector_ = inspector; }
  const std::vector<std::shared_ptr<Attachment>>& AttachmentList() const;
  ItemData Snapshot() const;
  // Passes the hint on to a loader's source whose attachments are unread.
  void ReadAhead() const {
    if (source_ && attachmentsPending_) source_->ReadAhead();
  }
  // False while a loader's item has not read its attachments yet.
  bool IsRead() const { return !source_ || (subjectRead_ && !attachmentsPending_); }

 private:
  friend class Attachment;
  friend class Attachments;
  friend class Store;
  friend class Folder;
  static std::shared_ptr<Item> Make(const std::shared_ptr<host::Context>& context, const std::weak_ptr<Store>& store,
                                    const std::weak_ptr<Folder>& parent, ItemData data);
  long IndexOf(const Attachment* a) const;
  void RemoveAt(long index, std::string_view member);
  // Reads what the loader's source holds, once: the subject alone, or
  // everything; the store records the item as read then.
  void ReadSubject() const;
  void ReadAll() const;

  std::shared_ptr<Context> context_;
  std::weak_ptr<Store> store_;
  std::weak_ptr<Folder> parent_;
  long class_;
  // Filled from source_ on first use.
  mutable std::string subject_;
  mutable std::shared_ptr<ItemSource> source_;
  mutable bool subjectRead_ = true;
  mutable bool attachmentsPending_ = false;
  std::string to_;
  std::string body_;
  bool sent_;
  long downloadState_;
  std::string locator_;
  std::string entryId_;
  mutable std::vector<std::shared_ptr<Attachment>> attachments_;
  std::vector<AttachmentData> onSend_;
  std::weak_ptr<Inspector> inspector_;
  long saveCount_ = 0;
  host::Faults faults_;
};

// Items as they were when a collection of them was read, counted from 1: a
// folder's `Items` and an Explorer's `Selection` (outlook.h).
class ItemSnapshot {
 public:
  explicit ItemSnapshot(std::vector<std::shared_ptr<host::Item>> items) : items_(std::move(items)) {}
  long Count() const { return static_cast<long>(items_.size()); }
  std::shared_ptr<host::Item> Item(long index) const;

  // Whoever walks many items most likely asks each for its attachments, so a
  // walk hints every item to read them ahead.
  std::vector<std::shared_ptr<host::Item>>::const_iterator begin() const;
  std::vector<std::shared_ptr<host::Item>>::const_iterator end() const { return items_.end(); }

 private:
  std::vector<std::shared_ptr<host::Item>> items_;
};

using Items = ItemSnapshot;

class Folder : public std::enable_shared_from_this<Folder> {
 public:
  Folder(std::shared_ptr<Context> context, std::weak_ptr<Store> store, std::string name, long defaultItemType);

  std::string Name();
  long DefaultItemType();
  std::shared_ptr<host::Items> Items();

  // Host side: an item already in the store (saved, with its EntryID).
  std::shared_ptr<Item> AddItem(ItemData data);
  // An item a loader found under its own EntryID; `header` gives its class,
  // Sent, download state and locator, `source` the rest when first needed.
  std::shared_ptr<Item> AddStoredItem(std::string entryId, ItemData header, std::shared_ptr<ItemSource> source);
  // The folder's items come from `fill` (which calls AddStoredItem) on first
  // use of Items or ItemList; when it raises, the next use tries again.
  void Populate(std::function<void(Folder&)> fill);
  host::Faults& Faults() { return faults_; }
  const std::vector<std::shared_ptr<Item>>& ItemList();

 private:
  friend class Item;
  friend class Store;
  std::shared_ptr<Context> context_;
  std::weak_ptr<Store> store_;
  void Fill();

  std::string name_;
  long defaultItemType_;
  std::vector<std::shared_ptr<Item>> items_;
  std::function<void(Folder&)> fill_;
  host::Faults faults_;
};

class Store : public std::enable_shared_from_this<Store> {
 public:
  explicit Store(std::shared_ptr<host::Context> context);

  std::shared_ptr<Folder> AddFolder(std::string name, long defaultItemType = olMailItem);
  std::shared_ptr<Folder> FindFolder(std::string_view name) const;
  const std::vector<std::shared_ptr<Folder>>& Folders() const { return folders_; }
  // An item not yet saved (being composed): EntryID "", in no folder's
  // Items until its first Save puts it into `parent`.
  std::shared_ptr<Item> NewItem(ItemData data, std::shared_ptr<Folder> parent = nullptr);

  // The state of a saved item as the store holds it; nullptr when unknown.
  const ItemData* Persisted(std::string_view entryId) const;
  std::shared_ptr<Item> FindItem(std::string_view entryId) const;

  void Backend(std::shared_ptr<StoreBackend> backend) { backend_ = std::move(backend); }
  const std::shared_ptr<host::Context>& Context() const { return context_; }

  // Host side: an item was saved (or, its write failed, went back to what
  // is stored), so every window showing it can show it as it now is.
  HostEvent<std::shared_ptr<Item>> ItemChange;

 private:
  friend class Item;
  friend class Folder;
  void Persist(Item& item);  // Save: through the backend, then the record
  void Restore(Item& item);  // back to the record, after a failed write
  void Adopt(Item& item);    // an item that is in the store already

  std::shared_ptr<host::Context> context_;
  std::shared_ptr<StoreBackend> backend_;
  std::vector<std::shared_ptr<Folder>> folders_;
  // A loader's item enters here when it is first read (its state then is
  // the stored one).
  mutable std::map<std::string, ItemData> persisted_;
  std::map<std::string, std::weak_ptr<Item>> live_;
  std::uint32_t nextEntry_ = 1;
};

}  // namespace host
