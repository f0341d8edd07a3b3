#include "host/qt/command_bar_views.h"

#include <QAction>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <utility>

#include "host/office.h"
#include "platform/qt/form_views.h"
#include "runtime/error.h"

namespace host::qt {

namespace {

using platform::qt::Mnemonic;
using platform::qt::PlainCaption;

// A member of the object model read for drawing; a bar or control that
// refuses it (deleted meanwhile, a member an older host lacks) gives `fallback`.
template <class T>
T Read(const std::function<T()>& read, T fallback) {
  try {
    return read();
  } catch (...) {
    return fallback;
  }
}

QImage PictureImage(const host::Picture& picture) {
  if (!picture.Source().empty())
    return QImage(QString::fromStdString(picture.Source())).convertToFormat(QImage::Format_ARGB32);
  const int width = static_cast<int>(picture.Width());
  const int height = static_cast<int>(picture.Height());
  QImage image(width, height, QImage::Format_ARGB32);
  const auto& pixels = picture.Pixels();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(
          x, y,
          0xFF000000u |
              pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]);
  return image;
}

// Greyed when clicking it would do nothing, so a person is not left
// wondering why a button of the stand-in does not answer.
bool Inert(const std::shared_ptr<host::CommandBarButton>& button) { return button && button->Inert(); }

Qt::ToolBarArea AreaOf(long position) {
  switch (position) {
    case host::msoBarLeft: return Qt::LeftToolBarArea;
    case host::msoBarRight: return Qt::RightToolBarArea;
    case host::msoBarBottom: return Qt::BottomToolBarArea;
    default: return Qt::TopToolBarArea;  // a floating bar is drawn in a row of its own at the top
  }
}

// How a button shows on a toolbar: the style asks for a face, a caption or
// both; a face that is asked for but missing shows the caption instead.
Qt::ToolButtonStyle StyleOf(long style, bool hasFace) {
  switch (style) {
    case host::msoButtonIcon: return hasFace ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly;
    case host::msoButtonCaption: return Qt::ToolButtonTextOnly;
    case host::msoButtonIconAndCaption: return hasFace ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonTextOnly;
    default: return hasFace ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly;
  }
}

}  // namespace

QImage FaceImage(const host::Picture& picture, const host::Picture* mask) {
  QImage face = PictureImage(picture);
  if (face.isNull() || mask == nullptr) return face;
  const QImage bits = PictureImage(*mask);
  if (bits.size() != face.size()) return face;
  for (int y = 0; y < face.height(); ++y)
    for (int x = 0; x < face.width(); ++x)
      if (qGray(bits.pixel(x, y)) >= 128) face.setPixel(x, y, 0);
  return face;
}

CommandBarsView::CommandBarsView(QMainWindow& window, std::shared_ptr<host::CommandBars> bars)
    : QObject(&window), window_(window), bars_(std::move(bars)) {
  onUpdate_ = bars_->OnUpdate.Subscribe([this] { Schedule(); });
  Sync();
}

CommandBarsView::~CommandBarsView() = default;

void CommandBarsView::Click(const std::weak_ptr<host::CommandBarButton>& weak) {
  // As `click` does: the control's Click, then the host's own action. A
  // refused click (the control has gone or is hidden) does nothing.
  ++clicking_;
  try {
    if (auto button = weak.lock()) button->UserClick();
  } catch (...) {
    qWarning("The click was refused: %s", runtime::ToError(std::current_exception()).Description().c_str());
  }
  --clicking_;
  QMetaObject::invokeMethod(this, &CommandBarsView::Reap, Qt::QueuedConnection);
}

void CommandBarsView::Reap() {
  // A click may be running on a retired button, below a message box's or a
  // modal form's event loop: only once every click has returned can what
  // was drawn before go.
  if (clicking_ > 0) return;
  for (auto& object : std::exchange(retired_, {}))
    if (object) object->deleteLater();
}

void CommandBarsView::Schedule() {
  if (pending_) return;
  pending_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (pending_) Sync();
      },
      Qt::QueuedConnection);
}

void CommandBarsView::Detach() {
  onUpdate_.reset();
  pending_ = false;
  Clear();
  bars_.reset();
}

void CommandBarsView::Clear() {
  for (auto& [bar, toolbar] : toolbars_) {
    if (!toolbar) continue;
    window_.removeToolBar(toolbar);
    toolbar->hide();
    retired_.push_back(toolbar.data());
  }
  toolbars_.clear();
  buttons_.clear();
  entries_.clear();
  if (window_.menuWidget() != nullptr) window_.menuBar()->clear();
  if (made_) retired_.push_back(made_.data());
  made_ = nullptr;
  Reap();
}

QToolBar* CommandBarsView::ToolBarOf(const std::shared_ptr<host::CommandBar>& bar) const {
  for (const auto& [b, toolbar] : toolbars_)
    if (b == bar) return toolbar;
  return nullptr;
}

QWidget* CommandBarsView::ButtonOf(const std::shared_ptr<host::CommandBarControl>& control) const {
  const auto it = buttons_.find(control);
  return it == buttons_.end() ? nullptr : it->second.data();
}

QAction* CommandBarsView::ActionOf(const std::shared_ptr<host::CommandBarControl>& control) const {
  const auto it = entries_.find(control);
  return it == entries_.end() ? nullptr : it->second.data();
}

QIcon CommandBarsView::IconOf(const std::shared_ptr<host::CommandBarControl>& control) {
  auto button = std::dynamic_pointer_cast<host::CommandBarButton>(control);
  if (!button) return {};
  using PictureRef = std::shared_ptr<const host::Picture>;
  const PictureRef picture = Read<PictureRef>([&] { return button->Picture(); }, nullptr);
  if (!picture) return {};
  const PictureRef mask = Read<PictureRef>([&] { return button->Mask(); }, nullptr);
  auto& icon = faces_[{picture, mask}];
  if (icon.isNull()) {
    const QImage face = FaceImage(*picture, mask.get());
    if (!face.isNull()) icon = QIcon(QPixmap::fromImage(face));
  }
  return icon;
}

void CommandBarsView::Sync() {
  pending_ = false;
  Clear();
  if (!bars_ || bars_->Closed()) return;
  made_ = new QWidget(&window_);
  made_->hide();

  struct Placed {
    std::shared_ptr<host::CommandBar> bar;
    long position, row, left;
  };
  std::vector<Placed> placed;
  for (const auto& bar : bars_->Bars()) {
    if (bar->Deleted() || !bar->Shown()) continue;
    if (Read<long>([&] { return bar->Type(); }, host::msoBarTypeNormal) == host::msoBarTypeMenuBar) {
      QMenuBar* menuBar = window_.menuBar();
      for (const auto& control : bar->ControlList()) {
        if (control->Deleted() || !Read<bool>([&] { return control->Visible(); }, false)) continue;
        auto popup = std::dynamic_pointer_cast<host::CommandBarPopup>(control);
        const QString caption = Mnemonic(Read<std::string>([&] { return control->Caption(); }, {}));
        if (popup) {
          auto* menu = new QMenu(caption, made_);
          FillMenu(*menu, popup->CommandBar(), *made_);
          menuBar->addMenu(menu);
        } else {
          auto* action = new QAction(caption, made_);
          std::weak_ptr<host::CommandBarButton> weak = std::dynamic_pointer_cast<host::CommandBarButton>(control);
          connect(action, &QAction::triggered, this, [this, weak] { Click(weak); });
          action->setEnabled(!Inert(weak.lock()));
          menuBar->addAction(action);
          entries_[control] = action;
        }
      }
      continue;
    }
    placed.push_back({bar, Read<long>([&] { return bar->Position(); }, host::msoBarTop),
                      Read<long>([&] { return bar->RowIndex(); }, 0), Read<long>([&] { return bar->Left(); }, 0)});
  }
  // Floating bars after the docked ones of the top, each in a row of its own.
  std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
    const auto key = [](const Placed& p) {
      const long area = static_cast<long>(AreaOf(p.position));
      const long row = p.position == host::msoBarFloating ? 1000000 + p.row : p.row;
      return std::tuple(area, row, p.left);
    };
    return key(a) < key(b);
  });
  const Placed* previous = nullptr;
  for (const auto& p : placed) {
    const Qt::ToolBarArea area = AreaOf(p.position);
    const bool newRow =
        previous != nullptr && AreaOf(previous->position) == area &&
        (previous->row != p.row || p.position == host::msoBarFloating || previous->position == host::msoBarFloating);
    if (newRow) window_.addToolBarBreak(area);
    const QString name = QString::fromStdString(Read<std::string>([&] { return p.bar->Name(); }, {}));
    auto* toolbar = new QToolBar(name, &window_);
    toolbar->setObjectName(name);
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(16, 16));
    FillToolBar(*toolbar, p.bar, *made_);
    window_.addToolBar(area, toolbar);
    toolbars_.emplace_back(p.bar, toolbar);
    previous = &p;
  }
}

void CommandBarsView::FillMenu(QMenu& menu, const std::shared_ptr<host::CommandBar>& bar, QObject& owner) {
  menu.setToolTipsVisible(true);
  if (!bar) return;
  for (const auto& control : bar->ControlList()) {
    if (control->Deleted() || !Read<bool>([&] { return control->Visible(); }, false)) continue;
    if (Read<bool>([&] { return control->BeginGroup(); }, false) && !menu.isEmpty()) menu.addSeparator();
    const std::string caption = Read<std::string>([&] { return control->Caption(); }, {});
    const QString tooltip = QString::fromStdString(Read<std::string>([&] { return control->TooltipText(); }, {}));
    if (auto popup = std::dynamic_pointer_cast<host::CommandBarPopup>(control)) {
      QMenu* sub = menu.addMenu(Mnemonic(caption));
      sub->menuAction()->setToolTip(tooltip);
      FillMenu(*sub, popup->CommandBar(), owner);
      continue;
    }
    auto* action = new QAction(Mnemonic(caption), &owner);
    auto button = std::dynamic_pointer_cast<host::CommandBarButton>(control);
    const long style = button ? Read<long>([&] { return button->Style(); }, host::msoButtonAutomatic) : 0;
    // A menu shows the caption always; the face beside it unless only the caption is asked for.
    if (style != host::msoButtonCaption) action->setIcon(IconOf(control));
    if (!tooltip.isEmpty()) action->setToolTip(tooltip);
    std::weak_ptr<host::CommandBarButton> weak = button;
    connect(action, &QAction::triggered, this, [this, weak] { Click(weak); });
    action->setEnabled(!Inert(button));
    menu.addAction(action);
    entries_[control] = action;
  }
}

void CommandBarsView::FillToolBar(QToolBar& toolbar, const std::shared_ptr<host::CommandBar>& bar, QObject& owner) {
  for (const auto& control : bar->ControlList()) {
    if (control->Deleted() || !Read<bool>([&] { return control->Visible(); }, false)) continue;
    if (Read<bool>([&] { return control->BeginGroup(); }, false) && !toolbar.actions().isEmpty())
      toolbar.addSeparator();
    const std::string caption = Read<std::string>([&] { return control->Caption(); }, {});
    const QString tooltip = QString::fromStdString(Read<std::string>([&] { return control->TooltipText(); }, {}));
    auto* button = new QToolButton(&toolbar);
    button->setAutoRaise(true);
    button->setText(Mnemonic(caption));
    // Without a tooltip of its own a control shows its caption, as the host does.
    button->setToolTip(tooltip.isEmpty() ? PlainCaption(caption) : tooltip);
    if (auto popup = std::dynamic_pointer_cast<host::CommandBarPopup>(control)) {
      auto* menu = new QMenu(button);
      FillMenu(*menu, popup->CommandBar(), owner);
      // The menu drops down without an event loop of its own (as a menu of
      // the menu bar does), so no frame of a retired button outlives it.
      connect(button, &QToolButton::clicked, menu,
              [button, menu] { menu->popup(button->mapToGlobal(QPoint(0, button->height()))); });
      button->setText(Mnemonic(caption) + QStringLiteral(" \u25BE"));
      const long style = Read<long>([&] { return popup->Style(); }, host::msoButtonCaption);
      button->setToolButtonStyle(StyleOf(style == host::msoButtonAutomatic ? host::msoButtonCaption : style, false));
    } else {
      auto typed = std::dynamic_pointer_cast<host::CommandBarButton>(control);
      const QIcon icon = IconOf(control);
      button->setIcon(icon);
      const long style = typed ? Read<long>([&] { return typed->Style(); }, host::msoButtonAutomatic) : 0;
      button->setToolButtonStyle(StyleOf(style, !icon.isNull()));
      std::weak_ptr<host::CommandBarButton> weak = typed;
      connect(button, &QToolButton::clicked, this, [this, weak] { Click(weak); });
      button->setEnabled(!Inert(typed));
    }
    toolbar.addWidget(button);
    buttons_[control] = button;
  }
}

}  // namespace host::qt
