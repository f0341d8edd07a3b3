#include "host/addin.h"

#include <algorithm>

#include "runtime/text.h"

namespace host {

Host::Host(std::string version)
    : context_(std::make_shared<host::Context>(std::move(version))),
      store_(std::make_shared<host::Store>(context_)),
      app_(std::make_shared<Application>(context_, store_)) {}

Host::~Host() {
  // Add-in objects go first, while the host objects they may still touch exist.
  addIns_.clear();
  app_->OnLastWindowClosed(nullptr);
  app_->Quit();
}

void Host::Guard(std::string event, const std::function<void()>& call) {
  try {
    call();
  } catch (...) {
    context_->RecordEscaped(std::move(event), runtime::ToError(std::current_exception()));
  }
}

void Host::Start(const StartOptions& options) {
  if (running_ || app_->Ended()) return;
  running_ = true;
  if (options.explorer) app_->OpenExplorer(options.explorerOptions);

  std::vector<AddInRegistration> registrations;
  try {
    registrations = source_ ? source_() : ReadAddInRegistrations();
  } catch (...) {
    const runtime::Error e = runtime::ToError(std::current_exception());
    failures_.push_back(LoadFailure{std::string(kAddInsKey), e.Number(), e.Description()});
  }
  for (const auto& reg : registrations) {
    if (reg.loadBehavior != kLoadAtStartup) continue;
    std::shared_ptr<AddinInstance> instance;
    try {
      instance = platform::com::As<AddinInstance>(platform::com::CreateObject(reg.progId));
    } catch (...) {
      const runtime::Error e = runtime::ToError(std::current_exception());
      failures_.push_back(LoadFailure{reg.progId, e.Number(), e.Description()});
      continue;
    }
    auto addIn = std::make_shared<COMAddIn>(reg.progId, reg.description);
    addIn->connected_ = true;
    addIns_.push_back(Connected{addIn, instance});
    Custom custom;
    Guard("AddinInstance.OnConnection",
          [&] { instance->OnConnection(passNoApplication_ ? nullptr : app_, ext_cm_Startup, addIn, custom); });
  }
  for (const auto& c : std::vector<Connected>(addIns_)) {
    Custom custom;
    Guard("AddinInstance.OnStartupComplete", [&] { c.instance->OnStartupComplete(custom); });
  }
  // A host that a person started ends with its last window.
  if (options.explorer) {
    app_->OnLastWindowClosed([this] {
      if (running_ && !exiting_) Exit();
    });
  }
}

void Host::Exit() {
  if (!running_ || exiting_) return;
  exiting_ = true;
  for (const auto& i : app_->OpenInspectors()) app_->CloseInspector(i);
  for (const auto& e : app_->OpenExplorers()) app_->CloseExplorer(e);
  const std::vector<Connected> connected = addIns_;
  for (const auto& c : connected) {
    Custom custom;
    Guard("AddinInstance.OnBeginShutdown", [&] { c.instance->OnBeginShutdown(custom); });
  }
  for (const auto& c : connected) {
    Custom custom;
    Guard("AddinInstance.OnDisconnection", [&] { c.instance->OnDisconnection(ext_dm_HostShutdown, custom); });
    c.addIn->connected_ = false;
  }
  addIns_.clear();
  app_->Quit();
  running_ = false;
  exiting_ = false;
}

void Host::RemoveAddIn(std::string_view progId) {
  auto it = std::find_if(addIns_.begin(), addIns_.end(),
                         [&](const Connected& c) { return runtime::TextEqual(c.addIn->progId_, progId); });
  if (it == addIns_.end()) return;
  const Connected removed = *it;
  addIns_.erase(it);
  {
    Custom custom;
    Guard("AddinInstance.OnDisconnection", [&] { removed.instance->OnDisconnection(ext_dm_UserClosed, custom); });
  }
  removed.addIn->connected_ = false;
  for (const auto& c : std::vector<Connected>(addIns_)) {
    Custom custom;
    Guard("AddinInstance.OnAddInsUpdate", [&] { c.instance->OnAddInsUpdate(custom); });
  }
}

}  // namespace host
