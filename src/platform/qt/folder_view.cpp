// The web browser control while it shows a folder: the shell's folder view,
// drawn in each of its view modes. The folder view model is the truth for
// the items, the focus and the selection; the list here only mirrors it, and
// a person's clicks and keys go to the model through the user:: functions,
// whose change comes back as a Sync.
//
// Thumbnails are decoded at their size by the picture loader, in the
// folder's order and after any picture for the screen; a new listing cancels
// what the old one still had queued, so nothing of it is decoded or arrives.
#include <QAbstractTableModel>
#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTreeView>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/web_browser.h"
#include "platform/forms/form.h"
#include "platform/forms/ui.h"
#include "platform/qt/control_views.h"
#include "platform/qt/form_views.h"
#include "platform/qt/pictures.h"

namespace platform::qt {

namespace forms = platform::forms;
namespace controls = platform::controls;

namespace {

// The edge of a thumbnail as the shell draws it; smaller icons are scaled
// from the same picture.
constexpr int kThumbEdge = kThumbnailEdge;
// The shell's own strip on the left of a folder in the web view (twips); the
// preview window's task pane lies over it.
constexpr float kWebStripTwips = 3150;

QString TypeText(const QString& fileName) {
  const QString ext = QFileInfo(fileName).suffix().toLower();
  if (ext.isEmpty()) return "File";
  if (ext == "jpg" || ext == "jpeg") return "JPEG Image";
  if (ext == "bmp") return "Bitmap Image";
  if (ext == "tif" || ext == "tiff") return "TIFF Image";
  if (ext == "gif" || ext == "png" || ext == "emf" || ext == "wmf") return ext.toUpper() + " Image";
  return ext.toUpper() + " File";
}

// Sizes as the shell writes them: whole kilobytes, rounded up.
QString SizeText(qint64 bytes) { return QString::number((bytes + 1023) / 1024) + " KB"; }

// A thumbnail in the middle of its square, so captions line up under
// pictures of any shape.
QPixmap Framed(const QImage& image) {
  QPixmap square(kThumbEdge, kThumbEdge);
  square.fill(Qt::transparent);
  QPainter p(&square);
  const QRect at(QPoint((kThumbEdge - image.width()) / 2, (kThumbEdge - image.height()) / 2), image.size());
  p.drawImage(at, image);
  p.setPen(QColor(208, 208, 208));
  p.drawRect(at.adjusted(0, 0, -1, -1));
  return square;
}

const QIcon& PlaceholderIcon(bool failed) {
  static const QIcon waiting(PicturePlaceholder(false));
  static const QIcon broken(PicturePlaceholder(true));
  return failed ? broken : waiting;
}

// The folder's files as rows; column 0 is what the list shows, the others
// are the details view's columns.
class FolderModel : public QAbstractTableModel {
 public:
  struct Entry {
    std::string path;
    QString name, type, size, date;
    QIcon thumbnail;
    enum class State { Waiting, Ready, Failed } state = State::Waiting;
  };

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 4; }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kHeaders[] = {"Name", "Size", "Type", "Date Modified"};
    return section >= 0 && section < 4 ? QString(kHeaders[section]) : QVariant();
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Entry& e = entries_[static_cast<std::size_t>(index.row())];
    switch (role) {
      case Qt::DisplayRole:
        switch (index.column()) {
          case 0: return tiles_ ? e.name + '\n' + e.type + '\n' + e.size : e.name;
          case 1: return e.size;
          case 2: return e.type;
          default: return e.date;
        }
      case Qt::DecorationRole:
        if (index.column() != 0) return {};
        if (e.state == Entry::State::Ready) return e.thumbnail;
        return PlaceholderIcon(e.state == Entry::State::Failed);
      case Qt::ToolTipRole: return e.name + "\nType: " + e.type + "\nSize: " + e.size;
      case Qt::TextAlignmentRole:
        if (index.column() == 1) return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
      default: return {};
    }
  }

  const std::vector<Entry>& entries() const { return entries_; }
  bool SamePaths(const std::vector<std::string>& paths) const {
    if (paths.size() != entries_.size()) return false;
    for (std::size_t i = 0; i < paths.size(); ++i)
      if (paths[i] != entries_[i].path) return false;
    return true;
  }
  int RowOf(const std::string& path) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
      if (entries_[i].path == path) return static_cast<int>(i);
    return -1;
  }

  // A new listing: the rows, and a thumbnail asked for each.
  void Reset(const std::vector<std::string>& paths, const std::vector<std::string>& names) {
    beginResetModel();
    thumbnails_.Cancel();
    entries_.clear();
    for (std::size_t i = 0; i < paths.size(); ++i) {
      const QFileInfo info(QString::fromStdString(paths[i]));
      Entry e;
      e.path = paths[i];
      e.name = QString::fromStdString(names[i]);
      e.type = TypeText(info.fileName());
      e.size = SizeText(info.size());
      e.date = QLocale().toString(info.lastModified(), QLocale::ShortFormat);
      entries_.push_back(std::move(e));
    }
    endResetModel();
    for (const Entry& e : entries_) Ask(e.path);
  }

  void Tiles(bool on) {
    if (on == tiles_) return;
    tiles_ = on;
    if (!entries_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DisplayRole});
  }

  // Every thumbnail asked for has arrived (tests, benchmarks).
  bool AllArrived() const {
    for (const Entry& e : entries_)
      if (e.state == Entry::State::Waiting) return false;
    return true;
  }

 private:
  void Ask(const std::string& path) {
    // The model owns the request: gone or reset, it is delivered nothing.
    thumbnails_.Ask(QString::fromStdString(path), QSize(kThumbEdge, kThumbEdge), PicturePriority::Thumbnail,
                    [this, path](const QImage& image) { Arrived(path, image); });
  }

  void Arrived(const std::string& path, const QImage& image) {
    const int row = RowOf(path);
    if (row < 0) return;
    Entry& e = entries_[static_cast<std::size_t>(row)];
    if (image.isNull()) {
      e.state = Entry::State::Failed;
    } else {
      e.thumbnail = QIcon(Framed(image));
      e.state = Entry::State::Ready;
    }
    emit dataChanged(index(row, 0), index(row, 0), {Qt::DecorationRole});
  }

  std::vector<Entry> entries_;
  bool tiles_ = false;
  // Last, so that it goes first and nothing arrives at a model half gone.
  PictureOwner thumbnails_;
};

// The widget of the view: it places its parts itself, so the sizes they get
// (and the size the large picture is decoded at) follow the control's
// geometry at once, without waiting for a layout pass.
class FolderPane : public QWidget {
 public:
  using QWidget::QWidget;
  std::function<void()> arrange;

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (arrange) arrange();
  }
};

// The keys the folder view answers: moving the focus, Enter and Ctrl+A.
int ViewKeyOf(const QKeyEvent& e) {
  const int code = KeyCodeOf(e);
  if (code == 'A') return (e.modifiers() & Qt::ControlModifier) ? code : 0;
  switch (code) {
    case forms::vbKeyReturn:
    case forms::vbKeyHome:
    case forms::vbKeyEnd:
    case forms::vbKeyLeft:
    case forms::vbKeyUp:
    case forms::vbKeyRight:
    case forms::vbKeyDown: return code;
    default: return 0;
  }
}

class FolderView : public ControlView, public QObject {
 public:
  FolderView(forms::Control& c, QWidget* parent)
      : ControlView(c, new FolderPane(parent)), browser_(static_cast<controls::WebBrowser&>(c)), large_(widget()) {
    auto* pane = static_cast<FolderPane*>(widget());
    pane->setAutoFillBackground(true);
    strip_ = new QLabel(pane);
    strip_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    strip_->setWordWrap(true);
    strip_->setMargin(12);
    strip_->setAutoFillBackground(true);
    QPalette stripColours = strip_->palette();
    stripColours.setColor(QPalette::Window, QColor(214, 223, 247));
    strip_->setPalette(stripColours);
    picture_ = new QLabel(pane);
    picture_->setObjectName("FilmstripPicture");
    picture_->setAlignment(Qt::AlignCenter);
    list_ = new QListView(pane);
    details_ = new QTreeView(pane);
    list_->setModel(&model_);
    details_->setModel(&model_);
    details_->setSelectionModel(list_->selectionModel());
    details_->setRootIsDecorated(false);
    details_->setItemsExpandable(false);
    details_->setUniformRowHeights(true);
    details_->header()->setStretchLastSection(true);
    details_->header()->resizeSection(0, 180);
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(list_), static_cast<QAbstractItemView*>(details_)}) {
      v->setSelectionMode(QAbstractItemView::ExtendedSelection);
      v->setEditTriggers(QAbstractItemView::NoEditTriggers);
      v->setFocusPolicy(Qt::StrongFocus);
      v->installEventFilter(this);
      v->viewport()->installEventFilter(this);
    }
    list_->setWordWrap(true);
    // A tab stop of the form: the focus it gets goes to the list.
    pane->setFocusPolicy(Qt::StrongFocus);
    pane->setFocusProxy(list_);
    pane->arrange = [this] { Arrange(); };
  }

 protected:
  void SyncKind() override {
    auto* pane = static_cast<FolderPane*>(widget());
    QPalette colours = pane->palette();
    colours.setColor(QPalette::Window, QApplication::palette().color(QPalette::Base));
    pane->setPalette(colours);

    view_ = browser_.Document();
    if (!view_) {
      // Nothing navigated, or not ready yet: the control is blank.
      if (model_.rowCount() > 0) model_.Reset({}, {});
      mode_ = 0;
      Arrange();
      return;
    }
    const auto items = view_->Folder()->Items();
    std::vector<std::string> paths, names;
    for (const auto& item : *items) {
      paths.push_back(item->Path());
      names.push_back(item->Name());
    }
    if (!model_.SamePaths(paths)) model_.Reset(paths, names);
    ShowMode(view_->CurrentViewMode());
    strip_->setText("<b>" + QFileInfo(QString::fromStdString(view_->Folder()->Path())).fileName().toHtmlEscaped() +
                    "</b><br><br>Select an item to view its description.");
    ShowSelection(*items);
    Arrange();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    QAbstractItemView* view = nullptr;
    if (watched == list_ || watched == list_->viewport()) view = list_;
    if (watched == details_ || watched == details_->viewport()) view = details_;
    if (view == nullptr) return false;
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick: {
        auto* e = static_cast<QMouseEvent*>(event);
        view->setFocus(Qt::MouseFocusReason);
        if (e->button() != Qt::LeftButton) return true;
        const QModelIndex at = view->indexAt(e->position().toPoint());
        if (!at.isValid()) return true;
        const std::string path = model_.entries()[static_cast<std::size_t>(at.row())].path;
        if (event->type() == QEvent::MouseButtonDblClick) {
          Act([&] { forms::user::DoubleClickFolderItem(browser_, path); });
        } else {
          Act([&] { forms::user::ClickFolderItem(browser_, path, ShiftOf(e->modifiers())); });
        }
        return true;
      }
      // The list's own selection by dragging or releasing stays out: the
      // model selects.
      case QEvent::MouseButtonRelease:
      case QEvent::MouseMove:
        return static_cast<QMouseEvent*>(event)->buttons() != Qt::NoButton ||
               event->type() == QEvent::MouseButtonRelease;
      case QEvent::KeyPress: {
        auto* e = static_cast<QKeyEvent*>(event);
        const int code = ViewKeyOf(*e);
        if (code == 0) return false;
        Act([&] { forms::user::PressFolderKey(browser_, code, ShiftOf(e->modifiers())); });
        return true;
      }
      default: return false;
    }
  }

 private:
  void ShowMode(long mode) {
    if (mode == mode_) return;
    mode_ = mode;
    model_.Tiles(mode == controls::fvmTile);
    list_->setWrapping(true);
    list_->setFlow(QListView::LeftToRight);
    list_->setViewMode(QListView::IconMode);
    list_->setMovement(QListView::Static);
    list_->setResizeMode(QListView::Adjust);
    list_->setTextElideMode(Qt::ElideMiddle);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    switch (mode) {
      case controls::fvmThumbnail:
        list_->setIconSize(QSize(kThumbEdge, kThumbEdge));
        list_->setGridSize(QSize(kThumbEdge + 24, kThumbEdge + 36));
        break;
      case controls::fvmThumbstrip:
        // One row under the large picture.
        list_->setWrapping(false);
        list_->setIconSize(QSize(kThumbEdge - 16, kThumbEdge - 16));
        list_->setGridSize(QSize(kThumbEdge + 8, kThumbEdge + 24));
        list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        break;
      case controls::fvmTile:
        list_->setViewMode(QListView::ListMode);
        list_->setIconSize(QSize(48, 48));
        list_->setGridSize(QSize(230, 60));
        list_->setTextElideMode(Qt::ElideRight);
        break;
      case controls::fvmList:
        list_->setViewMode(QListView::ListMode);
        list_->setFlow(QListView::TopToBottom);
        list_->setIconSize(QSize(16, 16));
        list_->setGridSize(QSize(180, 20));
        break;
      default:  // icons
        list_->setIconSize(QSize(32, 32));
        list_->setGridSize(QSize(84, 72));
        break;
    }
    shownLarge_.clear();
    list_->doItemsLayout();
  }

  void ShowSelection(const controls::FolderItems& items) {
    QItemSelectionModel* selection = list_->selectionModel();
    // The model's own change, drawn: nothing of it goes back as a person's.
    const QSignalBlocker quiet(selection);
    QItemSelection selected;
    int focus = -1;
    int row = 0;
    for (const auto& item : items) {
      if (view_->IsSelected(*item)) selected.select(model_.index(row, 0), model_.index(row, 3));
      if (view_->HasFocus(*item)) focus = row;
      ++row;
    }
    selection->select(selected, QItemSelectionModel::ClearAndSelect);
    selection->setCurrentIndex(focus < 0 ? QModelIndex() : model_.index(focus, 0), QItemSelectionModel::NoUpdate);
    if (focus >= 0) {
      list_->scrollTo(model_.index(focus, 0));
      details_->scrollTo(model_.index(focus, 0));
    }
    focused_ = focus < 0 ? std::string() : model_.entries()[static_cast<std::size_t>(focus)].path;
    list_->viewport()->update();
    details_->viewport()->update();
  }

  // Places the parts for the mode and asks for the large picture at the
  // size it now has.
  void Arrange() {
    const QRect all = widget()->rect();
    const bool shown = view_ != nullptr && mode_ != 0;
    const int strip =
        shown && controls::ShellSettings().WebViewShown() ? std::min(PixelsX(kWebStripTwips), all.width() / 2) : 0;
    strip_->setVisible(strip > 0);
    strip_->setGeometry(0, 0, strip, all.height());
    const QRect room = all.adjusted(strip, 0, 0, 0);
    const bool filmstrip = shown && mode_ == controls::fvmThumbstrip;
    const bool details = shown && mode_ == controls::fvmDetails;
    picture_->setVisible(filmstrip);
    list_->setVisible(shown && !details);
    details_->setVisible(details);
    if (details) details_->setGeometry(room);
    if (!filmstrip) {
      list_->setGeometry(room);
      return;
    }
    const int row =
        std::min(list_->gridSize().height() + list_->horizontalScrollBar()->sizeHint().height() + 6, room.height() / 2);
    list_->setGeometry(room.left(), room.bottom() + 1 - row, room.width(), row);
    picture_->setGeometry(room.left(), room.top(), room.width(), room.height() - row);
    ShowLarge();
  }

  // The focused picture, large, above the strip of thumbnails.
  void ShowLarge() {
    const QSize box = picture_->size().shrunkBy(QMargins(8, 8, 8, 8));
    if (focused_ == shownLarge_ && box == largeBox_) return;
    shownLarge_ = focused_;
    largeBox_ = box;
    if (focused_.empty() || box.isEmpty()) {
      large_.Request({}, {}, [](const QImage&) {});  // an answer still on its way is stale now
      picture_->clear();
      return;
    }
    QPointer<QLabel> target(picture_);
    large_.Request(QString::fromStdString(focused_), box, [target](const QImage& image) {
      if (!target) return;
      if (image.isNull()) {
        target->setPixmap(PicturePlaceholder(true));
      } else {
        target->setPixmap(QPixmap::fromImage(image));
      }
    });
  }

  controls::WebBrowser& browser_;
  std::shared_ptr<controls::ShellFolderView> view_;
  FolderModel model_;
  QLabel* strip_;
  QLabel* picture_;
  QListView* list_;
  QTreeView* details_;
  PictureRequest large_;
  long mode_ = 0;
  std::string focused_;
  std::string shownLarge_;
  QSize largeBox_;
};

}  // namespace

void RegisterFolderView() {
  RegisterControlView("WebBrowser", [](forms::Control& c, QWidget* parent) -> std::unique_ptr<ControlView> {
    return std::make_unique<FolderView>(c, parent);
  });
}

}  // namespace platform::qt
