#pragma once
// Message boxes, routed through a responder: the program asks a person on
// the terminal, tests answer from a script and read the log.

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/seam_record.h"
#include "runtime/error.h"

namespace platform::forms {

// Style bits and results as the original runtime numbered them.
enum MsgBoxStyle : long {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbAbortRetryIgnore = 2,
  vbYesNoCancel = 3,
  vbYesNo = 4,
  vbRetryCancel = 5,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
  vbDefaultButton2 = 256,
};
enum MsgBoxResult : long { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

struct MessageBoxRecord {
  std::string prompt;
  long style = vbOKOnly;
  std::string title;
  long answer = 0;
};

class MessageBoxResponder {
 public:
  virtual ~MessageBoxResponder() = default;
  // Returns one of MsgBoxResult for the box described (answer not yet set).
  virtual long Answer(const MessageBoxRecord& box) = 0;
};

// The test seam: answers queued in advance; with none queued an OK-only box
// is answered OK and any other box raises, so a test never passes on an
// unexpected question. Every box is logged with its answer.
class ScriptedMessageBoxes : public MessageBoxResponder {
 public:
  void Queue(long answer, int times = 1);
  long Answer(const MessageBoxRecord& box) override;

  const std::vector<MessageBoxRecord>& Log() const { return log_.Entries(); }
  void ClearLog() { log_.Clear(); }
  std::size_t Pending() const { return answers_.size(); }

 private:
  std::deque<long> answers_;
  platform::SeamRecord<MessageBoxRecord> log_;
};

void SetMessageBoxResponder(std::shared_ptr<MessageBoxResponder> responder);
MessageBoxResponder* CurrentMessageBoxResponder();

// The title a box gets when none is given (App.Title).
void SetDefaultTitle(std::string title);
const std::string& DefaultTitle();

// Buttons of a style, for printing: "OK", "Yes/No", ...
std::string_view ButtonsName(long style);
std::string_view IconName(long style);  // "critical", "question", "exclamation", "information" or ""
std::string_view ResultName(long result);

long MsgBox(std::string_view prompt, long buttons = vbOKOnly, std::string_view title = {});

// The common error box: CommonErrorText + suffix, exclamation, title
// product + " Error".
void ShowCommonErrorBox(std::string_view product, const runtime::Error& e, const runtime::ErrorSite& site,
                        std::string_view suffix = {});

}  // namespace platform::forms
