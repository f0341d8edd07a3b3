// The settings object over the registry stand-in: the first run against an
// empty hive and the file it leaves, reading back, the per-option defaults,
// the getter rules that reach the registry through Update, and what Update
// does when a value cannot be written.

#include "settings/reg_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/forms/msgbox.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "settings/app.h"
#include "settings/helpers.h"
#include "settings/reg_routines.h"
#include "support/temp_dir.h"

namespace {

using namespace platform::registry;
namespace shell = platform::shell;
namespace forms = platform::forms;
namespace fs = std::filesystem;
namespace mpa = lumivane::modPictureAttachments;
using lumivane::RegSettings;

const std::string kSettings = "Software\\Quenstor\\Lumivane\\Settings";

// Every value Update writes, in the order it writes them; DebugMode is not among them.
const std::vector<std::string> kUpdateOrder = {"AutoDisplayOptions",
                                               "AutoDisplayCriteria",
                                               "AutoDisplayOrientationOptions",
                                               "DefaultViewer",
                                               "SlideShowInterval",
                                               "AutoDisplayInterval",
                                               "HideSlideShowText",
                                               "PictureDumpDirectory",
                                               "ExplBarHide",
                                               "WizardFormImageControlLastViewedState",
                                               "ToolbarStyle",
                                               "ShowTaskPaneInFullWizard",
                                               "ShowTaskPaneInHorizontalWizard",
                                               "ShowTaskPaneInVerticalWizard",
                                               "EnableAttPreviews",
                                               "BatchSaveFileExtensions",
                                               "BatchSaveLastExportOption",
                                               "BatchSaveLastFileOption",
                                               "DoNotPromptBeforeQuickSave",
                                               "AppendSubjectToAttachmentFileNameAndUseThisAsTheFollowingCharacter",
                                               "AttachmentExportAppendSubstitutionText",
                                               "AttachmentExportUseAppendSubstitutionText",
                                               "AttachmentExportIncludeExportReport",
                                               "AttachmentExportDeleteAfterSave",
                                               "InspectorBarHide",
                                               "CaptureInlineHTMLImages",
                                               "ExplBarHeight",
                                               "ExplBarLeft",
                                               "ExplBarPosition",
                                               "ExplBarRowIndex",
                                               "ExplBarTop",
                                               "ExplBarWidth",
                                               "InspBarHeight",
                                               "InspBarLeft",
                                               "InspBarPosition",
                                               "InspBarRowIndex",
                                               "InspBarTop",
                                               "InspBarWidth",
                                               "AppVersion",
                                               "ExpBarBut1Style",
                                               "ExpBarBut2Style",
                                               "ExpBarBut3Style",
                                               "ExpBarBut4Style",
                                               "InspBarBut1Style",
                                               "InspBarBut2Style",
                                               "InspBarBut3Style",
                                               "InspBarBut4Style",
                                               "ExpBarBut1Text",
                                               "ExpBarBut2Text",
                                               "ExpBarBut3Text",
                                               "ExpBarBut4Text",
                                               "InspBarBut1Text",
                                               "InspBarBut2Text",
                                               "InspBarBut3Text",
                                               "InspBarBut4Text"};

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class RegSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shell::Reset();
    lumivane::ResetAddInGlobals();
    forms::SetMessageBoxResponder(boxes);
    pictures = tmp.MakeDir("home/Pictures");
    documents = tmp.MakeDir("home/Documents");
    shell::Current().folders.Define(shell::CSIDL_MYPICTURES, pictures);
    shell::Current().folders.Define(shell::CSIDL_PERSONAL, documents);
    SetCurrent(reg);  // in memory; the tests of what reaches the disk call Restart()
  }
  void TearDown() override {
    lumivane::ResetAddInGlobals();
    SetCurrent(nullptr);
    shell::Reset();
    lumivane::App::SetRevision(LUMIVANE_VERSION_REVISION);
  }

  // A new registry on the same folder, as the next start of the program finds it.
  void Restart() {
    reg.reset();
    SetCurrent(nullptr);
    reg = std::make_shared<Registry>();
    reg->diagnostics = [](const std::string& m) { ADD_FAILURE() << m; };
    reg->AttachDirectory(hives);
    SetCurrent(reg);
  }
  void Seed(const std::string& name, long type, ByteArray data) {
    reg->Seed(HKEY_CURRENT_USER, kSettings, name, type, std::move(data));
  }
  ValueEntry Stored(const std::string& name) {
    auto v = reg->Peek(HKEY_CURRENT_USER, kSettings, name);
    if (!v) {
      ADD_FAILURE() << name << " is not stored";
      return {};
    }
    return *v;
  }
  void ExpectDword(const std::string& name, std::uint32_t want) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Stored(name), (ValueEntry{name, REG_DWORD, DwordData(want)}));
  }
  void ExpectText(const std::string& name, const std::string& want) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Stored(name), (ValueEntry{name, REG_SZ, SzData(want)}));
  }
  std::shared_ptr<RegSettings> Load() {
    lumivane::g_objSettings = std::make_shared<RegSettings>();
    return lumivane::g_objSettings;
  }
  std::vector<std::string> Prompts() const {
    std::vector<std::string> out;
    for (const auto& b : boxes->Log()) out.push_back(b.prompt);
    return out;
  }

  testsupport::TempDir tmp;
  fs::path hives = tmp.MakeDir("config");
  std::string pictures, documents;
  std::shared_ptr<Registry> reg = std::make_shared<Registry>();
  std::shared_ptr<forms::ScriptedMessageBoxes> boxes = std::make_shared<forms::ScriptedMessageBoxes>();
};

TEST_F(RegSettingsTest, FirstRunWritesTheWholeSetWithDefaultsAndTheFileShowsIt) {
  Restart();
  auto s = Load();
  EXPECT_TRUE(reg->HasKey(HKEY_CURRENT_USER, kSettings));
  EXPECT_TRUE(mpa::g_blnExplBarPositionUnset);
  EXPECT_TRUE(mpa::g_blnInspBarPositionUnset);
  EXPECT_FALSE(s->DebugMode());
  EXPECT_TRUE(boxes->Log().empty());

  // Exactly the values of Update, in its order: no DebugMode, nothing else.
  EXPECT_EQ(reg->ValueNames(HKEY_CURRENT_USER, kSettings), kUpdateOrder);
  struct Dw {
    const char* name;
    std::uint32_t want;
  } dwords[] = {{"SlideShowInterval", 5},
                {"AutoDisplayOptions", 2},
                {"AutoDisplayInterval", 1000},
                {"AutoDisplayCriteria", 1},
                {"ShowTaskPaneInFullWizard", 1},
                {"ShowTaskPaneInHorizontalWizard", 1},
                {"ShowTaskPaneInVerticalWizard", 0},
                {"ToolbarStyle", 2},
                {"ExplBarRowIndex", 0},
                {"ExpBarBut1Style", 3},
                {"ExpBarBut4Style", 3},
                {"InspBarBut2Style", 3}};
  for (const auto& d : dwords) ExpectDword(d.name, d.want);
  struct Sz {
    const char* name;
    std::string want;
  } texts[] = {{"DefaultViewer", ""},
               {"PictureDumpDirectory", pictures},
               {"AppendSubjectToAttachmentFileNameAndUseThisAsTheFollowingCharacter", "_"},
               {"AppVersion", "1.1.0.121"},
               {"ExpBarBut1Text", "&Lumivane..."},
               {"ExpBarBut2Text", "Start S&lide Show"},
               {"ExpBarBut3Text", "Attachments &Manager"},
               {"ExpBarBut4Text", "&Settings..."},
               {"InspBarBut1Text", "&Lumivane..."},
               {"InspBarBut4Text", "Settings..."}};
  for (const auto& t : texts) ExpectText(t.name, t.want);

  // The hive is on disk already, while the add-in still runs.
  const std::string file = ReadFile(hives / "HKEY_CURRENT_USER.reg");
  EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\Quenstor\\Lumivane\\Settings]\n"
                      "\"AutoDisplayOptions\"=dword:00000002\n"),
            std::string::npos)
      << file;
  for (const char* line : {"\"SlideShowInterval\"=dword:00000005\n", "\"AppVersion\"=\"1.1.0.121\"\n",
                           "\"ExpBarBut1Text\"=\"&Lumivane...\"\n", "\"InspBarBut4Text\"=\"Settings...\"\n",
                           "\"AppendSubjectToAttachmentFileNameAndUseThisAsTheFollowingCharacter\"=\"_\"\n"}) {
    EXPECT_NE(file.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(file.find("DebugMode"), std::string::npos);
}

TEST_F(RegSettingsTest, SecondRunReadsEverythingBackUnchanged) {
  Restart();
  {
    auto s = Load();
    s->SlideShowInterval(9);
    s->DefaultViewer("IrfanView");
    s->PictureDumpDirectory(tmp / "dump folder/ünïcode");
    s->ExplBarRowIndex(2);
    s->ExplBarLeft(-40);
    s->InspBarBut3Text("&Attachments");
    s->ExpBarBut2Style(1);
    s->BatchSaveFileExtensions(".jpg;.png");
    s->Update();
    lumivane::ResetAddInGlobals();
  }
  const std::string before = ReadFile(hives / "HKEY_CURRENT_USER.reg");
  Restart();
  auto s = Load();
  EXPECT_FALSE(mpa::g_blnExplBarPositionUnset);  // a row is stored now
  EXPECT_FALSE(mpa::g_blnInspBarPositionUnset);
  EXPECT_EQ(s->SlideShowInterval(), 9);
  EXPECT_EQ(s->DefaultViewer(), "IrfanView");
  EXPECT_EQ(s->PictureDumpDirectory(), tmp / "dump folder/ünïcode");
  EXPECT_EQ(s->ExplBarRowIndex(), 2);
  EXPECT_EQ(s->ExplBarLeft(), -40);
  EXPECT_EQ(s->InspBarBut3Text(), "&Attachments");
  EXPECT_EQ(s->ExpBarBut2Style(), 1);
  EXPECT_EQ(s->BatchSaveFileExtensions(), ".jpg;.png");
  EXPECT_EQ(s->AutoDisplayInterval(), 1000);
  // The second run's own Update wrote the same set again.
  EXPECT_EQ(ReadFile(hives / "HKEY_CURRENT_USER.reg"), before);
}

TEST_F(RegSettingsTest, HandEditedDebugModeTurnsDebugModeOnAndStaysAsEdited) {
  Restart();
  Load();
  lumivane::ResetAddInGlobals();
  reg.reset();
  SetCurrent(nullptr);

  const fs::path file = hives / "HKEY_CURRENT_USER.reg";
  std::string text = ReadFile(file);
  const std::string header = "[HKEY_CURRENT_USER\\Software\\Quenstor\\Lumivane\\Settings]\n";
  ASSERT_NE(text.find(header), std::string::npos);
  text.insert(text.find(header) + header.size(), "\"DebugMode\"=dword:00000001\n");
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;

  Restart();
  auto s = Load();
  EXPECT_TRUE(s->DebugMode());
  EXPECT_EQ(Stored("DebugMode"), (ValueEntry{"DebugMode", REG_DWORD, DwordData(1)}));
  // What the switch is for: the debug texts now reach the user.
  mpa::DebugMessage("picture loaded");
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].title, "DEBUG MODE");

  // Turning it off in the running add-in is not persisted either.
  s->DebugMode(false);
  s->Update();
  EXPECT_EQ(Stored("DebugMode"), (ValueEntry{"DebugMode", REG_DWORD, DwordData(1)}));
}

TEST_F(RegSettingsTest, KeyHoldingOnlyDebugModeIsNotCreatedAgainAndEverythingElseDefaults) {
  Seed("DebugMode", REG_DWORD, DwordData(1));
  reg->ClearCalls();
  auto s = Load();
  for (const auto& c : reg->Calls()) EXPECT_NE(c.call, Call::CreateKey) << c.key << " " << c.detail;
  EXPECT_TRUE(s->DebugMode());
  EXPECT_EQ(s->SlideShowInterval(), 5);
  EXPECT_EQ(s->AutoDisplayOptions(), 2);
  EXPECT_EQ(s->AppendSubjectToAttachmentFileNameAndUseThisAsTheFollowingCharacter(), "_");
  EXPECT_TRUE(mpa::g_blnExplBarPositionUnset);
  EXPECT_TRUE(mpa::g_blnInspBarPositionUnset);
}

TEST_F(RegSettingsTest, StoredDelaysOfZeroOrLessReadAsTheDefaults) {
  // Else the automatic preview would never appear and the slideshow never advance.
  const struct {
    long slideshow, wizard, wantSlideshow, wantWizard;
  } rows[] = {{0, 0, 5, 1000}, {-3, -250, 5, 1000}, {1, 100, 1, 100}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.slideshow);
    Seed("SlideShowInterval", REG_DWORD, DwordData(row.slideshow));
    Seed("AutoDisplayInterval", REG_DWORD, DwordData(row.wizard));
    auto s = Load();
    EXPECT_EQ(s->SlideShowInterval(), row.wantSlideshow);
    EXPECT_EQ(s->AutoDisplayInterval(), row.wantWizard);
    ExpectDword("SlideShowInterval", row.wantSlideshow);
  }
}

TEST_F(RegSettingsTest, EachStoredValueIsJudgedByItself) {
  Seed("AutoDisplayOptions", REG_DWORD, DwordData(3));
  Seed("SlideShowInterval", REG_SZ, SzData("soon"));
  Seed("AutoDisplayInterval", REG_SZ, SzData("250"));
  Seed("AutoDisplayCriteria", REG_SZ, SzData("99999999999"));  // beyond 32 bits
  Seed("ToolbarStyle", REG_BINARY, ByteArray{0x01});           // lists as the text "01"
  Seed("DefaultViewer", REG_DWORD, DwordData(12));
  Seed("AppendSubjectToAttachmentFileNameAndUseThisAsTheFollowingCharacter", REG_SZ, SzData(""));
  Seed("AppVersion", REG_SZ, SzData("0.9"));
  Seed("ExplBarRowIndex", REG_SZ, SzData("top"));
  Seed("InspBarRowIndex", REG_DWORD, DwordData(4));
  Seed("debugmode", REG_SZ, SzData("True"));  // names are case-blind
  auto s = Load();

  EXPECT_EQ(s->AutoDisplayOptions(), 2);  // 3 reads as 2 ...
  ExpectDword("AutoDisplayOptions", 2);   // ... and goes back as 2
  EXPECT_EQ(s->SlideShowInterval(), 5);
  ExpectDword("SlideShowInterval", 5);  // REG_SZ replaced by REG_DWORD
  EXPECT_EQ(s->AutoDisplayInterval(), 250);
  ExpectDword("AutoDisplayInterval", 250);
  EXPECT_EQ(s->AutoDisplayCriteria(), 1);
  EXPECT_EQ(s->ToolbarStyle(), 1);  // "01" is numeric text
  EXPECT_EQ(s->DefaultViewer(), "12");
  ExpectText("DefaultViewer", "12");
  EXPECT_EQ(s->AppendSubjectToAttachmentFileNameAndUseThisAsTheFollowingCharacter(), "");  // stored empty is kept
  EXPECT_EQ(s->AppVersion(), "1.1.0.121");
  ExpectText("AppVersion", "1.1.0.121");
  EXPECT_TRUE(s->DebugMode());
  // An unreadable Explorer row counts as none; the Inspector's plays no part.
  EXPECT_EQ(s->ExplBarRowIndex(), 0);
  EXPECT_EQ(s->InspBarRowIndex(), 4);
  EXPECT_TRUE(mpa::g_blnExplBarPositionUnset);
  EXPECT_TRUE(mpa::g_blnInspBarPositionUnset);
}

TEST_F(RegSettingsTest, StoredExplorerRowLeavesTheFirstRunFlagsAloneEvenWithoutAnInspectorRow) {
  Seed("ExplBarRowIndex", REG_DWORD, DwordData(0));
  Load();
  EXPECT_FALSE(mpa::g_blnExplBarPositionUnset);
  EXPECT_FALSE(mpa::g_blnInspBarPositionUnset);
}

TEST_F(RegSettingsTest, CaptionAndStyleRules) {
  Seed("ExpBarBut4Text", REG_SZ, SzData("Settings..."));
  Seed("InspBarBut1Text", REG_SZ, SzData("&Own"));
  Seed("ExpBarBut1Style", REG_DWORD, DwordData(1));
  Seed("ExpBarBut2Style", REG_DWORD, DwordData(2));
  Seed("InspBarBut3Style", REG_DWORD, DwordData(0));
  auto s = Load();
  EXPECT_EQ(s->ExpBarBut4Text(), "Settings...");
  EXPECT_EQ(s->InspBarBut1Text(), "&Own");
  EXPECT_EQ(s->InspBarBut4Text(), "Settings...");
  EXPECT_EQ(s->ExpBarBut1Style(), 1);
  EXPECT_EQ(s->ExpBarBut2Style(), 2);
  EXPECT_EQ(s->InspBarBut3Style(), 3);
  s->ExpBarBut3Style(0);
  EXPECT_EQ(s->ExpBarBut3Style(), 3);
  s->InspBarBut2Text("");
  EXPECT_EQ(s->InspBarBut2Text(), "Start S&lide Show");

  // The build with revision 11 wrote its Explorer caption without the access key.
  lumivane::App::SetRevision(11);
  EXPECT_EQ(s->ExpBarBut4Text(), "&Settings...");
  s->ExpBarBut4Text("Settings");
  EXPECT_EQ(s->ExpBarBut4Text(), "Settings");
  s->Update();
  ExpectText("AppVersion", "1.1.0.121");  // the version is taken at load, not at Update
}

TEST_F(RegSettingsTest, PictureDumpDirectoryFallsBackAndKeepsWhatItFound) {
  struct Row {
    const char* name;
    bool pictures, documents;
    std::string want;
  } rows[] = {
      {"My Pictures", true, true, pictures},
      {"no My Pictures", false, true, documents},
      {"neither", false, false, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    lumivane::ResetAddInGlobals();
    reg = std::make_shared<Registry>();  // an empty hive for each row
    SetCurrent(reg);
    auto& folders = shell::Current().folders;
    row.pictures ? folders.Define(shell::CSIDL_MYPICTURES, pictures) : folders.Undefine(shell::CSIDL_MYPICTURES);
    row.documents ? folders.Define(shell::CSIDL_PERSONAL, documents) : folders.Undefine(shell::CSIDL_PERSONAL);
    auto s = Load();
    EXPECT_EQ(s->PictureDumpDirectory(), row.want);
    ExpectText("PictureDumpDirectory", row.want);
    // Kept: a folder that appears later does not change the answer.
    folders.Define(shell::CSIDL_MYPICTURES, tmp / "elsewhere");
    EXPECT_EQ(s->PictureDumpDirectory(), row.want.empty() ? tmp / "elsewhere" : row.want);
  }
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(RegSettingsTest, UnwritableRegistryLeavesDefaultsAndShowsNothing) {
  reg->Protect(HKEY_CURRENT_USER);
  auto s = Load();
  EXPECT_FALSE(reg->HasKey(HKEY_CURRENT_USER, kSettings));
  EXPECT_EQ(s->SlideShowInterval(), 5);
  EXPECT_EQ(s->ExpBarBut1Text(), "&Lumivane...");
  EXPECT_EQ(s->PictureDumpDirectory(), pictures);
  EXPECT_TRUE(mpa::g_blnExplBarPositionUnset);
  s->Update();  // refused value by value, reported nowhere
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(RegSettingsTest, UpdateReportsAnErrorAndWritesTheRest) {
  auto s = Load();
  s->SlideShowInterval(5'000'000'000L);  // cannot be a REG_DWORD
  s->ExplBarWidth(640);
  s->InspBarBut4Text("Options");
  s->Update();
  EXPECT_EQ(Prompts(), std::vector<std::string>{"Error 6 (Overflow) in procedure Update of Class Module RegSettings"});
  EXPECT_EQ(boxes->Log()[0].title, "Lumivane 1.1 Error");
  ExpectDword("SlideShowInterval", 5);  // the old value stays
  ExpectDword("ExplBarWidth", 640);
  ExpectText("InspBarBut4Text", "Options");
}

TEST_F(RegSettingsTest, EndingTheObjectReleasesOnlyItsOwnRegistryObject) {
  auto first = Load();
  ASSERT_TRUE(lumivane::g_objRegRoutines);
  EXPECT_EQ(lumivane::g_objRegRoutines->KeyRoot(), kSettings);
  // A replacement is made before the old one ends; its registry object must survive that.
  lumivane::g_objSettings = std::make_shared<RegSettings>();
  first.reset();
  ASSERT_TRUE(lumivane::g_objRegRoutines);
  lumivane::g_objSettings->ExplBarTop(12);
  lumivane::g_objSettings->Update();
  EXPECT_TRUE(boxes->Log().empty());
  ExpectDword("ExplBarTop", 12);
  lumivane::g_objSettings.reset();
  EXPECT_FALSE(lumivane::g_objRegRoutines);
}

}  // namespace
