#pragma once
// The slideshow opened through the add-in's own entry (ShowSlideShow) over a
// fresh temporary folder, a 1920 x 1080 screen and the virtual clock.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "attachments/attachments.h"
#include "outlook/out_addin.h"
#include "platform/com/com.h"
#include "platform/forms/event_loop.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/screen.h"
#include "platform/forms/ui.h"
#include "platform/fso/fso.h"
#include "platform/fso/resolve.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "settings/reg_settings.h"
#include "support/temp_dir.h"
#include "windows/frm_slideshow.h"

namespace slideshow_test {

namespace forms = platform::forms;
namespace fso = platform::fso;
using namespace lumivane;

constexpr float kTpp = 15;
constexpr int kScreenW = 1920, kScreenH = 1080;
constexpr float kScreenWTwips = kScreenW * kTpp, kScreenHTwips = kScreenH * kTpp;

// A bitmap header of any size: run-length pixels need no more than the end mark.
inline std::string Bmp(std::int32_t w, std::int32_t h) {
  std::string s(56, '\0');
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  s[0] = 'B';
  s[1] = 'M';
  put32(2, 56);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(w));
  put32(22, static_cast<std::uint32_t>(h));
  s[26] = 1;  // planes
  s[28] = 8;  // bits per pixel
  s[30] = 1;  // RLE8
  s[55] = 1;  // end of bitmap
  return s;
}

class SlideshowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::registry::SetCurrent(std::make_shared<platform::registry::Registry>());
    platform::shell::Reset();
    platform::shell::Current().folders.Define(platform::shell::CSIDL_LOCAL_APPDATA, tmp.MakeDir("appdata"));
    forms::DiscardAllForms();
    ui = std::make_shared<forms::ScriptedUserInterface>();
    forms::SetUserInterface(ui);
    loop = std::make_shared<forms::EventLoop>(std::make_shared<forms::VirtualClock>());
    forms::SetEventLoop(loop);
    forms::Screen().Reset();
    forms::Screen().Configure(kTpp, kTpp, kScreenW, kScreenH);
    forms::SetMessageBoxResponder(boxes);
    fs = std::make_shared<fso::FileSystemObject>();
    fso::SetFileSystemObjectProvider([this] { return fs; });
    platform::com::SetClassRegistry(classes);
    stepwick::DllRegisterServer();
    g_objOutAddIn = std::make_shared<OutAddIn>();
    g_objSettings = std::make_shared<RegSettings>();
    g_objSettings->SlideShowInterval(5);
    modPictureAttachments::GetTempFolder();
    folder = g_objOutAddIn->TempFolderPath();
    SetPreviewWindowLoaded(nullptr);
  }

  void TearDown() override {
    forms::DiscardAllForms();
    SetPreviewWindowLoaded(nullptr);
    g_objOutAddIn.reset();
    g_objSettings.reset();
    g_objTempFolder.reset();
    g_objFSO.reset();
    fso::SetFileSystemObjectProvider(nullptr);
    platform::com::SetClassRegistry(nullptr);
    forms::SetUserInterface(nullptr);
    forms::SetMessageBoxResponder(nullptr);
    platform::shell::Reset();
  }

  void Put(const std::string& name, std::int32_t w = 100, std::int32_t h = 100) {
    tmp.Write(std::filesystem::relative(folder, tmp.path()).string() + "/" + name, Bmp(w, h));
  }
  // Three pictures of the show and two left out.
  void PutFive() {
    Put("a.jpg", 1000, 500);
    Put("b.tif");
    Put("c.png");
    Put("d.gif", 400, 800);
    Put("E.BMP", 4000, 3000);
  }
  std::shared_ptr<frmSlideshow> Open(bool standAlone = true, bool delayed = false) {
    modPictureAttachments::ShowSlideShow(standAlone, delayed);
    return forms::Default<frmSlideshow>();
  }
  static std::string Caption(frmSlideshow& f) { return f.lblInfo(2).Caption(); }
  static std::string Shown(frmSlideshow& f) { return std::filesystem::path(f.Image1->Picture()).filename().string(); }
  static stepwick::Navigator& Nav(frmSlideshow& f) { return f.Navigator1.Object(); }
  // The mouse crosses the show on its way to the strip, which brings it back after a rest.
  static void Press(frmSlideshow& f, float x) {
    forms::user::MouseMove(f, 10, 10);
    forms::user::Press(Nav(f).Image1(), x, 100);
  }
  static bool HintsShown(frmSlideshow& f) {
    return f.lblInfo(0).Visible() && f.lblInfo(3).Visible() && f.lblInfo(4).Visible() && f.Navigator1->Visible();
  }
  static bool HintsHidden(frmSlideshow& f) {
    return !f.lblInfo(0).Visible() && !f.lblInfo(3).Visible() && !f.lblInfo(4).Visible() && !f.Navigator1->Visible();
  }
  std::vector<std::string> FolderFiles() const { return fso::ListFolder(folder, fso::EntryKind::Files); }

  testsupport::TempDir tmp;
  std::string folder;
  std::shared_ptr<forms::ScriptedUserInterface> ui;
  std::shared_ptr<forms::EventLoop> loop;
  std::shared_ptr<forms::ScriptedMessageBoxes> boxes = std::make_shared<forms::ScriptedMessageBoxes>();
  std::shared_ptr<fso::FileSystemObject> fs;
  std::shared_ptr<platform::com::ClassRegistry> classes = std::make_shared<platform::com::ClassRegistry>();
};

}  // namespace slideshow_test
