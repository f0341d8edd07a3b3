// The intrinsic controls of the forms runtime, drawn.
#include <qdrawutil.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <map>

#include "platform/forms/combo_box.h"
#include "platform/forms/fm_check_box.h"
#include "platform/forms/fm_label.h"
#include "platform/forms/msforms.h"
#include "platform/forms/picture_box.h"
#include "platform/forms/ui.h"
#include "platform/qt/control_views.h"
#include "platform/qt/form_views.h"
#include "platform/qt/pictures.h"

namespace platform::qt {

namespace forms = platform::forms;

namespace {

// Buttons whose checked state only the model sets: Qt's own toggle on a
// click is left out, the click goes to the model, and the model's change
// comes back as a Sync.
template <class Base>
class ModelChecked : public Base {
 public:
  using Base::Base;

 protected:
  void nextCheckState() override {}
  // The whole control answers a click, not only its box and caption.
  bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};

// A label that can draw its text with a dark edge of one pixel all round.
class EdgedLabel : public QLabel {
 public:
  using QLabel::QLabel;
  void SetEdged(bool on) {
    if (on == edged_) return;
    edged_ = on;
    update();
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (!edged_ || text().isEmpty()) return QLabel::paintEvent(event);
    QPainter p(this);
    const int flags =
        static_cast<int>(QStyle::visualAlignment(layoutDirection(), alignment())) | (wordWrap() ? Qt::TextWordWrap : 0);
    const QRect room = contentsRect();
    p.setPen(Qt::black);
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy)
        if (dx != 0 || dy != 0) p.drawText(room.translated(dx, dy), flags, text());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(room, flags, text());
  }

 private:
  bool edged_ = false;
};

class LabelView : public ControlView {
 public:
  LabelView(forms::Control& c, QWidget* parent) : ControlView(c, new EdgedLabel(parent)) {
    label()->setWordWrap(true);
    label()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label()->setTextFormat(Qt::PlainText);
    ForwardMouse(true);
  }

 protected:
  EdgedLabel* label() const { return static_cast<EdgedLabel*>(widget()); }
  void SyncKind() override {
    auto& l = static_cast<forms::Label&>(control());
    label()->setText(PlainCaption(l.Caption()));
    const Qt::Alignment across = l.Alignment() == 1   ? Qt::AlignRight
                                 : l.Alignment() == 2 ? Qt::AlignHCenter
                                                      : Qt::AlignLeft;
    label()->setAlignment(across | Qt::AlignTop);
    // Light text on no background of its own (the slideshow's hints over a
    // picture) gets a thin dark edge, so it reads on a light picture too.
    label()->SetEdged(ColorOf(l.ForeColor()).lightness() >= 224);
  }
};

class ButtonView : public ControlView {
 public:
  ButtonView(forms::Control& c, QWidget* parent) : ControlView(c, new QPushButton(parent)) {
    button()->setAutoDefault(false);
    ClicksGoToTheModel(*button());
  }

 protected:
  QPushButton* button() const { return static_cast<QPushButton*>(widget()); }
  void SyncKind() override {
    auto& b = static_cast<forms::CommandButton&>(control());
    button()->setText(Mnemonic(b.Caption()));
    button()->setDefault(b.Default());
  }
};

// Option and check boxes break their caption into lines where the control
// is tall enough, as labels do; Qt's buttons would cut it off instead.
QString Wrapped(const QWidget& w, const QString& text) {
  const QFontMetrics metrics(w.font());
  const int room = w.width() - 24;  // the box or circle and its gap
  if (room <= 0 || w.height() < 2 * metrics.lineSpacing() || metrics.horizontalAdvance(text) <= room) return text;
  QString out, line;
  for (const QString& word : text.split(' ')) {
    const QString tried = line.isEmpty() ? word : line + ' ' + word;
    if (!line.isEmpty() && metrics.horizontalAdvance(PlainCaption(tried.toStdString())) > room) {
      out += line + '\n';
      line = word;
    } else {
      line = tried;
    }
  }
  return out + line;
}

class OptionView : public ControlView {
 public:
  OptionView(forms::Control& c, QWidget* parent) : ControlView(c, new ModelChecked<QRadioButton>(parent)) {
    radio()->setAutoExclusive(false);
    ClicksGoToTheModel(*radio());
  }

 protected:
  QRadioButton* radio() const { return static_cast<QRadioButton*>(widget()); }
  void SyncKind() override {
    auto& o = static_cast<forms::OptionButton&>(control());
    radio()->setText(Wrapped(*radio(), Mnemonic(o.Caption())));
    radio()->setChecked(o.Value());
  }
};

class CheckView : public ControlView {
 public:
  CheckView(forms::Control& c, QWidget* parent) : ControlView(c, new ModelChecked<QCheckBox>(parent)) {
    box()->setTristate(true);
    ClicksGoToTheModel(*box());
  }

 protected:
  QCheckBox* box() const { return static_cast<QCheckBox*>(widget()); }
  void SyncKind() override {
    auto& c = static_cast<forms::CheckBox&>(control());
    box()->setText(Wrapped(*box(), Mnemonic(c.Caption())));
    box()->setCheckState(c.Value() == forms::vbChecked  ? Qt::Checked
                         : c.Value() == forms::vbGrayed ? Qt::PartiallyChecked
                                                        : Qt::Unchecked);
  }
};

// Positions of the model count characters, Qt's UTF-16 units.
int Utf16At(const QString& text, long chars) {
  int i = 0;
  for (; i < text.size() && chars > 0; --chars) i += text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
  return i;
}

long CharsAt(const QString& text, int utf16) { return static_cast<long>(text.left(utf16).toUcs4().size()); }

// Every key goes to the model, so KeyPress sees each character and control
// code and can discard it with what it does; the line shows the model's text
// and selection, and a selection made with the mouse goes back to it.
class TextLine : public QLineEdit {
 public:
  TextLine(forms::TextBox& box, QWidget* parent) : QLineEdit(parent), box_(box) {
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    setAcceptDrops(false);
    connect(this, &QLineEdit::selectionChanged, this, [this] { SelectionToModel(); });
    connect(this, &QLineEdit::cursorPositionChanged, this, [this] { SelectionToModel(); });
  }

  void Show(const forms::TextBox& box) {
    const QSignalBlocker quiet(this);
    const QString shown = QString::fromStdString(box.Text());
    if (text() != shown) setText(shown);
    const int anchor = Utf16At(shown, forms::FormAccess::Anchor(box));
    const int caret = Utf16At(shown, forms::FormAccess::Caret(box));
    if (anchor == caret) {
      setCursorPosition(caret);
    } else {
      setSelection(anchor, caret - anchor);
    }
  }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    switch (e->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Escape:
      case Qt::Key_Tab:
      case Qt::Key_Backtab: e->ignore(); return;  // the form's: default and cancel buttons, focus
      default: break;
    }
    const QString typed = e->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() && (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
      Act([&] { forms::user::Type(box_, typed.toStdString()); });
      return;
    }
    const int code = KeyCodeOf(*e);
    if (code == 0) {
      e->ignore();
      return;
    }
    std::shared_ptr<forms::Form> keep = box_.Parent().shared_from_this();
    Act([&] {
      // The key is the box's: it has the focus on screen.
      if (forms::FormAccess::Focused(*keep) != &box_) box_.SetFocus();
      forms::user::PressKey(*keep, code, ShiftOf(e->modifiers()));
    });
  }
  // The middle button's paste of the desktop's selection would pass the
  // model by.
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() != Qt::MiddleButton) QLineEdit::mousePressEvent(e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() != Qt::MiddleButton) QLineEdit::mouseReleaseEvent(e);
  }

 private:
  void SelectionToModel() {
    const int caret = cursorPosition();
    int anchor = caret;
    if (hasSelectedText()) anchor = selectionStart() == caret ? selectionEnd() : selectionStart();
    const QString shown = text();
    Act([&] { forms::FormAccess::PersonSelect(box_, CharsAt(shown, anchor), CharsAt(shown, caret)); });
  }

  forms::TextBox& box_;
};

class TextView : public ControlView {
 public:
  TextView(forms::Control& c, QWidget* parent)
      : ControlView(c, new TextLine(static_cast<forms::TextBox&>(c), parent)) {}

 protected:
  void SyncKind() override { static_cast<TextLine*>(widget())->Show(static_cast<forms::TextBox&>(control())); }
};

// The pictures a form names instead of giving a file: the desktop's own.
// How the preview window sits by the message window, as a small diagram:
// the message grey, the preview blue.
QPixmap OrientationDiagram(const std::string& name, QSize size) {
  if (size.isEmpty()) size = QSize(64, 48);
  QPixmap picture(size);
  picture.fill(Qt::white);
  QPainter p(&picture);
  const QRect all = picture.rect().adjusted(2, 2, -3, -3);
  QRect message = all, preview = all;
  if (name == "OrientationOnTop") {
    message = all.adjusted(0, 0, -all.width() / 4, -all.height() / 4);
    preview = all.adjusted(all.width() / 3, all.height() / 3, 0, 0);
  } else if (name == "OrientationHorizontal") {
    message.setBottom(all.top() + all.height() / 2 - 1);
    preview.setTop(all.top() + all.height() / 2 + 1);
  } else {
    message.setRight(all.left() + all.width() / 2 - 1);
    preview.setLeft(all.left() + all.width() / 2 + 1);
  }
  p.setPen(Qt::black);
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(message);
  p.setBrush(QColor(120, 180, 240));
  p.drawRect(preview);
  return picture;
}

QPixmap NamedPicture(const std::string& name, QSize size) {
  if (name.rfind("Orientation", 0) == 0) return OrientationDiagram(name, size);
  if (name == "Logo") {
    const QSize wanted = size.isEmpty() ? QSize(48, 48) : size;
    const QPixmap logo = QApplication::windowIcon().pixmap(wanted);
    // The add-in's face is a small bitmap: blown up pixel by pixel, it stays
    // sharp at the size the form gives it.
    if (!logo.isNull()) return logo.scaled(wanted, Qt::KeepAspectRatio, Qt::FastTransformation);
  }
  static const std::map<std::string, QStyle::StandardPixmap> kNamed = {
      {"Warning", QStyle::SP_MessageBoxWarning},   {"Information", QStyle::SP_MessageBoxInformation},
      {"Critical", QStyle::SP_MessageBoxCritical}, {"Question", QStyle::SP_MessageBoxQuestion},
      {"Help", QStyle::SP_MessageBoxQuestion},
  };
  auto it = kNamed.find(name);
  if (it == kNamed.end()) return {};
  return QApplication::style()->standardIcon(it->second).pixmap(size);
}

std::map<std::string, UpcomingPicture, std::less<>>& Upcoming() {
  static std::map<std::string, UpcomingPicture, std::less<>> upcoming;
  return upcoming;
}

class ImageView : public ControlView {
 public:
  ImageView(forms::Control& c, QWidget* parent) : ControlView(c, new QLabel(parent)), request_(widget()) {
    static_cast<QLabel*>(widget())->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ForwardMouse(true);
  }

 protected:
  void SyncKind() override {
    auto& image = static_cast<forms::Image&>(control());
    // A form places and sizes a picture while it is hidden: decode it once,
    // when it shows.
    if (!image.Visible()) return;
    const QSize box = image.Stretch() ? QSize(PixelsX(image.Width()), PixelsY(image.Height())) : QSize();
    if (image.Picture() == shown_ && box == box_) return;
    const bool another = image.Picture() != shown_;
    shown_ = image.Picture();
    box_ = box;
    auto* label = static_cast<QLabel*>(widget());
    label->setScaledContents(image.Stretch());
    if (shown_.empty()) {
      label->clear();
      return;
    }
    if (const QPixmap named = NamedPicture(shown_, box.isEmpty() ? QSize(32, 32) : box); !named.isNull()) {
      label->setPixmap(named);
      return;
    }
    // Until it is decoded, no picture rather than the last one stretched
    // out of shape.
    if (another) label->clear();
    QPointer<QLabel> target(label);
    request_.Request(QString::fromStdString(shown_), box, [target, stretch = image.Stretch()](const QImage& picture) {
      if (!target) return;
      // One that cannot be decoded shows the thumbnails' placeholder, at its
      // own size in the middle of the room the picture was given.
      target->setScaledContents(stretch && !picture.isNull());
      target->setAlignment(picture.isNull() ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
      target->setPixmap(picture.isNull() ? PicturePlaceholder(true) : QPixmap::fromImage(picture));
    });
    if (image.Stretch()) DecodeNextAhead(image);
  }

 private:
  // The picture the form shows next, fitted to the same room.
  void DecodeNextAhead(forms::Image& image) {
    auto it = Upcoming().find(image.Parent().Name());
    if (it == Upcoming().end() || widget()->parentWidget() == nullptr) return;
    std::string next;
    Act([&] { next = it->second(image.Parent()); });
    if (!next.empty()) DecodeAhead(QString::fromStdString(next), widget()->parentWidget()->size());
  }

  PictureRequest request_;
  std::string shown_;
  QSize box_;
};

// A picture box: its back colour, a sunken frame of 2 pixels when it has a
// border, its picture at its natural size, and the controls it holds.
class PictureBoxWidget : public QWidget {
 public:
  explicit PictureBoxWidget(QWidget* parent) : QWidget(parent), inside_(new QWidget(this)) {
    // Qt drops a button-less move over a widget that does not track the
    // mouse instead of passing it up, so the box would never hear a person
    // move over its empty part (the slideshow's hints wait for that move).
    inside_->setMouseTracking(true);
  }
  QWidget* inside() const { return inside_; }
  void Show(QColor back, bool framed) {
    back_ = back;
    framed_ = framed;
    Place();
    update();
  }
  void SetPicture(QImage picture) {
    picture_ = std::move(picture);
    update();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    Place();
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), back_);
    if (!picture_.isNull()) p.drawImage(inside_->pos(), picture_);
    if (framed_) qDrawWinPanel(&p, rect(), palette(), true);
  }

 private:
  void Place() {
    const int frame = framed_ ? 2 : 0;
    inside_->setGeometry(rect().adjusted(frame, frame, -frame, -frame));
  }
  QWidget* inside_;
  QColor back_;
  bool framed_ = false;
  QImage picture_;
};

class PictureBoxView : public ControlView {
 public:
  PictureBoxView(forms::Control& c, QWidget* parent)
      : ControlView(c, new PictureBoxWidget(parent)), request_(widget()) {
    ForwardMouse(true);
  }
  QWidget* Inside() const override { return box() != nullptr ? box()->inside() : nullptr; }

 protected:
  PictureBoxWidget* box() const { return static_cast<PictureBoxWidget*>(widget()); }
  void SyncKind() override {
    auto& model = static_cast<forms::PictureBox&>(control());
    box()->Show(ColorOf(model.BackColor()), model.BorderStyle() == forms::vbPictureFixedSingle);
    // Decoded when it shows (a hidden one only measures its picture).
    if (!model.Visible() || model.Picture().path == shown_) return;
    shown_ = model.Picture().path;
    box()->SetPicture({});
    if (shown_.empty()) return;
    QPointer<PictureBoxWidget> target(box());
    request_.Request(QString::fromStdString(shown_), QSize(), [target](const QImage& picture) {
      if (target) target->SetPicture(picture.isNull() ? PicturePlaceholder(true).toImage() : picture);
    });
  }

 private:
  PictureRequest request_;
  std::string shown_;
};

// The forms library's check box: ticked is any value but 0.
class FormsLibraryCheckView : public ControlView {
 public:
  FormsLibraryCheckView(forms::Control& c, QWidget* parent) : ControlView(c, new ModelChecked<QCheckBox>(parent)) {
    ClicksGoToTheModel(*box());
  }

 protected:
  QCheckBox* box() const { return static_cast<QCheckBox*>(widget()); }
  void SyncKind() override {
    auto& c = static_cast<forms::msforms::CheckBox&>(control());
    box()->setText(Wrapped(*box(), Mnemonic(c.Caption())));
    box()->setChecked(c.Value() != 0);
  }
};

// The forms library's option button: its group is its GroupName, which
// the model keeps; the drawing only shows the value.
class FormsLibraryOptionView : public ControlView {
 public:
  FormsLibraryOptionView(forms::Control& c, QWidget* parent) : ControlView(c, new ModelChecked<QRadioButton>(parent)) {
    radio()->setAutoExclusive(false);
    ClicksGoToTheModel(*radio());
  }

 protected:
  QRadioButton* radio() const { return static_cast<QRadioButton*>(widget()); }
  void SyncKind() override {
    auto& o = static_cast<forms::msforms::OptionButton&>(control());
    radio()->setText(Wrapped(*radio(), Mnemonic(o.Caption())));
    radio()->setChecked(o.Value());
  }
};

// A drop-down list: a person's choice goes to the model (Click); the model's
// ListIndex set by code only redraws.
class ComboView : public ControlView {
 public:
  ComboView(forms::Control& c, QWidget* parent) : ControlView(c, new QComboBox(parent)) {
    auto* model = static_cast<forms::ComboBox*>(&c);
    QObject::connect(combo(), &QComboBox::activated,
                     [model](int index) { Act([&] { forms::user::Choose(*model, index); }); });
  }

 protected:
  QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
  void SyncKind() override {
    auto& c = static_cast<forms::ComboBox&>(control());
    const QSignalBlocker quiet(combo());
    QStringList items;
    for (int i = 0; i < c.ListCount(); ++i) items << QString::fromStdString(c.List(i));
    QStringList shown;
    for (int i = 0; i < combo()->count(); ++i) shown << combo()->itemText(i);
    if (shown != items) {
      combo()->clear();
      combo()->addItems(items);
    }
    combo()->setCurrentIndex(c.ListIndex());
  }
};

class FrameView : public ControlView {
 public:
  FrameView(forms::Control& c, QWidget* parent) : ControlView(c, new QGroupBox(parent)) {}

 protected:
  void SyncKind() override {
    static_cast<QGroupBox*>(widget())->setTitle(PlainCaption(static_cast<forms::Frame&>(control()).Caption()));
  }
};

}  // namespace

void RegisterControlViews() {
  RegisterIntrinsicViews();
  RegisterUserControlViews();
  RegisterOutsideViews();
}

void RegisterIntrinsicViews() {
  RegisterControlView("Label", Maker<LabelView>());
  RegisterControlView("CommandButton", Maker<ButtonView>());
  RegisterControlView("OptionButton", Maker<OptionView>());
  RegisterControlView("CheckBox", Maker<CheckView>());
  RegisterControlView("TextBox", Maker<TextView>());
  RegisterControlView("Image", Maker<ImageView>());
  RegisterControlView("Frame", Maker<FrameView>());
  RegisterControlView("MSForms.Label", Maker<LabelView>());
  RegisterControlView("MSForms.CheckBox", Maker<FormsLibraryCheckView>());
  RegisterControlView("MSForms.OptionButton", Maker<FormsLibraryOptionView>());
  RegisterControlView("ComboBox", Maker<ComboView>());
  RegisterControlView("PictureBox", Maker<PictureBoxView>());
}

void RegisterUpcomingPicture(std::string_view formName, UpcomingPicture upcoming) {
  Upcoming()[std::string(formName)] = std::move(upcoming);
}

}  // namespace platform::qt
