// The registry calls: exact result codes and every output, with outputs
// preset to poison values so "left untouched" is proven.

#include "platform/registry/registry.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/raised.h"

namespace {

using namespace platform::registry;
using testsupport::Outcome;
using testsupport::Raised;

constexpr HKEY kPoisonHandle = 0x5EED;
constexpr long kPoison = -77;

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrent(reg); }
  void TearDown() override { SetCurrent(nullptr); }

  HKEY Open(HKEY root, std::string_view path, long access = KEY_ALL_ACCESS) {
    HKEY h = kPoisonHandle;
    EXPECT_EQ(RegOpenKeyEx(root, path, 0, access, &h), ERROR_SUCCESS) << path;
    return h;
  }
  static long Set(HKEY h, std::string_view name, std::string_view data, long type = REG_SZ) {
    return RegSetValueEx(h, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                         static_cast<long>(data.size()));
  }

  std::shared_ptr<Registry> reg = std::make_shared<Registry>();
};

TEST_F(RegistryTest, OpenResolvesPathsAsTheSystemDoes) {
  reg->SeedKey(HKEY_CURRENT_USER, "Software\\Quenstor");
  reg->SeedKey(HKEY_CLASSES_ROOT, "Applications");
  struct Row {
    const char* name;
    HKEY root;
    std::string path;
    long want;
  } rows[] = {
      {"other case", HKEY_CURRENT_USER, "SOFTWARE\\quenstor", ERROR_SUCCESS},
      {"trailing backslashes are the key itself", HKEY_CURRENT_USER, "Software\\Quenstor\\\\", ERROR_SUCCESS},
      {"lone backslash is the root", HKEY_CURRENT_USER, "\\", ERROR_SUCCESS},
      {"missing level", HKEY_CURRENT_USER, "Software\\Other", ERROR_FILE_NOT_FOUND},
      {"roots are apart", HKEY_LOCAL_MACHINE, "Software", ERROR_FILE_NOT_FOUND},
      {"leading backslash", HKEY_CURRENT_USER, "\\Software", ERROR_BAD_PATHNAME},
      {"classes root forgives one", HKEY_CLASSES_ROOT, "\\Applications", ERROR_SUCCESS},
      {"empty level inside", HKEY_CURRENT_USER, "Software\\\\Quenstor", ERROR_BAD_PATHNAME},
      {"a NUL ends the path", HKEY_CURRENT_USER, std::string("Software\0junk", 13), ERROR_SUCCESS},
      {"no root", 0, "Software", ERROR_INVALID_HANDLE},
      {"root as a signed 32-bit number", -2147483647L, "Software", ERROR_SUCCESS},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    HKEY h = kPoisonHandle;
    EXPECT_EQ(RegOpenKeyEx(row.root, row.path, 0, KEY_READ, &h), row.want);
    EXPECT_EQ(h != 0, row.want == ERROR_SUCCESS);  // a failed open clears the handle
    if (h != 0) {
      EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
    }
  }
  EXPECT_EQ(reg->OpenHandleCount(), 0u);
}

TEST_F(RegistryTest, CreateMakesEveryLevelAndOpensAnExistingKey) {
  reg->SeedKey(HKEY_CURRENT_USER, "Software");
  HKEY h = kPoisonHandle;
  long disposition = kPoison;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "software\\Quenstor\\Lumivane", "", REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &h, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  RegCloseKey(h);
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "SOFTWARE\\QUENSTOR\\", "", 0, KEY_ALL_ACCESS, nullptr, &h, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  RegCloseKey(h);
  // Existing levels keep their spelling; new ones take the caller's.
  EXPECT_EQ(reg->SubkeyNames(HKEY_CURRENT_USER, ""), std::vector<std::string>{"Software"});
  EXPECT_EQ(reg->SubkeyNames(HKEY_CURRENT_USER, "Software"), std::vector<std::string>{"Quenstor"});
}

TEST_F(RegistryTest, HandlesRootsAndDeletedKeys) {
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);  // never really closed
  EXPECT_EQ(Set(HKEY_CURRENT_USER, "still", "usable"), ERROR_SUCCESS);
  const HKEY stale = Open(HKEY_CURRENT_USER, "");
  RegCloseKey(stale);
  EXPECT_EQ(RegCloseKey(stale), ERROR_INVALID_HANDLE);
  EXPECT_EQ(Set(stale, "x", "y"), ERROR_INVALID_HANDLE);

  reg->SeedKey(HKEY_CURRENT_USER, "A\\B");
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "A"), ERROR_ACCESS_DENIED);  // has a subkey
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "A\\Missing"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);  // the root itself
  const HKEY b = Open(HKEY_CURRENT_USER, "a\\b");
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "a\\B\\"), ERROR_SUCCESS);
  long size = kPoison;
  EXPECT_EQ(RegQueryValueEx(b, "x", nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(size, kPoison);
  EXPECT_EQ(Set(b, "x", "y"), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(b), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "A"), ERROR_SUCCESS);

  const HKEY read = Open(HKEY_CURRENT_USER, "", KEY_READ);
  EXPECT_EQ(Set(read, "still", "x"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValue(read, "still"), ERROR_ACCESS_DENIED);
  RegCloseKey(read);
  EXPECT_EQ(RegDeleteValue(HKEY_CURRENT_USER, "STILL"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValue(HKEY_CURRENT_USER, "still"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, SubkeysComeInCaseBlindOrder) {
  for (const char* k : {"gamma", "Beta", "alpha", "_under", "b"})
    reg->SeedKey(HKEY_CLASSES_ROOT, std::string("A\\") + k);
  const HKEY h = Open(HKEY_CLASSES_ROOT, "A", KEY_READ);
  std::vector<std::string> seen;
  char name[16];
  long chars = sizeof name;
  char cls[4] = "xx";
  long clsChars = 4;
  for (long i = 0; RegEnumKeyEx(h, i, name, &chars, cls, &clsChars) == ERROR_SUCCESS; ++i, chars = sizeof name) {
    EXPECT_EQ(chars, static_cast<long>(std::strlen(name)));
    EXPECT_EQ(clsChars, 0);  // keys have no class
    seen.emplace_back(name);
  }
  // Folding to upper case puts '_' after the letters, as the original sorted.
  EXPECT_EQ(seen, (std::vector<std::string>{"alpha", "b", "Beta", "gamma", "_under"}));
  chars = sizeof name;
  EXPECT_EQ(RegEnumKeyEx(h, 5, name, &chars, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

  std::memset(name, '#', sizeof name);
  chars = 5;
  EXPECT_EQ(RegEnumKeyEx(h, 0, name, &chars, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(chars, 6);  // "alpha" and its NUL
  EXPECT_EQ(name[0], '#');
  RegCloseKey(h);
}

TEST_F(RegistryTest, ValuesComeInTheOrderFirstWritten) {
  Set(HKEY_CURRENT_USER, "Zulu", "1");
  Set(HKEY_CURRENT_USER, "alpha", "2");
  Set(HKEY_CURRENT_USER, "", "default");
  Set(HKEY_CURRENT_USER, "ZULU", "3");  // in place, first spelling kept
  std::vector<std::string> seen;
  char name[32];
  long chars = sizeof name;
  std::uint8_t data[32];
  long bytes = sizeof data;
  long type = kPoison;
  for (long i = 0; RegEnumValue(HKEY_CURRENT_USER, i, name, &chars, &type, data, &bytes) == ERROR_SUCCESS; ++i) {
    EXPECT_EQ(type, REG_SZ);
    seen.push_back(std::string(name, static_cast<std::size_t>(chars)) + "=" +
                   std::string(reinterpret_cast<char*>(data), static_cast<std::size_t>(bytes) - 1));
    chars = sizeof name;
    bytes = sizeof data;
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"Zulu=3", "alpha=2", "=default"}));
}

TEST_F(RegistryTest, ShortBuffersReportWhatIsNeededAndCopyNothing) {
  reg->Seed(HKEY_CURRENT_USER, "", "LongName", REG_BINARY, ByteArray(10, 0xAB));
  struct Row {
    const char* name;
    long nameChars, dataBytes;
    bool withData;
    long want, wantNameChars, wantBytes;
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
    long nameChars = row.nameChars, bytes = row.dataBytes;
    EXPECT_EQ(RegEnumValue(HKEY_CURRENT_USER, 0, name, &nameChars, nullptr, row.withData ? data : nullptr, &bytes),
              row.want);
    EXPECT_EQ(nameChars, row.wantNameChars);
    EXPECT_EQ(bytes, row.wantBytes);
    EXPECT_EQ(data[row.want == ERROR_SUCCESS ? 10 : 0], 0x5A);  // never past the data; nothing on failure
  }
  std::uint8_t data[4] = {0x5A};
  long bytes = 4, type = kPoison;
  EXPECT_EQ(RegQueryValueEx(HKEY_CURRENT_USER, "longname", &type, data, &bytes), ERROR_MORE_DATA);
  EXPECT_EQ(bytes, 10);
  EXPECT_EQ(data[0], 0x5A);
  type = kPoison;
  EXPECT_EQ(RegQueryValueEx(HKEY_CURRENT_USER, "Missing", &type, data, &bytes), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(type, kPoison);
}

TEST_F(RegistryTest, SetStoresTextsTerminated) {
  struct Row {
    const char* name;
    long type;
    std::string given, stored;
  } rows[] = {
      {"sz gets a NUL", REG_SZ, "abc", std::string("abc\0", 4)},
      {"sz keeps its NUL", REG_SZ, std::string("abc\0", 4), std::string("abc\0", 4)},
      {"empty sz", REG_SZ, "", std::string("\0", 1)},
      {"expand sz", REG_EXPAND_SZ, "%T%", std::string("%T%\0", 4)},
      {"multi without NUL", REG_MULTI_SZ, std::string("a\0b", 3), std::string("a\0b\0\0", 5)},
      {"multi with one NUL", REG_MULTI_SZ, std::string("a\0b\0", 4), std::string("a\0b\0\0", 5)},
      {"multi complete", REG_MULTI_SZ, std::string("a\0b\0\0", 5), std::string("a\0b\0\0", 5)},
      {"binary as given", REG_BINARY, "ab", "ab"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Set(HKEY_CURRENT_USER, row.name, row.given, row.type), ERROR_SUCCESS);
    const auto v = reg->Peek(HKEY_CURRENT_USER, "", row.name);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, row.type);
    EXPECT_EQ(std::string(v->data.begin(), v->data.end()), row.stored);
  }
  EXPECT_EQ(RegSetValueEx(HKEY_CURRENT_USER, "Bad", REG_SZ, nullptr, 3), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Set(HKEY_CURRENT_USER, "Line\nBreak", "x"), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, ProtectedRootRefusesEveryWrite) {
  reg->Seed(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients", "Name", REG_SZ, SzData("kept"));
  reg->Protect(HKEY_LOCAL_MACHINE);
  HKEY h = kPoisonHandle;
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients", 0, KEY_WRITE, &h), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE", "", 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", "", 0, KEY_READ, nullptr, &h, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Set(HKEY_LOCAL_MACHINE, "x", "y"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValue(HKEY_LOCAL_MACHINE, "x"), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(reg->HasKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\New"));
  EXPECT_EQ(reg->Peek(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients", "Name")->data, SzData("kept"));
  RegCloseKey(Open(HKEY_LOCAL_MACHINE, "software\\clients", KEY_READ));  // reading still works
  EXPECT_EQ(Set(HKEY_CURRENT_USER, "x", "y"), ERROR_SUCCESS);            // other roots are not affected
}

TEST_F(RegistryTest, InjectedFaultsAndTheCallLog) {
  reg->SeedKey(HKEY_CURRENT_USER, "K");
  reg->InjectFault(Call::OpenKey, Fault{ERROR_ACCESS_DENIED, 0, "", 1, 1});  // the second open fails
  RegCloseKey(Open(HKEY_CURRENT_USER, "K"));
  HKEY h = kPoisonHandle;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "K", 0, KEY_READ, &h), ERROR_ACCESS_DENIED);
  EXPECT_EQ(h, kPoisonHandle);  // an injected failure does nothing at all
  h = Open(HKEY_CURRENT_USER, "K");

  reg->InjectFault(Call::SetValue, Fault{0, 1000, "Disk on fire", 0, 1});
  EXPECT_EQ(Raised([&] { Set(h, "x", "y"); }), (Outcome{1000, "Disk on fire"}));
  EXPECT_FALSE(reg->Peek(HKEY_CURRENT_USER, "K", "x"));
  RegCloseKey(h);

  const auto& calls = reg->Calls();
  ASSERT_EQ(calls.size(), 6u);
  EXPECT_EQ(calls[2].call, Call::OpenKey);
  EXPECT_EQ(calls[2].key, "HKEY_CURRENT_USER");
  EXPECT_EQ(calls[2].detail, "K");
  EXPECT_EQ(calls[2].result, ERROR_ACCESS_DENIED);
  EXPECT_EQ(calls[4].key, "HKEY_CURRENT_USER\\K");
  EXPECT_EQ(calls[4].result, 1000);
}

}  // namespace
