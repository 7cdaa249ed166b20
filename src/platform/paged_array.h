#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

namespace mh {

// Zeroed memory of its own, taken from the system in pages (large pages where the system gives
// them) and given back whole when released. For big arrays filled once: they cost no fill of
// their own and few page faults, and they leave no freed heap behind. Below kHeapBelow bytes
// the memory comes from the heap instead: a mapping of its own would cost a page or more and two
// system calls for what a heap block holds, and what such a block leaves behind is small.
class PagedMemory {
 public:
  static constexpr size_t kHeapBelow = size_t{64} << 10;

  PagedMemory() = default;
  ~PagedMemory() { release(); }
  PagedMemory(const PagedMemory&) = delete;
  PagedMemory& operator=(const PagedMemory&) = delete;
  PagedMemory(PagedMemory&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), bytes_(std::exchange(other.bytes_, 0)) {}
  PagedMemory& operator=(PagedMemory&& other) noexcept {
    if (this != &other) {
      release();
      data_ = std::exchange(other.data_, nullptr);
      bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
  }

  // How the memory will be touched. A table that grows is touched a slot here and there, so a
  // large page past its end would make untouched memory resident; an array written whole pays a
  // fault for every small page of its tail, so its last large page is taken whole.
  enum class Use { Sparse, FilledWhole };

  // Replaces what is held by bytes of zeroed memory; false (nothing held) when the system has
  // none to give. Zero bytes hold nothing and succeed.
  [[nodiscard]] bool allocate(size_t bytes, Use use = Use::Sparse);
  void release();
  void* data() const { return data_; }

 private:
  void* data_ = nullptr;
  size_t bytes_ = 0;  // as mapped, rounded up to whole pages; 0 for a heap block
};

// An array of count elements over PagedMemory, each starting as all zero bytes.
template <class T>
class PagedArray {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

 public:
  PagedArray() = default;
  PagedArray(PagedArray&& other) noexcept
      : memory_(std::move(other.memory_)), size_(std::exchange(other.size_, 0)) {}
  PagedArray& operator=(PagedArray&& other) noexcept {
    memory_ = std::move(other.memory_);
    size_ = std::exchange(other.size_, 0);
    return *this;
  }

  [[nodiscard]] bool allocate(size_t count) {
    size_ = 0;
    if (!memory_.allocate(count * sizeof(T))) return false;
    size_ = count;
    return true;
  }
  void release() {
    memory_.release();
    size_ = 0;
  }
  size_t size() const { return size_; }
  T* data() { return static_cast<T*>(memory_.data()); }
  const T* data() const { return static_cast<const T*>(memory_.data()); }
  T& operator[](size_t i) { return data()[i]; }
  const T& operator[](size_t i) const { return data()[i]; }

 private:
  PagedMemory memory_;
  size_t size_ = 0;
};

}  // namespace mh
