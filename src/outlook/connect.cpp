#include "outlook/connect.h"

#include "host/office.h"
#include "host/outlook.h"
#include "outlook/expl_wrap.h"
#include "outlook/insp_wrap.h"
#include "outlook/mod_outl_expl.h"
#include "outlook/out_addin.h"
#include "platform/com/com.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"

namespace lumivane {

using runtime::Ref;

namespace {

constexpr std::string_view kBarName = "Lumivane";
constexpr std::string_view kMenuBarName = "Menu Bar";

// Deletes the bar "Lumivane" of a window and the add-in's entry of one of its
// built-in menus; what is gone already is passed over.
void RemoveBarAndEntry(const std::function<std::shared_ptr<host::CommandBars>()>& bars, long menuId,
                       std::string_view entryCaption) {
  runtime::ResumeNext rn;
  rn([&] { Ref(Ref(bars()).Item(kBarName)).Delete(); });
  rn([&] {
    auto menu = Ref(bars()).Item(kMenuBarName)->FindControl({.Id = menuId});
    Ref(Ref(host::As<host::CommandBarPopup>(menu)).Controls()->Item(entryCaption)).Delete();
  });
}

}  // namespace

void Connect::OnAddInsUpdate(host::Custom&) {}
void Connect::OnBeginShutdown(host::Custom&) {}
void Connect::OnStartupComplete(host::Custom&) {}

const std::shared_ptr<OutAddIn>& Connect::AddIn() {
  if (!m_objOutAddIn) m_objOutAddIn = std::make_shared<OutAddIn>();
  return m_objOutAddIn;
}

void Connect::OnConnection(std::shared_ptr<host::Application> Application, long,
                           std::shared_ptr<host::COMAddIn> AddInInst, host::Custom&) {
  runtime::ResumeNext rn;
  // Started by another program without a window: stay idle. (An Application
  // that cannot be asked goes on, so that InitHandler can say so.)
  bool windowless = false;
  rn([&] { windowless = Ref(Ref(Application).Explorers()).Count() == 0; });
  if (windowless) return;
  rn([&] { AddIn(); });  // creating it creates the settings object
  rn([&] { g_objOutAddIn = AddIn(); });
  rn([&] {
    auto addIn = AddIn();
    addIn->InitHandler(Application, Ref(AddInInst).ProgId());
  });
}

void Connect::OnDisconnection(long RemoveMode, host::Custom&) {
  runtime::ResumeNext rn;
  // The user removed the add-in: its bars and entries go now, since the
  // windows stay open. When the host closes they go with their windows.
  if (RemoveMode == host::ext_dm_UserClosed) {
    long count = 0;
    rn([&] { count = modOutlExpl::ExplWraps().Count(); });
    for (long i = 1; i <= count; ++i) {
      std::shared_ptr<ExplWrap> wrapper;
      rn([&] { wrapper = modOutlExpl::ExplWraps().Item(i); });
      RemoveBarAndEntry([&] { return Ref(Ref(wrapper).Explorer()).CommandBars(); }, host::kIdToolsMenuExplorer,
                        "&Lumivane Settings...");
    }
    rn([&] { count = modOutlExpl::InspWraps().Count(); });
    for (long i = 1; i <= count; ++i) {
      std::shared_ptr<InspWrap> wrapper;
      rn([&] { wrapper = modOutlExpl::InspWraps().Item(i); });
      // Nothing creates this entry; looking for it is harmless.
      RemoveBarAndEntry([&] { return Ref(Ref(wrapper).Inspector()).CommandBars(); }, host::kIdToolsMenuInspector,
                        "&Preview Attachments");
    }
  }
  // Also after an idle connection: the add-in object is made only to be shut down.
  rn([&] {
    auto addIn = AddIn();
    addIn->ShutdownHandler();
  });
  rn([&] { m_objOutAddIn.reset(); });
  rn([&] { g_objOutAddIn.reset(); });
}

long DllRegisterServer() {
  platform::com::CurrentClassRegistry().Register(kProgID, [] { return std::make_shared<Connect>(); });
  return host::WriteAddInRegistration(
      {std::string(kProgID), std::string(kFriendlyName), std::string(kDescription), host::kLoadAtStartup});
}

}  // namespace lumivane
