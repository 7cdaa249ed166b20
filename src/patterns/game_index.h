#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "patterns/game_index_entry.h"
#include "patterns/game_loader.h"
#include "patterns/hashed_numbers.h"
#include "patterns/packed_game_entries.h"
#include "platform/log_line.h"

namespace mh {

// How an index build or update is run, besides the collection directory.
struct GameIndexScan {
  GameLoader load;
  // Receives one line for each thing the scan had to pass over that a user may want to know
  // about (a duplicate file that could not be deleted, a file whose name is too long for its
  // entry). May be empty.
  LogLine log;
  // Deletes a duplicate file; true on success (empty: the file system's unlink).
  std::function<bool(const std::string& path)> removeFile;
  // The scan stops before the next file once this reads 0 or below (null: never).
  const std::atomic<int>* runFlag = nullptr;
  // The scan stops once it has added this many entries (below 0: no limit).
  int limit = -1;
  // Called with each game the scan adds (its number and its loaded record, which the callee may
  // take) right after it is appended. May be empty.
  std::function<void(int game, GameRecord& record, int winner)> added;
  // Progress, when given: the number of record files listed, and how many have been examined.
  std::atomic<int>* total = nullptr;
  std::atomic<int>* current = nullptr;
};

// What one build or update did.
struct GameIndexScanResult {
  int added = 0;
  int duplicates = 0;        // files left out because an indexed file has the same bytes
  int deleteFailures = 0;    // duplicates that could not be deleted (left on disk, still not added)
  bool completed = true;     // false when the run flag or the limit stopped the scan early
};

// The game-record index of a collection: one entry per record file, in the collection's listing
// order. Game number n is the n-th entry; its file is the directory followed by the entry's
// relative name. Stored as a "qpindex" file: the 32-byte pattern-file header with the entry count,
// then the 662-byte entries.
class GameIndex {
 public:
  // The collection directory, ending with "/" (or empty).
  const std::string& directory() const { return directory_; }
  void setDirectory(std::string directory) { directory_ = std::move(directory); }
  int count() const { return static_cast<int>(packed_ ? packedEntries_.size() : entries_.size()); }
  // The entries as they lie, and entry n (within 0..count()-1); empty and not to be asked for
  // while the entries are held packed.
  const std::vector<GameIndexEntry>& entries() const { return entries_; }
  const GameIndexEntry& entry(int n) const { return entries_[static_cast<size_t>(n)]; }
  // A copy of entry n (within 0..count()-1), however the entries are held.
  GameIndexEntry entryCopy(int n) const;
  // From now on holds the entries packed, about a sixth of their size: a build of hundreds of
  // thousands of games reads each entry only a few times. entries() and entry() then give
  // nothing; entryCopy serves.
  void holdPacked();
  bool holdsPacked() const { return packed_; }

  // Removes every entry; the directory stays.
  void clear();
  // Appends a copy of an entry as it is (its number is not changed).
  void append(const GameIndexEntry& entry);

  // Empties the index, sets the directory and reads the file. False, index left empty, when the
  // file does not open, its header is wrong, or it holds fewer entries than its count says.
  [[nodiscard]] bool read(const std::string& path, const std::string& directory);
  // Writes the header and every entry, replacing the file whole or not at all. When path is the
  // file the entries were read from and it still holds them, only the entries appended since go
  // after them, and the count last: a program killed before then finds the file as it was.
  [[nodiscard]] bool write(const std::string& path) const;
  // Appends the entries of the games numbered in `numbers`, in that order, to an index file that
  // holds exactly `kept` entries, and writes its new count last. Nothing, file untouched, when
  // path does not hold exactly those (the caller then writes the file whole); false when a write
  // fails.
  [[nodiscard]] std::optional<bool> appendEntries(const std::string& path, std::int32_t kept,
                                                  std::span<const int> numbers) const;
  // Hands every entry of an index file ("qpindex") to each, a piece of the file at a time, so a
  // file of a million games never sits in memory whole. False when the file does not open, its
  // header is wrong or it is shorter than its count says (each may then have seen some entries).
  [[nodiscard]] static bool readEntries(const std::string& path,
                                        const std::function<void(const GameIndexEntry& entry)>& each);

  // Whether an entry has exactly this relative name (byte comparison).
  bool contains(std::string_view relativeName) const { return find(relativeName) >= 0; }
  // The smallest number of an entry with exactly this relative name, or -1. Quick once the names
  // are indexed, entry by entry before.
  std::int32_t find(std::string_view relativeName) const;
  // Indexes the names for find, and keeps them indexed as entries are appended (about 16 bytes a
  // game); a build does it, a reader that only lists games need not.
  void indexNames();
  // Whether an entry numbered below n has the same relative name as entry n: find(name of n) is
  // then not n. Quick once the names are indexed (the repeats are noted as they are), without
  // unpacking entry n.
  bool repeatsName(int n) const;
  // Directory + relative name of game n; nothing for n out of range.
  std::optional<std::string> pathOf(int n) const;

  // Empties the index, then indexes every ".sgf" and ".gib" file (any letter case) of the
  // collection in listing order. Files that do not load, or whose name within the collection is
  // too long for an entry, are passed over (the latter logged). A file with the same
  // bytes as an indexed file of the same game is a duplicate: it is not added, and it is deleted
  // unless it is that very file under another name (a symbolic or hard link), which deleting
  // could lose. A missing or empty directory gives an empty index.
  GameIndexScanResult build(const std::string& directory, const GameIndexScan& scan);
  // As build, but keeps the entries already there and passes over files they name; new entries
  // are numbered from the current count.
  GameIndexScanResult update(const std::string& directory, const GameIndexScan& scan);

 private:
  // Puts entry n's name into names_, noting n when an earlier entry has that name.
  void indexName(std::string_view name, std::int32_t n);
  // The record files of the collection under the directory, as listed.
  std::vector<std::string> recordFiles() const;
  // Whether an indexed game with the same duplicate key has a file with the same contents as
  // path; linked tells whether it is the same file (a link).
  bool indexedCopyOf(const std::string& path, const HashedNumbers& sameGame, const std::string& key,
                     bool& linked) const;
  std::string directory_;
  std::vector<GameIndexEntry> entries_;
  bool packed_ = false;
  PackedGameEntries packedEntries_;  // the entries while packed_
  std::string readFrom_;  // the file the first readCount_ entries were read from, if any
  std::int32_t readCount_ = 0;
  bool namesIndexed_ = false;
  HashedNumbers names_;  // entry numbers by the hash of their relative names, once indexed
  std::vector<std::int32_t> repeats_;  // ascending: the numbers whose names an earlier entry has
};

// Whether two files exist and hold the same bytes.
bool sameFileContents(const std::string& a, const std::string& b);

}  // namespace mh
