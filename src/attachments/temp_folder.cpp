#include <functional>

#include "attachments/attachments.h"
#include "attachments/file_names.h"
#include "host/store.h"
#include "platform/controls/web_browser.h"
#include "platform/forms/msgbox.h"
#include "platform/fso/fso.h"
#include "platform/path.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "settings/addin_state.h"
#include "settings/app.h"
#include "settings/helpers.h"

namespace lumivane::modPictureAttachments {

namespace {

namespace fso = platform::fso;

constexpr long kNoTempFolder = 1000;
constexpr const char* kNoTempFolderText = "Unable to establish the Temporary Picture Files folder";
// Past this many taken names the folder is not trusted to answer any more.
constexpr int kMaxCandidates = 100000;

runtime::OnError Handler(const char* procedure) {
  return ErrorBox(procedure, runtime::ModuleKind::Module, "modPictureAttachments");
}

AddInState& AddIn() { return runtime::Ref(g_objAddInState); }

fso::Folder& TempFolder() {
  if (!g_objTempFolder) runtime::Raise(runtime::err::kObjectVariableNotSet);
  return *g_objTempFolder;
}

std::string TempFolderPath() {
  return runtime::ValueOr([] { return AddIn().TempFolderPath(); }, std::string());
}

// A free name in the temporary folder, also free among the names `taken`
// (the list being built, whose files may have failed to be written); empty
// when none could be found.
std::string UniqueTempName(const std::string& name, const runtime::Collection<std::string>* taken) {
  const std::string folder = TempFolderPath();
  std::string candidate = name;
  if (folder.empty()) return candidate;  // no folder, nothing to collide with
  for (int tries = 0; tries < kMaxCandidates; ++tries) {
    const bool exists =
        runtime::ValueOr([&] { return names::RequireFSO()->FileExists(platform::JoinPath(folder, candidate)); }, false);
    if (!exists && (taken == nullptr || !taken->Contains(candidate))) return candidate;
    candidate = names::NextTempFileName(candidate);
  }
  return {};
}

// Builds the folder level by level under the local application data folder.
// A level that cannot be had ends the building: going on would put the next
// level in the wrong place.
void BuildTempFolder(runtime::OnError& eh) {
  std::string parent;
  eh([&] { parent = GetLocalAppDataFolder(); });
  g_objTempFolder.reset();
  for (const char* level : {"Quenstor", "Lumivane", "Temporary Picture Files"}) {
    std::shared_ptr<fso::Folder> next;
    eh([&] {
      auto fs = names::RequireFSO();
      const std::string path = platform::JoinPath(parent, level);
      next = fs->FolderExists(path) ? fs->GetFolder(path) : fs->CreateFolder(path);
    });
    g_objTempFolder = next;
    if (!next) return;
    parent = next->Path();
  }
}

void SavePictures(long count, const std::function<std::shared_ptr<LateAttachment>(long)>& item) {
  runtime::ResumeNext rn;
  auto files = std::make_shared<runtime::Collection<std::string>>();
  auto sources = std::make_shared<AddInState::CachedSourceList>();
  const std::string folder = TempFolderPath();
  // Without the folder a name would be joined to nothing and land at the root.
  if (!folder.empty()) {
    for (long i = 1; i <= count; ++i) {
      std::shared_ptr<LateAttachment> attachment;
      std::string own;
      bool picture = false;
      rn([&] {
        attachment = item(i);
        if (!attachment) runtime::Raise(runtime::err::kObjectVariableNotSet);
        own = attachment->FileName();
        picture = attachment->Type() == host::olByValue && IsPictureExtension(GetExtension(own), false);
      });
      if (!picture) continue;
      if (!names::StaysInFolder(own)) {
        rn([&] { names::RefuseName(own, folder); });
        continue;
      }
      const std::string stored = UniqueTempName(own, files.get());
      if (stored.empty()) continue;
      rn([&] { files->Add(stored != own ? own + ";" + stored : stored, stored); });
      rn([&] { sources->Add(attachment->HostObject(), stored); });
      // Written before the next name is chosen, so two of one name get two files.
      rn([&] { attachment->SaveAsFile(platform::JoinPath(folder, stored)); });
    }
  }
  rn([&] { AddIn().CachedFiles(files, sources); });
}

}  // namespace

void GetTempFolder() {
  auto eh = Handler("GetTempFolder");
  std::string path;
  eh([&] { path = GetTempPictureFilesPath(); });
  if (path.empty()) {
    // The local application data folder is unknown: nothing to build on.
    eh([] { runtime::Raise(kNoTempFolder, kNoTempFolderText); });
    return;
  }

  bool exists = false;
  const bool asked = eh([&] { exists = names::RequireFSO()->FolderExists(path); });
  if (exists || !asked) {
    // A scripting runtime that a guard blocks fails the test itself; that is
    // the case the refusal below explains.
    g_objTempFolder.reset();
    eh([&] { g_objTempFolder = names::RequireFSO()->GetFolder(path); });
    if (!g_objTempFolder) {
      eh([&] {
        platform::forms::MsgBox("Unable to retrieve the '" + path +
                                    "' folder.  If you are running an anti-virus utility (like Norton or McAfee), " +
                                    "please disable any script blocking features or configure the application so "
                                    "that this add-in or Outlook is a trusted program.",
                                platform::forms::vbExclamation, "Scripting Disabled");
      });
      return;
    }
  } else {
    BuildTempFolder(eh);
  }

  // Enabled only with a folder that is really there: an empty path would
  // send every picture to the root.
  std::string longPath;
  if (g_objTempFolder) eh([&] { longPath = GetLongFileName(g_objTempFolder->Path()); });
  bool usable = false;
  if (!longPath.empty()) eh([&] { usable = names::RequireFSO()->FolderExists(longPath); });
  if (!usable) {
    eh([] { runtime::Raise(kNoTempFolder, kNoTempFolderText); });
    return;
  }
  eh([&] {
    AddIn().TempFolderPath(longPath);
    AddIn().Enabled(true);
  });
}

void ClearTempFolder() {
  runtime::ResumeNext rn;
  std::vector<std::shared_ptr<fso::File>> files;
  rn([&] { files = TempFolder().Files(); });
  for (const auto& file : files) rn([&] { file->Delete(true); });
  rn([&] { AddIn().CachedFiles(nullptr); });
}

void SavePicturesToTempFolder(const std::shared_ptr<host::Attachments>& attachments) {
  std::int16_t count = 0;
  runtime::ResumeNext rn;
  rn([&] {
    if (!attachments) runtime::Raise(runtime::err::kObjectVariableNotSet);
    count = runtime::CInt(static_cast<double>(attachments->Count()));
  });
  SavePictures(count, [&](long i) { return LateBound(attachments->Item(i)); });
}

void SavePicturesToTempFolder(const std::vector<std::shared_ptr<LateAttachment>>& attachments) {
  std::int16_t count = 0;
  runtime::ResumeNext()([&] { count = runtime::CInt(static_cast<double>(attachments.size())); });
  SavePictures(count, [&](long i) { return attachments.at(static_cast<std::size_t>(i - 1)); });
}

std::string GetUniqueTempFileName(const std::string& fileName) { return UniqueTempName(fileName, nullptr); }

std::string ResolveTempFileName(const std::string& folderItemName) {
  std::string resolved = folderItemName;
  runtime::ResumeNext()([&] {
    auto fs = names::RequireFSO();
    const auto files = TempFolder().Files();
    // A dot in the shown name proves nothing: "my.photo" may be my.photo.jpg.
    for (const auto& file : files) {
      if (file->Name() == folderItemName) return;
    }
    for (const auto& file : files) {
      const std::string name = file->Name();
      if (fs->GetBaseName(name) == folderItemName) {
        resolved = name;
        return;
      }
    }
  });
  return resolved;
}

std::string ResolveTempFileName(const platform::controls::FolderItem& item) {
  const std::string folder = TempFolderPath();
  const std::string own = item.FileName();
  const bool inFolder = runtime::ValueOr(
      [&] {
        return !folder.empty() && item.Path() == platform::JoinPath(folder, own) &&
               names::RequireFSO()->FileExists(item.Path());
      },
      false);
  return inFolder ? own : ResolveTempFileName(item.Name());
}

}  // namespace lumivane::modPictureAttachments
