#pragma once
// The add-in's connection object, created by the host by its ProgID
// "Lumivane.Connect". It owns the one add-in object, starts it when the host
// connects the add-in and shuts it down when the host disconnects it.

#include <memory>
#include <string_view>

#include "host/addin.h"

namespace lumivane {

class OutAddIn;

inline constexpr std::string_view kProgID = "Lumivane.Connect";
inline constexpr std::string_view kFriendlyName = "Lumivane";
// The library's file description, which is also its registration's description.
inline constexpr std::string_view kDescription =
    "A Microsoft Outlook utility to view thumbnails and slideshows of image attachments, as well as powerful "
    "general attachment handling features.";

class Connect : public host::AddinInstance {
 public:
  void OnAddInsUpdate(host::Custom& custom) override;
  void OnBeginShutdown(host::Custom& custom) override;
  void OnConnection(std::shared_ptr<host::Application> Application, long ConnectMode,
                    std::shared_ptr<host::COMAddIn> AddInInst, host::Custom& custom) override;
  void OnDisconnection(long RemoveMode, host::Custom& custom) override;
  void OnStartupComplete(host::Custom& custom) override;

 private:
  // The first statement that reads the add-in object creates it.
  const std::shared_ptr<OutAddIn>& AddIn();

  std::shared_ptr<OutAddIn> m_objOutAddIn;
};

// Self-registration: the class factory under kProgID in the current class
// registry, and the add-in key under HKEY_LOCAL_MACHINE with the friendly
// name, the description and load behaviour 3 (loaded at start-up). Returns
// the registry's result code, 0 on success.
long DllRegisterServer();

}  // namespace lumivane
