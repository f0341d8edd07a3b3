#include "host/mail/read_ahead.h"

#include <sys/stat.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>

#include "host/mail/decode.h"

namespace host::mail::detail {

namespace {

namespace fs = std::filesystem;
// Files are keyed by their path's text: a path compares component by
// component, too slowly for lookups made at every part.
using Name = std::string;

// A parse holds its whole file in memory; larger files are left to the
// thread that wants them, which holds one at a time.
constexpr std::uint64_t kMaxFile = std::uint64_t{32} << 20;
// Bytes of files being parsed ahead at once, over all threads.
constexpr std::uint64_t kMaxParsing = std::uint64_t{128} << 20;
// Decoded bytes waiting to be taken; with the parses above and the message
// in hand, the most memory a save costs.
constexpr std::uint64_t kMaxDecoded = std::uint64_t{128} << 20;
// How many files past the one in hand are decoded ahead.
constexpr std::size_t kFilesAhead = 16;
// Parses nobody has taken yet are dropped past this many, oldest first.
constexpr std::size_t kMaxKept = 1024;
// Files whose place in the order is remembered, before it starts afresh.
constexpr std::size_t kMaxOrder = std::size_t{1} << 17;

std::uint64_t DecodedSize(const ContentRange& range) {
  return range.base64 ? Base64Decoder::MaxOutput(range.length) : range.length;
}

// The part's content from the file, when the file is still the one
// `stamp` describes; null otherwise or when it cannot be read.
std::shared_ptr<const std::string> Decode(const fs::path& file, const FileStamp& stamp, const ContentRange& range) {
  std::string encoded;
  if (ReadRange(file, stamp, range, encoded) != 0) return nullptr;
  return std::make_shared<const std::string>(range.base64 ? Base64Decoder::Whole(encoded) : std::move(encoded));
}

class Pool {
 public:
  ~Pool() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    work_.notify_all();
    for (auto& worker : workers_) worker.join();
  }

  void Queue(const fs::path& path) {
    const Name& file = path.native();
    std::lock_guard lock(mutex_);
    if (parses_.count(file) != 0) return;
    parses_[file];
    to_parse_.push_back(file);
    // The newest walk gives the order, whatever an older one gave.
    place_.erase(file);
    Place(file);
    StartWorkers();
    work_.notify_one();
  }

  std::optional<StructureFacts> TakeParse(const fs::path& path, const FileStamp& stamp) {
    const Name& file = path.native();
    std::unique_lock lock(mutex_);
    auto it = parses_.find(file);
    if (it == parses_.end()) return std::nullopt;
    // Not started: the caller parses it now rather than wait for a turn.
    if (it->second.state == State::Queued) {
      parses_.erase(it);
      return std::nullopt;
    }
    done_.wait(lock, [&] {
      it = parses_.find(file);
      return it == parses_.end() || it->second.state != State::Working;
    });
    if (it == parses_.end()) return std::nullopt;
    std::optional<StructureFacts> facts;
    if (it->second.state == State::Done && it->second.stamp == stamp) facts = std::move(it->second.facts);
    const auto kept = std::find(kept_.begin(), kept_.end(), file);
    if (kept != kept_.end()) kept_.erase(kept);
    parses_.erase(it);
    return facts;
  }

  void Note(const fs::path& path, const FileStamp& stamp, const StructureFacts& facts) {
    std::lock_guard lock(mutex_);
    Remember(path.native(), stamp, facts);
  }

  std::shared_ptr<const std::string> TakeDecoded(const fs::path& path, const FileStamp& stamp,
                                                 const ContentRange& range) {
    const Name& file = path.native();
    std::unique_lock lock(mutex_);
    const std::size_t woken = MoveTo(file);
    const Key key{file, range.offset};
    auto it = decoded_.find(key);
    std::shared_ptr<const std::string> bytes;
    if (it != decoded_.end() && it->second.state == State::Queued) {
      // Not started: decoding it here is sooner than waiting for a turn.
      Taken(it->second);
    } else if (it != decoded_.end()) {
      done_.wait(lock, [&] {
        it = decoded_.find(key);
        return it == decoded_.end() || it->second.state != State::Working;
      });
      if (it != decoded_.end()) {
        if (it->second.state == State::Done && it->second.stamp == stamp && it->second.range.length == range.length &&
            it->second.range.base64 == range.base64)
          bytes = std::move(it->second.bytes);
        Taken(it->second);
      }
    }
    lock.unlock();
    for (std::size_t i = 0; i < woken; ++i) work_.notify_one();
    return bytes;
  }

 private:
  enum class State { Queued, Working, Done, Failed, Taken };
  struct Parse {
    State state = State::Queued;
    FileStamp stamp;
    StructureFacts facts;
  };
  struct Known {
    FileStamp stamp;
    std::vector<ContentRange> ranges;
  };
  using Key = std::pair<Name, std::uint64_t>;  // a file and the offset of a part's content
  struct Decoded {
    State state = State::Queued;
    FileStamp stamp;
    ContentRange range;
    std::shared_ptr<const std::string> bytes;
    bool counted = true;    // its size is in decoded_bytes_
    bool unwanted = false;  // dropped while being decoded: goes when done
  };

  // The caller holds mutex_ from here on.

  void StartWorkers() {
    if (!workers_.empty()) return;
    const unsigned cores = std::max(2u, std::thread::hardware_concurrency());
    // One core stays with the thread that writes.
    for (unsigned i = 0; i + 1 < std::min(cores, 8u); ++i) workers_.emplace_back([this] { Work(); });
  }

  void Remember(const Name& file, const FileStamp& stamp, const StructureFacts& facts) {
    if (known_.size() >= kMaxOrder) known_.clear();
    Known& known = known_[file];
    known.stamp = stamp;
    known.ranges.clear();
    for (const auto& part : facts.attachments)
      if (part.range) known.ranges.push_back(*part.range);
  }

  // Gives `file` the next place in the order, unless it has one.
  void Place(const Name& file) {
    if (place_.count(file) != 0) return;
    if (order_.size() >= kMaxOrder) {
      order_.clear();
      place_.clear();
      at_last_.reset();
      scheduled_to_ = 0;
    }
    place_[file] = order_.size();
    order_.push_back(file);
  }

  // The writer is at `file`: decoding goes on from there, and what lies
  // behind it or out of reach goes. Other files are decoded ahead only while
  // the writer walks the order (the file after the last one, or near it):
  // one message opened on its own says nothing of the ones placed after it.
  // Answers the threads to wake.
  std::size_t MoveTo(const Name& file) {
    Place(file);
    const std::size_t here = place_[file];
    if (!at_last_ || here != *at_last_) walking_ = at_last_ && here > *at_last_ && here - *at_last_ <= kFilesAhead;
    at_last_ = here;
    std::size_t added = 0;
    // Topped up in batches: waking a thread for every small part would
    // cost more than decoding it here.
    if (!walking_ || here >= scheduled_to_ || scheduled_to_ - here <= kFilesAhead / 2) {
      std::size_t files = 0;
      std::size_t at = here;
      for (; at < order_.size() && files <= (walking_ ? kFilesAhead : 0); ++at) {
        const Name& next = order_[at];
        if (place_[next] != at) continue;  // placed again later
        ++files;
        if (!Schedule(next, added)) break;
      }
      scheduled_to_ = at;
    }
    for (auto it = decoded_.begin(); it != decoded_.end();) {
      auto current = it++;
      const auto placed = place_.find(current->first.first);
      if (placed == place_.end() || placed->second < here || placed->second >= scheduled_to_) Drop(current);
    }
    if (added > 0) StartWorkers();
    return std::min<std::size_t>(added, workers_.size());
  }

  // Queues the parts of `file` not queued yet; false when there was no room
  // for them all (the rest waits, in order).
  bool Schedule(const Name& file, std::size_t& added) {
    const auto known = known_.find(file);
    if (known == known_.end()) return true;
    for (const auto& range : known->second.ranges) {
      const Key key{file, range.offset};
      if (decoded_.count(key) != 0) continue;
      const std::uint64_t size = DecodedSize(range);
      if (decoded_bytes_ + size > kMaxDecoded) return false;
      Decoded& entry = decoded_[key];
      entry.stamp = known->second.stamp;
      entry.range = range;
      decoded_bytes_ += size;
      to_decode_.push_back(key);
      ++added;
    }
    return true;
  }

  // Taken, or decoded here: its room goes to the parts after it, and it is
  // not decoded again while its file is in hand.
  void Taken(Decoded& entry) {
    entry.state = State::Taken;
    entry.bytes.reset();
    Uncount(entry);
  }

  void Uncount(Decoded& entry) {
    if (!entry.counted) return;
    entry.counted = false;
    decoded_bytes_ -= DecodedSize(entry.range);
  }

  void Drop(std::map<Key, Decoded>::iterator it) {
    if (it->second.state == State::Working) {
      it->second.unwanted = true;
      return;
    }
    Uncount(it->second);
    decoded_.erase(it);
  }

  void Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
      work_.wait(lock, [&] { return stopping_ || !to_decode_.empty() || CanParse(); });
      if (stopping_) return;
      // The writer is waiting for decoded parts sooner than for parses.
      if (!to_decode_.empty()) {
        DecodeNext(lock);
      } else {
        ParseNext(lock);
      }
    }
  }

  bool CanParse() const {
    if (to_parse_.empty()) return false;
    return parsing_bytes_ == 0 || parsing_bytes_ + kMaxFile <= kMaxParsing;
  }

  void DecodeNext(std::unique_lock<std::mutex>& lock) {
    const Key key = std::move(to_decode_.front());
    to_decode_.pop_front();
    auto it = decoded_.find(key);
    if (it == decoded_.end() || it->second.state != State::Queued) return;  // dropped or taken meanwhile
    it->second.state = State::Working;
    const FileStamp stamp = it->second.stamp;
    const ContentRange range = it->second.range;
    lock.unlock();
    std::shared_ptr<const std::string> bytes = Decode(fs::path(key.first), stamp, range);
    lock.lock();
    it = decoded_.find(key);  // a part being decoded is only marked when dropped
    if (it == decoded_.end()) return;
    it->second.state = bytes ? State::Done : State::Failed;
    it->second.bytes = std::move(bytes);
    if (!it->second.bytes) Uncount(it->second);
    if (it->second.unwanted) Drop(it);
    done_.notify_all();
  }

  void ParseNext(std::unique_lock<std::mutex>& lock) {
    const Name file = std::move(to_parse_.front());
    to_parse_.pop_front();
    auto it = parses_.find(file);
    if (it == parses_.end() || it->second.state != State::Queued) return;  // taken meanwhile
    it->second.state = State::Working;
    struct stat st {};
    const std::uint64_t size =
        ::stat(file.c_str(), &st) == 0 && st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    parsing_bytes_ += size;
    lock.unlock();
    Parse result;
    try {
      result.facts = ReadStructureApart(fs::path(file), kMaxFile, result.stamp);
      result.state = State::Done;
    } catch (...) {
      result.state = State::Failed;  // the taker parses it again and says what is wrong
    }
    lock.lock();
    parsing_bytes_ -= size;
    if (result.state == State::Done) Remember(file, result.stamp, result.facts);
    it = parses_.find(file);  // a parse under way is waited for, never taken
    if (it == parses_.end()) return;
    it->second.stamp = result.stamp;
    it->second.facts = std::move(result.facts);
    it->second.state = result.state;
    kept_.push_back(file);
    while (kept_.size() > kMaxKept) {
      parses_.erase(kept_.front());
      kept_.pop_front();
    }
    done_.notify_all();
    work_.notify_one();  // room for the next parse
  }

  std::mutex mutex_;
  std::condition_variable work_;  // something to do, or stopping
  std::condition_variable done_;  // a parse or a decoding ended
  bool stopping_ = false;
  std::vector<std::thread> workers_;

  std::unordered_map<Name, Parse> parses_;
  std::deque<Name> to_parse_;
  std::deque<Name> kept_;            // parsed and not taken, oldest first
  std::uint64_t parsing_bytes_ = 0;  // sizes of the files being parsed

  std::vector<Name> order_;  // files as they were queued or asked for
  std::unordered_map<Name, std::size_t> place_;
  std::unordered_map<Name, Known> known_;
  std::map<Key, Decoded> decoded_;
  std::deque<Key> to_decode_;
  std::uint64_t decoded_bytes_ = 0;
  std::optional<std::size_t> at_last_;  // the place of the file last asked for
  bool walking_ = false;
  std::size_t scheduled_to_ = 0;  // the place in order_ up to which parts are queued
};

Pool& ThePool() {
  static Pool pool;
  return pool;
}

}  // namespace

void ReadAhead(const fs::path& file) { ThePool().Queue(file); }

std::optional<StructureFacts> TakeReadAhead(const fs::path& file, const FileStamp& stamp) {
  return ThePool().TakeParse(file, stamp);
}

void NoteParts(const fs::path& file, const FileStamp& stamp, const StructureFacts& facts) {
  ThePool().Note(file, stamp, facts);
}

std::shared_ptr<const std::string> TakeDecoded(const fs::path& file, const FileStamp& stamp,
                                               const ContentRange& range) {
  return ThePool().TakeDecoded(file, stamp, range);
}

}  // namespace host::mail::detail
