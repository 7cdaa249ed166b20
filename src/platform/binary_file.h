#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace mh {

// A file opened for positioned binary reads and writes. Every transfer is all-or-nothing from the
// caller's view: a short read or write is reported as failure. Movable, not copyable; closes
// itself on destruction.
class BinaryFile {
 public:
  enum class Mode {
    ReadOnly,   // must exist
    ReadWrite,  // must exist; not truncated
    Create,     // read and write; created or truncated to zero length
  };

  BinaryFile() = default;
  ~BinaryFile();
  BinaryFile(BinaryFile&& other) noexcept;
  BinaryFile& operator=(BinaryFile&& other) noexcept;
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  // Closes any open file first. False when the file cannot be opened in that mode.
  [[nodiscard]] bool open(const std::string& path, Mode mode);
  // Closes any open file first, then opens a new file without a name in directory, for reading
  // and writing: the system removes it once it is closed, also when the program is killed. False
  // when the directory's file system cannot make one.
  [[nodiscard]] bool openScratch(const std::string& directory);
  // False when the system reports an error on close; the file is closed either way.
  bool close();
  bool isOpen() const { return fd_ >= 0; }
  bool writable() const { return writable_; }

  // Reads exactly n bytes at offset; false on an error or when the file ends first.
  [[nodiscard]] bool readAt(std::uint64_t offset, void* data, size_t n) const;
  // Reads up to n bytes at offset; the count read (0 at the end), or nothing on an error.
  [[nodiscard]] std::optional<size_t> readSomeAt(std::uint64_t offset, void* data, size_t n) const;
  // Writes exactly n bytes at offset, extending the file as needed; false otherwise.
  [[nodiscard]] bool writeAt(std::uint64_t offset, const void* data, size_t n);
  // Cuts or extends the file to length bytes; false when it is not writable or the system refuses.
  [[nodiscard]] bool truncate(std::uint64_t length);
  // How the file is about to be read, told to the system for its reading ahead: Soon starts
  // reading length bytes at offset in now, in the background (0: to the end); Random stops
  // reading ahead of each read of the whole file. What reads return does not change.
  enum class Access { Soon, Random };
  void advise(Access access, std::uint64_t offset = 0, std::uint64_t length = 0) const;
  // The current length, or nothing when it cannot be learned.
  [[nodiscard]] std::optional<std::uint64_t> size() const;

 private:
  int fd_ = -1;
  bool writable_ = false;
};

}  // namespace mh
