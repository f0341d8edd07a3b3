#include <gtest/gtest.h>

#include <memory>

#include "platform/com/com.h"
#include "support/error_of.h"

namespace {

using namespace platform::com;

struct Thing : Object {
  int value = 7;
};
struct Other : Object {};

using testsupport::ErrorOf;

TEST(ClassRegistry, CreatesByProgIdOrRaises429) {
  auto registry = std::make_shared<ClassRegistry>();
  SetClassRegistry(registry);
  registry->Register("Test.Thing", [] { return std::make_shared<Thing>(); });
  EXPECT_TRUE(registry->IsRegistered("test.thing"));
  EXPECT_EQ(As<Thing>(CreateObject("TEST.THING"))->value, 7);

  struct Row {
    const char* name;
    std::function<void()> arrange;
    long number;
  };
  const Row rows[] = {
      {"unknown", [] {}, runtime::err::kCannotCreateObject},
      {"factory raises", [&] { registry->Register("Test.Bad", []() -> std::shared_ptr<Object> { throw 1; }); },
       runtime::err::kCannotCreateObject},
      {"factory gives nothing", [&] { registry->Register("Test.Bad", [] { return nullptr; }); },
       runtime::err::kCannotCreateObject},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    row.arrange();
    EXPECT_EQ(ErrorOf([] { CreateObject("Test.Bad"); }), row.number);
  }
  registry->Unregister("Test.Thing");
  EXPECT_EQ(ErrorOf([] { CreateObject("Test.Thing"); }), runtime::err::kCannotCreateObject);
  SetClassRegistry(nullptr);
}

TEST(ClassRegistry, InjectedFailuresAndTheLog) {
  ClassRegistry registry;
  registry.Register("Test.Thing", [] { return std::make_shared<Thing>(); });
  registry.FailCreate("Test.Thing", runtime::err::kCannotCreateObject, {}, 1);
  EXPECT_EQ(ErrorOf([&] { registry.Create("Test.Thing"); }), runtime::err::kCannotCreateObject);
  EXPECT_TRUE(registry.Create("Test.Thing"));  // only the next one failed
  registry.FailCreate("test.thing", 70);
  EXPECT_EQ(ErrorOf([&] { registry.Create("Test.Thing"); }), 70);
  EXPECT_EQ(ErrorOf([&] { registry.Create("Test.Thing"); }), 70);
  registry.ClearFailures();
  EXPECT_EQ(ErrorOf([&] { As<Other>(registry.Create("Test.Thing")); }), runtime::err::kTypeMismatch);
  EXPECT_EQ(registry.CreateLog().size(), 5u);
  EXPECT_EQ(registry.CreateLog()[2], "Test.Thing");
}

}  // namespace
