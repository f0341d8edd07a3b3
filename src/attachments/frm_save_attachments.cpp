#include "attachments/frm_save_attachments.h"

#include "attachments/file_names.h"
#include "platform/forms/event_loop.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/ui.h"
#include "platform/fso/fso.h"
#include "platform/path.h"
#include "platform/shell/programs.h"
#include "runtime/handlers.h"
#include "runtime/locale.h"
#include "settings/helpers.h"

namespace lumivane {

namespace {

namespace forms = platform::forms;

// A folder would have to hold this many files of one stem before the
// proposals run out; the loop stops there rather than trust the disk.
constexpr int kMaxProposals = 100000;

// The page of the maker's web site on saving attachments.
constexpr const char* kSaveAttachmentsHelpPage = "http://www.quenstor.com/lumivane/help/saveattachments.htm";

}  // namespace

void frmSaveAttachments::NewFilename(std::string value) {
  m_strNewFilename = std::move(value);
  // Clearing the answers after the form was closed must not load it again
  // just to empty a text box; Form_Load shows the name when it next loads.
  if (IsLoaded()) txtRename->Text(m_strNewFilename);
}

void frmSaveAttachments::Design() {
  FontName("Arial");
  Caption("Overwrite File?");
  BorderStyle(forms::vbFixedDialog);
  Width(8010);
  Height(3705);
  // Twips: the warning on the left, the question beside it, the renaming
  // rules below, the buttons in one row at the bottom.
  Image1->Move(180, 180, 480, 480);
  lblMessage->Move(840, 180, 6780, 720);
  imgHelp->Move(7320, 1020, 300, 300);
  Label1->Move(840, 1020, 3000, 240);
  optIncNum->Move(1020, 1290, 6600, 300);
  optAppendDate->Move(1020, 1620, 6600, 510);
  Label2->Move(840, 2265, 1950, 270);
  txtRename->Move(2850, 2205, 4770, 330);
  const std::vector<forms::CommandButton*> row = {&*cmdYes,       &*cmdYesToAll,  &*cmdNo,
                                                  &*cmdUseRename, &*cmdRenameAll, &*cmdCancel};
  for (std::size_t i = 0; i < row.size(); ++i) row[i]->Move(150 + 1290.0f * static_cast<float>(i), 2760, 1170, 390);
  Label1->Caption("Renaming Options:");
  Label2->Caption("Suggested file name:");
  optIncNum->Caption("Append incremental numbers (file_1.jpg, file_2.jpg, etc.)");
  optIncNum->Value(true);
  optAppendDate->Caption(
      "Append current date (file1 - MM-DD-YYYY.jpg); use incremental numbering if necessary for files with existing "
      "date stamp");
  cmdYes->Caption("&Overwrite");
  cmdYesToAll->Caption("Overwrite &All");
  cmdNo->Caption("&No");
  cmdUseRename->Caption("&Rename");
  cmdRenameAll->Caption("Rename A&ll");
  cmdCancel->Caption("Cancel");
  cmdNo->TabIndex(0);  // the safe answer has the focus
  imgHelp->ToolTipText("Click here for online help about saving attachments on the Quenstor web site");
  Image1->Picture("Warning");
  imgHelp->Picture("Help");
  Image1->ToolTipText("Warning!");

  optIncNum->Click = [this] { GenerateFilename(); };
  optAppendDate->Click = [this] { GenerateFilename(); };
  cmdYes->Click = [this] { cmdYes_Click(); };
  cmdYesToAll->Click = [this] { cmdYesToAll_Click(); };
  cmdNo->Click = [this] { cmdNo_Click(); };
  cmdUseRename->Click = [this] { cmdUseRename_Click(); };
  cmdRenameAll->Click = [this] { cmdRenameAll_Click(); };
  cmdCancel->Click = [this] { cmdCancel_Click(); };
  imgHelp->Click = [this] { imgHelp_Click(); };
  imgHelp->MouseMove = [](int, int, float, float) { modPictureAttachments::ShowHandCursor(); };
}

void frmSaveAttachments::Form_Load() { txtRename->Text(m_strNewFilename); }

void frmSaveAttachments::GenerateFilename(const std::string& FilenameAlt) {
  runtime::ResumeNext rn;
  const std::string& name = FilenameAlt.empty() ? m_strFileName : FilenameAlt;
  bool byDate = false;
  rn([&] { byDate = optAppendDate->Value(); });
  rn([&] { MakeAlternateFilename(name, byDate ? RenameRule::AppendDate : RenameRule::IncrementalNumber); });
  rn([&] {
    lblMessage->Caption("The file '" + m_strFileName + "' already exists " + "in the '" + m_strFilePath +
                        "' directory.  Do you wish to overwrite it?" +
                        "  Click 'Rename' to use the suggested file name.");
  });
}

void frmSaveAttachments::MakeAlternateFilename(const std::string& name, RenameRule rule) {
  const std::string proposal = rule == RenameRule::AppendDate
                                   ? names::DatedFileName(name, runtime::Format(forms::Now(), "mm-dd-yyyy"))
                                   : names::NumberedFileName(name);
  NewFilename(proposal);
  auto fso = names::RequireFSO();
  for (int tries = 0; tries < kMaxProposals; ++tries) {
    if (!fso->FileExists(platform::JoinPath(m_strFilePath, m_strNewFilename))) return;
    NewFilename(names::NumberedFileName(m_strNewFilename));
  }
}

bool frmSaveAttachments::CheckTypedName() {
  if (names::IsValidFileName(txtRename->Text(), m_strFileName)) return true;
  names::ShowInvalidFileNameMessage();
  return false;
}

void frmSaveAttachments::cmdYes_Click() {
  m_blnOverwrite = true;
  runtime::ResumeNext()([&] { Hide(); });
}

void frmSaveAttachments::cmdYesToAll_Click() {
  m_blnOverwrite = true;
  m_blnApplyToAll = true;
  runtime::ResumeNext()([&] { Hide(); });
}

void frmSaveAttachments::cmdNo_Click() {
  m_blnSkippedFile = true;
  runtime::ResumeNext()([&] { Hide(); });
}

void frmSaveAttachments::cmdUseRename_Click() {
  runtime::ResumeNext rn;
  bool valid = false;
  rn([&] { valid = CheckTypedName(); });
  if (!valid) return;
  rn([&] { NewFilename(txtRename->Text()); });
  rn([&] { Hide(); });
}

void frmSaveAttachments::cmdRenameAll_Click() {
  runtime::ResumeNext rn;
  bool valid = false;
  rn([&] { valid = CheckTypedName(); });
  if (!valid) return;
  rn([&] { NewFilename(txtRename->Text()); });
  m_blnApplyToAll = true;
  rn([&] { Hide(); });
}

void frmSaveAttachments::cmdCancel_Click() {
  m_blnCancelled = true;
  runtime::ResumeNext()([&] { forms::Unload(*this); });
}

void frmSaveAttachments::imgHelp_Click() {
  runtime::ResumeNext rn;
  rn([&] {
    platform::shell::StartProgram(std::string("explorer.exe") + " " + kSaveAttachmentsHelpPage,
                                  platform::shell::vbNormalFocus);
  });
}

}  // namespace lumivane
