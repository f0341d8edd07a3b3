#include "platform/forms/msforms.h"
#include "platform/forms/fm_check_box.h"

#include <gtest/gtest.h>

#include "platform/forms/forms_fixture.h"

namespace {

using namespace forms_test;
using Events = std::vector<std::string>;

// Two named groups side by side in one container, and an unnamed option.
class frmGroups : public Form {
 public:
  frmGroups() : Form("frmGroups") {}
  FormControl<msforms::OptionButton> optA1{this, "optA1"};
  FormControl<msforms::OptionButton> optA2{this, "optA2"};
  FormControl<msforms::OptionButton> optB1{this, "optB1"};
  FormControl<msforms::OptionButton> optLoose{this, "optLoose"};
  FormControl<msforms::CheckBox> chkFlag{this, "chkFlag"};

 protected:
  void Design() override {
    for (auto* o : {&*optA1, &*optA2}) o->GroupName("A");
    optB1->GroupName("B");
    optA1->Value(true);  // at design: no Click
    for (auto* o : {&*optA1, &*optA2, &*optB1, &*optLoose}) o->Click = [o] { Log().push_back(o->Name()); };
    chkFlag->Click = [this] { Log().push_back(chkFlag->Value() ? "chkFlag True" : "chkFlag False"); };
  }
};

TEST_F(FormsTest, FormsLibraryOptionsGroupByNameAndCheckBoxesAreBooleans) {
  auto f = Default<frmGroups>();
  f->Show();
  f->optB1->Value(true);
  f->optLoose->Value(true);
  f->optA1->Value(true);  // selected already: nothing
  EXPECT_TRUE(f->optA1->Value());
  user::Click(*f->optA2);
  EXPECT_FALSE(f->optA1->Value());
  EXPECT_TRUE(f->optB1->Value());
  EXPECT_TRUE(f->optLoose->Value());
  user::Click(*f->chkFlag);
  f->chkFlag->Value(true);  // unchanged: nothing
  f->chkFlag->Value(false);
  EXPECT_EQ(Log(), (Events{"optB1", "optLoose", "optA2", "chkFlag True", "chkFlag False"}));
  EXPECT_EQ(f->optA2->Describe(), "(o) \"\" group A");
  EXPECT_EQ(f->chkFlag->TypeName(), "MSForms.CheckBox");
}

}  // namespace
