// The command bar and the image combo, drawn.
#include <QApplication>
#include <QBitmap>
#include <QComboBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>
#include <map>

#include "platform/controls/command_bar.h"
#include "platform/controls/image_combo.h"
#include "platform/controls/image_list.h"
#include "platform/forms/ui.h"
#include "platform/qt/control_views.h"
#include "platform/qt/form_views.h"

namespace platform::qt {

namespace forms = platform::forms;
namespace controls = platform::controls;

namespace {

// The average character width, in pixels, of the font panel widths were set for.
constexpr double kDialogCharWidth = 4.5;

// The grey the add-in's bitmaps leave around their pictures.
const QColor kBitmapBackground(192, 192, 192);

QIcon IconOf(const controls::ImageList* list, long index) {
  if (list == nullptr || index < 0 || index >= list->Count()) return {};
  QPixmap picture(QString::fromStdString(list->Picture(index)));
  if (picture.isNull()) return {};
  picture.setMask(picture.createMaskFromColor(kBitmapBackground));
  return QIcon(picture);
}

// How each style looks: the bar's background (top and bottom of a vertical
// gradient), its bottom edge, the buttons' text and their colour under the
// mouse.
struct Look {
  QColor top, bottom, edge, text, hover;
};

Look LookOf(long style) {
  switch (style) {
    case controls::cbsOffice2003:
      return {QColor(227, 239, 255), QColor(135, 173, 228), QColor(59, 97, 156), Qt::black, QColor(255, 238, 194)};
    case controls::cbsMoney:
      return {QColor(44, 84, 146), QColor(20, 46, 92), QColor(8, 24, 52), Qt::white, QColor(70, 120, 196)};
    case controls::cbsSystem: {
      const QColor face = QApplication::palette().color(QPalette::Button);
      return {face, face, face.darker(130), QApplication::palette().color(QPalette::ButtonText), face.lighter(110)};
    }
    default:
      return {QColor(249, 248, 243), QColor(236, 233, 216), QColor(197, 194, 178), Qt::black, QColor(193, 210, 238)};
  }
}

class BarWidget : public QWidget {
 public:
  using QWidget::QWidget;
  void SetLook(const Look& look) {
    look_ = look;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, look_.top);
    fill.setColorAt(1, look_.bottom);
    p.fillRect(rect(), fill);
    p.setPen(look_.edge);
    p.drawLine(0, height() - 1, width(), height() - 1);
  }

 private:
  Look look_ = LookOf(controls::cbsOfficeXP);
};

// A panel of the bar: it wants the width its button gives it, but in a
// window too narrow for the whole bar a wide one yields down to half of it
// rather than lying over the buttons beside it.
class PanelWidget : public QWidget {
 public:
  using QWidget::QWidget;
  void SetWidth(int width) {
    width_ = width;
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    setMinimumWidth(width < kYieldingPanel ? width : width / 2);
    setMaximumWidth(width);
    updateGeometry();
  }
  QSize sizeHint() const override { return {width_, QWidget::sizeHint().height()}; }

 private:
  static constexpr int kYieldingPanel = 100;
  int width_ = 0;
};

// One element of the control array: the toolbar it shows as a row of tool
// buttons. Panels are widgets of their own that the hosted controls fill; a
// drop-down arrow opens the drop-down bar as a menu. An element that shows a
// drop-down is hidden in the model: its bar is drawn as that menu.
class CommandBarView : public ControlView {
 public:
  CommandBarView(forms::Control& c, QWidget* parent) : ControlView(c, new BarWidget(parent)) {
    layout_ = new QHBoxLayout(widget());
    layout_->setContentsMargins(2, 1, 2, 2);
    layout_->setSpacing(1);
  }

  QWidget* HostFor(const forms::Control& child) override {
    auto toolbar = bar().Toolbar();
    if (!toolbar) return nullptr;
    for (const auto& b : toolbar->Buttons())
      if (b->Style() == controls::cbbPanel && b->PanelControl() == &child) return Panel(b->Key());
    return nullptr;
  }

 protected:
  void SyncKind() override {
    const Look look = LookOf(bar().Style());
    static_cast<BarWidget*>(widget())->SetLook(look);
    // Each button gets the sheet, never the bar: a sheet on the bar would
    // also restyle the controls its panels host, and every restyle puts back
    // the colours a hosted label had before its own were set.
    sheet_ = QString(
                 "QToolButton { color: %1; border: 1px solid transparent; padding: 1px 3px; }"
                 "QToolButton:hover { background: %2; border: 1px solid %3; }")
                 .arg(look.text.name(), look.hover.name(), look.edge.name());
    const std::string shape = Shape();
    if (shape != shape_) {
      shape_ = shape;
      Rebuild();
    }
    Refresh();
  }

 private:
  controls::CommandBar& bar() const { return static_cast<controls::CommandBar&>(control()); }

  // What the layout is made of; texts, pictures and checks change in place.
  std::string Shape() const {
    std::string out;
    if (auto toolbar = bar().Toolbar())
      for (const auto& b : toolbar->Buttons()) {
        out += b->Key() + "/" + std::to_string(b->Style()) + "/" + std::to_string(b->PanelWidth()) + "/" +
               (b->ShowDropDownInToolbar() && b->Bar() ? "v" : "") + ";";
        if (auto menu = b->Bar())
          for (const auto& e : menu->Buttons()) out += e->Key() + ",";
      }
    return out;
  }

  PanelWidget* Panel(const std::string& key) {
    PanelWidget*& panel = panels_[key];
    if (panel == nullptr) {
      panel = new PanelWidget(widget());
      panel->setObjectName(QString::fromStdString(key));
      auto* layout = new QHBoxLayout(panel);
      layout->setContentsMargins(0, 0, 0, 0);
    }
    return panel;
  }

  void Rebuild() {
    // Panels stay: they hold the hosted controls' widgets.
    while (QLayoutItem* item = layout_->takeAt(0)) {
      if (QWidget* w = item->widget()) {
        bool panel = false;
        for (const auto& [key, p] : panels_) panel = panel || p == w;
        if (!panel) {
          w->hide();
          w->deleteLater();  // it may be the button whose click got us here
        }
      }
      delete item;
    }
    buttons_.clear();
    entries_.clear();
    auto toolbar = bar().Toolbar();
    if (toolbar) {
      for (const auto& b : toolbar->Buttons()) {
        const std::string key = b->Key();
        switch (b->Style()) {
          case controls::cbbSeparator: {
            auto* line = new QFrame(widget());
            line->setFrameShape(QFrame::VLine);
            line->setFrameShadow(QFrame::Sunken);
            layout_->addWidget(line);
            break;
          }
          case controls::cbbPanel: {
            PanelWidget* panel = Panel(key);
            // Panel widths were chosen for the narrow dialog font of the
            // original desktop; a wider font widens them alike.
            const double scale = std::max(1.0, widget()->fontMetrics().averageCharWidth() / kDialogCharWidth);
            panel->SetWidth(static_cast<int>(static_cast<double>(b->PanelWidth()) * scale + 0.5));
            layout_->addWidget(panel);
            break;
          }
          default: AddButton(*b); break;
        }
      }
    }
    layout_->addStretch(1);
    // The hosted controls move into their panels.
    if (auto* window = qobject_cast<FormWindow*>(widget()->window()); window != nullptr && toolbar)
      for (const auto& b : toolbar->Buttons())
        if (forms::Control* hosted = b->PanelControl()) window->SyncControl(hosted);
  }

  void AddButton(const controls::CommandBarButton& b) {
    auto* model = &bar();
    const std::string key = b.Key();
    auto* button = new QToolButton(widget());
    button->setObjectName(QString::fromStdString(key));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    QObject::connect(button, &QToolButton::clicked,
                     [model, key] { Act([&] { forms::user::ClickCommandBarButton(*model, key); }); });
    layout_->addWidget(button);
    buttons_[key] = button;
    auto menuBar = b.Bar();
    if (!b.ShowDropDownInToolbar() || !menuBar) return;
    auto* arrow = new QToolButton(widget());
    arrow->setObjectName(QString::fromStdString(key + ".arrow"));
    arrow->setArrowType(Qt::DownArrow);
    arrow->setAutoRaise(true);
    arrow->setFocusPolicy(Qt::NoFocus);
    arrow->setFixedWidth(14);
    auto* menu = new QMenu(arrow);
    menu->setObjectName(QString::fromStdString(menuBar->Key()));
    for (const auto& e : menuBar->Buttons()) {
      const std::string entry = e->Key();
      QAction* action = menu->addAction(Mnemonic(e->Caption()));
      action->setObjectName(QString::fromStdString(entry));
      action->setCheckable(e->Style() == controls::cbbCheck);
      QObject::connect(action, &QAction::triggered,
                       [model, key, entry] { Act([&] { forms::user::ChooseCommandBarEntry(*model, key, entry); }); });
      entries_[entry] = action;
    }
    // The menu opens without a nested loop: the person's choice comes back
    // as the action's trigger.
    const auto open = [model, key, menu, button] {
      if (!Act([&] { forms::user::OpenCommandBarDropDown(*model, key); })) return;
      menu->popup(button->mapToGlobal(QPoint(0, button->height())));
    };
    QObject::connect(arrow, &QToolButton::clicked, open);
    // A click on the caption goes to the model first, and then shows the
    // menu too: a person who clicks "Views" expects the views.
    QObject::connect(button, &QToolButton::clicked, open);
    layout_->addWidget(arrow);
  }

  void Refresh() {
    for (QToolButton* button : widget()->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
      if (button->styleSheet() != sheet_) button->setStyleSheet(sheet_);
    auto toolbar = bar().Toolbar();
    if (!toolbar) return;
    // What a panel hosts sits in the middle of the bar's height.
    for (const auto& [key, panel] : panels_)
      for (QWidget* hosted : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        panel->layout()->setAlignment(hosted, Qt::AlignVCenter);
    for (const auto& b : toolbar->Buttons()) {
      auto it = buttons_.find(b->Key());
      if (it == buttons_.end() || !it->second) continue;
      QToolButton* button = it->second;
      const QIcon icon = IconOf(bar().Images(), b->IconIndex());
      button->setIcon(icon);
      const bool caption = b->ShowCaptionInToolbar() || icon.isNull();
      button->setText(caption ? Mnemonic(b->Caption()) : QString());
      button->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly
                                 : caption     ? Qt::ToolButtonTextBesideIcon
                                               : Qt::ToolButtonIconOnly);
      button->setToolTip(QString::fromStdString(b->ToolTipText()));
      if (auto menuBar = b->Bar())
        for (const auto& e : menuBar->Buttons()) {
          auto entry = entries_.find(e->Key());
          if (entry == entries_.end() || !entry->second) continue;
          entry->second->setText(Mnemonic(e->Caption()));
          entry->second->setChecked(e->Checked());
        }
    }
  }

  QHBoxLayout* layout_;
  QString sheet_;
  std::string shape_ = "-";
  std::map<std::string, PanelWidget*> panels_;
  std::map<std::string, QPointer<QToolButton>> buttons_;
  std::map<std::string, QPointer<QAction>> entries_;
};

// A drop-down list with icons: a person's choice goes to the model (Click);
// a choice made in code only redraws.
class ImageComboView : public ControlView {
 public:
  ImageComboView(forms::Control& c, QWidget* parent) : ControlView(c, new QComboBox(parent)) {
    auto* model = static_cast<controls::ImageCombo*>(&c);
    QObject::connect(combo(), &QComboBox::activated,
                     [model](int index) { Act([&] { forms::user::ChooseImageComboEntry(*model, index); }); });
  }

 protected:
  QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
  void SyncKind() override {
    auto& c = static_cast<controls::ImageCombo&>(control());
    if (!c.Redraw()) return;
    const QSignalBlocker quiet(combo());
    bool same = combo()->count() == c.ListCount();
    for (int i = 0; same && i < c.ListCount(); ++i) same = combo()->itemText(i).toStdString() == c.List(i);
    if (!same) {
      combo()->clear();
      for (int i = 0; i < c.ListCount(); ++i)
        combo()->addItem(IconOf(c.Images(), c.IconOf(i)), QString::fromStdString(c.List(i)));
    }
    combo()->setCurrentIndex(c.ListIndex());
  }
};

}  // namespace

void RegisterCommandBarViews() {
  RegisterControlView("CommandBar", Maker<CommandBarView>());
  RegisterControlView("ImageCombo", Maker<ImageComboView>());
}

}  // namespace platform::qt
