#pragma once
// Fixtures of the picture tests: a picture loader over scripted pictures or
// over the sample files, a running session, scripted message boxes and a
// temporary folder; the add-in's globals start empty.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "outlook/out_addin.h"
#include "pictures/image_files.h"
#include "platform/forms/msgbox.h"
#include "platform/gdiplus/file_pictures.h"
#include "platform/gdiplus/gdiplus.h"
#include "platform/gdiplus/scripted_pictures.h"
#include "settings/reg_settings.h"
#include "support/temp_dir.h"

namespace picture_test {

inline std::string SamplePath(const std::string& name) { return std::string(LUMIVANE_TEST_DATA) + "/pictures/" + name; }

// 1600 x 1200 at 72 dpi with sRGB and the given items.
inline platform::gdiplus::PictureData WithColourSpace(std::vector<platform::gdiplus::PropertyData> items) {
  platform::gdiplus::PictureData p;
  p.format = "JPEG";
  p.width = 1600;
  p.height = 1200;
  p.horizontalResolution = 72.0f;
  p.verticalResolution = 72.0f;
  p.properties.push_back(platform::gdiplus::PropertyData::Shorts(40961, {1}));
  for (auto& item : items) p.properties.push_back(std::move(item));
  return p;
}

// Every property the preview shows.
inline platform::gdiplus::PictureData CameraPicture() {
  using platform::gdiplus::PropertyData;
  return WithColourSpace({
      PropertyData::Shorts(258, {8, 8, 8}),
      PropertyData::Ascii(272, "Fotrix Z10"),
      PropertyData::Ascii(305, "PixelForge 2.1"),
      PropertyData::Ascii(36867, "2004:05:17 14:03:22"),
      PropertyData::Ascii(271, "Fotrix"),
      PropertyData::Rationals(37380, {{-2, 3}}, true),
      PropertyData::Shorts(34850, {2}),
      PropertyData::Rationals(33434, {{1, 60}}),
      PropertyData::Shorts(37385, {1}),
      PropertyData::Rationals(33437, {{28, 10}}),
      PropertyData::Rationals(37386, {{63, 10}}),
      PropertyData::Shorts(34855, {100}),
      PropertyData::Rationals(37378, {{497, 100}}),
      PropertyData::Shorts(37384, {1}),
      PropertyData::Shorts(37383, {5}),
      PropertyData::Rationals(37377, {{20, 3}}, true),
      PropertyData::Rationals(37382, {{5, 10}}),
  });
}

class LoaderFixture : public ::testing::Test {
 protected:
  explicit LoaderFixture(std::shared_ptr<platform::gdiplus::PictureSource> source)
      : library(std::make_shared<platform::gdiplus::Library>(std::move(source))) {}

  void SetUp() override {
    lumivane::ResetAddInGlobals();
    lumivane::g_objFSO.reset();
    lumivane::modPictureAttachments::g_objGdiPlusSession.reset();
    previous_ = platform::gdiplus::SetLibrary(library);
    platform::forms::SetMessageBoxResponder(boxes);
    ASSERT_TRUE(platform::gdiplus::GdiPlusSession().Startup());
    library->ClearCalls();
  }
  void TearDown() override {
    platform::gdiplus::SetLibrary(previous_);
    lumivane::modPictureAttachments::g_objGdiPlusSession.reset();
    lumivane::g_objFSO.reset();
    lumivane::ResetAddInGlobals();
  }

  std::shared_ptr<platform::gdiplus::Library> library;
  std::shared_ptr<platform::forms::ScriptedMessageBoxes> boxes =
      std::make_shared<platform::forms::ScriptedMessageBoxes>();
  testsupport::TempDir tmp;

 private:
  std::shared_ptr<platform::gdiplus::Library> previous_;
};

class PictureFixture : public LoaderFixture {
 protected:
  PictureFixture() : PictureFixture(std::make_shared<platform::gdiplus::ScriptedPictures>()) {}
  std::shared_ptr<platform::gdiplus::ScriptedPictures> pictures;

 private:
  explicit PictureFixture(std::shared_ptr<platform::gdiplus::ScriptedPictures> p) : LoaderFixture(p), pictures(p) {}
};

class RealPictures : public LoaderFixture {
 protected:
  RealPictures() : LoaderFixture(std::make_shared<platform::gdiplus::FilePictures>()) {}
};

}  // namespace picture_test
