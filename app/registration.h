#pragma once
// Installing the add-in: its self-registration writes its key under the
// host's add-ins key (all users) and registers its class by ProgID, so the
// host finds and creates it at start-up as the mail client does.

#include <string>

namespace app {

// The add-in's ProgID.
inline constexpr const char* kAddInProgId = "Lumivane.Connect";

// Runs the add-in's self-registration; false (with the reason) when the
// registration failed or this build holds no add-in.
bool RegisterAddIn(std::string& why);

}  // namespace app
