#pragma once
// One installed program that can show pictures, a picture viewer or a web
// browser: its display name, its executable and open command, the picture
// formats it opens and those for which it is the chosen handler.
//
// BuildEXEPath, ConfirmImageHandlingCapability, SetRegisteredExtensions,
// PreferredHandler and IsBrowser(bool) let an error reach the caller; every
// other member passes over errors and goes on.

#include <string>

#include "runtime/collection.h"
#include "runtime/variant.h"

namespace lumivane {

class ImageViewer {
 public:
  bool CustomViewer() const { return customViewer_; }
  void CustomViewer(bool v) { customViewer_ = v; }
  bool TIFHandler() const { return tifHandler_; }
  void TIFHandler(bool v) { tifHandler_ = v; }
  bool JPGHandler() const { return jpgHandler_; }
  void JPGHandler(bool v) { jpgHandler_ = v; }
  bool GIFHandler() const { return gifHandler_; }
  void GIFHandler(bool v) { gifHandler_ = v; }
  bool BMPHandler() const { return bmpHandler_; }
  void BMPHandler(bool v) { bmpHandler_ = v; }
  bool PNGHandler() const { return pngHandler_; }
  void PNGHandler(bool v) { pngHandler_ = v; }
  bool WMFHandler() const { return wmfHandler_; }
  void WMFHandler(bool v) { wmfHandler_ = v; }
  bool EMFHandler() const { return emfHandler_; }
  void EMFHandler(bool v) { emfHandler_ = v; }

  // The display name and collection key; two program file names read as
  // the names people know them by ("mspaint.exe" is "Paint").
  const std::string& ViewerName() const { return viewerName_; }
  void ViewerName(const std::string& v);

  // True when this viewer can be offered for a file of that extension
  // (with its period): a picture extension, one a browser can show, and
  // nothing but TIFF for the document imaging program.
  bool ConfirmImageHandlingCapability(const std::string& Extension) const;
  // Sets a format flag for each picture extension among the value names
  // (element 0 of each pair); seven or more such extensions make AllFormats.
  // No flag is cleared.
  void SetRegisteredExtensions(const runtime::Collection<runtime::VariantArray>& colList);
  // Expands the folder tokens of a registered command line in place, and
  // derives EXEOpen and EXEPath from it.
  void BuildEXEPath(std::string& strArg);

  const std::string& EXEPath() const { return exePath_; }
  // Stores the long form of the path when it exists, else the text as given.
  void EXEPath(const std::string& v);
  const std::string& EXEOpen() const { return exeOpen_; }
  void EXEOpen(std::string v) { exeOpen_ = std::move(v); }
  // The executable's file name as registered ("MSPVIEW.EXE").
  const std::string& EXEName() const { return exeName_; }
  void EXEName(std::string v) { exeName_ = std::move(v); }

  // True once read while ViewerName equals the DefaultViewer setting, and
  // from then on until set false. Needs the settings object (error 91 without it).
  bool PreferredHandler();
  void PreferredHandler(bool v) { preferredHandler_ = v; }

  bool IsBrowser() const { return isBrowser_; }
  // True also sets the formats a browser shows: BMP, GIF and JPEG, and no others.
  void IsBrowser(bool v);

  bool AllFormats() const { return allFormats_; }
  void AllFormats(bool v) { allFormats_ = v; }
  bool BMP() const { return bmp_; }
  void BMP(bool v) { bmp_ = v; }
  bool TIFF() const { return tiff_; }
  void TIFF(bool v) { tiff_ = v; }
  bool GIF() const { return gif_; }
  void GIF(bool v) { gif_ = v; }
  bool JPEG() const { return jpeg_; }
  void JPEG(bool v) { jpeg_ = v; }
  bool PNG() const { return png_; }
  void PNG(bool v) { png_ = v; }
  bool WMF() const { return wmf_; }
  void WMF(bool v) { wmf_ = v; }
  bool EMF() const { return emf_; }
  void EMF(bool v) { emf_ = v; }

 private:
  bool customViewer_ = false;
  bool tifHandler_ = false;
  bool jpgHandler_ = false;
  bool gifHandler_ = false;
  bool bmpHandler_ = false;
  bool pngHandler_ = false;
  bool wmfHandler_ = false;
  bool emfHandler_ = false;
  std::string viewerName_;
  std::string exePath_;
  std::string exeOpen_;
  std::string exeName_;
  bool preferredHandler_ = false;
  bool isBrowser_ = false;
  bool allFormats_ = false;
  bool bmp_ = false;
  bool tiff_ = false;
  bool gif_ = false;
  bool jpeg_ = false;
  bool png_ = false;
  bool wmf_ = false;
  bool emf_ = false;
};

}  // namespace lumivane
