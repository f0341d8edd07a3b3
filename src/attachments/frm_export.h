#pragma once
// The export dialog ("Export Attachments"): exports the attachments of the
// selected messages, of every message of the current folder, or of the one
// message on show, into a folder in one run, with a type filter, the subject
// worked into the names or a subfolder per message, a report attached to each
// message and, if asked, deletion of what was exported. Its options are kept
// in the settings for the next time.
//
// Callers set CallingMode (and, from a message window or the preview window,
// CurrentMessage), show it modally, and unload it afterwards; OK runs an
// export and leaves the dialog open, Cancel sets Cancelled and hides it.
// ShowExportForm does exactly that.

#include <memory>
#include <string>

#include "platform/forms/fm_check_box.h"
#include "platform/forms/form.h"
#include "platform/forms/msforms.h"

namespace host {
class Item;
}

namespace lumivane {

// The window that opened the dialog.
enum class lvwCallingMode : long { Explorer = 0, Inspector = 1, Wizard = 2 };

class frmExport : public platform::forms::Form {
 public:
  frmExport() : Form("frmExport") {}

  template <class T>
  using Control = platform::forms::FormControl<T>;
  using Label = platform::forms::Label;
  using TextBox = platform::forms::TextBox;
  using Option = platform::forms::msforms::OptionButton;
  using Check = platform::forms::msforms::CheckBox;

  Control<Label> lblCaption{this, "lblCaption"};
  Control<Label> lblMessages{this, "lblMessages"};
  Control<Option> optSelectedMessages{this, "optSelectedMessages"};
  Control<Option> optAllMessages{this, "optAllMessages"};
  Control<Label> lblMessageCount{this, "lblMessageCount"};
  Control<Label> lblSavePath{this, "lblSavePath"};
  Control<TextBox> txtSavePath{this, "txtSavePath"};
  Control<Label> lblBrowse{this, "lblBrowse"};
  Control<Label> lblNaming{this, "lblNaming"};
  Control<Option> optOutputFolder{this, "optOutputFolder"};
  Control<Option> optEmailFolders{this, "optEmailFolders"};
  Control<Option> optAppendSubject{this, "optAppendSubject"};
  Control<Option> optAppendSubjectToEnd{this, "optAppendSubjectToEnd"};
  Control<Label> lblAppendSep{this, "lblAppendSep"};
  Control<TextBox> txtSep{this, "txtSep"};
  Control<Check> chkUseAppendSubstitution{this, "chkUseAppendSubstitution"};
  Control<TextBox> txtSubstitutionAppend{this, "txtSubstitutionAppend"};
  Control<Label> lblFileTypes{this, "lblFileTypes"};
  Control<Option> optAll{this, "optAll"};
  Control<Option> optImagesOnly{this, "optImagesOnly"};
  Control<Option> optExcludeImages{this, "optExcludeImages"};
  Control<Option> optSpecifiedFileTypes{this, "optSpecifiedFileTypes"};
  Control<TextBox> txtSpecifiedFileTypes{this, "txtSpecifiedFileTypes"};
  Control<Check> chkIncludeReport{this, "chkIncludeReport"};
  Control<Check> chkDelete{this, "chkDelete"};
  Control<platform::forms::CommandButton> cmdOK{this, "cmdOK"};
  Control<platform::forms::CommandButton> cmdCancel{this, "cmdCancel"};
  Control<platform::forms::Image> imgHelp{this, "imgHelp"};

  // Own members: none of them loads the form.
  bool Cancelled() const { return m_blnCancelled; }
  void Cancelled(bool value) { m_blnCancelled = value; }
  lvwCallingMode CallingMode() const { return m_lngCallingMode; }
  void CallingMode(lvwCallingMode value) { m_lngCallingMode = value; }
  // The message on show in the window that opened the dialog (Inspector and
  // Wizard modes): the one message exported then.
  std::shared_ptr<host::Item> CurrentMessage() const { return m_objCurrentMessage; }
  void CurrentMessage(std::shared_ptr<host::Item> item) { m_objCurrentMessage = std::move(item); }

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  void LayOut();
  bool FromExplorer() const { return m_lngCallingMode == lvwCallingMode::Explorer; }
  void ShowMessageCount(bool allMessages);
  void SelectStoredOptions();
  void AppendOptions_Click(bool enabled);
  void FileOptions_Click();
  void FilterKeyPress(int& KeyAscii);
  void lblBrowse_Click();
  void cmdOK_Click();
  bool CheckOK();
  void StoreOptions();
  void cmdCancel_Click();
  void imgHelp_Click();
  void BatchSaveAttachments(bool allMessages);

  bool m_blnCancelled = false;
  lvwCallingMode m_lngCallingMode = lvwCallingMode::Explorer;
  std::shared_ptr<host::Item> m_objCurrentMessage;
};

// Shows the export dialog modally for the window that asks (with the message
// on show from a message window or the preview window) and unloads it once
// it is closed, cancelled or not. An error of the modal show reaches the
// caller after the dialog was unloaded.
void ShowExportForm(lvwCallingMode mode, std::shared_ptr<host::Item> message = nullptr);

}  // namespace lumivane
