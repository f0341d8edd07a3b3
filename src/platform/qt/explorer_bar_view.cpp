// The explorer bar drawn as a task pane: bars stacked in a blue panel, each a
// title (icon, text, a chevron to fold it) over its items. Links underline
// under the mouse and go to the model when clicked; plain text only shows.
// The emphasised bar has the strong colours.
//
// The pane's widgets are kept while its shape (bars, their items, which bars
// are open) stays, and only their texts, icons and fonts follow the model;
// a new shape builds them afresh.
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QVBoxLayout>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/explorer_bar.h"
#include "platform/forms/ui.h"
#include "platform/qt/control_views.h"
#include "platform/qt/focus_ring.h"
#include "platform/qt/form_views.h"
#include "platform/qt/image_lists.h"

namespace platform::qt {

namespace forms = platform::forms;
namespace controls = platform::controls;

namespace {

// The pane's colours, as the desktop's task panes had them.
const QColor kPaneTop(123, 162, 231);
const QColor kPaneBottom(99, 117, 214);
const QColor kStrongTitle(33, 93, 198);
const QColor kStrongTitleEnd(61, 119, 223);
const QColor kTitleStart(255, 255, 255);
const QColor kTitleEnd(198, 211, 247);
const QColor kStrongBody(239, 243, 255);
const QColor kBody(214, 223, 247);
const QColor kLink(33, 93, 198);
const QColor kLinkHot(66, 142, 255);
constexpr int kTitleHeight = 25;
constexpr int kIcon = 16;

// What a person clicks: a title or a link. Tab reaches it, Enter or Space
// runs it as a click does, and a dotted frame shows which has the focus.
class Clickable : public QWidget {
 public:
  explicit Clickable(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    FocusRing::DrawsOwnFocus(*this);
  }
  std::function<void()> clicked;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    const bool run = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space;
    if (!run || (e->modifiers() & ~Qt::KeypadModifier) != 0) {
      QWidget::keyPressEvent(e);
      return;
    }
    if (clicked) clicked();
  }
  void focusInEvent(QFocusEvent* e) override {
    QWidget::focusInEvent(e);
    update();
  }
  void focusOutEvent(QFocusEvent* e) override {
    QWidget::focusOutEvent(e);
    update();
  }
  void DrawFocus(QPainter& p, const QColor& ink) const {
    if (!hasFocus()) return;
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, 1, Qt::DotLine));
    p.drawRect(rect().adjusted(2, 2, -3, -3));
  }
  void mousePressEvent(QMouseEvent* e) override { pressed_ = e->button() == Qt::LeftButton; }
  void mouseReleaseEvent(QMouseEvent* e) override {
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    // The click may rebuild the pane; this widget then goes only later.
    if (click && clicked) clicked();
  }
  void enterEvent(QEnterEvent*) override { Hot(true); }
  void leaveEvent(QEvent*) override { Hot(false); }
  virtual void Hot(bool) {}

 private:
  bool pressed_ = false;
};

class Title : public Clickable {
 public:
  Title(QWidget* parent) : Clickable(parent) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setCursor(Qt::PointingHandCursor);
  }
  // A title too long for the pane takes a second line rather than losing
  // its end.
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override {
    const QRect room(0, 0, std::max(TextRoom(width).width(), 1), 1000);
    const int text = QFontMetrics(BoldFont()).boundingRect(room, Qt::TextWordWrap, text_).height();
    return std::max(kTitleHeight, text + 8);
  }
  QSize sizeHint() const override { return {200, heightForWidth(200)}; }
  void Show(const QString& text, const QPixmap& icon, bool strong, bool expanded) {
    text_ = text;
    icon_ = icon;
    strong_ = strong;
    expanded_ = expanded;
    updateGeometry();
    update();
  }

 protected:
  void Hot(bool on) override {
    hot_ = on;
    update();
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, 0);
    QPainterPath shape;
    shape.addRoundedRect(r.adjusted(0, 0, 0, 6), 5, 5);
    QLinearGradient fill(r.topLeft(), r.topRight());
    fill.setColorAt(0, strong_ ? kStrongTitle : kTitleStart);
    fill.setColorAt(1, strong_ ? kStrongTitleEnd : kTitleEnd);
    p.setClipRect(rect());
    p.fillPath(shape, fill);
    if (!icon_.isNull()) p.drawPixmap(8, (height() - icon_.height()) / 2, icon_);
    p.setFont(BoldFont());
    const QColor ink = strong_ ? (hot_ ? QColor(198, 211, 247) : Qt::white) : (hot_ ? kLinkHot : kLink);
    p.setPen(ink);
    p.drawText(TextRoom(width()), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, text_);
    // The chevron in its circle: up folds the bar, down opens it.
    const QPointF c(width() - 13, height() / 2.0);
    p.setPen(QPen(strong_ ? QColor(255, 255, 255, 160) : QColor(160, 176, 224), 1));
    p.setBrush(strong_ ? QColor(255, 255, 255, 40) : QColor(255, 255, 255));
    p.drawEllipse(c, 8, 8);
    p.setPen(QPen(ink, 1.6));
    for (const double dy : {-2.5, 1.5}) {
      const double tip = expanded_ ? -2.0 : 2.0;
      p.drawLine(QPointF(c.x() - 3, c.y() + dy - tip / 2 + 0.5), QPointF(c.x(), c.y() + dy + tip / 2 + 0.5));
      p.drawLine(QPointF(c.x(), c.y() + dy + tip / 2 + 0.5), QPointF(c.x() + 3, c.y() + dy - tip / 2 + 0.5));
    }
    DrawFocus(p, strong_ ? QColor(Qt::white) : kLink);
  }

 private:
  QFont BoldFont() const {
    QFont bold = font();
    bold.setBold(true);
    return bold;
  }
  QRect TextRoom(int width) const {
    const int x = 8 + kIcon + 6;
    return QRect(x, 0, width - x - 26, height());
  }

  QString text_;
  QPixmap icon_;
  bool strong_ = false;
  bool expanded_ = true;
  bool hot_ = false;
};

// One item: its icon and its text.
class ItemRow : public Clickable {
 public:
  ItemRow(QWidget* parent, const QString& name) : Clickable(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 1, 0, 1);
    row->setSpacing(6);
    icon_ = new QLabel(this);
    icon_->setFixedSize(kIcon, kIcon);
    icon_->setAlignment(Qt::AlignCenter);
    text_ = new QLabel(this);
    text_->setObjectName(name);
    text_->setWordWrap(true);
    text_->setTextFormat(Qt::PlainText);
    row->addWidget(icon_, 0, Qt::AlignTop);
    row->addWidget(text_, 1);
  }
  void Show(const controls::ExplorerBarItem& item, const QPixmap& icon, const QFont& base) {
    link_ = item.ItemType() == controls::ebiLink;
    icon_->setVisible(!icon.isNull());
    icon_->setPixmap(icon);
    text_->setText(PlainCaption(item.Text()));
    setToolTip(QString::fromStdString(item.ToolTipText()));
    font_ = base;
    if (!item.FontName().empty()) font_.setFamily(QString::fromStdString(item.FontName()));
    font_.setBold(item.FontBold());
    setCursor(link_ ? Qt::PointingHandCursor : Qt::ArrowCursor);
    // Plain text only shows: no tab stop.
    setFocusPolicy(link_ ? Qt::StrongFocus : Qt::NoFocus);
    Hot(false);
  }
  bool IsLink() const { return link_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    DrawFocus(p, kLink);
  }
  void Hot(bool on) override {
    QFont f = font_;
    f.setUnderline(link_ && on);
    text_->setFont(f);
    QPalette colours = text_->palette();
    colours.setColor(QPalette::WindowText, link_ ? (on ? kLinkHot : kLink) : QColor(0, 0, 0));
    text_->setPalette(colours);
  }

 private:
  QLabel* icon_;
  QLabel* text_;
  QFont font_;
  bool link_ = false;
};

// The pane's blue behind the bars.
class Backdrop : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, kPaneTop);
    fill.setColorAt(1, kPaneBottom);
    p.fillRect(rect(), fill);
  }
};

class Body : public QWidget {
 public:
  Body(QWidget* parent, bool strong) : QWidget(parent), strong_(strong) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), strong_ ? kStrongBody : kBody);
    p.setPen(Qt::white);
    p.drawRect(rect().adjusted(0, -1, -1, -1));
  }

 private:
  bool strong_;
};

class ExplorerBarView : public ControlView {
 public:
  ExplorerBarView(forms::Control& c, QWidget* parent)
      : ControlView(c, new QScrollArea(parent)), pane_(static_cast<controls::ExplorerBarCtl&>(c)) {
    auto* area = static_cast<QScrollArea*>(widget());
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The titles and links are the tab stops, not the pane around them.
    area->setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void SyncKind() override {
    // Redraw off: the pane is being changed and shows what it showed before.
    if (!pane_.Redraw() && !shape_.empty()) return;
    const std::vector<std::string> shape = Shape();
    if (shape != shape_ || static_cast<QScrollArea*>(widget())->widget() == nullptr) Build(shape);
    std::size_t title = 0, row = 0;
    for (const auto& bar : pane_.Bars()) {
      titles_[title++]->Show(PlainCaption(bar->Title()), ImageListPicture(pane_.TitleImages(), bar->IconIndex(), kIcon),
                             bar->IsSpecial(), bar->Expanded());
      titles_[title - 1]->setToolTip(QString::fromStdString(bar->ToolTipText()));
      if (!bar->Expanded()) continue;
      for (const auto& item : bar->Items())
        rows_[row++]->Show(*item, ImageListPicture(pane_.ItemImages(), item->IconIndex(), kIcon), widget()->font());
    }
  }

 private:
  // What decides the widgets: the bars with their keys, emphasis and
  // openness, and the keys of the items an open bar shows.
  std::vector<std::string> Shape() const {
    std::vector<std::string> out;
    for (const auto& bar : pane_.Bars()) {
      out.push_back("bar " + bar->Key() + (bar->IsSpecial() ? " !" : "") + (bar->Expanded() ? "" : " -"));
      if (!bar->Expanded()) continue;
      for (const auto& item : bar->Items()) out.push_back(item->Key());
    }
    return out;
  }

  void Build(const std::vector<std::string>& shape) {
    const QString focused = FocusedName();
    shape_ = shape;
    titles_.clear();
    rows_.clear();
    auto* area = static_cast<QScrollArea*>(widget());
    // The old widgets may be in the middle of their own click: they go
    // when Qt is back in its loop.
    if (QWidget* old = area->takeWidget()) {
      old->hide();
      old->deleteLater();
    }
    auto* backdrop = new Backdrop;
    auto* column = new QVBoxLayout(backdrop);
    column->setContentsMargins(8, 10, 8, 10);
    column->setSpacing(10);
    for (const auto& bar : pane_.Bars()) {
      auto* group = new QWidget(backdrop);
      auto* stack = new QVBoxLayout(group);
      stack->setContentsMargins(0, 0, 0, 0);
      stack->setSpacing(0);
      auto* title = new Title(group);
      title->setObjectName(QString::fromStdString(bar->Key()));
      const std::string barKey = bar->Key();
      title->clicked = [this, barKey] { Act([&] { forms::user::ClickExplorerBarTitle(pane_, barKey); }); };
      stack->addWidget(title);
      titles_.push_back(title);
      if (bar->Expanded() && !bar->Items().empty()) {
        auto* body = new Body(group, bar->IsSpecial());
        auto* items = new QVBoxLayout(body);
        items->setContentsMargins(10, 8, 8, 8);
        items->setSpacing(4);
        for (const auto& item : bar->Items()) {
          auto* row = new ItemRow(body, QString::fromStdString(barKey + "." + item->Key()));
          row->setObjectName(QString::fromStdString(barKey + "." + item->Key() + ".row"));
          const std::string itemKey = item->Key();
          row->clicked = [this, row, barKey, itemKey] {
            if (row->IsLink()) Act([&] { forms::user::ClickExplorerBarItem(pane_, barKey, itemKey); });
          };
          items->addWidget(row);
          rows_.push_back(row);
        }
        stack->addWidget(body);
      }
      column->addWidget(group);
    }
    column->addStretch(1);
    area->setWidget(backdrop);
    // A click that changed the pane's shape (a bar folded) leaves the focus
    // where it was.
    if (!focused.isEmpty())
      if (auto* again = backdrop->findChild<Clickable*>(focused);
          again != nullptr && again->focusPolicy() != Qt::NoFocus)
        again->setFocus(Qt::OtherFocusReason);
  }

  QString FocusedName() const {
    for (const Clickable* c : titles_)
      if (c->hasFocus()) return c->objectName();
    for (const Clickable* c : rows_)
      if (c->hasFocus()) return c->objectName();
    return {};
  }

  controls::ExplorerBarCtl& pane_;
  std::vector<std::string> shape_;
  std::vector<Title*> titles_;
  std::vector<ItemRow*> rows_;
};

}  // namespace

void RegisterExplorerBarView() {
  RegisterControlView("ExplorerBar", [](forms::Control& c, QWidget* parent) -> std::unique_ptr<ControlView> {
    return std::make_unique<ExplorerBarView>(c, parent);
  });
}

}  // namespace platform::qt
