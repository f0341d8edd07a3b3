#include "pictures/viewer_discovery.h"

#include "pictures/image_viewers.h"
#include "platform/forms/msgbox.h"
#include "platform/path.h"
#include "platform/registry/registry.h"
#include "runtime/convert.h"
#include "runtime/error.h"
#include "runtime/handlers.h"
#include "runtime/text.h"
#include "settings/helpers.h"
#include "settings/reg_routines.h"
#include "settings/reg_settings.h"

namespace lumivane::modPictureAttachments {

namespace {

namespace reg = platform::registry;
namespace forms = platform::forms;

constexpr const char* kApplications = "Applications";
constexpr const char* kStartMenuInternet = "SOFTWARE\\Clients\\StartMenuInternet";

RegRoutines& Shared() {
  if (!g_objRegRoutines) runtime::Raise(runtime::err::kObjectVariableNotSet);
  return *g_objRegRoutines;
}

ImageViewers& Viewers() {
  if (!g_objImageViewers) runtime::Raise(runtime::err::kObjectVariableNotSet);
  return *g_objImageViewers;
}

RegistryValues Values(long root, const std::string& path) { return Shared().EnumRegistryValues(root, path); }

// The data of a listing's first value, as text.
std::string FirstData(const RegistryValues& values) { return runtime::CStr(values.Item(1).at(1)); }

std::string NetscapeMessage() {
  return "Lumivane found a problem with your version of Netscape. Please e-mail the version number of your "
         "Netscape browser to " +
         std::string(kSupportAddress) + ".";
}

// A registered program listed under `name` with its command; nullptr when it
// has no registered command, as nothing could start it.
std::shared_ptr<ImageViewer> AddStartable(const std::string& name, const std::string& exe, runtime::ResumeNext& rn) {
  std::shared_ptr<RegistryValues> commands;
  rn([&] { commands = GetImageViewerExecutableKeys(exe); });
  if (!commands) return nullptr;
  std::shared_ptr<ImageViewer> viewer;
  rn([&] { viewer = Viewers().Add(name); });
  if (!viewer) return nullptr;
  rn([&] { viewer->EXEName(exe); });
  rn([&] {
    std::string command = FirstData(*commands);
    viewer->BuildEXEPath(command);
  });
  return viewer;
}

// Viewers known by name, with the formats each opens. One with a command key
// is listed when that key holds its command; the last, the system's own
// viewer, is always there and is started through a library entry point, so
// its EXEPath is a command and not a file path.
struct KnownViewer {
  const char* name;
  const char* commandKey;  // nullptr: always listed
  bool allFormats, bmp, gif, jpeg, png, tiff, emf, wmf;
};

constexpr KnownViewer kKnownViewers[] = {
    {"Nero PhotoSnap", "Applications\\PhotoSnapViewer.exe\\shell\\open\\command", false, true, true, true, true, false,
     true, true},
    {"IrfanView", "Applications\\i_view32.exe\\shell\\open\\command", true, true, true, true, true, true, true, true},
    {"Windows Picture and Fax Viewer", nullptr, false, true, true, true, false, false, true, true},
};

void AddKnownViewer(const KnownViewer& known, runtime::ResumeNext& rn) {
  RegistryValues command;
  if (known.commandKey) {
    rn([&] { command = Values(reg::HKEY_CLASSES_ROOT, known.commandKey); });
    if (command.Count() == 0) return;
  }
  std::shared_ptr<ImageViewer> viewer;
  rn([&] { viewer = Viewers().Add(known.name); });
  if (!viewer) return;
  if (known.commandKey) {
    rn([&] {
      std::string line = FirstData(command);
      viewer->BuildEXEPath(line);
    });
  }
  viewer->AllFormats(known.allFormats);
  viewer->BMP(known.bmp);
  viewer->GIF(known.gif);
  viewer->JPEG(known.jpeg);
  viewer->PNG(known.png);
  viewer->TIFF(known.tiff);
  viewer->EMF(known.emf);
  viewer->WMF(known.wmf);
  rn([&] { viewer->IsBrowser(false); });
  if (!known.commandKey) {
    viewer->EXEName("rundll32.exe");
    rn([&] {
      viewer->EXEPath("rundll32.exe " + platform::JoinPath(GetSystemFolder(), "shimgvw.dll,ImageView_Fullscreen"));
    });
  }
}

}  // namespace

std::shared_ptr<RegistryValues> GetImageViewerExecutableKeys(const std::string& executable) {
  const std::string base = std::string(kApplications) + "\\" + executable + "\\shell\\";
  auto values = std::make_shared<RegistryValues>(Values(reg::HKEY_CLASSES_ROOT, base + "open\\command"));
  if (values->Count() == 0) *values = Values(reg::HKEY_CLASSES_ROOT, base + "edit\\command");
  if (values->Count() == 0) return nullptr;
  return values;
}

bool HasPictureExtension(const RegistryValues& values) {
  for (const runtime::VariantArray& value : values) {
    if (IsPictureExtension(runtime::CStr(value.at(0)), false)) return true;
  }
  return false;
}

void LoadInstalledImageViewers() {
  runtime::ResumeNext rn;
  runtime::Collection<std::string> executables;
  rn([&] { executables = Shared().EnumRegistryKeys(reg::HKEY_CLASSES_ROOT, kApplications); });

  for (const std::string& exe : executables) {
    const std::string key = std::string(kApplications) + "\\" + exe;
    RegistryValues types;
    rn([&] { types = Values(reg::HKEY_CLASSES_ROOT, key + "\\SupportedTypes"); });

    if (types.Count() == 0) {
      // The document imaging program registers no types but opens TIFF.
      if (exe != "MSPVIEW.EXE") continue;
      if (auto viewer = AddStartable("Microsoft Office Document Imaging", exe, rn)) rn([&] { viewer->TIFF(true); });
      continue;
    }

    bool pictures = false;
    rn([&] { pictures = HasPictureExtension(types); });
    if (!pictures) continue;

    // The display name: the friendly name when the program gives one, else the file name.
    std::string name = exe;
    RegistryValues own;
    rn([&] { own = Values(reg::HKEY_CLASSES_ROOT, key); });
    if (own.Count() > 0) {
      rn([&] {
        if (runtime::CStr(own.Item(1).at(0)) == "FriendlyAppName") {
          name = runtime::CStr(own.Item(1).at(1));
        } else if (own.Contains("FriendlyAppName")) {
          name = runtime::CStr(own.Item("FriendlyAppName").at(1));
        }
      });
    }

    if (auto viewer = AddStartable(name, exe, rn)) rn([&] { viewer->SetRegisteredExtensions(types); });
  }

  for (const KnownViewer& known : kKnownViewers) AddKnownViewer(known, rn);
}

void LoadInstalledWebBrowsers() {
  runtime::ResumeNext rn;
  runtime::Collection<std::string> keys;
  rn([&] { keys = Shared().EnumRegistryKeys(reg::HKEY_LOCAL_MACHINE, kStartMenuInternet); });

  for (const std::string& k : keys) {
    if (k == "avant.exe" || k == "MSN Explorer" || k == "Netscp.exe") continue;
    const std::string key = std::string(kStartMenuInternet) + "\\" + k;

    // A key named after its program file carries the display name as its
    // first value; one that has none (or an empty one) is named by its key.
    std::string name = k;
    if (runtime::InStr(k, ".exe") > 0 || runtime::InStr(k, ".EXE") > 0) {
      rn([&] {
        std::string given = FirstData(Values(reg::HKEY_LOCAL_MACHINE, key));
        std::erase(given, '\0');
        if (!given.empty()) name = std::move(given);
      });
    }
    if (name == "MSN Explorer") continue;

    std::shared_ptr<ImageViewer> viewer;
    rn([&] { viewer = Viewers().Add(name); });
    if (!viewer) continue;
    rn([&] { viewer->IsBrowser(true); });

    RegistryValues commands;
    rn([&] { commands = Values(reg::HKEY_LOCAL_MACHINE, key + "\\shell\\open\\command"); });
    if (commands.Count() == 0) continue;
    viewer->EXEName(k);
    std::string line;
    rn([&] { line = FirstData(commands); });
    if (!line.empty()) {
      rn([&] { viewer->BuildEXEPath(line); });
    } else if (name == "Internet Explorer") {
      rn([&] {
        std::string standard =
            "\"" + platform::JoinPath(platform::JoinPath("%programfiles%", "Internet Explorer"), "iexplore.exe") + "\"";
        viewer->BuildEXEPath(standard);
      });
    } else if (name == "Netscape Browser") {
      RegistryValues install;
      rn([&] { install = Values(reg::HKEY_LOCAL_MACHINE, key + "\\InstallInfo"); });
      if (install.Count() == 0) {
        rn([&] { forms::MsgBox(NetscapeMessage(), forms::vbExclamation, "Unsupported Netscape Version"); });
        continue;
      }
      for (const runtime::VariantArray& value : install) {
        bool reinstall = false;
        rn([&] { reinstall = runtime::CStr(value.at(0)) == "ReinstallCommand"; });
        if (!reinstall) continue;
        rn([&] {
          std::string command = runtime::CStr(value.at(1));
          command = runtime::Replace(command, "NSSET", "netscape", 1, -1, runtime::Compare::Text);
          command = runtime::Replace(command, " REGISTER", "", 1, -1, runtime::Compare::Text);
          viewer->BuildEXEPath(command);
        });
        break;
      }
    }
  }
}

}  // namespace lumivane::modPictureAttachments
