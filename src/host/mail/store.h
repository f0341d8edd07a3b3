#pragma once
// A mail store on disk: a directory of folders. A folder is a Maildir
// (cur/, new/, tmp/, with Maildir++ subfolders ".Sub.Folder"; a copy that
// lost new/ or tmp/ still is one) or a plain
// directory of .eml files (its subdirectories are its subfolders). When the
// store directory is itself a Maildir, it is the "Inbox" and its Maildir++
// folders stand beside it.
//
// A folder may hold a settings file of ours, ".lumivane-folder", with lines
// "key = value" ("#" starts a comment line):
//   type   = mail | appointment | contact | task | journal | note | post,
//            or the number 0..6: the folder's DefaultItemType (mail when absent)
//   drafts = yes | no: whether the folder holds drafts (a folder named
//            "Drafts" does unless it says no)
//
// Opening a store reads only the directory tree; a folder lists its files on
// first use; a message reads itself on first use. Folders and messages come
// in case-insensitive name order.

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/mail/message.h"
#include "host/mail/write_faults.h"

namespace host::mail {

enum class FolderFormat { Maildir, Eml };

// DefaultItemType values, as the host numbers item types.
namespace item_type {
inline constexpr int kMail = 0;
inline constexpr int kAppointment = 1;
inline constexpr int kContact = 2;
inline constexpr int kTask = 3;
inline constexpr int kJournal = 4;
inline constexpr int kNote = 5;
inline constexpr int kPost = 6;
}  // namespace item_type

inline constexpr char kFolderSettingsFile[] = ".lumivane-folder";

class Folder {
 public:
  const std::string& Name() const { return name_; }
  // The names from the top of the store down to this folder, joined with "/".
  const std::string& Path() const { return path_; }
  FolderFormat Format() const { return format_; }
  int DefaultItemType() const { return default_item_type_; }
  bool IsDrafts() const { return drafts_; }
  const std::filesystem::path& Directory() const { return dir_; }
  const std::vector<std::shared_ptr<Folder>>& Folders() const { return folders_; }

  // Lists the folder's files on first use (no file is opened). Raises
  // runtime::Error 75 when the directory cannot be read.
  const std::vector<std::shared_ptr<Message>>& Messages();
  // By the Maildir unique name or .eml file name; nullptr when absent.
  std::shared_ptr<Message> FindMessage(std::string_view unique_name);
  // Lists the files again; messages still there keep their objects (and
  // their unsaved edits).
  void Refresh();

 private:
  friend class Store;
  friend struct StoreBuilder;
  Folder() = default;

  std::string name_;
  std::string path_;
  std::string key_;  // directory relative to the store root
  FolderFormat format_ = FolderFormat::Eml;
  int default_item_type_ = item_type::kMail;
  bool drafts_ = false;
  std::filesystem::path dir_;
  std::shared_ptr<WriteFaults> faults_;
  std::vector<std::shared_ptr<Folder>> folders_;

  bool listed_ = false;
  std::vector<std::shared_ptr<Message>> messages_;
  std::map<std::string, std::size_t> by_unique_;
};

class Store {
 public:
  // Raises runtime::Error 76 when `root` is not a directory and 75 when a
  // folder settings file cannot be read or says something it cannot mean.
  static std::shared_ptr<Store> Open(const std::filesystem::path& root);

  const std::filesystem::path& Root() const { return root_; }
  const std::vector<std::shared_ptr<Folder>>& Folders() const { return folders_; }
  // "Inbox/Projects" ("\" separates too), names compared without regard to
  // case; nullptr when there is no such folder.
  std::shared_ptr<Folder> FindFolder(std::string_view path) const;
  // The message of an EntryID; nullptr when it names nothing here.
  std::shared_ptr<Message> FindMessage(std::string_view entry_id) const;

  // Test seam shared by every write of this store.
  WriteFaults& Faults() { return *faults_; }

 private:
  friend struct StoreBuilder;
  Store() = default;

  std::filesystem::path root_;
  std::shared_ptr<WriteFaults> faults_;
  std::vector<std::shared_ptr<Folder>> folders_;
  std::map<std::string, std::shared_ptr<Folder>> by_key_;
};

}  // namespace host::mail
