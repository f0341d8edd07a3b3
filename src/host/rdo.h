#pragma once
// The outside MAPI session object, ProgID "LMVUtils.LMVRDOSession". Given
// the host session's MAPIOBJECT it opens saved messages of the host's store
// by EntryID and reads attachment properties by MAPI property tag. It sees
// what was saved, as the store holds it, not unsaved changes of an open item.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/common.h"
#include "host/outlook.h"
#include "host/store.h"
#include "platform/com/com.h"

namespace host {

inline constexpr std::string_view kRDOSessionProgId = "LMVUtils.LMVRDOSession";

inline constexpr std::uint32_t PR_DISPLAY_NAME_W = 0x3001001F;
inline constexpr std::uint32_t PR_ATTACH_LONG_FILENAME_W = 0x3707001F;

class RDOAttachment {
 public:
  explicit RDOAttachment(AttachmentData data) : data_(std::move(data)) {}
  std::string DisplayName() const { return data_.displayName; }
  std::string FileName() const { return data_.fileName; }
  // The property as text; "" when the attachment does not have it. Both
  // forms of the content-id tag (0x3712001F, 0x3712000A) give the content id.
  std::string Fields(std::uint32_t tag) const;

 private:
  AttachmentData data_;
};

class RDOAttachments {
 public:
  explicit RDOAttachments(std::vector<std::shared_ptr<RDOAttachment>> list) : list_(std::move(list)) {}
  long Count() const { return static_cast<long>(list_.size()); }
  std::shared_ptr<RDOAttachment> Item(long index) const;
  std::vector<std::shared_ptr<RDOAttachment>>::const_iterator begin() const { return list_.begin(); }
  std::vector<std::shared_ptr<RDOAttachment>>::const_iterator end() const { return list_.end(); }

 private:
  std::vector<std::shared_ptr<RDOAttachment>> list_;
};

class RDOMail {
 public:
  RDOMail(std::string entryId, const ItemData& data);
  std::string EntryID() const { return entryId_; }
  std::string Subject() const { return subject_; }
  std::shared_ptr<RDOAttachments> Attachments() const { return attachments_; }

 private:
  std::string entryId_;
  std::string subject_;
  std::shared_ptr<RDOAttachments> attachments_;
};

class RDOSession : public platform::com::Object {
 public:
  std::shared_ptr<MAPIObject> MAPIOBJECT();
  // Attaches the object to the session of that handle (Nothing detaches it).
  void MAPIOBJECT(std::shared_ptr<MAPIObject> handle);
  // Raises when not attached, or when no saved message has that EntryID.
  std::shared_ptr<RDOMail> GetMessageFromID(std::string_view entryId);

  host::Faults& Faults() { return faults_; }

 private:
  std::shared_ptr<MAPIObject> handle_;
  host::Faults faults_;
};

// The outside library's self-registration.
void RegisterRDOSession(platform::com::ClassRegistry& registry);

}  // namespace host
