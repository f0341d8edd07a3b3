#pragma once
// The add-in's one settings object. Every persisted option is a property
// (a getter and a setter of the same name); creating the object loads them
// all from HKEY_CURRENT_USER\Software\Quenstor\Lumivane\Settings with a
// default for each value that is missing or unreadable, and Update writes
// the whole set back. A setter alone changes nothing in the registry.

#include <memory>
#include <string>

#include "runtime/collection.h"
#include "runtime/variant.h"

namespace lumivane {

class RegRoutines;

class RegSettings {
 public:
  // Loads every option (see the .cpp for the steps); never shows anything.
  RegSettings();
  // Lets go of the shared registry object.
  ~RegSettings();
  RegSettings(const RegSettings&) = delete;
  RegSettings& operator=(const RegSettings&) = delete;

  // Writes every option except DebugMode, in a fixed order, through the getters.
  void Update();

  // Empty reads as the My Pictures folder, then the My Documents folder;
  // the folder found is kept.
  std::string PictureDumpDirectory();
  void PictureDumpDirectory(std::string v) { pictureDumpDirectory_ = std::move(v); }

  long SlideShowInterval() const { return slideShowInterval_; }
  void SlideShowInterval(long v) { slideShowInterval_ = v; }
  long AutoDisplayInterval() const { return autoDisplayInterval_; }
  void AutoDisplayInterval(long v) { autoDisplayInterval_ = v; }
  long HideSlideShowText() const { return hideSlideShowText_; }
  void HideSlideShowText(long v) { hideSlideShowText_ = v; }
  long AutoDisplayCriteria() const { return autoDisplayCriteria_; }
  void AutoDisplayCriteria(long v) { autoDisplayCriteria_ = v; }
  long AutoDisplayOptions() const { return autoDisplayOptions_; }
  void AutoDisplayOptions(long v) { autoDisplayOptions_ = v; }
  long AutoDisplayOrientationOptions() const { return autoDisplayOrientationOptions_; }
  void AutoDisplayOrientationOptions(long v) { autoDisplayOrientationOptions_ = v; }
  const std::string& DefaultViewer() const { return defaultViewer_; }
  void DefaultViewer(std::string v) { defaultViewer_ = std::move(v); }
  long ExplBarHide() const { return explBarHide_; }
  void ExplBarHide(long v) { explBarHide_ = v; }
  // Read only from the registry, never written there: only a value set by
  // hand turns it on. The setter changes the running value alone.
  bool DebugMode() const { return debugMode_; }
  void DebugMode(bool v) { debugMode_ = v; }
  long WizardFormImageControlLastViewedState() const { return wizardFormImageControlLastViewedState_; }
  void WizardFormImageControlLastViewedState(long v) { wizardFormImageControlLastViewedState_ = v; }
  long ToolbarStyle() const { return toolbarStyle_; }
  void ToolbarStyle(long v) { toolbarStyle_ = v; }
  long ShowTaskPaneInHorizontalWizard() const { return showTaskPaneInHorizontalWizard_; }
  void ShowTaskPaneInHorizontalWizard(long v) { showTaskPaneInHorizontalWizard_ = v; }
  long ShowTaskPaneInVerticalWizard() const { return showTaskPaneInVerticalWizard_; }
  void ShowTaskPaneInVerticalWizard(long v) { showTaskPaneInVerticalWizard_ = v; }
  long ShowTaskPaneInFullWizard() const { return showTaskPaneInFullWizard_; }
  void ShowTaskPaneInFullWizard(long v) { showTaskPaneInFullWizard_ = v; }
  long EnableAttPreviews() const { return enableAttPreviews_; }
  void EnableAttPreviews(long v) { enableAttPreviews_ = v; }
  long BatchSaveLastExportOption() const { return batchSaveLastExportOption_; }
  void BatchSaveLastExportOption(long v) { batchSaveLastExportOption_ = v; }
  long BatchSaveLastFileOption() const { return batchSaveLastFileOption_; }
  void BatchSaveLastFileOption(long v) { batchSaveLastFileOption_ = v; }
  const std::string& BatchSaveFileExtensions() const { return batchSaveFileExtensions_; }
  void BatchSaveFileExtensions(std::string v) { batchSaveFileExtensions_ = std::move(v); }
  long DoNotPromptBeforeQuickSave() const { return doNotPromptBeforeQuickSave_; }
  void DoNotPromptBeforeQuickSave(long v) { doNotPromptBeforeQuickSave_ = v; }
  const std::string& AppendSubjectToAttachmentFileNameAndUseThisAsTheFollowingCharacter() const {
    return appendSubjectCharacter_;
  }
  void AppendSubjectToAttachmentFileNameAndUseThisAsTheFollowingCharacter(std::string v) {
    appendSubjectCharacter_ = std::move(v);
  }
  const std::string& AttachmentExportAppendSubstitutionText() const { return attachmentExportAppendSubstitutionText_; }
  void AttachmentExportAppendSubstitutionText(std::string v) { attachmentExportAppendSubstitutionText_ = std::move(v); }
  long AttachmentExportUseAppendSubstitutionText() const { return attachmentExportUseAppendSubstitutionText_; }
  void AttachmentExportUseAppendSubstitutionText(long v) { attachmentExportUseAppendSubstitutionText_ = v; }
  long AttachmentExportIncludeExportReport() const { return attachmentExportIncludeExportReport_; }
  void AttachmentExportIncludeExportReport(long v) { attachmentExportIncludeExportReport_ = v; }
  long AttachmentExportDeleteAfterSave() const { return attachmentExportDeleteAfterSave_; }
  void AttachmentExportDeleteAfterSave(long v) { attachmentExportDeleteAfterSave_ = v; }
  long InspectorBarHide() const { return inspectorBarHide_; }
  void InspectorBarHide(long v) { inspectorBarHide_ = v; }

  long ExplBarRowIndex() const { return explBarRowIndex_; }
  void ExplBarRowIndex(long v) { explBarRowIndex_ = v; }
  long ExplBarLeft() const { return explBarLeft_; }
  void ExplBarLeft(long v) { explBarLeft_ = v; }
  long ExplBarTop() const { return explBarTop_; }
  void ExplBarTop(long v) { explBarTop_ = v; }
  long ExplBarPosition() const { return explBarPosition_; }
  void ExplBarPosition(long v) { explBarPosition_ = v; }
  long ExplBarHeight() const { return explBarHeight_; }
  void ExplBarHeight(long v) { explBarHeight_ = v; }
  long ExplBarWidth() const { return explBarWidth_; }
  void ExplBarWidth(long v) { explBarWidth_ = v; }
  long InspBarHeight() const { return inspBarHeight_; }
  void InspBarHeight(long v) { inspBarHeight_ = v; }
  long InspBarPosition() const { return inspBarPosition_; }
  void InspBarPosition(long v) { inspBarPosition_ = v; }
  long InspBarTop() const { return inspBarTop_; }
  void InspBarTop(long v) { inspBarTop_ = v; }
  long InspBarRowIndex() const { return inspBarRowIndex_; }
  void InspBarRowIndex(long v) { inspBarRowIndex_ = v; }
  long InspBarLeft() const { return inspBarLeft_; }
  void InspBarLeft(long v) { inspBarLeft_ = v; }
  long InspBarWidth() const { return inspBarWidth_; }
  void InspBarWidth(long v) { inspBarWidth_ = v; }

  const std::string& AppVersion() const { return appVersion_; }
  void AppVersion(std::string v) { appVersion_ = std::move(v); }

  // Captions: an empty one reads as the standard caption.
  std::string InspBarBut1Text() const;
  void InspBarBut1Text(std::string v) { inspBarButText_[0] = std::move(v); }
  std::string InspBarBut2Text() const;
  void InspBarBut2Text(std::string v) { inspBarButText_[1] = std::move(v); }
  std::string InspBarBut3Text() const;
  void InspBarBut3Text(std::string v) { inspBarButText_[2] = std::move(v); }
  std::string InspBarBut4Text() const;
  void InspBarBut4Text(std::string v) { inspBarButText_[3] = std::move(v); }

  // Button styles: 0 reads as 3 (icon and caption).
  long InspBarBut1Style() const { return StyleOrDefault(inspBarButStyle_[0]); }
  void InspBarBut1Style(long v) { inspBarButStyle_[0] = v; }
  long InspBarBut2Style() const { return StyleOrDefault(inspBarButStyle_[1]); }
  void InspBarBut2Style(long v) { inspBarButStyle_[1] = v; }
  long InspBarBut3Style() const { return StyleOrDefault(inspBarButStyle_[2]); }
  void InspBarBut3Style(long v) { inspBarButStyle_[2] = v; }
  long InspBarBut4Style() const { return StyleOrDefault(inspBarButStyle_[3]); }
  void InspBarBut4Style(long v) { inspBarButStyle_[3] = v; }

  std::string ExpBarBut1Text() const;
  void ExpBarBut1Text(std::string v) { expBarButText_[0] = std::move(v); }
  std::string ExpBarBut2Text() const;
  void ExpBarBut2Text(std::string v) { expBarButText_[1] = std::move(v); }
  std::string ExpBarBut3Text() const;
  void ExpBarBut3Text(std::string v) { expBarButText_[2] = std::move(v); }
  std::string ExpBarBut4Text() const;
  void ExpBarBut4Text(std::string v) { expBarButText_[3] = std::move(v); }

  long ExpBarBut1Style() const { return StyleOrDefault(expBarButStyle_[0]); }
  void ExpBarBut1Style(long v) { expBarButStyle_[0] = v; }
  long ExpBarBut2Style() const { return StyleOrDefault(expBarButStyle_[1]); }
  void ExpBarBut2Style(long v) { expBarButStyle_[1] = v; }
  long ExpBarBut3Style() const { return StyleOrDefault(expBarButStyle_[2]); }
  void ExpBarBut3Style(long v) { expBarButStyle_[2] = v; }
  long ExpBarBut4Style() const { return StyleOrDefault(expBarButStyle_[3]); }
  void ExpBarBut4Style(long v) { expBarButStyle_[3] = v; }

  long CaptureInlineHTMLImages() const { return captureInlineHTMLImages_; }
  void CaptureInlineHTMLImages(long v) { captureInlineHTMLImages_ = v; }

 private:
  static long StyleOrDefault(long style) { return style == 0 ? 3 : style; }
  void Load();
  bool LoadLong(const char* name, long& field, long fallback);
  void LoadString(const char* name, std::string& field, std::string fallback);
  void LoadBoolean(const char* name, bool& field, bool fallback);
  void Write(const char* name, runtime::Variant value, long type);

  // The key's values as listed at load time: (name, data) pairs keyed by name.
  runtime::Collection<runtime::VariantArray> values_;
  // The shared registry object this object made, so that ending it lets go
  // of that one and never of a successor's.
  std::weak_ptr<RegRoutines> ownRegRoutines_;

  std::string defaultViewer_;
  long slideShowInterval_ = 0;
  long autoDisplayOptions_ = 0;
  long autoDisplayInterval_ = 0;
  long autoDisplayCriteria_ = 0;
  long showTaskPaneInFullWizard_ = 0;
  long showTaskPaneInHorizontalWizard_ = 0;
  long showTaskPaneInVerticalWizard_ = 0;
  long toolbarStyle_ = 0;
  long enableAttPreviews_ = 0;
  bool debugMode_ = false;
  std::string pictureDumpDirectory_;
  long autoDisplayOrientationOptions_ = 0;
  long hideSlideShowText_ = 0;
  long explBarHide_ = 0;
  long wizardFormImageControlLastViewedState_ = 0;
  long batchSaveLastFileOption_ = 0;
  long batchSaveLastExportOption_ = 0;
  std::string batchSaveFileExtensions_;
  long doNotPromptBeforeQuickSave_ = 0;
  std::string appendSubjectCharacter_;
  std::string attachmentExportAppendSubstitutionText_;
  long attachmentExportUseAppendSubstitutionText_ = 0;
  long attachmentExportIncludeExportReport_ = 0;
  long attachmentExportDeleteAfterSave_ = 0;
  long inspectorBarHide_ = 0;
  long captureInlineHTMLImages_ = 0;
  long explBarRowIndex_ = 0;
  long explBarLeft_ = 0;
  long explBarTop_ = 0;
  long explBarPosition_ = 0;
  long explBarHeight_ = 0;
  long explBarWidth_ = 0;
  long inspBarRowIndex_ = 0;
  long inspBarLeft_ = 0;
  long inspBarTop_ = 0;
  long inspBarPosition_ = 0;
  long inspBarHeight_ = 0;
  long inspBarWidth_ = 0;
  std::string appVersion_;
  long expBarButStyle_[4] = {0, 0, 0, 0};
  long inspBarButStyle_[4] = {0, 0, 0, 0};
  std::string expBarButText_[4];
  std::string inspBarButText_[4];
};

// The settings object, created at start-up and released at shutdown.
extern std::shared_ptr<RegSettings> g_objSettings;
// The shared registry object, pointed at the settings key by the settings
// object, which alone changes its hKey and KeyRoot.
extern std::shared_ptr<RegRoutines> g_objRegRoutines;

// Back to the state before start-up: no settings object, no registry
// object, both first-run flags false. For tests.
void ResetAddInGlobals();

}  // namespace lumivane
