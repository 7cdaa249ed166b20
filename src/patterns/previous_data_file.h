#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "patterns/data_file_stamp.h"
#include "patterns/pattern_index_file.h"
#include "patterns/pattern_key_file.h"
#include "patterns/pattern_index_record.h"
#include "platform/binary_file.h"

namespace mh {

// The data file ("wpbin") and index of a library's last finish, read once from start to end
// through a window, to copy the entries a later finish did not change. It opens only when the
// data file has the size that finish stamped and the index holds the expected entries. Its bytes
// are checked against the stamp as they are read, so the check costs no read of its own: the
// entries handed out may be trusted only once checked() has said so, and a writer that took any
// must be ready to write its file again without them. Neither file is ever held or mapped whole,
// so it adds no more than two windows to the build's memory.
class PreviousDataFile {
 public:
  static constexpr size_t kWindow = size_t{1} << 20;

  // window: the bytes read at a time (lowered only to try entries across window edges).
  explicit PreviousDataFile(size_t window = kWindow) : window_(window < 1 ? 1 : window) {}

  [[nodiscard]] bool open(const std::string& dataPath, const std::string& indexPath, const DataFileStamp& stamp,
                          int expectedEntries);
  // Also hands out the entries' key marks from the key file written with the pair, when its
  // header names the stamped data file and its size fits; a writer then need not hash every key
  // again. The marks are trusted only once checked() has said so, which then also means that
  // the fold of the whole index is the one the key file names and that a spread of the marks
  // handed out are those of their keys. Call after open, before the first entry.
  void openKeys(const std::string& keysPath);
  // The bytes of entry number and its index record (numbers ascending from call to call), or
  // empty when they cannot be told or read, or are not one whole entry of that record's stone
  // counts and side. They stay valid until the next call. With a key file open and mark given,
  // *mark is set to the entry's mark and *known to true when the key file holds it.
  std::span<const std::uint8_t> entry(int number, PatternIndexRecord& record, std::uint16_t* mark = nullptr,
                                      bool* known = nullptr);
  // Reads whatever is left of the data file and tells whether all of its bytes agree with the
  // stamp it was opened with (and, with a key file, whether it agrees with the index and its
  // keys); false too when a read failed. The answer is kept.
  [[nodiscard]] bool checked();

 private:
  // Moves the index to entry number: its record in current_, the next one's in next_.
  bool advanceTo(int number);
  // Reads the next record into next_, folding it for the key file; false past the last.
  bool readNext(int number);
  // The key file's mark of entry number, read through a window of marks; false when unread.
  bool markOf(int number, std::uint16_t& mark);
  // Reads on until the window holds [begin, end), folding every byte read into the check and
  // keeping none before begin; false when a read fails.
  bool reach(std::uint64_t begin, std::uint64_t end);

  size_t window_;
  BinaryFile file_;
  std::uint64_t size_ = 0;
  DataFileStamp stamp_;
  DataCheck check_;
  std::uint64_t readTo_ = 0;     // every byte before it has been read and folded
  std::uint64_t heldFrom_ = 0;   // where held_ starts; it runs to readTo_
  std::vector<std::uint8_t> held_;
  bool failed_ = false;
  int verdict_ = -1;  // checked()'s answer once given
  PatternIndexFileReader index_;
  int at_ = -1;  // the entry whose record is current_
  PatternIndexRecord current_;
  PatternIndexRecord next_;
  bool hasNext_ = false;
  // The key file, when its header fits: marks_ holds the marks of entries from marksFrom_ on.
  BinaryFile keys_;
  PatternKeyFileHeader keysHead_;
  bool keysOpen_ = false;
  bool marksAgree_ = true;  // every sampled mark was its key's
  int marksGiven_ = 0;
  int marksFrom_ = 0;
  std::vector<std::uint8_t> marks_;
  PatternIndexFold fold_;
  int folded_ = 0;  // index records folded so far
};

}  // namespace mh
