#include "patterns/game_index.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <functional>
#include <numeric>
#include <string_view>

#include "patterns/pattern_file_header.h"
#include "platform/binary_file.h"
#include "platform/collection_listing.h"
#include "platform/replacing_file.h"
#include "records/record_loader.h"

namespace mh {

namespace {

// Key of the fields that make two entries candidate duplicates.
std::string duplicateKey(const GameIndexEntry& e) {
  std::string key;
  for (const auto& part : {e.gameName(), e.blackName(), e.blackRank(), e.whiteName(), e.whiteRank()}) {
    key += part;
    key += '\0';
  }
  key += std::to_string(e.moveCount());
  return key;
}

std::uint64_t hashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }

// Whether both paths name one file (a link to it, or a second hard link).
bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa {};
  struct stat sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

bool stopRequested(const GameIndexScan& scan, const GameIndexScanResult& result) {
  return (scan.runFlag && scan.runFlag->load() <= 0) || (scan.limit >= 0 && result.added >= scan.limit);
}

}  // namespace

bool sameFileContents(const std::string& a, const std::string& b) {
  // Files of one game name and players mostly differ in size: two look-ups settle those without
  // opening and reading either.
  struct stat sa {};
  struct stat sb {};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0 || sa.st_size != sb.st_size) return false;
  BinaryFile fa;
  BinaryFile fb;
  if (!fa.open(a, BinaryFile::Mode::ReadOnly) || !fb.open(b, BinaryFile::Mode::ReadOnly)) return false;
  const auto size = fa.size();
  if (!size || size != fb.size()) return false;
  constexpr size_t kChunk = 64 * 1024;
  // Kept by the thread: a collection with many games of one name and players compares files
  // again and again, and fresh zeroed buffers cost more than the reads of a small file.
  thread_local std::vector<std::uint8_t> ba(kChunk);
  thread_local std::vector<std::uint8_t> bb(kChunk);
  for (std::uint64_t at = 0; at < *size; at += kChunk) {
    const size_t n = static_cast<size_t>(std::min<std::uint64_t>(kChunk, *size - at));
    if (!fa.readAt(at, ba.data(), n) || !fb.readAt(at, bb.data(), n)) return false;
    if (std::memcmp(ba.data(), bb.data(), n) != 0) return false;
  }
  return true;
}

GameIndexEntry GameIndex::entryCopy(int n) const {
  if (!packed_) return entries_[static_cast<size_t>(n)];
  GameIndexEntry e;
  packedEntries_.get(static_cast<size_t>(n), e);
  return e;
}

void GameIndex::holdPacked() {
  if (packed_) return;
  for (const GameIndexEntry& e : entries_) packedEntries_.push_back(e);
  entries_ = {};
  packed_ = true;
}

void GameIndex::clear() {
  readFrom_.clear();
  readCount_ = 0;
  entries_.clear();
  packedEntries_.clear();
  names_.clear();
  repeats_.clear();
  namesIndexed_ = false;
}

void GameIndex::append(const GameIndexEntry& entry) {
  if (packed_) packedEntries_.push_back(entry);
  else entries_.push_back(entry);
  if (namesIndexed_) indexName(entry.textView(GameIndexEntry::kRelativeName), count() - 1);
}

void GameIndex::indexName(std::string_view name, std::int32_t n) {
  const std::uint64_t hash = hashOf(name);
  // Only numbers under the same hash bits are unpacked to compare: almost never one that differs.
  if (names_.find(hash, [&](std::int32_t m) { return entryCopy(m).textView(GameIndexEntry::kRelativeName) == name; }) >= 0)
    repeats_.push_back(n);
  names_.insert(hash, n);
}

void GameIndex::indexNames() {
  if (namesIndexed_) return;
  names_.clear();
  repeats_.clear();
  names_.reserve(static_cast<size_t>(count()));
  for (int n = 0; n < count(); ++n) {
    const GameIndexEntry e = entryCopy(n);
    indexName(e.textView(GameIndexEntry::kRelativeName), n);
  }
  namesIndexed_ = true;
}

bool GameIndex::repeatsName(int n) const {
  if (namesIndexed_) return std::binary_search(repeats_.begin(), repeats_.end(), n);
  return find(entryCopy(n).textView(GameIndexEntry::kRelativeName)) != n;
}

std::int32_t GameIndex::find(std::string_view relativeName) const {
  auto named = [&](std::int32_t n) {
    if (!packed_) return entry(n).textView(GameIndexEntry::kRelativeName) == relativeName;
    return entryCopy(n).textView(GameIndexEntry::kRelativeName) == relativeName;
  };
  if (namesIndexed_) return names_.find(hashOf(relativeName), named);
  for (std::int32_t n = 0; n < count(); ++n)
    if (named(n)) return n;
  return -1;
}

namespace {

// Opens an index file and reads its header: the entry count, or nothing when the file does not
// open, its header is wrong or it is shorter than the count says.
std::optional<std::int32_t> openIndexFile(BinaryFile& file, const std::string& path) {
  std::vector<std::uint8_t> head(PatternFileHeader::kBytes);
  const auto size = file.open(path, BinaryFile::Mode::ReadOnly) ? file.size() : std::nullopt;
  if (!size || !file.readAt(0, head.data(), head.size())) return std::nullopt;
  ByteReader r(head);
  std::int32_t count = 0;
  if (!PatternFileHeader::read(r, kGameIndexTag, count)) return std::nullopt;
  if (static_cast<std::uint64_t>(count) * GameIndexEntry::kSize > *size - PatternFileHeader::kBytes)
    return std::nullopt;
  return count;
}

}  // namespace

bool GameIndex::readEntries(const std::string& path, const std::function<void(const GameIndexEntry&)>& each) {
  BinaryFile file;
  const auto count = openIndexFile(file, path);
  if (!count) return false;
  constexpr std::int32_t kPerPiece = 1024;
  std::vector<std::uint8_t> piece;
  GameIndexEntry e;
  for (std::int32_t done = 0; done < *count;) {
    const std::int32_t n = std::min(kPerPiece, *count - done);
    piece.resize(static_cast<size_t>(n) * GameIndexEntry::kSize);
    if (!file.readAt(PatternFileHeader::kBytes + static_cast<std::uint64_t>(done) * GameIndexEntry::kSize,
                     piece.data(), piece.size()))
      return false;
    ByteReader r(piece);
    for (std::int32_t i = 0; i < n; ++i) {
      if (!e.read(r)) return false;
      each(e);
    }
    done += n;
  }
  return true;
}

bool GameIndex::read(const std::string& path, const std::string& directory) {
  // The entries are read straight into their final place, in one pass with one allocation: the
  // record library opens indexes of hundreds of thousands of games while its user waits.
  static_assert(sizeof(GameIndexEntry) == GameIndexEntry::kSize && std::is_trivially_copyable_v<GameIndexEntry>);
  clear();
  directory_ = directory;
  auto readWhole = [&] {
    readFrom_ = path;
    readCount_ = count();
    return true;
  };
  if (packed_) {
    if (readEntries(path, [&](const GameIndexEntry& e) { packedEntries_.push_back(e); })) return readWhole();
    packedEntries_.clear();
    return false;
  }
  BinaryFile file;
  const auto count = openIndexFile(file, path);
  if (!count) return false;
  entries_.resize(static_cast<size_t>(*count));
  if (!file.readAt(PatternFileHeader::kBytes, entries_.data(), entries_.size() * GameIndexEntry::kSize)) {
    entries_ = {};
    return false;
  }
  return readWhole();
}

bool GameIndex::write(const std::string& path) const {
  const int total = count();
  // Entries are only ever appended, so the file read holds this index's first entries as they are.
  if (!readFrom_.empty() && path == readFrom_ && readCount_ <= total) {
    std::vector<int> added(static_cast<size_t>(total - readCount_));
    std::iota(added.begin(), added.end(), readCount_);
    if (const auto appended = appendEntries(path, readCount_, added)) return *appended;
  }
  // Written a piece at a time: the entries of a large collection are hundreds of megabytes.
  ReplacingFile out(path);
  if (!out.open()) return false;
  std::vector<std::uint8_t> bytes;
  ByteWriter w(bytes);
  PatternFileHeader::write(w, kGameIndexTag, count());
  std::uint64_t at = 0;
  for (int i = 0; i <= total; ++i) {
    if (i < total) {
      if (packed_) entryCopy(i).write(w);
      else entry(i).write(w);
    }
    if (bytes.size() < (size_t{1} << 20) && i < total) continue;
    if (!out.file().writeAt(at, bytes.data(), bytes.size())) return false;
    at += bytes.size();
    bytes.clear();
  }
  return out.commit();
}

std::optional<bool> GameIndex::appendEntries(const std::string& path, std::int32_t kept,
                                             std::span<const int> numbers) const {
  PatternFileAppend out;
  if (!out.open(path, kGameIndexTag, GameIndexEntry::kSize, kept)) return std::nullopt;
  bool ok = true;
  for (size_t i = 0; ok && i < numbers.size(); ++i) {
    entryCopy(numbers[i]).write(out.out());
    ok = out.flushIfFull();
  }
  return ok && out.finish();
}

std::optional<std::string> GameIndex::pathOf(int n) const {
  if (n < 0 || n >= count()) return std::nullopt;
  return directory_ + entryCopy(n).relativeName();
}

GameIndexScanResult GameIndex::build(const std::string& directory, const GameIndexScan& scan) {
  clear();
  return update(directory, scan);
}

namespace {

// Names of record files within the collection, one after another in one buffer. A scan holds
// them to its end, beside the libraries it feeds: about 45 bytes a file, where a list of full
// paths as strings took about 110 (22 MB at 200,000 files).
class RecordNames {
 public:
  RecordNames(const std::vector<std::string>& paths, size_t directoryLength) {
    size_t bytes = 0;
    for (const std::string& p : paths) bytes += p.size() - directoryLength;
    bytes_.reserve(bytes);
    ends_.reserve(paths.size());
    for (const std::string& p : paths) {
      bytes_.append(p, directoryLength);
      ends_.push_back(bytes_.size());
    }
  }
  size_t size() const { return ends_.size(); }
  std::string_view operator[](size_t i) const {
    const size_t from = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(bytes_).substr(from, ends_[i] - from);
  }

 private:
  std::string bytes_;
  std::vector<size_t> ends_;
};

// Deletes a duplicate record file, counting and logging a failure.
void removeDuplicate(const std::string& path, const GameIndexScan& scan, GameIndexScanResult& result) {
  errno = 0;
  const bool removed = scan.removeFile ? scan.removeFile(path) : ::unlink(path.c_str()) == 0;
  if (removed) return;
  ++result.deleteFailures;
  const std::string reason = errno != 0 ? std::strerror(errno) : "refused";
  if (scan.log) scan.log("cannot delete duplicate record file " + path + ": " + reason);
}

}  // namespace

std::vector<std::string> GameIndex::recordFiles() const {
  std::vector<std::string> files = directory_.empty() ? std::vector<std::string>{} : listCollectionFiles(directory_);
  std::erase_if(files, [&](const std::string& p) { return p.size() <= directory_.size() || !isRecordFileName(p); });
  return files;
}

bool GameIndex::indexedCopyOf(const std::string& path, const HashedNumbers& sameGame, const std::string& key,
                              bool& linked) const {
  return sameGame.find(hashOf(key), [&](std::int32_t n) {
    if (duplicateKey(entryCopy(n)) != key) return false;
    const auto other = pathOf(n);
    if (!other || !sameFileContents(path, *other)) return false;
    linked = sameFile(path, *other);
    return true;
  }) >= 0;
}

GameIndexScanResult GameIndex::update(const std::string& directory, const GameIndexScan& scan) {
  directory_ = directory;
  if (!directory_.empty() && directory_.back() != '/') directory_ += '/';
  GameIndexScanResult result;
  // Games are found by hashes of their names and of their duplicate keys, checked against the
  // entries: a few bytes a game where sets of strings took hundreds.
  indexNames();
  const RecordNames files(recordFiles(), directory_.size());
  // Room for every file not yet indexed, taken at once: growing an index of a few hundred
  // thousand 662-byte entries by doubling would hold up to twice what it needs, and the old and
  // the new copy together while it grows. The hash tables likewise, so that no outgrown table is
  // left in the heap.
  size_t fresh = 0;
  for (size_t i = 0; i < files.size(); ++i)
    if (find(files[i]) < 0) ++fresh;
  if (!packed_) entries_.reserve(entries_.size() + fresh);
  names_.reserve(static_cast<size_t>(count()) + fresh);
  HashedNumbers sameGame;
  sameGame.reserve(static_cast<size_t>(count()) + fresh);
  for (int n = 0; n < count(); ++n) sameGame.insert(hashOf(duplicateKey(entryCopy(n))), n);
  if (scan.total) scan.total->store(static_cast<int>(files.size()));
  if (scan.current) scan.current->store(0);

  GameRecord record;
  std::string path;
  for (size_t i = 0; i < files.size(); ++i) {
    if (stopRequested(scan, result)) {
      result.completed = false;
      break;
    }
    if (scan.current) scan.current->fetch_add(1);
    const std::string_view relative = files[i];
    if (find(relative) >= 0) continue;
    path.assign(directory_).append(relative);
    int winner = 0;
    if (!scan.load || !scan.load(path, record, winner, nullptr)) continue;
    GameIndexEntry e;
    if (!e.assign(record.info(), relative, record.entryCount(), count())) {
      // The only entry that cannot be built is one whose name does not fit; a user can mend that.
      if (scan.log)
        scan.log("skipped record file " + path + ": its name within the collection is longer than " +
                 std::to_string(GameIndexEntry::kRelativeName.size - 1) + " bytes");
      continue;
    }
    const std::string key = duplicateKey(e);
    bool linked = false;
    if (indexedCopyOf(path, sameGame, key, linked)) {
      ++result.duplicates;
      // A link to the indexed game stays: deleting it would delete the indexed game.
      if (!linked) removeDuplicate(path, scan, result);
      continue;
    }
    sameGame.insert(hashOf(key), count());
    append(e);
    ++result.added;
    if (scan.added) scan.added(count() - 1, record, winner);
  }
  return result;
}

}  // namespace mh
