#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "patterns/block_store.h"
#include "patterns/warehouse_directory.h"
#include "platform/binary_file.h"

namespace mh {

// A single file of named byte strings, each replaceable in place many times. A 256-byte header
// ("AOWarehouseHead", single 1.0 at offset 30) is followed by a BlockStore; the chain at block
// offset 0 is the directory, an array of 132-byte records (128-byte NUL-terminated name, start
// offset). Fresh blocks at the file's end are gathered and written together (a megabyte at a time,
// or when a read needs them, and at close); the directory is written only by close, so values put
// after the last close are unreachable if the program dies. A warehouse that
// was opened and never changed is left exactly as it was.
//
// Closing a changed warehouse also writes its table (tablePath): every block header and the start
// of every name, a few bytes a block, so that the next open reads them in one go instead of
// reading a header from every block of the file and the whole directory chain. The table holds
// nothing the file does not: it is taken only while it provably describes the file as it stands
// (its size and modification time, a fold of the table's bytes, and a spread of block headers and
// directory records read back from the file), and the first change after an open removes it, so
// a stale, cut, damaged or foreign table costs the scan, never a wrong value. Only a directory
// whose names are all numbers gets one.
class Warehouse {
 public:
  static constexpr std::int64_t kHeaderBytes = 256;
  static constexpr std::int32_t kMinimumPayload = 1024;
  static constexpr std::int32_t kDirectoryPayload = 10240;
  static constexpr size_t kRecordBytes = 132;
  static constexpr size_t kNameBytes = 128;

  Warehouse() = default;
  ~Warehouse();
  Warehouse(const Warehouse&) = delete;
  Warehouse& operator=(const Warehouse&) = delete;

  // Creates (or truncates) the file with an empty directory whose first block holds 10240 bytes.
  [[nodiscard]] bool create(const std::string& path);
  // Opens an existing warehouse. Fails, leaving the warehouse closed, on a wrong header, a
  // directory chain that cannot be read, or a directory record without a terminating NUL.
  [[nodiscard]] bool open(const std::string& path, bool readOnly);
  // The value stored under name; false when the name is absent or its chain does not read.
  [[nodiscard]] bool get(std::string_view name, std::vector<std::uint8_t>& out) const;
  // Replaces the value under name. Refused when read-only, for no bytes, and for a name that is
  // empty, longer than 127 bytes or holds a NUL. If writing fails after the old chain was freed,
  // the name is dropped rather than left pointing at freed blocks. An old chain that the opened
  // directory shared with another name or with itself is left in place, not freed.
  [[nodiscard]] bool put(std::string_view name, std::span<const std::uint8_t> bytes);
  // Drops name and frees its chain; false when it is absent or the warehouse cannot change.
  [[nodiscard]] bool remove(std::string_view name);
  // Writes the directory (unless read-only or unchanged since open) and closes the file. False
  // when the directory could not be written; the warehouse is closed either way.
  bool close();

  // Whether a value of the given size can be put with certainty without the file passing its
  // reach, the directory (one record more, and the places of removed numbers) included: counted
  // as if both went to the end.
  bool hasRoomFor(size_t valueBytes) const;
  // The same for replacing the value of a name this warehouse holds: also true when the new value
  // fits in the free blocks together with those of the name's old chain, since put frees that
  // chain first and writes into free blocks before growing the file. The directory keeps its
  // size then, so it still fits where it lies or in its own freed chain. A full warehouse thus
  // keeps the names it holds for as long as their values fit its free blocks.
  bool hasRoomToReplace(std::string_view name, size_t valueBytes) const;
  // The reach of the block area (see BlockStore::setAreaLimit).
  void setAreaLimit(std::int64_t limit) { store_.setAreaLimit(limit); }
  // Why the last operation that failed did: the system's error text, or what the format refused.
  const std::string& error() const { return error_; }

  // The smallest payload of a new value block: the format's 1024 by default, never below 128.
  // Stores that write each value about once keep the file near the size of its values with a
  // small one.
  void setMinimumPayload(std::int32_t payload);

  // The table beside the warehouse at path.
  static std::string tablePath(const std::string& path) { return path + ".table"; }
  // Whether the last open took the block headers and directory from the table.
  bool openedFromTable() const { return fromTable_; }

  bool isOpen() const { return file_.isOpen(); }
  bool readOnly() const { return readOnly_; }
  const std::string& path() const { return path_; }
  size_t nameCount() const { return directory_.size(); }
  bool contains(std::string_view name) const { return directory_.find(name) != nullptr; }
  const BlockStore& blockStore() const { return store_; }

 private:
  bool writeDirectory();
  // Whether writeDirectory writes the records in place (record n at n * 132, an empty record at
  // each hole, so that a later close can patch them): only numbered names, at most one hole in
  // eight, and room for every slot's record within the store's reach. Any other directory is
  // written record after record, which the room kept for it always holds.
  bool inPlaceRecordsFit() const;
  // Whether the directory may be written by patchDirectory: it held names 0 to openNames_ - 1,
  // record n at n * 132, when the warehouse was opened, and now holds 0 to some higher number.
  bool patchable() const;
  // Writes only the records of the names changed since open, where they lie, and appends the new
  // names' records; false when the chain could not be changed so (it may be written whole then).
  bool patchDirectory();
  // Notes a name just set, for patchDirectory.
  void noteNamed(std::string_view name);
  // Notes the directory as read at open: whether it is positional (see patchable), and whether
  // it holds holes (empty records where removed names were).
  void notePositional(bool positional, bool holes = false);
  // Reads the directory chain into directory_; false on a chain that does not read or a record
  // without a terminating NUL.
  bool readDirectory();
  // Turns the directory's starts as read (block offsets, as the file holds them) into block-table
  // indices; a start at which no block begins becomes a stray (see strays_).
  void startsToIndices();
  // The block offset the directory start stands for, as the file holds it.
  std::int32_t offsetOfStart(std::int32_t start) const;
  // Marks the starts that more than one name holds as shared.
  void noteSharedStarts();
  // Takes the block headers and the directory from the table when it belongs to the file as it
  // stands; false (store detached, directory empty) otherwise.
  bool loadTable();
  // Whether a spread of the loaded headers and directory records agree with the file's.
  bool tableAgreesWithFile() const;
  // The same for the records of a directory that keeps its holes in place.
  bool recordsInPlaceAgree(size_t samples) const;
  // Whether the directory chain's value is records records long and agrees(k, record) holds for
  // the record at each of the positions (ascending), all read in one walk along the chain.
  bool recordsAgree(std::span<const size_t> positions, size_t records,
                    const std::function<bool(size_t k, const std::uint8_t* record)>& agrees) const;
  // Writes the table of the warehouse as it stands (after the directory and every gathered write
  // reached the file); removes any old one when the warehouse cannot have one.
  void writeTable();
  // Called before the first change since open: the table no longer describes the file.
  void beginChange();
  void drop();
  bool fail(const char* what);

  std::string path_;
  bool readOnly_ = false;
  BinaryFile file_;
  BlockStore store_;
  // Name -> the table index of its chain's first block, so that a read or a change finds the chain
  // without a search of the block table; -1 - k for the stray strays_[k].
  WarehouseDirectory directory_;
  // Starts of a damaged directory at which no block begins, as read: a name holding one reads as
  // absent, and its record is written back as it was read.
  std::vector<std::int32_t> strays_;
  // Chains a damaged directory names twice, or names that point at the directory's own chain (by
  // start): replacing such a name abandons its old chain instead of freeing blocks still in use.
  std::set<std::int32_t> sharedStarts_;
  bool changed_ = false;  // a put since open: the directory must be written
  bool fromTable_ = false;  // the open took the table
  // The directory as opened held names 0 to openNames_ - 1 in that order (see patchable), and
  // the bits of changedNames_ mark those set since.
  bool positional_ = false;
  // The directory on disk holds record n at n * 132 with empty records at the holes (names
  // removed while it was positional); the table then lists the holes too.
  bool holesInPlace_ = false;
  size_t openNames_ = 0;
  std::vector<std::uint64_t> changedNames_;
  bool tableStands_ = false;  // a table that describes the file as it stands is on disk
  std::int32_t minimumPayload_ = kMinimumPayload;
  std::string error_;
};

}  // namespace mh
