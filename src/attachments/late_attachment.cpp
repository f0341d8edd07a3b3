#include "attachments/attachments.h"
#include "host/store.h"

namespace lumivane {

namespace {

class HostAttachment final : public LateAttachment {
 public:
  explicit HostAttachment(std::shared_ptr<host::Attachment> a) : a_(std::move(a)) {}
  long Type() override { return Object().Type(); }
  std::string FileName() override { return Object().FileName(); }
  void SaveAsFile(const std::string& path) override { Object().SaveAsFile(path); }
  std::shared_ptr<host::Attachment> HostObject() override { return a_; }

 private:
  host::Attachment& Object() {
    if (!a_) runtime::Raise(runtime::err::kObjectVariableNotSet);
    return *a_;
  }
  std::shared_ptr<host::Attachment> a_;
};

}  // namespace

std::shared_ptr<LateAttachment> LateBound(std::shared_ptr<host::Attachment> attachment) {
  return std::make_shared<HostAttachment>(std::move(attachment));
}

}  // namespace lumivane
