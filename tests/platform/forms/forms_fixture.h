#pragma once
// A fresh forms world per test: no forms, a scripted user interface, a loop on
// a virtual clock, the default screen.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/event_loop.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/forms/ui.h"
#include "support/raised.h"

namespace forms_test {

using namespace platform::forms;

// What the probe forms did, in order.
inline std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DiscardAllForms();
    Log().clear();
    ui = std::make_shared<ScriptedUserInterface>();
    SetUserInterface(ui);
    clock = std::make_shared<VirtualClock>(runtime::DateTime{2026, 12, 8, 9, 0, 0});
    loop = std::make_shared<EventLoop>(clock);
    SetEventLoop(loop);
    Screen().Reset();
  }
  void TearDown() override { DiscardAllForms(); }

  std::shared_ptr<ScriptedUserInterface> ui;
  std::shared_ptr<VirtualClock> clock;
  std::shared_ptr<EventLoop> loop;
};

using testsupport::kInvalidCall;
using testsupport::kMemberNotSupported;
using testsupport::kNoError;
using testsupport::kObjectNotSet;
using testsupport::kPermissionDenied;
using testsupport::Outcome;
using testsupport::Raised;

// The forms runtime's answer to a value a property does not take.
inline const Outcome kInvalidPropertyValue{formerr::kInvalidPropertyValue, "Invalid property value"};

}  // namespace forms_test
