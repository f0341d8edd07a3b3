// Test-only definitions of the add-in's file-system object, for as long as
// their own source is not part of this build. Only what the picture files
// use; remove this file once it is.

#include "outlook/out_addin.h"
#include "platform/fso/fso.h"

namespace lumivane {

std::shared_ptr<platform::fso::FileSystemObject> g_objFSO;

std::shared_ptr<platform::fso::FileSystemObject> FSO() {
  if (!g_objFSO) g_objFSO = platform::fso::CreateFileSystemObject();
  return g_objFSO;
}

}  // namespace lumivane
