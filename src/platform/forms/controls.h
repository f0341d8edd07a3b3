#pragma once
// The intrinsic controls of the forms runtime: Label, CommandButton,
// OptionButton, CheckBox, TextBox, Image, Frame and Timer.
//
// A control lives while its form is loaded: the form makes it fresh, with its
// design-time properties, on every load and destroys it on unload. Its events
// are handled by the form, which wires them in its Design:
//
//   cmdYes->Click = [this] { cmdYes_Click(); };
//   txtSep->KeyPress = [this](int& KeyAscii) { txtSep_KeyPress(KeyAscii); };
//
// Events come from a person (see ui.h) and, where the original raised them
// for changes made by code, from the property setters: TextBox.Change when
// the text changes, CheckBox.Click when the value changes, OptionButton.Click
// when it becomes selected. The form is kept alive while a handler runs.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/forms/event_loop.h"

namespace platform::forms {

class Form;
class FormAccess;
class Control;

// Tells the user interface that a form (control nullptr) or one of its
// controls changed, so what is drawn of it follows at once.
void NotifyChanged(Form& form, Control* control);

// System colours as the original numbered them.
inline constexpr long vbButtonText = static_cast<long>(0x80000012L);
inline constexpr long vbButtonFace = static_cast<long>(0x8000000FL);
inline constexpr long vbWindowBackground = static_cast<long>(0x80000005L);
inline constexpr long vbWindowText = static_cast<long>(0x80000008L);

class Control {
 public:
  using MouseHandler = std::function<void(int Button, int Shift, float X, float Y)>;

  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  // The element's index in its control array; -1 outside an array.
  int Index() const { return index_; }
  Form& Parent() const { return *form_; }
  virtual std::string_view TypeName() const = 0;

  const std::string& Tag() const { return common_.tag; }
  void Tag(std::string value) { common_.tag = std::move(value); }
  bool Enabled() const { return common_.enabled; }
  void Enabled(bool value);
  bool Visible() const { return common_.visible; }
  void Visible(bool value);
  const std::string& ToolTipText() const { return common_.toolTipText; }
  void ToolTipText(std::string value) {
    common_.toolTipText = std::move(value);
    Changed();
  }
  const std::string& FontName() const { return common_.fontName; }
  void FontName(std::string value) {
    common_.fontName = std::move(value);
    Changed();
  }
  bool FontBold() const { return common_.fontBold; }
  void FontBold(bool value) {
    common_.fontBold = value;
    Changed();
  }
  long ForeColor() const { return common_.foreColor; }
  void ForeColor(long value) {
    common_.foreColor = value;
    Changed();
  }
  long BackColor() const { return common_.backColor; }
  void BackColor(long value) {
    common_.backColor = value;
    Changed();
  }

  // Twips, relative to the container. A control without a position (Timer)
  // raises 438.
  float Left() const;
  void Left(float value);
  float Top() const;
  void Top(float value);
  float Width() const;
  void Width(float value);
  float Height() const;
  void Height(float value);
  // All four at once, as the design of a form places a control; a size
  // below 0 leaves that size as it is.
  void Move(float left, float top, float width = -1, float height = -1);

  // Tab order: setting an index moves the control there and renumbers the
  // others, as the original did. A control without one raises 438.
  int TabIndex() const;
  void TabIndex(int value);

  // The frame that holds the control; nullptr: the form itself. Option
  // buttons of one container form one group.
  Control* Container() const { return container_; }
  void Container(Control* frame);

  // Raises 5 when the form is not visible or the control cannot take the
  // focus (hidden, disabled, or a kind that never does).
  void SetFocus();

  std::function<void()> Click;
  MouseHandler MouseMove;
  MouseHandler MouseDown;
  MouseHandler MouseUp;

  // What the console prints for the control: its caption, text or value.
  virtual std::string Describe() const { return {}; }

 protected:
  Control() = default;

  virtual bool HasGeometry() const { return true; }
  virtual bool HasTabIndex() const { return true; }
  virtual bool Focusable() const { return false; }
  virtual void OnEnabledChanged() {}
  // The control's own Resize: after its Width or Height has changed.
  virtual void OnResized() {}
  virtual void OnDetached() {}
  // A person clicks: the kind's own effect, then Click.
  virtual void UserClick();
  // A new element of a control array takes the properties of the first.
  virtual void CopyFrom(const Control& other);

  // Runs a handler with the form kept alive and the controls' destruction
  // deferred until the outermost handler has returned.
  void Dispatch(const std::function<void()>& call);
  void RaiseClick();
  // Every setter of a property that shows calls this.
  void Changed();

 private:
  friend class Form;
  friend class FormAccess;

  struct Common {
    std::string tag;
    bool enabled = true;
    bool visible = true;
    std::string toolTipText;
    std::string fontName = "MS Sans Serif";
    bool fontBold = false;
    long foreColor = vbButtonText;
    long backColor = vbButtonFace;
    float left = 0, top = 0, width = 0, height = 0;
  };

  Form* form_ = nullptr;
  std::string name_;
  int index_ = -1;
  int tabIndex_ = -1;
  Control* container_ = nullptr;
  Common common_;
};

class Label : public Control {
 public:
  std::string_view TypeName() const override { return "Label"; }
  const std::string& Caption() const { return caption_; }
  void Caption(std::string value) {
    caption_ = std::move(value);
    Changed();
  }
  // 0 left, 1 right, 2 centred.
  int Alignment() const { return alignment_; }
  void Alignment(int value) {
    alignment_ = value;
    Changed();
  }
  std::string Describe() const override;

 protected:
  void CopyFrom(const Control& other) override;

 private:
  std::string caption_;
  int alignment_ = 0;
};

class CommandButton : public Control {
 public:
  std::string_view TypeName() const override { return "CommandButton"; }
  const std::string& Caption() const { return caption_; }
  void Caption(std::string value) {
    caption_ = std::move(value);
    Changed();
  }
  // The button that Enter clicks; one per form (setting one clears the others).
  bool Default() const { return default_; }
  void Default(bool value);
  // The button that Esc clicks; one per form.
  bool Cancel() const { return cancel_; }
  void Cancel(bool value);
  std::string Describe() const override;

 protected:
  bool Focusable() const override { return true; }
  void UserClick() override;
  void CopyFrom(const Control& other) override;

 private:
  std::string caption_;
  bool default_ = false;
  bool cancel_ = false;
};

class OptionButton : public Control {
 public:
  std::string_view TypeName() const override { return "OptionButton"; }
  const std::string& Caption() const { return caption_; }
  void Caption(std::string value) {
    caption_ = std::move(value);
    Changed();
  }
  bool Value() const { return value_; }
  // True clears the other options of the container and raises Click; a
  // selected option set again raises nothing.
  void Value(bool value);
  std::string Describe() const override;

 protected:
  bool Focusable() const override { return true; }
  void UserClick() override;
  void CopyFrom(const Control& other) override;

 private:
  std::string caption_;
  bool value_ = false;
};

enum CheckBoxValue : int { vbUnchecked = 0, vbChecked = 1, vbGrayed = 2 };

class CheckBox : public Control {
 public:
  std::string_view TypeName() const override { return "CheckBox"; }
  const std::string& Caption() const { return caption_; }
  void Caption(std::string value) {
    caption_ = std::move(value);
    Changed();
  }
  // 0, 1 or 2 (else 380); a change raises Click.
  int Value() const { return value_; }
  void Value(int value);
  std::string Describe() const override;

 protected:
  bool Focusable() const override { return true; }
  void UserClick() override;
  void CopyFrom(const Control& other) override;

 private:
  std::string caption_;
  int value_ = vbUnchecked;
};

// A one-line text box. Positions count characters, not bytes. What a
// person's keys do to it (typing at the caret, the selection, the clipboard,
// one step of undo) lives here too, so a script's keys and a drawn box's keys
// edit alike.
class TextBox : public Control {
 public:
  TextBox();
  std::string_view TypeName() const override { return "TextBox"; }
  const std::string& Text() const { return text_; }
  // A change raises Change. The caret goes to the end and there is nothing
  // left to undo.
  void Text(std::string value);
  std::string Describe() const override;

  // The selection: where it starts (the caret when it is empty) and how many
  // characters it holds. Below 0 raises 380; past the end stops at the end.
  // Setting SelStart empties the selection.
  long SelStart() const;
  void SelStart(long value);
  long SelLength() const;
  void SelLength(long value);
  // The selected text; setting it replaces the selection (Change) and puts
  // the caret after what was put in.
  std::string SelText() const;
  void SelText(std::string value);

  // A typed character, and the control codes of Ctrl with a letter (Ctrl+A
  // 1, Ctrl+C 3, Ctrl+V 22, Ctrl+X 24, Ctrl+Z 26): set KeyAscii to 0 to
  // discard it, and with it what the key would do.
  std::function<void(int& KeyAscii)> KeyPress;
  std::function<void()> Change;

 protected:
  bool Focusable() const override { return true; }
  void CopyFrom(const Control& other) override;

 private:
  friend class FormAccess;
  struct State {
    std::string text;
    long anchor = 0;  // where a Shift-extended selection started
    long caret = 0;
  };
  // A character that got past KeyPress: inserted at the caret, or a control
  // code's action (select all, copy, paste, cut, undo, backspace).
  void PersonTyped(int key);
  // A key that types nothing: caret moves (Shift extends the selection) and
  // Delete. False when the box has no use for the key.
  bool PersonKey(int keyCode, int shift);
  // A person selected with the mouse in the drawing.
  void PersonSelect(long anchor, long caret);
  // Replaces the selection with a person's text; a run of typing is one
  // step of undo.
  void Replace(const std::string& with, bool typing);
  void Apply(State next);
  void Place(long anchor, long caret);

  std::string text_;
  long anchor_ = 0;
  long caret_ = 0;
  State undo_;
  bool canUndo_ = false;
  bool typing_ = false;
};

class Image : public Control {
 public:
  std::string_view TypeName() const override { return "Image"; }
  // What the image shows: a picture file's path or a resource name.
  const std::string& Picture() const { return picture_; }
  void Picture(std::string value) {
    picture_ = std::move(value);
    Changed();
  }
  bool Stretch() const { return stretch_; }
  void Stretch(bool value) {
    stretch_ = value;
    Changed();
  }
  std::string Describe() const override;

 protected:
  bool HasTabIndex() const override { return false; }
  void CopyFrom(const Control& other) override;

 private:
  std::string picture_;
  bool stretch_ = false;
};

class Frame : public Control {
 public:
  std::string_view TypeName() const override { return "Frame"; }
  const std::string& Caption() const { return caption_; }
  void Caption(std::string value) {
    caption_ = std::move(value);
    Changed();
  }
  std::string Describe() const override;

 protected:
  void CopyFrom(const Control& other) override;

 private:
  std::string caption_;
};

// Raises Tick every Interval ms while Enabled, its form loaded and the
// interval not 0. Changing Interval or Enabled starts the count again.
class Timer : public Control {
 public:
  std::string_view TypeName() const override { return "Timer"; }
  long Interval() const { return interval_; }
  // 0..65535 (else 380 "Invalid property value").
  void Interval(long value);
  std::string Describe() const override;

  // The control's Timer event.
  std::function<void()> Tick;

 protected:
  bool HasGeometry() const override { return false; }
  bool HasTabIndex() const override { return false; }
  void OnEnabledChanged() override { Rearm(); }
  void OnDetached() override {
    detached_ = true;
    timer_.Stop();
  }
  void CopyFrom(const Control& other) override;

 private:
  void Rearm();
  long interval_ = 0;
  bool detached_ = false;
  LoopTimer timer_;
};

}  // namespace platform::forms
