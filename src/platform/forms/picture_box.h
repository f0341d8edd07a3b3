#pragma once
// Pictures loaded from files, and the PictureBox control that holds one.
//
// A picture here is its file and its size: the drawing of a form decodes the
// file at the size it is shown, so loading one only reads its header.
// Picture boxes count their inner size (ScaleWidth, ScaleHeight) without the
// border; one that sizes to its picture (AutoSize) takes the picture's
// natural size in twips through the screen's twips per pixel.

#include <string>

#include "platform/forms/controls.h"

namespace platform::forms {

struct StdPicture {
  std::string path;  // empty: no picture (Nothing)
  long widthPixels = 0;
  long heightPixels = 0;
  bool operator==(const StdPicture&) const = default;
};

// LoadPicture(path): BMP, GIF, JPEG, EMF and WMF. Raises 53 "File not found"
// when there is no such file and 481 "Invalid picture" when it is none of
// those; the caller's picture stays as it was.
StdPicture LoadPicture(const std::string& path);

enum PictureBoxBorder : int { vbPictureNoBorder = 0, vbPictureFixedSingle = 1 };

class PictureBox : public Control {
 public:
  std::string_view TypeName() const override { return "PictureBox"; }

  const StdPicture& Picture() const { return picture_; }
  void Picture(StdPicture value);
  // Sizes the box to its picture now and whenever the picture changes.
  bool AutoSize() const { return autoSize_; }
  void AutoSize(bool value);
  // 0 none, 1 a 3D frame of 2 pixels on each side (else 380).
  int BorderStyle() const { return borderStyle_; }
  void BorderStyle(int value);
  float ScaleWidth() const;
  float ScaleHeight() const;
  std::string Describe() const override;

 protected:
  bool HasTabIndex() const override { return false; }
  void CopyFrom(const Control& other) override;

 private:
  void FitToPicture();
  StdPicture picture_;
  bool autoSize_ = false;
  int borderStyle_ = vbPictureFixedSingle;
};

}  // namespace platform::forms
