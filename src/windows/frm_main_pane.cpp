// The preview window's task pane: its bars, the picture info of the DETAILS
// bar, the DCF bar of camera pictures, and what a click on an item does.

#include <functional>
#include <string>

#include "attachments/attachments.h"
#include "pictures/exif_names.h"
#include "pictures/image_files.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/ref.h"
#include "runtime/text.h"
#include "settings/app.h"
#include "settings/helpers.h"
#include "windows/frm_main.h"

namespace lumivane {

using runtime::Ref;

namespace {

namespace controls = platform::controls;
namespace mpa = modPictureAttachments;

constexpr const char* kPaneFont = "Arial";
constexpr long kExifProperties = 19;

struct TaskItem {
  const char* key;
  const char* text;
  long icon;
  bool bold;
  const char* toolTip;  // the quick-save ones end with the folder
};

const TaskItem kTaskItems[] = {
    {"SETTINGS", "&Change My Settings...", 5, true, "Configure advanced options for the Lumivane"},
    {"SLIDESHOW", "View as s&lide show", 6, false,
     "View all of the attached pictures one after another in a full screen slide show"},
    {"OPENALL", "&Open all pictures", 0, false,
     "Opens all of the pictures with the currently chosen image application."},
    {"OPENSELECTED", "Open selected pictures", 0, false,
     "Opens all of the selected pictures with the currently chosen image application."},
    {"QUICKSAVESELECTED", "Quick save selected pictures", 3, false, "Save selected pictures to '"},
    {"QUICKSAVEALL", "Quick save all pictures", 2, false, "Save all pictures to '"},
    {"CUSTOMSAVESELECTED", "Save selected pictures to folder...", 3, false,
     "Choose a different Windows folder to save the selected pictures"},
    {"CUSTOMSAVEALL", "Save all pictures to folder...", 2, false,
     "Choose a different Windows folder to save all of the pictures"},
    {"EXPORT", "Export Attachments...", 17, false, "Advanced options for exporting attachments from messages"},
    {"DELETEATTS", "Delete all attachments", 16, false, "Permanently remove all attachments from the current message"},
};

// The five items every picture shows, with their texts before the first one.
const std::pair<const char*, const char*> kStandardItems[] = {
    {"FileName", "[no picture selected)"}, {"Dimensions", "Dimensions: "},  {"FileSize", "Size: "},
    {"HR", "Horizontal Resolution: "},     {"VR", "Vertical Resolution: "},
};

// The EXIF items in lvwEXIFProperty order (1 to 19): label and value; an
// empty value means the picture has none.
struct ExifRow {
  const char* label;
  std::function<std::string(const ImageFile&)> value;
};

std::string Number(std::int16_t n) { return n == 0 ? std::string() : runtime::CStr(n); }

const ExifRow kExifRows[kExifProperties] = {
    {"Date Picture Taken: ", [](const ImageFile& f) { return f.DatePictureTaken(); }},
    {"Bit Depth: ", [](const ImageFile& f) { return Number(f.BitDepth()); }},
    {"Frame Count: ", [](const ImageFile& f) { return Number(f.FrameCount()); }},
    {"Equipment Make: ", [](const ImageFile& f) { return f.EquipmentMake(); }},
    {"Camera Model: ", [](const ImageFile& f) { return f.CameraModel(); }},
    {"Creation Software: ", [](const ImageFile& f) { return f.CreationSoftware(); }},
    {"Color Representation: ", [](const ImageFile& f) { return f.ColorRepresentation(); }},
    {"Shutter Speed: ", [](const ImageFile& f) { return f.ShutterSpeed(); }},
    {"Lens Aperture: ", [](const ImageFile& f) { return f.LensAperture(); }},
    {"Subject Distance: ", [](const ImageFile& f) { return f.SubjectDistance(); }},
    {"Flash Mode: ", [](const ImageFile& f) { return f.FlashMode(); }},
    {"Focal Length: ", [](const ImageFile& f) { return f.FocalLength(); }},
    {"F-Number: ", [](const ImageFile& f) { return f.FNumber(); }},
    {"Exposure Time: ", [](const ImageFile& f) { return f.ExposureTime(); }},
    {"ISO Speed: ", [](const ImageFile& f) { return f.ISOSpeed(); }},
    {"Metering Mode: ", [](const ImageFile& f) { return f.MeteringMode(); }},
    {"Light Source: ", [](const ImageFile& f) { return f.LightSource(); }},
    {"Exposure Program: ", [](const ImageFile& f) { return f.ExposureProgram(); }},
    {"Exposure Compensation: ", [](const ImageFile& f) { return f.ExposureCompensation(); }},
};

runtime::OnError Handler(const std::string& procedure) {
  return ErrorBox(procedure, runtime::ModuleKind::Form, "frmMain");
}

void Font(controls::ExplorerBarItem& item, bool bold) { item.Font(kPaneFont, bold); }

}  // namespace

// ---- building the bars ----

void frmMain::BuildSpecialBar(const std::string& dumpDirectory) {
  runtime::ResumeNext rn;
  std::shared_ptr<controls::ExplorerBarBar> bar;
  rn([&] {
    bar = vbalExplorerBarCtl1->AddBar("SPECIAL", "Picture &Tasks");
    bar->IsSpecial(true);
    bar->IconIndex(0);
    m_objDetailsBar = bar;
  });
  for (const TaskItem& t : kTaskItems) {
    rn([&] {
      auto item = Ref(bar).AddItem(t.key, t.text, t.icon);
      Font(*item, t.bold);
      std::string tip = t.toolTip;
      if (tip.ends_with("'")) tip += dumpDirectory + "'";
      item->ToolTipText(tip);
    });
  }
}

void frmMain::BuildDCFBar() {
  runtime::ResumeNext rn;
  long withExif = 0;
  long all = 0;
  rn([&] {
    withExif = Ref(m_objImageFiles).EXIFCount();
    all = m_objImageFiles->Count();
  });
  if (withExif <= 0) return;
  std::shared_ptr<controls::ExplorerBarBar> bar;
  rn([&] {
    bar =
        vbalExplorerBarCtl1->AddBar("DCF", runtime::CStr(withExif) + "/" + runtime::CStr(all) + " from Digital Camera");
    bar->ToolTipText("Displays a listing of only the images that have been taken by a Digital Camera");
    bar->IconIndex(1);
    m_objDetailsBar = bar;
  });
  for (const auto& picture : *m_objImageFiles) {
    rn([&] {
      if (!picture->HasEXIFData()) return;
      const std::string& stored = picture->OriginalFileName();
      auto item = stored.empty()
                      ? Ref(bar).AddItem(picture->FileName(), picture->FileName())
                      : Ref(bar).AddItem(stored, stored + " (duplicate; is " + picture->FileName() + " in message)");
      Font(*item, false);
      item->ToolTipText("Click to select this image in the folder view");
    });
  }
}

void frmMain::BuildDetailsBar() {
  runtime::ResumeNext rn;
  std::shared_ptr<controls::ExplorerBarBar> bar;
  rn([&] {
    bar = vbalExplorerBarCtl1->AddBar("DETAILS", "Picture Info");
    bar->ToolTipText(
        "This section displays the EXIF (Exchangeable Image File Format for digital still cameras) information for "
        "the selected picture if the image supports this information (or standard info otherwise)");
    bar->IconIndex(2);
    m_objDetailsBar = bar;
  });
  for (const auto& entry : kStandardItems) {
    rn([&] {
      auto item = Ref(bar).AddItem(entry.first, entry.second);
      Font(*item, false);
      item->ItemType(controls::ebiText);
    });
  }
}

// ---- the picture info ----

void frmMain::SetEBarItem(long EXIPProperty, const std::string& value) {
  runtime::ResumeNext rn;
  const std::string key = mpa::GetEXIFPropertyNameByEnum(EXIPProperty);
  rn([&] {
    auto& bar = Ref(m_objDetailsBar);
    std::shared_ptr<controls::ExplorerBarItem> item;
    for (const auto& existing : bar.Items())
      if (runtime::LCase(existing->Key()) == runtime::LCase(key)) item = existing;
    if (item) {
      item->Text(value);
    } else {
      item = bar.AddItem(key, value);
      Font(*item, false);
    }
    item->ItemType(controls::ebiText);
  });
}

void frmMain::RemoveEBarItem(long EXIFProperty) {
  runtime::ResumeNext()([&] { Ref(m_objDetailsBar).RemoveItem(mpa::GetEXIFPropertyNameByEnum(EXIFProperty)); });
}

void frmMain::ResetPictureInfoPane() {
  runtime::ResumeNext rn;
  rn([&] { vbalExplorerBarCtl1->Redraw(false); });
  std::shared_ptr<controls::ExplorerBarBar> bar;
  rn([&] { bar = vbalExplorerBarCtl1->Bar("DETAILS"); });
  rn([&] { Ref(bar).Item("FileName")->Text("(no picture selected)"); });
  for (const char* key : {"Dimensions", "FileSize", "HR", "VR"}) rn([&] { Ref(bar).Item(key)->Text(""); });
  rn([&] { vbalExplorerBarCtl1->Redraw(true); });
}

void frmMain::LoadPictureInfoInExplorerBar(const std::string& FileName) {
  LoadEXIFInfo(FileName);
  runtime::ResumeNext rn;
  rn([&] { vbalExplorerBarCtl1->Redraw(false); });
  rn([&] { vbalExplorerBarCtl1->Redraw(true); });
}

void frmMain::LoadEXIFInfo(const std::string& FileName) {
  // The statements carry no line numbers, so the box says line 0.
  auto eh = Handler("LoadEXIFInfo (Line 0)");
  eh([&] { vbalExplorerBarCtl1->Redraw(false); });
  eh([&] { m_objDetailsBar = vbalExplorerBarCtl1->Bar("DETAILS"); });
  std::shared_ptr<ImageFile> picture;
  eh([&] { picture = Ref(m_objImageFiles).Item(FileName); });

  runtime::ResumeNext rn;
  const auto text = [&](const char* key, const std::string& value) {
    rn([&] { Ref(m_objDetailsBar).Item(key)->Text(value); });
  };
  const auto removeAll = [&] {
    for (long n = 1; n <= kExifProperties; ++n) RemoveEBarItem(n);
  };
  if (!picture) {
    text("FileName", "[ERROR LOADING PICTURE]");
    for (const char* key : {"Dimensions", "FileSize", "HR", "VR"}) text(key, "");
    removeAll();
  } else {
    text("FileName", "File Name: " + runtime::Replace(picture->FileName(), "&", ""));
    text("Dimensions", "Dimensions: " + picture->Dimensions());
    text("FileSize", "Size: " + picture->FileSize());
    text("HR", "Horizontal Resolution: " + runtime::CStr(picture->HorizontalResolution()) + " dpi");
    text("VR", "Vertical Resolution: " + runtime::CStr(picture->VerticalResolution()) + " dpi");
    if (picture->HasEXIFData()) {
      for (long n = 1; n <= kExifProperties; ++n) {
        std::string value;
        rn([&] { value = kExifRows[n - 1].value(*picture); });
        if (value.empty()) {
          RemoveEBarItem(n);
        } else {
          SetEBarItem(n, kExifRows[n - 1].label + OneLineText(value));
        }
      }
    } else {
      removeAll();
    }
  }
  rn([&] { vbalExplorerBarCtl1->Redraw(true); });
}

void frmMain::m_objCurFolderView_SelectionChanged() {
  runtime::ResumeNext rn;
  std::shared_ptr<controls::FolderItem> item;
  rn([&] { item = Ref(m_objCurFolderView).FocusedItem(); });
  if (!item) {
    ResetPictureInfoPane();
    return;
  }
  std::string name;
  rn([&] { name = mpa::ResolveTempFileName(*item); });
  bool picture = false;
  rn([&] { picture = mpa::IsPictureExtension(mpa::GetExtension(name), false); });
  if (picture) {
    LoadPictureInfoInExplorerBar(name);
  } else {
    ResetPictureInfoPane();
  }
}

// ---- a click in the pane ----

void frmMain::vbalExplorerBarCtl1_ItemClick(const std::shared_ptr<controls::ExplorerBarItem>& itm) {
  auto eh = Handler("vbalExplorerBarCtl1_ItemClick");
  std::string key;
  if (!eh([&] { key = Ref(itm).Key(); })) return;
  if (RunTaskCommand(key)) return;
  // A DCF item: its key is a file of the folder. DETAILS items name none,
  // and a click on them leaves the view as it is.
  std::shared_ptr<controls::FolderItem> item;
  eh([&] { item = Ref(m_objCurFolder).ParseName(key); });
  if (!item) return;
  SelectInView(item);
  eh([&] { LoadPictureInfoInExplorerBar(key); });
}

}  // namespace lumivane
