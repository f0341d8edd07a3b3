#include "platform/forms/ui.h"

#include <algorithm>

#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/path.h"
#include "runtime/error.h"

namespace platform::forms {

namespace {

constexpr char kSep = platform::kPathSeparator;

std::shared_ptr<UserInterface>& UiSlot() {
  static std::shared_ptr<UserInterface> ui = std::make_shared<ScriptedUserInterface>();
  return ui;
}

void RequireForm(const Form& form) {
  if (!form.IsLoaded() || !FormAccess::IsVisible(form)) RefuseReach("form '" + form.Name() + "': it is not shown");
  if (!FormAccess::IsTopmostModalOrFree(form)) RefuseReach("form '" + form.Name() + "': another form is shown modally");
}

void RequireControl(const Control& control) {
  RequireForm(control.Parent());
  for (const Control* c = &control; c != nullptr; c = c->Container())
    if (!c->Visible() || !c->Enabled())
      RefuseReach("control '" + control.Name() + "' of form '" + control.Parent().Name() +
                  "': it is hidden or disabled");
}

bool IsLive(const Control& control) {
  const Form& form = control.Parent();
  if (!form.IsLoaded()) return false;
  const auto& live = form.LiveControls();
  return std::any_of(live.begin(), live.end(), [&](const auto& c) { return c.get() == &control; });
}

// UTF-8 code points of a text, one at a time.
std::vector<int> CodePoints(std::string_view text) {
  std::vector<int> out;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 1;
    if (i + static_cast<std::size_t>(len) > text.size()) len = 1;
    int cp = len == 1 ? b : b & (0xFF >> (len + 1));
    for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    out.push_back(cp);
    i += static_cast<std::size_t>(len);
  }
  return out;
}

// One character typed into a focused text box: the form's preview, the box's
// KeyPress, then the text.
void TypeOne(TextBox& box, int key, bool insert) {
  Form& form = box.Parent();
  if (form.KeyPreview()) FormAccess::KeyPress(form, key);
  if (key == 0 || !IsLive(box)) return;
  if (box.KeyPress) {
    auto handler = box.KeyPress;
    FormAccess::Dispatch(box, [&] { handler(key); });
  }
  if (key == 0 || !insert || !IsLive(box)) return;
  FormAccess::PersonTyped(box, key);
}

// The character a key types, 0 for none.
int AsciiOf(int keyCode, int shift) {
  if ((shift & vbAltMask) != 0) return 0;  // an access key, not a character
  if ((shift & vbCtrlMask) != 0) return keyCode >= 'A' && keyCode <= 'Z' ? keyCode - 'A' + 1 : 0;
  if (keyCode == vbKeyBack || keyCode == vbKeyReturn || keyCode == vbKeyEscape || keyCode == vbKeySpace) return keyCode;
  if (keyCode >= '0' && keyCode <= '9') return keyCode;
  if (keyCode >= 'A' && keyCode <= 'Z') return (shift & 1) != 0 ? keyCode : keyCode - 'A' + 'a';
  return 0;
}

CommandButton* FindButton(Form& form, bool wantDefault) {
  for (const auto& c : form.LiveControls()) {
    auto* b = dynamic_cast<CommandButton*>(c.get());
    if (b != nullptr && (wantDefault ? b->Default() : b->Cancel())) return b;
  }
  return nullptr;
}

bool Reachable(const Control& control) {
  for (const Control* c = &control; c != nullptr; c = c->Container())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void ResetCursor() {
  if (Screen().Cursor() != 0) Screen().SetCursor(0);
}

}  // namespace

// ---- the scripted seam ----

void ScriptedUserInterface::Drive(std::string formName, Driver driver) {
  drivers_[std::move(formName)] = std::move(driver);
}

void ScriptedUserInterface::DriveOnce(std::string formName, Driver driver) {
  once_[std::move(formName)].push_back(std::move(driver));
}

void ScriptedUserInterface::StopDriving(const std::string& formName) {
  drivers_.erase(formName);
  once_.erase(formName);
}

void ScriptedUserInterface::AnswerFolder(std::string path) {
  std::string name = path;
  while (name.size() > 1 && name.back() == kSep) name.pop_back();
  if (const std::size_t slash = name.rfind(kSep); slash != std::string::npos && name.size() > 1)
    name.erase(0, slash + 1);
  folderAnswers_.push_back(FolderAnswer{FolderAnswer::Kind::Folder, std::move(path), std::move(name), 0, {}});
}

void ScriptedUserInterface::CancelFolder() { folderAnswers_.push_back(FolderAnswer{}); }

void ScriptedUserInterface::FailFolder(long number, std::string description) {
  FolderAnswer answer;
  answer.errorNumber = number;
  answer.errorDescription = std::move(description);
  folderAnswers_.push_back(std::move(answer));
}

void ScriptedUserInterface::Fail(std::string formName, std::string member, long number, std::string description,
                                 int times) {
  faults_[{std::move(formName), std::move(member)}] = Fault{number, std::move(description), times};
}

void ScriptedUserInterface::Heal(const std::string& formName, const std::string& member) {
  faults_.erase({formName, member});
}

void ScriptedUserInterface::Enter(const Form& form, std::string_view member) {
  auto it = faults_.find({form.Name(), std::string(member)});
  if (it == faults_.end() || it->second.times == 0) return;
  const Fault fault = it->second;
  if (it->second.times > 0 && --it->second.times == 0) faults_.erase(it);
  runtime::Raise(fault.number, fault.description);
}

void ScriptedUserInterface::AnswerVirtualItem(std::string displayName) {
  folderAnswers_.push_back(FolderAnswer{FolderAnswer::Kind::VirtualItem, {}, std::move(displayName), 0, {}});
}

UserInterface::Driver ScriptedUserInterface::ModalDriver(const Form& form) {
  auto once = once_.find(form.Name());
  if (once != once_.end() && !once->second.empty()) {
    Driver driver = std::move(once->second.front());
    once->second.pop_front();
    return driver;
  }
  auto it = drivers_.find(form.Name());
  return it != drivers_.end() ? it->second : Driver{};
}

FolderAnswer ScriptedUserInterface::PickFolder(const FolderRequest& request) {
  folderRequests_.Add(request);
  if (folderAnswers_.empty())
    runtime::Raise(runtime::err::kInternalError,
                   "no answer queued for the folder picker \"" + request.title.value_or("") + "\"");
  FolderAnswer answer = std::move(folderAnswers_.front());
  folderAnswers_.pop_front();
  if (answer.errorNumber != 0) runtime::Raise(answer.errorNumber, answer.errorDescription);
  return answer;
}

std::vector<std::string> ScriptedUserInterface::NoticesOf(std::string_view formName) const {
  std::vector<std::string> out;
  for (const auto& n : notices_.Entries())
    if (n.form == formName) out.push_back(n.action);
  return out;
}

void SetUserInterface(std::shared_ptr<UserInterface> ui) { UiSlot() = std::move(ui); }

UserInterface* CurrentUserInterface() { return UiSlot().get(); }

void NotifyChanged(Form& form, Control* control) {
  if (UserInterface* ui = CurrentUserInterface()) ui->Changed(form, control);
}

// ---- printing ----

std::string DescribeForm(Form& form) {
  std::string out = form.Caption() + "  [" + form.Name();
  if (form.IsShownModally()) out += ", modal";
  if (!FormAccess::IsVisible(form)) out += ", hidden";
  out += "]\n";
  Control* focused = FormAccess::Focused(form);
  for (Control* c : form.Controls()) {
    out += "  " + c->Name();
    if (c->Index() >= 0) out += "(" + std::to_string(c->Index()) + ")";
    out += "  ";
    out += c->TypeName();
    const std::string what = c->Describe();
    if (!what.empty()) out += "  " + what;
    if (!c->Enabled()) out += "  (disabled)";
    if (!c->Visible()) out += "  (hidden)";
    if (c == focused) out += "  (focus)";
    out += "\n";
  }
  return out;
}

// ---- what a person does ----

void RequireReachable(const Control& control) { RequireControl(control); }

void RefuseReach(const std::string& what) {
  throw Refusal(runtime::err::kInvalidProcedureCall, "a person cannot reach " + what);
}

namespace user {

void Click(Control& control) {
  RequireControl(control);
  Form& form = control.Parent();
  form.Dispatch([&] { FormAccess::UserClick(control); });
}

void Click(Form& form) {
  RequireForm(form);
  FormAccess::Click(form);
}

void Type(TextBox& box, std::string_view text) {
  RequireControl(box);
  Form& form = box.Parent();
  form.Dispatch([&] {
    box.SetFocus();
    for (int cp : CodePoints(text)) {
      if (!IsLive(box)) return;
      TypeOne(box, cp, true);
    }
  });
}

void Paste(TextBox& box, std::string_view text) {
  RequireControl(box);
  Form& form = box.Parent();
  form.Dispatch([&] {
    box.SetFocus();
    box.Text(std::string(text));
  });
}

void PressKey(Form& form, int keyCode, int shift) {
  RequireForm(form);
  form.Dispatch([&] {
    Control* focused = FormAccess::Focused(form);
    if (keyCode == vbKeyReturn || keyCode == vbKeyEscape) {
      CommandButton* button = dynamic_cast<CommandButton*>(focused);
      if (keyCode == vbKeyEscape || button == nullptr) button = FindButton(form, keyCode == vbKeyReturn);
      if (button != nullptr && Reachable(*button)) {
        FormAccess::UserClick(*button);
        return;
      }
    }
    const int ascii = AsciiOf(keyCode, shift);
    if (ascii != 0) {
      if (auto* box = dynamic_cast<TextBox*>(focused)) {
        TypeOne(*box, ascii, ascii != vbKeyReturn && ascii != vbKeyEscape);
      } else if (form.KeyPreview()) {
        int key = ascii;
        FormAccess::KeyPress(form, key);
      }
    } else if (auto* box = dynamic_cast<TextBox*>(focused)) {
      FormAccess::PersonKey(*box, keyCode, shift);
    }
    if (!form.IsLoaded()) return;
    if (form.KeyPreview() || FormAccess::Focused(form) == nullptr) {
      int code = keyCode, sh = shift;
      FormAccess::KeyUp(form, code, sh);
    }
  });
}

void MouseMove(Control& control, float x, float y, int button, int shift) {
  RequireControl(control);
  ResetCursor();
  auto handler = control.MouseMove;
  if (handler) FormAccess::Dispatch(control, [&] { handler(button, shift, x, y); });
}

void MouseMove(Form& form, float x, float y, int button, int shift) {
  RequireForm(form);
  ResetCursor();
  FormAccess::MouseMove(form, button, shift, x, y);
}

void MouseDown(Control& control, float x, float y, int button, int shift) {
  RequireControl(control);
  auto handler = control.MouseDown;
  if (handler) FormAccess::Dispatch(control, [&] { handler(button, shift, x, y); });
}

void MouseDown(Form& form, float x, float y, int button, int shift) {
  RequireForm(form);
  FormAccess::MouseDown(form, button, shift, x, y);
}

void MouseUp(Control& control, float x, float y, int button, int shift) {
  RequireControl(control);
  auto handler = control.MouseUp;
  if (handler) FormAccess::Dispatch(control, [&] { handler(button, shift, x, y); });
}

bool Close(Form& form) {
  RequireForm(form);
  return FormAccess::Close(form, vbFormControlMenu);
}

}  // namespace user

}  // namespace platform::forms
