// The preview window on screen: real thumbnails of the message's pictures,
// a click on a drawn thumbnail moves the focus and the task pane follows.
#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QTest>
#include <set>

#include "platform/qt/pictures.h"
#include "platform/qt/screen_ui.h"
#include "qt/metafile_pixels.h"
#include "windows/frm_settings.h"
#include "windows/preview_fixture.h"

namespace {

using namespace windows_test;
namespace pq = platform::qt;

std::string Jpeg(QColor colour) {
  QImage image(640, 480, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPG");
  return bytes.toStdString();
}

bool Near(QColor a, QColor b) {
  return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 && std::abs(a.blue() - b.blue()) < 24;
}

class PreviewOnScreen : public PreviewTest {
 protected:
  void SetUp() override {
    PreviewTest::SetUp();
    forms::SetUserInterface(std::make_shared<pq::DrawnUserInterface>(ui, views));
  }
  void TearDown() override {
    pq::PictureRequest::WaitForAll();
    PreviewTest::TearDown();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // Opens the preview of a message with these attachments, each scripted
  // as a picture of `size`.
  pq::FormWindow* Preview(const std::vector<std::pair<std::string, std::string>>& files,
                          platform::gdiplus::PictureData size = Plain()) {
    std::vector<host::AttachmentData> attachments;
    for (const auto& [name, bytes] : files) {
      attachments.push_back({.fileName = name, .content = host::TextContent(bytes)});
      scripted->Add(InTemp(name), size);
    }
    message = Message("Holiday", attachments);
    explorer->Select({message});
    ClickToolbar("&Lumivane...");
    preview = forms::Default<frmMain>();
    pq::FormWindow* window = views.WindowOf(*preview);
    if (window != nullptr) pq::PictureRequest::WaitForAll();
    return window;
  }

  static QListView* Thumbnails(pq::FormWindow& window) {
    return window.findChild<QWidget*>("wbThumbnails")->findChild<QListView*>();
  }
  static QImage Thumbnail(QListView& list, int row) {
    const auto icon = list.model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
    return icon.pixmap(QSize(96, 96)).toImage();
  }

  // A message of a red camera picture, a blue plain one and a damaged one,
  // previewed from the toolbar; the window once its pictures are in.
  pq::FormWindow* OpenOnScreen() {
    const std::pair<const char*, std::string> files[] = {
        {"camera.jpg", Jpeg(Qt::red)}, {"plain.jpg", Jpeg(Qt::blue)}, {"torn.jpg", "not a picture at all"}};
    std::vector<host::AttachmentData> attachments;
    for (const auto& [name, bytes] : files)
      attachments.push_back({.fileName = name, .content = host::TextContent(bytes)});
    scripted->Add(InTemp("camera.jpg"), Camera());
    scripted->Add(InTemp("plain.jpg"), Plain());
    scripted->Add(InTemp("torn.jpg"), Plain());
    message = Message("Holiday", attachments);
    explorer->Select({message});
    const auto before = loop->Milliseconds();
    ClickToolbar("&Lumivane...");
    // The folder view is ready at once: opening never waits for it.
    EXPECT_EQ(loop->Milliseconds(), before);
    preview = forms::Default<frmMain>();
    pq::FormWindow* window = views.WindowOf(*preview);
    if (window != nullptr) pq::PictureRequest::WaitForAll();
    return window;
  }

  QString Details(pq::FormWindow& window) {
    auto* label = window.findChild<QLabel*>("DETAILS.FileName");
    return label == nullptr ? QString("<no label>") : label->text();
  }

  pq::FormViews views;
  std::shared_ptr<frmMain> preview;
};

TEST_F(PreviewOnScreen, ThumbnailsAreThePicturesAndAClickOnOneShowsItsDetails) {
  pq::FormWindow* window = OpenOnScreen();
  ASSERT_NE(window, nullptr);
  QListView* list = Thumbnails(*window);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->model()->rowCount(), 3);
  const auto thumbnail = [&](int row) { return Thumbnail(*list, row); };
  const QImage red = thumbnail(0);
  EXPECT_TRUE(Near(red.pixelColor(red.rect().center()), Qt::red));
  // The damaged file has a placeholder, not the picture of another.
  const QImage torn = thumbnail(2);
  EXPECT_FALSE(torn.isNull());
  EXPECT_FALSE(Near(torn.pixelColor(torn.rect().center()), Qt::blue));
  EXPECT_EQ(Details(*window), "File Name: camera.jpg");

  // A person clicks the blue thumbnail: focus, selection, pane and the large
  // filmstrip picture follow the model.
  const QModelIndex second = list->model()->index(1, 0);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(second).center());
  EXPECT_EQ(View(*preview), (std::vector<std::string>{"camera.jpg", ">plain.jpg*", "torn.jpg"}));
  EXPECT_EQ(list->selectionModel()->selectedRows(), QModelIndexList{second});
  EXPECT_EQ(Details(*window), "File Name: plain.jpg");
  pq::PictureRequest::WaitForAll();
  auto* large = window->findChild<QLabel*>("FilmstripPicture");
  ASSERT_NE(large, nullptr);
  const QImage shown = large->pixmap().toImage();
  ASSERT_FALSE(shown.isNull());
  EXPECT_TRUE(Near(shown.pixelColor(shown.rect().center()), Qt::blue));

  // The DCF bar's item of the camera picture selects that file again.
  QLabel* dcf = nullptr;
  for (auto* label : window->findChildren<QLabel*>())
    if (label->objectName().startsWith("DCF.")) dcf = label;
  ASSERT_NE(dcf, nullptr);
  QTest::mouseClick(dcf->parentWidget(), Qt::LeftButton);
  EXPECT_EQ(View(*preview), (std::vector<std::string>{">camera.jpg*", "plain.jpg", "torn.jpg"}));
  EXPECT_EQ(Details(*window), "File Name: camera.jpg");
}

TEST_F(PreviewOnScreen, MetafilesAreDrawnInThumbnailsAndTheFilmstripAndADamagedOneKeepsItsPlaceholder) {
  using metafile_test::DataFile;
  using metafile_test::ShowsTheDrawing;
  std::string torn = DataFile("drawing.emf");
  torn.resize(torn.size() / 2);
  platform::gdiplus::PictureData size;
  size.format = "WMF";
  size.width = 240;
  size.height = 180;
  pq::FormWindow* window = Preview(
      {{"plan.wmf", DataFile("drawing.wmf")}, {"chart.emf", DataFile("drawing.emf")}, {"torn.emf", torn}}, size);
  ASSERT_NE(window, nullptr);
  QListView* list = Thumbnails(*window);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->model()->rowCount(), 3);
  // A thumbnail is the picture fitted into a square and centred in it.
  for (int row : {0, 1}) EXPECT_TRUE(ShowsTheDrawing(Thumbnail(*list, row).copy(0, 12, 96, 72))) << row;
  const QImage placeholder = Thumbnail(*list, 2);
  EXPECT_FALSE(placeholder.isNull());
  EXPECT_FALSE(ShowsTheDrawing(placeholder));

  const QModelIndex first = list->model()->index(0, 0);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(first).center());
  pq::PictureRequest::WaitForAll();
  auto* large = window->findChild<QLabel*>("FilmstripPicture");
  ASSERT_NE(large, nullptr);
  EXPECT_TRUE(ShowsTheDrawing(large->pixmap().toImage()));
}

TEST_F(PreviewOnScreen, KeysMoveAtOnceAndTheTaskPaneIsReachedWithTab) {
  pq::FormWindow* window = OpenOnScreen();
  ASSERT_NE(window, nullptr);
  // The thumbnails have the focus as the window opens: arrows move at once.
  auto* list = window->findChild<QWidget*>("wbThumbnails")->findChild<QListView*>();
  ASSERT_EQ(window->focusWidget(), list);
  QTest::keyClick(list, Qt::Key_Right);
  EXPECT_EQ(View(*preview), (std::vector<std::string>{"camera.jpg", ">plain.jpg*", "torn.jpg"}));

  // Tab reaches the task pane's links, each with its frame, and Enter runs one.
  QWidget* settings = window->findChild<QWidget*>("SPECIAL.SETTINGS.row");
  ASSERT_NE(settings, nullptr);
  for (int i = 0; i < 40 && window->focusWidget() != settings; ++i) QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(window->focusWidget(), settings);
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  const QImage drawn = settings->grab().toImage();
  int dots = 0;  // the dotted frame along the bottom
  for (int x = 0; x < drawn.width(); ++x) dots += (drawn.pixel(x, drawn.height() - 3) & 0xFFFFFF) == 0x215DC6u;
  EXPECT_GT(dots, drawn.width() / 4);
  QTest::keyClick(settings, Qt::Key_Return);
  EXPECT_TRUE(forms::DefaultInstanceExists<lumivane::frmSettings>() &&
              forms::Default<lumivane::frmSettings>()->Visible());
}

// Each command bar style keeps a visible frame around the control that has
// the focus: black dots over a white line, whatever the colours around.
TEST_F(PreviewOnScreen, TheFocusedControlHasAFrameInEveryCommandBarStyle) {
  for (long style = 0; style < 4; ++style) {
    SCOPED_TRACE(style);
    lumivane::g_objSettings->ToolbarStyle(style);
    pq::FormWindow* window = OpenOnScreen();
    ASSERT_NE(window, nullptr);
    QWidget* combo = window->findChild<QWidget*>("cboImageViewers");
    ASSERT_NE(combo, nullptr);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    combo->setFocus();
    const QImage drawn = window->grab().toImage();
    const QRect around = QRect(combo->mapTo(window, QPoint(0, 0)), combo->size()).adjusted(-2, -2, 1, 1);
    std::set<QRgb> inks;
    for (int x = around.left(); x <= around.right(); ++x) inks.insert(drawn.pixel(x, around.top()) & 0xFFFFFF);
    EXPECT_TRUE(inks.count(0x000000) && inks.count(0xFFFFFF));
    forms::Unload(*preview);
  }
}

TEST_F(PreviewOnScreen, SnapshotShowsTheWindow) {
  pq::FormWindow* window = OpenOnScreen();
  ASSERT_NE(window, nullptr);
  const std::string file = tmp / "preview.png";
  ASSERT_EQ(pq::SaveSnapshot(*window, file), "");
  const QImage picture(QString::fromStdString(file));
  EXPECT_EQ(picture.size(), window->size());
  std::set<QRgb> colours;
  for (int y = 0; y < picture.height(); y += 7)
    for (int x = 0; x < picture.width(); x += 7) colours.insert(picture.pixel(x, y));
  EXPECT_GT(colours.size(), 20u);
  // The label the command bar hosts keeps its own colour on the dark bar.
  auto* openWith = window->findChild<QLabel*>("lblOpenWith");
  ASSERT_NE(openWith, nullptr);
  EXPECT_EQ(openWith->palette().color(QPalette::WindowText), QColor(Qt::white));
}

}  // namespace
