// The picture loader: what a closed window had queued is neither decoded nor
// delivered, and a picture for the screen goes before the thumbnails. The
// workers are held and let go job by job, so no test depends on timing.
#include "platform/qt/picture_loader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace pq = platform::qt;

class PictureLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    loader.WaitForAll();
    loader.Pause(true);
  }
  void TearDown() override {
    loader.Pause(false);
    loader.WaitForAll();
  }

  // A small picture of its own for each name.
  QString Picture(const std::string& name) {
    const QString path = folder_.filePath(QString::fromStdString(name) + ".png");
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    EXPECT_TRUE(image.save(path));
    return path;
  }
  // Asks `owner` for 30 thumbnails, noting each that arrives in `arrived`.
  void AskThumbnails(pq::PictureOwner& owner, std::vector<std::string>& arrived) {
    for (int i = 0; i < 30; ++i) {
      const std::string name = "thumbnail" + std::to_string(i);
      owner.Ask(Picture(name), QSize(16, 16), pq::PicturePriority::Thumbnail,
                [&arrived, name](const QImage& image) { arrived.push_back(image.isNull() ? "null" : name); });
    }
  }
  // Lets the workers go until nothing is queued, and delivers.
  void RunAll() {
    loader.Pause(false);
    loader.WaitForAll();
    QCoreApplication::sendPostedEvents();
  }

  pq::PictureLoader& loader = pq::PictureLoader::Instance();

 private:
  QTemporaryDir folder_;
};

TEST_F(PictureLoaderTest, AClosedWindowGetsNothingAndItsQueuedDecodesAreDropped) {
  std::vector<std::string> closed, open;
  auto window = std::make_unique<QWidget>();
  // The view outlives its widget, as a form's control views may.
  pq::PictureRequest large(window.get());
  auto thumbnails = std::make_unique<pq::PictureOwner>();
  pq::PictureOwner other;
  large.Request(Picture("large"), QSize(), [&closed](const QImage&) { closed.push_back("large"); });
  AskThumbnails(*thumbnails, closed);
  other.Ask(Picture("other"), QSize(), pq::PicturePriority::Thumbnail,
            [&open](const QImage& image) { open.push_back(image.isNull() ? "null" : "other"); });

  window.reset();
  thumbnails.reset();
  const int before = loader.DecodesRun();
  RunAll();
  EXPECT_EQ(loader.DecodesRun() - before, 1);
  EXPECT_EQ(closed, std::vector<std::string>());
  EXPECT_EQ(open, std::vector<std::string>{"other"});
}

TEST_F(PictureLoaderTest, AReplacedListingIsNotDecodedAndTheNewOneArrives) {
  std::vector<std::string> arrived;
  pq::PictureOwner listing;
  AskThumbnails(listing, arrived);
  // One arrives before the listing is replaced.
  loader.Release(1);
  loader.WaitForAll();
  listing.Cancel();
  listing.Ask(Picture("new"), QSize(16, 16), pq::PicturePriority::Thumbnail,
              [&arrived](const QImage&) { arrived.push_back("new"); });
  const int before = loader.DecodesRun();
  RunAll();
  EXPECT_EQ(loader.DecodesRun() - before, 1);
  EXPECT_EQ(arrived, (std::vector<std::string>{"thumbnail0", "new"}));
}

TEST_F(PictureLoaderTest, AScreenPictureAskedAfterThirtyThumbnailsArrivesBeforeThem) {
  std::vector<std::string> arrived;
  pq::PictureOwner thumbnails;
  AskThumbnails(thumbnails, arrived);
  QWidget slide;
  pq::PictureRequest screen(&slide);
  screen.Request(Picture("screen"), QSize(200, 100),
                 [&arrived](const QImage& image) { arrived.push_back(image.isNull() ? "null" : "screen"); });

  // The first job a worker takes is the screen's.
  loader.Release(1);
  loader.WaitForAll();
  EXPECT_EQ(arrived, std::vector<std::string>{"screen"});
  RunAll();
  EXPECT_EQ(arrived.size(), 31u);
  EXPECT_EQ(std::count(arrived.begin(), arrived.end(), "screen"), 1);
}

}  // namespace
