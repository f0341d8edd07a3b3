#include "platform/forms/msgbox.h"

namespace platform::forms {

namespace {
std::shared_ptr<MessageBoxResponder>& Responder() {
  static std::shared_ptr<MessageBoxResponder> responder = std::make_shared<ScriptedMessageBoxes>();
  return responder;
}
std::string& TitleStore() {
  static std::string title = "Lumivane";
  return title;
}
}  // namespace

void ScriptedMessageBoxes::Queue(long answer, int times) {
  for (int i = 0; i < times; ++i) answers_.push_back(answer);
}

long ScriptedMessageBoxes::Answer(const MessageBoxRecord& box) {
  MessageBoxRecord record = box;
  if (!answers_.empty()) {
    record.answer = answers_.front();
    answers_.pop_front();
  } else if ((box.style & 7) == vbOKOnly) {
    record.answer = vbOK;
  } else {
    log_.Add(record);
    throw runtime::Error(runtime::err::kInternalError,
                         "no answer queued for the message box \"" + box.title + "\": " + box.prompt);
  }
  log_.Add(record);
  return record.answer;
}

void SetMessageBoxResponder(std::shared_ptr<MessageBoxResponder> responder) { Responder() = std::move(responder); }
MessageBoxResponder* CurrentMessageBoxResponder() { return Responder().get(); }

void SetDefaultTitle(std::string title) { TitleStore() = std::move(title); }
const std::string& DefaultTitle() { return TitleStore(); }

std::string_view ButtonsName(long style) {
  switch (style & 7) {
    case vbOKCancel: return "OK/Cancel";
    case vbAbortRetryIgnore: return "Abort/Retry/Ignore";
    case vbYesNoCancel: return "Yes/No/Cancel";
    case vbYesNo: return "Yes/No";
    case vbRetryCancel: return "Retry/Cancel";
    default: return "OK";
  }
}

std::string_view IconName(long style) {
  switch (style & 0x70) {
    case vbCritical: return "critical";
    case vbQuestion: return "question";
    case vbExclamation: return "exclamation";
    case vbInformation: return "information";
    default: return "";
  }
}

std::string_view ResultName(long result) {
  switch (result) {
    case vbOK: return "OK";
    case vbCancel: return "Cancel";
    case vbAbort: return "Abort";
    case vbRetry: return "Retry";
    case vbIgnore: return "Ignore";
    case vbYes: return "Yes";
    case vbNo: return "No";
    default: return "?";
  }
}

long MsgBox(std::string_view prompt, long buttons, std::string_view title) {
  MessageBoxRecord box{std::string(prompt), buttons, title.empty() ? DefaultTitle() : std::string(title), 0};
  MessageBoxResponder* r = CurrentMessageBoxResponder();
  if (r == nullptr) return vbOK;
  return r->Answer(box);
}

void ShowCommonErrorBox(std::string_view product, const runtime::Error& e, const runtime::ErrorSite& site,
                        std::string_view suffix) {
  std::string text = runtime::CommonErrorText(e, site);
  text += suffix;
  MsgBox(text, vbExclamation, std::string(product) + " Error");
}

}  // namespace platform::forms
