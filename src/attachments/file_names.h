#pragma once
// File names of the attachment services: the renaming rules of the
// temporary folder and of the name-conflict dialog, the characters a typed
// name may not hold, and the one test that keeps a name inside the folder it
// is joined to.

#include <memory>
#include <string>
#include <string_view>

namespace platform::fso {
class FileSystemObject;
}

namespace lumivane::names {

// The extension from the last "." (with the period; empty when there is
// none) and what comes before it.
struct SplitName {
  std::string base;
  std::string ext;
};
SplitName SplitExtension(std::string_view name);

// The conflict dialog's number rule: everything after the first "_" of the
// base is replaced by that number plus one (IMG_0007.jpg -> IMG_8.jpg);
// otherwise, and when the number cannot be raised, "_1" goes behind the base
// (my_photo.jpg -> my_photo_1.jpg, x_.gif -> x__1.gif). Numbers are read as
// a general number parser reads them and rounded; wide enough that a dated
// camera name (IMG_20190101.jpg -> IMG_20190102.jpg) is raised too.
// The result stays within 255 bytes: the base is shortened and the extension
// kept, and a name at the limit has its last "_<number>" raised.
std::string NumberedFileName(std::string_view name);

// The conflict dialog's date rule: base + " - " + date + ext (the base
// shortened to stay within 255 bytes).
std::string DatedFileName(std::string_view name, std::string_view date);

// The temporary folder's rule, with its 16-bit number: as the number rule,
// but a double underscore counts as one (a__3.png -> a_4.png), a trailing
// one takes the number directly (x_.gif -> x_1.gif), and a number that does
// not fit counts as 0 (IMG_20190101.jpg -> IMG_1.jpg). 32767, which cannot
// be raised, gets "_1" behind the base.
std::string NextTempFileName(std::string_view name);

// None of \ / : * ? " < > | (the name check of a typed name).
bool IsValidFileName(std::string_view name);
// The same for a new name of the attachment named `offered`: a character of
// the list that `offered` holds already is accepted (the mail client let it
// through, and the proposals are made from it); separators never are.
bool IsValidFileName(std::string_view name, std::string_view offered);
// Tells the person which characters a typed name may not hold.
void ShowInvalidFileNameMessage();

// The text with every occurrence of `remove` taken out, compared without
// regard to case.
std::string RemoveText(std::string_view text, std::string_view remove);
// A message subject made usable as (part of) a file name: the characters
// that show nothing, turn text around or drive a terminal removed (as they
// are from attachment names), then every : / \ > < | * ? and double quote,
// then the trailing periods one by one, then the blanks at both ends
// ("Re: photos?" -> "Re photos", "Holiday..." -> "Holiday").
std::string CleanFileName(std::string_view text);

// `before` + `middle` + `after` within 255 bytes: `middle` (a subject, or
// the text in its place) is cut on a character boundary. When `before` and
// `after` alone are too long, the whole is cut before its extension.
std::string FitAround(std::string_view before, std::string_view middle, std::string_view after);
// A cleaned subject as a folder name: cut to 255 bytes on a character
// boundary, then cleaned of the periods and blanks the cut left at its end.
std::string FitFolderName(std::string_view cleaned);

// The name, joined to a folder, names an entry of that folder itself: not
// empty, not made only of periods and blanks ("." and ".." are the folders
// themselves, "..." a hidden file), no separator of either system ("/" or "\"), no
// NUL. An attachment's name comes from whoever wrote the message.
bool StaysInFolder(std::string_view name);

// Tells the person that the name was refused and nothing was written.
void RefuseName(std::string_view name, std::string_view folder);

// The shared file-system object, made on first use; raises 424 (Object
// required) when it cannot be made, as every member call on it would.
std::shared_ptr<platform::fso::FileSystemObject> RequireFSO();

}  // namespace lumivane::names
