#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace mh {

// A whole file mapped read-only into memory, for random reads that cost no system call. Pages are
// read in by the system as they are touched and count as resident only then. The file must not
// be cut short while mapped; the program's own writers always replace files by renaming a new one
// over them, which leaves the mapped contents as they were.
class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Maps the file at path; false (nothing mapped) when it cannot be opened or mapped, or is empty.
  [[nodiscard]] bool open(const std::string& path);
  void close();
  // Reads the whole file in and maps it now, ahead of a pass over all of it (a page at a time,
  // each on its own fault, costs far more).
  void prefetch() const;
  // Tells the system that the file will be read from start to end, once: pages not yet cached are
  // then read in large pieces ahead of the reading, not a page a fault.
  void readInOrder() const;
  // Lets the mapped pages go: they stay in the system's cache and map again when touched, but
  // a pass over the whole file no longer counts as this process's memory.
  void evict() const;
  // The same for the bytes [from, to) of the file: prefetch reads in every page they touch, evict
  // lets go of the pages that lie wholly within them.
  void prefetch(size_t from, size_t to) const;
  void evict(size_t from, size_t to) const;
  bool isOpen() const { return data_ != nullptr; }
  std::span<const std::uint8_t> bytes() const { return {data_, size_}; }

 private:
  const std::uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace mh
