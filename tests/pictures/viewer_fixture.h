#pragma once
// A fresh world for the viewer tests: an empty registry, a reset shell whose
// program files and system folders lie in a temporary folder, scripted message
// boxes, and the add-in's globals (its viewers included) empty.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "pictures/image_viewer.h"
#include "pictures/image_viewers.h"
#include "platform/forms/msgbox.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "settings/reg_settings.h"
#include "support/temp_dir.h"

namespace viewer_test {

class ViewerWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::shell::Reset();
    lumivane::ResetAddInGlobals();
    lumivane::g_objImageViewers.reset();
    platform::registry::SetCurrent(reg);
    platform::forms::SetMessageBoxResponder(boxes);
    platform::shell::Current().folders.Define(platform::shell::CSIDL_PROGRAM_FILES, programFiles);
    platform::shell::Current().folders.Define(platform::shell::CSIDL_SYSTEM, system);
  }
  void TearDown() override {
    lumivane::g_objImageViewers.reset();
    lumivane::ResetAddInGlobals();
    platform::registry::SetCurrent(nullptr);
    platform::shell::Reset();
  }

  // The formats a viewer opens, as "BMP GIF ... all".
  static std::string Formats(const lumivane::ImageViewer& v) {
    std::string out;
    for (auto [on, name] : {std::pair{v.BMP(), "BMP"},
                            {v.GIF(), "GIF"},
                            {v.JPEG(), "JPEG"},
                            {v.TIFF(), "TIFF"},
                            {v.PNG(), "PNG"},
                            {v.EMF(), "EMF"},
                            {v.WMF(), "WMF"},
                            {v.AllFormats(), "all"}}) {
      if (on) out += out.empty() ? name : std::string(" ") + name;
    }
    return out;
  }

  testsupport::TempDir tmp;
  std::string programFiles = tmp.MakeDir("Program Files");
  std::string system = tmp.MakeDir("Windows/System32");
  std::shared_ptr<platform::registry::Registry> reg = std::make_shared<platform::registry::Registry>();
  std::shared_ptr<platform::forms::ScriptedMessageBoxes> boxes =
      std::make_shared<platform::forms::ScriptedMessageBoxes>();
};

}  // namespace viewer_test
