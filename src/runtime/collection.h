#pragma once
// The original runtime's Collection: ordered, counted from 1, with optional
// text keys compared without regard to case.
//   Add with a key already present    -> error 457
//   Item/Remove with a missing key    -> error 5
//   Item/Remove with a bad index      -> error 9
// The empty text is a valid key (the registry's unnamed default value uses it).

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/error.h"
#include "runtime/text.h"

namespace runtime {

template <class T>
class Collection {
 public:
  struct Entry {
    T value;
    std::optional<std::string> key;
  };

  long Count() const noexcept { return static_cast<long>(entries_.size()); }

  void Add(T item) { entries_.push_back(Entry{std::move(item), std::nullopt}); }

  void Add(T item, std::string_view key) {
    if (Find(key) != entries_.end()) Raise(err::kDuplicateKey);
    entries_.push_back(Entry{std::move(item), std::string(key)});
  }

  T& Item(long index) { return entries_[Position(index)].value; }
  const T& Item(long index) const { return entries_[Position(index)].value; }
  T& Item(std::string_view key) { return FindOrRaise(key)->value; }
  const T& Item(std::string_view key) const { return const_cast<Collection*>(this)->FindOrRaise(key)->value; }

  void Remove(long index) { entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(Position(index))); }
  void Remove(std::string_view key) { entries_.erase(FindOrRaise(key)); }

  // Not a member of the original; lets code that trapped error 5 say what it means.
  bool Contains(std::string_view key) const { return Find(key) != entries_.end(); }

  // The key an element was added with, if any (1-based index).
  const std::optional<std::string>& KeyOf(long index) const { return entries_[Position(index)].key; }

  void Clear() noexcept { entries_.clear(); }

  class iterator {
   public:
    using base = typename std::vector<Entry>::iterator;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    iterator() = default;
    explicit iterator(base it) : it_(it) {}
    T& operator*() const { return it_->value; }
    T* operator->() const { return &it_->value; }
    iterator& operator++() {
      ++it_;
      return *this;
    }
    iterator operator++(int) {
      auto c = *this;
      ++it_;
      return c;
    }
    bool operator==(const iterator& o) const { return it_ == o.it_; }

   private:
    base it_;
  };
  class const_iterator {
   public:
    using base = typename std::vector<Entry>::const_iterator;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    const_iterator() = default;
    explicit const_iterator(base it) : it_(it) {}
    const T& operator*() const { return it_->value; }
    const T* operator->() const { return &it_->value; }
    const_iterator& operator++() {
      ++it_;
      return *this;
    }
    const_iterator operator++(int) {
      auto c = *this;
      ++it_;
      return c;
    }
    bool operator==(const const_iterator& o) const { return it_ == o.it_; }

   private:
    base it_;
  };

  iterator begin() { return iterator(entries_.begin()); }
  iterator end() { return iterator(entries_.end()); }
  const_iterator begin() const { return const_iterator(entries_.begin()); }
  const_iterator end() const { return const_iterator(entries_.end()); }

 private:
  std::size_t Position(long index) const {
    if (index < 1 || index > Count()) Raise(err::kSubscriptOutOfRange);
    return static_cast<std::size_t>(index - 1);
  }
  typename std::vector<Entry>::iterator Find(std::string_view key) {
    return std::find_if(entries_.begin(), entries_.end(),
                        [&](const Entry& e) { return e.key && TextEqual(*e.key, key); });
  }
  typename std::vector<Entry>::const_iterator Find(std::string_view key) const {
    return std::find_if(entries_.begin(), entries_.end(),
                        [&](const Entry& e) { return e.key && TextEqual(*e.key, key); });
  }
  typename std::vector<Entry>::iterator FindOrRaise(std::string_view key) {
    auto it = Find(key);
    if (it == entries_.end()) Raise(err::kInvalidProcedureCall);
    return it;
  }

  std::vector<Entry> entries_;
};

}  // namespace runtime
