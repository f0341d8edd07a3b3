#include "attachments/batch_export.h"

#include "attachments/attachments.h"
#include "attachments/file_names.h"
#include "host/store.h"
#include "platform/forms/event_loop.h"
#include "platform/fso/fso.h"
#include "platform/fso/resolve.h"
#include "platform/path.h"
#include "runtime/convert.h"
#include "runtime/locale.h"
#include "runtime/ref.h"
#include "runtime/text.h"
#include "settings/helpers.h"

namespace lumivane {

using runtime::Ref;

namespace {

// Past this many taken names the numbering gives up on the attachment
// rather than count on.
constexpr int kMaxCandidates = 100000;

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

bool ParseExtensionList(const std::string& text, std::vector<std::string>& extensions) {
  extensions.clear();
  for (const std::string& item : runtime::Split(text, ",")) {
    if (item.find('.') == std::string::npos) {
      extensions.clear();
      return false;
    }
    extensions.push_back(runtime::Trim(item));
  }
  return true;
}

ExportRun::ExportRun(ExportOptions options, runtime::OnError& handler) : options_(std::move(options)), eh_(handler) {}

bool ExportRun::Passes(const std::string& ext) const {
  using Filter = ExportOptions::Filter;
  switch (options_.filter) {
    case Filter::All: return true;
    case Filter::ImagesOnly: return modPictureAttachments::IsPictureExtension(ext, false);
    case Filter::ExcludeImages: return !modPictureAttachments::IsPictureExtension(ext, false);
    case Filter::SpecifiedFileTypes:
      // Exactly as typed: ".jpg" does not take "c.JPG".
      for (const auto& wanted : options_.extensions)
        if (wanted == ext) return true;
      return false;
  }
  return false;
}

std::string ExportRun::TargetName(const std::string& fileName, const std::string& subject) const {
  using Naming = ExportOptions::Naming;
  switch (options_.naming) {
    // A long subject is shortened so that the name fits and the
    // attachment's own name and extension stay whole.
    case Naming::AppendSubject:
      return names::FitAround("", options_.useSubstitution ? options_.substitution : subject,
                              options_.separator + fileName);
    case Naming::AppendSubjectToEnd: {
      // A name without a period is all base: "README" -> "README (Subject)".
      const names::SplitName parts = names::SplitExtension(fileName);
      if (options_.useSubstitution) return names::FitAround(parts.base, options_.substitution, parts.ext);
      return names::FitAround(parts.base + " (", subject, ")" + parts.ext);
    }
    case Naming::OutputFolder:
    case Naming::EmailFolders: break;
  }
  return fileName;
}

std::string ExportRun::UniqueTarget(const std::string& folder, const std::string& name, Copy& copy) {
  const std::string wanted = platform::JoinPath(folder, name);
  // The names before the last one handed out for this name are all taken
  // (the run and the folder only ever gain names), so the walk goes on from
  // there: a folder where every message has its "image001.jpg" costs one
  // step each.
  auto last = lastNumbered_.find(wanted);
  std::string candidate = last == lastNumbered_.end() ? name : last->second;
  auto fs = names::RequireFSO();
  for (int tries = 0; tries < kMaxCandidates; ++tries) {
    std::string path = platform::JoinPath(folder, candidate);
    // Names resolve without regard to case: "A.jpg" would replace "a.jpg".
    if (!written_.contains(runtime::LCase(path))) {
      RefuseLink(path);
      // What the folder holds already may be the only copy of another
      // message's attachment (exported with deletion): it is never replaced.
      const bool file = fs->FileExists(path);
      if (!file && !fs->FolderExists(path)) {
        written_.insert(runtime::LCase(path));
        lastNumbered_[wanted] = candidate;
        return path;
      }
      if (file) copy.occupied.push_back(path);
    }
    candidate = names::NextTempFileName(candidate);
  }
  return {};
}

void ExportRun::RefuseLink(const std::string& path) {
  if (platform::fso::IsSymbolicLink(path))
    runtime::Raise(runtime::err::kPathFileAccessError, runtime::DefaultDescription(runtime::err::kPathFileAccessError) +
                                                           ": '" + path +
                                                           "' is a symbolic link; nothing is written through it");
}

void ExportRun::Export(const std::shared_ptr<host::Item>& item) {
  long itemClass = 0;
  if (!eh_([&] { itemClass = Ref(item).Class(); })) return;
  if (itemClass != host::olMail && itemClass != host::olPost) return;
  std::shared_ptr<host::Attachments> attachments;
  long count = 0;
  if (!eh_([&] {
        attachments = item->Attachments();
        count = Ref(attachments).Count();
      })) {
    return;
  }
  if (count == 0) return;
  if (options_.filter == ExportOptions::Filter::ImagesOnly) {
    bool pictures = false;
    if (!eh_([&] { pictures = modPictureAttachments::DoesMessageHaveAtLeastOnePictureAttachment(item); }) ||
        !pictures) {
      return;
    }
  }

  Message message{item, {}, {}};
  eh_([&] { message.subject = item->Subject(); });
  const std::string subject = names::CleanFileName(message.subject);
  std::string folder = options_.folder;
  // A subject that cleans to nothing (or to "..") names no folder of its
  // own: its attachments go to the output folder itself.
  const std::string subfolder = names::FitFolderName(subject);
  if (options_.naming == ExportOptions::Naming::EmailFolders && names::StaysInFolder(subfolder)) {
    folder = platform::JoinPath(folder, subfolder);
    if (!eh_([&] {
          RefuseLink(folder);
          auto fs = names::RequireFSO();
          if (!fs->FolderExists(folder)) fs->CreateFolder(folder);
        })) {
      return;
    }
  }

  bool anySaved = false;
  for (long i = count; i >= 1; --i) {
    Copy copy;
    if (!eh_([&] {
          copy.attachment = attachments->Item(i);
          copy.fileName = Ref(copy.attachment).FileName();
        })) {
      continue;
    }
    if (!Passes(names::SplitExtension(copy.fileName).ext)) continue;
    const std::string name = TargetName(copy.fileName, subject);
    if (names::StaysInFolder(name)) {
      if (!eh_([&] { copy.target = UniqueTarget(folder, name, copy); })) {
        copy.target = platform::JoinPath(folder, name);
        copy.failure = eh_.Err().Description;
        message.copies.push_back(std::move(copy));
        continue;
      }
    }
    if (copy.target.empty()) {
      // Typed or stored texts can hold a separator; such a name is not written.
      copy.target = platform::JoinPath(folder, name);
      copy.failure = "the name does not name a file inside the folder";
      eh_([&] { names::RefuseName(name, folder); });
    } else {
      Save(copy);
    }
    anySaved = anySaved || copy.saved;
    message.copies.push_back(std::move(copy));
  }
  if (options_.includeReport || (options_.deleteAfterSave && anySaved)) pending_.push_back(std::move(message));
}

void ExportRun::Save(Copy& copy) {
  if (!eh_([&] { copy.attachment->SaveAsFile(copy.target); })) {
    copy.failure = eh_.Err().Description;
    return;
  }
  copy.saved = true;
  eh_([&] { exported_ = runtime::Add32(exported_, 1); });
  // A file passed over that holds these very bytes is this attachment's
  // copy already: it stays, and the new one goes.
  for (const std::string& existing : copy.occupied) {
    if (!platform::fso::SameContent(existing, copy.target)) continue;
    if (runtime::ResumeNext()([&] { names::RequireFSO()->DeleteFile(copy.target, true); })) {
      written_.erase(runtime::LCase(copy.target));
      copy.target = existing;
    }
    break;
  }
  // What was written, to know at the end of the run that it is still there.
  copy.size = runtime::ValueOr([&] { return names::RequireFSO()->GetFile(copy.target)->Size(); }, std::int64_t{-1});
}

bool ExportRun::Intact(const Copy& copy) {
  if (!copy.saved || copy.size < 0) return false;
  return runtime::ValueOr(
      [&] {
        auto fs = names::RequireFSO();
        return fs->FileExists(copy.target) && fs->GetFile(copy.target)->Size() == copy.size;
      },
      false);
}

void ExportRun::Finish() {
  for (Message& message : pending_) Settle(message);
  pending_.clear();
}

void ExportRun::Settle(Message& message) {
  bool changed = false;
  if (options_.deleteAfterSave) {
    for (Copy& copy : message.copies) {
      if (!copy.saved) continue;
      if (!Intact(copy)) {
        copy.kept = true;
        continue;
      }
      if (eh_([&] { copy.attachment->Delete(); })) copy.deleted = changed = true;
    }
  }
  if (options_.includeReport) {
    const bool attached = [&] {
      const std::string folder = ReportFolder();
      if (folder.empty()) return false;
      const std::string date = runtime::Format(platform::forms::Now(), "MMMM d, yyyy");
      const std::string path = platform::JoinPath(folder, "Attachment Export Report (" + date + ").txt");
      const std::string header =
          "Attachment Export Report for message '" + message.subject + "'" + " (exported on " + date + ")";
      const bool written = eh_([&] {
        auto stream = names::RequireFSO()->CreateTextFile(path, true);
        stream->WriteLine(header + "\r\n" + runtime::String(runtime::Len(header), '-') + "\r\n");
        for (const Copy& copy : message.copies) {
          std::string line;
          if (!copy.saved)
            line = Quoted(copy.fileName) + " could not be saved to " + Quoted(copy.target) + " (" + copy.failure + ").";
          else if (copy.deleted)
            line = Quoted(copy.fileName) + " was saved to " + Quoted(copy.target) + " and deleted from this message.";
          else if (copy.kept)
            line = Quoted(copy.fileName) + " was saved to " + Quoted(copy.target) +
                   (copy.size < 0 ? ", but the copy there could not be checked"
                                  : ", but the copy there has changed since") +
                   ", so it was not deleted from this message.";
          else
            line = Quoted(copy.fileName) + " was saved to " + Quoted(copy.target) + ".";
          stream->WriteLine(line + "\r\n");
        }
        stream->Close();
      });
      const bool added = written && eh_([&] { Ref(message.item->Attachments()).Add(path); });
      // The message holds its own copy now; none is left lying about.
      runtime::ResumeNext()([&] {
        auto fs = names::RequireFSO();
        if (fs->FileExists(path)) fs->DeleteFile(path, true);
      });
      return added;
    }();
    changed = changed || attached;
  }
  if (changed) eh_([&] { message.item->Save(); });
}

std::string ExportRun::ReportFolder() {
  if (!reportFolder_.empty()) return reportFolder_;
  std::string path;
  if (!eh_([&] {
        path = modPictureAttachments::GetLocalAppDataFolder();
        if (path.empty()) runtime::Raise(runtime::err::kPathNotFound);
      })) {
    return {};
  }
  for (const char* level : {"Quenstor", "Lumivane"}) {
    path = platform::JoinPath(path, level);
    if (!eh_([&] {
          auto fs = names::RequireFSO();
          if (!fs->FolderExists(path)) fs->CreateFolder(path);
        })) {
      return {};
    }
  }
  reportFolder_ = path;
  return reportFolder_;
}

}  // namespace lumivane
