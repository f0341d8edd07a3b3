#pragma once
// The one picture loader behind every view that shows pictures: thumbnails,
// the large picture of a filmstrip, the slideshow, picture boxes and the
// pictures decoded ahead. It has worker threads of its own, so its work
// never waits behind anyone else's, and two queues: a picture for the
// screen goes before every thumbnail still waiting.
//
// Whoever asks is an owner (PictureOwner) known to the loader by a token.
// Workers never touch an owner: they hand results to the loader, which lives
// as long as the program, and the loader matches them to their owner on the
// UI thread. An owner that cancels (a listing replaced) or goes (a window
// closed) gets nothing more, and what it still had queued is not decoded.

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace platform::qt {

enum class PicturePriority { Screen, Thumbnail };

class PictureLoader : public QObject {
 public:
  using Deliver = std::function<void(const QImage&)>;

  static PictureLoader& Instance();
  // The loader, unless it was never started or has stopped with the
  // application.
  static PictureLoader* Running();
  ~PictureLoader() override;

  // Owners, on the UI thread. Dropping one cancels it for good.
  std::uint64_t Register();
  void Unregister(std::uint64_t owner);
  // Decodes `path` to fit in `box` and hands it to `deliver` on the UI
  // thread, unless `owner` cancels or goes first. A `waitFor` picture that
  // is being decoded ahead is taken, when it fits, instead of decoding again.
  void Ask(std::uint64_t owner, const QString& path, QSize box, PicturePriority priority, Deliver deliver,
           std::shared_future<QImage> waitFor = {});
  // Drops what `owner` asked so far: queued decodes are skipped, answers on
  // their way are not delivered. What it asks afterwards is served.
  void Cancel(std::uint64_t owner);
  // Queues a decode for the screen whose picture is kept, the last few of
  // them, for whoever asks (KeptAhead) soon.
  void Ahead(const QString& path, QSize box);
  std::shared_future<QImage> KeptAhead(const QString& path, QSize box) const;

  // Waits until nothing is queued or being decoded (while paused: until
  // nothing is being decoded), then delivers what was done.
  void WaitForAll();
  int Threads() const { return static_cast<int>(workers_.size()); }

  // Test hooks: while paused, workers take nothing new but the number of
  // jobs released; the number of decodes run.
  void Pause(bool paused);
  void Release(int jobs);
  int DecodesRun() const { return decodes_.load(); }

 private:
  PictureLoader();
  struct Job {
    std::uint64_t owner = 0;  // 0: decoded ahead, for nobody yet
    std::uint64_t id = 0;
    QString path;
    QSize box;
    std::shared_ptr<std::atomic<bool>> cancelled;
    std::shared_future<QImage> waitFor;
    std::shared_ptr<std::promise<QImage>> ahead;
  };
  struct Done {
    std::uint64_t owner, id;
    QImage image;
  };
  struct Owner {
    std::shared_ptr<std::atomic<bool>> cancelled = std::make_shared<std::atomic<bool>>(false);
    std::unordered_map<std::uint64_t, Deliver> waiting;
  };

  bool Taking() const { return !paused_ || released_ > 0; }
  void Work();
  void Push(Job job, PicturePriority priority);
  void DeliverDone();

  struct Kept {
    QString path;
    QSize box;
    std::shared_future<QImage> image;
  };

  // The UI thread's alone.
  std::unordered_map<std::uint64_t, Owner> owners_;
  std::deque<Kept> kept_;
  std::uint64_t nextOwner_ = 0;
  std::uint64_t nextJob_ = 0;

  // Shared with the workers, under lock_.
  std::mutex lock_;
  std::condition_variable work_;
  std::condition_variable idle_;
  std::deque<Job> queues_[2];
  int running_ = 0;
  bool paused_ = false;
  int released_ = 0;
  bool stopping_ = false;
  std::vector<Done> done_;

  std::atomic<int> decodes_{0};
  std::vector<std::thread> workers_;
};

// One owner of pictures: asks and cancels through the loader, and cancels
// when it goes.
class PictureOwner {
 public:
  PictureOwner() : token_(PictureLoader::Instance().Register()) {}
  ~PictureOwner() {
    if (PictureLoader* loader = PictureLoader::Running()) loader->Unregister(token_);
  }
  PictureOwner(const PictureOwner&) = delete;
  PictureOwner& operator=(const PictureOwner&) = delete;

  void Ask(const QString& path, QSize box, PicturePriority priority, PictureLoader::Deliver deliver,
           std::shared_future<QImage> waitFor = {}) {
    PictureLoader::Instance().Ask(token_, path, box, priority, std::move(deliver), std::move(waitFor));
  }
  void Cancel() { PictureLoader::Instance().Cancel(token_); }

 private:
  std::uint64_t token_;
};

// Starts decoding `path` to fit in `box`, for a request that will come soon.
// The last few pictures decoded this way are kept.
void DecodeAhead(const QString& path, QSize box);

// One picture shown by a widget: Request replaces what was asked before
// (and cancels it), and `deliver` gets only the newest answer, on the UI
// thread, while `owner` and this request live. A picture decoded ahead is
// delivered before Request returns; Request tells whether it was. An empty
// path asks for nothing.
class PictureRequest {
 public:
  explicit PictureRequest(QObject* owner);
  ~PictureRequest();
  PictureRequest(const PictureRequest&) = delete;
  PictureRequest& operator=(const PictureRequest&) = delete;

  bool Request(const QString& path, QSize box, std::function<void(const QImage&)> deliver);
  // Waits for the pictures in flight (tests, snapshots).
  static void WaitForAll();

 private:
  PictureOwner owner_;
  QMetaObject::Connection gone_;
};

}  // namespace platform::qt
