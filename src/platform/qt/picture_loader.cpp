// The picture loader: two queues under one lock, workers that take the
// screen's queue first, and results that go back through a list under the
// same lock. Only a wake-up is posted to the UI thread, never a picture, so
// every hand-over between threads is one the lock orders.
#include "platform/qt/picture_loader.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "platform/qt/pictures.h"

namespace platform::qt {

namespace {

// The one shown now and the next, with room for one more.
constexpr std::size_t kAheadKept = 3;

// The shown picture may be fitted a pixel off the box it was decoded ahead
// for, as the form rounds its twips; that is the same picture.
bool CloseTo(const QImage& image, QSize box) {
  if (image.isNull()) return false;
  if (box.isEmpty()) return true;
  return std::abs(image.width() - box.width()) <= 2 && std::abs(image.height() - box.height()) <= 2;
}

std::size_t QueueOf(PicturePriority priority) { return priority == PicturePriority::Screen ? 0 : 1; }

}  // namespace

namespace {
PictureLoader* loader = nullptr;
}  // namespace

PictureLoader& PictureLoader::Instance() {
  if (loader == nullptr) {
    loader = new PictureLoader();
    // Stopped while Qt is still whole: a decode must not run on into the
    // teardown of the image readers it uses. What is still queued is dropped.
    qAddPostRoutine([] {
      delete loader;
      loader = nullptr;
    });
  }
  return *loader;
}

PictureLoader* PictureLoader::Running() { return loader; }

PictureLoader::PictureLoader() {
  // As many decodes at once as there are cores.
  const int threads = std::max(2, QThread::idealThreadCount());
  for (int i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(); });
}

PictureLoader::~PictureLoader() {
  {
    std::lock_guard guard(lock_);
    stopping_ = true;
  }
  work_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

std::uint64_t PictureLoader::Register() {
  const std::uint64_t token = ++nextOwner_;
  owners_.emplace(token, Owner());
  return token;
}

void PictureLoader::Unregister(std::uint64_t owner) {
  Cancel(owner);
  owners_.erase(owner);
}

void PictureLoader::Cancel(std::uint64_t owner) {
  auto it = owners_.find(owner);
  if (it == owners_.end()) return;
  // The old flag stays with the jobs already queued; new ones get a fresh one.
  it->second.cancelled->store(true);
  it->second.cancelled = std::make_shared<std::atomic<bool>>(false);
  it->second.waiting.clear();
}

void PictureLoader::Ask(std::uint64_t owner, const QString& path, QSize box, PicturePriority priority, Deliver deliver,
                        std::shared_future<QImage> waitFor) {
  auto it = owners_.find(owner);
  if (it == owners_.end()) return;
  const std::uint64_t id = ++nextJob_;
  it->second.waiting.emplace(id, std::move(deliver));
  Push({.owner = owner,
        .id = id,
        .path = path,
        .box = box,
        .cancelled = it->second.cancelled,
        .waitFor = std::move(waitFor),
        .ahead = nullptr},
       priority);
}

void PictureLoader::Ahead(const QString& path, QSize box) {
  for (const Kept& k : kept_)
    if (k.path == path && k.box == box) return;
  auto promise = std::make_shared<std::promise<QImage>>();
  kept_.push_back({path, box, promise->get_future().share()});
  while (kept_.size() > kAheadKept) kept_.pop_front();
  Push({.owner = 0, .id = 0, .path = path, .box = box, .cancelled = nullptr, .waitFor = {}, .ahead = promise},
       PicturePriority::Screen);
}

std::shared_future<QImage> PictureLoader::KeptAhead(const QString& path, QSize box) const {
  for (const Kept& k : kept_)
    if (k.path == path && k.box.isEmpty() == box.isEmpty()) return k.image;
  return {};
}

void PictureLoader::Push(Job job, PicturePriority priority) {
  {
    std::lock_guard guard(lock_);
    queues_[QueueOf(priority)].push_back(std::move(job));
  }
  work_.notify_one();
}

void PictureLoader::Work() {
  std::unique_lock guard(lock_);
  for (;;) {
    work_.wait(guard, [this] { return stopping_ || (Taking() && (!queues_[0].empty() || !queues_[1].empty())); });
    if (stopping_) return;
    std::deque<Job>& queue = queues_[0].empty() ? queues_[1] : queues_[0];
    Job job = std::move(queue.front());
    queue.pop_front();
    // Checked before decoding: an owner that cancelled costs no decode.
    if (job.cancelled && job.cancelled->load()) {
      idle_.notify_all();
      continue;
    }
    if (paused_) --released_;
    ++running_;
    guard.unlock();
    QImage image;
    // A picture still being decoded ahead is waited for, not decoded twice;
    // it was queued first, so a worker already has it.
    if (job.waitFor.valid() && CloseTo(job.waitFor.get(), job.box)) image = job.waitFor.get();
    if (image.isNull() && !(job.cancelled && job.cancelled->load())) {
      image = DecodePicture(job.path, job.box);
      ++decodes_;
    }
    if (job.ahead) job.ahead->set_value(image);
    guard.lock();
    --running_;
    if (job.owner != 0) {
      const bool wake = done_.empty();
      done_.push_back({job.owner, job.id, std::move(image)});
      if (wake)
        QMetaObject::invokeMethod(
            this, [this] { DeliverDone(); }, Qt::QueuedConnection);
    }
    idle_.notify_all();
  }
}

void PictureLoader::DeliverDone() {
  std::vector<Done> done;
  {
    std::lock_guard guard(lock_);
    done.swap(done_);
  }
  for (Done& d : done) {
    // The owner is looked up afresh for each: a delivery may cancel or drop
    // its own owner, or another.
    auto owner = owners_.find(d.owner);
    if (owner == owners_.end()) continue;
    auto waiting = owner->second.waiting.find(d.id);
    if (waiting == owner->second.waiting.end()) continue;
    Deliver deliver = std::move(waiting->second);
    owner->second.waiting.erase(waiting);
    deliver(d.image);
  }
}

void PictureLoader::WaitForAll() {
  {
    std::unique_lock guard(lock_);
    idle_.wait(guard, [this] { return running_ == 0 && (!Taking() || (queues_[0].empty() && queues_[1].empty())); });
  }
  DeliverDone();
}

void PictureLoader::Pause(bool paused) {
  {
    std::lock_guard guard(lock_);
    paused_ = paused;
    released_ = 0;
  }
  work_.notify_all();
  idle_.notify_all();
}

void PictureLoader::Release(int jobs) {
  {
    std::lock_guard guard(lock_);
    released_ += jobs;
  }
  work_.notify_all();
}

void DecodeAhead(const QString& path, QSize box) { PictureLoader::Instance().Ahead(path, box); }

PictureRequest::PictureRequest(QObject* owner) {
  // The widget may go before the view that holds this request.
  if (owner != nullptr) gone_ = QObject::connect(owner, &QObject::destroyed, [this] { owner_.Cancel(); });
}

PictureRequest::~PictureRequest() { QObject::disconnect(gone_); }

bool PictureRequest::Request(const QString& path, QSize box, std::function<void(const QImage&)> deliver) {
  owner_.Cancel();
  if (path.isEmpty()) return false;
  std::shared_future<QImage> ahead = PictureLoader::Instance().KeptAhead(path, box);
  if (ahead.valid() && ahead.wait_for(std::chrono::seconds(0)) == std::future_status::ready &&
      CloseTo(ahead.get(), box)) {
    deliver(ahead.get());
    return true;
  }
  owner_.Ask(path, box, PicturePriority::Screen, std::move(deliver), std::move(ahead));
  return false;
}

void PictureRequest::WaitForAll() {
  PictureLoader::Instance().WaitForAll();
  QCoreApplication::sendPostedEvents();
}

}  // namespace platform::qt
