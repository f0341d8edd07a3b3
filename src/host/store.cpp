#include "host/store.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "host/files.h"
#include "host/mail/names.h"
#include "host/outlook.h"

namespace host {

namespace {

class Bytes final : public ContentSource {
 public:
  explicit Bytes(runtime::ByteArray bytes) : bytes_(std::move(bytes)) {}
  runtime::ByteArray Read() const override { return bytes_; }

 private:
  runtime::ByteArray bytes_;
};

AttachmentData Normalised(AttachmentData data) {
  data.fileName = mail::SanitizeAttachmentName(data.fileName, kNeutralAttachmentName);
  if (data.displayName.empty()) data.displayName = data.fileName;
  return data;
}

std::string FormatEntryId(std::uint32_t n) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%08X", n);
  // The fixed part stands for the store; the counter for the item.
  return std::string("00000000D5E3A0B9C8F74E2B9A31C6D07E5F1A2B0700") + buf;
}

}  // namespace

files::Pieces ContentSource::Open() const {
  auto bytes = std::make_shared<const runtime::ByteArray>(Read());
  return [bytes](const std::function<void(std::string_view)>& piece) {
    if (!bytes->empty()) piece(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  };
}

std::shared_ptr<const ContentSource> BytesContent(runtime::ByteArray bytes) {
  return std::make_shared<Bytes>(std::move(bytes));
}

std::shared_ptr<const ContentSource> TextContent(std::string_view text) {
  return BytesContent(runtime::ByteArray(text.begin(), text.end()));
}

// ---------------------------------------------------------------- Attachment

Attachment::Attachment(std::shared_ptr<Context> context, std::weak_ptr<Item> parent, AttachmentData data)
    : context_(std::move(context)), parent_(std::move(parent)), data_(Normalised(std::move(data))) {}

void Attachment::CheckAlive(std::string_view member) {
  if (deleted_) RaiseDeleted();
  faults_.Check(member);
}

std::string Attachment::FileName() {
  CheckAlive("FileName");
  return data_.fileName;
}

std::string Attachment::DisplayName() {
  CheckAlive("DisplayName");
  return data_.displayName;
}

long Attachment::Type() {
  CheckAlive("Type");
  return data_.type;
}

long Attachment::Index() {
  CheckAlive("Index");
  auto item = parent_.lock();
  return item ? item->IndexOf(this) : 0;
}

std::shared_ptr<Item> Attachment::Parent() {
  CheckAlive("Parent");
  return parent_.lock();
}

template <class Get>
auto Attachment::ReadContent(Get get) -> decltype(get(std::declval<const ContentSource&>())) {
  if (deleted_) RaiseDeleted();
  auto item = parent_.lock();
  // Hosts before download states always hold the whole item.
  if (item && item->downloadState_ != olFullItem && context_->Major() >= 10)
    runtime::Raise(err::kFail, std::string(text::kNotDownloaded));
  if (!data_.content) return {};
  try {
    return get(*data_.content);
  } catch (const runtime::Error&) {
    throw;
  } catch (...) {
    runtime::Raise(err::kFail, std::string(text::kSaveFailed));
  }
}

runtime::ByteArray Attachment::Content() {
  return ReadContent([](const ContentSource& content) { return content.Read(); });
}

files::Pieces Attachment::OpenContent() {
  files::Pieces pieces = ReadContent([](const ContentSource& content) { return content.Open(); });
  if (!pieces) pieces = [](const auto&) {};
  return pieces;
}

void Attachment::SaveAsFile(std::string_view path) {
  CheckAlive("SaveAsFile");
  // The bytes go from the message to the file in pieces, never whole in
  // memory; the message was read and checked before anything is written.
  const files::Pieces bytes = OpenContent();
  int error = 0;
  switch (files::WriteCopy(path, bytes, &error)) {
    case files::WriteFailure::None: break;
    case files::WriteFailure::NoFolder: runtime::Raise(err::kPathNotFound, std::string(text::kSavePathNotFound));
    case files::WriteFailure::NoPermission: runtime::Raise(err::kAccessDenied, std::string(text::kSaveNoPermission));
    case files::WriteFailure::Other:
      // The add-in shows this description in its error box: the system's reason tells the person what to do.
      runtime::Raise(err::kFail, std::string(text::kSaveFailed) +
                                     (error != 0 ? " " + std::string(std::strerror(error)) + "." : std::string()));
  }
  savedTo_.emplace_back(path);
  context_->Record("SaveAsFile", std::string(path));
}

void Attachment::Delete() {
  CheckAlive("Delete");
  auto item = parent_.lock();
  if (!item) {
    deleted_ = true;
    return;
  }
  item->RemoveAt(item->IndexOf(this), "Delete");
}

// --------------------------------------------------------------- Attachments

long Attachments::Count() const {
  item_->faults_.Check("Attachments.Count");
  return static_cast<long>(item_->attachments_.size());
}

std::shared_ptr<Attachment> Attachments::Item(long index) const {
  item_->faults_.Check("Attachments.Item");
  if (index < 1 || index > static_cast<long>(item_->attachments_.size()))
    runtime::Raise(runtime::err::kSubscriptOutOfRange);
  return item_->attachments_[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<Attachment> Attachments::Add(std::string_view source, long type, long position,
                                             std::string_view displayName) {
  item_->faults_.Check("Attachments.Add");
  runtime::ByteArray bytes;
  if (!files::ReadAll(source, bytes)) runtime::Raise(err::kFileNotFound, std::string(text::kAddFileNotFound));
  AttachmentData data;
  data.fileName = files::Resolve(source);  // the name as the file system spells it
  data.displayName = std::string(displayName);
  data.type = type;
  data.content = BytesContent(std::move(bytes));
  item_->context_->Record("Attachments.Add", std::string(source));
  return item_->AddAttachment(std::move(data), position);
}

void Attachments::Remove(long index) {
  item_->faults_.Check("Attachments.Remove");
  if (index < 1 || index > static_cast<long>(item_->attachments_.size()))
    runtime::Raise(runtime::err::kSubscriptOutOfRange);
  item_->RemoveAt(index, "Remove");
}

// ---------------------------------------------------------------------- Item

Item::Item(std::shared_ptr<Context> context, std::weak_ptr<Store> store, std::weak_ptr<Folder> parent, ItemData data)
    : Open("Item.Open", context),
      Close("Item.Close", context),
      AttachmentAdd("Item.AttachmentAdd", context),
      context_(std::move(context)),
      store_(std::move(store)),
      parent_(std::move(parent)),
      class_(data.itemClass),
      subject_(std::move(data.subject)),
      to_(std::move(data.to)),
      body_(std::move(data.body)),
      sent_(data.sent),
      downloadState_(data.downloadState),
      locator_(std::move(data.locator)) {}

std::shared_ptr<Item> Item::Make(const std::shared_ptr<host::Context>& context, const std::weak_ptr<Store>& store,
                                 const std::weak_ptr<Folder>& parent, ItemData data) {
  auto attachments = std::move(data.attachments);
  auto item = std::make_shared<Item>(context, store, parent, std::move(data));
  for (auto& a : attachments) item->attachments_.push_back(std::make_shared<Attachment>(context, item, std::move(a)));
  return item;
}

long Item::Class() {
  faults_.Check("Class");
  return class_;
}

std::string Item::Subject() {
  faults_.Check("Subject");
  ReadSubject();
  return subject_;
}

void Item::Subject(std::string_view subject) {
  faults_.Check("Subject=");
  ReadAll();
  subject_ = std::string(subject);
}

const std::string& Item::SubjectText() const {
  ReadSubject();
  return subject_;
}

const std::vector<std::shared_ptr<Attachment>>& Item::AttachmentList() const {
  ReadAll();
  return attachments_;
}

void Item::ReadSubject() const {
  if (subjectRead_) return;
  subject_ = source_->Subject();
  subjectRead_ = true;
  if (!attachmentsPending_) source_.reset();
}

void Item::ReadAll() const {
  if (!source_) return;
  ReadSubject();
  if (attachmentsPending_) {
    auto self = std::const_pointer_cast<Item>(shared_from_this());
    std::vector<std::shared_ptr<Attachment>> list;
    for (auto& a : source_->Attachments()) list.push_back(std::make_shared<Attachment>(context_, self, std::move(a)));
    attachments_ = std::move(list);
    attachmentsPending_ = false;
  }
  source_.reset();
  if (auto store = store_.lock()) store->persisted_[entryId_] = Snapshot();
}

bool Item::Sent() {
  faults_.Check("Sent");
  return sent_;
}

std::string Item::EntryID() {
  faults_.Check("EntryID");
  return entryId_;
}

long Item::DownloadState() {
  faults_.Check("DownloadState");
  context_->Require(10);
  return downloadState_;
}

std::shared_ptr<host::Attachments> Item::Attachments() {
  faults_.Check("Attachments");
  ReadAll();
  return std::make_shared<host::Attachments>(shared_from_this());
}

void Item::Save() {
  faults_.Check("Save");
  auto store = store_.lock();
  if (!store) RaiseDeleted();
  store->Persist(*this);
}

std::shared_ptr<Inspector> Item::GetInspector() {
  faults_.Check("GetInspector");
  auto inspector = inspector_.lock();
  if (!inspector || inspector->Closed()) return nullptr;
  return inspector;
}

std::shared_ptr<Folder> Item::Parent() {
  faults_.Check("Parent");
  return parent_.lock();
}

std::shared_ptr<Attachment> Item::AddAttachment(AttachmentData data, long position) {
  ReadAll();
  auto self = shared_from_this();
  auto attachment = std::make_shared<Attachment>(context_, self, std::move(data));
  const auto count = static_cast<long>(attachments_.size());
  if (position >= 1 && position <= count)
    attachments_.insert(attachments_.begin() + (position - 1), attachment);
  else
    attachments_.push_back(attachment);
  AttachmentAdd.Raise(attachment);
  return attachment;
}

ItemData Item::Snapshot() const {
  ReadAll();
  ItemData data;
  data.itemClass = class_;
  data.subject = subject_;
  data.to = to_;
  data.body = body_;
  data.sent = sent_;
  data.downloadState = downloadState_;
  data.locator = locator_;
  for (const auto& a : attachments_) data.attachments.push_back(a->data_);
  return data;
}

long Item::IndexOf(const Attachment* a) const {
  for (std::size_t i = 0; i < attachments_.size(); ++i)
    if (attachments_[i].get() == a) return static_cast<long>(i + 1);
  return 0;
}

void Item::RemoveAt(long index, std::string_view member) {
  if (index < 1 || index > static_cast<long>(attachments_.size())) runtime::Raise(runtime::err::kSubscriptOutOfRange);
  auto attachment = attachments_[static_cast<std::size_t>(index - 1)];
  attachments_.erase(attachments_.begin() + (index - 1));
  attachment->deleted_ = true;
  attachment->parent_.reset();
  context_->Record(std::string(member), attachment->data_.fileName);
}

// -------------------------------------------------------------- ItemSnapshot

std::shared_ptr<Item> ItemSnapshot::Item(long index) const {
  if (index < 1 || index > Count()) runtime::Raise(runtime::err::kSubscriptOutOfRange);
  return items_[static_cast<std::size_t>(index - 1)];
}

std::vector<std::shared_ptr<host::Item>>::const_iterator ItemSnapshot::begin() const {
  if (items_.size() > 1)
    for (const auto& item : items_)
      if (item) item->ReadAhead();
  return items_.begin();
}

// -------------------------------------------------------------------- Folder

Folder::Folder(std::shared_ptr<Context> context, std::weak_ptr<Store> store, std::string name, long defaultItemType)
    : context_(std::move(context)),
      store_(std::move(store)),
      name_(std::move(name)),
      defaultItemType_(defaultItemType) {}

std::string Folder::Name() {
  faults_.Check("Name");
  return name_;
}

long Folder::DefaultItemType() {
  faults_.Check("DefaultItemType");
  return defaultItemType_;
}

std::shared_ptr<Items> Folder::Items() {
  faults_.Check("Items");
  Fill();
  return std::make_shared<host::Items>(items_);
}

const std::vector<std::shared_ptr<Item>>& Folder::ItemList() {
  Fill();
  return items_;
}

void Folder::Populate(std::function<void(Folder&)> fill) { fill_ = std::move(fill); }

void Folder::Fill() {
  if (!fill_) return;
  auto fill = std::move(fill_);
  fill_ = nullptr;
  try {
    fill(*this);
  } catch (...) {
    items_.clear();
    fill_ = std::move(fill);
    throw;
  }
}

std::shared_ptr<Item> Folder::AddStoredItem(std::string entryId, ItemData header, std::shared_ptr<ItemSource> source) {
  auto store = store_.lock();
  header.attachments.clear();
  header.subject.clear();
  auto item = Item::Make(context_, store_, weak_from_this(), std::move(header));
  item->entryId_ = entryId;
  if (source) {
    item->source_ = std::move(source);
    item->subjectRead_ = false;
    item->attachmentsPending_ = true;
  }
  if (store) {
    store->live_[entryId] = item;
    if (!item->source_) store->persisted_[entryId] = item->Snapshot();
  }
  items_.push_back(item);
  return item;
}

std::shared_ptr<Item> Folder::AddItem(ItemData data) {
  auto store = store_.lock();
  auto item = Item::Make(context_, store_, weak_from_this(), std::move(data));
  if (store) store->Adopt(*item);
  items_.push_back(item);
  return item;
}

// --------------------------------------------------------------------- Store

Store::Store(std::shared_ptr<host::Context> context)
    : ItemChange("Store.ItemChange", context), context_(std::move(context)) {}

std::shared_ptr<Folder> Store::AddFolder(std::string name, long defaultItemType) {
  auto folder = std::make_shared<Folder>(context_, weak_from_this(), std::move(name), defaultItemType);
  folders_.push_back(folder);
  return folder;
}

std::shared_ptr<Folder> Store::FindFolder(std::string_view name) const {
  for (const auto& f : folders_)
    if (f->name_ == name) return f;
  return nullptr;
}

std::shared_ptr<Item> Store::NewItem(ItemData data, std::shared_ptr<Folder> parent) {
  data.sent = false;
  return Item::Make(context_, weak_from_this(), parent, std::move(data));
}

const ItemData* Store::Persisted(std::string_view entryId) const {
  auto it = persisted_.find(std::string(entryId));
  if (it == persisted_.end()) {
    // An item a loader has not read yet is stored as its file says.
    auto item = FindItem(entryId);
    if (!item || item->IsRead()) return nullptr;
    item->ReadAll();
    it = persisted_.find(std::string(entryId));
  }
  return it == persisted_.end() ? nullptr : &it->second;
}

std::shared_ptr<Item> Store::FindItem(std::string_view entryId) const {
  auto it = live_.find(std::string(entryId));
  return it == live_.end() ? nullptr : it->second.lock();
}

void Store::Adopt(Item& item) {
  const std::string id = FormatEntryId(nextEntry_++);
  persisted_[id] = item.Snapshot();
  live_[id] = item.weak_from_this();
  item.entryId_ = id;
}

void Store::Restore(Item& item) {
  const auto stored = persisted_.find(item.entryId_);
  if (stored == persisted_.end()) return;
  const ItemData& data = stored->second;
  item.subject_ = data.subject;
  std::vector<std::shared_ptr<Attachment>> list;
  for (const auto& a : data.attachments) {
    // An attachment object still in the item stays the same object.
    auto same = std::find_if(item.attachments_.begin(), item.attachments_.end(),
                             [&](const auto& held) { return a.content && held->Data().content == a.content; });
    list.push_back(same != item.attachments_.end() ? *same
                                                   : std::make_shared<Attachment>(context_, item.weak_from_this(), a));
  }
  item.attachments_ = std::move(list);
}

void Store::Persist(Item& item) {
  const bool first = item.entryId_.empty();
  std::string id = first ? FormatEntryId(nextEntry_) : item.entryId_;
  ItemData data = item.Snapshot();
  std::optional<Placement> placed;
  if (backend_) {
    try {
      placed = backend_->Save(id, data);
    } catch (...) {
      // What was not written must not show as if it were: a stored item
      // goes back to what the store holds (a delete that failed shows the
      // attachments again).
      if (!first) {
        Restore(item);
        ItemChange.Raise(item.shared_from_this());
      }
      try {
        throw;
      } catch (const runtime::Error&) {
        throw;
      } catch (...) {
        runtime::Raise(err::kFail, "The operation failed.");
      }
    }
  }
  if (first) ++nextEntry_;
  auto self = item.shared_from_this();
  bool join = first;
  if (placed) {
    // Filed anew: the item leaves the folder it was in and its old record.
    if (auto old = item.parent_.lock()) std::erase(old->items_, self);
    if (!first) {
      persisted_.erase(item.entryId_);
      live_.erase(item.entryId_);
    }
    id = placed->entryId;
    item.parent_ = placed->folder;
    join = true;
  }
  persisted_[id] = std::move(data);
  live_[id] = item.weak_from_this();
  item.entryId_ = id;
  ++item.saveCount_;
  if (join) {
    if (auto folder = item.parent_.lock()) {
      if (std::find(folder->items_.begin(), folder->items_.end(), self) == folder->items_.end())
        folder->items_.push_back(self);
    }
  }
  context_->Record("Save", item.subject_);
  ItemChange.Raise(self);
}

}  // namespace host
