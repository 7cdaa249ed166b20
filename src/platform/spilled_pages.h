#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/binary_file.h"

namespace mh {

// An append-only array of tens of millions of small items that need not stay in memory: once
// spillTo is called, every page but the one being appended to goes to a file without a name (the
// system removes it when it is closed, also when the program is killed), and reads take them
// back through a window, so reads in order cost one file read a window. A page that cannot be
// written stays in memory; a read that cannot be served is reported, never guessed. Items are
// stored as they lie in memory, so the scratch file is only ever read by this process.
//
// Reads share the window: not safe from two threads at once while pages are spilled.
template <class T, size_t kPageItems = size_t{1} << 16, size_t kWindowItems = kPageItems>
class SpilledPages {
  static_assert(std::is_trivially_copyable_v<T>, "items go to the file as their bytes");
  static_assert(kWindowItems > 0 && kPageItems % kWindowItems == 0, "windows tile a page");

 public:
  static constexpr size_t pageItems() { return kPageItems; }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  size_t capacity() const { return pages_.size() * kPageItems; }
  // Only the list of pages is sized ahead: pages come as items do.
  void reserve(size_t count) { pages_.reserve((count + kPageItems - 1) / kPageItems); }
  // Drops every item; spilling, once started, goes on for the items appended after.
  void clear() {
    pages_.clear();
    pages_.shrink_to_fit();
    size_ = 0;
    spare_.reset();
    window_.reset();
    windowValid_ = false;
  }

  void push_back(const T& item) {
    if (size_ == capacity()) {
      // The page before the new one is full and will not change again.
      if (spill_.isOpen() && !pages_.empty()) spillPage(pages_.size() - 1);
      pages_.push_back(spare_ ? std::move(spare_) : std::make_unique_for_overwrite<T[]>(kPageItems));
    }
    const size_t n = size_++;
    pages_[n / kPageItems][n % kPageItems] = item;
  }

  // Item n into out; false when n is not below size() or its spilled page cannot be read back.
  [[nodiscard]] bool at(size_t n, T& out) const {
    if (n >= size_) return false;
    if (const T* page = pages_[n / kPageItems].get()) {
      out = page[n % kPageItems];
      return true;
    }
    const size_t start = n / kWindowItems * kWindowItems;
    if (!windowValid_ || windowStart_ != start) {
      if (!window_) window_ = std::make_unique_for_overwrite<T[]>(kWindowItems);
      windowValid_ = false;
      // A spilled page is full, so every window within it is too.
      if (!spill_.readAt(start * sizeof(T), window_.get(), kWindowItems * sizeof(T))) return false;
      windowStart_ = start;
      windowValid_ = true;
    }
    out = window_[n - start];
    return true;
  }
  // The same for a read out of order: a spilled item outside the window is read alone, so the
  // window stays where reads in order left it.
  [[nodiscard]] bool one(size_t n, T& out) const {
    if (n >= size_) return false;
    if (pages_[n / kPageItems] || (windowValid_ && windowStart_ == n / kWindowItems * kWindowItems)) return at(n, out);
    return spill_.readAt(n * sizeof(T), &out, sizeof out);
  }
  // Page p's items (the last page's are valid up to size()): where they lie in memory, or read
  // into buffer (made a page long at need) when spilled; null when they cannot be read back.
  // The window stays as it was, so a caller may check items out of order while it goes through
  // the pages.
  [[nodiscard]] const T* page(size_t p, std::unique_ptr<T[]>& buffer) const {
    if (p >= pages_.size()) return nullptr;
    if (const T* held = pages_[p].get()) return held;
    if (!buffer) buffer = std::make_unique_for_overwrite<T[]>(kPageItems);
    return spill_.readAt(p * kPageItems * sizeof(T), buffer.get(), kPageItems * sizeof(T)) ? buffer.get() : nullptr;
  }

  // From now on, full pages go to a file without a name in directory (those already full go at
  // once). False, nothing changed, when no such file can be made there.
  [[nodiscard]] bool spillTo(const std::string& directory) {
    if (spill_.isOpen()) return true;
    if (!spill_.openScratch(directory)) return false;
    for (size_t p = 0; p < pages_.size() && (p + 1) * kPageItems <= size_; ++p) spillPage(p);
    spare_.reset();
    return true;
  }
  // Pages held in memory, and the bytes they and the list of pages take.
  size_t pagesHeld() const {
    return static_cast<size_t>(std::count_if(pages_.begin(), pages_.end(), [](const auto& p) { return p != nullptr; }));
  }
  size_t bytes() const { return pagesHeld() * kPageItems * sizeof(T) + pages_.capacity() * sizeof(pages_[0]); }

 private:
  // Writes full page p to the scratch file and frees it; the page stays when the write fails.
  void spillPage(size_t p) {
    if (!pages_[p]) return;
    if (!spill_.writeAt(p * kPageItems * sizeof(T), pages_[p].get(), kPageItems * sizeof(T))) return;
    spare_ = std::move(pages_[p]);
  }

  std::vector<std::unique_ptr<T[]>> pages_;  // null: in the scratch file
  size_t size_ = 0;
  std::unique_ptr<T[]> spare_;  // a spilled page's memory, for the next page
  BinaryFile spill_;
  mutable std::unique_ptr<T[]> window_;  // items read back from the scratch file
  mutable size_t windowStart_ = 0;
  mutable bool windowValid_ = false;
};

}  // namespace mh
