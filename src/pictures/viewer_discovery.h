#pragma once
// Discovery of the installed picture viewers and web browsers: what the
// registry lists under HKEY_CLASSES_ROOT\Applications and
// HKEY_LOCAL_MACHINE\SOFTWARE\Clients\StartMenuInternet becomes entries of
// g_objImageViewers, in registry order. Reads through g_objRegRoutines, so
// the settings object must exist; shows nothing but the one message about a
// browser whose open command cannot be found.

#include <memory>
#include <string>
#include <string_view>

#include "runtime/collection.h"
#include "runtime/variant.h"

namespace lumivane::modPictureAttachments {

using RegistryValues = runtime::Collection<runtime::VariantArray>;

// Where the user is asked to report a browser whose command we cannot find.
inline constexpr std::string_view kSupportAddress = "support@lumivane.example";

// The registered picture viewers, then three well-known ones; the last,
// "Windows Picture and Fax Viewer", is always added.
void LoadInstalledImageViewers();
// The registered web browsers.
void LoadInstalledWebBrowsers();
// The values of Applications\<exe>\shell\open\command, else of
// ...\shell\edit\command; nullptr when neither key holds a value.
std::shared_ptr<RegistryValues> GetImageViewerExecutableKeys(const std::string& executable);
// True when one value name (element 0) is a picture extension, PNG included.
bool HasPictureExtension(const RegistryValues& values);

}  // namespace lumivane::modPictureAttachments
