#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/shell/shell.h"
#include "platform/shell/xdg_folders.h"
#include "support/temp_dir.h"

namespace {

using namespace platform::shell;

EnvironmentLookup Env(std::map<std::string, std::string> vars) {
  return [vars = std::move(vars)](std::string_view name) -> std::optional<std::string> {
    auto it = vars.find(std::string(name));
    if (it == vars.end()) return std::nullopt;
    return it->second;
  };
}

TEST(XdgFolders, WithoutUserDirsFileTheUsualFoldersStand) {
  testsupport::TempDir tmp;
  const std::string home = tmp.MakeDir("home");
  const LinuxFolders f = ResolveLinuxFolders(Env({{"HOME", home}}), "/opt/lumivane");
  EXPECT_EQ(f.documents, home + "/Documents");
  EXPECT_EQ(f.pictures, home + "/Pictures");
  EXPECT_EQ(f.desktop, home + "/Desktop");
  EXPECT_EQ(f.localAppData, home + "/.local/share");
  EXPECT_EQ(f.programFiles, "/opt/lumivane");
  EXPECT_EQ(f.system, "/usr/bin");
}

TEST(XdgFolders, UserDirsFileAndXdgVariables) {
  testsupport::TempDir tmp;
  const std::string home = tmp.MakeDir("home");
  tmp.Write("cfg/user-dirs.dirs",
            "# written by xdg-user-dirs-update\n"
            "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
            "XDG_DOCUMENTS_DIR=\"/data/docs/\"\n"
            "XDG_PICTURES_DIR=\"$HOME/\"\n"  // pointing at home switches it off
            "XDG_MUSIC_DIR=relative/ignored\n");
  const LinuxFolders f =
      ResolveLinuxFolders(Env({{"HOME", home}, {"XDG_CONFIG_HOME", tmp / "cfg"}, {"XDG_DATA_HOME", tmp / "data"}}), "");
  EXPECT_EQ(f.desktop, home + "/Schreibtisch");
  EXPECT_EQ(f.documents, "/data/docs");
  EXPECT_EQ(f.pictures, std::nullopt);
  EXPECT_EQ(f.localAppData, tmp / "data");
  EXPECT_EQ(f.programFiles, std::nullopt);

  // A relative XDG_DATA_HOME is not a place; HOME decides.
  EXPECT_EQ(ResolveLinuxFolders(Env({{"HOME", home}, {"XDG_DATA_HOME", "data"}}), "").localAppData,
            home + "/.local/share");
  // Without HOME only what is given absolutely is known.
  const LinuxFolders none = ResolveLinuxFolders(Env({}), "/usr");
  EXPECT_EQ(none.documents, std::nullopt);
  EXPECT_EQ(none.localAppData, std::nullopt);
  EXPECT_EQ(none.programFiles, "/usr");
}

TEST(XdgFolders, UseLinuxFoldersFillsTheTable) {
  Reset();
  LinuxFolders f;
  f.documents = "/home/u/Documents";
  f.system = "/usr/bin";
  UseLinuxFolders(f);
  SpecialFolders& t = Current().folders;
  EXPECT_EQ(t.KindOf(CSIDL_PERSONAL), SpecialFolders::Kind::Path);
  EXPECT_EQ(t.KindOf(CSIDL_MYPICTURES), SpecialFolders::Kind::Undefined);
  EXPECT_EQ(t.KindOf(CSIDL_DESKTOP), SpecialFolders::Kind::Virtual);
  Reset();
}

}  // namespace
