#include "host/qt/client_windows.h"

#include <algorithm>

#include "host/addin.h"
#include "host/qt/command_bar_views.h"
#include "host/qt/explorer_window.h"
#include "platform/qt/form_views.h"

namespace host::qt {

ClientWindows::ClientWindows(host::Host& client, std::shared_ptr<host::MailLink> link, QObject* parent)
    : QObject(parent), client_(client), link_(std::move(link)) {
  const auto& app = client_.App();
  onNewExplorer_ = app->Explorers()->NewExplorer.Subscribe([this](std::shared_ptr<host::Explorer> e) { Open(e); });
  for (const auto& explorer : app->OpenExplorers()) Open(explorer);
}

ClientWindows::~ClientWindows() {
  onNewExplorer_.reset();
  for (auto& shown : windows_) {
    shown->onClose.reset();
    shown->onActivate.reset();
    if (shown->window) {
      shown->window->Detach();
      delete shown->window;
    }
  }
}

void ClientWindows::Open(const std::shared_ptr<host::Explorer>& explorer) {
  if (!explorer || explorer->Closed() || ExplorerWindowOf(explorer) != nullptr) return;
  auto shown = std::make_unique<Shown>();
  shown->explorer = explorer;
  shown->window = new ExplorerWindow(client_.App(), explorer, link_);
  std::weak_ptr<host::Explorer> weak = explorer;
  shown->onClose = explorer->Close.Subscribe([this, weak] { Closed(weak.lock()); });
  shown->onActivate = explorer->Activate.Subscribe([this] { Activated(); });
  ExplorerWindow* window = shown->window;
  windows_.push_back(std::move(shown));
  window->show();
  window->activateWindow();
  // The host makes a new Explorer the active one after announcing it.
  QMetaObject::invokeMethod(this, &ClientWindows::Activated, Qt::QueuedConnection);
}

void ClientWindows::Closed(const std::shared_ptr<host::Explorer>& explorer) {
  const auto it =
      std::find_if(windows_.begin(), windows_.end(), [&](const auto& s) { return s->explorer == explorer; });
  if (it == windows_.end()) return;
  std::unique_ptr<Shown> shown = std::move(*it);
  windows_.erase(it);
  if (shown->window) {
    // The window may be inside its own close event: it goes once Qt is done with it.
    shown->window->Detach();
    shown->window->hide();
    shown->window->deleteLater();
  }
  // The host has made another Explorer the active one already.
  if (QMainWindow* next = ActiveWindow()) {
    next->raise();
    next->activateWindow();
  }
  Activated();
}

void ClientWindows::Activated() {
  QMainWindow* now = ActiveWindow();
  if (now == active_.data()) return;
  active_ = now;
  if (views_) views_->SetMainWindow(now);
  emit ActiveWindowChanged(now);
}

ExplorerWindow* ClientWindows::ExplorerWindowOf(const std::shared_ptr<host::Explorer>& explorer) const {
  for (const auto& shown : windows_)
    if (shown->explorer == explorer) return shown->window;
  return nullptr;
}

QMainWindow* ClientWindows::WindowOf(const std::shared_ptr<host::Explorer>& explorer) {
  ExplorerWindow* window = ExplorerWindowOf(explorer);
  if (window != nullptr) window->bars().Flush();
  return window;
}

QMainWindow* ClientWindows::ActiveWindow() {
  const auto& app = client_.App();
  if (app->Ended()) return nullptr;
  std::shared_ptr<host::Explorer> active;
  platform::qt::Act([&] { active = app->ActiveExplorer(); });
  return WindowOf(active);
}

void ClientWindows::UseFormViews(platform::qt::FormViews& views) {
  views_ = &views;
  views.SetMainWindow(ActiveWindow());
}

void ClientWindows::Sync() {
  for (const auto& shown : windows_)
    if (shown->window) shown->window->bars().Flush();
}

}  // namespace host::qt
