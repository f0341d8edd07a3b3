#pragma once
// The add-in connection interface and the host that loads add-ins: at
// start-up it connects every add-in registered for all users under
// HKEY_LOCAL_MACHINE "Software\Microsoft\Office\Outlook\Addins\<ProgID>"
// with LoadBehavior 3 (OnConnection, then OnStartupComplete); on exit it
// closes its windows, then OnBeginShutdown and OnDisconnection(0); when the
// user removes an add-in it gets OnDisconnection(1) and the windows stay.
// A failure leaving any of these handlers comes back to the host, which
// records it and goes on.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/outlook.h"
#include "platform/com/com.h"
#include "runtime/variant.h"

namespace host {

enum ext_ConnectMode : long {
  ext_cm_AfterStartup = 0,
  ext_cm_Startup = 1,
  ext_cm_External = 2,
  ext_cm_CommandLine = 3,
};
enum ext_DisconnectMode : long { ext_dm_HostShutdown = 0, ext_dm_UserClosed = 1 };

// The host's record of one loaded add-in (the `AddInInst` argument).
class COMAddIn {
 public:
  COMAddIn(std::string progId, std::string description)
      : progId_(std::move(progId)), description_(std::move(description)) {}
  std::string ProgId() const { return progId_; }
  std::string Description() const { return description_; }
  bool Connect() const { return connected_; }

 private:
  friend class Host;
  std::string progId_;
  std::string description_;
  bool connected_ = false;
};

using Custom = runtime::VariantArray;

// What an add-in implements; its object is created by ProgID.
class AddinInstance : public platform::com::Object {
 public:
  virtual void OnConnection(std::shared_ptr<Application> application, long connectMode,
                            std::shared_ptr<COMAddIn> addInInst, Custom& custom) = 0;
  virtual void OnDisconnection(long removeMode, Custom& custom) = 0;
  virtual void OnAddInsUpdate(Custom& custom) = 0;
  virtual void OnStartupComplete(Custom& custom) = 0;
  virtual void OnBeginShutdown(Custom& custom) = 0;
};

inline constexpr std::string_view kAddInsKey = "Software\\Microsoft\\Office\\Outlook\\Addins";
inline constexpr long kLoadAtStartup = 3;

// One add-in registration (a subkey of kAddInsKey).
struct AddInRegistration {
  std::string progId;
  std::string friendlyName;
  std::string description;
  long loadBehavior = 0;
};

// The add-ins registered for all users, in the order of their keys.
std::vector<AddInRegistration> ReadAddInRegistrations();
// Self-registration of an add-in: writes its key with FriendlyName,
// Description (texts) and LoadBehavior (a number). Returns the registry's
// result code (0 on success).
long WriteAddInRegistration(const AddInRegistration& registration);

struct StartOptions {
  bool explorer = true;  // false: started by another program, without a window
  ExplorerOptions explorerOptions = {};
};

// An add-in that could not be loaded, and why.
struct LoadFailure {
  std::string progId;
  long number = 0;
  std::string description;
};

class Host {
 public:
  explicit Host(std::string version = "11.0.0.8217");
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  const std::shared_ptr<Application>& App() const { return app_; }
  const std::shared_ptr<host::Store>& Store() const { return store_; }
  const std::shared_ptr<host::Context>& Context() const { return context_; }

  // Opens the first Explorer (unless started windowless), then connects the
  // registered add-ins and tells them that start-up is complete.
  void Start(const StartOptions& options = {});
  // Closes every window (Inspectors, then Explorers), then OnBeginShutdown
  // and OnDisconnection(ext_dm_HostShutdown) for each connected add-in. It
  // runs by itself when the last window closes after start-up.
  void Exit();
  bool Running() const { return running_; }
  // The user removes the add-in in the host's add-in list.
  void RemoveAddIn(std::string_view progId);

  struct Connected {
    std::shared_ptr<COMAddIn> addIn;
    std::shared_ptr<AddinInstance> instance;
  };
  const std::vector<Connected>& AddIns() const { return addIns_; }
  const std::vector<LoadFailure>& LoadFailures() const { return failures_; }
  // Failures that left add-in handlers (connection events and object events).
  const std::vector<EscapedError>& EscapedErrors() const { return context_->Escaped(); }

  // Seams: where registrations are read from (the registry by default); the
  // host hands OnConnection an empty Application when told to.
  void AddInSource(std::function<std::vector<AddInRegistration>()> source) { source_ = std::move(source); }
  void PassNoApplication(bool none) { passNoApplication_ = none; }

 private:
  void Guard(std::string event, const std::function<void()>& call);

  std::shared_ptr<host::Context> context_;
  std::shared_ptr<host::Store> store_;
  std::shared_ptr<Application> app_;
  std::function<std::vector<AddInRegistration>()> source_;
  std::vector<Connected> addIns_;
  std::vector<LoadFailure> failures_;
  bool running_ = false;
  bool exiting_ = false;
  bool passNoApplication_ = false;
};

}  // namespace host
