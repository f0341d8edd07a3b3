#pragma once
// The picture formats and the EXIF properties, numbered as the add-in
// numbers them. Both take whole numbers from outside, so any number can
// arrive; the procedures that take them say what one outside the list does.

namespace lumivane {

enum class lvwImageType : long { BMP = 0, GIF = 1, JPEG = 2, TIFF = 3, PNG = 4, EMF = 5, WMF = 6 };

enum class lvwEXIFProperty : long {
  DatePictureTaken = 1,
  BitDepth = 2,
  FrameCount = 3,
  EquipmentMake = 4,
  CameraModel = 5,
  CreationSoftware = 6,
  ColorRepresentation = 7,
  ShutterSpeed = 8,
  LensAperture = 9,
  SubjectDistance = 10,
  FlashMode = 11,
  FocalLength = 12,
  FNumber = 13,
  ExposureTime = 14,
  ISOSpeed = 15,
  MeteringMode = 16,
  LightSource = 17,
  ExposureProgram = 18,
  ExposureCompensation = 19,
};

}  // namespace lumivane
