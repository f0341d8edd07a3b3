#include "host/qt/client_windows.h"

#include <algorithm>

#include "host/addin.h"
#include "host/qt/command_bar_views.h"
#include "host/qt/explorer_window.h"
#include "host/qt/inspector_window.h"
#include "platform/qt/form_views.h"

namespace host::qt {

namespace {

// Takes the entry of `model` out of `shown`; nullptr when it has none.
template <class List, class Model>
auto TakeOut(List& shown, const std::shared_ptr<Model>& model) {
  typename List::value_type taken;
  const auto it = std::find_if(shown.begin(), shown.end(), [&](const auto& s) { return s->model == model; });
  if (it == shown.end()) return taken;
  taken = std::move(*it);
  shown.erase(it);
  return taken;
}

// When the screen goes first, its windows go at once.
template <class List>
void CloseAll(List& shown) {
  for (auto& s : shown) {
    s->onClose.reset();
    s->onActivate.reset();
    if (!s->window) continue;
    s->window->Detach();
    delete s->window;
  }
}

}  // namespace

ClientWindows::ClientWindows(host::Host& client, std::shared_ptr<host::MailLink> link, QObject* parent)
    : QObject(parent), client_(client), link_(std::move(link)) {
  const auto& app = client_.App();
  onNewExplorer_ = app->Explorers()->NewExplorer.Subscribe([this](std::shared_ptr<host::Explorer> e) { Open(e); });
  for (const auto& explorer : app->OpenExplorers()) Open(explorer);
  onNewInspector_ =
      app->Inspectors()->NewInspector.Subscribe([this](std::shared_ptr<host::Inspector> i) { OpenMessage(i); });
  for (const auto& inspector : app->OpenInspectors()) {
    OpenMessage(inspector);
    if (auto* window = InspectorWindowOf(inspector); window && inspector->Shown()) window->show();
  }
}

ClientWindows::~ClientWindows() {
  onNewExplorer_.reset();
  onNewInspector_.reset();
  CloseAll(messages_);
  CloseAll(windows_);
}

void ClientWindows::Open(const std::shared_ptr<host::Explorer>& explorer) {
  if (!explorer || explorer->Closed() || ExplorerWindowOf(explorer) != nullptr) return;
  auto shown = std::make_unique<Shown<host::Explorer, ExplorerWindow>>();
  shown->model = explorer;
  shown->window = new ExplorerWindow(client_.App(), explorer, link_);
  std::weak_ptr<host::Explorer> weak = explorer;
  shown->onClose = explorer->Close.Subscribe([this, weak] { Closed(weak.lock()); });
  shown->onActivate = explorer->Activate.Subscribe([this] { Activated(); });
  ExplorerWindow* window = shown->window;
  windows_.push_back(std::move(shown));
  window->show();
  window->activateWindow();
  // The host makes a new Explorer the active one after announcing it.
  QMetaObject::invokeMethod(
      this, [this] { Activated(); }, Qt::QueuedConnection);
}

void ClientWindows::Closed(const std::shared_ptr<host::Explorer>& explorer) {
  auto shown = TakeOut(windows_, explorer);
  if (!shown) return;
  shown->LetGo();
  // The host has made another Explorer the active one already.
  if (QMainWindow* next = ActiveWindow()) {
    next->raise();
    next->activateWindow();
  }
  Activated();
}

void ClientWindows::OpenMessage(const std::shared_ptr<host::Inspector>& inspector) {
  Reap();
  if (!inspector || inspector->Closed() || InspectorWindowOf(inspector) != nullptr) return;
  auto shown = std::make_unique<Shown<host::Inspector, InspectorWindow>>();
  shown->model = inspector;
  // Made now, hidden: the add-in places the window before the host shows it.
  shown->window = new InspectorWindow(client_.App(), inspector, link_);
  std::weak_ptr<host::Inspector> weak = inspector;
  shown->onClose = inspector->Close.Subscribe([this, weak] { MessageClosed(weak.lock()); });
  InspectorWindow* window = shown->window;
  shown->onActivate = inspector->Activate.Subscribe([this, window] { Activated(window); });
  messages_.push_back(std::move(shown));
  QMetaObject::invokeMethod(this, &ClientWindows::Reap, Qt::QueuedConnection);
}

void ClientWindows::MessageClosed(const std::shared_ptr<host::Inspector>& inspector) {
  auto shown = TakeOut(messages_, inspector);
  if (!shown) return;
  shown->LetGo();
  // What the window did may show in the main windows (a message sent into
  // a folder, a folder made for it).
  for (const auto& main : windows_)
    if (main->window) main->window->FollowExplorer();
  if (QMainWindow* next = ActiveInspectorWindow()) {
    Activated(next);
  } else {
    if (QMainWindow* main = ActiveWindow()) main->raise();
    Activated();
  }
}

void ClientWindows::Reap() {
  for (auto it = messages_.begin(); it != messages_.end();) {
    if (!(*it)->model->Closed()) {
      ++it;
      continue;
    }
    (*it)->LetGo();
    it = messages_.erase(it);
  }
}

InspectorWindow* ClientWindows::InspectorWindowOf(const std::shared_ptr<host::Inspector>& inspector) const {
  for (const auto& shown : messages_)
    if (shown->model == inspector) return shown->window;
  return nullptr;
}

InspectorWindow* ClientWindows::ActiveInspectorWindow() {
  const auto& app = client_.App();
  if (app->Ended()) return nullptr;
  InspectorWindow* window = InspectorWindowOf(app->ActiveInspector());
  if (window != nullptr) {
    window->bars().Flush();
    window->FollowItem();
  }
  return window;
}

void ClientWindows::Activated(QMainWindow* top) {
  QMainWindow* now = top != nullptr ? top : ActiveWindow();
  if (now == active_.data()) return;
  active_ = now;
  if (views_) views_->SetMainWindow(now);
  emit ActiveWindowChanged(now);
}

ExplorerWindow* ClientWindows::ExplorerWindowOf(const std::shared_ptr<host::Explorer>& explorer) const {
  for (const auto& shown : windows_)
    if (shown->model == explorer) return shown->window;
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
  for (const auto& shown : messages_) {
    if (!shown->window) continue;
    shown->window->bars().Flush();
    shown->window->FollowItem();
  }
}

}  // namespace host::qt
