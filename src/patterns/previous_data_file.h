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
#include "platform/mapped_file.h"

namespace mh {

// The data file ("wpbin") and index of a library's last finish, read once from start to end, to
// copy the entries a later finish did not change. It opens only when the data file has the size
// that finish stamped and the index holds the expected entries. The data file is mapped, so its
// entries are handed out where they lie, without a copy; its bytes are checked against the stamp
// in file order as the reading passes them, so the check costs no read of its own: the entries
// handed out may be trusted only once checked() has said so, and a writer that took any must be
// ready to write its file again without them. The mapped pages are taken in and let go a window
// at a time, so the file never counts whole as the build's memory.
class PreviousDataFile {
 public:
  static constexpr size_t kWindow = size_t{1} << 20;

  // window: the bytes mapped in and checked at a time (lowered only to try entries across window
  // edges).
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
  // counts and side. They lie where the file is mapped and stay valid until checked(). With a key
  // file open and mark given,
  // *mark is set to the entry's mark and *known to true when the key file holds it.
  std::span<const std::uint8_t> entry(int number, PatternIndexRecord& record, std::uint16_t* mark = nullptr,
                                      bool* known = nullptr);
  // Checks a run of bytes handed out by entry() (one or more entries that follow each other), and
  // any before them not checked yet, and folds the run into also as well: a writer that copies
  // entries folds them into its own check in the same pass. Runs are passed on in file order.
  void checkAlong(std::span<const std::uint8_t> run, DataCheck& also);
  // Checks whatever is left of the data file and tells whether all of its bytes agree with the
  // stamp it was opened with (and, with a key file, whether it agrees with the index and its
  // keys). The answer is kept.
  [[nodiscard]] bool checked();

 private:
  // Moves the index to entry number: its record in current_, the next one's in next_.
  bool advanceTo(int number);
  // Reads the next record into next_, folding it for the key file; false past the last.
  bool readNext(int number);
  // The key file's mark of entry number, read through a window of marks; false when unread.
  bool markOf(int number, std::uint16_t& mark);
  // Checks the bytes before end not checked yet.
  void checkTo(std::uint64_t end);
  // Maps in the bytes from `from` on, a window or up to `to`, and lets go of the pages well
  // before it.
  void mapAhead(std::uint64_t from, std::uint64_t to);

  size_t window_;
  MappedFile map_;
  std::uint64_t size_ = 0;
  DataFileStamp stamp_;
  DataCheck check_;
  std::uint64_t checkedTo_ = 0;  // every byte before it has been folded into check_
  std::uint64_t mappedTo_ = 0;   // the bytes before it have been mapped in
  std::uint64_t letGoTo_ = 0;    // the pages before it have been let go
  std::uint64_t lastBegin_ = 0;  // where the last entry handed out begins
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
