#include "host/rdo.h"

namespace host {

std::string RDOAttachment::Fields(std::uint32_t tag) const {
  if ((tag >> 16) == (PR_ATTACH_CONTENT_ID_W >> 16)) return data_.contentId;
  if (tag == PR_DISPLAY_NAME_W) return data_.displayName;
  if (tag == PR_ATTACH_LONG_FILENAME_W) return data_.fileName;
  auto it = data_.properties.find(tag);
  return it == data_.properties.end() ? std::string() : it->second;
}

std::shared_ptr<RDOAttachment> RDOAttachments::Item(long index) const {
  if (index < 1 || index > Count()) runtime::Raise(runtime::err::kSubscriptOutOfRange);
  return list_[static_cast<std::size_t>(index - 1)];
}

RDOMail::RDOMail(std::string entryId, const ItemData& data) : entryId_(std::move(entryId)), subject_(data.subject) {
  std::vector<std::shared_ptr<RDOAttachment>> list;
  for (const auto& a : data.attachments) list.push_back(std::make_shared<RDOAttachment>(a));
  attachments_ = std::make_shared<RDOAttachments>(std::move(list));
}

std::shared_ptr<MAPIObject> RDOSession::MAPIOBJECT() {
  faults_.Check("MAPIOBJECT");
  return handle_;
}

void RDOSession::MAPIOBJECT(std::shared_ptr<MAPIObject> handle) {
  faults_.Check("MAPIOBJECT=");
  handle_ = std::move(handle);
}

std::shared_ptr<RDOMail> RDOSession::GetMessageFromID(std::string_view entryId) {
  faults_.Check("GetMessageFromID");
  auto store = handle_ ? handle_->Store() : nullptr;
  if (!store) runtime::Raise(err::kNotLoggedOn, "Error in IMAPISession.OpenEntry: MAPI_E_LOGON_FAILED");
  const ItemData* data = store->Persisted(entryId);
  if (!data) runtime::Raise(err::kNotFound, "Error in IMAPISession.OpenEntry: MAPI_E_NOT_FOUND");
  return std::make_shared<RDOMail>(std::string(entryId), *data);
}

void RegisterRDOSession(platform::com::ClassRegistry& registry) {
  registry.Register(kRDOSessionProgId, [] { return std::make_shared<RDOSession>(); });
}

}  // namespace host
