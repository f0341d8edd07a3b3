// The navigator on a headless host form: its zones and events, the strip it
// shows after a press and a release, its properties, property bag and the
// design-time refusal, its error box, its cursor, and the bitmaps the
// library ships.

#include "navigator/navigator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/com/com.h"
#include "platform/forms/event_loop.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/screen.h"
#include "platform/forms/ui.h"
#include "platform/forms/user_control.h"
#include "platform/shell/shell.h"
#include "support/raised.h"
#include "support/temp_dir.h"

namespace {

namespace forms = platform::forms;
using stepwick::Navigator;
using testsupport::kCannotCreateObject;
using testsupport::Outcome;
using testsupport::Raised;

class HostForm : public forms::Form {
 public:
  HostForm() : Form("HostForm") {}
  forms::FormUserControl<Navigator> Navigator1{this, "Navigator1", std::string(stepwick::kProgID)};
  std::vector<std::string> events;
  bool userMode = true;

 protected:
  void Design() override {
    if (!Navigator1->Object()) return;
    Navigator1->UserMode(userMode);
    Navigator& n = Navigator1.Object();
    n.Play = [this] { events.push_back("Play"); };
    n.Pause = [this] { events.push_back("Pause"); };
    n.Previous = [this] { events.push_back("Previous"); };
    n.Forward = [this] { events.push_back("Forward"); };
    n.Cancel = [this] { events.push_back("Cancel"); };
  }
};

class NavigatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    forms::DiscardAllForms();
    forms::SetUserInterface(std::make_shared<forms::ScriptedUserInterface>());
    forms::SetEventLoop(std::make_shared<forms::EventLoop>(std::make_shared<forms::VirtualClock>()));
    forms::SetMessageBoxResponder(boxes);
    forms::Screen().Reset();
    platform::shell::Reset();
    platform::com::SetClassRegistry(classes);
    stepwick::DllRegisterServer();
  }
  void TearDown() override {
    forms::DiscardAllForms();
    platform::com::SetClassRegistry(nullptr);
    forms::SetMessageBoxResponder(nullptr);
    stepwick::SetResourceFolder(kResources);
  }

  // A host form on show, its navigator placed.
  std::shared_ptr<HostForm> Host(bool userMode = true) {
    auto host = std::make_shared<HostForm>();
    host->userMode = userMode;
    host->Show();
    return host;
  }
  static Navigator& Nav(HostForm& f) { return f.Navigator1.Object(); }
  static void Down(HostForm& f, float x) { forms::user::MouseDown(Nav(f).Image1(), x, 100); }
  static void Up(HostForm& f, float x) { forms::user::MouseUp(Nav(f).Image1(), x, 100); }

  const std::string kResources = stepwick::ResourceFolder();
  std::shared_ptr<forms::ScriptedMessageBoxes> boxes = std::make_shared<forms::ScriptedMessageBoxes>();
  std::shared_ptr<platform::com::ClassRegistry> classes = std::make_shared<platform::com::ClassRegistry>();
};

TEST_F(NavigatorTest, PressPicksTheButtonByItsZoneAtAnyTwipsPerPixel) {
  struct Row {
    float tpp;
    float x;
    const char* event;
    long bitmap;
    bool paused;
  };
  std::vector<Row> rows = {
      {15, 0, "Play", stepwick::PlayDown, false},
      {15, 300, "Play", stepwick::PlayDown, false},
      {15, 300.5f, "Pause", stepwick::PauseDown, true},
      {15, 750, "Pause", stepwick::PauseDown, true},
      {15, 750.5f, "Previous", stepwick::BackDown, false},
      {15, 1200, "Previous", stepwick::BackDown, false},
      {15, 1200.5f, "Forward", stepwick::ForwardDown, false},
      {15, 1589.5f, "Forward", stepwick::ForwardDown, false},
      {15, 1600.5f, "Cancel", stepwick::CancelDown, false},
      {15, 2039, "Cancel", stepwick::CancelDown, false},
  };
  // A person's press lands on a pixel column, at its left edge: the first
  // and last column of each drawn button, at any twips per pixel.
  const struct {
    int column;
    const char* event;
    long bitmap;
    bool paused;
  } columns[] = {
      {0, "Play", stepwick::PlayDown, false},        {20, "Play", stepwick::PlayDown, false},
      {21, "Pause", stepwick::PauseDown, true},      {50, "Pause", stepwick::PauseDown, true},
      {51, "Previous", stepwick::BackDown, false},   {80, "Previous", stepwick::BackDown, false},
      {81, "Forward", stepwick::ForwardDown, false}, {105, "Forward", stepwick::ForwardDown, false},
      {106, "Cancel", stepwick::CancelDown, false},  {135, "Cancel", stepwick::CancelDown, false},
  };
  for (float tpp : {15.0f, 12.0f, 10.0f, 14.4f, 20.0f, 26.666666f})
    for (const auto& c : columns)
      rows.push_back({tpp, static_cast<float>(c.column) * tpp, c.event, c.bitmap, c.paused});
  const std::vector<std::string> names = {"Play", "Pause", "Previous", "Forward", "Cancel"};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.x) + " twips at " + std::to_string(row.tpp));
    forms::Screen().Configure(row.tpp, row.tpp, 1024, 768);
    auto host = Host();
    Down(*host, row.x);
    EXPECT_EQ(host->events, std::vector<std::string>{row.event});
    EXPECT_EQ(Nav(*host).ShownBitmap(), row.bitmap);
    EXPECT_EQ(Nav(*host).Paused(), row.paused);
    const auto pos = std::find(names.begin(), names.end(), row.event) - names.begin();
    EXPECT_EQ(Nav(*host).State(), pos + 1);
    EXPECT_FLOAT_EQ(host->Navigator1->Width(), 136 * row.tpp);
    forms::Unload(*host);
  }
}

using NavigatorRegressions = NavigatorTest;

// The left bevel of Close is drawn at 1590 to 1605 twips: a press there
// closes, it does not step to the next picture.
TEST_F(NavigatorRegressions, TheLeftBevelOfCloseIsClose) {
  for (float x : {1590.0f, 1595.0f, 1600.0f}) {
    SCOPED_TRACE(x);
    auto host = Host();
    Down(*host, x);
    EXPECT_EQ(host->events, std::vector<std::string>{"Cancel"});
    EXPECT_EQ(Nav(*host).ShownBitmap(), stepwick::CancelDown);
    forms::Unload(*host);
  }
}

TEST_F(NavigatorTest, ReleaseShowsPauseWhilePausedPlayAfterAStepAndLeavesTheRest) {
  struct Row {
    const char* name;
    std::vector<float> presses;  // each pressed and released, the last one held first
    long held;
    long released;
  };
  const Row rows[] = {
      {"previous while paused", {500, 1000}, stepwick::BackDown, stepwick::PauseDown},
      {"previous while playing", {1000}, stepwick::BackDown, stepwick::PlayDown},
      {"next while playing", {1400}, stepwick::ForwardDown, stepwick::PlayDown},
      {"pause stays pressed", {500}, stepwick::PauseDown, stepwick::PauseDown},
      {"play stays pressed", {500, 100}, stepwick::PlayDown, stepwick::PlayDown},
      {"close while playing leaves CancelDown", {1800}, stepwick::CancelDown, stepwick::CancelDown},
      // Paused wins over the last button: after Close the strip shows PauseDown.
      {"close while paused shows PauseDown", {500, 1800}, stepwick::CancelDown, stepwick::PauseDown},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto host = Host();
    for (std::size_t i = 0; i + 1 < row.presses.size(); ++i) forms::user::Press(Nav(*host).Image1(), row.presses[i]);
    Down(*host, row.presses.back());
    EXPECT_EQ(Nav(*host).ShownBitmap(), row.held);
    Up(*host, row.presses.back());
    EXPECT_EQ(Nav(*host).ShownBitmap(), row.released);
    EXPECT_EQ(Nav(*host).Image1().Picture(), stepwick::LoadResPicture(row.released));
    forms::Unload(*host);
  }
}

TEST_F(NavigatorTest, PropertiesReportTheirChangesAndEnabledBlocksNothing) {
  auto host = Host();
  Navigator& nav = Nav(*host);
  nav.Enabled(false);
  nav.Paused(true);
  EXPECT_EQ(host->Navigator1->PropertyChanges(), (std::vector<std::string>{"Enabled", "Paused"}));
  EXPECT_EQ(nav.ShownBitmap(), stepwick::PlayDown);  // the strip waits for the next release
  Down(*host, 1400);
  EXPECT_EQ(host->events, std::vector<std::string>{"Forward"});
  EXPECT_EQ(nav.UserControl_HitTest(10, 10), forms::vbHitResultTransparent);
  EXPECT_EQ(host->Navigator1->TypeName(), "Navigator");
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(NavigatorTest, AtDesignTimePausedRefuses387AndAPressShowsTheBoxYetRaisesTheEvent) {
  auto host = Host(false);
  Navigator& nav = Nav(*host);
  EXPECT_EQ(Raised([&] { nav.Paused(true); }), (Outcome{stepwick::kSetNotPermitted, "Set not permitted"}));
  EXPECT_FALSE(nav.Paused());
  EXPECT_TRUE(host->Navigator1->PropertyChanges().empty());

  Down(*host, 500);
  EXPECT_EQ(host->events, std::vector<std::string>{"Pause"});
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].title, "Stepwick Error");
  EXPECT_EQ(boxes->Log()[0].prompt,
            "Error 387 (Set not permitted) in procedure Image1_MouseDown of User Control Navigator");
  EXPECT_EQ(boxes->Log()[0].style, forms::vbExclamation);
}

TEST_F(NavigatorTest, AMissingBitmapShowsTheBoxAndTheEventStillComes) {
  auto host = Host();
  testsupport::TempDir empty;
  stepwick::SetResourceFolder(empty.path());
  Down(*host, 1800);
  EXPECT_EQ(host->events, std::vector<std::string>{"Cancel"});
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].prompt,
            "Error 326 (Resource with identifier '102' not found) in procedure Image1_MouseDown of User Control "
            "Navigator");
}

TEST_F(NavigatorTest, PropertyBagWritesEnabledThenPausedAndKeepsOnlyChangedValues) {
  auto host = Host();
  Navigator& nav = Nav(*host);
  forms::PropertyBag bag;
  nav.UserControl_WriteProperties(bag);
  EXPECT_EQ(bag.Log(), (std::vector<std::string>{"Write Enabled", "Write Paused"}));
  EXPECT_FALSE(bag.Contains("Enabled"));
  EXPECT_FALSE(bag.Contains("Paused"));

  nav.Enabled(false);
  nav.Paused(true);
  nav.UserControl_WriteProperties(bag);
  nav.UserControl_InitProperties();
  EXPECT_TRUE(nav.Enabled());
  EXPECT_FALSE(nav.Paused());
  nav.UserControl_ReadProperties(bag);
  EXPECT_FALSE(nav.Enabled());
  EXPECT_TRUE(nav.Paused());

  // The form's saved properties are read at every load.
  auto saved = std::make_shared<HostForm>();
  saved->Navigator1.DesignProperties().WriteProperty("Paused", true, false);
  saved->Show();
  EXPECT_TRUE(Nav(*saved).Paused());
  EXPECT_TRUE(Nav(*saved).Enabled());
}

TEST_F(NavigatorTest, MovingOverTheStripShowsTheHandUnlessTheSystemHasNone) {
  auto& cursors = platform::shell::Current().cursors;
  auto host = Host();
  forms::user::MouseMove(Nav(*host).Image1(), 100, 100);
  EXPECT_EQ(cursors.CurrentCursor(), cursors.HandleOf(platform::shell::IDC_HAND));

  cursors.SetCursor(cursors.HandleOf(platform::shell::IDC_ARROW));
  cursors.RemoveSystemCursor(platform::shell::IDC_HAND);
  forms::user::MouseMove(Nav(*host).Image1(), 100, 100);
  EXPECT_EQ(cursors.CurrentCursor(), cursors.HandleOf(platform::shell::IDC_ARROW));
}

TEST_F(NavigatorTest, CreatedOnlyByItsRegisteredProgId) {
  platform::com::SetClassRegistry(std::make_shared<platform::com::ClassRegistry>());
  auto host = Host();
  EXPECT_EQ(host->Navigator1->Object(), nullptr);
  ASSERT_NE(host->Navigator1->CreateError(), nullptr);
  const auto& createError = *host->Navigator1->CreateError();
  EXPECT_EQ((Outcome{createError.Number(), createError.Description()}), kCannotCreateObject);
  EXPECT_EQ(Raised([&] { host->Navigator1.Object(); }), kCannotCreateObject);

  platform::com::SetClassRegistry(classes);
  auto placed = Host();
  EXPECT_EQ(classes->CreateLog().back(), "Stepwick.Navigator");
  EXPECT_FLOAT_EQ(placed->Navigator1->Width(), 2040);
  EXPECT_FLOAT_EQ(placed->Navigator1->Height(), 330);
  EXPECT_EQ(Nav(*placed).ShownBitmap(), stepwick::PlayDown);
}

TEST_F(NavigatorTest, TheLibraryShipsItsTenStripsAndItsToolboxPicture) {
  struct Row {
    long id;
    std::int32_t width, height;
    std::uint16_t bits;
  };
  std::vector<Row> rows;
  for (long id = stepwick::BackDown; id <= stepwick::BackOver; ++id) rows.push_back({id, 136, 22, 24});
  rows.push_back({stepwick::kToolboxBitmap, 16, 15, 4});
  for (const Row& row : rows) {
    SCOPED_TRACE(row.id);
    std::ifstream file(stepwick::LoadResPicture(row.id), std::ios::binary);
    unsigned char header[30] = {};
    ASSERT_TRUE(file.read(reinterpret_cast<char*>(header), sizeof header));
    const auto le = [&](int at, int n) {
      std::uint32_t v = 0;
      for (int i = n - 1; i >= 0; --i) v = (v << 8) | header[at + i];
      return v;
    };
    EXPECT_EQ(header[0], 'B');
    EXPECT_EQ(header[1], 'M');
    EXPECT_EQ(static_cast<std::int32_t>(le(18, 4)), row.width);
    EXPECT_EQ(static_cast<std::int32_t>(le(22, 4)), row.height);  // bottom-up rows
    EXPECT_EQ(le(28, 2), row.bits);
  }
}

}  // namespace
