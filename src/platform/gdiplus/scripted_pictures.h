#pragma once
// Pictures by script, for tests: a path answers with the picture given for
// it, or with the error given for it; any other path is a missing file.

#include <map>
#include <string>

#include "platform/gdiplus/gdiplus.h"
#include "runtime/error.h"

namespace platform::gdiplus {

class ScriptedPictures : public PictureSource {
 public:
  void Add(const std::string& path, PictureData picture);
  void AddFailure(const std::string& path, long number, std::string description);

  PictureData Load(const std::string& path) override;

 private:
  std::map<std::string, PictureData> pictures_;
  std::map<std::string, runtime::Error> failures_;
};

// A library over scripted pictures, installed as the current one.
std::shared_ptr<ScriptedPictures> InstallScriptedLibrary();

}  // namespace platform::gdiplus
