#include "host/outlook.h"

#include <algorithm>

#include "runtime/text.h"

namespace host {

namespace {

constexpr long kExplorerWidth = 1024;
constexpr long kInspectorWidth = 800;

void AddMenu(const std::shared_ptr<CommandBar>& menuBar, long id, std::string caption,
             std::vector<std::pair<long, std::string>> entries) {
  auto popup = As<CommandBarPopup>(menuBar->AddBuiltInControl(msoControlPopup, id, std::move(caption)));
  for (auto& [entryId, entryCaption] : entries)
    popup->CommandBar()->AddBuiltInControl(msoControlButton, entryId, std::move(entryCaption));
}

std::shared_ptr<CommandBars> ExplorerBars(const std::shared_ptr<Context>& context) {
  auto bars = std::make_shared<CommandBars>(context, kExplorerWidth);
  auto menu = bars->AddBuiltIn("Menu Bar", msoBarTypeMenuBar);
  AddMenu(menu, 30002, "&File", {{kIdOpen, "&Open"}, {kIdExit, "E&xit"}});
  AddMenu(menu, 30003, "&Edit", {{19, "&Copy"}});
  AddMenu(menu, kIdToolsMenuExplorer, "&Tools", {{5488, "Send/Re&ceive"}, {522, "&Options..."}});
  AddMenu(menu, 30010, "&Help", {{984, "&About"}});
  auto standard = bars->AddBuiltIn("Standard");
  standard->AddBuiltInControl(msoControlButton, kIdNew, "&New");
  standard->AddBuiltInControl(msoControlButton, 4, "&Print");
  return bars;
}

std::shared_ptr<CommandBars> InspectorBars(const std::shared_ptr<Context>& context, bool composing) {
  auto bars = std::make_shared<CommandBars>(context, kInspectorWidth);
  auto menu = bars->AddBuiltIn("Menu Bar", msoBarTypeMenuBar);
  AddMenu(menu, 30002, "&File", {{3, "&Save"}, {kIdCloseItem, "&Close"}});
  AddMenu(menu, 30003, "&Edit", {{19, "&Copy"}});
  AddMenu(menu, kIdToolsMenuInspector, "&Tools", {{2, "&Spelling..."}, {522, "&Options..."}});
  AddMenu(menu, 30010, "&Help", {{984, "&About"}});
  auto standard = bars->AddBuiltIn("Standard");
  if (composing) {
    standard->AddBuiltInControl(msoControlButton, kIdSend, "&Send");
  } else {
    standard->AddBuiltInControl(msoControlButton, 354, "&Reply");
    standard->AddBuiltInControl(msoControlButton, 356, "For&ward");
  }
  standard->AddBuiltInControl(msoControlButton, 4, "&Print");
  return bars;
}

}  // namespace

// ----------------------------------------------------------------- NameSpace

std::shared_ptr<MAPIObject> NameSpace::MAPIOBJECT() {
  faults_.Check("MAPIOBJECT");
  if (faults_.IsNothing("MAPIOBJECT")) return nullptr;
  return handle_;
}

// ------------------------------------------------------------------ Explorer

Explorer::Explorer(std::shared_ptr<Context> context, std::weak_ptr<host::Application> app,
                   std::shared_ptr<Folder> folder)
    : Activate("Explorer.Activate", context),
      SelectionChange("Explorer.SelectionChange", context),
      ViewSwitch("Explorer.ViewSwitch", context),
      Close("Explorer.Close", context),
      context_(context),
      app_(std::move(app)),
      folder_(std::move(folder)),
      bars_(ExplorerBars(context)) {}

void Explorer::CheckAlive(std::string_view member) {
  if (closed_) RaiseDeleted();
  faults_.Check(member);
}

std::shared_ptr<Folder> Explorer::CurrentFolder() {
  CheckAlive("CurrentFolder");
  if (faults_.IsNothing("CurrentFolder")) return nullptr;
  return folder_;
}

std::shared_ptr<Selection> Explorer::Selection() {
  CheckAlive("Selection");
  return std::make_shared<host::Selection>(selection_);
}

std::shared_ptr<CommandBars> Explorer::CommandBars() {
  CheckAlive("CommandBars");
  if (faults_.IsNothing("CommandBars")) return nullptr;
  return bars_;
}

std::shared_ptr<Application> Explorer::Application() {
  CheckAlive("Application");
  if (faults_.IsNothing("Application")) return nullptr;
  return app_.lock();
}

void Explorer::CurrentFolder(std::shared_ptr<Folder> folder) {
  if (closed_) RaiseDeleted();
  folder_ = std::move(folder);
  selection_.clear();
}

void Explorer::Select(std::vector<std::shared_ptr<Item>> items) {
  if (closed_) RaiseDeleted();
  auto self = shared_from_this();
  selection_ = std::move(items);
  SelectionChange.Raise();
}

void Explorer::SwitchView() {
  if (closed_) RaiseDeleted();
  auto self = shared_from_this();
  ViewSwitch.Raise();
}

// ----------------------------------------------------------------- Inspector

Inspector::Inspector(std::shared_ptr<Context> context, std::weak_ptr<host::Application> app, std::shared_ptr<Item> item)
    : Activate("Inspector.Activate", context),
      Close("Inspector.Close", context),
      PlacementChanged("Inspector.PlacementChanged", context),
      context_(context),
      app_(std::move(app)),
      item_(std::move(item)),
      bars_(InspectorBars(context, item_ && !item_->SentFlag())) {}

void Inspector::CheckAlive(std::string_view member) {
  if (closed_) RaiseDeleted();
  faults_.Check(member);
}

std::shared_ptr<Item> Inspector::CurrentItem() {
  CheckAlive("CurrentItem");
  if (faults_.IsNothing("CurrentItem")) return nullptr;
  return item_;
}

std::shared_ptr<CommandBars> Inspector::CommandBars() {
  CheckAlive("CommandBars");
  if (faults_.IsNothing("CommandBars")) return nullptr;
  return bars_;
}

long Inspector::EditorType() {
  CheckAlive("EditorType");
  return editorType_;
}

OlWindowState Inspector::WindowState() {
  CheckAlive("WindowState");
  return state_;
}

void Inspector::WindowState(OlWindowState state) {
  CheckAlive("WindowState=");
  state_ = state;
  PlacementChanged.Raise();
}

long Inspector::Left() {
  CheckAlive("Left");
  return left_;
}
void Inspector::Left(long left) {
  CheckAlive("Left=");
  left_ = left;
  PlacementChanged.Raise();
}
long Inspector::Top() {
  CheckAlive("Top");
  return top_;
}
void Inspector::Top(long top) {
  CheckAlive("Top=");
  top_ = top;
  PlacementChanged.Raise();
}
long Inspector::Width() {
  CheckAlive("Width");
  return width_;
}
void Inspector::Width(long width) {
  CheckAlive("Width=");
  if (width < 0) runtime::Raise(runtime::err::kInvalidProcedureCall);
  width_ = width;
  PlacementChanged.Raise();
}
long Inspector::Height() {
  CheckAlive("Height");
  return height_;
}
void Inspector::Height(long height) {
  CheckAlive("Height=");
  if (height < 0) runtime::Raise(runtime::err::kInvalidProcedureCall);
  height_ = height;
  PlacementChanged.Raise();
}

void Inspector::Place(const Placement& placement) {
  state_ = placement.state;
  // A maximised or minimised window keeps the place it comes back to.
  if (placement.state != OlWindowState::olNormalWindow) return;
  left_ = placement.left;
  top_ = placement.top;
  width_ = placement.width;
  height_ = placement.height;
}

void Inspector::Display() {
  CheckAlive("Display");
  if (shown_) return;
  shown_ = true;
  // While the host is still opening the window, its own Activate follows.
  if (!opened_) return;
  if (auto app = app_.lock()) app->ActivateInspector(shared_from_this());
}

// ---------------------------------------------------------------- Collections

long Explorers::Count() {
  faults_.Check("Count");
  return static_cast<long>(list_.size());
}

std::shared_ptr<Explorer> Explorers::Item(long index) {
  faults_.Check("Item");
  if (index < 1 || index > static_cast<long>(list_.size())) runtime::Raise(runtime::err::kSubscriptOutOfRange);
  return list_[static_cast<std::size_t>(index - 1)];
}

long Inspectors::Count() {
  faults_.Check("Count");
  return static_cast<long>(list_.size());
}

std::shared_ptr<Inspector> Inspectors::Item(long index) {
  faults_.Check("Item");
  if (index < 1 || index > static_cast<long>(list_.size())) runtime::Raise(runtime::err::kSubscriptOutOfRange);
  return list_[static_cast<std::size_t>(index - 1)];
}

// --------------------------------------------------------------- Application

Application::Application(std::shared_ptr<host::Context> context, std::shared_ptr<host::Store> store)
    : context_(std::move(context)),
      store_(std::move(store)),
      explorers_(std::make_shared<host::Explorers>(context_)),
      inspectors_(std::make_shared<host::Inspectors>(context_)),
      session_(std::make_shared<NameSpace>(std::make_shared<MAPIObject>(store_))) {}

void Application::CheckAlive(std::string_view member) {
  if (ended_) RaiseDeleted();
  faults_.Check(member);
}

std::string Application::Version() {
  CheckAlive("Version");
  return context_->Version();
}

void Application::Version(std::string version) { context_->Version(std::move(version)); }

std::shared_ptr<Explorers> Application::Explorers() {
  CheckAlive("Explorers");
  if (faults_.IsNothing("Explorers")) return nullptr;
  return explorers_;
}

std::shared_ptr<Inspectors> Application::Inspectors() {
  CheckAlive("Inspectors");
  if (faults_.IsNothing("Inspectors")) return nullptr;
  return inspectors_;
}

std::shared_ptr<Explorer> Application::ActiveExplorer() {
  CheckAlive("ActiveExplorer");
  if (faults_.IsNothing("ActiveExplorer")) return nullptr;
  auto e = activeExplorer_.lock();
  return e && !e->closed_ ? e : nullptr;
}

std::shared_ptr<NameSpace> Application::Session() {
  CheckAlive("Session");
  if (faults_.IsNothing("Session")) return nullptr;
  return session_;
}

std::shared_ptr<NameSpace> Application::GetNamespace(std::string_view type) {
  CheckAlive("GetNamespace");
  if (!runtime::TextEqual(type, "MAPI")) runtime::Raise(runtime::err::kInvalidProcedureCall);
  return session_;
}

template <class Window>
void Application::OnBuiltIn(CommandBars& bars, long id, const std::shared_ptr<Window>& window,
                            std::type_identity_t<void (*)(Application&, Window&)> action) {
  auto control = As<CommandBarButton>(bars.FindControl({.Id = id}));
  if (!control) return;
  // What the host does itself, after the add-in's Click handlers.
  control->DefaultAction([app = weak_from_this(), weak = std::weak_ptr<Window>(window), action] {
    auto a = app.lock();
    auto w = weak.lock();
    if (a && w && !w->closed_) action(*a, *w);
  });
}

std::shared_ptr<Explorer> Application::OpenExplorer(const ExplorerOptions& options) {
  if (ended_) RaiseDeleted();
  auto self = shared_from_this();
  auto folder = options.folder;
  if (!folder && !store_->Folders().empty()) folder = store_->Folders().front();
  auto explorer = std::make_shared<Explorer>(context_, weak_from_this(), folder);
  // A new item of the shown folder's kind (a post in a post folder), filed there until it is sent.
  OnBuiltIn(*explorer->bars_, kIdNew, explorer, [](Application& a, Explorer& e) {
    ItemData data;
    data.itemClass = e.folder_ && e.folder_->DefaultItemType() == olPostItem ? olPost : olMail;
    a.Compose(std::move(data), e.folder_);
  });
  OnBuiltIn(*explorer->bars_, kIdOpen, explorer, [](Application& a, Explorer& e) {
    for (const auto& item : std::vector(e.selection_)) a.OpenInspector(item);
  });
  // Every window closes, as a person closing them one by one; a message
  // whose handler refuses to close keeps the program running.
  OnBuiltIn(*explorer->bars_, kIdExit, explorer, [](Application& a, Explorer&) {
    for (const auto& i : a.OpenInspectors()) a.CloseInspector(i);
    for (const auto& e : a.OpenExplorers()) a.CloseExplorer(e);
  });
  explorers_->list_.push_back(explorer);
  explorers_->NewExplorer.Raise(explorer);
  if (explorer->closed_) return explorer;
  activeExplorer_ = explorer;
  if (options.viewSwitch) explorer->ViewSwitch.Raise();
  if (explorer->closed_) return explorer;
  explorer->selection_ = options.selection;
  explorer->SelectionChange.Raise();
  return explorer;
}

void Application::ActivateExplorer(const std::shared_ptr<Explorer>& explorer) {
  if (ended_ || !explorer || explorer->closed_) RaiseDeleted();
  activeExplorer_ = explorer;
  auto keep = explorer;
  keep->Activate.Raise();
}

void Application::CloseExplorer(const std::shared_ptr<Explorer>& explorer) {
  if (!explorer || explorer->closed_) return;
  auto self = shared_from_this();
  auto keep = explorer;
  std::erase(explorers_->list_, keep);
  if (activeExplorer_.lock() == keep)
    activeExplorer_ = explorers_->list_.empty() ? std::weak_ptr<Explorer>() : explorers_->list_.back();
  keep->Close.Raise();
  keep->closed_ = true;
  keep->bars_->CloseWindow();
  AfterWindowClosed();
}

std::shared_ptr<Inspector> Application::OpenInspector(const std::shared_ptr<Item>& itemRef,
                                                      const InspectorOptions& options) {
  if (ended_) RaiseDeleted();
  const auto item = itemRef;  // the caller's reference may go in a handler
  if (!item) runtime::Raise(runtime::err::kObjectVariableNotSet);
  if (auto open = item->GetInspector()) {
    ActivateInspector(open);
    return open;
  }
  auto self = shared_from_this();
  auto inspector = std::make_shared<Inspector>(context_, weak_from_this(), item);
  inspector->editorType_ = options.editorType;
  inspector->state_ = options.windowState;
  // Send sends; File > Close closes the window, as its close button does.
  OnBuiltIn(*inspector->bars_, kIdSend, inspector, [](Application& a, Inspector& i) { a.Send(i.shared_from_this()); });
  OnBuiltIn(*inspector->bars_, kIdCloseItem, inspector,
            [](Application& a, Inspector& i) { a.CloseInspector(i.shared_from_this()); });
  item->SetInspector(inspector);
  inspectors_->list_.push_back(inspector);
  inspectors_->NewInspector.Raise(inspector);
  if (inspector->closed_) return nullptr;
  bool cancel = false;
  item->Open.Raise(cancel);
  if (inspector->closed_) return nullptr;
  if (cancel) {
    // The window never opens: it goes without Close events.
    std::erase(inspectors_->list_, inspector);
    inspector->closed_ = true;
    inspector->bars_->CloseWindow();
    return nullptr;
  }
  inspector->shown_ = true;
  inspector->opened_ = true;
  ActivateInspector(inspector);
  return inspector;
}

std::shared_ptr<Inspector> Application::Compose(ItemData data, std::shared_ptr<Folder> folder,
                                                const InspectorOptions& options) {
  if (ended_) RaiseDeleted();
  auto item = store_->NewItem(std::move(data), std::move(folder));
  return OpenInspector(item, options);
}

void Application::ActivateInspector(const std::shared_ptr<Inspector>& inspector) {
  if (ended_ || !inspector || inspector->closed_) RaiseDeleted();
  activeInspector_ = inspector;
  auto keep = inspector;
  keep->Activate.Raise();
}

bool Application::CloseInspector(const std::shared_ptr<Inspector>& inspector) {
  if (!inspector || inspector->closed_) return true;
  auto self = shared_from_this();
  auto keep = inspector;
  bool cancel = false;
  if (keep->item_) keep->item_->Close.Raise(cancel);
  if (keep->closed_) return true;
  if (cancel) return false;
  keep->Close.Raise();
  if (keep->closed_) return true;
  std::erase(inspectors_->list_, keep);
  if (activeInspector_.lock() == keep) activeInspector_.reset();
  keep->closed_ = true;
  keep->bars_->CloseWindow();
  AfterWindowClosed();
  return true;
}

void Application::Send(const std::shared_ptr<Inspector>& inspector) {
  auto keep = inspector;
  auto item = keep->item_;
  if (!item) return;
  for (auto& data : item->TakeOnSend()) item->AddAttachment(std::move(data));
  item->Sent(true);
  try {
    item->Save();
  } catch (...) {
    item->Sent(false);  // the send failed: the window stays and nothing is lost
    throw;
  }
  context_->Record("Send", item->SubjectText());
  CloseInspector(keep);
}

void Application::AfterWindowClosed() {
  if (!explorers_->list_.empty() || !inspectors_->list_.empty() || !lastWindowClosed_) return;
  auto handler = lastWindowClosed_;
  handler();
}

void Application::Quit() {
  if (ended_) return;
  ended_ = true;
  for (auto& e : std::exchange(explorers_->list_, {})) {
    e->closed_ = true;
    e->bars_->CloseWindow();
  }
  for (auto& i : std::exchange(inspectors_->list_, {})) {
    i->closed_ = true;
    i->bars_->CloseWindow();
  }
}

}  // namespace host
