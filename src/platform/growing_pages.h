#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace mh {

// A growing array of tens of millions of small items kept in pages of a fixed size. A vector of
// that length holds up to twice its items' size once it has grown, and while it grows it holds
// the old and the new copy at once; here growing adds one page, so the memory stays within a
// page of what the items need and no item ever moves.
template <class T, size_t kPageItems = size_t{1} << 16>
class GrowingPages {
  static_assert((kPageItems & (kPageItems - 1)) == 0, "pages are a power of two long");

 public:
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // Items that fit without a further page.
  size_t capacity() const { return pages_.size() * kPageItems; }
  void clear() {
    pages_.clear();
    pages_.shrink_to_fit();
    size_ = 0;
  }
  // Only the list of pages is sized ahead: pages come as items do.
  void reserve(size_t count) { pages_.reserve((count + kPageItems - 1) / kPageItems); }

  void push_back(const T& item) {
    if (size_ == capacity()) pages_.push_back(std::make_unique_for_overwrite<T[]>(kPageItems));
    (*this)[size_++] = item;
  }
  // Grows to n items, the new ones set to fill (or drops the items from n on).
  void resize(size_t n, const T& fill) {
    if (n < size_) size_ = n;
    while (size_ < n) push_back(fill);
  }
  T& operator[](size_t n) { return pages_[n / kPageItems][n % kPageItems]; }
  const T& operator[](size_t n) const { return pages_[n / kPageItems][n % kPageItems]; }
  T& back() { return (*this)[size_ - 1]; }
  const T& back() const { return (*this)[size_ - 1]; }
  // Bytes held, for memory accounting.
  size_t bytes() const { return capacity() * sizeof(T) + pages_.capacity() * sizeof(pages_[0]); }

 private:
  std::vector<std::unique_ptr<T[]>> pages_;
  size_t size_ = 0;
};

}  // namespace mh
