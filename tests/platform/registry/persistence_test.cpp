// The hives on disk: the REGEDIT4 text, when it is written, reading it back,
// and what happens to a file that cannot be read.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/registry/hive_file.h"
#include "platform/registry/registry.h"
#include "support/temp_dir.h"

namespace {

using namespace platform::registry;
namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class PersistenceTest : public ::testing::Test {
 protected:
  // A registry on the folder that keeps its messages.
  std::shared_ptr<Registry> Load(const fs::path& where) {
    auto reg = std::make_shared<Registry>();
    reg->diagnostics = [this](const std::string& m) { messages.push_back(m); };
    reg->AttachDirectory(where);
    return reg;
  }
  std::shared_ptr<Registry> Load() { return Load(dir); }
  static long SetSz(Registry& reg, HKEY h, std::string_view name, std::string_view text) {
    return reg.SetValue(h, name, REG_SZ, reinterpret_cast<const std::uint8_t*>(text.data()),
                        static_cast<long>(text.size()));
  }

  testsupport::TempDir tmp;
  fs::path dir = tmp.path();
  fs::path hkcu = dir / "HKEY_CURRENT_USER.reg";
  std::vector<std::string> messages;
};

TEST_F(PersistenceTest, WritesReadableRegedit4) {
  {
    auto reg = Load();
    reg->SeedKey(HKEY_CURRENT_USER, "Software\\Empty");
    const std::string key = "Software\\Quenstor";
    reg->Seed(HKEY_CURRENT_USER, key, "", REG_SZ, SzData("default"));
    reg->Seed(HKEY_CURRENT_USER, key, "Path", REG_SZ, SzData("C:\\Tools\\\"view\".exe"));
    reg->Seed(HKEY_CURRENT_USER, key, "Count", REG_DWORD, DwordData(12));
    reg->Seed(HKEY_CURRENT_USER, key, "Bytes", REG_BINARY, ByteArray{0x00, 0x1F, 0xA0});
    reg->Seed(HKEY_CURRENT_USER, key, "Temp", REG_EXPAND_SZ, SzData("%T%"));
    reg->Seed(HKEY_CURRENT_USER, key, "List", REG_MULTI_SZ, MultiSzData({"a", "b"}));
    reg->Seed(HKEY_CURRENT_USER, key, "NoNul", REG_SZ, ByteArray{'x'});
  }  // what is unsaved is saved when the registry ends
  EXPECT_EQ(ReadFile(hkcu),
            "REGEDIT4\n\n"
            "[HKEY_CURRENT_USER\\Software]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Empty]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Quenstor]\n"
            "@=\"default\"\n"
            "\"Path\"=\"C:\\\\Tools\\\\\\\"view\\\".exe\"\n"
            "\"Count\"=dword:0000000c\n"
            "\"Bytes\"=hex:00,1f,a0\n"
            "\"Temp\"=hex(2):25,54,25,00\n"
            "\"List\"=hex(7):61,00,62,00,00\n"
            "\"NoNul\"=hex(1):78\n\n");
  EXPECT_FALSE(fs::exists(dir / "HKEY_LOCAL_MACHINE.reg"));  // unchanged roots get no file
  EXPECT_FALSE(fs::exists(dir / "HKEY_CURRENT_USER.reg.tmp"));
  EXPECT_TRUE(messages.empty());
}

TEST_F(PersistenceTest, EverythingComesBackExactly) {
  const std::vector<ValueEntry> values = {
      {"", REG_SZ, SzData("default")},
      {"Zero length", REG_SZ, {}},
      {"Lines", REG_SZ, SzData("one\r\ntwo")},
      {"Inner NUL", REG_SZ, ByteArray{'a', 0, 'b', 0}},
      {"Unicode \xE5\x86\x99\xE7\x9C\x9F", REG_SZ, SzData("Bilder \xE2\x80\x93 \xC3\x9Crlaub")},
      {"quote\"and\\slash", REG_SZ, SzData("\\\\server\\share\\")},
      {"@", REG_SZ, SzData("not the default")},
      {"Short dword", REG_DWORD, ByteArray{1, 2}},
      {"Long binary", REG_BINARY, ByteArray(300, 0xC3)},
      {"Qword", 11, ByteArray{1, 2, 3, 4, 5, 6, 7, 8}},
      {"List", REG_MULTI_SZ, MultiSzData({"x", "", "y"})},
  };
  {
    auto reg = Load();
    for (const auto& v : values) reg->Seed(HKEY_CLASSES_ROOT, "Applications\\view.exe", v.name, v.type, v.data);
    reg->SeedKey(HKEY_CLASSES_ROOT, "Applications\\alpha");
    reg->Seed(HKEY_CLASSES_ROOT, "", "On root", REG_SZ, SzData("r"));
  }
  auto reg = Load();
  EXPECT_TRUE(messages.empty());
  std::vector<std::string> names;
  for (const auto& v : values) {
    SCOPED_TRACE(v.name);
    names.push_back(v.name);
    EXPECT_EQ(reg->Peek(HKEY_CLASSES_ROOT, "Applications\\view.exe", v.name), v);
  }
  EXPECT_EQ(reg->ValueNames(HKEY_CLASSES_ROOT, "Applications\\view.exe"), names);
  EXPECT_EQ(reg->SubkeyNames(HKEY_CLASSES_ROOT, "Applications"), (std::vector<std::string>{"alpha", "view.exe"}));
  EXPECT_EQ(reg->Peek(HKEY_CLASSES_ROOT, "", "On root")->data, SzData("r"));
}

TEST_F(PersistenceTest, SavedWhenTheChangingHandleCloses) {
  auto reg = Load();
  HKEY h = 0;
  ASSERT_EQ(reg->CreateKey(HKEY_CURRENT_USER, "Software\\Q", "", 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), 0);
  ASSERT_EQ(SetSz(*reg, h, "Name", "v1"), 0);
  EXPECT_FALSE(fs::exists(hkcu));
  ASSERT_EQ(reg->CloseKey(h), 0);
  EXPECT_NE(ReadFile(hkcu).find("\"Name\"=\"v1\""), std::string::npos);

  // Writing what is already there is no change: the file is not written again.
  fs::remove(hkcu);
  ASSERT_EQ(reg->OpenKey(HKEY_CURRENT_USER, "Software\\Q", 0, KEY_WRITE, &h), 0);
  ASSERT_EQ(SetSz(*reg, h, "NAME", "v1"), 0);
  ASSERT_EQ(reg->CloseKey(h), 0);
  EXPECT_FALSE(fs::exists(hkcu));

  // Through a predefined root, which is never closed, and by path: at once.
  ASSERT_EQ(SetSz(*reg, HKEY_CURRENT_USER, "Top", "t"), 0);
  EXPECT_NE(ReadFile(hkcu).find("\"Top\"=\"t\""), std::string::npos);
  ASSERT_EQ(reg->DeleteKey(HKEY_CURRENT_USER, "Software\\Q"), 0);
  EXPECT_EQ(ReadFile(hkcu).find("Software\\Q]"), std::string::npos);
  EXPECT_TRUE(messages.empty());
}

TEST_F(PersistenceTest, HandEditedFileIsRead) {
  tmp.Write("HKEY_CURRENT_USER.reg",
            "\xEF\xBB\xBFREGEDIT4\r\n"
            "; edited by hand\r\n"
            "[HKEY_CURRENT_USER\\Software\\Quenstor\\Lumivane\\Settings]\r\n"
            "\"DebugMode\"=dword:1\r\n"
            "\"PictureDumpDirectory\" = \"D:\\Pictures\"\r\n"
            "\"Bytes\"=hex:0A, 10,\\\r\n"
            "    FF\r\n"
            "\"DebugMode\"=dword:00000002\r\n"
            "\r\n");
  auto reg = Load();
  EXPECT_TRUE(messages.empty());
  const std::string key = "Software\\Quenstor\\Lumivane\\Settings";
  EXPECT_EQ(reg->ValueNames(HKEY_CURRENT_USER, key),
            (std::vector<std::string>{"DebugMode", "PictureDumpDirectory", "Bytes"}));
  EXPECT_EQ(reg->Peek(HKEY_CURRENT_USER, key, "DebugMode")->data, DwordData(2));
  // An unknown escape keeps its backslash, so a hand-typed path reads as meant.
  EXPECT_EQ(reg->Peek(HKEY_CURRENT_USER, key, "PictureDumpDirectory")->data, SzData("D:\\Pictures"));
  EXPECT_EQ(reg->Peek(HKEY_CURRENT_USER, key, "Bytes")->data, (ByteArray{0x0A, 0x10, 0xFF}));
}

TEST_F(PersistenceTest, BrokenFileIsSetAsideAndTheRootStartsEmpty) {
  const std::string broken = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\"A\"=dword:xyz\n";
  tmp.Write("HKEY_CURRENT_USER.reg", broken);
  tmp.Write("HKEY_LOCAL_MACHINE.reg", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\"ok\"=\"fine\"\n\n");
  {
    auto reg = Load();
    ASSERT_EQ(messages.size(), 1u);
    for (const std::string& part : {hkcu.string(), std::string("line 4"), hkcu.string() + ".broken-1"})
      EXPECT_NE(messages[0].find(part), std::string::npos) << messages[0];
    EXPECT_EQ(ReadFile(hkcu.string() + ".broken-1"), broken);
    EXPECT_TRUE(reg->SubkeyNames(HKEY_CURRENT_USER, "").empty());
    EXPECT_TRUE(reg->Peek(HKEY_LOCAL_MACHINE, "SOFTWARE", "ok"));  // the other roots load as usual
    ASSERT_EQ(SetSz(*reg, HKEY_CURRENT_USER, "New", "n"), 0);      // and the empty one is usable
    EXPECT_NE(ReadFile(hkcu).find("\"New\"=\"n\""), std::string::npos);
  }
  // A second broken file does not replace the first one set aside.
  tmp.Write("HKEY_CURRENT_USER.reg", "not a hive");
  Load();
  EXPECT_EQ(ReadFile(hkcu.string() + ".broken-1"), broken);
  EXPECT_EQ(ReadFile(hkcu.string() + ".broken-2"), "not a hive");
}

TEST_F(PersistenceTest, UnsavableFolderIsReportedNotFatal) {
  tmp.Write("blocker", "a file where the folder should be");
  auto reg = Load(dir / "blocker" / "lumivane");
  EXPECT_EQ(SetSz(*reg, HKEY_CURRENT_USER, "x", "y"), 0);  // the change itself succeeds
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("HKEY_CURRENT_USER"), std::string::npos) << messages[0];
  EXPECT_EQ(reg->Peek(HKEY_CURRENT_USER, "", "x")->data, SzData("y"));
}

TEST(HiveText, ErrorsNameTheLine) {
  const std::string head = "REGEDIT4\n[HKEY_CURRENT_USER]\n";
  struct Row {
    const char* name;
    std::string text;
    int line;
  } rows[] = {
      {"empty file", "", 0},
      {"no header", "[HKEY_CURRENT_USER\\A]\n", 1},
      {"value before any key", "REGEDIT4\n\"a\"=\"b\"\n", 2},
      {"key of another root", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n", 2},
      {"empty level", "REGEDIT4\n[HKEY_CURRENT_USER\\A\\\\B]\n", 2},
      {"unterminated text", head + "\"a\"=\"b\n", 3},
      {"text then junk", head + "\"a\"=\"b\" c\n", 3},
      {"dword too long", head + "\"a\"=dword:123456789\n", 3},
      {"bad hex byte", head + "\"a\"=hex:00,1g\n", 3},
      {"empty hex item", head + "\"a\"=hex:00,,01\n", 3},
      {"deletion entry", head + "\"a\"=-\n", 3},
      {"continued line counts from its start", head + "\"a\"=hex:00,\\\n  zz\n", 3},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    KeyNode top;
    const auto error = ReadHiveText(row.text, "HKEY_CURRENT_USER", top);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->line, row.line) << error->message;
  }
}

TEST(HiveDirectory, ChoosesTheProgramsFolder) {
  EXPECT_EQ(HiveDirectory("/srv/lv", "/home/u/.cfg", "/home/u"), fs::path("/srv/lv"));
  EXPECT_EQ(HiveDirectory("", "/home/u/.cfg", "/home/u"), fs::path("/home/u/.cfg/lumivane"));
  EXPECT_EQ(HiveDirectory("", "relative", "/home/u"), fs::path("/home/u/.config/lumivane"));
}

using Regressions = PersistenceTest;

// A deep key overflowed the stack when the tree was destroyed, and its
// rewrite grew with the square of the depth.
TEST_F(Regressions, KeysNestedBeyondTheRegistrysDepthAreRefused) {
  {
    KeyNode top;
    KeyNode* key = &top;
    for (int i = 0; i < 200000; ++i) key = key->AddSubkey("k").get();
  }  // destroyed level by level

  std::string deep = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Before]\n\"kept\"=\"yes\"\n\n[HKEY_CURRENT_USER";
  for (int i = 0; i < 200000; ++i) deep += "\\k";
  deep += "]\n\n";
  tmp.Write("HKEY_CURRENT_USER.reg", deep);
  auto reg = Load();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("nested 200000 levels deep"), std::string::npos) << messages[0];
  EXPECT_EQ(ReadFile(hkcu.string() + ".broken-1"), deep);

  // The deepest key allowed is written and read back; one deeper is not made.
  std::string path = "k";
  for (std::size_t i = 1; i < kMaxKeyDepth; ++i) path += "\\k";
  HKEY h = 0;
  long disposition = 0;
  ASSERT_EQ(reg->CreateKey(HKEY_CURRENT_USER, path, "", 0, KEY_ALL_ACCESS, nullptr, &h, &disposition), 0);
  HKEY deeper = 0;
  EXPECT_EQ(reg->CreateKey(h, "k", "", 0, KEY_ALL_ACCESS, nullptr, &deeper, &disposition), ERROR_INVALID_PARAMETER);
  ASSERT_EQ(reg->CloseKey(h), 0);
  messages.clear();
  Load();
  EXPECT_TRUE(messages.empty());
}

// A file cut short loaded what was there, and its rewrite put the rest of the
// settings back at their defaults without a word or a copy.
TEST_F(Regressions, AHiveCutShortIsKeptAsideAndWhatWasWholeIsKept) {
  const std::string head = "REGEDIT4\n\n[HKEY_CURRENT_USER\\S]\n\"First\"=\"one\"\n\"Number\"=dword:00000007\n";
  struct Row {
    const char* name;
    std::string text;
    std::vector<std::string> kept;
  } rows[] = {
      {"cut after a whole line", head, {"First", "Number"}},
      {"cut inside a dword", head + "\"Cut\"=dword:0000", {"First", "Number"}},
      {"cut inside a continued hex list", head + "\"Cut\"=hex:00,01,\\\n  0", {"First", "Number"}},
      {"cut before a line break", head + "\"Last\"=\"whole\"", {"First", "Number"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    for (const auto& entry : fs::directory_iterator(dir)) fs::remove(entry.path());
    messages.clear();
    tmp.Write("HKEY_CURRENT_USER.reg", row.text);
    {
      auto reg = Load();
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_NE(messages[0].find("final blank line"), std::string::npos) << messages[0];
      EXPECT_NE(messages[0].find(".broken-1"), std::string::npos) << messages[0];
      EXPECT_EQ(ReadFile(hkcu.string() + ".broken-1"), row.text);
      EXPECT_EQ(reg->ValueNames(HKEY_CURRENT_USER, "S"), row.kept);
      EXPECT_EQ(reg->Peek(HKEY_CURRENT_USER, "S", "Number")->data, DwordData(7));
    }
    EXPECT_NE(ReadFile(hkcu).find("\"First\"=\"one\""), std::string::npos);  // what was whole is saved again
  }
}

// Loading searched the values of a key once per value read.
TEST_F(Regressions, AKeyOfManyValuesLoadsWhole) {
  std::string text = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Many]\n";
  for (int i = 0; i < 100000; ++i) text += "\"Value" + std::to_string(i) + "\"=dword:00000001\n";
  text += "\"VALUE5\"=dword:00000002\n\n";  // a repeated name keeps its first spelling and place
  tmp.Write("HKEY_CURRENT_USER.reg", text);
  auto reg = Load();
  EXPECT_TRUE(messages.empty());
  const auto names = reg->ValueNames(HKEY_CURRENT_USER, "Many");
  ASSERT_EQ(names.size(), 100000u);
  EXPECT_EQ(names[5], "Value5");
  EXPECT_EQ(reg->Peek(HKEY_CURRENT_USER, "Many", "value5")->data, DwordData(2));
}

// A folder in the file's place was called an empty file.
TEST_F(Regressions, AFolderInPlaceOfTheHiveIsNamedSoAndKept) {
  fs::create_directories(hkcu / "inside");
  auto reg = Load();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(hkcu.string() + " is a directory"), std::string::npos) << messages[0];
  EXPECT_EQ(reg->Reports(), messages);
  ASSERT_EQ(SetSz(*reg, HKEY_CURRENT_USER, "x", "y"), 0);
  reg->Flush();
  EXPECT_TRUE(fs::is_directory(hkcu / "inside"));
}

}  // namespace
