#pragma once
// One picture file of the temporary picture folder, described as the
// preview window shows it: path and names, size text, pixel size,
// resolution, bit depth and the EXIF properties as display texts.
//
// The EXIF Lets take the raw value as text (a code such as "2", a fraction
// such as "10/1250", or the ASCII text) and store the display text; each
// rule is at its setter in exif_texts.cpp.
//
// The picture itself is opened only while LoadEXIFData reads it and is let
// go of (Dispose) before LoadEXIFData returns, so a described file is never
// held open, whoever still holds its ImageFile, and the temporary folder can
// be cleared at any time.

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/variant.h"

namespace platform::gdiplus {
class GdiPlusImage;
class GdiPlusPropertyItem;
}  // namespace platform::gdiplus

namespace lumivane {

class ImageFile {
 public:
  ImageFile() = default;
  ~ImageFile();
  ImageFile(const ImageFile&) = delete;
  ImageFile& operator=(const ImageFile&) = delete;

  void Copy() {}  // kept from the original interface; nothing calls it

  // Opens the picture at Path and reads resolution, pixel size and, when the
  // colour space is sRGB, every other EXIF property. Passes over every error;
  // a picture that cannot be loaded shows the common error box (with
  // " [Unable to load file]") only while the DebugMode setting is on.
  void LoadEXIFData();

  std::int32_t PictureHeight() const { return pictureHeight_; }
  void PictureHeight(std::int32_t v);
  std::int32_t PictureWidth() const { return pictureWidth_; }
  void PictureWidth(std::int32_t v);
  std::int16_t VerticalResolution() const { return verticalResolution_; }
  void VerticalResolution(std::int16_t v) { verticalResolution_ = v; }
  std::int16_t HorizontalResolution() const { return horizontalResolution_; }
  void HorizontalResolution(std::int16_t v) { horizontalResolution_ = v; }
  std::int16_t FrameCount() const { return frameCount_; }
  void FrameCount(std::int16_t v) { frameCount_ = v; }
  std::int16_t BitDepth() const { return bitDepth_; }
  void BitDepth(std::int16_t v) { bitDepth_ = v; }

  const std::string& ExposureCompensation() const { return exposureCompensation_; }
  void ExposureCompensation(const std::string& raw);
  const std::string& ExposureProgram() const { return exposureProgram_; }
  void ExposureProgram(const std::string& raw);
  const std::string& LightSource() const { return lightSource_; }
  void LightSource(const std::string& raw);
  const std::string& MeteringMode() const { return meteringMode_; }
  void MeteringMode(const std::string& raw);
  const std::string& ISOSpeed() const { return isoSpeed_; }
  void ISOSpeed(const std::string& raw);
  const std::string& ExposureTime() const { return exposureTime_; }
  void ExposureTime(const std::string& raw);
  const std::string& FNumber() const { return fNumber_; }
  void FNumber(const std::string& raw);
  const std::string& FocalLength() const { return focalLength_; }
  void FocalLength(const std::string& raw);
  const std::string& FlashMode() const { return flashMode_; }
  void FlashMode(const std::string& raw);
  const std::string& SubjectDistance() const { return subjectDistance_; }
  void SubjectDistance(const std::string& raw);
  const std::string& LensAperture() const { return lensAperture_; }
  void LensAperture(const std::string& raw);
  const std::string& ShutterSpeed() const { return shutterSpeed_; }
  void ShutterSpeed(const std::string& raw);
  const std::string& ColorRepresentation() const { return colorRepresentation_; }
  void ColorRepresentation(const std::string& raw);
  const std::string& CreationSoftware() const { return creationSoftware_; }
  void CreationSoftware(const std::string& raw) { creationSoftware_ = raw; }
  const std::string& EquipmentMake() const { return equipmentMake_; }
  void EquipmentMake(const std::string& raw) { equipmentMake_ = raw; }
  // Width " x " height; empty until a height other than 0 is set.
  const std::string& Dimensions() const { return dimensions_; }
  const std::string& CameraModel() const { return cameraModel_; }
  void CameraModel(const std::string& raw) { cameraModel_ = raw; }
  const std::string& DatePictureTaken() const { return datePictureTaken_; }
  void DatePictureTaken(const std::string& raw);
  bool HasEXIFData() const { return hasEXIFData_; }
  void HasEXIFData(bool v) { hasEXIFData_ = v; }

  const std::string& Path() const { return path_; }
  // Also sets FileSize from the file's size ("0 KB" when it cannot be read).
  void Path(const std::string& v);
  const std::string& FileSize() const { return fileSize_; }
  void FileSize(const std::string& v) { fileSize_ = v; }
  const std::string& FileName() const { return fileName_; }
  void FileName(const std::string& v) { fileName_ = v; }
  const std::string& OriginalFileName() const { return originalFileName_; }
  void OriginalFileName(const std::string& v) { originalFileName_ = v; }

 private:
  runtime::Variant GetPropertyItemValue(const platform::gdiplus::GdiPlusPropertyItem& item);
  void ReleaseImage() noexcept;

  std::shared_ptr<platform::gdiplus::GdiPlusImage> image_;
  std::string path_;
  std::string fileName_;
  std::string originalFileName_;
  std::string fileSize_;
  std::int32_t pictureHeight_ = 0;
  std::int32_t pictureWidth_ = 0;
  std::string dimensions_;
  std::int16_t horizontalResolution_ = 0;
  std::int16_t verticalResolution_ = 0;
  std::int16_t frameCount_ = 0;
  std::int16_t bitDepth_ = 0;
  bool hasEXIFData_ = false;
  std::string colorRepresentation_;
  std::string creationSoftware_;
  std::string equipmentMake_;
  std::string cameraModel_;
  std::string datePictureTaken_;
  std::string exposureCompensation_;
  std::string exposureProgram_;
  std::string exposureTime_;
  std::string flashMode_;
  std::string fNumber_;
  std::string focalLength_;
  std::string isoSpeed_;
  std::string lensAperture_;
  std::string lightSource_;
  std::string meteringMode_;
  std::string shutterSpeed_;
  std::string subjectDistance_;
};

}  // namespace lumivane
