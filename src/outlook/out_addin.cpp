#include "outlook/out_addin.h"

#include "attachments/attachments.h"
#include "attachments/frm_save_attachments.h"
#include "host/outlook.h"
#include "host/rdo.h"
#include "outlook/expl_wrap.h"
#include "outlook/insp_wrap.h"
#include "outlook/mod_outl_expl.h"
#include "pictures/image_viewers.h"
#include "pictures/viewer_discovery.h"
#include "platform/com/com.h"
#include "platform/forms/form.h"
#include "platform/forms/msgbox.h"
#include "platform/fso/fso.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "settings/app.h"
#include "settings/reg_settings.h"
#include "windows/frm_main.h"
#include "windows/frm_slideshow.h"

namespace lumivane {

using runtime::Ref;

std::shared_ptr<OutAddIn> g_objOutAddIn;

void ResetOutlookGlobals() {
  g_objOutAddIn.reset();
  g_objAddInState.reset();
  g_strProgID.clear();
  g_objOutlook.reset();
  g_objRDOSession.reset();
  g_objImageViewers.reset();
  g_colViewers.reset();
  g_colBrowsers.reset();
  g_blnOutlook2000 = false;
  g_objTempFolder.reset();
  g_objFSO.reset();
  modOutlExpl::g_colExplWraps.reset();
  modOutlExpl::g_colInspWraps.reset();
  modOutlExpl::g_blnNewExplorer = false;
  g_blnWizardOnTopPending = false;
  modOutlExpl::g_InspectorActivatedOnce = false;
  modOutlExpl::g_intExplKey = 0;
  modOutlExpl::g_intInspKey = 0;
  ExplWrap::ClickProbe() = nullptr;
  InspWrap::ClickProbe() = nullptr;
  ResetAddInGlobals();
}

namespace {

namespace forms = platform::forms;

constexpr const char* kRDOSessionProgId = "LMVUtils.LMVRDOSession";

runtime::OnError Handler(const char* procedure) {
  return ErrorBox(procedure, runtime::ModuleKind::ClassModule, "OutAddIn");
}

}  // namespace

OutAddIn::OutAddIn() : m_objState(std::make_shared<AddInState>()) {
  g_objAddInState = m_objState;
  g_objSettings = std::make_shared<RegSettings>();
}

OutAddIn::~OutAddIn() = default;

void OutAddIn::InitHandler(std::shared_ptr<host::Application> olApp, const std::string& strProgID) {
  runtime::ResumeNext rn;
  constexpr long kRefusal = forms::vbCritical | forms::vbOKOnly;
  if (!olApp) {
    rn([&] {
      forms::MsgBox("An internal Outlook error has occurred (olApp Is Nothing).  The Lumivane will be disabled.",
                    kRefusal, "Error in OutAddIn.InitHandler");
    });
    return;
  }
  rn([&] { g_strProgID = strProgID; });
  rn([&] { g_objOutlook = olApp; });

  // The outside session object works on the host's own MAPI session; when it
  // cannot be made, only the embedded-picture test does without it.
  rn([&] { g_objRDOSession = platform::com::As<host::RDOSession>(platform::com::CreateObject(kRDOSessionProgId)); });
  rn([&] { Ref(g_objRDOSession).MAPIOBJECT(Ref(olApp->Session()).MAPIOBJECT()); });
  rn([&] { m_olNameSpace = olApp->GetNamespace("MAPI"); });

  rn([&] {
    m_colExplEvents.reset();
    m_colExpl = olApp->Explorers();
    if (m_colExpl) {
      m_colExplEvents = m_colExpl->NewExplorer.Subscribe(
          [this](std::shared_ptr<host::Explorer> explorer) { m_colExpl_NewExplorer(std::move(explorer)); },
          weak_from_this());
    }
  });
  if (!m_colExpl) {
    rn([&] {
      forms::MsgBox("An internal Outlook error has occurred (olApp.Explorers is Nothing).  Lumivane will be disabled.",
                    kRefusal, "Error in OutAddin.InitHandler");
    });
    return;
  }
  long explorers = 0;
  rn([&] { explorers = m_colExpl->Count(); });
  if (explorers < 1) {
    rn([&] {
      forms::MsgBox("An internal Outlook error has occurred (Explorers = 0).  Lumivane  will be disabled.", kRefusal,
                    "Error in OutAddin.InitHandler");
    });
    return;
  }

  // The active window's toolbar is built now, before the version test below.
  rn([&] { modOutlExpl::AddExplorerWrapper(olApp->ActiveExplorer()); });

  rn([&] {
    m_colInspEvents.reset();
    m_colInsp = olApp->Inspectors();
    if (m_colInsp) {
      m_colInspEvents = m_colInsp->NewInspector.Subscribe(
          [this](std::shared_ptr<host::Inspector> inspector) { m_colInsp_NewInspector(std::move(inspector)); },
          weak_from_this());
    }
  });
  LoadSettings();
  // Sets TempFolderPath and Enabled; without the folder the add-in stays disabled.
  rn([&] { modPictureAttachments::GetTempFolder(); });
}

void OutAddIn::LoadSettings() {
  {
    auto eh = Handler("LoadSettings");
    eh([&] { g_objImageViewers = std::make_shared<ImageViewers>(); });
    eh([&] { modPictureAttachments::LoadInstalledImageViewers(); });
    eh([&] { modPictureAttachments::LoadInstalledWebBrowsers(); });
    eh([&] { g_colBrowsers = std::make_shared<ImageViewers::Entries>(); });
    eh([&] { g_colViewers = std::make_shared<ImageViewers::Entries>(); });
    long count = 0;
    eh([&] { count = Ref(g_objImageViewers).Count(); });
    for (long i = 1; i <= count; ++i) {
      eh([&] {
        auto viewer = Ref(g_objImageViewers).Item(i);
        if (!Ref(viewer).IsBrowser())
          Ref(g_colViewers).Add(viewer);
        else
          Ref(g_colBrowsers).Add(viewer);
      });
    }
  }
  runtime::ResumeNext rn;
  std::string version;
  if (rn([&] { version = Ref(g_objOutlook).Version(); }) && !version.empty() && version.front() == '9')
    g_blnOutlook2000 = true;
}

void OutAddIn::ShutdownHandler() {
  auto self = weak_from_this().lock();  // a wrapper's handler may have called us
  runtime::ResumeNext rn;
  rn([&] {
    if (forms::DefaultInstanceExists<frmMain>()) forms::Unload(*forms::Default<frmMain>());
  });
  rn([&] {
    if (forms::DefaultInstanceExists<frmSlideshow>()) forms::Unload(*forms::Default<frmSlideshow>());
  });
  rn([&] {
    if (auto form = m_objState->SaveAttachmentsForm()) forms::Unload(*form);
  });
  rn([&] { m_objState->SaveAttachmentsForm(nullptr); });
  // No window may outlive the globals it works on: whatever is still loaded goes too.
  for (const auto& form : forms::Forms()) rn([&] { forms::Unload(*form); });

  rn([&] {
    m_colInspEvents.reset();
    m_colInsp.reset();
  });
  rn([&] {
    m_colExplEvents.reset();
    m_colExpl.reset();
  });
  rn([&] { m_olNameSpace.reset(); });
  rn([&] { CachedFiles(nullptr); });

  rn([&] { g_objOutlook.reset(); });
  rn([&] { g_objRDOSession.reset(); });
  rn([&] { g_objFSO.reset(); });
  rn([&] { g_objTempFolder.reset(); });
  rn([&] { g_objImageViewers.reset(); });
  rn([&] { g_colViewers.reset(); });
  rn([&] { g_colBrowsers.reset(); });
  // Not saved here: the windows write the settings when they close.
  rn([&] { g_objSettings.reset(); });
  rn([&] { g_objRegRoutines.reset(); });
  rn([&] { modOutlExpl::g_colExplWraps.reset(); });
  // The message windows that stay open would otherwise go on running their
  // events and commands on the globals released above.
  if (auto wrappers = modOutlExpl::g_colInspWraps) {
    for (const auto& wrapper : *wrappers) rn([&] { Ref(wrapper).Unbind(); });
  }
  rn([&] { modOutlExpl::g_colInspWraps.reset(); });
}

void OutAddIn::SaveAttachmentsForm(std::shared_ptr<platform::forms::Form> form) {
  runtime::ResumeNext rn;
  if (!form) {
    rn([&] {
      if (auto held = m_objState->SaveAttachmentsForm()) forms::Unload(*held);
    });
    // The shared instance too, so that no "to all" answer reaches the next run.
    rn([&] {
      if (forms::DefaultInstanceExists<frmSaveAttachments>()) forms::Unload(*forms::Default<frmSaveAttachments>());
    });
  }
  m_objState->SaveAttachmentsForm(std::move(form));
}

bool OutAddIn::IsSelectionAvailable() {
  runtime::ResumeNext rn;
  std::shared_ptr<host::Selection> selection;
  const bool readable = rn([&] { selection = Ref(Ref(g_objOutlook).ActiveExplorer()).Selection(); });
  selection.reset();
  return readable;
}

std::shared_ptr<host::Item> OutAddIn::GetCurrentMessage() {
  auto eh = Handler("GetCurrentMessage");
  if (!IsSelectionAvailable()) return nullptr;
  std::shared_ptr<host::Selection> selection;
  long count = 0;
  if (!eh([&] { selection = Ref(Ref(g_objOutlook).ActiveExplorer()).Selection(); })) return nullptr;
  if (!eh([&] { count = Ref(selection).Count(); })) return nullptr;
  if (count == 0) {
    eh([&] {
      forms::MsgBox("You must first select a message containing a picture attachment.", forms::vbOKOnly,
                    "No Current Message");
    });
    return nullptr;
  }
  if (count > 1) {
    eh([&] { forms::MsgBox("Please select only one e-message.", forms::vbOKOnly, "Invalid Selection"); });
    return nullptr;
  }
  std::shared_ptr<host::Item> item;
  if (!eh([&] { item = selection->Item(1); }) || !item) return nullptr;
  long itemClass = 0;
  if (!eh([&] { itemClass = item->Class(); })) return nullptr;
  if (itemClass != host::olMail && itemClass != host::olPost) {
    eh([&] {
      forms::MsgBox("The Lumivane only supports e-mail or Post items.", forms::vbOKOnly, "Invalid Message Type");
    });
    return nullptr;
  }
  bool downloaded = false;
  if (!eh([&] { downloaded = modPictureAttachments::IsMessageDownloaded(item); })) return nullptr;
  if (!downloaded) {
    eh([&] {
      forms::MsgBox(std::string("Only the header has been downloaded for this message.  Until the entire item is "
                                "available, ") +
                        "any existing attachments cannot be retrieved.",
                    forms::vbExclamation, "Message Not Downloaded");
    });
    return nullptr;
  }
  bool pictures = false;
  if (!eh([&] { pictures = modPictureAttachments::DoesMessageHaveAtLeastOnePictureAttachment(item); })) return nullptr;
  if (pictures) return item;
  eh([&] { modPictureAttachments::ShowNoPictureAttachmentsMessage(); });
  return nullptr;
}

void OutAddIn::m_colExpl_NewExplorer(std::shared_ptr<host::Explorer> explorer) {
  runtime::ResumeNext rn;
  rn([&] { modOutlExpl::g_blnNewExplorer = true; });
  rn([&] { modOutlExpl::AddExplorerWrapper(explorer); });
}

void OutAddIn::m_colInsp_NewInspector(std::shared_ptr<host::Inspector> inspector) {
  runtime::ResumeNext rn;
  long itemClass = 0;
  if (!rn([&] { itemClass = Ref(Ref(inspector).CurrentItem()).Class(); })) return;
  // Appointments, contacts, tasks, notes and the rest get no wrapper.
  if (itemClass == host::olMail || itemClass == host::olPost) rn([&] { modOutlExpl::AddInspectorWrapper(inspector); });
}

}  // namespace lumivane
