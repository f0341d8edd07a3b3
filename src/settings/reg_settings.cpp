#include "settings/reg_settings.h"

#include <cstdint>
#include <limits>

#include "platform/registry/registry.h"
#include "runtime/convert.h"
#include "runtime/error.h"
#include "runtime/handlers.h"
#include "settings/app.h"
#include "settings/helpers.h"
#include "settings/reg_routines.h"

namespace lumivane {

std::shared_ptr<RegSettings> g_objSettings;
std::shared_ptr<RegRoutines> g_objRegRoutines;

void ResetAddInGlobals() {
  g_objSettings.reset();
  g_objRegRoutines.reset();
  modPictureAttachments::g_blnExplBarPositionUnset = false;
  modPictureAttachments::g_blnInspBarPositionUnset = false;
}

namespace {

namespace reg = platform::registry;

constexpr const char* kSettingsPath = "Software\\Quenstor\\Lumivane\\Settings";
constexpr const char* kBelowSoftware = "Quenstor\\Lumivane\\Settings";

// A Long option as the registry holds it: four bytes, so a value that does
// not fit is refused here (error 6) rather than cut down silently.
runtime::Variant Dword(long value) {
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
    runtime::Raise(runtime::err::kOverflow);
  }
  return runtime::Variant(static_cast<std::int32_t>(value));
}

RegRoutines& Shared() {
  if (!g_objRegRoutines) runtime::Raise(runtime::err::kObjectVariableNotSet);
  return *g_objRegRoutines;
}

std::string Caption(const std::string& stored, const char* standard) { return stored.empty() ? standard : stored; }

}  // namespace

RegSettings::RegSettings() { Load(); }

RegSettings::~RegSettings() {
  // A settings object that replaced this one has made a registry object of
  // its own; that one must outlive us.
  if (g_objRegRoutines && g_objRegRoutines == ownRegRoutines_.lock()) g_objRegRoutines.reset();
}

bool RegSettings::LoadLong(const char* name, long& field, long fallback) {
  field = fallback;
  runtime::ResumeNext rn;
  return rn([&] { field = runtime::CLng(values_.Item(name).at(1)); });
}

void RegSettings::LoadString(const char* name, std::string& field, std::string fallback) {
  field = std::move(fallback);
  runtime::ResumeNext rn;
  rn([&] { field = runtime::CStr(values_.Item(name).at(1)); });
}

void RegSettings::LoadBoolean(const char* name, bool& field, bool fallback) {
  field = fallback;
  runtime::ResumeNext rn;
  rn([&] { field = runtime::CBool(values_.Item(name).at(1)); });
}

void RegSettings::Load() {
  runtime::ResumeNext rn;
  rn([&] {
    g_objRegRoutines = std::make_shared<RegRoutines>();
    ownRegRoutines_ = g_objRegRoutines;
  });
  rn([&] {
    Shared().hKey(reg::HKEY_CURRENT_USER);
    Shared().KeyRoot(kSettingsPath);
  });
  rn([&] { values_ = Shared().EnumRegistryValues(reg::HKEY_CURRENT_USER, kSettingsPath); });
  if (values_.Count() == 0) {
    // Missing or empty: create it below "Software", every missing level at once.
    rn([&] { Shared().KeyRoot("Software"); });
    rn([&] { Shared().CreateKey(runtime::Variant(kBelowSoftware)); });
    rn([&] { Shared().KeyRoot(kSettingsPath); });
    rn([&] { values_ = Shared().EnumRegistryValues(reg::HKEY_CURRENT_USER, kSettingsPath); });
  }
  rn([&] { Shared().hKey(reg::HKEY_CURRENT_USER); });

  // Each option is judged by itself: one unreadable value never costs another its own.
  LoadString("DefaultViewer", defaultViewer_, "");
  LoadLong("SlideShowInterval", slideShowInterval_, 5);
  // A delay of 0 or less would keep the slideshow from advancing and the
  // automatic preview from appearing: it reads as the default.
  if (slideShowInterval_ <= 0) slideShowInterval_ = 5;
  LoadLong("AutoDisplayOptions", autoDisplayOptions_, 2);
  if (autoDisplayOptions_ == 3) autoDisplayOptions_ = 2;  // a retired choice; its place went to Wizard
  LoadLong("AutoDisplayInterval", autoDisplayInterval_, 1000);
  if (autoDisplayInterval_ <= 0) autoDisplayInterval_ = 1000;
  LoadLong("AutoDisplayCriteria", autoDisplayCriteria_, 1);
  LoadLong("ShowTaskPaneInFullWizard", showTaskPaneInFullWizard_, 1);
  LoadLong("ShowTaskPaneInHorizontalWizard", showTaskPaneInHorizontalWizard_, 1);
  LoadLong("ShowTaskPaneInVerticalWizard", showTaskPaneInVerticalWizard_, 0);
  LoadLong("ToolbarStyle", toolbarStyle_, 2);
  LoadLong("EnableAttPreviews", enableAttPreviews_, 0);
  // Read, never written: only a person editing the registry turns it on.
  LoadBoolean("DebugMode", debugMode_, false);
  LoadString("PictureDumpDirectory", pictureDumpDirectory_, "");
  LoadLong("AutoDisplayOrientationOptions", autoDisplayOrientationOptions_, 0);
  LoadLong("HideSlideShowText", hideSlideShowText_, 0);
  LoadLong("ExplBarHide", explBarHide_, 0);
  LoadLong("WizardFormImageControlLastViewedState", wizardFormImageControlLastViewedState_, 0);
  LoadLong("BatchSaveLastFileOption", batchSaveLastFileOption_, 0);
  LoadLong("BatchSaveLastExportOption", batchSaveLastExportOption_, 0);
  LoadString("BatchSaveFileExtensions", batchSaveFileExtensions_, "");
  LoadLong("DoNotPromptBeforeQuickSave", doNotPromptBeforeQuickSave_, 0);
  LoadString("AppendSubjectToAttachmentFileNameAndUseThisAsTheFollowingCharacter", appendSubjectCharacter_, "_");
  LoadString("AttachmentExportAppendSubstitutionText", attachmentExportAppendSubstitutionText_, "");
  LoadLong("AttachmentExportUseAppendSubstitutionText", attachmentExportUseAppendSubstitutionText_, 0);
  LoadLong("AttachmentExportIncludeExportReport", attachmentExportIncludeExportReport_, 0);
  LoadLong("AttachmentExportDeleteAfterSave", attachmentExportDeleteAfterSave_, 0);
  LoadLong("InspectorBarHide", inspectorBarHide_, 0);
  LoadLong("CaptureInlineHTMLImages", captureInlineHTMLImages_, 0);
  // No stored row: the toolbars have never been placed, so both get a first placement.
  if (!LoadLong("ExplBarRowIndex", explBarRowIndex_, 0)) {
    modPictureAttachments::g_blnExplBarPositionUnset = true;
    modPictureAttachments::g_blnInspBarPositionUnset = true;
  }
  LoadLong("ExplBarLeft", explBarLeft_, 0);
  LoadLong("ExplBarTop", explBarTop_, 0);
  LoadLong("ExplBarPosition", explBarPosition_, 0);
  LoadLong("ExplBarHeight", explBarHeight_, 0);
  LoadLong("ExplBarWidth", explBarWidth_, 0);
  LoadLong("InspBarRowIndex", inspBarRowIndex_, 0);
  LoadLong("InspBarLeft", inspBarLeft_, 0);
  LoadLong("InspBarTop", inspBarTop_, 0);
  LoadLong("InspBarPosition", inspBarPosition_, 0);
  LoadLong("InspBarHeight", inspBarHeight_, 0);
  LoadLong("InspBarWidth", inspBarWidth_, 0);
  // Whatever was stored, the key records the build that wrote it last.
  rn([&] {
    appVersion_ = runtime::CStr(static_cast<long>(App::Major)) + "." + runtime::CStr(static_cast<long>(App::Minor)) +
                  ".0." + runtime::CStr(static_cast<long>(App::Revision()));
  });
  static const char* const kExpStyle[] = {"ExpBarBut1Style", "ExpBarBut2Style", "ExpBarBut3Style", "ExpBarBut4Style"};
  static const char* const kInspStyle[] = {"InspBarBut1Style", "InspBarBut2Style", "InspBarBut3Style",
                                           "InspBarBut4Style"};
  static const char* const kExpText[] = {"ExpBarBut1Text", "ExpBarBut2Text", "ExpBarBut3Text", "ExpBarBut4Text"};
  static const char* const kInspText[] = {"InspBarBut1Text", "InspBarBut2Text", "InspBarBut3Text", "InspBarBut4Text"};
  for (int i = 0; i < 4; ++i) LoadLong(kExpStyle[i], expBarButStyle_[i], 0);
  for (int i = 0; i < 4; ++i) LoadLong(kInspStyle[i], inspBarButStyle_[i], 0);
  for (int i = 0; i < 4; ++i) LoadString(kExpText[i], expBarButText_[i], "");
  for (int i = 0; i < 4; ++i) LoadString(kInspText[i], inspBarButText_[i], "");

  // On the first run this writes the whole set, so from then on every value exists.
  rn([&] { Update(); });
}

void RegSettings::Write(const char* name, runtime::Variant value, long type) {
  Shared().SetRegistryValue(name, value, type);
}

void RegSettings::Update() {
  auto eh = ErrorBox("Update", runtime::ModuleKind::ClassModule, "RegSettings");
  constexpr long kLong = reg::REG_DWORD;
  constexpr long kText = reg::REG_SZ;
  // KeyRoot still names the settings key: only this object ever changes it.
  eh([&] { Shared().hKey(reg::HKEY_CURRENT_USER); });
  eh([&] { Write("AutoDisplayOptions", Dword(AutoDisplayOptions()), kLong); });
  eh([&] { Write("AutoDisplayCriteria", Dword(AutoDisplayCriteria()), kLong); });
  eh([&] { Write("AutoDisplayOrientationOptions", Dword(AutoDisplayOrientationOptions()), kLong); });
  eh([&] { Write("DefaultViewer", DefaultViewer(), kText); });
  eh([&] { Write("SlideShowInterval", Dword(SlideShowInterval()), kLong); });
  eh([&] { Write("AutoDisplayInterval", Dword(AutoDisplayInterval()), kLong); });
  eh([&] { Write("HideSlideShowText", Dword(HideSlideShowText()), kLong); });
  eh([&] { Write("PictureDumpDirectory", PictureDumpDirectory(), kText); });
  eh([&] { Write("ExplBarHide", Dword(ExplBarHide()), kLong); });
  eh([&] { Write("WizardFormImageControlLastViewedState", Dword(WizardFormImageControlLastViewedState()), kLong); });
  eh([&] { Write("ToolbarStyle", Dword(ToolbarStyle()), kLong); });
  eh([&] { Write("ShowTaskPaneInFullWizard", Dword(ShowTaskPaneInFullWizard()), kLong); });
  eh([&] { Write("ShowTaskPaneInHorizontalWizard", Dword(ShowTaskPaneInHorizontalWizard()), kLong); });
  eh([&] { Write("ShowTaskPaneInVerticalWizard", Dword(ShowTaskPaneInVerticalWizard()), kLong); });
  eh([&] { Write("EnableAttPreviews", Dword(EnableAttPreviews()), kLong); });
  eh([&] { Write("BatchSaveFileExtensions", BatchSaveFileExtensions(), kText); });
  eh([&] { Write("BatchSaveLastExportOption", Dword(BatchSaveLastExportOption()), kLong); });
  eh([&] { Write("BatchSaveLastFileOption", Dword(BatchSaveLastFileOption()), kLong); });
  eh([&] { Write("DoNotPromptBeforeQuickSave", Dword(DoNotPromptBeforeQuickSave()), kLong); });
  eh([&] {
    Write("AppendSubjectToAttachmentFileNameAndUseThisAsTheFollowingCharacter",
          AppendSubjectToAttachmentFileNameAndUseThisAsTheFollowingCharacter(), kText);
  });
  eh([&] { Write("AttachmentExportAppendSubstitutionText", AttachmentExportAppendSubstitutionText(), kText); });
  eh([&] {
    Write("AttachmentExportUseAppendSubstitutionText", Dword(AttachmentExportUseAppendSubstitutionText()), kLong);
  });
  eh([&] { Write("AttachmentExportIncludeExportReport", Dword(AttachmentExportIncludeExportReport()), kLong); });
  eh([&] { Write("AttachmentExportDeleteAfterSave", Dword(AttachmentExportDeleteAfterSave()), kLong); });
  eh([&] { Write("InspectorBarHide", Dword(InspectorBarHide()), kLong); });
  eh([&] { Write("CaptureInlineHTMLImages", Dword(CaptureInlineHTMLImages()), kLong); });
  eh([&] { Write("ExplBarHeight", Dword(ExplBarHeight()), kLong); });
  eh([&] { Write("ExplBarLeft", Dword(ExplBarLeft()), kLong); });
  eh([&] { Write("ExplBarPosition", Dword(ExplBarPosition()), kLong); });
  eh([&] { Write("ExplBarRowIndex", Dword(ExplBarRowIndex()), kLong); });
  eh([&] { Write("ExplBarTop", Dword(ExplBarTop()), kLong); });
  eh([&] { Write("ExplBarWidth", Dword(ExplBarWidth()), kLong); });
  eh([&] { Write("InspBarHeight", Dword(InspBarHeight()), kLong); });
  eh([&] { Write("InspBarLeft", Dword(InspBarLeft()), kLong); });
  eh([&] { Write("InspBarPosition", Dword(InspBarPosition()), kLong); });
  eh([&] { Write("InspBarRowIndex", Dword(InspBarRowIndex()), kLong); });
  eh([&] { Write("InspBarTop", Dword(InspBarTop()), kLong); });
  eh([&] { Write("InspBarWidth", Dword(InspBarWidth()), kLong); });
  eh([&] { Write("AppVersion", AppVersion(), kText); });
  eh([&] { Write("ExpBarBut1Style", Dword(ExpBarBut1Style()), kLong); });
  eh([&] { Write("ExpBarBut2Style", Dword(ExpBarBut2Style()), kLong); });
  eh([&] { Write("ExpBarBut3Style", Dword(ExpBarBut3Style()), kLong); });
  eh([&] { Write("ExpBarBut4Style", Dword(ExpBarBut4Style()), kLong); });
  eh([&] { Write("InspBarBut1Style", Dword(InspBarBut1Style()), kLong); });
  eh([&] { Write("InspBarBut2Style", Dword(InspBarBut2Style()), kLong); });
  eh([&] { Write("InspBarBut3Style", Dword(InspBarBut3Style()), kLong); });
  eh([&] { Write("InspBarBut4Style", Dword(InspBarBut4Style()), kLong); });
  eh([&] { Write("ExpBarBut1Text", ExpBarBut1Text(), kText); });
  eh([&] { Write("ExpBarBut2Text", ExpBarBut2Text(), kText); });
  eh([&] { Write("ExpBarBut3Text", ExpBarBut3Text(), kText); });
  eh([&] { Write("ExpBarBut4Text", ExpBarBut4Text(), kText); });
  eh([&] { Write("InspBarBut1Text", InspBarBut1Text(), kText); });
  eh([&] { Write("InspBarBut2Text", InspBarBut2Text(), kText); });
  eh([&] { Write("InspBarBut3Text", InspBarBut3Text(), kText); });
  eh([&] { Write("InspBarBut4Text", InspBarBut4Text(), kText); });
}

std::string RegSettings::PictureDumpDirectory() {
  // Not checked for existence here: the quick-save commands do that.
  if (pictureDumpDirectory_.empty()) pictureDumpDirectory_ = modPictureAttachments::GetMyPicturesFolder();
  if (pictureDumpDirectory_.empty()) pictureDumpDirectory_ = modPictureAttachments::GetMyDocumentsFolder();
  return pictureDumpDirectory_;
}

std::string RegSettings::InspBarBut1Text() const { return Caption(inspBarButText_[0], "&Lumivane..."); }
std::string RegSettings::InspBarBut2Text() const { return Caption(inspBarButText_[1], "Start S&lide Show"); }
std::string RegSettings::InspBarBut3Text() const { return Caption(inspBarButText_[2], "Attachments &Manager"); }
// Unlike the Explorer's caption, this one has no access key.
std::string RegSettings::InspBarBut4Text() const { return Caption(inspBarButText_[3], "Settings..."); }

std::string RegSettings::ExpBarBut1Text() const { return Caption(expBarButText_[0], "&Lumivane..."); }
std::string RegSettings::ExpBarBut2Text() const { return Caption(expBarButText_[1], "Start S&lide Show"); }
std::string RegSettings::ExpBarBut3Text() const { return Caption(expBarButText_[2], "Attachments &Manager"); }
std::string RegSettings::ExpBarBut4Text() const {
  // Revision 11 stored the caption without its access key; that build reads it back with one.
  if (App::Revision() == 11 && expBarButText_[3] == "Settings...") return "&Settings...";
  return Caption(expBarButText_[3], "&Settings...");
}

}  // namespace lumivane
