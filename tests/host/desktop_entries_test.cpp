#include "host/desktop_entries.h"

#include <gtest/gtest.h>

#include <map>

#include "host/mail/mail_support.h"
#include "platform/registry/registry.h"

namespace {

using namespace host::desktop;
using mail_test::Scratch;
using mail_test::WriteBytes;
namespace fs = std::filesystem;
namespace reg = platform::registry;
using Words = std::vector<std::string>;

TEST(DesktopEntries, ExecLinesSplitByTheirOwnQuotingRules) {
  struct Row {
    const char* exec;
    std::optional<Words> want;
  };
  const Row rows[] = {
      {"eog %U", Words{"eog", "%U"}},
      {"\"/opt/My Viewer/view\" --fullscreen %f", Words{"/opt/My Viewer/view", "--fullscreen", "%f"}},
      {"sh -c \"echo \\\"\\$HOME\\\" \\\\ x\"", Words{"sh", "-c", "echo \"$HOME\" \\ x"}},
      {"  spaced   out  ", Words{"spaced", "out"}},
      {"broken \"quote", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.exec);
    EXPECT_EQ(SplitExec(row.exec), row.want);
  }
}

TEST(DesktopEntries, OnlyTheMainGroupOfAnApplicationCounts) {
  const auto viewer = ParseDesktopEntry(
      "# comment\n[Desktop Entry]\nType=Application\nName=Image Viewer\nName[de]=Bildbetrachter\n"
      "Exec=eog %U\nTryExec=eog\nMimeType=image/jpeg;image/png;\nCategories=Graphics;Viewer;\n"
      "[Desktop Action new-window]\nName=New Window\nExec=eog --new-instance\n");
  ASSERT_TRUE(viewer.has_value());
  EXPECT_EQ(viewer->name, "Image Viewer");
  EXPECT_EQ(viewer->exec, (Words{"eog", "%U"}));
  EXPECT_EQ(viewer->tryExec, "eog");
  EXPECT_EQ(viewer->mimeTypes, (Words{"image/jpeg", "image/png"}));
  EXPECT_EQ(viewer->categories, (Words{"Graphics", "Viewer"}));

  const char* refused[] = {
      "[Desktop Entry]\nType=Link\nName=Site\nURL=https://example.org\n",
      "[Desktop Entry]\nType=Application\nName=No command\n",
      "[Desktop Entry]\nType=Application\nExec=nameless\n",
      "[Other]\nType=Application\nName=X\nExec=x\n",
      "[Desktop Entry]\nType=Application\nName=X\nExec=\"open quote\n",
      "[Desktop Entry]\nType=Application\nName=X\nExec=env A=1\n",
      "",
  };
  for (const char* text : refused) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(ParseDesktopEntry(text).has_value());
  }
}

class PublishTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry_ = std::make_shared<reg::Registry>();
    reg::SetCurrent(registry_);
    fs::create_directories(Bin());
  }
  void TearDown() override { reg::SetCurrent(nullptr); }

  fs::path Bin() const { return scratch_.root() / "bin"; }
  fs::path Data(int n) const { return scratch_.root() / ("data" + std::to_string(n)); }
  void Program(const std::string& name) {
    WriteBytes(Bin() / name, "#!/bin/sh\n");
    fs::permissions(Bin() / name, fs::perms::owner_all);
  }
  void Entry(int dir, const std::string& file, const std::string& body) {
    WriteBytes(Data(dir) / "applications" / file, "[Desktop Entry]\nType=Application\n" + body);
  }
  Published Publish() { return PublishToRegistry(ReadDesktopEntries({Data(1), Data(2)}), {Bin()}); }

  std::string Text(reg::HKEY root, const std::string& path, const std::string& value) const {
    auto v = registry_->Peek(root, path, value);
    if (!v) return "<none>";
    std::string s(v->data.begin(), v->data.end());
    return s.substr(0, s.find('\0'));
  }

  Scratch scratch_;
  std::shared_ptr<reg::Registry> registry_;
};

TEST_F(PublishTest, ViewersAndBrowsersBecomeTheKeysTheDiscoveryReads) {
  Program("eog");
  Program("firefox");
  Program("gimp");
  Entry(1, "org.gnome.eog.desktop", "Name=Image Viewer\nExec=eog %U\nMimeType=image/jpeg;image/png;image/tiff;\n");
  Entry(1, "firefox.desktop",
        "Name=Firefox\nExec=firefox %u\nCategories=Network;WebBrowser;\nMimeType=text/html;x-scheme-handler/http;\n");
  Entry(2, "gimp.desktop", "Name=GNU Image Manipulation Program\nExec=gimp-2.10 %U\nMimeType=image/png;\n");
  Entry(2, "editor.desktop", "Name=Text Editor\nExec=eog %F\nMimeType=text/plain;\n");

  const Published p = Publish();
  EXPECT_EQ(p.viewers, (Words{"eog"}));  // gimp-2.10 is not installed
  EXPECT_EQ(p.browsers, (Words{"Firefox"}));

  const std::string eog = "Applications\\eog";
  // The display name is the key's first value.
  EXPECT_EQ(registry_->ValueNames(reg::HKEY_CLASSES_ROOT, eog).at(0), "FriendlyAppName");
  EXPECT_EQ(Text(reg::HKEY_CLASSES_ROOT, eog, "FriendlyAppName"), "Image Viewer");
  EXPECT_EQ(registry_->ValueNames(reg::HKEY_CLASSES_ROOT, eog + "\\SupportedTypes"),
            (Words{".jpg", ".jpeg", ".png", ".tif", ".tiff"}));
  EXPECT_EQ(Text(reg::HKEY_CLASSES_ROOT, eog + "\\shell\\open\\command", ""),
            "\"" + (Bin() / "eog").string() + "\" \"%1\"");
  const std::string firefox = "SOFTWARE\\Clients\\StartMenuInternet\\Firefox";
  EXPECT_EQ(Text(reg::HKEY_LOCAL_MACHINE, firefox, ""), "Firefox");
  EXPECT_EQ(Text(reg::HKEY_LOCAL_MACHINE, firefox + "\\shell\\open\\command", ""),
            "\"" + (Bin() / "firefox").string() + "\" \"%1\"");
}

TEST_F(PublishTest, EarlierDirectoriesWinAndHiddenEntriesHide) {
  Program("viewer");
  Program("other");
  Entry(1, "v.desktop", "Name=Mine\nExec=viewer --mine %f\nMimeType=image/gif;\n");
  Entry(2, "v.desktop", "Name=System\nExec=viewer %f\nMimeType=image/gif;\n");
  Entry(1, "o.desktop", "Name=Other\nHidden=true\nExec=other %f\nMimeType=image/gif;\n");
  Entry(2, "o.desktop", "Name=Other\nExec=other %f\nMimeType=image/gif;\n");
  // A second application of the same program is listed by its file id.
  Entry(2, "x/raw.desktop", "Name=Raw\nExec=viewer --raw\nMimeType=image/bmp;\n");

  EXPECT_EQ(Publish().viewers, (Words{"viewer", "x-raw"}));
  EXPECT_EQ(Text(reg::HKEY_CLASSES_ROOT, "Applications\\viewer", "FriendlyAppName"), "Mine");
  EXPECT_EQ(Text(reg::HKEY_CLASSES_ROOT, "Applications\\viewer\\shell\\open\\command", ""),
            "\"" + (Bin() / "viewer").string() + "\" --mine \"%1\"");
  // An entry without a file argument gets one at the end.
  EXPECT_EQ(Text(reg::HKEY_CLASSES_ROOT, "Applications\\x-raw\\shell\\open\\command", ""),
            "\"" + (Bin() / "viewer").string() + "\" --raw \"%1\"");
}

TEST_F(PublishTest, KeysOfEntriesThatWentAreRemovedButHandMadeOnesStay) {
  Program("eog");
  Entry(1, "eog.desktop", "Name=Image Viewer\nExec=eog %U\nMimeType=image/jpeg;\n");
  registry_->Seed(reg::HKEY_CLASSES_ROOT, "Applications\\byhand.exe\\SupportedTypes", ".jpg", reg::REG_SZ, {});
  registry_->Seed(reg::HKEY_CLASSES_ROOT, "Applications\\eog2", "FriendlyAppName", reg::REG_SZ, reg::SzData("Mine"));
  Publish();
  EXPECT_TRUE(registry_->HasKey(reg::HKEY_CLASSES_ROOT, "Applications\\eog"));

  fs::remove(Data(1) / "applications" / "eog.desktop");
  const Published p = Publish();
  EXPECT_TRUE(p.viewers.empty());
  EXPECT_FALSE(registry_->HasKey(reg::HKEY_CLASSES_ROOT, "Applications\\eog"));
  EXPECT_TRUE(registry_->HasKey(reg::HKEY_CLASSES_ROOT, "Applications\\byhand.exe\\SupportedTypes"));
  EXPECT_EQ(Text(reg::HKEY_CLASSES_ROOT, "Applications\\eog2", "FriendlyAppName"), "Mine");
}

TEST_F(PublishTest, AMachineWithoutDesktopEntriesGetsNoKeys) {
  const Published p = Publish();
  EXPECT_TRUE(p.viewers.empty());
  EXPECT_TRUE(p.browsers.empty());
  EXPECT_TRUE(registry_->SubkeyNames(reg::HKEY_CLASSES_ROOT, "").empty());
  EXPECT_TRUE(registry_->SubkeyNames(reg::HKEY_LOCAL_MACHINE, "").empty());
}

TEST(DesktopEntries, DataDirectoriesFollowTheXdgRules) {
  const auto lookup = [](std::map<std::string, std::string> vars) {
    return [vars](std::string_view name) -> std::optional<std::string> {
      auto it = vars.find(std::string(name));
      if (it == vars.end()) return std::nullopt;
      return it->second;
    };
  };
  using Paths = std::vector<fs::path>;
  EXPECT_EQ(DataDirectories(lookup({{"HOME", "/home/u"}})),
            (Paths{"/home/u/.local/share", "/usr/local/share", "/usr/share"}));
  EXPECT_EQ(DataDirectories(lookup({{"HOME", "/home/u"}, {"XDG_DATA_HOME", "/d"}, {"XDG_DATA_DIRS", "/a:rel:/b"}})),
            (Paths{"/d", "/a", "/b"}));
}

}  // namespace
