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

#include "platform/controls/explorer_bar.h"
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

  // ---- public members, in the window's slot order ----
  void RemoveEBarItem(long EXIFProperty);
  void SetEBarItem(long EXIPProperty, const std::string& value);
  bool Loaded() const { return m_blnLoaded; }
  void Loaded(bool bLoaded) { m_blnLoaded = bLoaded; }
  void BuildImageCollection(const std::shared_ptr<host::Attachments>& objAttachments);
  void ChangeThumbnailViewUsingEnums(long ViewType);
  void ResetPictureInfoPane();
  void m_objCurFolderView_SelectionChanged();
  void LoadPictureInfoInExplorerBar(const std::string& FileName);
  long FormMode() const { return m_eFormMode; }
  void FormMode(long eFormMode);
  std::shared_ptr<host::Item> CurrentMessage() const { return m_objMessage; }
  void CurrentMessage(std::shared_ptr<host::Item> message) { m_objMessage = std::move(message); }

  // The pictures on show (own member: reading it loads nothing).
  std::shared_ptr<ImageFiles> Pictures() const { return m_objImageFiles; }

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

  // A close asked for while the window loads waits until loading has ended.
  bool loading_ = false;
  bool closeAfterLoad_ = false;
  platform::forms::LoopTimer deferredClose_;
};

namespace modPictureAttachments {
// Whether the shell shows folders in the classic view (no web view): the
// value "WebView" of the shell's Advanced key holds the number 0.
bool IsClassicViewEnabled();
}  // namespace modPictureAttachments

}  // namespace lumivane
