// The slideshow on screen: a borderless window the size of the screen, keys
// and the drawn navigator's buttons step through one-colour pictures, and the
// show closes from inside a key or a press of its own navigator.
#include <QImage>
#include <QLabel>
#include <QTest>

#include <fstream>

#include "platform/gdiplus/test_files.h"
#include "platform/qt/control_views.h"
#include "platform/qt/pictures.h"
#include "platform/qt/screen_ui.h"
#include "qt/metafile_pixels.h"
#include "windows/slideshow_fixture.h"

namespace {

using namespace slideshow_test;
namespace pq = platform::qt;

class SlideshowOnScreen : public SlideshowTest {
 protected:
  void SetUp() override {
    SlideshowTest::SetUp();
    forms::SetUserInterface(std::make_shared<pq::DrawnUserInterface>(ui, views));
    pq::RegisterUpcomingPicture("frmSlideshow",
                                [](forms::Form& f) { return static_cast<frmSlideshow&>(f).UpcomingPicturePath(); });
    for (const auto& [name, colour] : {std::pair{"a.bmp", Qt::red}, {"b.bmp", Qt::green}, {"c.bmp", Qt::blue}}) {
      QImage picture(400, 300, QImage::Format_RGB32);
      picture.fill(colour);
      ASSERT_TRUE(picture.save(QString::fromStdString(folder + "/" + name)));
    }
  }
  void TearDown() override {
    SlideshowTest::TearDown();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  static QImage ShownPicture(pq::FormWindow& window) {
    return window.findChild<QWidget*>("Picture1")->findChild<QLabel*>("Image1")->pixmap().toImage();
  }
  // The colour in the middle of the picture shown now, as drawn.
  static QColor Shown(pq::FormWindow& window) {
    const QImage drawn = ShownPicture(window);
    return drawn.isNull() ? QColor() : drawn.pixelColor(drawn.width() / 2, drawn.height() / 2);
  }
  static QWidget* Strip(pq::FormWindow& window) {
    return window.findChild<QWidget*>("Navigator1")->findChild<QWidget*>("Image1");
  }

  pq::FormViews views;
};

TEST_F(SlideshowOnScreen, KeysAndTheDrawnNavigatorStepThroughThePicturesAndEscCloses) {
  auto show = Open();
  pq::FormWindow* window = views.WindowOf(*show);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->geometry(), QRect(0, 0, kScreenW, kScreenH));
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
  pq::PictureRequest::WaitForAll();
  EXPECT_EQ(Shown(*window), QColor(Qt::red));

  const struct {
    Qt::Key key;
    const char* caption;
  } keys[] = {
      {Qt::Key_End, "c.bmp (3/3)"},  {Qt::Key_Home, "a.bmp (1/3)"},  {Qt::Key_Right, "b.bmp (2/3)"},
      {Qt::Key_Left, "a.bmp (1/3)"}, {Qt::Key_Space, "b.bmp (2/3)"}, {Qt::Key_Down, "a.bmp (1/3)"},
      {Qt::Key_Up, "b.bmp (2/3)"},
  };
  for (const auto& row : keys) {
    SCOPED_TRACE(row.caption);
    QTest::keyClick(window, row.key);
    EXPECT_EQ(show->lblInfo(2).Caption(), row.caption);
  }
  pq::PictureRequest::WaitForAll();
  EXPECT_EQ(Shown(*window), QColor(Qt::green));

  // Next is drawn at pixels 80 to 106 of the strip; the next picture was
  // decoded ahead, so it shows before the click returns.
  QTest::mouseClick(Strip(*window), Qt::LeftButton, {}, QPoint(93, 11));
  EXPECT_EQ(show->lblInfo(2).Caption(), "c.bmp (3/3)");
  EXPECT_EQ(Shown(*window), QColor(Qt::blue));
  EXPECT_EQ(show->Navigator1.Object().ShownBitmap(), stepwick::PlayDown);

  // What a person sees: the picture, and the navigator's strip at the bottom right.
  const std::string file = tmp.path() + "/slideshow.png";
  ASSERT_EQ(pq::SaveSnapshot(*window, file), "");
  const QImage snapshot(QString::fromStdString(file));
  ASSERT_EQ(snapshot.size(), QSize(kScreenW, kScreenH));
  EXPECT_EQ(snapshot.pixelColor(kScreenW / 2, kScreenH / 2), QColor(Qt::blue));
  const QRect strip(window->findChild<QWidget*>("Navigator1")->geometry());
  EXPECT_EQ(strip.bottomRight(), QPoint(kScreenW - 9, kScreenH - 9));
  int lit = 0;
  for (int x = strip.left(); x <= strip.right(); ++x)
    if (snapshot.pixelColor(x, strip.center().y()) != QColor(Qt::black)) ++lit;
  EXPECT_GT(lit, strip.width() / 2);

  // After five seconds of rest the hints hide; a move over the black part
  // of the screen, away from the picture, brings them back.
  loop->Wait(5000);
  EXPECT_TRUE(HintsHidden(*show));
  QTest::mouseMove(window->findChild<QWidget*>("Picture1"), QPoint(20, kScreenH / 2));
  EXPECT_TRUE(HintsShown(*show));

  QTest::keyClick(window, Qt::Key_Escape);
  EXPECT_FALSE(show->Loaded());
  EXPECT_EQ(views.WindowOf(*show), nullptr);
}

TEST_F(SlideshowOnScreen, APictureOfOneBitPerPixelIsFittedInItsOwnColours) {
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) std::filesystem::remove(folder + "/" + name);
  QImage picture(3000, 2000, QImage::Format_Mono);
  picture.setColorTable({QColor(Qt::darkCyan).rgb(), QColor(Qt::yellow).rgb()});
  picture.fill(0);
  ASSERT_TRUE(picture.save(QString::fromStdString(folder + "/mono.bmp")));
  auto show = Open();
  pq::FormWindow* window = views.WindowOf(*show);
  ASSERT_NE(window, nullptr);
  pq::PictureRequest::WaitForAll();
  EXPECT_EQ(Shown(*window), QColor(Qt::darkCyan));
}

TEST_F(SlideshowOnScreen, MetafilesAreDrawnAtTheirSize) {
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) std::filesystem::remove(folder + "/" + name);
  for (const char* name : {"drawing.emf", "drawing.wmf"})
    tmp.Write(std::filesystem::relative(folder, tmp.path()).string() + "/" + name, metafile_test::DataFile(name));
  auto show = Open();
  pq::FormWindow* window = views.WindowOf(*show);
  ASSERT_NE(window, nullptr);
  // Smaller than the screen: shown at the size their headers give.
  for (const auto& [caption, size] :
       {std::pair{"drawing.emf (1/2)", QSize(480, 360)}, {"drawing.wmf (2/2)", QSize(240, 180)}}) {
    SCOPED_TRACE(caption);
    pq::PictureRequest::WaitForAll();
    EXPECT_EQ(Caption(*show), caption);
    const QImage shown = ShownPicture(*window);
    EXPECT_EQ(shown.size(), size);
    EXPECT_TRUE(metafile_test::ShowsTheDrawing(shown));
    QTest::keyClick(window, Qt::Key_Right);
  }
}

// A photo stored a quarter turn back (EXIF orientation 6) is fitted and
// drawn by its upright shape: 32 x 16, red top left and yellow bottom right.
TEST_F(SlideshowOnScreen, ATurnedPhotoIsShownUprightInItsOwnShape) {
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) std::filesystem::remove(folder + "/" + name);
  std::filesystem::copy_file(gdiplus_test::PicturePath("oriented-6.jpg"), folder + "/turned.jpg");
  auto show = Open();
  pq::FormWindow* window = views.WindowOf(*show);
  ASSERT_NE(window, nullptr);
  pq::PictureRequest::WaitForAll();
  auto* image = window->findChild<QWidget*>("Picture1")->findChild<QLabel*>("Image1");
  EXPECT_EQ(image->size(), QSize(32, 16));
  const QImage drawn = image->pixmap().toImage();
  ASSERT_EQ(drawn.size(), QSize(32, 16));
  EXPECT_GT(drawn.pixelColor(4, 4).red(), 200);
  EXPECT_LT(drawn.pixelColor(4, 4).green(), 60);
  EXPECT_GT(drawn.pixelColor(28, 12).green(), 200);
  EXPECT_LT(drawn.pixelColor(28, 12).blue(), 60);
}

// A picture whose header reads but whose pixels cannot be decoded shows the
// thumbnails' placeholder instead of a black screen.
TEST_F(SlideshowOnScreen, APictureThatCannotBeDecodedShowsThePlaceholder) {
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) std::filesystem::remove(folder + "/" + name);
  // The sample cut where its pixels begin: the frame header is all there.
  std::vector<std::uint8_t> b = gdiplus_test::Picture("plain.jpg");
  b.resize(gdiplus_test::Find(b, "\xFF\xDA"));
  std::ofstream(folder + "/cut.jpg", std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  auto show = Open();
  pq::FormWindow* window = views.WindowOf(*show);
  ASSERT_NE(window, nullptr);
  pq::PictureRequest::WaitForAll();
  auto* image = window->findChild<QWidget*>("Picture1")->findChild<QLabel*>("Image1");
  EXPECT_TRUE(image->isVisible());
  EXPECT_EQ(image->pixmap().toImage(), pq::PicturePlaceholder(true).toImage());
}

// The white hints keep a dark edge, so they read on a white picture.
TEST_F(SlideshowOnScreen, WhiteHintsReadOnAWhitePicture) {
  auto show = Open();
  pq::FormWindow* window = views.WindowOf(*show);
  ASSERT_NE(window, nullptr);
  auto* hint = window->findChild<QLabel*>("lblInfo(0)");
  ASSERT_NE(hint, nullptr);
  QImage onWhite(hint->size(), QImage::Format_RGB32);
  onWhite.fill(Qt::white);
  hint->render(&onWhite, QPoint(), QRegion(), QWidget::DrawChildren);
  int dark = 0, light = 0;
  for (int y = 0; y < onWhite.height(); ++y)
    for (int x = 0; x < onWhite.width(); ++x) {
      const int grey = qGray(onWhite.pixel(x, y));
      dark += grey < 80 ? 1 : 0;
      light += grey > 250 ? 1 : 0;
    }
  EXPECT_GT(dark, 40);
  EXPECT_GT(light, dark);
}

TEST_F(SlideshowOnScreen, TheDrawnNavigatorsCloseUnloadsTheShowUnderItsOwnPress) {
  auto show = Open();
  pq::FormWindow* window = views.WindowOf(*show);
  ASSERT_NE(window, nullptr);
  // The release reaches a strip whose form is gone.
  QTest::mouseClick(Strip(*window), Qt::LeftButton, {}, QPoint(120, 11));
  EXPECT_FALSE(show->Loaded());
  EXPECT_EQ(views.WindowOf(*show), nullptr);
}

}  // namespace
