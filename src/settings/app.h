#pragma once
// The add-in's version information (App) and its common error box.

#include <string>
#include <string_view>

#include "runtime/error.h"
#include "runtime/handlers.h"

namespace lumivane {

namespace App {
inline constexpr std::string_view ProductName = "Lumivane 1.1";
// The library's application title (App.Title).
inline constexpr std::string_view Title = "Lumivane";
inline constexpr int Major = LUMIVANE_VERSION_MAJOR;
inline constexpr int Minor = LUMIVANE_VERSION_MINOR;
// Settable so that a test can play another build (the caption rule of revision 11).
int Revision();
void SetRevision(int revision);
// The installation folder (App.Path).
const std::string& Path();
void SetPath(std::string path);
}  // namespace App

// The common error box of the add-in, titled "Lumivane 1.1 Error".
void ShowErrorBox(const runtime::Error& e, const runtime::ErrorSite& site, std::string_view suffix = {});

// A handler that shows the common error box and resumes at the next statement:
//   auto eh = ErrorBox("Update", runtime::ModuleKind::ClassModule, "RegSettings");
//   eh([&] { ... });
runtime::OnError ErrorBox(std::string procedure, runtime::ModuleKind kind, std::string object);

}  // namespace lumivane
