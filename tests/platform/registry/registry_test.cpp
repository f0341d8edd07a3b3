// The registry calls: exact result codes and every output, with outputs
// preset to poison values so "left untouched" is proven.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/registry/registry.h"
#include "runtime/error.h"

namespace {

using namespace platform::registry;

constexpr HKEY kPoisonHandle = 0x5EED;
constexpr long kPoison = -77;

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reg = std::make_shared<Registry>();
    SetCurrent(reg);
  }
  void TearDown() override { SetCurrent(nullptr); }

  HKEY Open(HKEY root, std::string_view path, long access = KEY_ALL_ACCESS) {
    HKEY h = kPoisonHandle;
    EXPECT_EQ(RegOpenKeyEx(root, path, 0, access, &h), ERROR_SUCCESS) << path;
    return h;
  }
  long SetSz(HKEY h, std::string_view name, std::string_view text) {
    return RegSetValueEx(h, name, REG_SZ, reinterpret_cast<const std::uint8_t*>(text.data()),
                         static_cast<long>(text.size()));
  }
  ByteArray Stored(HKEY root, std::string_view path, std::string_view name) {
    auto v = reg->Peek(root, path, name);
    return v ? v->data : ByteArray{0xEE};
  }

  std::shared_ptr<Registry> reg;
};

TEST_F(RegistryTest, OpenResolvesPathsAsTheSystemDoes) {
  reg->SeedKey(HKEY_CURRENT_USER, "Software\\Quenstor\\Lumivane");
  reg->SeedKey(HKEY_CLASSES_ROOT, "Applications");
  struct Row {
    const char* name;
    HKEY root;
    std::string path;
    long want;
  } rows[] = {
      {"exact", HKEY_CURRENT_USER, "Software\\Quenstor\\Lumivane", ERROR_SUCCESS},
      {"other case", HKEY_CURRENT_USER, "SOFTWARE\\quenstor\\LUMIVANE", ERROR_SUCCESS},
      {"trailing backslash is the key itself", HKEY_CURRENT_USER, "Software\\Quenstor\\", ERROR_SUCCESS},
      {"two trailing backslashes", HKEY_CURRENT_USER, "Software\\Quenstor\\\\", ERROR_SUCCESS},
      {"empty path is the root", HKEY_CURRENT_USER, "", ERROR_SUCCESS},
      {"lone backslash is the root", HKEY_CURRENT_USER, "\\", ERROR_SUCCESS},
      {"missing last level", HKEY_CURRENT_USER, "Software\\Quenstor\\Other", ERROR_FILE_NOT_FOUND},
      {"missing first level", HKEY_CURRENT_USER, "Nothing\\Here", ERROR_FILE_NOT_FOUND},
      {"other root", HKEY_LOCAL_MACHINE, "Software", ERROR_FILE_NOT_FOUND},
      {"leading backslash", HKEY_CURRENT_USER, "\\Software", ERROR_BAD_PATHNAME},
      {"classes root forgives one leading backslash", HKEY_CLASSES_ROOT, "\\Applications", ERROR_SUCCESS},
      {"empty level inside", HKEY_CURRENT_USER, "Software\\\\Quenstor", ERROR_BAD_PATHNAME},
      {"text after a NUL is not read", HKEY_CURRENT_USER, std::string("Software\0junk", 13), ERROR_SUCCESS},
      {"no root", 0, "Software", ERROR_INVALID_HANDLE},
      {"unknown predefined root", 0x80000003L, "Software", ERROR_INVALID_HANDLE},
      {"root as a signed 32-bit number", -2147483647L, "Software", ERROR_SUCCESS},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    HKEY h = kPoisonHandle;
    EXPECT_EQ(RegOpenKeyEx(row.root, row.path, 0, KEY_READ, &h), row.want);
    if (row.want == ERROR_SUCCESS) {
      EXPECT_NE(h, 0);
      EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
    } else {
      EXPECT_EQ(h, 0);  // a failed open clears the handle
    }
  }
  EXPECT_EQ(reg->OpenHandleCount(), 0u);
}

TEST_F(RegistryTest, CreateMakesEveryLevelAndOpensAnExistingKey) {
  reg->SeedKey(HKEY_CURRENT_USER, "Software");
  HKEY h = kPoisonHandle;
  long disposition = kPoison;
  SecurityAttributes none;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "software\\Quenstor\\Lumivane\\Settings", "", REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, &none, &h, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
  // The existing level keeps its spelling; new levels take the caller's.
  EXPECT_EQ(reg->SubkeyNames(HKEY_CURRENT_USER, ""), std::vector<std::string>{"Software"});
  EXPECT_TRUE(reg->HasKey(HKEY_CURRENT_USER, "Software\\Quenstor\\Lumivane\\Settings"));

  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "SOFTWARE\\QUENSTOR\\", "", 0, KEY_ALL_ACCESS, nullptr, &h, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
  EXPECT_EQ(reg->SubkeyNames(HKEY_CURRENT_USER, "Software"), std::vector<std::string>{"Quenstor"});
}

TEST_F(RegistryTest, PredefinedRootsAreNeverClosedAndStaleHandlesFail) {
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
  EXPECT_EQ(SetSz(HKEY_CURRENT_USER, "still", "open"), ERROR_SUCCESS);

  const HKEY h = Open(HKEY_CURRENT_USER, "");
  EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SetSz(h, "x", "y"), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(reg->Peek(HKEY_CURRENT_USER, "", "x"));
}

TEST_F(RegistryTest, DeleteKeyOnlyWithoutSubkeys) {
  reg->SeedKey(HKEY_CURRENT_USER, "A\\B");
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "A"), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(reg->HasKey(HKEY_CURRENT_USER, "A\\B"));
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "A\\Missing"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);  // the root itself

  // A handle open on a key that goes away fails from then on.
  const HKEY b = Open(HKEY_CURRENT_USER, "a\\b");
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "a\\B\\"), ERROR_SUCCESS);
  EXPECT_FALSE(reg->HasKey(HKEY_CURRENT_USER, "A\\B"));
  EXPECT_EQ(SetSz(b, "x", "y"), ERROR_KEY_DELETED);
  long size = kPoison;
  EXPECT_EQ(RegQueryValueEx(b, "x", nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(size, kPoison);
  char name[8];
  long chars = 8;
  EXPECT_EQ(RegEnumKeyEx(b, 0, name, &chars, nullptr, nullptr), ERROR_KEY_DELETED);
  HKEY sub = kPoisonHandle;
  EXPECT_EQ(RegCreateKeyEx(b, "C", "", 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(b), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "A"), ERROR_SUCCESS);  // now without subkeys
}

TEST_F(RegistryTest, DeleteValue) {
  reg->Seed(HKEY_CURRENT_USER, "K", "Name", REG_SZ, SzData("v"));
  const HKEY read = Open(HKEY_CURRENT_USER, "K", KEY_READ);
  EXPECT_EQ(RegDeleteValue(read, "Name"), ERROR_ACCESS_DENIED);
  RegCloseKey(read);
  const HKEY full = Open(HKEY_CURRENT_USER, "K");
  EXPECT_EQ(RegDeleteValue(full, "NAME"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValue(full, "Name"), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(reg->ValueNames(HKEY_CURRENT_USER, "K").empty());
  RegCloseKey(full);
}

TEST_F(RegistryTest, SubkeysEnumerateInCaseBlindOrder) {
  for (const char* k : {"gamma", "Beta", "alpha", "_under", "Zeta", "b"}) reg->SeedKey(HKEY_CLASSES_ROOT, std::string("Apps\\") + k);
  const HKEY h = Open(HKEY_CLASSES_ROOT, "Apps", KEY_READ);
  std::vector<std::string> seen;
  long result = ERROR_SUCCESS;
  for (long i = 0; result == ERROR_SUCCESS; ++i) {
    char name[260];
    long chars = sizeof name;
    char cls[4] = "xx";
    long clsChars = 4;
    result = RegEnumKeyEx(h, i, name, &chars, cls, &clsChars);
    if (result == ERROR_SUCCESS) {
      EXPECT_EQ(chars, static_cast<long>(std::strlen(name)));
      EXPECT_EQ(clsChars, 0);
      EXPECT_STREQ(cls, "");
      seen.emplace_back(name);
    }
  }
  EXPECT_EQ(result, ERROR_NO_MORE_ITEMS);
  // Upper-case folding puts '_' after the letters, as the original sorted.
  EXPECT_EQ(seen, (std::vector<std::string>{"alpha", "b", "Beta", "gamma", "Zeta", "_under"}));

  char small[5];
  std::memset(small, '#', sizeof small);
  long chars = sizeof small;
  EXPECT_EQ(RegEnumKeyEx(h, 0, small, &chars, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(chars, 6);  // "alpha" and its NUL
  EXPECT_EQ(std::string(small, sizeof small), "#####");
  chars = sizeof small;
  EXPECT_EQ(RegEnumKeyEx(h, 1, small, &chars, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(small, "b");
  EXPECT_EQ(RegEnumKeyEx(h, -1, small, &chars, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  RegCloseKey(h);
}

TEST_F(RegistryTest, ValuesEnumerateInTheOrderFirstWritten) {
  const HKEY h = Open(HKEY_CURRENT_USER, "");
  SetSz(h, "Zulu", "1");
  SetSz(h, "alpha", "2");
  SetSz(h, "", "default");
  SetSz(h, "ZULU", "3");  // overwrites in place, first spelling kept
  std::vector<std::pair<std::string, std::string>> seen;
  for (long i = 0;; ++i) {
    char name[32];
    long chars = sizeof name;
    std::uint8_t data[32];
    long bytes = sizeof data;
    long type = kPoison;
    const long r = RegEnumValue(h, i, name, &chars, &type, data, &bytes);
    if (r != ERROR_SUCCESS) {
      EXPECT_EQ(r, ERROR_NO_MORE_ITEMS);
      break;
    }
    EXPECT_EQ(type, REG_SZ);
    seen.emplace_back(std::string(name, static_cast<std::size_t>(chars)),
                      std::string(reinterpret_cast<char*>(data), static_cast<std::size_t>(bytes)));
  }
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, std::string>>{
                      {"Zulu", std::string("3\0", 2)}, {"alpha", std::string("2\0", 2)}, {"", std::string("default\0", 8)}}));
}

TEST_F(RegistryTest, ShortBuffersReportWhatIsNeededAndCopyNothing) {
  reg->Seed(HKEY_CURRENT_USER, "K", "LongName", REG_BINARY, ByteArray(10, 0xAB));
  const HKEY h = Open(HKEY_CURRENT_USER, "K", KEY_READ);
  struct Row {
    const char* name;
    long nameChars;
    long dataBytes;
    bool withData;
    long want;
    long wantNameChars;
    long wantBytes;
  } rows[] = {
      {"both fit", 9, 10, true, ERROR_SUCCESS, 8, 10},
      {"data one short", 9, 9, true, ERROR_MORE_DATA, 9, 10},
      {"name one short", 8, 10, true, ERROR_MORE_DATA, 9, 10},
      {"size only", 9, 0, false, ERROR_SUCCESS, 8, 10},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    char name[16];
    std::memset(name, '#', sizeof name);
    std::uint8_t data[16];
    std::memset(data, 0x5A, sizeof data);
    long nameChars = row.nameChars;
    long bytes = row.dataBytes;
    long type = kPoison;
    EXPECT_EQ(RegEnumValue(h, 0, name, &nameChars, &type, row.withData ? data : nullptr, &bytes), row.want);
    EXPECT_EQ(nameChars, row.wantNameChars);
    EXPECT_EQ(bytes, row.wantBytes);
    EXPECT_EQ(type, REG_BINARY);
    if (row.want != ERROR_SUCCESS) {
      EXPECT_EQ(name[0], '#');
      EXPECT_EQ(data[0], 0x5A);
    }
    EXPECT_EQ(data[10], 0x5A);  // never past the data
  }

  std::uint8_t data[16];
  std::memset(data, 0x5A, sizeof data);
  long bytes = 4;
  long type = kPoison;
  EXPECT_EQ(RegQueryValueEx(h, "longname", &type, data, &bytes), ERROR_MORE_DATA);
  EXPECT_EQ(bytes, 10);
  EXPECT_EQ(data[0], 0x5A);
  bytes = kPoison;
  EXPECT_EQ(RegQueryValueEx(h, "LongName", &type, nullptr, &bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, 10);
  bytes = 16;
  type = kPoison;
  EXPECT_EQ(RegQueryValueEx(h, "Missing", &type, data, &bytes), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(type, kPoison);
  EXPECT_EQ(bytes, 16);
  RegCloseKey(h);
}

TEST_F(RegistryTest, SetStoresTextsTerminated) {
  const HKEY h = Open(HKEY_CURRENT_USER, "");
  struct Row {
    const char* name;
    long type;
    std::string given;
    std::string stored;
  } rows[] = {
      {"sz without NUL gets one", REG_SZ, "abc", std::string("abc\0", 4)},
      {"sz with NUL keeps it", REG_SZ, std::string("abc\0", 4), std::string("abc\0", 4)},
      {"empty sz", REG_SZ, "", std::string("\0", 1)},
      {"expand sz", REG_EXPAND_SZ, "%TEMP%", std::string("%TEMP%\0", 7)},
      {"multi without NUL", REG_MULTI_SZ, std::string("a\0b", 3), std::string("a\0b\0\0", 5)},
      {"multi with one NUL", REG_MULTI_SZ, std::string("a\0b\0", 4), std::string("a\0b\0\0", 5)},
      {"multi complete", REG_MULTI_SZ, std::string("a\0b\0\0", 5), std::string("a\0b\0\0", 5)},
      {"binary as given", REG_BINARY, "ab", "ab"},
      {"utf-8 counts bytes", REG_SZ, "Bilder \xC3\x9C\xE5\x86\x99", std::string("Bilder \xC3\x9C\xE5\x86\x99\0", 13)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(RegSetValueEx(h, row.name, row.type, reinterpret_cast<const std::uint8_t*>(row.given.data()),
                            static_cast<long>(row.given.size())),
              ERROR_SUCCESS);
    auto v = reg->Peek(HKEY_CURRENT_USER, "", row.name);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, row.type);
    EXPECT_EQ(std::string(v->data.begin(), v->data.end()), row.stored);
  }
  const ByteArray dword = DwordData(0xFFFFFFFFu);
  EXPECT_EQ(RegSetValueEx(h, "Number", REG_DWORD, dword.data(), 4), ERROR_SUCCESS);
  EXPECT_EQ(Stored(HKEY_CURRENT_USER, "", "number"), (ByteArray{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(RegSetValueEx(h, "Bad", REG_SZ, nullptr, 3), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueEx(h, "Line\nBreak", REG_SZ, nullptr, 0), ERROR_INVALID_PARAMETER);
  RegCloseKey(h);

  const HKEY read = Open(HKEY_CURRENT_USER, "", KEY_READ);
  EXPECT_EQ(SetSz(read, "Number", "x"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Stored(HKEY_CURRENT_USER, "", "Number"), dword);
  RegCloseKey(read);
}

TEST_F(RegistryTest, ProtectedRootRefusesEveryWrite) {
  reg->Seed(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients", "Name", REG_SZ, SzData("kept"));
  reg->Protect(HKEY_LOCAL_MACHINE);
  HKEY h = kPoisonHandle;
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients", 0, KEY_WRITE, &h), ERROR_ACCESS_DENIED);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients", "", 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", "", 0, KEY_READ, nullptr, &h, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_FALSE(reg->HasKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\New"));
  EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(SetSz(HKEY_LOCAL_MACHINE, "x", "y"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValue(HKEY_LOCAL_MACHINE, "x"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients", "Name"), SzData("kept"));

  // Reading and opening an existing key for reading still work.
  h = Open(HKEY_LOCAL_MACHINE, "software\\clients", KEY_READ);
  EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE", "", 0, KEY_READ, nullptr, &h, nullptr), ERROR_SUCCESS);
  RegCloseKey(h);
  // Other roots are not affected.
  EXPECT_EQ(SetSz(HKEY_CURRENT_USER, "x", "y"), ERROR_SUCCESS);
  reg->Protect(HKEY_LOCAL_MACHINE, false);
  EXPECT_EQ(SetSz(HKEY_LOCAL_MACHINE, "x", "y"), ERROR_SUCCESS);
}

TEST_F(RegistryTest, InjectedFaultsAndTheCallLog) {
  reg->SeedKey(HKEY_CURRENT_USER, "K");
  reg->InjectFault(Call::OpenKey, Fault{ERROR_ACCESS_DENIED, 0, "", 1, 1});  // the second open fails
  HKEY h = kPoisonHandle;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "K", 0, KEY_READ, &h), ERROR_SUCCESS);
  RegCloseKey(h);
  h = kPoisonHandle;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "K", 0, KEY_READ, &h), ERROR_ACCESS_DENIED);
  EXPECT_EQ(h, kPoisonHandle);  // an injected failure does nothing at all
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "K", 0, KEY_WRITE, &h), ERROR_SUCCESS);

  reg->InjectFault(Call::SetValue, Fault{0, 1000, "Disk on fire", 0, 1});
  try {
    SetSz(h, "x", "y");
    ADD_FAILURE() << "no error raised";
  } catch (const runtime::Error& e) {
    EXPECT_EQ(e.Number(), 1000);
    EXPECT_EQ(e.Description(), "Disk on fire");
  }
  EXPECT_FALSE(reg->Peek(HKEY_CURRENT_USER, "K", "x"));
  EXPECT_EQ(SetSz(h, "x", "y"), ERROR_SUCCESS);
  RegCloseKey(h);

  const auto& calls = reg->Calls();
  ASSERT_EQ(calls.size(), 7u);
  EXPECT_EQ(calls[2].call, Call::OpenKey);
  EXPECT_EQ(calls[2].key, "HKEY_CURRENT_USER");
  EXPECT_EQ(calls[2].detail, "K");
  EXPECT_EQ(calls[2].result, ERROR_ACCESS_DENIED);
  EXPECT_EQ(calls[4].call, Call::SetValue);
  EXPECT_EQ(calls[4].key, "HKEY_CURRENT_USER\\K");
  EXPECT_EQ(calls[4].result, 1000);
  EXPECT_EQ(calls[6].call, Call::CloseKey);
}

TEST_F(RegistryTest, HookRunsBeforeEachCall) {
  reg->Seed(HKEY_CURRENT_USER, "", "Grows", REG_BINARY, ByteArray(4));
  int queries = 0;
  reg->beforeCall = [&](Call call) {
    if (call == Call::QueryValue && ++queries == 2) reg->Seed(HKEY_CURRENT_USER, "", "Grows", REG_BINARY, ByteArray(9));
  };
  std::uint8_t data[8];
  long bytes = sizeof data;
  EXPECT_EQ(RegQueryValueEx(HKEY_CURRENT_USER, "Grows", nullptr, data, &bytes), ERROR_SUCCESS);
  bytes = sizeof data;
  EXPECT_EQ(RegQueryValueEx(HKEY_CURRENT_USER, "Grows", nullptr, data, &bytes), ERROR_MORE_DATA);
  EXPECT_EQ(bytes, 9);
}

TEST(RegistryCurrent, AFreshRegistryExistsUntilOneIsInstalled) {
  SetCurrent(nullptr);
  const auto first = Current();
  ASSERT_TRUE(first);
  EXPECT_EQ(Current(), first);
  auto mine = std::make_shared<Registry>();
  SetCurrent(mine);
  EXPECT_EQ(Current(), mine);
  SetCurrent(nullptr);
}

}  // namespace
