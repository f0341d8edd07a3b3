#pragma once
// The add-in's shared state: what start-up sets, shutdown releases and every
// folder of the add-in reads. It sits here, below the pictures, the
// attachments and the windows, so that they read it without reaching up to
// the add-in object and its start-up in outlook/. Everything here runs on the
// host's user-interface thread.

#include <memory>
#include <string>

#include "runtime/collection.h"

namespace host {
class Application;
class Attachment;
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

// The members of the add-in object that other folders read; OutAddIn
// forwards its own to the one it owns, so this lives exactly as long as it.
class AddInState {
 public:
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

  // The name-conflict dialog held for one save run (unloading it is the add-in object's).
  std::shared_ptr<platform::forms::Form> SaveAttachmentsForm() const { return m_frmSaveAttachments; }
  void SaveAttachmentsForm(std::shared_ptr<platform::forms::Form> form) { m_frmSaveAttachments = std::move(form); }

 private:
  std::shared_ptr<platform::forms::Form> m_frmSaveAttachments;
  std::string m_strTempFolderPath;
  bool m_blnEnabled = false;
  std::shared_ptr<runtime::Collection<std::string>> m_colCachedFiles;
  std::shared_ptr<CachedSourceList> m_colCachedSources;
};

// The state of the add-in object alive now. Not an owner: before the object
// is made and once it is released, Ref() of it raises 91 as the object would.
extern std::weak_ptr<AddInState> g_objAddInState;

// Shared globals of the add-in (set at start-up, released by the shutdown).
extern std::string g_strProgID;
extern std::shared_ptr<host::Application> g_objOutlook;
extern std::shared_ptr<host::RDOSession> g_objRDOSession;
extern bool g_blnOutlook2000;
extern std::shared_ptr<platform::fso::Folder> g_objTempFolder;
// Made on first use; released by the shutdown.
extern std::shared_ptr<platform::fso::FileSystemObject> g_objFSO;
std::shared_ptr<platform::fso::FileSystemObject> FSO();

// An automatic display on top is about to show the preview window; its
// first activation clears it. While set, the window's layout leaves the
// thumbnail area where it is when the task pane is hidden or shown.
extern bool g_blnWizardOnTopPending;

// The folder the add-in's bitmap resources are read from; the build's
// resources folder unless the program sets another at start.
const std::string& ResourceFolder();
void SetResourceFolder(std::string folder);

}  // namespace lumivane
