#pragma once
// One run of the export dialog over a set of messages: the type filter, the
// file-name rules, the subfolder per message, the report attached to each
// message and the deletion of the exported attachments.
//
// The run works in two passes. The first writes every copy, under a name no
// earlier copy of the same run has taken. The second, once every message is
// exported, deletes each attachment whose own copy is still there, as
// written, attaches the report and saves the message. So a run that stops
// half-way has deleted nothing, and an attachment whose save failed is
// never deleted.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "runtime/handlers.h"

namespace host {
class Attachment;
class Item;
}  // namespace host

namespace lumivane {

struct ExportOptions {
  enum class Naming { OutputFolder, EmailFolders, AppendSubject, AppendSubjectToEnd };
  enum class Filter { All, ImagesOnly, ExcludeImages, SpecifiedFileTypes };

  std::string folder;
  Naming naming = Naming::OutputFolder;
  Filter filter = Filter::All;
  std::vector<std::string> extensions;  // trimmed, with their periods; SpecifiedFileTypes only
  std::string separator;                // AppendSubject only
  bool useSubstitution = false;         // both append rules
  std::string substitution;
  bool includeReport = false;
  bool deleteAfterSave = false;
};

// The list of the specified file types: the items between the commas,
// trimmed. Nothing when an item holds no period.
bool ParseExtensionList(const std::string& text, std::vector<std::string>& extensions);

class ExportRun {
 public:
  // `handler` reports each failing statement and the run goes on.
  ExportRun(ExportOptions options, runtime::OnError& handler);

  // Exports the attachments of one message that pass the filter (messages of
  // other classes, or without attachments, are passed over).
  void Export(const std::shared_ptr<host::Item>& item);
  // The second pass: deletions, reports, saves.
  void Finish();
  // The copies written; a 32-bit count, so a large folder never overflows it.
  std::int32_t Exported() const { return exported_; }

 private:
  struct Copy {
    std::shared_ptr<host::Attachment> attachment;
    std::string fileName;
    std::string target;
    bool saved = false;
    std::int64_t size = -1;  // as written
    std::string failure;     // why it was not saved
    bool deleted = false;
    bool kept = false;                  // saved, but the copy was not intact at the end
    std::vector<std::string> occupied;  // files of the folder passed over for the target
  };
  struct Message {
    std::shared_ptr<host::Item> item;
    std::string subject;
    std::vector<Copy> copies;
  };

  bool Passes(const std::string& ext) const;
  std::string TargetName(const std::string& fileName, const std::string& subject) const;
  // The target itself, or the next free one by the temporary folder's
  // numbering rule when an earlier copy of this run or a file or folder
  // already there has it. Raises when a candidate is a symbolic link.
  std::string UniqueTarget(const std::string& folder, const std::string& name, Copy& copy);
  static void RefuseLink(const std::string& path);
  void Save(Copy& copy);
  bool Intact(const Copy& copy);
  void Settle(Message& message);
  void AttachReport(Message& message);
  std::string ReportFolder();

  ExportOptions options_;
  runtime::OnError& eh_;
  std::int32_t exported_ = 0;
  std::set<std::string> written_;                    // the targets of this run, lower case
  std::map<std::string, std::string> lastNumbered_;  // target asked for -> name last given for it
  std::vector<Message> pending_;                     // messages with deletions or a report to come
  std::string reportFolder_;
};

}  // namespace lumivane
