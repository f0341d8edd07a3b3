#include <gtest/gtest.h>

#include "platform/forms/msgbox.h"

namespace {

using namespace platform::forms;

TEST(MsgBox, ScriptedAnswersAreLoggedWithTheBox) {
  auto boxes = std::make_shared<ScriptedMessageBoxes>();
  SetMessageBoxResponder(boxes);
  boxes->Queue(vbNo);
  EXPECT_EQ(MsgBox("Delete?", vbYesNo + vbQuestion, "Delete All Attachments?"), vbNo);
  EXPECT_EQ(MsgBox("Done"), vbOK);  // OK-only acknowledges itself
  ASSERT_EQ(boxes->Log().size(), 2u);
  EXPECT_EQ(boxes->Log()[0].title, "Delete All Attachments?");
  EXPECT_EQ(boxes->Log()[0].style, vbYesNo + vbQuestion);
  EXPECT_EQ(boxes->Log()[1].title, DefaultTitle());
  EXPECT_THROW(MsgBox("Again?", vbYesNo), runtime::Error);  // an unexpected question fails the test
}

TEST(MsgBox, CommonErrorBox) {
  auto boxes = std::make_shared<ScriptedMessageBoxes>();
  SetMessageBoxResponder(boxes);
  ShowCommonErrorBox("Stepwick", runtime::Error(6), {"Paint", runtime::ModuleKind::UserControl, "Navigator"});
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].prompt, "Error 6 (Overflow) in procedure Paint of User Control Navigator");
  EXPECT_EQ(boxes->Log()[0].title, "Stepwick Error");
  EXPECT_EQ(boxes->Log()[0].style, vbExclamation);
}

}  // namespace
