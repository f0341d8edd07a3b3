#include "platform/forms/form.h"

#include <gtest/gtest.h>

#include "platform/forms/probe_form.h"

namespace {

using namespace forms_test;
using Events = std::vector<std::string>;

class FormRules : public FormsTest {};

TEST_F(FormRules, TheDefaultInstanceIsMadeOnFirstReferenceAndOwnMembersDoNotLoadIt) {
  EXPECT_FALSE(DefaultInstanceExists<frmProbe>());
  auto f = Default<frmProbe>();
  EXPECT_TRUE(f->IsDefaultInstance());
  f->CallingMode(2);
  EXPECT_EQ(f->CallingMode(), 2);
  EXPECT_FALSE(f->IsLoaded());
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(Default<frmProbe>(), f);
  auto other = std::make_shared<frmProbe>();  // an explicit instance coexists
  EXPECT_FALSE(other->IsDefaultInstance());
  EXPECT_NE(other, f);
}

TEST_F(FormRules, TouchingAControlOrABuiltInMemberLoadsTheFormHidden) {
  struct Row {
    const char* name;
    std::function<void(frmProbe&)> touch;
  } rows[] = {
      {"a control", [](frmProbe& f) { f.lblInfo->Caption(); }},
      {"an array element", [](frmProbe& f) { f.lblRow(1); }},
      {"Left", [](frmProbe& f) { f.Left(); }},
      {"Top", [](frmProbe& f) { f.Top(100); }},
      {"Width", [](frmProbe& f) { f.Width(); }},
      {"Height", [](frmProbe& f) { f.Height(); }},
      {"WindowState", [](frmProbe& f) { f.WindowState(); }},
      {"hWnd", [](frmProbe& f) { EXPECT_NE(f.hWnd(), 0); }},
      {"Caption", [](frmProbe& f) { EXPECT_EQ(f.Caption(), "Probe"); }},
      {"Hide", [](frmProbe& f) { f.Hide(); }},
      {"Controls", [](frmProbe& f) { f.Controls(); }},
      {"Load", [](frmProbe& f) { Load(f); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Log().clear();
    auto f = std::make_shared<frmProbe>();
    row.touch(*f);
    EXPECT_TRUE(f->IsLoaded());
    EXPECT_FALSE(f->Visible());
    EXPECT_EQ(Log(), Events{"Form_Load"});
    row.touch(*f);  // loaded once only
    EXPECT_EQ(Log(), Events{"Form_Load"});
    Unload(*f);
  }
}

TEST_F(FormRules, AfterUnloadTheNextUseGetsAFreshInstanceWhileAHeldOneKeepsItsFields) {
  auto held = Default<frmProbe>();
  held->Show();
  held->CallingMode(1);
  held->lblInfo->Caption("changed");
  user::Click(*held->cmdCancel);  // sets Cancelled, then unloads itself
  EXPECT_FALSE(held->IsLoaded());
  EXPECT_TRUE(held->Cancelled());  // the fields outlive the unload
  EXPECT_EQ(held->CallingMode(), 1);
  EXPECT_FALSE(DefaultInstanceExists<frmProbe>());

  auto fresh = Default<frmProbe>();
  EXPECT_NE(fresh, held);
  EXPECT_FALSE(fresh->Cancelled());
  EXPECT_EQ(fresh->CallingMode(), 0);

  // Touching a control of the held object loads it again, from its design.
  Log().clear();
  EXPECT_EQ(held->lblInfo->Caption(), "design");
  EXPECT_EQ(Log(), Events{"Form_Load"});
  EXPECT_FALSE(held->IsDefaultInstance());
}

TEST_F(FormRules, UnloadOfAFormThatIsNotLoadedDoesNothing) {
  auto f = Default<frmProbe>();
  Unload(*f);
  Unload(f);
  EXPECT_TRUE(Log().empty());
  EXPECT_FALSE(f->IsLoaded());
  EXPECT_TRUE(DefaultInstanceExists<frmProbe>());
  EXPECT_EQ(Raised([] { Unload(std::shared_ptr<frmProbe>()); }), kObjectNotSet);
}

TEST_F(FormRules, AFormThatUnloadsItselfInAHandlerLivesUntilTheHandlerReturns) {
  ASSERT_EQ(frmProbe::Alive(), 0);
  Label* label = nullptr;
  bool aliveInside = false;
  std::string captionInside;
  {
    auto f = std::make_shared<frmProbe>();
    f->Show();
    label = &*f->lblInfo;
    f->onOK = [&, raw = f.get()] {
      Unload(*raw);
      aliveInside = frmProbe::Alive() == 1;
      captionInside = label->Caption();  // the control is not destroyed yet either
    };
  }  // only the runtime holds the shown form now
  ASSERT_EQ(frmProbe::Alive(), 1);
  auto f = Forms().front();
  user::Click(*dynamic_cast<frmProbe&>(*f).cmdOK);
  EXPECT_TRUE(aliveInside);
  EXPECT_EQ(captionInside, "design");
  EXPECT_EQ(frmProbe::Alive(), 1);  // `f` here still holds it
  f.reset();
  EXPECT_EQ(frmProbe::Alive(), 0);
  EXPECT_TRUE(Forms().empty());
}

TEST_F(FormRules, EventsComeInTheOriginalOrder) {
  auto f = Default<frmProbe>();
  f->Show();
  f->Show();  // already visible and active: nothing
  EXPECT_EQ(Log(), (Events{"Form_Load", "Form_Resize", "Form_Activate"}));
  Log().clear();
  f->Hide();
  f->Show();  // activated again, no second first-show resize
  EXPECT_EQ(Log(), Events{"Form_Activate"});
  Log().clear();
  Unload(*f);
  EXPECT_EQ(Log(), (Events{"Form_QueryUnload 1", "Form_Unload"}));
  EXPECT_FALSE(f->IsLoaded());
}

TEST_F(FormRules, QueryUnloadCanKeepTheFormAndTheTitleBarCloseSaysSo) {
  auto f = Default<frmProbe>();
  f->Show();
  f->cancelQueryUnload = 1;
  Log().clear();
  EXPECT_FALSE(user::Close(*f));
  EXPECT_TRUE(f->IsLoaded());
  EXPECT_TRUE(f->Visible());
  f->cancelQueryUnload = 0;
  EXPECT_TRUE(user::Close(*f));
  EXPECT_EQ(Log(), (Events{"Form_QueryUnload 0", "Form_QueryUnload 0", "Form_Unload"}));
  EXPECT_FALSE(f->IsLoaded());
}

TEST_F(FormRules, ResizeComesOnTheFirstShowAndOnRealSizeChangesOnly) {
  auto f = Default<frmProbe>();
  f->Width(7000);  // loads; not shown yet: no resize
  f->Left(10);
  EXPECT_EQ(Log(), Events{"Form_Load"});
  f->Show();
  Log().clear();
  f->Width(7000);  // unchanged
  f->Left(500);    // a move is no resize
  EXPECT_TRUE(Log().empty());
  f->Height(5000);
  f->WindowState(FormWindowState::vbMinimized);
  f->WindowState(FormWindowState::vbMinimized);
  EXPECT_EQ(Log(), (Events{"Form_Resize", "Form_Resize"}));
}

TEST_F(FormRules, AFormMaximisedAtDesignHasItsDesignSizeInLoadAndTheScreenOnceShown) {
  Screen().Configure(12, 15, 1280, 1024);
  auto f = Default<frmProbe>();
  f->maximisedAtDesign = true;
  Load(*f);
  EXPECT_EQ(f->widthAtLoad, 6000);
  EXPECT_EQ(f->Width(), 6000);
  f->Show();
  EXPECT_EQ(f->Width(), 1280 * 12);
  EXPECT_EQ(f->Height(), 1024 * 15);
  EXPECT_EQ(Raised([&] { f->Width(100); }),
            (Outcome{384, "A form can't be moved or sized while minimized or maximized"}));
  EXPECT_EQ(Raised([&] { f->Left(100); }),
            (Outcome{384, "A form can't be moved or sized while minimized or maximized"}));
  f->WindowState(FormWindowState::vbNormal);
  EXPECT_EQ(f->Width(), 6000);
  EXPECT_EQ(f->Height(), 4000);
}

TEST_F(FormRules, TheInnerSizeTakesTheBorderAndTitleBarOffWithEachAxisOwnFactor) {
  Screen().Configure(12, 15, 1280, 1024);
  auto f = Default<frmProbe>();
  f->Width(6000);
  f->Height(4000);
  EXPECT_EQ(f->ScaleWidth(), 6000 - 2 * 4 * 12);
  EXPECT_EQ(f->ScaleHeight(), 4000 - (2 * 4 + 19) * 15);
  f->BorderStyle(vbBSNone);
  EXPECT_EQ(f->ScaleWidth(), 6000);
  EXPECT_EQ(f->ScaleHeight(), 4000);
  EXPECT_EQ(Raised([&] { f->BorderStyle(9); }), kInvalidPropertyValue);
}

TEST_F(FormRules, TheFormsCollectionHoldsTheLoadedForms) {
  auto a = Default<frmProbe>();
  auto b = std::make_shared<frmProbe>();
  Load(*b);
  Load(*a);
  EXPECT_EQ(Forms(), (std::vector<std::shared_ptr<Form>>{b, a}));
  EXPECT_NE(a->hWnd(), b->hWnd());
  Unload(*b);
  EXPECT_EQ(Forms(), std::vector<std::shared_ptr<Form>>{a});
  DiscardAllForms();
  EXPECT_TRUE(Forms().empty());
  EXPECT_FALSE(DefaultInstanceExists<frmProbe>());
  EXPECT_FALSE(a->IsLoaded());
}

}  // namespace
