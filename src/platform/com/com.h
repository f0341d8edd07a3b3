#pragma once
// Outside objects created by ProgID, as the component runtime did it: a
// library registers a class factory under its ProgID (its self-registration)
// and any caller creates an object by that name. Creation of an unknown
// ProgID, or one whose factory fails, raises 429 "ActiveX component can't
// create object".
//
// One class registry is current per process, like the system's class table;
// tests install a fresh one (SetClassRegistry) so that every test starts
// with nothing registered.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/seam_record.h"
#include "runtime/error.h"

namespace platform::com {

// Base of every object that can be created by ProgID. Callers ask for the
// interface they need with As<T>, which raises 13 when the object lacks it.
class Object {
 public:
  virtual ~Object() = default;
};

using Factory = std::function<std::shared_ptr<Object>()>;

class ClassRegistry {
 public:
  // ProgIDs compare without regard to case; registering again replaces the factory.
  void Register(std::string_view progId, Factory factory);
  void Unregister(std::string_view progId);
  bool IsRegistered(std::string_view progId) const;
  std::vector<std::string> ProgIds() const;

  // Raises 429 when the ProgID is unknown, when its factory raises or gives
  // nothing, or when a failure was injected for it.
  std::shared_ptr<Object> Create(std::string_view progId);

  // Seam: the next `times` creations of the ProgID fail with this error
  // (times < 0: every creation).
  void FailCreate(std::string_view progId, long number = runtime::err::kCannotCreateObject,
                  std::string description = {}, int times = -1);
  void ClearFailures();
  // Every creation asked for, in order, with the ProgID as the caller spelled it.
  const std::vector<std::string>& CreateLog() const { return log_.Entries(); }

 private:
  struct Failure {
    long number;
    std::string description;
    int times;
  };
  struct Entry {
    std::string progId;
    Factory factory;
  };
  std::vector<Entry> entries_;
  std::vector<std::pair<std::string, Failure>> failures_;
  platform::SeamRecord<std::string> log_;

  const Entry* Find(std::string_view progId) const;
};

void SetClassRegistry(std::shared_ptr<ClassRegistry> registry);
ClassRegistry& CurrentClassRegistry();

// CreateObject(progId) on the current registry.
std::shared_ptr<Object> CreateObject(std::string_view progId);

// The interface T of an object; nullptr stays nullptr; a mismatch raises 13.
template <class T>
std::shared_ptr<T> As(const std::shared_ptr<Object>& object) {
  if (!object) return nullptr;
  auto typed = std::dynamic_pointer_cast<T>(object);
  if (!typed) runtime::Raise(runtime::err::kTypeMismatch);
  return typed;
}

}  // namespace platform::com
