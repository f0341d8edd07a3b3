#pragma once
// A fresh world for driving the add-in through the stand-in mail client: a
// temporary folder holding the registry files and the user's folders, a new
// class registry with the add-in and the outside session object registered,
// scripted message boxes and forms, a new host with an "Inbox", and the
// add-in's globals as a freshly loaded library has them.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "attachments/frm_save_attachments.h"
#include "host/addin.h"
#include "host/office.h"
#include "host/outlook.h"
#include "host/rdo.h"
#include "host/store.h"
#include "outlook/connect.h"
#include "outlook/expl_wrap.h"
#include "outlook/insp_wrap.h"
#include "outlook/mod_outl_expl.h"
#include "outlook/out_addin.h"
#include "pictures/image_viewers.h"
#include "platform/com/com.h"
#include "platform/forms/event_loop.h"
#include "platform/forms/form.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/ui.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "settings/reg_settings.h"
#include "support/temp_dir.h"

namespace outlook_test {

namespace forms = platform::forms;
namespace reg = platform::registry;

inline const std::string kSettingsKey = "Software\\Quenstor\\Lumivane\\Settings";

// A message box as a test expects it.
struct Box {
  std::string prompt;
  long style;
  std::string title;
  bool operator==(const Box&) const = default;
};

inline void PrintTo(const Box& b, std::ostream* os) {
  *os << "{\"" << b.prompt << "\", " << b.style << ", \"" << b.title << "\"}";
}

class AddInTest : public ::testing::Test {
 public:
  void SetUp() override {
    platform::shell::Reset();
    auto& folders = platform::shell::Current().folders;
    folders.Define(platform::shell::CSIDL_MYPICTURES, tmp.MakeDir("home/Pictures"));
    folders.Define(platform::shell::CSIDL_PERSONAL, tmp.MakeDir("home/Documents"));
    folders.Define(platform::shell::CSIDL_LOCAL_APPDATA, tmp.MakeDir("home/.local/share"));
    forms::DiscardAllForms();
    ui = std::make_shared<forms::ScriptedUserInterface>();
    forms::SetUserInterface(ui);
    loop = std::make_shared<forms::EventLoop>(std::make_shared<forms::VirtualClock>());
    forms::SetEventLoop(loop);
    forms::SetMessageBoxResponder(boxes);
    registry = reg::UseDirectory(tmp.MakeDir("registry"));
    lumivane::ResetOutlookGlobals();
    NewHost();
  }

  void TearDown() override {
    EndHost();
    lumivane::ResetOutlookGlobals();
    forms::DiscardAllForms();
    platform::com::SetClassRegistry(nullptr);
    reg::SetCurrent(nullptr);
    platform::shell::Reset();
    // A probe holds the finished test's locals.
    lumivane::ExplWrap::ClickProbe() = nullptr;
    lumivane::InspWrap::ClickProbe() = nullptr;
  }

  // The host ends: its windows close (so the wrappers let go of them) and the
  // add-in is disconnected.
  void EndHost() {
    if (host) host->Exit();
    host.reset();
  }

  // A new run of the host, the library loaded afresh, over the registry as
  // the last run left it on disk.
  void Restart(std::string version = "11.0.0.8217") {
    EndHost();
    lumivane::ResetOutlookGlobals();
    registry.reset();
    reg::SetCurrent(nullptr);
    registry = reg::UseDirectory(tmp / "registry");
    NewHost(std::move(version));
  }

  void NewHost(std::string version = "11.0.0.8217") {
    classes = std::make_shared<platform::com::ClassRegistry>();
    platform::com::SetClassRegistry(classes);
    host::RegisterRDOSession(*classes);
    ASSERT_EQ(lumivane::DllRegisterServer(), 0);
    host = std::make_unique<host::Host>(std::move(version));
    inbox = host->Store()->AddFolder("Inbox");
  }

  const std::shared_ptr<host::Application>& App() const { return host->App(); }
  std::shared_ptr<host::Explorer> FirstExplorer() const { return App()->OpenExplorers().front(); }

  static std::shared_ptr<host::CommandBar> Toolbar(const std::shared_ptr<host::Explorer>& e) {
    return e->Bars()->Item("Lumivane");
  }
  static bool HasToolbar(const std::shared_ptr<host::Explorer>& e) {
    for (const auto& b : e->Bars()->Bars())
      if (b->Name() == "Lumivane") return true;
    return false;
  }
  static std::shared_ptr<host::CommandBar> ToolsMenu(const std::shared_ptr<host::Explorer>& e) {
    auto tools = e->Bars()->Item("Menu Bar")->FindControl({.Id = host::kIdToolsMenuExplorer});
    return host::As<host::CommandBarPopup>(tools)->CommandBar();
  }
  // The Tools-menu entry, or nullptr.
  static std::shared_ptr<host::CommandBarButton> MenuEntry(const std::shared_ptr<host::Explorer>& e) {
    for (const auto& c : ToolsMenu(e)->ControlList())
      if (c->Caption() == "&Lumivane Settings...") return host::As<host::CommandBarButton>(c);
    return nullptr;
  }
  static std::shared_ptr<host::CommandBarButton> ButtonOf(const std::shared_ptr<host::CommandBar>& bar,
                                                          const std::string& caption) {
    return host::As<host::CommandBarButton>(bar->Controls()->Item(caption));
  }
  static std::shared_ptr<host::CommandBar> PopupBar(const std::shared_ptr<host::Explorer>& e) {
    return host::As<host::CommandBarPopup>(Toolbar(e)->Controls()->Item(3))->CommandBar();
  }

  // A setting as the registry holds it now (DWORD as a number, text as text).
  std::string Stored(const std::string& name) const {
    auto v = registry->Peek(reg::HKEY_CURRENT_USER, kSettingsKey, name);
    if (!v) return "<missing>";
    if (v->type == reg::REG_DWORD) {
      std::int32_t n = 0;
      for (int i = 3; i >= 0; --i) n = (n << 8) | v->data[static_cast<std::size_t>(i)];
      return std::to_string(n);
    }
    std::string s(v->data.begin(), v->data.end());
    return s.substr(0, s.find('\0'));
  }

  std::vector<Box> Boxes() const {
    std::vector<Box> out;
    for (const auto& b : boxes->Log()) out.push_back({b.prompt, b.style, b.title});
    return out;
  }

  std::shared_ptr<host::Item> Mail(std::string subject, long itemClass = host::olMail) {
    return inbox->AddItem({.itemClass = itemClass, .subject = std::move(subject)});
  }

  testsupport::TempDir tmp;
  std::shared_ptr<forms::ScriptedUserInterface> ui;
  std::shared_ptr<forms::EventLoop> loop;
  std::shared_ptr<forms::ScriptedMessageBoxes> boxes = std::make_shared<forms::ScriptedMessageBoxes>();
  std::shared_ptr<reg::Registry> registry;
  std::shared_ptr<platform::com::ClassRegistry> classes;
  std::unique_ptr<host::Host> host;
  std::shared_ptr<host::Folder> inbox;
};

// The captions of the entries of the toolbar's popup.
inline const std::string kQuickPictures =
    "Quick-save &Only Picture Attachments in Selected Messages to Default Directory";
inline const std::string kQuickAll = "Quick-save &All Attachments in Selected Messages to Default Directory";
inline const std::string kSavePicturesTo = "Save &Pictures in Selected Messages To...";
inline const std::string kSaveAllTo = "&Save All Attachments in Selected Messages To...";
inline const std::string kExport = "&Export Attachments (Advanced)...";
inline const std::string kDelete = "&Delete Attachments in Selected Messages";

// The refusal for a message without pictures, inline pictures left out.
inline const std::string kNoPictures =
    "The current message does not have any attachments that are image files.\r\n\r\nNOTE: Inline HTML images are not "
    "currently processed as attachments.  If you would like to have these images processed, you can enable this "
    "option in Settings.";

inline host::AttachmentData Att(std::string name, std::string content = "data") {
  return {.fileName = std::move(name), .content = host::TextContent(content)};
}

inline std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The host started, its first Explorer at hand, and the commands of that
// Explorer's toolbar clicked as a person would.
class CommandsTest : public AddInTest {
 public:
  void SetUp() override {
    AddInTest::SetUp();
    host->Start();
    explorer = FirstExplorer();
    pictures = tmp / "home/Pictures";
  }

  std::shared_ptr<host::Item> Message(std::string subject, std::vector<host::AttachmentData> attachments,
                                      long itemClass = host::olMail,
                                      const std::shared_ptr<host::Folder>& in = nullptr) {
    return (in ? in : inbox)
        ->AddItem({.itemClass = itemClass, .subject = std::move(subject), .attachments = std::move(attachments)});
  }
  void Click(const std::string& caption) { ButtonOf(PopupBar(explorer), caption)->UserClick(); }
  void ClickToolbar(const std::string& caption) { ButtonOf(Toolbar(explorer), caption)->UserClick(); }
  // The question before a quick-save.
  Box Confirm(bool picturesOnly, const std::string& folder) const {
    return {std::string(picturesOnly ? "Are you sure you want to save the picture attachments"
                                     : "Are you sure you want to save the attachments") +
                " in the selected message(s) to the '" + folder +
                "' folder?\r\n\r\nNote: You can change the default location for saving attachments in the Settings "
                "screen.",
            forms::vbQuestion | forms::vbYesNo, "Save Pictures?"};
  }

  std::shared_ptr<host::Explorer> explorer;
  std::string pictures;
};

}  // namespace outlook_test
