// One run of the program, its `show` output: the add-in's controls in the
// active window, the open windows and forms, registry keys, the temporary
// picture folder and the message boxes so far.

#include <functional>

#include "app/session.h"
#include "app/session_parts.h"
#include "platform/fso/resolve.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "runtime/text.h"

namespace app {

namespace fs = std::filesystem;
namespace forms = platform::forms;
namespace reg = platform::registry;

namespace {

constexpr std::string_view kTempFolder = "Quenstor/Lumivane/Temporary Picture Files";

std::string RegistryData(const reg::ValueEntry& v) {
  if (v.type == reg::REG_SZ || v.type == reg::REG_EXPAND_SZ) {
    std::string s(v.data.begin(), v.data.end());
    return "\"" + OneLine(s.substr(0, s.find('\0'))) + "\"";
  }
  if (v.type == reg::REG_DWORD && v.data.size() == 4) {
    const std::uint32_t d =
        v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (static_cast<std::uint32_t>(v.data[3]) << 24);
    // Hex takes a signed 32-bit value: a check box's True (ffffffff) is -1 there.
    return "dword:" + runtime::Hex(static_cast<std::int32_t>(d), 8) + " (" + std::to_string(d) + ")";
  }
  std::string out = "hex(" + std::to_string(v.type) + "):";
  for (std::size_t i = 0; i < v.data.size(); ++i) out += (i ? "," : "") + runtime::Hex(v.data[i], 2);
  return out;
}

}  // namespace

void Session::Show(const Args& a) {
  if (a.size() != 1) Fail("show toolbar|windows|settings|registry|temp|boxes");
  const std::string what = runtime::LCase(a[0]);
  if (what == "toolbar") {
    ShowToolbar();
  } else if (what == "windows") {
    ShowWindows();
  } else if (what == "settings") {
    ShowRegistryKey(reg::HKEY_CURRENT_USER, "HKEY_CURRENT_USER", std::string(kSettingsKey), 0);
  } else if (what == "registry") {
    ShowRegistryKey(reg::HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "", 0);
    ShowRegistryKey(reg::HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "", 0);
    ShowRegistryKey(reg::HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "", 0);
  } else if (what == "temp") {
    const std::string temp = TempFolder();
    std::error_code ec;
    if (temp.empty() || !fs::is_directory(temp, ec)) {
      state_.transcript.Line("temporary picture folder: not made yet");
      return;
    }
    const auto names = platform::fso::ListFolder(temp, platform::fso::EntryKind::Files);
    state_.transcript.Line("temporary picture folder " + temp + ": " + std::to_string(names.size()) + " files");
    for (const auto& name : names)
      state_.transcript.Line("  " + name + " (" + std::to_string(fs::file_size(fs::path(temp) / name, ec)) + " bytes)");
  } else if (what == "boxes") {
    state_.transcript.Line(std::to_string(boxes_->Log().size()) + " message boxes so far");
    for (const auto& box : boxes_->Log())
      state_.transcript.Line("  " + DescribeBox(box) + " -> " + std::string(forms::ResultName(box.answer)));
  } else {
    Fail("show toolbar|windows|settings|registry|temp|boxes");
  }
}

void Session::ShowToolbar() {
  auto bars = ActiveBars();
  bool any = false;
  // The add-in's own bars in full; of the host's bars and menus only what
  // the add-in put there, with the way to it ("Menu Bar > &Tools > ...").
  std::function<void(const std::shared_ptr<host::CommandBar>&, const std::string&, const std::string&, bool)> walk =
      [&](const std::shared_ptr<host::CommandBar>& bar, const std::string& indent, const std::string& way, bool ours) {
        for (const auto& c : bar->ControlList()) {
          if (c->Deleted()) continue;
          auto popup = std::dynamic_pointer_cast<host::CommandBarPopup>(c);
          const bool mine = ours || !c->BuiltIn();
          if (mine) {
            std::string line = indent + way + (popup ? "popup" : "button") + " \"" + c->Caption() + "\"";
            if (!c->Shown()) line += " (not shown)";
            state_.transcript.Line(line);
            any = true;
          }
          if (popup)
            walk(popup->CommandBar(), mine ? indent + "  " : indent, mine ? "" : way + c->Caption() + " > ", mine);
        }
      };
  for (const auto& bar : bars->Bars()) {
    if (bar->Deleted()) continue;
    if (bar->BuiltIn()) {
      walk(bar, "", bar->Name() + " > ", false);
      continue;
    }
    state_.transcript.Line("toolbar \"" + bar->Name() + "\"" + (bar->Shown() ? "" : " (hidden)") + ", position " +
                           std::to_string(bar->Position()) + ", row " + std::to_string(bar->RowIndex()));
    any = true;
    walk(bar, "  ", "", true);
  }
  if (!any) state_.transcript.Line("the active window holds nothing of the add-in");
}

void Session::ShowWindows() {
  auto app = RunningApp();
  const auto explorers = app->OpenExplorers();
  auto active = app->ActiveExplorer();
  for (std::size_t i = 0; i < explorers.size(); ++i) {
    const auto& e = explorers[i];
    state_.transcript.Line("Explorer " + std::to_string(i + 1) + (e == active && !inspectorOnTop_ ? " (active)" : "") +
                           ": " + FolderName(e->CurrentFolder()) + ", " + std::to_string(e->SelectedItems().size()) +
                           " selected");
  }
  auto activeInspector = app->ActiveInspector();
  for (const auto& i : app->OpenInspectors()) {
    auto item = i->CurrentItem();
    state_.transcript.Line(
        std::string("message window") + (i == activeInspector && inspectorOnTop_ ? " (active)" : "") + ": \"" +
        (item ? item->SubjectText() : std::string()) + "\"" + (item ? ReadProblems(*link_, *item) : std::string()));
  }
  for (const auto& f : forms::Forms()) {
    if (!forms::FormAccess::IsVisible(*f)) continue;
    state_.transcript.Line("form:");
    state_.transcript.Block(forms::DescribeForm(*f));
  }
}

void Session::ShowRegistryKey(long root, const std::string& rootName, const std::string& path, int depth) {
  auto r = reg::Current();
  if (!r->HasKey(root, path) && !path.empty()) {
    state_.transcript.Line("[" + rootName + "\\" + path + "] does not exist");
    return;
  }
  const auto values = r->ValueNames(root, path);
  const auto subkeys = r->SubkeyNames(root, path);
  if (!values.empty() || subkeys.empty())
    state_.transcript.Line("[" + rootName + (path.empty() ? "" : "\\" + path) + "]");
  for (const auto& name : values) {
    auto v = r->Peek(root, path, name);
    if (v)
      state_.transcript.Line("  " + (name.empty() ? std::string("@") : "\"" + name + "\"") + " = " + RegistryData(*v));
  }
  if (depth > 16) return;
  for (const auto& sub : subkeys) ShowRegistryKey(root, rootName, path.empty() ? sub : path + "\\" + sub, depth + 1);
}

std::string Session::TempFolder() const {
  std::string local;
  if (platform::shell::Current().folders.KindOf(platform::shell::CSIDL_LOCAL_APPDATA) ==
      platform::shell::SpecialFolders::Kind::Path) {
    long pidl = 0;
    if (platform::shell::SHGetSpecialFolderLocation(0, platform::shell::CSIDL_LOCAL_APPDATA, pidl) ==
        platform::shell::S_OK) {
      std::string buffer(platform::shell::kMaxPath, '\0');
      if (platform::shell::SHGetPathFromIDList(pidl, buffer)) local = buffer.substr(0, buffer.find('\0'));
      platform::shell::CoTaskMemFree(pidl);
    }
  }
  return local.empty() ? std::string() : (fs::path(local) / kTempFolder).string();
}

}  // namespace app
