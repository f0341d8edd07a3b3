#include <gtest/gtest.h>

#include <string>

#include "platform/shell/shell.h"
#include "support/raised.h"

namespace {

using namespace platform::shell;
using testsupport::kInvalidCall;
using testsupport::Outcome;
using testsupport::Raised;

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  Shell& shell() { return Current(); }
};

// Reads a special folder the way the add-in does, freeing the list after.
struct Lookup {
  long hr = -1;
  long pidl = -1;
  bool converted = false;
  std::string path;
};
Lookup LookUp(long folder, std::size_t bufferSize = 300) {
  Lookup out;
  out.hr = SHGetSpecialFolderLocation(0, folder, out.pidl);
  std::string buffer(bufferSize, '\0');
  if (out.hr == S_OK) out.converted = SHGetPathFromIDList(out.pidl, buffer);
  out.path = buffer.substr(0, buffer.find('\0'));
  std::shared_ptr<ShellMalloc> malloc;
  SHGetMalloc(malloc);
  if (out.pidl != 0) malloc->Free(out.pidl);
  return out;
}

TEST_F(ShellTest, SpecialFoldersAnswerByKind) {
  shell().folders.Define(CSIDL_MYPICTURES, "/tmp/x/Pictures");
  shell().folders.MakeVirtual(CSIDL_PERSONAL);
  struct Row {
    const char* name;
    long folder;
    long hr;
    bool converted;
    std::string path;
  };
  const Row rows[] = {
      {"path", CSIDL_MYPICTURES, S_OK, true, "/tmp/x/Pictures"},
      {"virtual", CSIDL_PERSONAL, S_OK, false, ""},
      {"undefined", CSIDL_LOCAL_APPDATA, E_FAIL, false, ""},
      {"desktop is virtual by default", CSIDL_DESKTOP, S_OK, false, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Lookup got = LookUp(row.folder);
    EXPECT_EQ(got.hr, row.hr);
    EXPECT_EQ(got.converted, row.converted);
    EXPECT_EQ(got.path, row.path);
    if (row.hr != S_OK) {
      EXPECT_EQ(got.pidl, 0);
    }
  }
  EXPECT_EQ(shell().folders.LiveItemLists(), 0u);  // every list handed out was freed
}

TEST_F(ShellTest, PathConversionNeverWritesPastTheBufferOrMaxPath) {
  const std::string longest(kMaxPath - 1, 'a');
  const std::string tooLong(kMaxPath, 'a');
  struct Row {
    const char* name;
    std::string path;
    std::size_t buffer;
    bool converted;
  };
  const Row rows[] = {
      {"259 characters fit", "/" + longest.substr(1), 300, true},
      {"260 characters do not", "/" + tooLong.substr(1), 300, false},
      {"short buffer", "/home/user/Pictures", 8, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    shell().folders.Define(CSIDL_MYPICTURES, row.path);
    long pidl = 0;
    ASSERT_EQ(SHGetSpecialFolderLocation(0, CSIDL_MYPICTURES, pidl), S_OK);
    std::string buffer(row.buffer, 'X');
    EXPECT_EQ(SHGetPathFromIDList(pidl, buffer), row.converted);
    EXPECT_EQ(buffer.size(), row.buffer);
    if (row.converted) {
      EXPECT_EQ(buffer.substr(0, buffer.find('\0')), row.path);
    } else {
      EXPECT_EQ(buffer[0], '\0');
      EXPECT_EQ(buffer.substr(1), std::string(row.buffer - 1, 'X'));
    }
    CoTaskMemFree(pidl);
  }
  EXPECT_EQ(shell().folders.LiveItemLists(), 0u);
}

TEST_F(ShellTest, ArmedFaultsRaiseAfterTheCallIsLogged) {
  shell().seam.faults.Arm("SHGetSpecialFolderLocation", 5, "", 1);
  long pidl = 0;
  EXPECT_EQ(Raised([&] { SHGetSpecialFolderLocation(0, CSIDL_SYSTEM, pidl); }), kInvalidCall);
  EXPECT_EQ(SHGetSpecialFolderLocation(0, CSIDL_SYSTEM, pidl), E_FAIL);  // armed for one call only
  EXPECT_EQ(shell().seam.log.CallsOf("SHGetSpecialFolderLocation"),
            (std::vector<std::string>{"SHGetSpecialFolderLocation(0, 37)", "SHGetSpecialFolderLocation(0, 37)"}));

  // Every member goes through the same gate.
  const char* members[] = {"SHGetPathFromIDList",
                           "SHGetMalloc",
                           "IMalloc.Free",
                           "CoTaskMemFree",
                           "LoadLibraryA",
                           "GetProcAddress",
                           "FreeLibrary",
                           "GetLongPathNameA",
                           "GetForegroundWindow",
                           "GetWindowThreadProcessId",
                           "AttachThreadInput",
                           "SetForegroundWindow",
                           "IsIconic",
                           "ShowWindow",
                           "LoadCursorA",
                           "SetCursor",
                           "GetCursor"};
  std::shared_ptr<ShellMalloc> malloc = std::make_shared<ShellMalloc>();
  std::string buffer(300, '\0');
  for (const char* member : members) {
    SCOPED_TRACE(member);
    shell().seam.faults.Arm(member, 1001, "Injected");
    const Outcome raised = Raised([&] {
      const std::string m = member;
      if (m == "SHGetPathFromIDList") SHGetPathFromIDList(1, buffer);
      if (m == "SHGetMalloc") SHGetMalloc(malloc);
      if (m == "IMalloc.Free") malloc->Free(1);
      if (m == "CoTaskMemFree") CoTaskMemFree(1);
      if (m == "LoadLibraryA") LoadLibraryA("kernel32");
      if (m == "GetProcAddress") GetProcAddress(1, "x");
      if (m == "FreeLibrary") FreeLibrary(1);
      if (m == "GetLongPathNameA") GetLongPathNameA("/", buffer, 260);
      if (m == "GetForegroundWindow") GetForegroundWindow();
      if (m == "GetWindowThreadProcessId") GetWindowThreadProcessId(1);
      if (m == "AttachThreadInput") AttachThreadInput(1, 2, 1);
      if (m == "SetForegroundWindow") SetForegroundWindow(1);
      if (m == "IsIconic") IsIconic(1);
      if (m == "ShowWindow") ShowWindow(1, 5);
      if (m == "LoadCursorA") LoadCursorA(0, IDC_HAND);
      if (m == "SetCursor") SetCursor(0);
      if (m == "GetCursor") GetCursor();
    });
    EXPECT_EQ(raised, (Outcome{1001, "Injected"}));
    shell().seam.faults.Clear(member);
  }
}

TEST_F(ShellTest, LibraryLookupOverTheTable) {
  const long k = LoadLibraryA("KERNEL32.DLL");  // any case, with or without .dll
  ASSERT_NE(k, 0);
  EXPECT_NE(GetProcAddress(k, "GetLongPathNameA"), 0);
  EXPECT_EQ(GetProcAddress(k, "getlongpathnamea"), 0);  // function names are exact
  EXPECT_EQ(GetProcAddress(k, "NoSuchFunction"), 0);
  EXPECT_EQ(shell().modules.LoadCount("kernel32"), 1);
  EXPECT_NE(FreeLibrary(k), 0);
  EXPECT_EQ(shell().modules.LoadCount("kernel32"), 0);
  EXPECT_EQ(GetProcAddress(k, "GetLongPathNameA"), 0);  // not loaded any more
  EXPECT_EQ(FreeLibrary(k), 0);
  EXPECT_EQ(LoadLibraryA("nosuch"), 0);

  shell().modules.RemoveFunction("kernel32", "GetLongPathNameA");
  const long again = LoadLibraryA("kernel32");
  EXPECT_EQ(GetProcAddress(again, "GetLongPathNameA"), 0);
  FreeLibrary(again);
  shell().modules.RemoveLibrary("Kernel32");
  EXPECT_EQ(LoadLibraryA("kernel32"), 0);
}

TEST_F(ShellTest, WindowTable) {
  WindowTable& w = shell().windows;
  const long a = w.AddWindow(10);
  const long b = w.AddWindow(20, /*minimised=*/true);
  EXPECT_EQ(GetForegroundWindow(), 0);
  long pid = -1;
  EXPECT_EQ(GetWindowThreadProcessId(b, &pid), 20);
  EXPECT_EQ(pid, 1);
  EXPECT_EQ(GetWindowThreadProcessId(0x7777, &pid), 0);
  EXPECT_EQ(pid, 0);

  // Input can be attached between two threads that own windows, and only once detached.
  EXPECT_EQ(AttachThreadInput(10, 10, 1), 0);
  EXPECT_EQ(AttachThreadInput(10, 99, 1), 0);
  EXPECT_NE(AttachThreadInput(10, 20, 1), 0);
  EXPECT_TRUE(w.InputAttached(10, 20));
  EXPECT_NE(AttachThreadInput(10, 20, 0), 0);
  EXPECT_FALSE(w.InputAttached(10, 20));
  EXPECT_EQ(AttachThreadInput(10, 20, 0), 0);

  EXPECT_NE(SetForegroundWindow(a), 0);
  EXPECT_EQ(GetForegroundWindow(), a);
  EXPECT_EQ(SetForegroundWindow(0x7777), 0);
  EXPECT_EQ(GetForegroundWindow(), a);

  struct Row {
    long cmd;
    bool minimisedBefore;
    bool visibleAfter;
    bool minimisedAfter;
  };
  const Row rows[] = {
      {SW_RESTORE, true, true, false},  {SW_SHOW, true, true, true},    {SW_SHOW, false, true, false},
      {SW_MINIMIZE, false, true, true}, {SW_HIDE, false, false, false}, {SW_SHOWNORMAL, true, true, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.cmd);
    const long h = w.AddWindow(30, row.minimisedBefore);
    EXPECT_EQ(IsIconic(h) != 0, row.minimisedBefore);
    EXPECT_EQ(ShowWindow(h, row.cmd), 1);  // was visible
    EXPECT_EQ(w.Find(h)->visible, row.visibleAfter);
    EXPECT_EQ(IsIconic(h) != 0, row.minimisedAfter);
  }
  EXPECT_EQ(ShowWindow(0x7777, SW_SHOW), 0);
  w.RemoveWindow(a);
  EXPECT_EQ(GetForegroundWindow(), 0);
}

TEST_F(ShellTest, Cursors) {
  const long arrow = shell().cursors.HandleOf(IDC_ARROW);
  EXPECT_EQ(GetCursor(), arrow);
  const long hand = LoadCursorA(0, IDC_HAND);
  ASSERT_GT(hand, 0);
  EXPECT_EQ(LoadCursorA(0x400000, IDC_HAND), 0);  // no cursors of our own in modules
  EXPECT_EQ(SetCursor(hand), arrow);
  EXPECT_EQ(shell().cursors.CurrentCursor(), hand);
  shell().cursors.RemoveSystemCursor(IDC_HAND);
  EXPECT_EQ(LoadCursorA(0, IDC_HAND), 0);
  shell().cursors.AddSystemCursor(IDC_HAND);
  EXPECT_EQ(LoadCursorA(0, IDC_HAND), hand);
  EXPECT_EQ(shell().seam.log.CallsOf("SetCursor"), std::vector<std::string>{"SetCursor(" + std::to_string(hand) + ")"});
}

}  // namespace
