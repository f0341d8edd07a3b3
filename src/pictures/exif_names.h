#pragma once
// The EXIF property names of modPictureAttachments, which the picture info
// pane uses as keys and labels.

#include <string>
#include <string_view>

#include "pictures/picture_enums.h"

namespace lumivane::modPictureAttachments {

// The name of lvwEXIFProperty value n, spelled as the ImageFile property of
// that name; empty for any number outside 1 to 19.
std::string GetEXIFPropertyNameByEnum(long n);

}  // namespace lumivane::modPictureAttachments

namespace lumivane {

// An EXIF text as the info pane shows it: on one line, a line break or tab
// becoming one blank, without control characters and without the bidi marks,
// embeddings and isolates that would turn the rest of the line around.
std::string OneLineText(std::string_view raw);

}  // namespace lumivane
