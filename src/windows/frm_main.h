#pragma once
// frmMain, the preview window: the picture attachments of one message as
// files of the temporary picture folder, shown by the shell folder view of
// wbThumbnails, with the task pane on the left (bars SPECIAL, DCF and
// DETAILS), the command bar on top and a "&Close" button.
//
// One default instance (platform::forms::Default<frmMain>()). The wrappers
// unload it, save the message's pictures into the temporary folder, call
// BuildImageCollection, set FormMode and show it; closing it empties the
// temporary folder and writes the settings.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/controls/command_bar.h"
#include "platform/controls/explorer_bar.h"
#include "platform/controls/image_combo.h"
#include "platform/controls/image_list.h"
#include "platform/controls/web_browser.h"
#include "platform/forms/event_loop.h"
#include "platform/forms/form.h"
#include "runtime/event.h"
#include "windows/tag_anchor.h"

namespace host {
class Attachments;
class Item;
}  // namespace host

namespace lumivane {

class ImageFiles;
class ImageViewer;
struct SaveCommand;  // a way of saving the previewed pictures (frm_main_commands.cpp)

enum lvwFormMode : long { FullWizard = 0, HorizontalWizard = 1, VerticalWizard = 2 };

class frmMain : public platform::forms::Form {
 public:
  frmMain();

  template <class T>
  using FormControl = platform::forms::FormControl<T>;
  FormControl<platform::controls::WebBrowser> wbThumbnails{this, "wbThumbnails"};
  FormControl<platform::controls::ExplorerBarCtl> vbalExplorerBarCtl1{this, "vbalExplorerBarCtl1"};
  FormControl<platform::controls::ImageList> ilsIcons{this, "ilsIcons"};
  FormControl<platform::controls::ImageList> ilsTitleIcons{this, "ilsTitleIcons"};
  FormControl<platform::forms::Timer> TimerForImageOpening{this, "TimerForImageOpening"};
  FormControl<TagAnchor> TagAnchor1{this, "TagAnchor1"};
  FormControl<platform::forms::CommandButton> cmdClose{this, "cmdClose"};
  FormControl<platform::forms::CommandButton> cmdAlignThumbnailWindow{this, "cmdAlignThumbnailWindow"};
  platform::forms::FormControlArray<platform::controls::CommandBar> cmdBar{this, "cmdBar", {0}};
  FormControl<platform::forms::Label> lblOpenWith{this, "lblOpenWith"};
  FormControl<platform::controls::ImageCombo> cboImageViewers{this, "cboImageViewers"};

  // ---- public members, in the window's slot order ----
  void RemoveEBarItem(long EXIFProperty);
  void SetEBarItem(long EXIPProperty, const std::string& value);
  bool Loaded() const { return m_blnLoaded; }
  void Loaded(bool bLoaded) { m_blnLoaded = bLoaded; }
  void BuildImageCollection(const std::shared_ptr<host::Attachments>& objAttachments);
  void OpenImage(const std::string& FileName, bool& blnCancel);
  void SetSelectedImageViewer();
  void ChangeThumbnailView(const std::string& ViewName);
  void ChangeThumbnailViewUsingEnums(long ViewType);
  void ResetPictureInfoPane();
  void SaveViewerSettings();
  void OpenAllImages();
  void OpenSelectedImages();
  bool m_objCurFolderView_DefaultVerbInvoked();
  void m_objCurFolderView_SelectionChanged();
  void LoadPictureInfoInExplorerBar(const std::string& FileName);
  void SaveSelectedImagesToFolder(const std::string& FolderPath, bool Confirm = false);
  void SaveAllImagesToFolder(const std::string& FolderPath, bool Confirm = false);
  void RefreshToolbar();
  long FormMode() const { return m_eFormMode; }
  void FormMode(long eFormMode);
  std::shared_ptr<host::Item> CurrentMessage() const { return m_objMessage; }
  void CurrentMessage(std::shared_ptr<host::Item> message) { m_objMessage = std::move(message); }

  // The pictures on show (own member: reading it loads nothing).
  std::shared_ptr<ImageFiles> Pictures() const { return m_objImageFiles; }
  // The viewer chosen in the combo; nullptr until one is (own member).
  std::shared_ptr<ImageViewer> SelectedViewer() const { return m_objSelectedViewer; }

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Activate() override;
  void Form_Resize() override;
  void Form_QueryUnload(int& Cancel, int UnloadMode) override;
  void Form_Unload(int& Cancel) override;
  void Form_MouseMove(int Button, int Shift, float X, float Y) override;

 private:
  void cmdClose_Click();
  void vbalExplorerBarCtl1_ItemClick(const std::shared_ptr<platform::controls::ExplorerBarItem>& itm);
  void LoadEXIFInfo(const std::string& FileName);
  void SizeBrowser();
  void HideExplorerBar(bool Hide);
  void SelectFirstPicture();
  // The command bar, the viewer combo and what their clicks do.
  void LoadCommandBar();
  void BuildCommandBar();
  void cmdBar_ButtonClick(int Index, const std::shared_ptr<platform::controls::CommandBarButton>& btn);
  void cmdBar_NewBarInstance(int Index, platform::controls::CommandBar*& obj);
  void cmdAlignThumbnailWindow_Click();
  void cboImageViewers_Click();
  void TimerForImageOpening_Timer();
  void LoadViewerCombo();
  // Checks the view entry of that key and clears the others; a key that is
  // no entry changes nothing.
  void CheckViewEntry(const std::string& key);
  // The task pane's picture commands; false for a key that is none of them.
  bool RunTaskCommand(const std::string& key);
  // The attachments of the current message whose files the folder view has
  // selected (all of them for the command that saves all), keyed
  // FileName & "_" & Index.
  void SavePictures(const SaveCommand& command, const std::string& FolderPath, bool Confirm);
  void SelectInView(const std::shared_ptr<platform::controls::FolderItem>& item);
  // The pane's bars as the window loads.
  void BuildSpecialBar(const std::string& dumpDirectory);
  void BuildDCFBar();
  void BuildDetailsBar();
  // The browser ready for a view change, waited for a bounded time; false
  // when it did not become ready or the window went meanwhile.
  bool WaitForBrowser();

  std::shared_ptr<host::Item> m_objMessage;
  std::shared_ptr<ImageViewer> m_objSelectedViewer;
  std::shared_ptr<ImageFiles> m_objImageFiles;
  std::shared_ptr<platform::controls::ExplorerBarBar> m_objDetailsBar;
  std::shared_ptr<platform::controls::ShellFolder> m_objCurFolder;
  std::shared_ptr<platform::controls::FolderItems> m_objFolderItems;
  std::int16_t m_intOpenIndex = 0;
  bool m_blnClassicView = false;
  bool m_blnLoaded = false;
  long m_eFormMode = FullWizard;
  std::shared_ptr<platform::controls::ShellFolderView> m_objCurFolderView;
  runtime::Subscription m_objCurFolderViewEvents;
  runtime::Subscription m_objCurFolderViewVerbs;

  // A close asked for while the window loads waits until loading has ended.
  bool loading_ = false;
  bool closeAfterLoad_ = false;
  platform::forms::LoopTimer deferredClose_;
};

namespace modPictureAttachments {
// Whether the shell shows folders in the classic view (no web view): the
// value "WebView" of the shell's Advanced key holds the number 0.
bool IsClassicViewEnabled();
// The folder view mode of one of the six view names ("Filmstrip" 7, ...),
// compared with case; 0 for any other text.
long GetFolderViewModeByName(const std::string& ViewName);
// The name of a folder view mode; "" for 2 and numbers outside 1 to 7.
std::string GetThumbnailViewName(long ViewMode);
}  // namespace modPictureAttachments

}  // namespace lumivane
