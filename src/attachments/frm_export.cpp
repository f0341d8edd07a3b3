#include "attachments/frm_export.h"

#include <array>
#include <exception>

#include "attachments/batch_export.h"
#include "attachments/browse_for_folder.h"
#include "attachments/file_names.h"
#include "host/outlook.h"
#include "host/store.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/screen.h"
#include "platform/fso/fso.h"
#include "platform/shell/programs.h"
#include "runtime/convert.h"
#include "runtime/ref.h"
#include "settings/addin_state.h"
#include "settings/app.h"
#include "settings/helpers.h"
#include "settings/reg_settings.h"

namespace lumivane {

using runtime::Ref;

namespace {

namespace forms = platform::forms;

// The page of the maker's web site on exporting attachments.
constexpr const char* kExportHelpPage = "http://www.quenstor.com/lumivane/help/exportattachments.htm";

// The option groups in the order the settings number them.
template <class F>
std::array<forms::msforms::OptionButton*, 4> ExportOptionsOf(F& f) {
  return {&*f.optOutputFolder, &*f.optEmailFolders, &*f.optAppendSubject, &*f.optAppendSubjectToEnd};
}
template <class F>
std::array<forms::msforms::OptionButton*, 4> FileOptionsOf(F& f) {
  return {&*f.optImagesOnly, &*f.optExcludeImages, &*f.optAll, &*f.optSpecifiedFileTypes};
}
constexpr long kDefaultExportOption = 0;  // optOutputFolder
constexpr long kDefaultFileOption = 2;    // optAll

long SelectedIndex(const std::array<forms::msforms::OptionButton*, 4>& group, long fallback) {
  for (std::size_t i = 0; i < group.size(); ++i)
    if (group[i]->Value()) return static_cast<long>(i);
  return fallback;
}

// A check box as a stored Boolean: True is -1.
long AsStored(bool value) { return value ? -1 : 0; }

host::Explorer& ActiveExplorer() { return Ref(Ref(g_objOutlook).ActiveExplorer()); }

}  // namespace

void frmExport::Design() {
  Caption("Export Attachments");
  BorderStyle(forms::vbFixedDialog);
  FontName("Arial");
  // Wide enough for the captions in the desktop's font.
  Width(9900);
  Height(9030);

  lblMessages->Caption("Export attachments:");
  optSelectedMessages->GroupName("Messages");
  optSelectedMessages->Caption("From Selected Messages (Default)");
  optSelectedMessages->Value(true);
  optAllMessages->GroupName("Messages");
  optAllMessages->Caption("All Messages in Folder");
  lblSavePath->Caption("Export to this folder:");
  lblBrowse->Caption("Browse...");
  lblBrowse->ForeColor(0xFF0000L);  // blue, as a link
  lblNaming->Caption("File names:");
  for (auto* o : ExportOptionsOf(*this)) o->GroupName("Naming");
  optOutputFolder->Caption("Save to output folder with original file name(s) (Default)");
  optEmailFolders->Caption("Save to new sub-folders named after the message Subject");
  optAppendSubject->Caption("*Append message Subject text to beginning of file name");
  optAppendSubjectToEnd->Caption("Append message Subject in brackets after the file name");
  lblAppendSep->Caption("*Use this as separator text between the Subject (or custom text as per below) and file name:");
  chkUseAppendSubstitution->Caption(
      "For both Append Options, use this custom text instead of the message Subject line:");
  lblFileTypes->Caption("File types:");
  for (auto* o : FileOptionsOf(*this)) o->GroupName("FileTypes");
  optAll->Caption("All file types (Default)");
  optImagesOnly->Caption("Only image attachments");
  optExcludeImages->Caption("Exclude image attachments");
  optSpecifiedFileTypes->Caption("Only files with these extensions (comma delimited - e.g. .bmp, .txt):");
  chkIncludeReport->Caption("Attach a report to each message listing every file saved and its folder");
  chkDelete->Caption("Delete all of the attachments that meet the criteria chosen from the message after export");
  cmdOK->Caption("OK");
  cmdOK->Default(true);
  cmdCancel->Caption("Cancel");
  cmdCancel->Cancel(true);
  imgHelp->Picture("Help");
  imgHelp->ToolTipText("Click here for online help about exporting attachments on the Quenstor web site");
  // The dependents follow the options selected when the form loads.
  for (forms::Control* c :
       {static_cast<forms::Control*>(&*lblAppendSep), static_cast<forms::Control*>(&*txtSep),
        static_cast<forms::Control*>(&*chkUseAppendSubstitution), static_cast<forms::Control*>(&*txtSubstitutionAppend),
        static_cast<forms::Control*>(&*txtSpecifiedFileTypes)})
    c->Enabled(false);
  LayOut();

  optSelectedMessages->Click = [this] { ShowMessageCount(false); };
  optAllMessages->Click = [this] { ShowMessageCount(true); };
  optOutputFolder->Click = [this] { AppendOptions_Click(false); };
  optEmailFolders->Click = [this] { AppendOptions_Click(false); };
  optAppendSubject->Click = [this] { AppendOptions_Click(true); };
  optAppendSubjectToEnd->Click = [this] { AppendOptions_Click(true); };
  for (auto* o : FileOptionsOf(*this)) o->Click = [this] { FileOptions_Click(); };
  txtSep->KeyPress = [this](int& KeyAscii) { FilterKeyPress(KeyAscii); };
  txtSubstitutionAppend->KeyPress = [this](int& KeyAscii) { FilterKeyPress(KeyAscii); };
  lblBrowse->Click = [this] { lblBrowse_Click(); };
  lblBrowse->MouseMove = [](int, int, float, float) { modPictureAttachments::ShowHandCursor(); };
  imgHelp->Click = [this] { imgHelp_Click(); };
  imgHelp->MouseMove = [](int, int, float, float) { modPictureAttachments::ShowHandCursor(); };
  cmdOK->Click = [this] { cmdOK_Click(); };
  cmdCancel->Click = [this] { cmdCancel_Click(); };
}

void frmExport::LayOut() {
  lblCaption->Move(120, 120, 9540, 420);
  lblMessages->Move(120, 660, 9540, 240);
  optSelectedMessages->Move(360, 930, 3900, 255);
  optAllMessages->Move(360, 1200, 9300, 255);
  lblMessageCount->Move(360, 1490, 9300, 240);
  lblSavePath->Move(120, 1830, 6600, 240);
  txtSavePath->Move(360, 2100, 8100, 300);
  lblBrowse->Move(8580, 2130, 1080, 240);
  lblNaming->Move(120, 2550, 9540, 240);
  optOutputFolder->Move(360, 2820, 9300, 255);
  optEmailFolders->Move(360, 3090, 9300, 255);
  optAppendSubject->Move(360, 3360, 9300, 255);
  optAppendSubjectToEnd->Move(360, 3630, 9300, 255);
  lblAppendSep->Move(600, 3930, 8100, 420);
  txtSep->Move(8760, 3960, 900, 300);
  chkUseAppendSubstitution->Move(600, 4410, 9060, 255);
  txtSubstitutionAppend->Move(840, 4710, 8820, 300);
  lblFileTypes->Move(120, 5130, 9540, 240);
  optAll->Move(360, 5400, 3900, 255);
  optImagesOnly->Move(5070, 5400, 4590, 255);
  optExcludeImages->Move(360, 5670, 3900, 255);
  optSpecifiedFileTypes->Move(360, 5940, 9300, 255);
  txtSpecifiedFileTypes->Move(600, 6240, 9060, 300);
  chkIncludeReport->Move(120, 6690, 9540, 255);
  chkDelete->Move(120, 6990, 9540, 255);
  imgHelp->Move(120, 7830, 480, 480);
  cmdOK->Move(7140, 7830, 1200, 375);
  cmdCancel->Move(8460, 7830, 1200, 375);
}

void frmExport::Form_Load() {
  runtime::ResumeNext rn;
  if (FromExplorer()) {
    rn([&] {
      lblCaption->Caption(std::string("Use the options below to specify how to export attachments from the chosen "
                                      "messages or ") +
                          "all messages in the active folder.");
    });
    rn([&] { optSelectedMessages->Caption("From Selected Messages (Default)"); });
    rn([&] { ShowMessageCount(false); });
    rn([&] { optAllMessages->Caption("All Messages in Folder " + Ref(ActiveExplorer().CurrentFolder()).Name()); });
  } else {
    rn([&] {
      lblCaption->Caption(
          m_lngCallingMode == lvwCallingMode::Inspector
              ? "Use the options below to specify how to export attachments from the currently open message."
              : "Use the options below to specify how to export attachments from the currently selected message.");
    });
    rn([&] { optSelectedMessages->Caption("From Current Message (Default)"); });
    rn([&] { Caption("Export Attachments from '" + Ref(m_objCurrentMessage).Subject() + "'"); });
    // Only the message on show is exported from a message window or the
    // preview window, never the main window's selection or folder.
    rn([&] { optAllMessages->Enabled(false); });
  }
  rn([&] { txtSavePath->Text(Ref(g_objSettings).PictureDumpDirectory()); });
  rn([&] { SelectStoredOptions(); });
}

void frmExport::SelectStoredOptions() {
  RegSettings& settings = Ref(g_objSettings);
  // A stored number that names no option selects the default one.
  long exportOption = settings.BatchSaveLastExportOption();
  if (exportOption < 0 || exportOption > 3) exportOption = kDefaultExportOption;
  long fileOption = settings.BatchSaveLastFileOption();
  if (fileOption < 0 || fileOption > 3) fileOption = kDefaultFileOption;
  runtime::ResumeNext rn;
  rn([&] { ExportOptionsOf(*this)[static_cast<std::size_t>(exportOption)]->Value(true); });
  rn([&] { FileOptionsOf(*this)[static_cast<std::size_t>(fileOption)]->Value(true); });
  rn([&] { txtSpecifiedFileTypes->Text(settings.BatchSaveFileExtensions()); });
  rn([&] { txtSep->Text(settings.AppendSubjectToAttachmentFileNameAndUseThisAsTheFollowingCharacter()); });
  rn([&] { txtSubstitutionAppend->Text(settings.AttachmentExportAppendSubstitutionText()); });
  rn([&] { chkUseAppendSubstitution->Value(settings.AttachmentExportUseAppendSubstitutionText() != 0); });
  rn([&] { chkIncludeReport->Value(settings.AttachmentExportIncludeExportReport() != 0); });
  rn([&] { chkDelete->Value(settings.AttachmentExportDeleteAfterSave() != 0); });
}

void frmExport::ShowMessageCount(bool allMessages) {
  runtime::ResumeNext rn;
  long count = 0;
  if (!FromExplorer()) {
    count = m_objCurrentMessage ? 1 : 0;
  } else if (allMessages) {
    rn([&] { count = Ref(Ref(ActiveExplorer().CurrentFolder()).Items()).Count(); });
  } else {
    rn([&] { count = Ref(ActiveExplorer().Selection()).Count(); });
  }
  const std::string text = "Number of chosen messages based on selection: " + runtime::CStr(count);
  rn([&] { lblMessageCount->Caption(allMessages ? "(" + text + ")" : text); });
}

void frmExport::AppendOptions_Click(bool enabled) {
  runtime::ResumeNext rn;
  rn([&] { txtSep->Enabled(enabled); });
  rn([&] { lblAppendSep->Enabled(enabled); });
  rn([&] { chkUseAppendSubstitution->Enabled(enabled); });
  rn([&] { txtSubstitutionAppend->Enabled(enabled); });
}

void frmExport::FileOptions_Click() {
  runtime::ResumeNext()([&] { txtSpecifiedFileTypes->Enabled(optSpecifiedFileTypes->Value()); });
}

void frmExport::FilterKeyPress(int& KeyAscii) {
  // A character is a text of its own here: "/" is refused, a blank is not.
  std::string typed;
  if (KeyAscii > 0 && KeyAscii < 0x80) typed = std::string(1, static_cast<char>(KeyAscii));
  if (names::IsValidFileName(typed)) return;
  KeyAscii = 0;
  runtime::ResumeNext()([&] { names::ShowInvalidFileNameMessage(); });
}

void frmExport::lblBrowse_Click() {
  runtime::ResumeNext rn;
  std::string folder;
  rn([&] { folder = BrowseForFolder().BrowseFolders2(hWnd(), "Select a folder to export the attachments to..."); });
  if (!folder.empty()) rn([&] { txtSavePath->Text(folder); });
}

void frmExport::imgHelp_Click() {
  runtime::ResumeNext()([&] {
    platform::shell::StartProgram(std::string("explorer.exe") + " " + kExportHelpPage, platform::shell::vbNormalFocus);
  });
}

void frmExport::cmdCancel_Click() {
  m_blnCancelled = true;
  runtime::ResumeNext()([&] { Hide(); });
}

bool frmExport::CheckOK() {
  if (optSelectedMessages->Value()) {
    if (FromExplorer()) {
      const long selected = runtime::ValueOr([] { return Ref(ActiveExplorer().Selection()).Count(); }, 0L);
      if (selected < 1) {
        forms::MsgBox("No messages are currently selected.", forms::vbExclamation, "Invalid Selection");
        return false;
      }
    } else if (!m_objCurrentMessage) {
      forms::MsgBox("There is no message on show to export the attachments from.", forms::vbExclamation,
                    "Invalid Message");
      return false;
    } else if (runtime::ValueOr([&] { return Ref(m_objCurrentMessage->Attachments()).Count(); }, 0L) == 0) {
      forms::MsgBox("The selected message does not contain any attachments.", forms::vbExclamation, "Invalid Message");
      return false;
    }
  }
  const std::string path = txtSavePath->Text();
  if (!runtime::ValueOr([&] { return !path.empty() && names::RequireFSO()->FolderExists(path); }, false)) {
    forms::MsgBox("The '" + path + "' directory is invalid or does not exists.  Please choose " + "a valid folder.",
                  forms::vbExclamation, "Invalid Folder");
    return false;
  }
  if (chkDelete->Value()) {
    // Only a Yes deletes: a box that could not be asked is a No.
    const long answer = runtime::ValueOr(
        [] {
          return forms::MsgBox("Are you sure you want to permanently delete the attachments from these messages?",
                               forms::vbQuestion | forms::vbYesNo, "Delete Attachments?");
        },
        static_cast<long>(forms::vbNo));
    if (answer != forms::vbYes) return false;
  }
  return true;
}

void frmExport::StoreOptions() {
  RegSettings& settings = Ref(g_objSettings);
  settings.BatchSaveLastExportOption(SelectedIndex(ExportOptionsOf(*this), kDefaultExportOption));
  settings.BatchSaveLastFileOption(SelectedIndex(FileOptionsOf(*this), kDefaultFileOption));
  settings.BatchSaveFileExtensions(txtSpecifiedFileTypes->Text());
  settings.AppendSubjectToAttachmentFileNameAndUseThisAsTheFollowingCharacter(txtSep->Text());
  settings.AttachmentExportAppendSubstitutionText(txtSubstitutionAppend->Text());
  settings.AttachmentExportUseAppendSubstitutionText(AsStored(chkUseAppendSubstitution->Value()));
  settings.AttachmentExportIncludeExportReport(AsStored(chkIncludeReport->Value()));
  settings.AttachmentExportDeleteAfterSave(AsStored(chkDelete->Value()));
  settings.Update();
}

void frmExport::cmdOK_Click() {
  runtime::ResumeNext rn;
  bool ready = false;
  rn([&] { ready = CheckOK(); });
  if (!ready) return;
  rn([&] { StoreOptions(); });
  bool allMessages = false;
  rn([&] { allMessages = optAllMessages->Value(); });
  rn([&] { BatchSaveAttachments(allMessages); });
}

void frmExport::BatchSaveAttachments(bool allMessages) {
  const runtime::ErrorSite site{"BatchSaveAttachments", runtime::ModuleKind::Form, "frmExport"};
  runtime::OnError eh([&](const runtime::Error& e) { ShowErrorBox(e, site, "."); });
  forms::ScreenObject& screen = forms::Screen();
  const int pointer = screen.MousePointer();
  eh([&] { screen.MousePointer(forms::vbHourglass); });
  const auto restoreCursor = [&] { eh([&] { screen.MousePointer(pointer); }); };

  ExportOptions options;
  using Naming = ExportOptions::Naming;
  using Filter = ExportOptions::Filter;
  eh([&] {
    options.folder = txtSavePath->Text();
    options.naming = static_cast<Naming>(SelectedIndex(ExportOptionsOf(*this), kDefaultExportOption));
    constexpr std::array<Filter, 4> kFilters = {Filter::ImagesOnly, Filter::ExcludeImages, Filter::All,
                                                Filter::SpecifiedFileTypes};
    options.filter = kFilters[static_cast<std::size_t>(SelectedIndex(FileOptionsOf(*this), kDefaultFileOption))];
    options.separator = txtSep->Text();
    options.useSubstitution = chkUseAppendSubstitution->Value();
    options.substitution = txtSubstitutionAppend->Text();
    options.includeReport = chkIncludeReport->Value();
    options.deleteAfterSave = chkDelete->Value();
  });
  if (options.filter == Filter::SpecifiedFileTypes &&
      !ParseExtensionList(txtSpecifiedFileTypes->Text(), options.extensions)) {
    eh([] {
      forms::MsgBox(std::string("Error parsing the list of file extensions.  Please verify that all file extensions "
                                "contain a leading period and are followed by a comma."),
                    forms::vbExclamation, "Invalid File Extension(s)");
    });
    restoreCursor();
    return;
  }

  std::vector<std::shared_ptr<host::Item>> items;
  if (!FromExplorer()) {
    items.push_back(m_objCurrentMessage);
  } else {
    eh([&] {
      host::Explorer& explorer = ActiveExplorer();
      const auto list = allMessages ? Ref(explorer.CurrentFolder()).Items() : explorer.Selection();
      items.assign(Ref(list).begin(), list->end());
    });
  }

  ExportRun run(std::move(options), eh);
  for (const auto& item : items) run.Export(item);
  run.Finish();
  restoreCursor();

  const std::int32_t count = run.Exported();
  eh([&] {
    if (count == 0)
      forms::MsgBox("No attachments met the specified conditions.", forms::vbInformation, "Nothing Exported");
    else if (count == 1)
      forms::MsgBox(std::string("1") + " attachment was exported.", forms::vbInformation, "Export Complete");
    else
      forms::MsgBox(runtime::CStr(static_cast<long>(count)) + " attachments were exported.", forms::vbInformation,
                    "Export Complete");
  });
}

void ShowExportForm(lvwCallingMode mode, std::shared_ptr<host::Item> message) {
  auto form = forms::Default<frmExport>();
  form->CallingMode(mode);
  form->CurrentMessage(std::move(message));
  std::exception_ptr failure;
  try {
    form->Show(forms::vbModal);
  } catch (...) {
    failure = std::current_exception();
  }
  forms::Unload(*form);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace lumivane
