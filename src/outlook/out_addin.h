#pragma once
// The one add-in object and the globals that start-up sets and shutdown
// releases. Everything here runs on the host's user-interface thread.

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/collection.h"
#include "runtime/event.h"

namespace host {
class Application;
class Attachment;
class Explorers;
class Inspectors;
class Explorer;
class Inspector;
class Item;
class NameSpace;
class RDOSession;
}  // namespace host

namespace platform::fso {
class FileSystemObject;
class Folder;
}  // namespace platform::fso

namespace platform::forms {
class Form;
}

namespace lumivane {

class OutAddIn : public std::enable_shared_from_this<OutAddIn> {
 public:
  // Creating the add-in object creates the settings object, which loads every setting.
  OutAddIn();
  ~OutAddIn();

  bool Enabled() const { return m_blnEnabled; }
  void Enabled(bool vData) { m_blnEnabled = vData; }

  // The cached-file list: texts, each a file name in the temporary folder or
  // "<attachment file name>;<stored name>". nullptr is Nothing.
  // The attachment each file of the list was written from, keyed by the
  // stored name: a picture's own name and its place among the pictures do
  // not find it among all attachments. Replaced and cleared with the list.
  using CachedSourceList = runtime::Collection<std::weak_ptr<host::Attachment>>;
  std::shared_ptr<runtime::Collection<std::string>> CachedFiles() const { return m_colCachedFiles; }
  std::shared_ptr<CachedSourceList> CachedSources() const { return m_colCachedSources; }
  void CachedFiles(std::shared_ptr<runtime::Collection<std::string>> colCachedFiles,
                   std::shared_ptr<CachedSourceList> colCachedSources = nullptr) {
    m_colCachedFiles = std::move(colCachedFiles);
    m_colCachedSources = std::move(colCachedSources);
  }

  const std::string& TempFolderPath() const { return m_strTempFolderPath; }
  void TempFolderPath(std::string value) { m_strTempFolderPath = std::move(value); }

  // The name-conflict dialog held for one save run; setting nullptr unloads it
  // and the shared default instance, so the next run starts with fresh answers.
  std::shared_ptr<platform::forms::Form> SaveAttachmentsForm() const { return m_frmSaveAttachments; }
  void SaveAttachmentsForm(std::shared_ptr<platform::forms::Form> form);

  void InitHandler(std::shared_ptr<host::Application> olApp, const std::string& strProgID);
  void LoadSettings();
  void ShutdownHandler();
  std::shared_ptr<host::Item> GetCurrentMessage();
  bool IsSelectionAvailable();

 private:
  void m_colExpl_NewExplorer(std::shared_ptr<host::Explorer> explorer);
  void m_colInsp_NewInspector(std::shared_ptr<host::Inspector> inspector);

  std::shared_ptr<host::Explorers> m_colExpl;
  runtime::Subscription m_colExplEvents;
  std::shared_ptr<host::Inspectors> m_colInsp;
  runtime::Subscription m_colInspEvents;
  std::shared_ptr<platform::forms::Form> m_frmSaveAttachments;
  std::string m_strTempFolderPath;
  bool m_blnEnabled = false;
  std::shared_ptr<host::NameSpace> m_olNameSpace;
  std::shared_ptr<runtime::Collection<std::string>> m_colCachedFiles;
  std::shared_ptr<CachedSourceList> m_colCachedSources;
};

// Shared globals of the add-in (set at start-up, released by ShutdownHandler).
extern std::shared_ptr<OutAddIn> g_objOutAddIn;
extern std::string g_strProgID;
extern std::shared_ptr<host::Application> g_objOutlook;
extern std::shared_ptr<host::RDOSession> g_objRDOSession;
extern bool g_blnOutlook2000;
extern std::shared_ptr<platform::fso::Folder> g_objTempFolder;
// Made on first use; released by ShutdownHandler.
extern std::shared_ptr<platform::fso::FileSystemObject> g_objFSO;
std::shared_ptr<platform::fso::FileSystemObject> FSO();

// Back to the state of a freshly loaded library: every global of the add-in
// empty or false, the wrapper keys at 0, the settings globals reset too. For
// tests, which play several loads of the library in one process.
void ResetOutlookGlobals();

}  // namespace lumivane
