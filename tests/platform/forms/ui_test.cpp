#include "platform/forms/ui.h"

#include <gtest/gtest.h>

#include "platform/forms/probe_form.h"

namespace {

using namespace forms_test;
using Events = std::vector<std::string>;

// A modal show with no driver: no person could ever close the form.
const Outcome kNobodyAnswers{formerr::kFormAlreadyDisplayed, "Can't show form 'frmProbe' modally: nobody answers it"};

class ModalShow : public FormsTest {};

TEST_F(ModalShow, TheDriverActsOnTheShownFormAndTheShowReturnsWhenItHides) {
  bool visibleInDriver = false, modalInDriver = false;
  ui->Drive<frmProbe>("frmProbe", [&](frmProbe& f) {
    visibleInDriver = f.Visible();
    modalInDriver = f.IsShownModally();
    user::Type(*f.txtName, "new.jpg");
    f.onOK = [&f] { f.Hide(); };
    user::Click(*f.cmdOK);
  });
  auto f = Default<frmProbe>();
  f->Show(vbModal);
  EXPECT_TRUE(visibleInDriver);
  EXPECT_TRUE(modalInDriver);
  EXPECT_FALSE(f->IsShownModally());
  EXPECT_FALSE(f->Visible());
  EXPECT_TRUE(f->IsLoaded());  // hidden, not unloaded
  EXPECT_EQ(f->txtName->Text(), "new.jpg");
  EXPECT_EQ(ui->NoticesOf("frmProbe"), (Events{"Load", "ShowModal", "Hide"}));
}

TEST_F(ModalShow, AnUnloadEndsTheShowAndAHeldFormStillAnswers) {
  ui->Drive<frmProbe>("frmProbe", [](frmProbe& f) { user::Click(*f.cmdCancel); });
  auto dialog = Default<frmProbe>();
  dialog->Show(vbModal);
  EXPECT_FALSE(dialog->IsLoaded());
  EXPECT_TRUE(dialog->Cancelled());
  EXPECT_EQ(ui->NoticesOf("frmProbe"), (Events{"Load", "ShowModal", "Unload"}));
}

TEST_F(ModalShow, WithoutADriverTheShowFailsAndTheCallerCanShowItModeless) {
  auto f = Default<frmProbe>();
  EXPECT_EQ(Raised([&] { f->Show(vbModal); }), kNobodyAnswers);
  EXPECT_FALSE(f->Visible());
  f->Show();  // the name-conflict dialog's way out
  EXPECT_TRUE(f->Visible());
  EXPECT_EQ(ui->NoticesOf("frmProbe"), (Events{"Load", "ModalFailed", "Show"}));
  // A form that is visible already cannot be shown modally either.
  ui->Drive("frmProbe", [](Form& form) { form.Hide(); });
  EXPECT_EQ(Raised([&] { f->Show(vbModal); }), (Outcome{400, "Form already displayed; can't show modally"}));
}

TEST_F(ModalShow, OneTimeDriversComeFirstInOrderThenTheStandingOne) {
  std::vector<std::string> seen;
  ui->Drive("frmProbe", [&](Form& f) {
    seen.push_back("standing");
    f.Hide();
  });
  ui->DriveOnce("frmProbe", [&](Form& f) {
    seen.push_back("first");
    f.Hide();
  });
  ui->DriveOnce("frmProbe", [&](Form& f) {
    seen.push_back("second");
    f.Hide();
  });
  auto f = Default<frmProbe>();
  for (int i = 0; i < 3; ++i) f->Show(vbModal);
  EXPECT_EQ(seen, (std::vector<std::string>{"first", "second", "standing"}));
  ui->StopDriving("frmProbe");
  EXPECT_EQ(Raised([&] { f->Show(vbModal); }), kNobodyAnswers);
}

TEST_F(ModalShow, ADriverThatLeavesTheFormShownIsAnError) {
  ui->Drive("frmProbe", [](Form&) {});
  auto f = Default<frmProbe>();
  EXPECT_EQ(Raised([&] { f->Show(vbModal); }),
            (Outcome{51, "the driver of form 'frmProbe' returned while the form was still shown modally"}));
  EXPECT_FALSE(f->Visible());
  EXPECT_FALSE(f->IsShownModally());
}

TEST_F(ModalShow, TimersRunWhileADriverWaits) {
  ui->Drive<frmProbe>("frmProbe", [&](frmProbe& f) {
    f.onTick = [&f] { Unload(f); };
    f.tmrTick->Interval(250);
    loop->Wait(1000);
  });
  auto f = Default<frmProbe>();
  f->Show(vbModal);
  EXPECT_FALSE(f->IsLoaded());
  EXPECT_EQ(std::count(Log().begin(), Log().end(), "tmrTick_Timer"), 1);
}

// A second form shown modally from the first one's handler.
class frmInner : public Form {
 public:
  frmInner() : Form("frmInner") {}
  FormControl<CommandButton> cmdClose{this, "cmdClose"};

 protected:
  void Design() override {
    cmdClose->Click = [this] { Hide(); };
  }
};

TEST_F(ModalShow, WhileAFormIsShownModallyOnlyTheTopmostOneCanBeReached) {
  Outcome refusedOuter;
  ui->Drive<frmInner>("frmInner", [&](frmInner& inner) {
    refusedOuter = Raised([] { user::Click(*Default<frmProbe>()->cmdOK); });
    user::Click(*inner.cmdClose);
  });
  ui->Drive<frmProbe>("frmProbe", [](frmProbe& f) {
    f.onOK = [&f] {
      if (Default<frmInner>()->Visible()) return;
      Default<frmInner>()->Show(vbModal, &f);
      f.Hide();
    };
    user::Click(*f.cmdOK);
  });
  Default<frmProbe>()->Show(vbModal);
  EXPECT_EQ(refusedOuter, (Outcome{5, "a person cannot reach form 'frmProbe': another form is shown modally"}));
  EXPECT_EQ(Default<frmInner>()->Owner(), Default<frmProbe>());
  EXPECT_FALSE(Default<frmProbe>()->Visible());
}

class Seam : public FormsTest {};

TEST_F(Seam, MovingTheMouseOntoAControlPutsTheWindowsCursorBackFirst) {
  auto f = Default<frmProbe>();
  f->imgHelp->MouseMove = [](int, int, float, float) { Screen().SetCursor(32649); };
  f->Show();
  user::MouseMove(*f->imgHelp, 10, 10);
  EXPECT_EQ(Screen().Cursor(), 32649);
  user::MouseMove(*f, 500, 500);
  EXPECT_EQ(Screen().Cursor(), 0);
  EXPECT_EQ(Screen().CursorLog(), (std::vector<long>{32649, 0}));
}

TEST_F(Seam, TheConsolePrintsTheFormWithEveryControl) {
  auto f = Default<frmProbe>();
  f->optB->Value(true);
  f->chkFlag->Value(vbChecked);
  f->txtName->Text("a.jpg");
  f->cmdCancel->Enabled(false);
  f->lblRow(1).Visible(false);
  f->Show();
  EXPECT_EQ(DescribeForm(*f),
            "Probe  [frmProbe]\n"
            "  lblInfo  Label  \"design\"\n"
            "  fraOptions  Frame  \"\"\n"
            "  optA  OptionButton  ( ) \"A\"\n"
            "  optB  OptionButton  (o) \"B\"\n"
            "  optOther  OptionButton  ( ) \"Other\"\n"
            "  chkFlag  CheckBox  [x] \"\"\n"
            "  txtName  TextBox  text \"a.jpg\"\n"
            "  cmdOK  CommandButton  \"OK\" (default)  (focus)\n"
            "  cmdCancel  CommandButton  \"Cancel\" (cancel)  (disabled)\n"
            "  imgHelp  Image  (no picture)\n"
            "  tmrTick  Timer  interval 0\n"
            "  lblRow(0)  Label  \"\"\n"
            "  lblRow(1)  Label  \"\"  (hidden)\n");
}

}  // namespace

namespace {

using namespace forms_test;

class Faults : public FormsTest {};

TEST_F(Faults, AnyFormMemberCanBeMadeToFail) {
  ui->Drive("frmProbe", [](Form& f) { f.Hide(); });
  ui->Fail("frmProbe", "ShowModal", 401, "Can't show non-modal form when modal form is displayed", 1);
  ui->Fail("frmProbe", "Unload", 70);
  auto f = Default<frmProbe>();
  EXPECT_EQ(Raised([&] { f->Show(vbModal); }),
            (Outcome{401, "Can't show non-modal form when modal form is displayed"}));
  f->Show(vbModal);  // once only
  EXPECT_EQ(Raised([&] { Unload(*f); }), kPermissionDenied);
  EXPECT_TRUE(f->IsLoaded());
  ui->Heal("frmProbe", "Unload");
  Unload(*f);
  EXPECT_FALSE(f->IsLoaded());
  EXPECT_EQ(ui->NoticesOf("frmProbe"),
            (std::vector<std::string>{"Load", "ModalFailed", "ShowModal", "Hide", "Unload"}));

  ui->FailFolder(5);
  EXPECT_EQ(Raised([] { CurrentUserInterface()->PickFolder(FolderRequest{}); }), kInvalidCall);
}

}  // namespace
