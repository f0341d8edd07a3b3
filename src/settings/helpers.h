#pragma once
// The general helper procedures of modPictureAttachments: long path names,
// extensions, the picture-extension test, the foreground window, the hand
// cursor, debug messages and the user's special folders.

#include <string>

namespace lumivane::modPictureAttachments {

std::string GetLongFileName(std::string path);
bool APIFunctionPresent(const std::string& functionName, const std::string& libraryName);
std::string GetExtension(const std::string& fileName);
// No handler of its own: an error reaches the caller.
bool IsPictureExtension(const std::string& extension, bool noPng);
void SetTheForegroundWindow(long hWnd);
void ShowHandCursor();
void DebugMessage(const std::string& text);

std::string GetProgramFilesFolder();
std::string GetTempPictureFilesPath();
std::string GetLocalAppDataFolder();
std::string GetMyDocumentsFolder();
std::string GetSystemFolder();
std::string GetMyPicturesFolder();

// Set by the settings load when no toolbar geometry is stored; cleared when
// the toolbars are first placed.
extern bool g_blnExplBarPositionUnset;
extern bool g_blnInspBarPositionUnset;

}  // namespace lumivane::modPictureAttachments
