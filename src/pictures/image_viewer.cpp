#include "pictures/image_viewer.h"

#include "runtime/convert.h"
#include "runtime/error.h"
#include "runtime/handlers.h"
#include "runtime/text.h"
#include "settings/helpers.h"
#include "settings/reg_settings.h"

namespace lumivane {

namespace {

namespace mpa = modPictureAttachments;
using runtime::Compare;

std::string WithoutQuotes(std::string_view s) { return runtime::Replace(s, "\"", ""); }

bool Contains(std::string_view s, std::string_view find) { return runtime::InStr(s, find) > 0; }

std::string WithoutNuls(std::string s) {
  std::erase(s, '\0');
  return s;
}

}  // namespace

void ImageViewer::ViewerName(const std::string& v) {
  runtime::ResumeNext rn;
  rn([&] {
    if (v == "mspaint.exe") {
      viewerName_ = "Paint";
    } else if (v == "ois.exe") {
      viewerName_ = "Microsoft Office Picture Manager";
    } else {
      viewerName_ = v;
    }
  });
}

bool ImageViewer::ConfirmImageHandlingCapability(const std::string& Extension) const {
  if (!mpa::IsPictureExtension(Extension, false)) return false;
  // Browsers show neither TIFF, PNG nor metafiles.
  if (isBrowser_ && (Contains(Extension, "tif") || Contains(Extension, "png") || Contains(Extension, "wmf") ||
                     Contains(Extension, "emf"))) {
    return false;
  }
  // The document imaging program is offered for TIFF only.
  if (exeName_ == "MSPVIEW.EXE" && !Contains(Extension, "tif")) return false;
  return true;
}

void ImageViewer::SetRegisteredExtensions(const runtime::Collection<runtime::VariantArray>& colList) {
  // Counts extensions, not formats: ".jpg" and ".jpeg" count twice.
  long counter = 0;
  for (const runtime::VariantArray& entry : colList) {
    const std::string extension = runtime::CStr(entry.at(0));
    if (!mpa::IsPictureExtension(extension, false)) continue;
    const std::string lower = runtime::LCase(extension);
    if (lower == ".jpg" || lower == ".jpeg") {
      jpeg_ = true;
    } else if (lower == ".gif") {
      gif_ = true;
    } else if (lower == ".bmp") {
      bmp_ = true;
    } else if (lower == ".tif" || lower == ".tiff") {
      tiff_ = true;
    } else if (lower == ".png") {
      png_ = true;
    } else if (lower == ".emf") {
      emf_ = true;
    } else if (lower == ".wmf") {
      wmf_ = true;
    }
    ++counter;
  }
  if (counter >= 7) allFormats_ = true;
}

void ImageViewer::BuildEXEPath(std::string& strArg) {
  // Token tests are case-sensitive; only the odd spelling "...programfiles%"
  // is first brought to the token's own form, in any case.
  if (Contains(strArg, "%programfiles%")) {
    strArg = runtime::Replace(strArg, "%programfiles%", WithoutNuls(mpa::GetProgramFilesFolder()));
  } else if (Contains(strArg, "programfiles%")) {
    strArg = runtime::Replace(strArg, "programfiles%", "%programfiles%", 1, -1, Compare::Text);
    strArg = runtime::Replace(strArg, "%programfiles%", WithoutNuls(mpa::GetProgramFilesFolder()));
  }
  if (Contains(strArg, "%systemroot%")) {
    strArg = runtime::Replace(strArg, "%systemroot%", WithoutNuls(mpa::GetSystemFolder()));
  }
  // With the file placeholder the quotes go too: what is left is the program
  // and its fixed arguments, ready for a file name to be appended.
  if (Contains(strArg, "%1")) {
    strArg = WithoutQuotes(strArg);
    strArg = runtime::Replace(strArg, "%1", "");
  }
  EXEOpen(strArg);

  long p = 0;
  if (!exeName_.empty()) {
    p = runtime::InStr(exeOpen_, exeName_, Compare::Text);
    if (p > 0) p += runtime::Len(exeName_) - 1;  // the name's last character
  }
  // A name that ends one character before the end (a closing quote or a
  // blank) keeps that character: the whole line less its quotes is the path.
  if (p > 0 && p != runtime::Len(exeOpen_) - 1) {
    EXEPath(runtime::Left(exeOpen_, p));
    EXEPath(WithoutQuotes(exePath_));
  } else {
    EXEPath(WithoutQuotes(exeOpen_));
  }
}

void ImageViewer::EXEPath(const std::string& v) {
  runtime::ResumeNext rn;
  std::string longName;
  rn([&] { longName = mpa::GetLongFileName(v); });
  rn([&] { exePath_ = longName.empty() ? v : longName; });
}

bool ImageViewer::PreferredHandler() {
  if (preferredHandler_) return true;
  if (!g_objSettings) runtime::Raise(runtime::err::kObjectVariableNotSet);
  if (viewerName_ == g_objSettings->DefaultViewer()) preferredHandler_ = true;
  return preferredHandler_;
}

void ImageViewer::IsBrowser(bool v) {
  isBrowser_ = v;
  if (v) {
    bmp_ = true;
    gif_ = true;
    jpeg_ = true;
    tiff_ = false;
    png_ = false;
    wmf_ = false;
    emf_ = false;
  }
}

}  // namespace lumivane
