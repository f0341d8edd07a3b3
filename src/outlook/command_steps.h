#pragma once
// Steps that the Explorer's and the Inspector's commands share: their
// refusals and questions, saving one message's attachments, and the report
// of a save run. Each takes the handler of the command that runs it, so a
// failure is treated the way that command treats its errors.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/handlers.h"

namespace host {
class Item;
}

namespace lumivane::commands {

inline constexpr std::string_view kNoAttachmentsToSave = "No Attachments To Save";

// The preview window frmMain, by its name until its own class is at hand:
// whether it is loaded, and unloading it (a preview that is open closes).
bool PreviewWindowLoaded();
void UnloadPreviewWindow();
// Unloads the preview only while it shows `item`: a preview that the Explorer
// opened for another message stays.
void UnloadPreviewWindowOf(const std::shared_ptr<host::Item>& item);
// A slideshow still loaded and an open preview go before a new show starts:
// both show the one temporary folder, and the last of them to close empties
// it, so the new show lists only the new message's pictures, each once.
void UnloadPictureWindows();

// "Message Not Downloaded", the wording of the commands.
void ShowNotDownloaded(runtime::OnError& h);

// A quick-save after the command's own checks: the question (unless the
// settings say not to ask), the test that the folder exists, the saving
// (`save` into the folder of the settings, the files saved) and the report.
void QuickSave(runtime::OnError& h, bool picturesOnly, std::string_view where,
               const std::function<std::int16_t()>& save);

// Saves the attachments of one message into `folder` ("" for the quick-save
// folder of the settings) through the name-conflict dialog held for the run,
// each under the key FileName_Index. The files saved; `cancelled` when the
// person cancelled.
std::int16_t SaveItem(runtime::OnError& h, const std::shared_ptr<host::Item>& item, bool picturesOnly,
                      const std::string& folder, bool& cancelled);

// "SAVE COMPLETE" for `saved` files (nothing for none): the quick-save
// wording ("to the '<folder>' folder.") or the save-to one ("to '<folder>'.").
void ReportSaved(runtime::OnError& h, std::int16_t saved, bool picturesOnly, const std::string& folder, bool quickSave);

}  // namespace lumivane::commands
