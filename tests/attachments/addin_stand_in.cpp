// Test-only definitions of the add-in object and its globals, for as long as
// their own source is not part of this build. Only what the attachment
// services use; remove this file once it is.

#include "attachments/frm_save_attachments.h"
#include "outlook/out_addin.h"
#include "platform/fso/fso.h"

namespace lumivane {

std::shared_ptr<OutAddIn> g_objOutAddIn;
std::string g_strProgID;
std::shared_ptr<host::Application> g_objOutlook;
std::shared_ptr<host::RDOSession> g_objRDOSession;
std::shared_ptr<runtime::Collection<std::shared_ptr<ImageViewer>>> g_colViewers;
std::shared_ptr<runtime::Collection<std::shared_ptr<ImageViewer>>> g_colBrowsers;
bool g_blnOutlook2000 = false;
std::shared_ptr<platform::fso::Folder> g_objTempFolder;
std::shared_ptr<platform::fso::FileSystemObject> g_objFSO;

std::shared_ptr<platform::fso::FileSystemObject> FSO() {
  if (!g_objFSO) g_objFSO = platform::fso::CreateFileSystemObject();
  return g_objFSO;
}

OutAddIn::OutAddIn() = default;
OutAddIn::~OutAddIn() = default;

void OutAddIn::SaveAttachmentsForm(std::shared_ptr<platform::forms::Form> form) {
  if (!form) {
    if (m_frmSaveAttachments) platform::forms::Unload(*m_frmSaveAttachments);
    if (platform::forms::DefaultInstanceExists<frmSaveAttachments>()) {
      platform::forms::Unload(*platform::forms::Default<frmSaveAttachments>());
    }
  }
  m_frmSaveAttachments = std::move(form);
}

}  // namespace lumivane
