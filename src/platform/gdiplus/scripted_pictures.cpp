#include "platform/gdiplus/scripted_pictures.h"

namespace platform::gdiplus {

void ScriptedPictures::Add(const std::string& path, PictureData picture) {
  failures_.erase(path);
  pictures_[path] = std::move(picture);
}

void ScriptedPictures::AddFailure(const std::string& path, long number, std::string description) {
  pictures_.erase(path);
  failures_.insert_or_assign(path, runtime::Error(number, std::move(description)));
}

PictureData ScriptedPictures::Load(const std::string& path) {
  if (const auto f = failures_.find(path); f != failures_.end()) throw f->second;
  if (const auto p = pictures_.find(path); p != pictures_.end()) return p->second;
  RaiseStatus(kErrCannotLoad, Status::FileNotFound);
}

std::shared_ptr<ScriptedPictures> InstallScriptedLibrary() {
  auto pictures = std::make_shared<ScriptedPictures>();
  SetLibrary(std::make_shared<Library>(pictures));
  return pictures;
}

}  // namespace platform::gdiplus
