#pragma once
// The records of calls that the stand-ins keep as test seams ("what was
// asked, in order"). Tests read every entry. A program that runs for days
// must not grow with use, so it turns keeping off once at its start, and
// every record stays empty from then on; nothing but tests reads them.
//
//   platform::SeamRecord<std::string> calls_;
//   calls_.Add("GdiPlusImage.LoadFile " + path);   // kept only while keeping
//   if (calls_.Keeping()) calls_.Add(Describe());  // skips building the entry

#include <atomic>
#include <utility>
#include <vector>

namespace platform {

namespace detail {
inline std::atomic<bool>& KeepFlag() {
  static std::atomic<bool> keep{true};
  return keep;
}
}  // namespace detail

// On by default (tests); the program turns it off.
inline void KeepSeamRecords(bool on) { detail::KeepFlag().store(on, std::memory_order_relaxed); }
inline bool KeepingSeamRecords() { return detail::KeepFlag().load(std::memory_order_relaxed); }

template <class T>
class SeamRecord {
 public:
  static bool Keeping() { return KeepingSeamRecords(); }
  void Add(T entry) {
    if (Keeping()) entries_.push_back(std::move(entry));
  }
  const std::vector<T>& Entries() const { return entries_; }
  void Clear() { entries_.clear(); }

 private:
  std::vector<T> entries_;
};

}  // namespace platform
