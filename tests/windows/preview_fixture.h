#pragma once
// The preview window opened from the Explorer toolbar of a running host, on
// messages whose pictures are scripted: what the folder view lists, what the
// task pane says, and where things are.

#include <memory>
#include <string>
#include <vector>

#include "outlook/addin_fixture.h"
#include "pictures/picture_test.h"
#include "platform/controls/web_browser.h"
#include "platform/forms/screen.h"
#include "platform/gdiplus/scripted_pictures.h"
#include "platform/path.h"
#include "windows/frm_main.h"

namespace windows_test {

using lumivane::frmMain;
namespace controls = platform::controls;
namespace forms = platform::forms;

// A camera picture whose every DETAILS text shows, the subject 10/3 m away.
inline platform::gdiplus::PictureData Camera() {
  auto p = picture_test::CameraPicture();
  for (auto& item : p.properties)
    if (item.tag == 37382) item = platform::gdiplus::PropertyData::Rationals(37382, {{10, 3}});
  return p;
}

inline platform::gdiplus::PictureData Plain() {
  platform::gdiplus::PictureData p;
  p.format = "JPEG";
  p.width = 640;
  p.height = 480;
  return p;
}

class PreviewTest : public outlook_test::CommandsTest {
 public:
  void SetUp() override {
    CommandsTest::SetUp();
    // Different factors per axis, so that a mix-up shows.
    forms::Screen().Configure(15, 12, 1024, 768);
    platform::shell::Current().workArea.Set({0, 0, 1000, 740});
    previous_ = platform::gdiplus::CurrentLibrary();
    scripted = platform::gdiplus::InstallScriptedLibrary();
    temp = lumivane::g_objOutAddIn->TempFolderPath();
  }
  void TearDown() override {
    controls::ShellSettings() = {};
    controls::Readiness() = {};
    CommandsTest::TearDown();
    platform::gdiplus::SetLibrary(previous_);
    forms::Screen().Reset();
  }

  // Selects a new message with these attachments (each picture scripted
  // under the name it will have in the temporary folder) and clicks
  // "&Lumivane..." on the toolbar.
  std::shared_ptr<frmMain> Open(const std::string& subject,
                                const std::vector<std::pair<std::string, platform::gdiplus::PictureData>>& files) {
    std::vector<host::AttachmentData> attachments;
    for (const auto& [name, picture] : files) {
      attachments.push_back(outlook_test::Att(name));
      scripted->Add(platform::JoinPath(temp, name), picture);
    }
    message = Message(subject, attachments);
    explorer->Select({message});
    ClickToolbar("&Lumivane...");
    return forms::Default<frmMain>();
  }

  std::string InTemp(const std::string& name) const { return platform::JoinPath(temp, name); }

  // The shell's folder view: classic (no web view) or not.
  void ClassicView(bool on) {
    registry->Seed(platform::registry::HKEY_CURRENT_USER,
                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced", "WebView",
                   platform::registry::REG_DWORD, {static_cast<std::uint8_t>(on ? 0 : 1), 0, 0, 0});
  }

  static std::vector<std::string> Texts(frmMain& f, const std::string& bar) {
    std::vector<std::string> out;
    for (const auto& item : f.vbalExplorerBarCtl1->Bar(bar)->Items()) out.push_back(item->Text());
    return out;
  }
  static std::vector<std::string> BarKeys(frmMain& f) {
    std::vector<std::string> out;
    for (const auto& bar : f.vbalExplorerBarCtl1->Bars()) out.push_back(bar->Key());
    return out;
  }
  // The view's items as "name", focus marked ">" and selection "*".
  static std::vector<std::string> View(frmMain& f) {
    std::vector<std::string> out;
    auto view = f.wbThumbnails->Document();
    const auto items = view->Folder()->Items();
    for (const auto& item : *items)
      out.push_back((view->HasFocus(*item) ? ">" : "") + item->Name() + (view->IsSelected(*item) ? "*" : ""));
    return out;
  }

  std::shared_ptr<platform::gdiplus::ScriptedPictures> scripted;
  std::string temp;
  std::shared_ptr<host::Item> message;

 private:
  std::shared_ptr<platform::gdiplus::Library> previous_;
};

}  // namespace windows_test
