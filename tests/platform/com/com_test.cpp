#include <gtest/gtest.h>

#include <memory>

#include "platform/com/com.h"
#include "support/raised.h"

namespace {

using namespace platform::com;

struct Thing : Object {
  int value = 7;
};
struct Other : Object {};

using testsupport::kCannotCreateObject;
using testsupport::kPermissionDenied;
using testsupport::kTypeMismatch;
using testsupport::Outcome;
using testsupport::Raised;

TEST(ClassRegistry, CreatesByProgIdOrRaises429) {
  auto registry = std::make_shared<ClassRegistry>();
  SetClassRegistry(registry);
  registry->Register("Test.Thing", [] { return std::make_shared<Thing>(); });
  EXPECT_TRUE(registry->IsRegistered("test.thing"));
  EXPECT_EQ(As<Thing>(CreateObject("TEST.THING"))->value, 7);

  struct Row {
    const char* name;
    std::function<void()> arrange;
    Outcome want;
  };
  const Row rows[] = {
      {"unknown", [] {}, kCannotCreateObject},
      {"factory raises", [&] { registry->Register("Test.Bad", []() -> std::shared_ptr<Object> { throw 1; }); },
       kCannotCreateObject},
      {"factory gives nothing", [&] { registry->Register("Test.Bad", [] { return nullptr; }); }, kCannotCreateObject},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    row.arrange();
    EXPECT_EQ(Raised([] { CreateObject("Test.Bad"); }), row.want);
  }
  registry->Unregister("Test.Thing");
  EXPECT_EQ(Raised([] { CreateObject("Test.Thing"); }), kCannotCreateObject);
  SetClassRegistry(nullptr);
}

TEST(ClassRegistry, InjectedFailuresAndTheLog) {
  ClassRegistry registry;
  registry.Register("Test.Thing", [] { return std::make_shared<Thing>(); });
  registry.FailCreate("Test.Thing", runtime::err::kCannotCreateObject, {}, 1);
  EXPECT_EQ(Raised([&] { registry.Create("Test.Thing"); }), kCannotCreateObject);
  EXPECT_TRUE(registry.Create("Test.Thing"));  // only the next one failed
  registry.FailCreate("test.thing", 70);
  EXPECT_EQ(Raised([&] { registry.Create("Test.Thing"); }), kPermissionDenied);
  EXPECT_EQ(Raised([&] { registry.Create("Test.Thing"); }), kPermissionDenied);
  registry.ClearFailures();
  EXPECT_EQ(Raised([&] { As<Other>(registry.Create("Test.Thing")); }), kTypeMismatch);
  EXPECT_EQ(registry.CreateLog().size(), 5u);
  EXPECT_EQ(registry.CreateLog()[2], "Test.Thing");
}

}  // namespace
