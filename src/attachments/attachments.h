#pragma once
// The attachment services of modPictureAttachments: the temporary picture
// folder and its cached-file list, the picture tests the commands use,
// saving with the name-conflict dialog, deleting every attachment of an item
// and the refusal shown when an item has no pictures.
//
// Everything runs on the host's user-interface thread and uses the add-in's
// shared state (settings/addin_state.h): the add-in object's members,
// g_objOutlook, g_objRDOSession, g_objTempFolder, g_objFSO (through FSO())
// and g_objSettings.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/collection.h"

namespace platform::controls {
class FolderItem;
}

namespace host {
class Attachment;
class Attachments;
class Item;
}  // namespace host

namespace lumivane {

// An attachment as the save procedures reach it: late-bound, through these
// members only. The mail client's attachments come in through LateBound; a
// test can hand in an attachment whose name the client would never pass on.
class LateAttachment {
 public:
  virtual ~LateAttachment() = default;
  virtual long Type() = 0;
  virtual std::string FileName() = 0;
  virtual void SaveAsFile(const std::string& path) = 0;
  // The mail client's attachment behind this one; nullptr for any other.
  virtual std::shared_ptr<host::Attachment> HostObject() { return nullptr; }
};
std::shared_ptr<LateAttachment> LateBound(std::shared_ptr<host::Attachment> attachment);

// What the commands hand to SaveAttachments: one message's attachments,
// keyed FileName & "_" & Index.
using AttachmentCollection = runtime::Collection<std::shared_ptr<host::Attachment>>;

}  // namespace lumivane

namespace lumivane::modPictureAttachments {

// ---- the temporary picture folder ----

// Finds or makes the folder under the local application data folder, sets
// g_objTempFolder and OutAddIn.TempFolderPath and enables the add-in. Its
// refusals ("Scripting Disabled", error 1000) leave the add-in disabled;
// nothing reaches the caller.
void GetTempFolder();
// Deletes every file of the folder (read-only ones too; a file still open
// stays) and sets the cached-file list to Nothing.
void ClearTempFolder();
// Writes the item's picture attachments into the folder under names that
// are free there and replaces OutAddIn.CachedFiles with one entry each:
// "name" (key name) or "own name;stored name" (key stored name), and
// OutAddIn.CachedSources with the attachment each came from.
void SavePicturesToTempFolder(const std::shared_ptr<host::Attachments>& attachments);
void SavePicturesToTempFolder(const std::vector<std::shared_ptr<LateAttachment>>& attachments);
// A name that no file of the folder has: the name itself, or the next by the
// folder's numbering rule.
std::string GetUniqueTempFileName(const std::string& fileName);
// The file of the folder that a shell folder view item (its Name) stands
// for: the view hides known extensions, so "beach" finds "beach.jpg", and
// "my.photo" finds "my.photo.jpg"; a name that is a file of the folder is
// that file.
std::string ResolveTempFileName(const std::string& folderItemName);
// The same for the item itself: its own file when it lies in the folder
// (so photo.jpg and photo.png, both shown as "photo", stay apart), else by
// its shown name.
std::string ResolveTempFileName(const platform::controls::FolderItem& item);

// ---- the picture tests ----

bool DoesMessageHaveAtLeastOnePictureAttachment(const std::shared_ptr<host::Item>& item);
// The attachment of that display name carries a content id (an inline HTML
// picture); asked of the saved message through g_objRDOSession.
bool IsAttachmentEmbedded(const std::shared_ptr<host::Item>& item, const std::string& displayName);
bool IsMessageDownloaded(const std::shared_ptr<host::Item>& item);
bool AreAllAttachmentsPictures(const std::shared_ptr<host::Attachments>& attachments);

// ---- saving ----

// Saves the attachments (only the pictures when picturesOnly) into `path`
// (empty: the setting PictureDumpDirectory, which then replaces it), asking
// frmSaveAttachments about every name already taken there. `count` is set to
// the number of files written; `cancelled` is set True when the person
// cancelled the run (or the folder cannot be used at all), else left as the
// caller set it.
void SaveAttachments(AttachmentCollection& attachments, bool picturesOnly, std::string& path, bool& cancelled,
                     std::int16_t& count);
void SaveAttachments(const std::vector<std::shared_ptr<LateAttachment>>& attachments, bool picturesOnly,
                     std::string& path, bool& cancelled, std::int16_t& count);

// ---- deleting, and the no-pictures refusal ----

// Asks first; removes every attachment (last to first) and saves the item.
void DeleteAllAttachments(const std::shared_ptr<host::Item>& item);
void ShowNoPictureAttachmentsMessage();

}  // namespace lumivane::modPictureAttachments
