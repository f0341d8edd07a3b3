#include "settings/addin_state.h"

#include "platform/fso/fso.h"

namespace lumivane {

std::weak_ptr<AddInState> g_objAddInState;
std::string g_strProgID;
std::shared_ptr<host::Application> g_objOutlook;
std::shared_ptr<host::RDOSession> g_objRDOSession;
bool g_blnOutlook2000 = false;
std::shared_ptr<platform::fso::Folder> g_objTempFolder;
std::shared_ptr<platform::fso::FileSystemObject> g_objFSO;
bool g_blnWizardOnTopPending = false;

std::shared_ptr<platform::fso::FileSystemObject> FSO() {
  if (!g_objFSO) g_objFSO = platform::fso::CreateFileSystemObject();
  return g_objFSO;
}

namespace {
std::string& ResourceFolderStore() {
  static std::string folder = LUMIVANE_RESOURCES;
  return folder;
}
}  // namespace

const std::string& ResourceFolder() { return ResourceFolderStore(); }
void SetResourceFolder(std::string folder) { ResourceFolderStore() = std::move(folder); }

}  // namespace lumivane
