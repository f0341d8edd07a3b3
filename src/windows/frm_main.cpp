// The preview window: its design, opening, picture collection, lifecycle
// and closing. The task pane's bars and texts are in frm_main_pane.cpp, the
// layout of the thumbnail area in frm_main_layout.cpp.

#include "windows/frm_main.h"

#include "attachments/attachments.h"
#include "host/outlook.h"
#include "host/store.h"
#include "pictures/image_files.h"
#include "platform/path.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "runtime/text.h"
#include "settings/addin_state.h"
#include "settings/app.h"
#include "settings/helpers.h"
#include "settings/reg_routines.h"
#include "settings/reg_settings.h"
#include "windows/frm_settings.h"

namespace lumivane {

using runtime::Ref;

namespace {

namespace forms = platform::forms;
namespace controls = platform::controls;
namespace mpa = modPictureAttachments;

// How long a view change waits for the browser before it goes on without
// the view, and the steps in which it lets other events run meanwhile.
constexpr int kBrowserWaitMs = 3000;
constexpr int kBrowserPumpMs = 50;

// The pictures of the image lists are resources of the add-in.
constexpr long kFirstItemIcon = 200;
constexpr long kItemIcons = 18;
constexpr long kFirstTitleIcon = 230;
constexpr long kTitleIcons = 3;

runtime::OnError Handler(const char* procedure) { return ErrorBox(procedure, runtime::ModuleKind::Form, "frmMain"); }

std::string Resource(long id) { return platform::JoinPath(ResourceFolder(), std::to_string(id) + ".bmp"); }

// The slideshow shows the same files; the folder stays while it is open.
bool SlideshowLoaded() {
  for (const auto& form : forms::Forms())
    if (form->Name() == "frmSlideshow") return true;
  return false;
}

}  // namespace

frmMain::frmMain() : Form("frmMain") {}

void frmMain::Design() {
  Caption("Lumivane");
  Width(9900);
  Height(7200);

  wbThumbnails->Left(3510);
  wbThumbnails->Top(390);
  wbThumbnails->Width(6020);
  wbThumbnails->Height(5805);
  wbThumbnails->Tag("TTTT");

  vbalExplorerBarCtl1->Left(0);
  vbalExplorerBarCtl1->Top(390);
  vbalExplorerBarCtl1->Width(3495);
  vbalExplorerBarCtl1->Height(5805);
  vbalExplorerBarCtl1->Tag("FTFT");
  vbalExplorerBarCtl1->ItemClick = [this](const std::shared_ptr<controls::ExplorerBarItem>& itm) {
    vbalExplorerBarCtl1_ItemClick(itm);
  };

  for (long i = 0; i < kItemIcons; ++i)
    ilsIcons->Add(Resource(kFirstItemIcon + i), i == 9 ? "Hide" : i == 10 ? "Show" : "");
  for (long i = 0; i < kTitleIcons; ++i) ilsTitleIcons->Add(Resource(kFirstTitleIcon + i));

  TimerForImageOpening->Interval(500);
  TimerForImageOpening->Enabled(false);
  TimerForImageOpening->Tick = [this] { TimerForImageOpening_Timer(); };

  // The command bar along the top edge; it stretches with the window.
  cmdBar(0).Move(0, 0, ScaleWidth(), 375);
  cmdBar(0).Tag("TFTF");
  cmdBar(0).FontName("MS Sans Serif");
  cmdBar.Wire([this](controls::CommandBar& bar) {
    controls::CommandBar* element = &bar;
    bar.ButtonClick = [this, element](const std::shared_ptr<controls::CommandBarButton>& btn) {
      cmdBar_ButtonClick(element->Index(), btn);
    };
    bar.NewBarInstance = [this, element](controls::CommandBar*& obj) { cmdBar_NewBarInstance(element->Index(), obj); };
  });
  // Both sit in panels of the command bar once it is built.
  lblOpenWith->Caption("Open with:");
  lblOpenWith->ToolTipText("Click lable to toggle view incrementally");
  lblOpenWith->Move(2520, 75, 750, 255);
  cboImageViewers->ToolTipText(
      "Select a supported application to load the selected picture(s) (NOTE: web browsers cannot display .tif or "
      ".png files)");
  cboImageViewers->Move(3300, 15, 3750, 315);
  cboImageViewers->Click = [this] { cboImageViewers_Click(); };

  TagAnchor1->Left(120);
  TagAnchor1->Top(6300);

  cmdClose->Caption("&Close");
  cmdClose->Left(8565);
  cmdClose->Top(6300);
  cmdClose->Width(1095);
  cmdClose->Height(375);
  cmdClose->Tag("FFTT");
  cmdClose->Click = [this] { cmdClose_Click(); };

  cmdAlignThumbnailWindow->Caption("Align Thumbnail Window...");
  cmdAlignThumbnailWindow->Left(6030);
  cmdAlignThumbnailWindow->Top(6300);
  cmdAlignThumbnailWindow->Width(2415);
  cmdAlignThumbnailWindow->Height(375);
  cmdAlignThumbnailWindow->Tag("FFTT");
  cmdAlignThumbnailWindow->Visible(false);
  cmdAlignThumbnailWindow->Click = [this] { cmdAlignThumbnailWindow_Click(); };
}

// ---- the pictures ----

void frmMain::BuildImageCollection(const std::shared_ptr<host::Attachments>& objAttachments) {
  auto eh = Handler("BuildImageCollection");
  eh([&] { m_objImageFiles = std::make_shared<ImageFiles>(); });
  eh([&] { CurrentMessage(Ref(objAttachments).Parent()); });
  std::shared_ptr<runtime::Collection<std::string>> cached;
  std::string folder;
  std::int16_t count = 0;
  eh([&] {
    cached = Ref(g_objAddInState).CachedFiles();
    folder = Ref(g_objAddInState).TempFolderPath();
    count = runtime::CInt(static_cast<double>(Ref(cached).Count()));
  });
  for (std::int16_t i = 1; i <= count; ++i) {
    std::string own;
    std::string stored;
    eh([&] {
      const std::string entry = cached->Item(i);
      // The key is the stored name: read it from there, so that a ";" in
      // the attachment's own name does not split the entry in the wrong place.
      const std::optional<std::string>& key = cached->KeyOf(i);
      if (key && *key == entry) {
        own = entry;
      } else if (key && entry.size() > key->size() && entry.ends_with(";" + *key)) {
        own = entry.substr(0, entry.size() - key->size() - 1);
        stored = *key;
      } else {
        const auto semicolon = entry.rfind(';');
        own = entry.substr(0, semicolon);
        if (semicolon != std::string::npos) stored = entry.substr(semicolon + 1);
      }
    });
    const std::string file = stored.empty() ? own : stored;
    std::shared_ptr<ImageFile> picture;
    eh([&] { picture = Ref(m_objImageFiles).Add(platform::JoinPath(folder, file), file); });
    eh([&] {
      Ref(picture).OriginalFileName(stored);
      picture->FileName(own);
    });
  }
}

// ---- loading ----

void frmMain::Form_Load() {
  loading_ = true;
  closeAfterLoad_ = false;
  runtime::ResumeNext rn;
  rn([&] { m_blnClassicView = mpa::IsClassicViewEnabled(); });
  rn([&] { Caption("Lumivane [message: '" + runtime::Left(Ref(m_objMessage).Subject(), 27) + "...']"); });
  LoadCommandBar();
  rn([&] { wbThumbnails->Navigate(Ref(g_objAddInState).TempFolderPath()); });
  long last = 0;
  rn([&] { last = Ref(g_objSettings).WizardFormImageControlLastViewedState(); });
  rn([&] { ChangeThumbnailViewUsingEnums(last != 0 ? last : controls::fvmThumbstrip); });
  if (!IsLoaded()) return;
  // A stored mode that names no view leaves the check marks as they are.
  CheckViewEntry(last != 0 ? mpa::GetThumbnailViewName(last) : "FILMSTRIP");

  rn([&] {
    m_objCurFolderView = wbThumbnails->Document();
    m_objCurFolderViewEvents =
        Ref(m_objCurFolderView)
            .SelectionChanged.Subscribe([this] { m_objCurFolderView_SelectionChanged(); }, weak_from_this());
  });
  rn([&] {
    m_objCurFolderViewVerbs =
        Ref(m_objCurFolderView)
            .DefaultVerbInvoked.Subscribe(
                [this](bool& runShellAction) { runShellAction = m_objCurFolderView_DefaultVerbInvoked(); },
                weak_from_this());
  });
  rn([&] { m_objCurFolder = Ref(m_objCurFolderView).Folder(); });
  rn([&] { m_objFolderItems = Ref(m_objCurFolder).Items(); });
  LoadViewerCombo();

  std::string dumpDirectory;
  rn([&] { dumpDirectory = Ref(g_objSettings).PictureDumpDirectory(); });
  rn([&] { vbalExplorerBarCtl1->Redraw(false); });
  rn([&] { vbalExplorerBarCtl1->ItemImages(&*ilsIcons); });
  rn([&] { vbalExplorerBarCtl1->TitleImages(&*ilsTitleIcons); });
  BuildSpecialBar(dumpDirectory);
  BuildDCFBar();
  BuildDetailsBar();
  rn([&] { vbalExplorerBarCtl1->Redraw(true); });

  rn([&] {
    if (Ref(g_objSettings).DebugMode()) cmdAlignThumbnailWindow->Visible(true);
  });
  rn([&] { SizeBrowser(); });
  SelectFirstPicture();
  Loaded(true);

  loading_ = false;
  if (closeAfterLoad_) {
    std::weak_ptr<Form> self = weak_from_this();
    deferredClose_.Start(1, false, [self] {
      if (auto form = self.lock()) forms::Unload(*form);
    });
  }
}

void frmMain::SelectFirstPicture() {
  runtime::ResumeNext rn;
  std::shared_ptr<controls::FolderItem> item;
  rn([&] {
    item = Ref(m_objFolderItems).Item(0);
    if (item && mpa::GetExtension(item->Name()) == ".db") item = m_objFolderItems->Item(1);
  });
  rn([&] { SelectInView(item); });
}

void frmMain::SelectInView(const std::shared_ptr<controls::FolderItem>& item) {
  runtime::ResumeNext rn;
  for (long flags : {controls::SVSI_FOCUSED, controls::SVSI_DESELECTOTHERS, controls::SVSI_SELECT})
    rn([&] { Ref(m_objCurFolderView).SelectItem(item, flags); });
}

void frmMain::ChangeThumbnailViewUsingEnums(long ViewType) {
  if (!WaitForBrowser()) return;
  Ref(wbThumbnails->Document()).CurrentViewMode(ViewType);
}

bool frmMain::WaitForBrowser() {
  auto self = shared_from_this();  // the events run meanwhile must not end the window under us
  for (int waited = 0; wbThumbnails->ReadyState() < controls::READYSTATE_INTERACTIVE; waited += kBrowserPumpMs) {
    if (waited >= kBrowserWaitMs) return false;
    forms::Loop().Wait(kBrowserPumpMs);
    if (!IsLoaded()) return false;
  }
  return true;
}

// ---- the form's events ----

void frmMain::FormMode(long eFormMode) {
  runtime::ResumeNext rn;
  m_eFormMode = eFormMode;
  long show = 0;
  bool known = true;
  rn([&] {
    switch (eFormMode) {
      case FullWizard: show = Ref(g_objSettings).ShowTaskPaneInFullWizard(); break;
      case HorizontalWizard: show = Ref(g_objSettings).ShowTaskPaneInHorizontalWizard(); break;
      case VerticalWizard: show = Ref(g_objSettings).ShowTaskPaneInVerticalWizard(); break;
      default: known = false;
    }
  });
  if (!known || rn.Err()) return;
  rn([&] { HideExplorerBar(show == 0); });
}

void frmMain::Form_Activate() { g_blnWizardOnTopPending = false; }

void frmMain::Form_Resize() {
  runtime::ResumeNext()([&] { TagAnchor1->DoResize(); });
}

void frmMain::Form_MouseMove(int, int, float, float) {}

void frmMain::cmdClose_Click() { forms::Unload(*this); }

void frmMain::Form_QueryUnload(int& Cancel, int) {
  if (loading_) {
    // Tearing the window down in the middle of its own loading would leave
    // the loading working on controls that are gone.
    Cancel = 1;
    closeAfterLoad_ = true;
    return;
  }
  SaveViewerSettings();
}

void frmMain::Form_Unload(int&) {
  runtime::ResumeNext rn;
  if (m_eFormMode != FullWizard) {
    rn([&] {
      // Only a message window that is still open: asking for one of a closed
      // item must not open it again.
      auto inspector = Ref(m_objMessage).GetInspector();
      if (inspector && !inspector->Closed()) inspector->WindowState(host::OlWindowState::olMaximized);
    });
  }
  Loaded(false);
  m_objImageFiles.reset();
  rn([&] {
    if (!SlideshowLoaded()) mpa::ClearTempFolder();
  });
  rn([&] {
    if (g_objSettings) g_objSettings->Update();
  });
  m_objMessage.reset();
  m_objSelectedViewer.reset();
  m_objDetailsBar.reset();
  m_objCurFolder.reset();
  m_objCurFolderViewEvents.reset();
  m_objCurFolderViewVerbs.reset();
  m_objCurFolderView.reset();
  m_intOpenIndex = 0;
  PreviewToolbarStyleHook() = nullptr;
  m_objFolderItems.reset();
  deferredClose_.Stop();
}

// ---- the shell's folder view setting ----

bool mpa::IsClassicViewEnabled() {
  auto eh = ErrorBox("IsClassicViewEnabled", runtime::ModuleKind::Module, "modPictureAttachments");
  bool classic = false;
  eh([&] {
    RegRoutines routines;
    const auto values = routines.EnumRegistryValues(
        platform::registry::HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\");
    for (long i = 1; i <= values.Count(); ++i) {
      const runtime::VariantArray& value = values.Item(i);
      if (value.at(0).kind() != runtime::Variant::Kind::String || value.at(0).AsString() != "WebView") continue;
      // Only the number 0; a text "0" is not the shell's setting.
      classic = value.at(1).kind() == runtime::Variant::Kind::Long && value.at(1).AsLong() == 0;
      return;
    }
  });
  return classic;
}

}  // namespace lumivane
