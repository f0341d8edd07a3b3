#pragma once
// Which whole-file writes are synced to the disk, and why.
//
// A file that holds the only copy of its data (a message rewritten without
// the attachments it loses, the settings hive) is synced before it replaces
// the old one, so a crash leaves the old file or the new one, both whole.
// A saved attachment is a copy: the message still holds it (the temporary
// picture folder is even rebuilt at will), so it is renamed into place
// unsynced, at the speed of the page cache; a crash may lose the copy, never
// the attachment. The copies written so are noted until something is about
// to remove an attachment from its message: they and their folders are
// synced first (SyncCopies), so after a crash the attachment is in the
// message or in the copy on the disk.

#include <filesystem>

namespace platform {

enum class Durability { Synced, Copy };

// Remembers a copy written without a sync.
void NoteUnsyncedCopy(const std::filesystem::path& file);

// Syncs every copy noted since the last call, then their folders; a copy
// that has gone meanwhile (the temporary folder emptied) is skipped. Answers
// 0, or the errno of the first sync that failed; copies not synced stay
// noted.
int SyncCopies();

}  // namespace platform
