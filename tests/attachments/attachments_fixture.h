#pragma once
// A fresh world per test for the attachment services: a temporary folder
// holding the local application data folder and the save targets, a fresh
// registry and shell, no forms, a scripted user interface and message boxes,
// the loop on a virtual clock (8 December 2026), a stand-in mail client with
// its outside session object, and the add-in's globals set as start-up sets
// them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "attachments/attachments.h"
#include "attachments/frm_save_attachments.h"
#include "host/addin.h"
#include "host/rdo.h"
#include "host/store.h"
#include "outlook/out_addin.h"
#include "platform/com/com.h"
#include "platform/forms/event_loop.h"
#include "platform/forms/form.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/screen.h"
#include "platform/forms/ui.h"
#include "platform/fso/fso.h"
#include "platform/fso/resolve.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "settings/reg_settings.h"
#include "support/temp_dir.h"

namespace attachments_test {

namespace forms = platform::forms;
namespace fso = platform::fso;
namespace shell = platform::shell;
using namespace lumivane;
using namespace lumivane::modPictureAttachments;

inline host::AttachmentData Att(std::string fileName, std::string content = "data", long type = host::olByValue,
                                std::string contentId = {}) {
  host::AttachmentData a;
  a.fileName = std::move(fileName);
  a.type = type;
  a.content = host::TextContent(content);
  a.contentId = std::move(contentId);
  return a;
}

class AttachmentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::registry::SetCurrent(std::make_shared<platform::registry::Registry>());
    shell::Reset();
    appData = tmp.MakeDir("appdata");
    target = tmp.MakeDir("target");
    shell::Current().folders.Define(shell::CSIDL_LOCAL_APPDATA, appData);

    forms::DiscardAllForms();
    ui = std::make_shared<forms::ScriptedUserInterface>();
    forms::SetUserInterface(ui);
    clock = std::make_shared<forms::VirtualClock>(runtime::DateTime{2026, 12, 8, 9, 0, 0});
    forms::SetEventLoop(std::make_shared<forms::EventLoop>(clock));
    forms::Screen().Reset();
    forms::SetMessageBoxResponder(boxes);

    fs = std::make_shared<fso::FileSystemObject>();
    fso::SetFileSystemObjectProvider([this] { return fs; });

    classes = std::make_shared<platform::com::ClassRegistry>();
    platform::com::SetClassRegistry(classes);
    host::RegisterRDOSession(*classes);
    auto session = platform::com::As<host::RDOSession>(platform::com::CreateObject(host::kRDOSessionProgId));
    session->MAPIOBJECT(mail.App()->Session()->MAPIOBJECT());

    ResetGlobals();
    g_objOutAddIn = std::make_shared<OutAddIn>();
    g_objSettings = std::make_shared<RegSettings>();
    g_objOutlook = mail.App();
    g_objRDOSession = session;
  }

  void TearDown() override {
    forms::DiscardAllForms();
    ResetGlobals();
    fso::SetFileSystemObjectProvider(nullptr);
    platform::com::SetClassRegistry(nullptr);
    forms::SetUserInterface(nullptr);
    forms::SetMessageBoxResponder(nullptr);
    shell::Reset();
  }

  static void ResetGlobals() {
    g_objOutAddIn.reset();
    g_objOutlook.reset();
    g_objRDOSession.reset();
    g_objTempFolder.reset();
    g_objFSO.reset();
    ResetAddInGlobals();
  }

  std::shared_ptr<host::Item> Message(std::vector<host::AttachmentData> attachments, std::string subject = "Pictures") {
    host::ItemData data;
    data.subject = std::move(subject);
    data.attachments = std::move(attachments);
    return inbox->AddItem(std::move(data));
  }

  // The temporary folder as start-up leaves it.
  std::string MakeTempFolder() {
    GetTempFolder();
    EXPECT_TRUE(g_objOutAddIn->Enabled());
    return g_objOutAddIn->TempFolderPath();
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static std::vector<std::string> Listing(const std::string& folder) {
    return fso::ListFolder(folder, fso::EntryKind::All);
  }

  std::vector<std::string> Titles() const {
    std::vector<std::string> out;
    for (const auto& b : boxes->Log()) out.push_back(b.title);
    return out;
  }

  testsupport::TempDir tmp;
  std::string appData;
  std::string target;
  std::shared_ptr<forms::ScriptedUserInterface> ui;
  std::shared_ptr<forms::VirtualClock> clock;
  std::shared_ptr<forms::ScriptedMessageBoxes> boxes = std::make_shared<forms::ScriptedMessageBoxes>();
  std::shared_ptr<fso::FileSystemObject> fs;
  std::shared_ptr<platform::com::ClassRegistry> classes;
  host::Host mail;
  std::shared_ptr<host::Folder> inbox = mail.Store()->AddFolder("Inbox");
};

}  // namespace attachments_test
