#include "settings/helpers.h"

#include <memory>

#include "platform/forms/msgbox.h"
#include "platform/path.h"
#include "platform/shell/shell.h"
#include "runtime/error.h"
#include "runtime/handlers.h"
#include "runtime/text.h"
#include "settings/app.h"
#include "settings/reg_settings.h"

namespace lumivane::modPictureAttachments {

bool g_blnExplBarPositionUnset = false;
bool g_blnInspBarPositionUnset = false;

namespace {

namespace shell = platform::shell;

constexpr long kLongPathBuffer = 260;
constexpr std::size_t kFolderPathBuffer = 300;

runtime::OnError Handler(const char* procedure) {
  return ErrorBox(procedure, runtime::ModuleKind::Module, "modPictureAttachments");
}

// The file-system path of a shell special folder, or an empty text; shows nothing.
std::string SpecialFolderPath(long folder) {
  runtime::ResumeNext rn;
  long pidl = 0;
  long hr = shell::E_FAIL;
  rn([&] { hr = shell::SHGetSpecialFolderLocation(0, folder, pidl); });
  if (hr != shell::S_OK) return {};
  std::string buffer(kFolderPathBuffer, '\0');
  rn([&] { shell::SHGetPathFromIDList(pidl, buffer); });
  std::shared_ptr<shell::ShellMalloc> malloc;
  rn([&] { shell::SHGetMalloc(malloc); });
  rn([&] {
    if (!malloc) runtime::Raise(runtime::err::kObjectVariableNotSet);
    malloc->Free(pidl);
  });
  malloc.reset();
  return buffer.substr(0, buffer.find('\0'));
}

}  // namespace

bool APIFunctionPresent(const std::string& functionName, const std::string& libraryName) {
  auto eh = Handler("APIFunctionPresent");
  bool present = false;
  long hModule = 0;
  eh([&] { hModule = shell::LoadLibraryA(libraryName); });
  if (hModule != 0) {
    eh([&] { present = shell::GetProcAddress(hModule, functionName) != 0; });
    eh([&] { shell::FreeLibrary(hModule); });
  }
  return present;
}

std::string GetLongFileName(std::string path) {
  auto eh = Handler("GetLongFileName");
  bool present = false;
  eh([&] { present = APIFunctionPresent("GetLongPathNameA", "kernel32"); });
  if (!present) return {};

  std::string buffer(kLongPathBuffer, '\0');
  long length = 0;
  if (!eh([&] { length = shell::GetLongPathNameA(path, buffer, kLongPathBuffer); })) return {};
  // A long path that does not fit comes back as the size it needs, with the
  // buffer untouched: ask once more with that much room, so that the caller
  // gets the whole path or nothing, never a buffer of NULs.
  if (length >= kLongPathBuffer) {
    const long needed = length;
    buffer.assign(static_cast<std::size_t>(needed), '\0');
    length = 0;
    if (!eh([&] { length = shell::GetLongPathNameA(path, buffer, needed); })) return {};
    if (length >= needed) return {};  // it grew again meanwhile
  }
  if (length < 1) return {};
  return buffer.substr(0, static_cast<std::size_t>(length));
}

std::string GetExtension(const std::string& fileName) {
  auto eh = Handler("GetExtension");
  std::string extension = fileName;
  eh([&] {
    const auto dot = fileName.rfind('.');
    if (dot != std::string::npos) extension = fileName.substr(dot);
  });
  return extension;
}

bool IsPictureExtension(const std::string& extension, bool noPng) {
  static const char* const kPictures[] = {".bmp", ".gif", ".jpg", ".jpeg", ".tif", ".tiff", ".png", ".emf", ".wmf"};
  const std::string lower = runtime::LCase(extension);
  if (noPng && lower == ".png") return false;
  for (const char* known : kPictures) {
    if (lower == known) return true;
  }
  return false;
}

void SetTheForegroundWindow(long hWnd) {
  auto eh = Handler("SetTheForegroundWindow");
  long foreground = 0;
  // When the foreground window cannot be read, the window is brought forward
  // anyway, as the original runtime resumed into the body of the test.
  bool elsewhere = true;
  eh([&] {
    foreground = shell::GetForegroundWindow();
    elsewhere = hWnd != foreground;
  });
  if (!elsewhere) return;

  long foregroundThread = 0;
  long windowThread = 0;
  eh([&] { foregroundThread = shell::GetWindowThreadProcessId(foreground); });
  eh([&] { windowThread = shell::GetWindowThreadProcessId(hWnd); });
  if (foregroundThread == windowThread) {
    eh([&] { shell::SetForegroundWindow(hWnd); });
  } else {
    // Another thread's window may take the foreground only while the input
    // of the two threads is joined.
    eh([&] { shell::AttachThreadInput(foregroundThread, windowThread, 1); });
    eh([&] { shell::SetForegroundWindow(hWnd); });
    eh([&] { shell::AttachThreadInput(foregroundThread, windowThread, 0); });
  }

  bool minimised = true;  // an unreadable state restores, which is harmless either way
  eh([&] { minimised = shell::IsIconic(hWnd) != 0; });
  eh([&] { shell::ShowWindow(hWnd, minimised ? shell::SW_RESTORE : shell::SW_SHOW); });
}

void ShowHandCursor() {
  auto eh = Handler("ShowHandCursor");
  long hCursor = 0;
  eh([&] { hCursor = shell::LoadCursorA(0, shell::IDC_HAND); });
  if (hCursor > 0) eh([&] { shell::SetCursor(hCursor); });
}

void DebugMessage(const std::string& text) {
  auto eh = Handler("DebugMessage");
  // Unlike the original runtime, a test that cannot be evaluated does not
  // go on to show the debug text: a user without debug mode never sees it.
  bool debugMode = false;
  eh([&] {
    if (!g_objSettings) runtime::Raise(runtime::err::kObjectVariableNotSet);
    debugMode = g_objSettings->DebugMode();
  });
  if (debugMode) eh([&] { platform::forms::MsgBox(text, platform::forms::vbExclamation, "DEBUG MODE"); });
}

std::string GetProgramFilesFolder() { return SpecialFolderPath(shell::CSIDL_PROGRAM_FILES); }
std::string GetLocalAppDataFolder() { return SpecialFolderPath(shell::CSIDL_LOCAL_APPDATA); }
std::string GetMyDocumentsFolder() { return SpecialFolderPath(shell::CSIDL_PERSONAL); }
std::string GetSystemFolder() { return SpecialFolderPath(shell::CSIDL_SYSTEM); }
std::string GetMyPicturesFolder() { return SpecialFolderPath(shell::CSIDL_MYPICTURES); }

std::string GetTempPictureFilesPath() {
  std::string folder = SpecialFolderPath(shell::CSIDL_LOCAL_APPDATA);
  if (folder.empty()) return {};
  // Exactly one separator between the folder and what follows, even for a root.
  while (!folder.empty() && folder.back() == platform::kPathSeparator) folder.pop_back();
  for (const char* part : {"Quenstor", "Lumivane", "Temporary Picture Files"}) {
    folder += platform::kPathSeparator;
    folder += part;
  }
  return folder;
}

}  // namespace lumivane::modPictureAttachments
