#include "attachments/attachments.h"
#include "attachments/file_names.h"
#include "attachments/frm_save_attachments.h"
#include "host/store.h"
#include "platform/forms/msgbox.h"
#include "platform/fso/fso.h"
#include "platform/path.h"
#include "runtime/convert.h"
#include "runtime/text.h"
#include "settings/app.h"
#include "settings/helpers.h"
#include "settings/reg_settings.h"

namespace lumivane::modPictureAttachments {

namespace {

namespace forms = platform::forms;

// The steps of a save run, as the error box numbers them.
enum Line : int {
  kLineFolder = 10,
  kLineCheckFolder = 20,
  kLineName = 30,
  kLineExists = 40,
  kLineSave = 50,
  kLineAsk = 60,
  kLineAskAgain = 65,
  kLineOverwrite = 70,
  kLineRename = 80,
  kLineClear = 90,
};

bool IsPermissionError(const runtime::Error& e) {
  return runtime::InStr(e.Description(), "don't have appropriate permission", runtime::Compare::Text) > 0;
}

void RefuseFolder(const std::string& path) {
  const std::string text =
      path.empty()
          ? std::string("No folder to save the attachments to is set.  Please choose one in the Settings screen.")
          : "The '" + path + "' directory is invalid or does not exist.  No attachments were saved.";
  forms::MsgBox(text, forms::vbExclamation, "Invalid Folder");
}

void ClearAnswers(frmSaveAttachments& dialog) {
  dialog.NewFilename("");
  dialog.FileName("");
  dialog.ApplyToAll(false);
  dialog.Cancelled(false);
  dialog.SkippedFile(false);
  dialog.Overwrite(false);
}

// One save run over one message's attachments.
class SaveRun {
 public:
  SaveRun(bool picturesOnly, std::string& path) : picturesOnly_(picturesOnly), path_(path) {}

  // False when the run cannot start: no folder to save to.
  bool Prepare() {
    Step(kLineFolder, [&] {
      if (path_.empty()) {
        if (!g_objSettings) runtime::Raise(runtime::err::kObjectVariableNotSet);
        path_ = g_objSettings->PictureDumpDirectory();
      }
    });
    bool usable = false;
    Step(kLineCheckFolder, [&] { usable = !path_.empty() && names::RequireFSO()->FolderExists(path_); });
    if (stopped_) return false;
    if (!usable) Step(kLineCheckFolder, [&] { RefuseFolder(path_); });
    return usable;
  }

  void Save(const std::shared_ptr<LateAttachment>& item) {
    if (!Step(kLineName, [&] {
          if (!item) runtime::Raise(runtime::err::kObjectVariableNotSet);
        })) {
      return;
    }
    LateAttachment& attachment = *item;
    std::string name;
    if (!Step(kLineName, [&] { name = attachment.FileName(); })) return;
    if (picturesOnly_) {
      bool picture = false;
      if (!Step(kLineName, [&] { picture = IsPictureExtension(GetExtension(name), false); }) || !picture) return;
    }
    if (!names::StaysInFolder(name)) {
      Step(kLineName, [&] { names::RefuseName(name, path_); });
      return;
    }
    bool taken = false;
    if (!Step(kLineExists, [&] { taken = Exists(name); })) return;
    if (!taken) {
      SaveAs(attachment, name, kLineSave);
      return;
    }
    Settle(attachment, name);
  }

  // Every way out: the count, and no answer left for the next run.
  void Finish(std::int16_t& count) {
    count = saved_;
    if (dialog_) ClearAnswers(*dialog_);
    if (forms::DefaultInstanceExists<frmSaveAttachments>()) ClearAnswers(*forms::Default<frmSaveAttachments>());
  }

  bool Stopped() const { return stopped_; }
  bool Cancelled() const { return cancelled_; }

 private:
  // Runs one step. A permission failure tells the person and stops the run;
  // any other failure shows the common error box and the run goes on.
  template <class F>
  bool Step(int line, F&& statement) {
    if (stopped_) return false;
    try {
      statement();
      return true;
    } catch (...) {
      const runtime::Error e = runtime::ToError(std::current_exception());
      if (IsPermissionError(e)) {
        stopped_ = true;
        runtime::ResumeNext()([&] {
          forms::MsgBox("An unexpected error occurred saving the attachments to the '" + path_ +
                            "' directory.  Please try again.",
                        forms::vbExclamation, "Save Error");
        });
      } else {
        runtime::ResumeNext()([&] {
          ShowErrorBox(e, {"SaveAttachments", runtime::ModuleKind::Module, "modPictureAttachments"},
                       " (Line Number " + std::to_string(line) + "; Destination path: '" + path_ + "')");
        });
      }
      return false;
    }
  }

  bool Exists(const std::string& name) { return names::RequireFSO()->FileExists(platform::JoinPath(path_, name)); }

  // Counted only once the file is written.
  void SaveAs(LateAttachment& attachment, const std::string& name, int line) {
    if (!names::StaysInFolder(name)) {
      Step(line, [&] { names::RefuseName(name, path_); });
      return;
    }
    if (Step(line, [&] { attachment.SaveAsFile(platform::JoinPath(path_, name)); })) {
      Step(line, [&] { saved_ = runtime::Add16(saved_, 1); });
    }
  }

  // Shows the dialog and waits; true when a person answered it. A dialog that
  // cannot be shown modally is shown without waiting, and the run goes on
  // with the answers it has.
  bool Ask(frmSaveAttachments& dialog) {
    Step(kLineAsk, [&] { dialog.GenerateFilename(); });
    if (stopped_) return false;
    try {
      dialog.Show(forms::vbModal);
      return true;
    } catch (...) {
      Step(kLineAsk, [&] { dialog.Show(forms::vbModeless); });
      return false;
    }
  }

  void Settle(LateAttachment& attachment, const std::string& name) {
    // Held across the question and its answers: Cancel and the title-bar
    // close unload the shared instance, whose answers are still wanted here.
    auto dialog = forms::Default<frmSaveAttachments>();
    dialog_ = dialog;
    dialog->FileName(name);
    dialog->FilePath(path_);
    bool answered = false;
    if (dialog->ApplyToAll()) {
      Step(kLineAsk, [&] { dialog->GenerateFilename(); });
    } else {
      answered = Ask(*dialog);
    }

    // A typed name that is taken as well is asked about again rather than
    // written over; a name nobody was asked about is never written over.
    while (!stopped_ && !dialog->Cancelled() && !dialog->Overwrite() && !dialog->SkippedFile()) {
      const std::string chosen = dialog->NewFilename();
      if (chosen.empty() || !names::StaysInFolder(chosen)) break;
      bool taken = false;
      if (!Step(kLineAskAgain, [&] { taken = Exists(chosen); }) || !taken) break;
      if (!answered) {
        dialog->SkippedFile(true);
        break;
      }
      dialog->FileName(chosen);
      dialog->ApplyToAll(false);
      answered = Ask(*dialog);
    }
    if (stopped_) return;

    if (dialog->Cancelled()) {
      cancelled_ = true;
      return;
    }
    if (dialog->Overwrite()) {
      SaveAs(attachment, dialog->FileName(), kLineOverwrite);
    } else if (!dialog->SkippedFile()) {
      const std::string chosen = dialog->NewFilename();
      if (!chosen.empty()) SaveAs(attachment, chosen, kLineRename);  // an empty name saves nothing
    }
    Step(kLineClear, [&] {
      dialog->NewFilename("");
      dialog->FileName("");
      if (!dialog->ApplyToAll()) dialog->Overwrite(false);
      dialog->SkippedFile(false);
    });
  }

  bool picturesOnly_;
  std::string& path_;
  std::int16_t saved_ = 0;
  bool stopped_ = false;
  bool cancelled_ = false;
  std::shared_ptr<frmSaveAttachments> dialog_;
};

}  // namespace

void SaveAttachments(const std::vector<std::shared_ptr<LateAttachment>>& attachments, bool picturesOnly,
                     std::string& path, bool& cancelled, std::int16_t& count) {
  SaveRun run(picturesOnly, path);
  if (!run.Prepare()) {
    // No folder: every further message of the run would be refused alike.
    if (!run.Stopped()) cancelled = true;
    run.Finish(count);
    return;
  }
  for (const auto& attachment : attachments) {
    run.Save(attachment);
    if (run.Stopped()) break;
    if (run.Cancelled()) {
      cancelled = true;
      break;
    }
  }
  run.Finish(count);
}

void SaveAttachments(AttachmentCollection& attachments, bool picturesOnly, std::string& path, bool& cancelled,
                     std::int16_t& count) {
  std::vector<std::shared_ptr<LateAttachment>> late;
  for (const auto& attachment : attachments) late.push_back(LateBound(attachment));
  SaveAttachments(late, picturesOnly, path, cancelled, count);
}

}  // namespace lumivane::modPictureAttachments
