#pragma once
// The mail client's object model: Application, the Explorers and
// Inspectors collections with their events, Explorer and Inspector windows,
// the selection and the MAPI name space. Host-side members (marked) let a
// test or the program drive the client as a person would: open, activate and
// close windows, change the selection, switch views.
//
// Event orders:
//   new Explorer      NewExplorer -> (the window becomes active) -> ViewSwitch
//                     when asked -> SelectionChange
//   close Explorer    Explorer.Close, with Explorers.Count already excluding it
//   activate Explorer Explorer.Activate (ActivateExplorer: a person brings the
//                     window to the front)
//   open an item      NewInspector (CurrentItem readable, window not shown yet)
//                     -> item Open -> Activate
//   close Inspector   item Close -> Inspector.Close (Inspectors.Count still
//                     including it) -> the window goes
// Objects raising events are kept alive until their handlers return, so a
// handler may close windows or drop every reference it holds.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "host/common.h"
#include "host/office.h"
#include "host/store.h"

namespace host {

// Host windows count 0 maximised, 1 minimised, 2 normal (forms count the
// other way round: keep the two types apart).
enum class OlWindowState : long { olMaximized = 0, olMinimized = 1, olNormalWindow = 2 };

enum OlEditorType : long { olEditorText = 1, olEditorHTML = 2, olEditorRTF = 3, olEditorWord = 4 };

class Application;
class Store;

// The opaque handle of the MAPI session (NameSpace.MAPIOBJECT); the outside
// session object attaches to the store through it.
class MAPIObject {
 public:
  explicit MAPIObject(std::weak_ptr<host::Store> store) : store_(std::move(store)) {}
  std::shared_ptr<host::Store> Store() const { return store_.lock(); }

 private:
  std::weak_ptr<host::Store> store_;
};

class NameSpace {
 public:
  explicit NameSpace(std::shared_ptr<MAPIObject> handle) : handle_(std::move(handle)) {}
  std::string Type() { return "MAPI"; }
  std::shared_ptr<MAPIObject> MAPIOBJECT();

  host::Faults& Faults() { return faults_; }

 private:
  std::shared_ptr<MAPIObject> handle_;
  host::Faults faults_;
};

// The items selected in an Explorer when Selection was read, counted from 1.
using Selection = ItemSnapshot;

class Explorer : public std::enable_shared_from_this<Explorer> {
 public:
  Explorer(std::shared_ptr<Context> context, std::weak_ptr<host::Application> app, std::shared_ptr<Folder> folder);

  std::shared_ptr<Folder> CurrentFolder();
  std::shared_ptr<host::Selection> Selection();  // may raise: a folder that refuses a selection
  std::shared_ptr<host::CommandBars> CommandBars();
  std::shared_ptr<host::Application> Application();

  HostEvent<> Activate;
  HostEvent<> SelectionChange;
  HostEvent<> ViewSwitch;
  HostEvent<> Close;

  // Host side.
  host::Faults& Faults() { return faults_; }
  void CurrentFolder(std::shared_ptr<Folder> folder);
  // The person selects these items: SelectionChange follows.
  void Select(std::vector<std::shared_ptr<Item>> items);
  // The person switches the view: ViewSwitch.
  void SwitchView();
  bool Closed() const { return closed_; }
  const std::shared_ptr<host::CommandBars>& Bars() const { return bars_; }
  const std::vector<std::shared_ptr<Item>>& SelectedItems() const { return selection_; }

 private:
  friend class Application;
  void CheckAlive(std::string_view member);

  std::shared_ptr<host::Context> context_;
  std::weak_ptr<host::Application> app_;
  std::shared_ptr<Folder> folder_;
  std::vector<std::shared_ptr<Item>> selection_;
  std::shared_ptr<host::CommandBars> bars_;
  bool closed_ = false;
  host::Faults faults_;
};

class Inspector : public std::enable_shared_from_this<Inspector> {
 public:
  Inspector(std::shared_ptr<Context> context, std::weak_ptr<host::Application> app, std::shared_ptr<Item> item);

  std::shared_ptr<Item> CurrentItem();
  std::shared_ptr<host::CommandBars> CommandBars();
  long EditorType();
  OlWindowState WindowState();
  void WindowState(OlWindowState state);
  long Left();
  void Left(long left);
  long Top();
  void Top(long top);
  long Width();
  void Width(long width);
  long Height();
  void Height(long height);
  // Shows the window; nothing when it is shown already.
  void Display();

  HostEvent<> Activate;
  HostEvent<> Close;

  // Host side.
  host::Faults& Faults() { return faults_; }
  void EditorType(long editorType) { editorType_ = editorType; }
  // Raised whenever the add-in sets the window's state, place or size, so a
  // window already on screen follows; a person's move, resize, maximise or
  // minimise comes back through Place, which raises nothing.
  HostEvent<> PlacementChanged;
  struct Placement {
    OlWindowState state;
    long left, top, width, height;  // screen pixels, the frame included
  };
  Placement Placed() const { return {state_, left_, top_, width_, height_}; }
  void Place(const Placement& placement);
  bool Closed() const { return closed_; }
  bool Shown() const { return shown_; }
  const std::shared_ptr<host::CommandBars>& Bars() const { return bars_; }

 private:
  friend class Application;
  void CheckAlive(std::string_view member);

  std::shared_ptr<host::Context> context_;
  std::weak_ptr<host::Application> app_;
  std::shared_ptr<Item> item_;
  std::shared_ptr<host::CommandBars> bars_;
  long editorType_ = olEditorHTML;
  OlWindowState state_ = OlWindowState::olNormalWindow;
  long left_ = 120;
  long top_ = 80;
  long width_ = 800;
  long height_ = 600;
  bool shown_ = false;
  bool opened_ = false;  // the opening sequence has finished
  bool closed_ = false;
  host::Faults faults_;
};

class Explorers {
 public:
  explicit Explorers(const std::shared_ptr<Context>& context) : NewExplorer("Explorers.NewExplorer", context) {}
  long Count();
  std::shared_ptr<Explorer> Item(long index);
  std::vector<std::shared_ptr<Explorer>>::const_iterator begin() const { return list_.begin(); }
  std::vector<std::shared_ptr<Explorer>>::const_iterator end() const { return list_.end(); }

  HostEvent<std::shared_ptr<Explorer>> NewExplorer;

  host::Faults& Faults() { return faults_; }

 private:
  friend class Application;
  std::vector<std::shared_ptr<Explorer>> list_;
  host::Faults faults_;
};

class Inspectors {
 public:
  explicit Inspectors(const std::shared_ptr<Context>& context) : NewInspector("Inspectors.NewInspector", context) {}
  long Count();
  std::shared_ptr<Inspector> Item(long index);
  std::vector<std::shared_ptr<Inspector>>::const_iterator begin() const { return list_.begin(); }
  std::vector<std::shared_ptr<Inspector>>::const_iterator end() const { return list_.end(); }

  HostEvent<std::shared_ptr<Inspector>> NewInspector;

  host::Faults& Faults() { return faults_; }

 private:
  friend class Application;
  std::vector<std::shared_ptr<Inspector>> list_;
  host::Faults faults_;
};

// How the host opens an Explorer.
struct ExplorerOptions {
  std::shared_ptr<Folder> folder = nullptr;           // default: the store's first folder
  std::vector<std::shared_ptr<Item>> selection = {};  // selected when the window opens
  bool viewSwitch = false;                            // a ViewSwitch before the first SelectionChange
};

// How the host opens an Inspector.
struct InspectorOptions {
  long editorType = olEditorHTML;
  OlWindowState windowState = OlWindowState::olNormalWindow;
};

class Application : public std::enable_shared_from_this<Application> {
 public:
  Application(std::shared_ptr<host::Context> context, std::shared_ptr<host::Store> store);

  std::string Version();
  std::shared_ptr<host::Explorers> Explorers();
  std::shared_ptr<host::Inspectors> Inspectors();
  std::shared_ptr<Explorer> ActiveExplorer();  // Nothing when no Explorer is open
  std::shared_ptr<NameSpace> Session();
  std::shared_ptr<NameSpace> GetNamespace(std::string_view type);  // "MAPI" only

  // Host side.
  host::Faults& Faults() { return faults_; }
  void Version(std::string version);
  const std::shared_ptr<host::Store>& Store() const { return store_; }
  const std::shared_ptr<host::Context>& Context() const { return context_; }

  std::shared_ptr<Explorer> OpenExplorer(const ExplorerOptions& options = {});
  void ActivateExplorer(const std::shared_ptr<Explorer>& explorer);
  void CloseExplorer(const std::shared_ptr<Explorer>& explorer);

  // Opens the item's window (or activates the one it has). Nothing when a
  // handler of Open cancelled it.
  std::shared_ptr<Inspector> OpenInspector(const std::shared_ptr<Item>& item, const InspectorOptions& options = {});
  // A new item being composed, in its window; its first Save puts it into
  // `folder`.
  std::shared_ptr<Inspector> Compose(ItemData data, std::shared_ptr<Folder> folder = nullptr,
                                     const InspectorOptions& options = {});
  // Raises Activate (also when the window is active already).
  void ActivateInspector(const std::shared_ptr<Inspector>& inspector);
  // False when a handler of the item's Close cancelled it.
  bool CloseInspector(const std::shared_ptr<Inspector>& inspector);
  std::shared_ptr<Inspector> ActiveInspector() const { return activeInspector_.lock(); }
  std::vector<std::shared_ptr<Explorer>> OpenExplorers() const { return explorers_->list_; }
  std::vector<std::shared_ptr<Inspector>> OpenInspectors() const { return inspectors_->list_; }

  // The host ends: every member raises from now on.
  void Quit();
  bool Ended() const { return ended_; }
  // Called after a window closed when none is left (the host then exits).
  void OnLastWindowClosed(std::function<void()> handler) { lastWindowClosed_ = std::move(handler); }

 private:
  void CheckAlive(std::string_view member);
  void Send(const std::shared_ptr<Inspector>& inspector);
  // The host's own action for a built-in control of a window's bars.
  template <class Window>
  void OnBuiltIn(CommandBars& bars, long id, const std::shared_ptr<Window>& window,
                 std::type_identity_t<void (*)(Application&, Window&)> action);
  void AfterWindowClosed();

  std::shared_ptr<host::Context> context_;
  std::shared_ptr<host::Store> store_;
  std::shared_ptr<host::Explorers> explorers_;
  std::shared_ptr<host::Inspectors> inspectors_;
  std::shared_ptr<NameSpace> session_;
  std::weak_ptr<Explorer> activeExplorer_;
  std::weak_ptr<Inspector> activeInspector_;
  std::function<void()> lastWindowClosed_;
  bool ended_ = false;
  host::Faults faults_;
};

}  // namespace host
