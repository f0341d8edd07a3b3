// The preview window's command bar (task pane button, viewer choice, views,
// help), the viewer combo, and the picture commands of the task pane:
// opening pictures in the chosen viewer, saving, export, delete, settings
// and the slideshow.

#include <string>

#include "attachments/attachments.h"
#include "attachments/browse_for_folder.h"
#include "attachments/frm_export.h"
#include "host/store.h"
#include "pictures/image_files.h"
#include "pictures/image_viewers.h"
#include "pictures/viewer_discovery.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/screen.h"
#include "platform/path.h"
#include "platform/shell/programs.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "runtime/text.h"
#include "settings/addin_state.h"
#include "settings/app.h"
#include "settings/helpers.h"
#include "settings/reg_settings.h"
#include "windows/frm_browser_alignment.h"
#include "windows/frm_main.h"
#include "windows/frm_settings.h"
#include "windows/frm_slideshow.h"
#include "windows/window_helpers.h"

namespace lumivane {

using runtime::Ref;

namespace {

namespace forms = platform::forms;
namespace controls = platform::controls;
namespace mpa = modPictureAttachments;

constexpr const char* kPreviewHelpPage = "http://www.quenstor.com/lumivane/help/preview.htm";
constexpr const char* kFaxViewer = "Windows Picture and Fax Viewer";
constexpr long kShownImage = 9;    // the pane is shown: a click hides it
constexpr long kHiddenImage = 10;  // the pane is hidden: a click shows it
constexpr long kMoneyHelpImage = 14;
constexpr long kHelpImage = 15;
constexpr long kWhite = 0xFFFFFF;

runtime::OnError Handler(const std::string& procedure) {
  return ErrorBox(procedure, runtime::ModuleKind::Form, "frmMain");
}

struct ButtonRow {
  const char* key;
  long image;
  const char* caption;
  long style;
  const char* toolTip;
  bool captionOnBar;
};

const ButtonRow kButtons[] = {
    {"TASKPANE", kShownImage, "&Hide Task Pane", controls::cbbTaskPane, "Show/hide the Task Bar pane...", true},
    {"SEPARATOR1", -1, "", controls::cbbSeparator, "", false},
    {"VIEWERSLABEL", -1, "", controls::cbbPanel, "", true},
    {"VIEWERS", -1, "Image Viewer Applications", controls::cbbPanel,
     "Select the active image viewer application to open the selected image(s).", true},
    {"SEPARATOR2", -1, "", controls::cbbSeparator, "", false},
    {"VIEWOPTION", -1, "&Views", controls::cbbNormal, "Change the display view for images.", true},
    {"Filmstrip", -1, "Filmstri&p", controls::cbbCheck, "", false},
    {"Thumbnails", -1, "T&humbnails", controls::cbbCheck, "", false},
    {"Tiles", -1, "Tile&s", controls::cbbCheck, "", false},
    {"Icons", -1, "Ico&ns", controls::cbbCheck, "", false},
    {"List", -1, "&List", controls::cbbCheck, "", false},
    {"Details", -1, "&Details", controls::cbbCheck, "", false},
    {"SEPARATOR3", -1, "", controls::cbbSeparator, "", false},
    {"HELP", -1, "&Help...", controls::cbbNormal, "Click to access online help.", true},
};

const char* const kTaskBar[] = {"TASKPANE",   "SEPARATOR1", "VIEWERSLABEL", "VIEWERS",
                                "SEPARATOR2", "VIEWOPTION", "SEPARATOR3",   "HELP"};
const char* const kViewMenu[] = {"Filmstrip", "Thumbnails", "Tiles", "Icons", "List", "Details"};

struct ViewName {
  long mode;
  const char* name;
};
const ViewName kViewNames[] = {
    {controls::fvmIcon, "Icons"},           {controls::fvmList, "List"},  {controls::fvmDetails, "Details"},
    {controls::fvmThumbnail, "Thumbnails"}, {controls::fvmTile, "Tiles"}, {controls::fvmThumbstrip, "Filmstrip"},
};

}  // namespace

// ---- the view names ----

long mpa::GetFolderViewModeByName(const std::string& ViewName) {
  for (const auto& v : kViewNames)
    if (ViewName == v.name) return v.mode;
  return 0;
}

std::string mpa::GetThumbnailViewName(long ViewMode) {
  for (const auto& v : kViewNames)
    if (ViewMode == v.mode) return v.name;
  return {};
}

// ---- building the command bar ----

void frmMain::LoadCommandBar() {
  auto eh = Handler("LoadCommandBar");
  // The common controls need no initialising here.
  BuildCommandBar();
  eh([&] { cmdBar(0).Toolbar(cmdBar(0).Bars().Item("TASKBAR")); });
  eh([&] { cmdBar(0).Images(&*ilsIcons); });
  // The settings dialog restyles the bar of this window while it is loaded.
  std::weak_ptr<Form> self = weak_from_this();
  PreviewToolbarStyleHook() = [self](long style) {
    auto form = std::dynamic_pointer_cast<frmMain>(self.lock());
    if (!form || !form->IsLoaded()) return false;
    runtime::ResumeNext()([&] { form->cmdBar(0).Style(style); });
    form->RefreshToolbar();
    return true;
  };
}

void frmMain::BuildCommandBar() {
  auto eh = Handler("BuildCommandBar");
  eh([&] { cmdBar(0).Style(Ref(g_objSettings).ToolbarStyle()); });
  for (const ButtonRow& row : kButtons) {
    std::shared_ptr<controls::CommandBarButton> button;
    const std::string key = row.key;
    eh([&] {
      long image = row.image;
      if (key == "HELP") image = cmdBar(0).Style() == controls::cbsMoney ? kMoneyHelpImage : kHelpImage;
      button = cmdBar(0).Buttons().Add(key, image, row.caption, row.style, row.toolTip, 0, 2);
    });
    if (row.captionOnBar) eh([&] { Ref(button).ShowCaptionInToolbar(true); });
    if (key == "VIEWERSLABEL") {
      eh([&] { Ref(button).PanelControl(&*lblOpenWith); });
      eh([&] { Ref(button).PanelWidth(50); });
    } else if (key == "VIEWERS") {
      eh([&] { Ref(button).PanelWidth(250); });
      eh([&] { Ref(button).PanelControl(&*cboImageViewers); });
    } else if (key == "VIEWOPTION") {
      eh([&] { Ref(button).ShowDropDownInToolbar(true); });
    } else if (key == "Filmstrip") {
      eh([&] { Ref(button).Checked(true); });
    }
  }
  std::shared_ptr<controls::CommandBarToolbar> bar;
  eh([&] { bar = cmdBar(0).Bars().Add("TASKBAR", "Format"); });
  for (const char* key : kTaskBar) eh([&] { Ref(bar).Buttons().Add(cmdBar(0).Buttons().Item(key)); });
  eh([&] { bar = cmdBar(0).Bars().Add("VIEWMENU", ""); });
  for (const char* key : kViewMenu) eh([&] { Ref(bar).Buttons().Add(cmdBar(0).Buttons().Item(key)); });
  eh([&] { cmdBar(0).Buttons().Item("VIEWOPTION")->Bar(cmdBar(0).Bars().Item("VIEWMENU")); });
  RefreshToolbar();
}

void frmMain::RefreshToolbar() {
  runtime::ResumeNext rn;
  long style = 0;
  if (!rn([&] { style = cmdBar(0).Style(); })) return;
  rn([&] { lblOpenWith->ForeColor(style == controls::cbsMoney ? kWhite : forms::vbButtonText); });
}

void frmMain::CheckViewEntry(const std::string& key) {
  runtime::ResumeNext rn;
  std::shared_ptr<controls::CommandBarButton> chosen;
  if (!rn([&] { chosen = cmdBar(0).Buttons().Item(key); })) return;
  for (const char* entry : kViewMenu) rn([&] { cmdBar(0).Buttons().Item(entry)->Checked(false); });
  rn([&] { chosen->Checked(true); });
}

// ---- the command bar's events ----

void frmMain::cmdBar_ButtonClick(int, const std::shared_ptr<controls::CommandBarButton>& btn) {
  auto eh = Handler("cmdBar_ButtonClick");
  std::string key;
  if (!eh([&] { key = Ref(btn).Key(); })) return;
  if (key == "TASKPANE") {
    long image = -1;
    eh([&] { image = btn->IconIndex(); });
    if (image == kShownImage) {
      HideExplorerBar(true);
    } else if (image == kHiddenImage) {
      HideExplorerBar(false);
    }
    return;
  }
  if (key == "HELP") {
    eh([&] { windows::OpenWebPage(kPreviewHelpPage); });
    return;
  }
  long mode = 0;
  eh([&] { mode = mpa::GetFolderViewModeByName(runtime::Replace(btn->Caption(), "&", "")); });
  // "&Views" itself, or anything else that names no view, changes nothing:
  // storing its 0 would throw away the view the person chose last.
  if (mode == 0) return;
  eh([&] { ChangeThumbnailViewUsingEnums(mode); });
  eh([&] { Ref(g_objSettings).WizardFormImageControlLastViewedState(mode); });
  CheckViewEntry(key);
}

void frmMain::cmdBar_NewBarInstance(int, controls::CommandBar*& obj) {
  runtime::ResumeNext rn;
  std::int16_t next = 0;
  if (!rn([&] { next = runtime::Add16(runtime::CInt(static_cast<double>(cmdBar.UBound())), 1); })) return;
  rn([&] { cmdBar.Load(next); });
  rn([&] { cmdBar(next).Align(0); });
  rn([&] { obj = &cmdBar(next); });
}

void frmMain::ChangeThumbnailView(const std::string& ViewName) {
  if (!WaitForBrowser()) return;
  Ref(wbThumbnails->Document()).CurrentViewMode(mpa::GetFolderViewModeByName(ViewName));
}

void frmMain::cmdAlignThumbnailWindow_Click() {
  auto dialog = forms::Default<frmBrowserAlignment>();
  dialog->ControlToAlign(&*wbThumbnails);
  dialog->Show(forms::vbModal);
  // The dialog is unloaded when it closes; a fresh one is made next time.
  if (dialog->IsLoaded()) forms::Unload(*dialog);
  dialog->ControlToAlign(nullptr);
}

// ---- the viewer combo ----

void frmMain::LoadViewerCombo() {
  runtime::ResumeNext rn;
  rn([&] { cboImageViewers->Redraw(false); });
  long count = 0;
  rn([&] { count = Ref(g_objImageViewers).Count(); });
  std::string preferred;
  for (long i = 1; i <= count; ++i) {
    std::shared_ptr<ImageViewer> viewer;
    rn([&] { viewer = g_objImageViewers->Item(i); });
    rn([&] { cboImageViewers->AddItem(Ref(viewer).ViewerName()); });
    rn([&] {
      if (preferred.empty() && Ref(viewer).PreferredHandler()) preferred = viewer->ViewerName();
    });
  }
  if (preferred.empty()) preferred = kFaxViewer;
  rn([&] { cboImageViewers->SelectText(preferred); });
  SetSelectedImageViewer();
  rn([&] { cboImageViewers->Redraw(true); });
}

void frmMain::cboImageViewers_Click() { SetSelectedImageViewer(); }

void frmMain::SetSelectedImageViewer() {
  runtime::ResumeNext rn;
  std::string text;
  rn([&] { text = cboImageViewers->Text(); });
  if (text.empty()) return;
  rn([&] { m_objSelectedViewer = Ref(g_objImageViewers).Item(runtime::Variant(text)); });
}

void frmMain::SaveViewerSettings() {
  auto eh = Handler("SaveViewerSettings");
  std::string text;
  if (!eh([&] { text = cboImageViewers->Text(); }) || text.empty()) return;
  eh([&] { Ref(g_objSettings).DefaultViewer(text); });
  eh([&] { g_objSettings->Update(); });
  eh([&] { Ref(g_objImageViewers).SetDefaultViewer(text); });
}

// ---- opening pictures ----

void frmMain::OpenAllImages() {
  auto eh = Handler("OpenAllImages");
  eh([&] { TimerForImageOpening->Tag(""); });
  eh([&] { TimerForImageOpening->Enabled(true); });
}

void frmMain::OpenSelectedImages() {
  auto eh = Handler("OpenSelectedImages");
  long selected = 0;
  eh([&] { selected = Ref(Ref(m_objCurFolderView).SelectedItems()).Count(); });
  if (selected == 0) return;
  eh([&] { TimerForImageOpening->Tag("Selected"); });
  eh([&] { TimerForImageOpening->Enabled(true); });
}

void frmMain::TimerForImageOpening_Timer() {
  auto eh = Handler("TimerForImageOpening_Timer");
  long count = 0;
  eh([&] { count = Ref(m_objFolderItems).Count(); });
  // At the end of the folder, or beyond it, the run is over.
  if (m_intOpenIndex >= count) {
    m_intOpenIndex = 0;
    eh([&] { TimerForImageOpening->Enabled(false); });
    return;
  }
  std::shared_ptr<controls::FolderItem> item;
  eh([&] {
    item = TimerForImageOpening->Tag() == "Selected" ? Ref(Ref(m_objCurFolderView).SelectedItems()).Item(m_intOpenIndex)
                                                     : m_objFolderItems->Item(m_intOpenIndex);
  });
  bool blnCancel = false;
  if (item) {
    std::string name;
    bool picture = false;
    eh([&] {
      name = mpa::ResolveTempFileName(*item);
      picture = mpa::IsPictureExtension(mpa::GetExtension(name), false);
    });
    if (picture) OpenImage(name, blnCancel);
  }
  eh([&] { m_intOpenIndex = runtime::Add16(m_intOpenIndex, 1); });
  if (blnCancel) eh([&] { TimerForImageOpening->Enabled(false); });
}

bool frmMain::m_objCurFolderView_DefaultVerbInvoked() {
  runtime::ResumeNext rn;
  std::shared_ptr<controls::FolderItems> selected;
  rn([&] { selected = Ref(m_objCurFolderView).SelectedItems(); });
  if (!selected) return false;
  for (const auto& item : *selected) {
    std::string name;
    if (!rn([&] { name = mpa::ResolveTempFileName(*item); })) continue;
    bool blnCancel = false;
    OpenImage(name, blnCancel);
  }
  return false;
}

void frmMain::OpenImage(const std::string& FileName, bool& blnCancel) {
  std::string path;
  std::string command;
  std::string exeName;
  try {
    forms::Screen().MousePointer(forms::vbHourglass);
    path = platform::JoinPath(Ref(g_objAddInState).TempFolderPath(), FileName);
    ImageViewer& viewer = Ref(m_objSelectedViewer);
    exeName = viewer.EXEName();
    command =
        viewer.ViewerName() == kFaxViewer ? viewer.EXEPath() + " " + path : viewer.EXEPath() + " \"" + path + "\"";
    // The path is one argument whatever its name holds; no shell reads it.
    platform::shell::StartProgramOnFile(viewer.EXEPath(), path, platform::shell::vbMaximizedFocus);
    forms::Screen().MousePointer(forms::vbDefault);
  } catch (...) {
    const runtime::Error e = runtime::ToError(std::current_exception());
    // The hourglass must not outlive the failed start.
    runtime::ResumeNext()([&] { forms::Screen().MousePointer(forms::vbDefault); });
    ShowErrorBox(e, {"OpenImage", runtime::ModuleKind::Form, "frmMain"},
                 ".\r\n\r\n[error in OpenImage; file = '" + path + "; application exe path = '" + command +
                     "'; exe name = '" + exeName + "']");
    blnCancel = true;
  }
}

// ---- saving ----

// The two ways of saving differ only in these words and in which pictures
// they take.
struct SaveCommand {
  const char* procedure;
  const char* question;  // the confirmation's first words
  bool all;
};

namespace {

const SaveCommand kSaveSelected = {"SaveSelectedImagesToDefaultFolder",
                                   "Are you sure you want to save the selected picture attachment(s)", false};
const SaveCommand kSaveAll = {"SaveAllImagesToDefaultFolder",
                              "Are you sure you want to save all of the picture attachments", true};

// False when the person answers No.
bool ConfirmSave(runtime::OnError& eh, const SaveCommand& command, const std::string& FolderPath) {
  long answer = forms::vbNo;
  eh([&] {
    answer = forms::MsgBox(
        std::string(command.question) + " in the current message " + "to the '" + FolderPath + "' folder?",
        forms::vbQuestion | forms::vbYesNo, "Save Pictures?");
  });
  return answer != forms::vbNo;
}

void AddToSave(AttachmentCollection& collection, const std::shared_ptr<host::Attachment>& attachment) {
  collection.Add(attachment, Ref(attachment).FileName() + "_" + runtime::CStr(attachment->Index()));
}

// The message's attachment that a file of the temporary folder was written
// from (a duplicate stored as beach_1.jpg is the second beach.jpg), or
// nullptr when the file is no attachment of the message (any more).
std::shared_ptr<host::Attachment> SourceOf(const controls::FolderItem& item,
                                           const std::shared_ptr<host::Attachments>& attachments, long count) {
  const std::string stored = mpa::ResolveTempFileName(item);
  const auto sources = Ref(g_objAddInState).CachedSources();
  if (!sources || !sources->Contains(stored)) return nullptr;
  const auto source = sources->Item(stored).lock();
  if (!source) return nullptr;
  for (long i = 1; i <= count; ++i)
    if (auto attachment = attachments->Item(i); attachment == source) return attachment;
  return nullptr;
}

// The attachments to save, keyed FileName & "_" & Index: all of the
// message's, or (with `selected`) those the selected files were written
// from. Each one that fails is reported and skipped.
AttachmentCollection AttachmentsToSave(runtime::OnError& eh, const std::shared_ptr<host::Item>& message,
                                       const std::shared_ptr<controls::FolderItems>& selected) {
  std::shared_ptr<host::Attachments> attachments;
  long count = 0;
  eh([&] {
    attachments = Ref(message).Attachments();
    count = Ref(attachments).Count();
  });
  AttachmentCollection collection;
  if (!selected) {
    for (long i = 1; i <= count; ++i) eh([&] { AddToSave(collection, attachments->Item(i)); });
    return collection;
  }
  for (const auto& item : *selected)
    eh([&] {
      if (auto source = SourceOf(*item, attachments, count)) AddToSave(collection, source);
    });
  return collection;
}

std::string SavedText(std::int16_t saved, const std::string& path) {
  if (saved == 1) return "One image attachment has been saved to '" + path + "'.";
  return runtime::CStr(static_cast<long>(saved)) + " image attachments have been saved to '" + path + "'.";
}

}  // namespace

void frmMain::SaveSelectedImagesToFolder(const std::string& FolderPath, bool Confirm) {
  SavePictures(kSaveSelected, FolderPath, Confirm);
}

void frmMain::SaveAllImagesToFolder(const std::string& FolderPath, bool Confirm) {
  SavePictures(kSaveAll, FolderPath, Confirm);
}

void frmMain::SavePictures(const SaveCommand& command, const std::string& FolderPath, bool Confirm) {
  auto eh = Handler(command.procedure);
  std::shared_ptr<controls::FolderItems> selected;
  if (!command.all) {
    long count = 0;
    eh([&] {
      selected = Ref(m_objCurFolderView).SelectedItems();
      count = Ref(selected).Count();
    });
    if (count == 0) return;
  }
  if (Confirm && !ConfirmSave(eh, command, FolderPath)) return;
  AttachmentCollection collection = AttachmentsToSave(eh, m_objMessage, selected);
  std::string path = FolderPath;
  bool cancelled = false;
  std::int16_t saved = 0;
  eh([&] { mpa::SaveAttachments(collection, true, path, cancelled, saved); });
  if (saved == 0) return;
  eh([&] { forms::MsgBox(SavedText(saved, path), forms::vbInformation, "SAVE COMPLETE"); });
}

// ---- the task pane's commands ----

bool frmMain::RunTaskCommand(const std::string& key) {
  auto eh = Handler("vbalExplorerBarCtl1_ItemClick");
  if ((key == "OPENALL" || key == "OPENSELECTED") && !m_objSelectedViewer) {
    eh([&] {
      forms::MsgBox(std::string("You must choose an Image application from the drop down list to view the select "
                                "image(s).") +
                        "\r\n\r\n" +
                        "This situation is not expected to happen; if it happens often, please tell us by e-mail "
                        "at " +
                        std::string(mpa::kSupportAddress) + ".",
                    forms::vbExclamation, "No Selected Application");
    });
    return true;
  }
  const auto selectedCount = [&] {
    long n = 0;
    eh([&] { n = Ref(Ref(m_objCurFolderView).SelectedItems()).Count(); });
    return n;
  };
  const auto dumpDirectory = [&] {
    std::string folder;
    eh([&] { folder = Ref(g_objSettings).PictureDumpDirectory(); });
    return folder;
  };
  const auto pick = [&](const char* text) {
    std::string folder;
    eh([&] { folder = BrowseForFolder().BrowseFolders2(hWnd(), text); });
    return folder;
  };
  if (key == "SETTINGS") {
    eh([&] { mpa::ShowSettingsForm(true, this); });
  } else if (key == "SLIDESHOW") {
    // A slideshow still loaded shows the files it was loaded with: it goes
    // first, so the show is of this message's pictures.
    eh([&] {
      for (const auto& form : forms::Forms())
        if (form->Name() == "frmSlideshow") forms::Unload(*form);
    });
    eh([&] {
      bool standAlone = false;
      bool delayedLoad = false;
      mpa::ShowSlideShow(standAlone, delayedLoad);
    });
  } else if (key == "OPENALL") {
    OpenAllImages();
  } else if (key == "OPENSELECTED") {
    if (selectedCount() != 0) OpenSelectedImages();
  } else if (key == "QUICKSAVEALL") {
    SaveAllImagesToFolder(dumpDirectory(), true);
  } else if (key == "QUICKSAVESELECTED") {
    if (selectedCount() != 0) SaveSelectedImagesToFolder(dumpDirectory(), true);
  } else if (key == "CUSTOMSAVEALL") {
    const std::string folder = pick("Select the folder where you want to save all of the current pictures...");
    if (!folder.empty()) SaveAllImagesToFolder(folder, false);
  } else if (key == "CUSTOMSAVESELECTED") {
    if (selectedCount() == 0) return true;
    const std::string folder = pick("Select the folder where you want to save the selected pictures...");
    if (!folder.empty()) SaveSelectedImagesToFolder(folder, false);
  } else if (key == "DELETEATTS") {
    eh([&] { mpa::DeleteAllAttachments(m_objMessage); });
  } else if (key == "EXPORT") {
    eh([&] { ShowExportForm(lvwCallingMode::Wizard, m_objMessage); });
  } else {
    return false;
  }
  return true;
}

}  // namespace lumivane
