#include "settings/app.h"

#include "platform/forms/msgbox.h"

namespace lumivane {

namespace {
int& RevisionStore() {
  static int revision = LUMIVANE_VERSION_REVISION;
  return revision;
}
std::string& PathStore() {
  static std::string path = LUMIVANE_RESOURCES;
  return path;
}
}  // namespace

int App::Revision() { return RevisionStore(); }
void App::SetRevision(int revision) { RevisionStore() = revision; }
const std::string& App::Path() { return PathStore(); }
void App::SetPath(std::string path) { PathStore() = std::move(path); }

void ShowErrorBox(const runtime::Error& e, const runtime::ErrorSite& site, std::string_view suffix) {
  platform::forms::ShowCommonErrorBox(App::ProductName, e, site, suffix);
}

runtime::OnError ErrorBox(std::string procedure, runtime::ModuleKind kind, std::string object) {
  runtime::ErrorSite site{std::move(procedure), kind, std::move(object)};
  return runtime::OnError([site](const runtime::Error& e) { ShowErrorBox(e, site); });
}

}  // namespace lumivane
