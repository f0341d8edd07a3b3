#pragma once
// The name-conflict dialog ("Overwrite File?"): asked by SaveAttachments
// when a file of an attachment's name is already in the target folder. It
// proposes another name by one of two rules and keeps the answer of the
// person: overwrite, overwrite all, skip, rename, rename all, or cancel the
// run. Its answers live in the form object's own fields, which survive the
// unload of Cancel and of the title-bar close for whoever holds the form.

#include <string>

#include "platform/forms/form.h"

namespace lumivane {

class frmSaveAttachments : public platform::forms::Form {
 public:
  frmSaveAttachments() : Form("frmSaveAttachments") {}

  platform::forms::FormControl<platform::forms::Label> lblMessage{this, "lblMessage"};
  platform::forms::FormControl<platform::forms::Label> Label1{this, "Label1"};
  platform::forms::FormControl<platform::forms::Label> Label2{this, "Label2"};
  platform::forms::FormControl<platform::forms::OptionButton> optIncNum{this, "optIncNum"};
  platform::forms::FormControl<platform::forms::OptionButton> optAppendDate{this, "optAppendDate"};
  platform::forms::FormControl<platform::forms::TextBox> txtRename{this, "txtRename"};
  platform::forms::FormControl<platform::forms::CommandButton> cmdYes{this, "cmdYes"};
  platform::forms::FormControl<platform::forms::CommandButton> cmdYesToAll{this, "cmdYesToAll"};
  platform::forms::FormControl<platform::forms::CommandButton> cmdNo{this, "cmdNo"};
  platform::forms::FormControl<platform::forms::CommandButton> cmdUseRename{this, "cmdUseRename"};
  platform::forms::FormControl<platform::forms::CommandButton> cmdRenameAll{this, "cmdRenameAll"};
  platform::forms::FormControl<platform::forms::CommandButton> cmdCancel{this, "cmdCancel"};
  platform::forms::FormControl<platform::forms::Image> imgHelp{this, "imgHelp"};
  platform::forms::FormControl<platform::forms::Image> Image1{this, "Image1"};

  // The proposed or typed name; setting it also shows it in txtRename.
  const std::string& NewFilename() const { return m_strNewFilename; }
  void NewFilename(std::string value);
  // The attachment's name that is in conflict.
  const std::string& FileName() const { return m_strFileName; }
  void FileName(std::string value) { m_strFileName = std::move(value); }
  // The target folder.
  const std::string& FilePath() const { return m_strFilePath; }
  void FilePath(std::string value) { m_strFilePath = std::move(value); }
  bool ApplyToAll() const { return m_blnApplyToAll; }
  void ApplyToAll(bool value) { m_blnApplyToAll = value; }
  // Proposes a name for FilenameAlt (when given and not empty) or FileName by
  // the rule selected, and puts the question into lblMessage.
  void GenerateFilename(const std::string& FilenameAlt = {});
  bool Cancelled() const { return m_blnCancelled; }
  void Cancelled(bool value) { m_blnCancelled = value; }
  bool SkippedFile() const { return m_blnSkippedFile; }
  void SkippedFile(bool value) { m_blnSkippedFile = value; }
  bool Overwrite() const { return m_blnOverwrite; }
  void Overwrite(bool value) { m_blnOverwrite = value; }

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  enum class RenameRule { IncrementalNumber, AppendDate };

  void MakeAlternateFilename(const std::string& name, RenameRule rule);
  // The typed name passes the name check; otherwise the person is told.
  bool CheckTypedName();
  void cmdYes_Click();
  void cmdYesToAll_Click();
  void cmdNo_Click();
  void cmdUseRename_Click();
  void cmdRenameAll_Click();
  void cmdCancel_Click();
  void imgHelp_Click();

  std::string m_strNewFilename;
  std::string m_strFileName;
  std::string m_strFilePath;
  bool m_blnApplyToAll = false;
  bool m_blnCancelled = false;
  bool m_blnSkippedFile = false;
  bool m_blnOverwrite = false;
};

}  // namespace lumivane
