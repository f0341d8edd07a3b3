#pragma once
// The hive file: REGEDIT4 text that a person can read and edit.
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Quenstor\Lumivane\Settings]
//   @="default value"
//   "DefaultViewer"="C:\\Tools\\view.exe"
//   "SlideShowInterval"=dword:00000005
//   "Bytes"=hex:00,1f,a0
//   "Path"=hex(2):25,54,45,4d,50,25,00
//   "List"=hex(7):61,00,62,00,00,00
//
// Quoted texts escape only \\ and \"; a backslash before any other character
// stands for itself, which keeps hand-typed Windows paths readable. A text
// that cannot be written in quotes (no terminating NUL, inner NUL, line
// breaks) is written as hex(1). Long hex lists continue on the next line
// after a trailing backslash. Lines starting with ';' are comments.

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry/hive.h"

namespace platform::registry {

struct HiveFileError {
  int line = 0;  // 1-based; 0 for the file as a whole
  std::string message;
  // The file ends before its final blank line (the writer always ends with
  // one): cut short, or not written whole. Everything read is whole.
  bool cut = false;
};

std::string WriteHiveText(const KeyNode& top, std::string_view rootName);

// Fills `top` (empty on entry) from the text of a hive file for `rootName`.
// On an error the content of `top` is unspecified, except for a `cut` file:
// then it holds every whole line (a last line without its line break may be
// cut inside and is left out). Keys may nest kMaxKeyDepth levels deep.
std::optional<HiveFileError> ReadHiveText(std::string_view text, std::string_view rootName, KeyNode& top);

}  // namespace platform::registry
