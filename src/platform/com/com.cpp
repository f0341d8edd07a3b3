#include "platform/com/com.h"

#include <algorithm>

#include "runtime/text.h"

namespace platform::com {

namespace {
std::shared_ptr<ClassRegistry>& Current() {
  static std::shared_ptr<ClassRegistry> registry = std::make_shared<ClassRegistry>();
  return registry;
}
}  // namespace

const ClassRegistry::Entry* ClassRegistry::Find(std::string_view progId) const {
  for (const auto& e : entries_)
    if (runtime::TextEqual(e.progId, progId)) return &e;
  return nullptr;
}

void ClassRegistry::Register(std::string_view progId, Factory factory) {
  for (auto& e : entries_) {
    if (runtime::TextEqual(e.progId, progId)) {
      e.factory = std::move(factory);
      return;
    }
  }
  entries_.push_back(Entry{std::string(progId), std::move(factory)});
}

void ClassRegistry::Unregister(std::string_view progId) {
  std::erase_if(entries_, [&](const Entry& e) { return runtime::TextEqual(e.progId, progId); });
}

bool ClassRegistry::IsRegistered(std::string_view progId) const { return Find(progId) != nullptr; }

std::vector<std::string> ClassRegistry::ProgIds() const {
  std::vector<std::string> out;
  for (const auto& e : entries_) out.push_back(e.progId);
  return out;
}

std::shared_ptr<Object> ClassRegistry::Create(std::string_view progId) {
  log_.Add(std::string(progId));
  for (auto it = failures_.begin(); it != failures_.end(); ++it) {
    if (!runtime::TextEqual(it->first, progId)) continue;
    const Failure f = it->second;
    if (it->second.times > 0 && --it->second.times == 0) failures_.erase(it);
    runtime::Raise(f.number, f.description);
  }
  const Entry* e = Find(progId);
  if (!e || !e->factory) runtime::Raise(runtime::err::kCannotCreateObject);
  Factory factory = e->factory;  // the factory may register or unregister classes
  std::shared_ptr<Object> object;
  try {
    object = factory();
  } catch (...) {
    runtime::Raise(runtime::err::kCannotCreateObject);
  }
  if (!object) runtime::Raise(runtime::err::kCannotCreateObject);
  return object;
}

void ClassRegistry::FailCreate(std::string_view progId, long number, std::string description, int times) {
  if (times == 0) return;
  failures_.emplace_back(std::string(progId), Failure{number, std::move(description), times});
}

void ClassRegistry::ClearFailures() { failures_.clear(); }

void SetClassRegistry(std::shared_ptr<ClassRegistry> registry) {
  Current() = registry ? std::move(registry) : std::make_shared<ClassRegistry>();
}

ClassRegistry& CurrentClassRegistry() { return *Current(); }

std::shared_ptr<Object> CreateObject(std::string_view progId) { return CurrentClassRegistry().Create(progId); }

}  // namespace platform::com
