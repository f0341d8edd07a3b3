#pragma once
// The wrapper of one Inspector that shows a mail or post item. For now it
// only holds its window and its key, which is what registering it and
// removing the add-in need; its events, toolbar and commands are still to
// come, so nothing unregisters it before ShutdownHandler releases the
// collection.

#include <cstdint>
#include <memory>

namespace host {
class Inspector;
}

namespace lumivane {

class InspWrap : public std::enable_shared_from_this<InspWrap> {
 public:
  std::shared_ptr<host::Inspector> Inspector() const { return m_objInsp; }
  void Inspector(std::shared_ptr<host::Inspector> objInsp) { m_objInsp = std::move(objInsp); }
  void Key(std::int16_t anID) { m_intKey = anID; }

 private:
  std::int16_t m_intKey = 0;
  std::shared_ptr<host::Inspector> m_objInsp;
};

}  // namespace lumivane
