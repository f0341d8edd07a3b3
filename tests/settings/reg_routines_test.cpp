// RegRoutines over the registry stand-in: the conversions by type, the
// buffer retries, what is (not) written, and that no member ever raises.

#include "settings/reg_routines.h"

#include <gtest/gtest.h>

#include "platform/registry/registry.h"
#include "platform/shell/environment.h"
#include "support/temp_dir.h"

namespace {

using namespace platform::registry;
using lumivane::RegRoutines;
using runtime::ByteArray;
using runtime::Variant;

const std::string kSettings = "Software\\Quenstor\\Lumivane\\Settings";
const Variant kDefault("default");

class RegRoutinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrent(reg);
    platform::shell::Environment env;
    env.Set("TEMP", "/tmp/t");
    platform::shell::SetEnvironment(std::move(env));
    rr.hKey(HKEY_CURRENT_USER);
    rr.KeyRoot(kSettings);
  }
  void TearDown() override {
    EXPECT_EQ(reg->OpenHandleCount(), 0u) << "a key was left open";
    SetCurrent(nullptr);
    platform::shell::SetEnvironment({});
  }
  void Seed(const std::string& name, long type, ByteArray data) {
    reg->Seed(HKEY_CURRENT_USER, kSettings, name, type, std::move(data));
  }
  // The listing as "name=data" texts, checking that each pair is keyed by its name.
  std::vector<std::pair<std::string, Variant>> Listed(long root, const std::string& key) {
    std::vector<std::pair<std::string, Variant>> out;
    auto values = rr.EnumRegistryValues(root, key);
    for (long i = 1; i <= values.Count(); ++i) {
      EXPECT_EQ(values.KeyOf(i), values.Item(i)[0].AsString());
      out.emplace_back(values.Item(i)[0].AsString(), values.Item(i)[1]);
    }
    return out;
  }

  std::shared_ptr<Registry> reg = std::make_shared<Registry>();
  RegRoutines rr;
};

TEST_F(RegRoutinesTest, ValueListingConvertsByType) {
  struct Row {
    const char* name;
    long type;
    ByteArray data;
    Variant want;
  } rows[] = {
      {"", REG_SZ, SzData("the default value"), "the default value"},
      {"Zero length", REG_SZ, {}, ""},
      {"Unterminated loses its last byte", REG_SZ, ByteArray{'a', 'b', 'c'}, "ab"},
      {"Expand", REG_EXPAND_SZ, SzData("%temp%\\x %NOPE%"), "/tmp/t\\x %NOPE%"},
      {"Binary", REG_BINARY, ByteArray{0x00, 0x1F, 0xA0}, "00 1F A0"},
      {"Binary empty", REG_BINARY, {}, ""},
      {"Dword all ones", REG_DWORD, DwordData(0xFFFFFFFFu), Variant(std::int32_t{-1})},
      {"Multi", REG_MULTI_SZ, MultiSzData({"a", "b"}), "a,b"},
      {"Qword", 11, ByteArray(8, 1), Variant()},
  };
  for (const auto& row : rows) Seed(row.name, row.type, row.data);
  const auto got = Listed(HKEY_CURRENT_USER, kSettings);
  ASSERT_EQ(got.size(), std::size(rows));
  for (std::size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(rows[i].name);
    EXPECT_EQ(got[i].first, rows[i].name);  // in the order written
    EXPECT_TRUE(got[i].second == rows[i].want);
  }
  // Keys are case-blind: the settings load looks names up however they are spelled.
  EXPECT_TRUE(rr.EnumRegistryValues(HKEY_CURRENT_USER, kSettings).Item("BINARY")[1] == Variant("00 1F A0"));
}

TEST_F(RegRoutinesTest, ListingsOfMissingKeysAndOfTheRoot) {
  EXPECT_EQ(rr.EnumRegistryValues(HKEY_CURRENT_USER, "Software\\Missing").Count(), 0);
  EXPECT_EQ(rr.EnumRegistryKeys(HKEY_CURRENT_USER, "Software\\Missing").Count(), 0);
  EXPECT_EQ(rr.EnumRegistryValues(0, "").Count(), 0);

  reg->Seed(HKEY_CLASSES_ROOT, "", "OnRoot", REG_DWORD, DwordData(1));
  for (const char* k : {"zeta", "Applications", "beta"}) reg->SeedKey(HKEY_CLASSES_ROOT, k);
  reg->ClearCalls();
  auto keys = rr.EnumRegistryKeys(HKEY_CLASSES_ROOT, "");
  ASSERT_EQ(keys.Count(), 3);
  EXPECT_EQ(keys.Item(1), "Applications");
  EXPECT_EQ(keys.Item("BETA"), "beta");
  EXPECT_EQ(Listed(HKEY_CLASSES_ROOT, "").size(), 1u);
  for (const auto& call : reg->Calls()) {
    EXPECT_NE(call.call, Call::OpenKey);  // the root itself is listed, never opened or closed
    EXPECT_NE(call.call, Call::CloseKey);
  }
}

TEST_F(RegRoutinesTest, ListingBuffers) {
  Seed("Big", REG_BINARY, ByteArray(5000, 0xAB));        // over the 4096 buffer: read again whole
  Seed(std::string(259, 'n'), REG_DWORD, DwordData(1));  // fits the 260 buffer with its NUL
  Seed(std::string(260, 'x'), REG_DWORD, DwordData(2));  // does not: the listing ends here
  Seed("After", REG_DWORD, DwordData(3));
  const auto got = Listed(HKEY_CURRENT_USER, kSettings);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].second.AsString().size(), 5000u * 3 - 1);
  EXPECT_EQ(got[1].first, std::string(259, 'n'));

  for (const std::string& k : {std::string("a"), std::string(259, 'b'), std::string(260, 'c'), std::string("d")})
    reg->SeedKey(HKEY_CURRENT_USER, "Software\\" + k);
  auto keys = rr.EnumRegistryKeys(HKEY_CURRENT_USER, "Software");
  ASSERT_EQ(keys.Count(), 2);  // the name too long to read ends the listing before d and Quenstor
  EXPECT_EQ(keys.Item(2), std::string(259, 'b'));
}

TEST_F(RegRoutinesTest, ValueThatGrowsBetweenTheTwoReads) {
  Seed("First", REG_SZ, SzData("1"));
  Seed("Grows", REG_BINARY, ByteArray(5000));
  Seed("Last", REG_SZ, SzData("3"));
  int enums = 0, queries = 0;
  reg->beforeCall = [&](Call call) {
    if ((call == Call::EnumValue && ++enums == 3) || (call == Call::QueryValue && ++queries == 2))
      Seed("Grows", REG_BINARY, ByteArray(6000 + static_cast<std::size_t>(enums + queries)));
  };
  const auto got = Listed(HKEY_CURRENT_USER, kSettings);  // ends the listing, keeps what was read
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].first, "First");
  EXPECT_TRUE(rr.GetRegistryValue("Grows", kDefault) == kDefault);
}

TEST_F(RegRoutinesTest, GetRegistryValueConvertsOrKeepsTheDefault) {
  struct Row {
    const char* name;
    long type;
    ByteArray data;
    Variant want;
  } rows[] = {
      {"Empty text", REG_SZ, SzData(""), ""},
      {"Zero length", REG_SZ, {}, kDefault},
      {"Expand", REG_EXPAND_SZ, SzData("%TEMP%/a"), "/tmp/t/a"},
      {"Expand zero length", REG_EXPAND_SZ, {}, kDefault},
      {"Binary", REG_BINARY, ByteArray{0, 0x1F, 0xA0}, Variant(ByteArray{0, 0x1F, 0xA0})},
      {"Dword", REG_DWORD, DwordData(0xFFFFFFFFu), Variant(std::int32_t{-1})},
      {"Multi keeps inner NULs", REG_MULTI_SZ, MultiSzData({"a", "b"}), std::string("a\0b", 3)},
      {"Multi of nothing", REG_MULTI_SZ, ByteArray{0, 0, 0}, kDefault},
      {"Other type", 11, ByteArray(8, 1), kDefault},
      {"Text over 1024 bytes", REG_SZ, SzData(std::string(3000, 'L')), std::string(3000, 'L')},
  };
  for (const auto& row : rows) Seed(row.name, row.type, row.data);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_TRUE(rr.GetRegistryValue(row.name, kDefault) == row.want);
  }
  EXPECT_TRUE(rr.GetRegistryValue("Missing", Variant(std::int32_t{5})) == Variant(std::int32_t{5}));
  EXPECT_TRUE(rr.GetRegistryValue("Missing").IsEmpty());
  rr.KeyRoot("Software\\Nowhere");
  EXPECT_TRUE(rr.GetRegistryValue("Dword", kDefault) == kDefault);
}

TEST_F(RegRoutinesTest, WrittenTextsReadBackUnchanged) {
  reg->SeedKey(HKEY_CURRENT_USER, kSettings);
  const std::string texts[] = {
      "",
      "D:\\Bilder \xE2\x80\x93 \xC3\x9C\xC3\x96",  // multibyte characters: bytes, not characters, are counted
      "\xE5\x86\x99\xE7\x9C\x9F\xE3\x83\x95\xE3\x82\xA9\xE3\x83\xAB\xE3\x83\x80",
      std::string(5000, 'w'),
  };
  for (const auto& text : texts) {
    SCOPED_TRACE(text.substr(0, 40));
    ASSERT_TRUE(rr.SetRegistryValue("Text", Variant(text), REG_SZ));
    EXPECT_EQ(reg->Peek(HKEY_CURRENT_USER, kSettings, "Text")->data, SzData(text));  // one NUL, not two
    EXPECT_TRUE(rr.GetRegistryValue("Text", kDefault) == Variant(text));
    EXPECT_TRUE(rr.EnumRegistryValues(HKEY_CURRENT_USER, kSettings).Item("Text")[1] == Variant(text));
  }
  // A string list comes back whole too.
  const Variant list(std::string("a\0b\xC3\x9C", 5));
  ASSERT_TRUE(rr.SetRegistryValue("List", list, REG_MULTI_SZ));
  EXPECT_EQ(reg->Peek(HKEY_CURRENT_USER, kSettings, "List")->data, MultiSzData({"a", "b\xC3\x9C"}));
  EXPECT_TRUE(rr.GetRegistryValue("List") == list);
  EXPECT_TRUE(rr.EnumRegistryValues(HKEY_CURRENT_USER, kSettings).Item("List")[1] == Variant("a,b\xC3\x9C"));
}

TEST_F(RegRoutinesTest, WrittenTextsSurviveTheFileOnDisk) {
  testsupport::TempDir tmp;
  reg = UseDirectory(tmp.path());
  reg->diagnostics = [](const std::string& m) { ADD_FAILURE() << m; };
  ASSERT_EQ(rr.CreateKey(Variant("")), "0");
  const std::string text = "C:\\\xE5\x86\x99\xE7\x9C\x9F \"x\"";
  ASSERT_TRUE(rr.SetRegistryValue("PictureDumpDirectory", Variant(text), REG_SZ));
  reg = UseDirectory(tmp.path());
  EXPECT_TRUE(rr.GetRegistryValue("PictureDumpDirectory") == Variant(text));
}

TEST_F(RegRoutinesTest, SetRegistryValueByType) {
  reg->SeedKey(HKEY_CURRENT_USER, kSettings);
  const ByteArray poison = SzData("poison");
  struct Row {
    const char* name;
    Variant value;
    long type;
    bool want;
    ByteArray stored;  // poison: nothing written
  } rows[] = {
      {"dword from numeric text", Variant(" 7 "), REG_DWORD, true, DwordData(7)},
      {"dword rounds half to even", Variant(2.5), REG_DWORD, true, DwordData(2)},
      {"dword from True", Variant(true), REG_DWORD, true, DwordData(0xFFFFFFFFu)},
      {"dword from other text", Variant("five"), REG_DWORD, false, poison},
      {"dword out of range", Variant("3000000000"), REG_DWORD, false, poison},
      {"text from a number", Variant(std::int32_t{12}), REG_SZ, true, SzData("12")},
      {"binary", Variant(ByteArray{1, 2, 3}), REG_BINARY, true, ByteArray{1, 2, 3}},
      {"binary from text", Variant("010203"), REG_BINARY, false, poison},
      {"unsupported type counts as done", Variant("x"), 5, true, poison},
  };
  for (auto& row : rows) {
    SCOPED_TRACE(row.name);
    Seed("V", REG_SZ, poison);
    long type = row.type;
    EXPECT_EQ(rr.SetRegistryValue("V", row.value, type), row.want);
    const auto stored = reg->Peek(HKEY_CURRENT_USER, kSettings, "V");
    EXPECT_EQ(stored->data, row.stored);
    EXPECT_EQ(stored->type, row.stored == poison ? REG_SZ : row.type);
  }

  // The key is never created here, and a refused write is false.
  rr.KeyRoot("Software\\Quenstor\\Missing");
  EXPECT_FALSE(rr.SetRegistryValue("V", Variant("x"), 5));
  EXPECT_FALSE(reg->HasKey(HKEY_CURRENT_USER, "Software\\Quenstor\\Missing"));
  rr.KeyRoot(kSettings);
  reg->Protect(HKEY_CURRENT_USER);
  EXPECT_FALSE(rr.SetRegistryValue("V", Variant("x"), REG_SZ));
}

TEST_F(RegRoutinesTest, KeysExistCreateAndDelete) {
  EXPECT_FALSE(rr.KeyExists());
  rr.KeyRoot("Software");
  EXPECT_EQ(rr.CreateKey(Variant("Quenstor\\Lumivane\\Settings")), "0");
  EXPECT_EQ(rr.CreateKey(Variant("quenstor\\LUMIVANE\\Settings")), "0");  // already there
  rr.KeyRoot(kSettings + "\\");  // a root path ending in a backslash, as the shell view check keeps it
  EXPECT_TRUE(rr.KeyExists());

  // Without a name the Subkey is created, and the missing argument receives it.
  rr.KeyRoot("Software\\Quenstor");
  rr.Subkey("Viewers");
  runtime::Optional<Variant> missing;
  EXPECT_EQ(rr.CreateKey(missing), "0");
  EXPECT_TRUE(missing.value == Variant("Viewers"));
  EXPECT_TRUE(rr.KeyExists());

  rr.Subkey("");
  EXPECT_EQ(rr.DeleteKey("Lumivane"), ERROR_ACCESS_DENIED);  // it still has a subkey
  EXPECT_EQ(rr.DeleteKey("Lumivane\\Settings"), ERROR_SUCCESS);
  EXPECT_EQ(rr.DeleteKey("Lumivane\\Settings"), ERROR_FILE_NOT_FOUND);

  rr.Subkey("Viewers");
  reg->Seed(HKEY_CURRENT_USER, "Software\\Quenstor\\Viewers", "Name", REG_SZ, SzData("x"));
  EXPECT_EQ(rr.DeleteValue("NAME"), ERROR_SUCCESS);
  EXPECT_EQ(rr.DeleteValue("Name"), ERROR_FILE_NOT_FOUND);
  reg->Protect(HKEY_CURRENT_USER);
  EXPECT_EQ(rr.DeleteValue("Name"), ERROR_ACCESS_DENIED);  // the open with full access is refused
  EXPECT_EQ(rr.CreateKey(Variant("Other")), "");
}

TEST_F(RegRoutinesTest, NoMemberRaisesWhateverTheRegistryDoes) {
  Seed("Name", REG_SZ, SzData("x"));
  reg->SeedKey(HKEY_CURRENT_USER, kSettings + "\\Sub");
  for (Call call : {Call::OpenKey, Call::CreateKey, Call::DeleteKey, Call::DeleteValue, Call::EnumKey, Call::EnumValue,
                    Call::QueryValue, Call::SetValue}) {
    SCOPED_TRACE(std::string(CallName(call)));
    reg->ClearFaults();
    reg->InjectFault(call, Fault{0, 1000, "Registry on fire", 0, 1000});
    const bool open = call == Call::OpenKey;
    EXPECT_NO_THROW({
      EXPECT_EQ(rr.KeyExists(), !open);
      EXPECT_EQ(rr.CreateKey(Variant("New")), call == Call::CreateKey ? "" : "0");
      // A listing whose read keeps failing ends instead of going on for ever.
      EXPECT_EQ(rr.EnumRegistryKeys(HKEY_CURRENT_USER, kSettings).Count(), open || call == Call::EnumKey ? 0 : 2);
      EXPECT_EQ(rr.EnumRegistryValues(HKEY_CURRENT_USER, kSettings).Count(), open || call == Call::EnumValue ? 0 : 1);
      EXPECT_TRUE(rr.GetRegistryValue("Name", kDefault) ==
                  (open || call == Call::QueryValue ? kDefault : Variant("x")));
      EXPECT_EQ(rr.SetRegistryValue("Name", Variant("x"), REG_SZ), !open && call != Call::SetValue);
      // A call that raised is never reported as success.
      EXPECT_NE(rr.DeleteValue("Missing"), ERROR_SUCCESS);
      EXPECT_EQ(rr.DeleteKey("Missing"), call == Call::DeleteKey ? 1000 : ERROR_FILE_NOT_FOUND);
    });
  }
  reg->ClearFaults();
}

TEST_F(RegRoutinesTest, TrimNullRemovesEveryNulInPlace) {
  std::string item("\0a\0b\0\0", 6);
  EXPECT_EQ(rr.TrimNull(item), "ab");
  EXPECT_EQ(item, "ab");
}

}  // namespace
