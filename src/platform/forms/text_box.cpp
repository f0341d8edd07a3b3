// The text box: its text, its selection, and what a person's keys do to it.
#include <algorithm>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/ui.h"

namespace platform::forms {

namespace {

// The control codes of Ctrl with a letter that a text box acts on.
constexpr int kSelectAll = 1;  // Ctrl+A
constexpr int kCopy = 3;       // Ctrl+C
constexpr int kPaste = 22;     // Ctrl+V
constexpr int kCut = 24;       // Ctrl+X
constexpr int kUndo = 26;      // Ctrl+Z

[[noreturn]] void InvalidValue() { runtime::Raise(formerr::kInvalidPropertyValue, "Invalid property value"); }

bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

long Length(const std::string& s) {
  return static_cast<long>(std::count_if(s.begin(), s.end(), [](char c) { return !Continuation(c); }));
}

// The byte where character `chars` starts; the end when there are fewer.
std::size_t Offset(const std::string& s, long chars) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (Continuation(s[i])) continue;
    if (chars-- == 0) return i;
  }
  return s.size();
}

std::string Utf8(int cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (cp >> 18));
    s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

std::string Clipboard() {
  UserInterface* ui = CurrentUserInterface();
  return ui != nullptr ? ui->ClipboardText() : std::string();
}

void Clipboard(std::string text) {
  if (UserInterface* ui = CurrentUserInterface()) ui->ClipboardText(std::move(text));
}

}  // namespace

TextBox::TextBox() {
  ForeColor(vbWindowText);
  BackColor(vbWindowBackground);
}

void TextBox::Text(std::string value) {
  if (value == text_) return;
  text_ = std::move(value);
  anchor_ = caret_ = Length(text_);
  canUndo_ = typing_ = false;
  Changed();
  FormAccess::RaiseChange(*this);
}

std::string TextBox::Describe() const { return "text \"" + text_ + "\""; }

void TextBox::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  text_ = static_cast<const TextBox&>(other).text_;
  anchor_ = caret_ = Length(text_);
}

long TextBox::SelStart() const { return std::min(anchor_, caret_); }

void TextBox::SelStart(long value) {
  if (value < 0) InvalidValue();
  Place(value, value);
  Changed();
}

long TextBox::SelLength() const { return std::max(anchor_, caret_) - SelStart(); }

void TextBox::SelLength(long value) {
  if (value < 0) InvalidValue();
  const long start = SelStart();
  Place(start, start + value);
  Changed();
}

std::string TextBox::SelText() const {
  const std::size_t from = Offset(text_, SelStart());
  return text_.substr(from, Offset(text_, SelStart() + SelLength()) - from);
}

void TextBox::SelText(std::string value) { Replace(value, false); }

void TextBox::Place(long anchor, long caret) {
  const long end = Length(text_);
  anchor_ = std::clamp(anchor, 0L, end);
  caret_ = std::clamp(caret, 0L, end);
  typing_ = false;
}

void TextBox::Apply(State next) {
  const bool changed = next.text != text_;
  text_ = std::move(next.text);
  anchor_ = next.anchor;
  caret_ = next.caret;
  Changed();
  if (changed) FormAccess::RaiseChange(*this);
}

void TextBox::Replace(const std::string& with, bool typing) {
  const long start = SelStart(), end = start + SelLength();
  if (with.empty() && start == end) return;
  // Like the desktop's text boxes, one step of undo: a run of typing counts
  // as one, and undoing twice brings the undone text back.
  if (!typing || !typing_) {
    undo_ = State{text_, anchor_, caret_};
    canUndo_ = true;
  }
  const long at = start + Length(with);
  State next{text_.substr(0, Offset(text_, start)) + with + text_.substr(Offset(text_, end)), at, at};
  Apply(std::move(next));
  typing_ = typing;
}

void TextBox::PersonTyped(int key) {
  switch (key) {
    case kSelectAll:
      Place(0, Length(text_));
      Changed();
      return;
    case kCopy:
      if (SelLength() > 0) Clipboard(SelText());
      return;
    case kCut:
      if (SelLength() == 0) return;
      Clipboard(SelText());
      Replace({}, false);
      return;
    case kPaste: {
      // One line: a pasted line break would end up inside the path.
      std::string pasted = Clipboard();
      if (const std::size_t end = pasted.find_first_of("\r\n"); end != std::string::npos) pasted.erase(end);
      Replace(pasted, false);
      return;
    }
    case kUndo: {
      if (!canUndo_) return;
      State back = undo_;
      undo_ = State{text_, anchor_, caret_};
      Apply(std::move(back));
      typing_ = false;
      return;
    }
    case vbKeyBack:
      if (SelLength() == 0) {
        if (caret_ == 0) return;
        const bool run = typing_;
        Place(caret_ - 1, caret_);
        typing_ = run;
      }
      Replace({}, true);
      return;
    default:
      // Other control codes type nothing.
      if (key < vbKeySpace || key == 127) return;
      Replace(Utf8(key), true);
  }
}

bool TextBox::PersonKey(int keyCode, int shift) {
  const bool extend = (shift & vbShiftMask) != 0;
  const bool selected = anchor_ != caret_;
  long to = caret_;
  switch (keyCode) {
    case vbKeyHome: to = 0; break;
    case vbKeyEnd: to = Length(text_); break;
    case vbKeyLeft: to = selected && !extend ? SelStart() : caret_ - 1; break;
    case vbKeyRight: to = selected && !extend ? SelStart() + SelLength() : caret_ + 1; break;
    case vbKeyDelete:
      if (!selected) Place(caret_, caret_ + 1);
      Replace({}, false);
      return true;
    default: return false;
  }
  Place(extend ? anchor_ : to, to);
  Changed();
  return true;
}

void TextBox::PersonSelect(long anchor, long caret) {
  if (anchor == anchor_ && caret == caret_) return;
  Place(anchor, caret);
  Changed();
}

}  // namespace platform::forms
