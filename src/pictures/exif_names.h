#pragma once
// The EXIF property names of modPictureAttachments, which the picture info
// pane uses as keys and labels.

#include <string>

#include "pictures/picture_enums.h"

namespace lumivane::modPictureAttachments {

// The name of lvwEXIFProperty value n, spelled as the ImageFile property of
// that name; empty for any number outside 1 to 19.
std::string GetEXIFPropertyNameByEnum(long n);

}  // namespace lumivane::modPictureAttachments
