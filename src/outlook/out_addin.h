#pragma once
// The one add-in object: start-up, shutdown and the mail client's window
// events. Everything here runs on the host's user-interface thread.

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/collection.h"
#include "runtime/event.h"
#include "settings/addin_state.h"

namespace host {
class Application;
class Explorers;
class Inspectors;
class Explorer;
class Inspector;
class Item;
class NameSpace;
}  // namespace host

namespace lumivane {

class OutAddIn : public std::enable_shared_from_this<OutAddIn> {
 public:
  // Creating the add-in object creates the settings object, which loads every setting.
  OutAddIn();
  ~OutAddIn();

  // The members other folders read live in the shared state (settings/addin_state.h).
  bool Enabled() const { return m_objState->Enabled(); }
  void Enabled(bool vData) { m_objState->Enabled(vData); }

  using CachedSourceList = AddInState::CachedSourceList;
  std::shared_ptr<runtime::Collection<std::string>> CachedFiles() const { return m_objState->CachedFiles(); }
  std::shared_ptr<CachedSourceList> CachedSources() const { return m_objState->CachedSources(); }
  void CachedFiles(std::shared_ptr<runtime::Collection<std::string>> colCachedFiles,
                   std::shared_ptr<CachedSourceList> colCachedSources = nullptr) {
    m_objState->CachedFiles(std::move(colCachedFiles), std::move(colCachedSources));
  }

  const std::string& TempFolderPath() const { return m_objState->TempFolderPath(); }
  void TempFolderPath(std::string value) { m_objState->TempFolderPath(std::move(value)); }

  // The name-conflict dialog held for one save run; setting nullptr unloads it
  // and the shared default instance, so the next run starts with fresh answers.
  std::shared_ptr<platform::forms::Form> SaveAttachmentsForm() const { return m_objState->SaveAttachmentsForm(); }
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
  std::shared_ptr<host::NameSpace> m_olNameSpace;
  // Made with this object and released with it; g_objAddInState follows it.
  std::shared_ptr<AddInState> m_objState;
};

// The one add-in object (set by the connection, released at disconnection).
// The other shared globals are in settings/addin_state.h.
extern std::shared_ptr<OutAddIn> g_objOutAddIn;

// Back to the state of a freshly loaded library: every global of the add-in
// empty or false, the wrapper keys at 0, the settings globals reset too. For
// tests, which play several loads of the library in one process.
void ResetOutlookGlobals();

}  // namespace lumivane
