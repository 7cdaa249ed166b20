#include "patterns/pattern_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <unordered_map>
#include <string>

#include "model/board.h"
#include "model/board_transform.h"
#include "patterns/key_print.h"
#include "patterns/pattern_file_header.h"
#include "patterns/pattern_key_file.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Mode = PatternLibrary::Mode;
using test::readFileBytes;
using test::ScratchDir;
using test::writeFileBytes;

BoardSnapshot snapshotOf(const PointList& black, const PointList& white, int w = 19, int h = 19) {
  Board b(w, h);
  b.setPoints(black, Black);
  b.setPoints(white, White);
  return b.snapshot();
}

PatternEntry entryOf(const BoardSnapshot& s, int side, int seed) {
  PatternEntry e;
  e.snapshot = s;
  e.side = static_cast<std::uint8_t>(side);
  for (int i = 0; i < seed % 4; ++i) e.insertCandidate({seed + i, 10 - i, i, 1});
  for (int i = 0; i < seed % 5; ++i) e.occurrences.push_back({seed, static_cast<std::int16_t>(i), static_cast<std::int16_t>(seed + i)});
  return e;
}

// A family of distinct positions, some of them sharing hash buckets (equal point sums).
std::vector<PatternEntry> sampleEntries() {
  return {
      entryOf(snapshotOf({}, {}), Black, 1),
      entryOf(snapshotOf({}, {}), White, 2),
      entryOf(snapshotOf({10}, {}), Black, 3),
      entryOf(snapshotOf({4, 6}, {}), Black, 4),   // same bucket as {10}, other counts
      entryOf(snapshotOf({4}, {6}), Black, 5),     // same bucket and total, other split
      entryOf(snapshotOf({3}, {7}), Black, 6),     // same bucket and counts, other points
      entryOf(snapshotOf({72, 288}, {60}), White, 7),
      entryOf(snapshotOf({1}, {}, 9, 9), Black, 8),
  };
}

void expectFindsAll(const PatternLibrary& lib, const std::vector<PatternEntry>& entries, const char* what) {
  ASSERT_EQ(lib.entryCount(), static_cast<int>(entries.size())) << what;
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(lib.find(entries[i].snapshot, entries[i].side), static_cast<int>(i)) << what << " entry " << i;
    PatternEntry e;
    ASSERT_TRUE(lib.readEntry(static_cast<int>(i), e)) << what;
    EXPECT_EQ(e, entries[i]) << what << " entry " << i;
  }
  EXPECT_EQ(lib.find(snapshotOf({10}, {}), White), -1) << what;
  EXPECT_EQ(lib.find(snapshotOf({5, 5}, {}), Black), -1) << what;
  EXPECT_EQ(lib.find(snapshotOf({2}, {8}), Black), -1) << what;
  PatternEntry none;
  EXPECT_FALSE(lib.readEntry(-1, none)) << what;
  EXPECT_FALSE(lib.readEntry(static_cast<int>(entries.size()), none)) << what;
}

TEST(PatternLibraryTest, HashIsThePositiveSumModuloBuckets) {
  EXPECT_EQ(PatternLibrary::hashOf(snapshotOf({}, {})), 0);
  EXPECT_EQ(PatternLibrary::hashOf(snapshotOf({4, 6}, {300})), 310);
  BoardSnapshot s;
  s.points = {150000, 60000};
  EXPECT_EQ(PatternLibrary::hashOf(s), 10000);
  s.points = {-30};
  EXPECT_EQ(PatternLibrary::hashOf(s), 30);
  s.points = {0x7fffffff, 1};  // wraps to the most negative value
  EXPECT_EQ(PatternLibrary::hashOf(s), static_cast<std::int32_t>(2147483648LL % 200000));
}

TEST(PatternLibraryTest, MemoryModeAddsOnlyNewKeys) {
  PatternLibrary lib;
  const auto entries = sampleEntries();
  for (const auto& e : entries) ASSERT_TRUE(lib.add(e));
  expectFindsAll(lib, entries, "memory");
  EXPECT_FALSE(lib.add(entryOf(entries[3].snapshot, Black, 9)));
  PatternEntry malformed = entryOf(snapshotOf({200}, {}), Black, 1);
  malformed.snapshot.blackCount = 2;
  EXPECT_FALSE(lib.add(malformed));
  EXPECT_EQ(lib.entryCount(), static_cast<int>(entries.size()));
  ASSERT_NE(lib.entryAt(2), nullptr);
  lib.entryAt(2)->insertCandidate({99, 50, 1, 0});
  PatternEntry e;
  ASSERT_TRUE(lib.readEntry(2, e));
  EXPECT_EQ(e.candidates.front().point, 99);
  EXPECT_FALSE(lib.writeIndex("/nonexistent/never-written"));
}

TEST(PatternLibraryTest, EmptyBoardIsFoundOnlyWithItsSide) {
  PatternLibrary lib;
  ASSERT_TRUE(lib.add(entryOf(snapshotOf({}, {}), White, 3)));
  EXPECT_EQ(lib.find(snapshotOf({}, {}), Black), -1);
  EXPECT_EQ(lib.find(snapshotOf({}, {}), White), 0);
  EXPECT_EQ(lib.find(snapshotOf({}, {}, 13, 13), White), -1);
}

TEST(PatternLibraryTest, MirrorImageIsFoundAndTurnedBack) {
  // Stored: black (2,3), white (5,3), a candidate at (4,4) and an occurrence at (4,4).
  PatternEntry stored = entryOf(snapshotOf({2 + 19 * 3}, {5 + 19 * 3}), Black, 0);
  stored.candidates = {{4 + 19 * 4, 3, 2, 1}, {-1, 1, 0, 0}};
  stored.occurrences = {{12, 7, 4 + 19 * 4}};
  PatternLibrary lib;
  ASSERT_TRUE(lib.add(stored));

  // The query is the flip-x image: black (16,3), white (13,3).
  const BoardSnapshot query = snapshotOf({16 + 19 * 3}, {13 + 19 * 3});
  EXPECT_EQ(lib.find(query, Black), -1);
  PatternEntry found;
  ASSERT_TRUE(lib.findWithSymmetries(query, Black, found));
  EXPECT_EQ(found.snapshot, query);
  EXPECT_EQ(found.candidates[0].point, 14 + 19 * 4);
  EXPECT_EQ(found.candidates[1].point, -1);
  EXPECT_EQ(found.occurrences[0].point, 14 + 19 * 4);
  EXPECT_FALSE(lib.findWithSymmetries(query, White, found));
}

TEST(PatternLibraryTest, EveryOrientationMapsBackOntoTheQuery) {
  // An asymmetric position stored once, beside a neighbour in the bucket of one of its images;
  // each of its eight images must be found with candidates and occurrences that land on the same
  // relative point of the query, in memory and read from files, whole or without occurrences.
  const BoardSnapshot base = snapshotOf({3 + 19 * 2, 7 + 19 * 5}, {10 + 19 * 1});
  PatternEntry stored = entryOf(base, White, 0);
  stored.candidates = {{4 + 19 * 2, 1, 1, 0}};
  stored.occurrences = {{3, 9, 4 + 19 * 2}, {5, 2, 11 + 19 * 6}};
  BoardSnapshot turned;
  ASSERT_TRUE(turnSnapshot(2, base, turned));
  PatternEntry neighbour = entryOf(turned, White, 0);  // same counts, same side, other position
  std::swap(neighbour.snapshot.points[0], neighbour.snapshot.points[2]);
  PatternLibrary memory;
  ASSERT_TRUE(memory.add(neighbour));
  ASSERT_TRUE(memory.add(stored));
  ScratchDir dir;
  ASSERT_TRUE(memory.writeData(dir.file("lib.wp2")));
  PatternLibrary scanned;
  ASSERT_TRUE(scanned.openData(dir.file("lib.wp2")));
  ASSERT_TRUE(scanned.writeIndex(dir.file("lib.wp2_")));
  PatternLibrary indexed;
  ASSERT_TRUE(indexed.openIndex(dir.file("lib.wp2_"), dir.file("lib.wp2")));

  const struct {
    const char* name;
    const PatternLibrary& lib;
    EntryParts parts;
    bool withOccurrences;
  } cases[] = {
      {"memory", memory, EntryParts::Whole, true},
      {"memory, parts asked", memory, EntryParts::WithoutOccurrences, true},  // held entries come whole
      {"index file", indexed, EntryParts::Whole, true},
      {"index file, no occurrences", indexed, EntryParts::WithoutOccurrences, false},
  };
  for (const auto& c : cases) {
    for (int kind = -1; kind <= 6; ++kind) {
      const BoardTransform t(kind, 19, 19);
      BoardSnapshot query;
      ASSERT_TRUE(t.mapSnapshot(base, query));
      PatternEntry found;
      ASSERT_TRUE(c.lib.findWithSymmetries(query, White, found, c.parts)) << c.name << ", kind " << kind;
      EXPECT_EQ(found.snapshot, query) << c.name << ", kind " << kind;
      EXPECT_EQ(found.candidates[0].point, t.mapPoint(4 + 19 * 2)) << c.name << ", kind " << kind;
      if (c.withOccurrences) {
        ASSERT_EQ(found.occurrences.size(), 2u) << c.name << ", kind " << kind;
        EXPECT_EQ(found.occurrences[1].point, t.mapPoint(11 + 19 * 6)) << c.name << ", kind " << kind;
      } else {
        EXPECT_TRUE(found.occurrences.empty()) << c.name << ", kind " << kind;
      }
    }
  }
}

TEST(PatternLibraryTest, SymmetricPositionIsFoundByTheIdentityUnchanged) {
  // Tengen plus the four 4-4 points is symmetric under every transform.
  const BoardSnapshot s = snapshotOf({180}, {60, 72, 288, 300});
  PatternEntry stored = entryOf(s, Black, 0);
  stored.candidates = {{2 + 19 * 16, 4, 3, 1}};  // not symmetric: a transform would move it
  PatternLibrary lib;
  ASSERT_TRUE(lib.add(stored));
  PatternEntry found;
  ASSERT_TRUE(lib.findWithSymmetries(s, Black, found));
  EXPECT_EQ(found, stored);
}

TEST(PatternLibraryTest, DataAndIndexFilesRoundTrip) {
  ScratchDir dir;
  const auto entries = sampleEntries();
  PatternLibrary mem;
  for (const auto& e : entries) ASSERT_TRUE(mem.add(e));
  ASSERT_TRUE(mem.writeData(dir.file("lib.wp2")));

  PatternLibrary scanned;
  ASSERT_TRUE(scanned.openData(dir.file("lib.wp2")));
  EXPECT_EQ(scanned.mode(), Mode::Index);
  expectFindsAll(scanned, entries, "scanned data");
  EXPECT_EQ(scanned.indexRecords()[0].location, 32);
  EXPECT_FALSE(scanned.add(entryOf(snapshotOf({200}, {}), Black, 1)));
  EXPECT_FALSE(scanned.writeData(dir.file("refused.wp2")));
  EXPECT_FALSE(scanned.storeEntry(0, entries[0]));
  ASSERT_TRUE(scanned.writeIndex(dir.file("lib.wp2_")));

  const Bytes index = readFileBytes(dir.file("lib.wp2_"));
  ASSERT_EQ(index.size(), 32 + 17 * entries.size());
  EXPECT_EQ(std::memcmp(index.data(), "wpindex", 8), 0);

  PatternLibrary indexed;
  ASSERT_TRUE(indexed.openIndex(dir.file("lib.wp2_"), dir.file("lib.wp2")));
  expectFindsAll(indexed, entries, "index file");
}

TEST(PatternLibraryTest, WarehouseModeSurvivesCloseAndWritesData) {
  ScratchDir dir;
  const std::string wh = dir.file("lib.wp2.aos");
  const std::string whIndex = dir.file("lib.wp2.aos_");
  auto entries = sampleEntries();
  {
    PatternLibrary lib;
    EXPECT_FALSE(lib.openWarehouse(wh, whIndex));
    EXPECT_EQ(lib.entryCount(), 0);
    ASSERT_TRUE(lib.createWarehouse(wh));
    EXPECT_EQ(lib.mode(), Mode::Warehouse);
    for (const auto& e : entries) ASSERT_TRUE(lib.add(e));
    entries[4].insertCandidate({77, 100, 60, 40});
    entries[4].occurrences.push_back({5, 1, 77});
    ASSERT_TRUE(lib.storeEntry(4, entries[4]));
    EXPECT_FALSE(lib.storeEntry(static_cast<int>(entries.size()), entries[4]));
    expectFindsAll(lib, entries, "warehouse");
    ASSERT_TRUE(lib.writeIndex(whIndex));
  }  // destruction closes the warehouse, writing its directory

  PatternLibrary lib;
  ASSERT_TRUE(lib.openWarehouse(wh, whIndex));
  expectFindsAll(lib, entries, "reopened warehouse");
  for (size_t i = 0; i < entries.size(); ++i) {
    PatternIndexRecord r;
    ASSERT_TRUE(lib.indexRecord(static_cast<int>(i), r));
    EXPECT_EQ(r, patternRecordFor(entries[i], static_cast<int>(i)));
  }
  ASSERT_TRUE(lib.writeData(dir.file("lib.wp2")));
  ASSERT_TRUE(lib.closeWarehouse());

  PatternLibrary scanned;
  ASSERT_TRUE(scanned.openData(dir.file("lib.wp2")));
  expectFindsAll(scanned, entries, "data written from warehouse");
}

// With write-back, an update that follows a find takes the entry the find read; whatever was
// stored or found in between, the update must start from the latest stored value.
TEST(PatternLibraryTest, AnUpdateAfterAFindStartsFromTheLatestValue) {
  auto addCandidate = [](int point) { return [point](PatternEntry& e) { e.insertCandidate({point, 1, 1, 0}); }; };
  const struct {
    const char* name;
    std::function<void(PatternLibrary&, std::vector<PatternEntry>&)> between;
  } cases[] = {
      {"nothing", [](PatternLibrary&, std::vector<PatternEntry>&) {}},
      {"the entry stored anew",
       [](PatternLibrary& lib, std::vector<PatternEntry>& entries) {
         entries[4].occurrences.push_back({9, 2, 33});
         ASSERT_TRUE(lib.storeEntry(4, entries[4]));
       }},
      {"another entry found",
       [](PatternLibrary& lib, std::vector<PatternEntry>& entries) {
         EXPECT_EQ(lib.find(entries[5].snapshot, entries[5].side), 5);
       }},
      {"another entry updated",
       [&](PatternLibrary& lib, std::vector<PatternEntry>& entries) {
         ASSERT_TRUE(lib.updateEntry(5, addCandidate(40)));
         addCandidate(40)(entries[5]);
       }},
  };
  for (const size_t cacheBytes : {size_t{1}, size_t{1} << 20}) {
    for (const auto& c : cases) {
      ScratchDir dir;
      auto entries = sampleEntries();
      PatternLibrary lib;
      ASSERT_TRUE(lib.createWarehouse(dir.file("lib.aos")));
      // A limit of one byte sends every entry to the warehouse as soon as it is held.
      ASSERT_TRUE(lib.enableWriteBack(cacheBytes));
      for (const auto& e : entries) ASSERT_TRUE(lib.add(e));
      ASSERT_EQ(lib.find(entries[4].snapshot, entries[4].side), 4) << c.name;
      c.between(lib, entries);
      ASSERT_TRUE(lib.updateEntry(4, addCandidate(50))) << c.name;
      addCandidate(50)(entries[4]);
      for (size_t i = 0; i < entries.size(); ++i) {
        PatternEntry e;
        ASSERT_TRUE(lib.readEntry(static_cast<int>(i), e)) << c.name;
        EXPECT_EQ(e, entries[i]) << c.name << ", cache " << cacheBytes << ", entry " << i;
      }
    }
  }
}

// A search under symmetries with the prints (which rule keys out before any is read) must find
// what the plain search finds: the same entry under the same turn, or nothing.
TEST(PatternLibraryTest, SearchUnderSymmetriesWithPrintsFindsWhatThePlainSearchFinds) {
  ScratchDir dir;
  const auto entries = sampleEntries();
  PatternLibrary plain;
  PatternLibrary printed;
  ASSERT_TRUE(printed.createWarehouse(dir.file("lib.aos")));
  ASSERT_TRUE(printed.enableWriteBack(1));  // every entry goes to the warehouse at once
  for (const auto& e : entries) {
    ASSERT_TRUE(plain.add(e));
    ASSERT_TRUE(printed.add(e));
  }
  std::vector<std::pair<BoardSnapshot, int>> queries = {
      {snapshotOf({10}, {}), White}, {snapshotOf({5, 5}, {}), Black}, {snapshotOf({2}, {8}), Black},
      {snapshotOf({18, 342}, {}), Black}, {snapshotOf({1}, {}, 13, 9), Black}};
  for (const auto& e : entries) {
    queries.emplace_back(e.snapshot, e.side);
    for (int kind = 0; kind < 7; ++kind) {
      BoardSnapshot turned;
      if (turnSnapshot(kind, e.snapshot, turned)) queries.emplace_back(turned, e.side);
    }
  }
  for (size_t i = 0; i < queries.size(); ++i) {
    int plainKind = -2;
    int printedKind = -2;
    const int want = plain.findUnderSymmetries(queries[i].first, queries[i].second, plainKind);
    EXPECT_EQ(printed.findUnderSymmetries(queries[i].first, queries[i].second, printedKind), want) << "query " << i;
    EXPECT_EQ(printedKind, plainKind) << "query " << i;
  }
}

// The prints' table compares only part of each print in memory. Two keys whose prints agree in
// the compared bits and in the slot bits must still be told apart, held or written out, whichever
// is added first and whether or not the other is there.
TEST(PatternLibraryTest, KeysWhosePrintsShareTheComparedBitsAreToldApart) {
  // Two keys of three black stones whose prints share the top 16 bits and the 20 bits below
  // the low 12 (those that pick the slot).
  std::unordered_map<std::uint64_t, BoardSnapshot> seen;
  std::mt19937 rng(5);
  BoardSnapshot a;
  BoardSnapshot b;
  while (a.points.empty()) {
    const BoardSnapshot s = snapshotOf({static_cast<Point>(rng() % 361), static_cast<Point>(rng() % 361),
                                        static_cast<Point>(rng() % 361)}, {});
    const std::uint64_t print = keyPrintOf(s, Black);
    const auto [it, added] = seen.emplace((print >> 48) << 20 | (print >> 12 & 0xfffff), s);
    if (!added && !(it->second == s)) {
      a = it->second;
      b = s;
    }
  }
  ASSERT_NE(keyPrintOf(a, Black), keyPrintOf(b, Black));
  for (const size_t cacheBytes : {size_t{1}, size_t{1} << 20}) {
    for (const bool bFirst : {false, true}) {
      SCOPED_TRACE(testing::Message() << "cache " << cacheBytes << (bFirst ? ", b first" : ", a first"));
      ScratchDir dir;
      PatternLibrary lib;
      ASSERT_TRUE(lib.createWarehouse(dir.file("lib.aos")));
      ASSERT_TRUE(lib.enableWriteBack(cacheBytes));
      for (const auto& e : sampleEntries()) ASSERT_TRUE(lib.add(e));
      const BoardSnapshot& one = bFirst ? b : a;
      const BoardSnapshot& other = bFirst ? a : b;
      ASSERT_TRUE(lib.add(entryOf(one, Black, 9)));
      EXPECT_EQ(lib.find(one, Black), 8);
      EXPECT_EQ(lib.find(other, Black), -1);
      ASSERT_TRUE(lib.add(entryOf(other, Black, 10)));
      EXPECT_EQ(lib.find(one, Black), 8);
      EXPECT_EQ(lib.find(other, Black), 9);
      PatternEntry e;
      ASSERT_TRUE(lib.findWithSymmetries(other, Black, e));
      EXPECT_EQ(e, entryOf(other, Black, 10));
    }
  }
}

// Prints saved by an earlier run spare reading every key, but only prints that agree with the
// entries may be taken: a damaged or foreign prints file must never make a stored key unfindable.
// A warehouse library holds its records packed; every record, whatever its values, must be written
// back as it was read.
TEST(PatternLibraryTest, WarehouseIndexRecordsAreWrittenBackAsRead) {
  ScratchDir dir;
  const std::vector<PatternIndexRecord> records = {
      {7, 0, 3, 4, 1},                        // an ordinary record
      {199999, 1, 361, 0, 2},                 // the largest hash and count a board gives
      {1 << 24, 2, 1, 1, 1},                  // hash past the packed width
      {5, 3, -1, 2, 1},                       // negative count
      {5, 4, 65535, 65535, 2},                // counts at the packed limit
      {5, 99, 1, 1, 1},                       // location other than its number
      {-8, 6, 0x7fffffff, 0, 255},            // negative hash, huge count, odd side
      {123, 7, 9, 8, 0},
  };
  std::vector<std::uint8_t> bytes;
  ByteWriter w(bytes);
  PatternFileHeader::write(w, kPatternIndexTag, static_cast<std::int32_t>(records.size()));
  for (const auto& r : records) r.write(w);
  ASSERT_TRUE(writeFileBytes(dir.file("lib.aos_"), bytes));
  {
    PatternLibrary lib;
    ASSERT_TRUE(lib.createWarehouse(dir.file("lib.aos")));
  }
  PatternLibrary lib;
  ASSERT_TRUE(lib.openWarehouse(dir.file("lib.aos"), dir.file("lib.aos_")));
  for (size_t i = 0; i < records.size(); ++i) {
    PatternIndexRecord r;
    ASSERT_TRUE(lib.indexRecord(static_cast<int>(i), r));
    EXPECT_EQ(r, records[i]) << i;
  }
  ASSERT_TRUE(lib.writeIndex(dir.file("again.aos_")));
  EXPECT_EQ(readFileBytes(dir.file("again.aos_")), bytes);
}

TEST(PatternLibraryTest, SavedPrintsAreTakenOnlyWhenTheyFitTheEntries) {
  ScratchDir dir;
  const std::string wh = dir.file("lib.aos");
  const std::string whIndex = dir.file("lib.aos_");
  const std::string prints = dir.file("lib.prints");
  const auto entries = sampleEntries();
  {
    PatternLibrary lib;
    ASSERT_TRUE(lib.createWarehouse(wh));
    ASSERT_TRUE(lib.enableWriteBack(1 << 20));
    for (const auto& e : entries) ASSERT_TRUE(lib.add(e));
    ASSERT_TRUE(lib.writeIndex(whIndex));
    ASSERT_TRUE(lib.writePrints(prints, {}));
  }
  const Bytes good = readFileBytes(prints);
  ASSERT_EQ(good.size(), entries.size() * 8 + 40);
  auto flipped = [&](size_t at) {
    Bytes b = good;
    b[at] ^= 0x5a;
    return b;
  };
  const struct {
    const char* name;
    Bytes file;
  } cases[] = {
      {"as written", good},
      {"cut short", Bytes(good.begin(), good.begin() + 24)},
      {"first print damaged", flipped(3)},
      {"last print damaged", flipped(entries.size() * 8 - 2)},
      {"check damaged", flipped(good.size() - 1)},
      {"a middle print damaged but the ends agree", flipped(20)},
      {"trailing bytes", [&] { Bytes b = good; b.resize(b.size() + 8, 7); return b; }()},
      {"empty", {}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(writeFileBytes(prints, c.file));
    PatternLibrary lib;
    ASSERT_TRUE(lib.openWarehouse(wh, whIndex)) << c.name;
    ASSERT_TRUE(lib.enableWriteBack(1 << 20, prints)) << c.name;
    for (size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(lib.find(entries[i].snapshot, entries[i].side), static_cast<int>(i)) << c.name << " entry " << i;
    }
  }
}

// Writes a library's data file STEM.wp2 and its index STEM.wp2_, and its key file STEM.keys when
// asked, each created afresh.
void writeDataFiles(PatternLibrary& lib, PatternLibrary::DataWrite& how, const std::string& stem, bool withKeys) {
  BinaryFile df;
  BinaryFile xf;
  BinaryFile kf;
  ASSERT_TRUE(df.open(stem + ".wp2", BinaryFile::Mode::Create) && xf.open(stem + ".wp2_", BinaryFile::Mode::Create));
  if (withKeys) {
    ASSERT_TRUE(kf.open(stem + ".keys", BinaryFile::Mode::Create));
    how.keys = &kf;
  }
  EXPECT_TRUE(lib.writeDataTo(df, &xf, &how)) << how.error;
}

// Builds the warehouse lib.aos of the entries and finishes it as a build does: lib.aos_,
// lib.prints and the data files it stamps (lib.wp2, lib.wp2_, and lib.keys when asked).
void buildStampedLibrary(ScratchDir& dir, const std::vector<PatternEntry>& entries, bool withKeys) {
  PatternLibrary lib;
  ASSERT_TRUE(lib.createWarehouse(dir.file("lib.aos")));
  ASSERT_TRUE(lib.enableWriteBack(1 << 20));
  for (const auto& e : entries) ASSERT_TRUE(lib.add(e));
  PatternLibrary::DataWrite how;
  writeDataFiles(lib, how, dir.file("lib"), withKeys);
  ASSERT_EQ(how.stamp.entries, static_cast<int>(entries.size()));
  ASSERT_TRUE(lib.writeIndex(dir.file("lib.aos_")));
  ASSERT_TRUE(lib.writePrints(dir.file("lib.prints"), how.stamp));
}

// A later finish copies the entries it did not change from the last data file, but only from the
// very file that finish stamped: whatever the previous files, the bytes written are those of
// encoding every entry afresh.
TEST(PatternLibraryTest, UnchangedEntriesAreCopiedOnlyFromTheStampedDataFile) {
  ScratchDir dir;
  const std::string wh = dir.file("lib.aos");
  const std::string whIndex = dir.file("lib.aos_");
  const std::string prints = dir.file("lib.prints");
  const std::string data = dir.file("lib.wp2");
  const std::string index = dir.file("lib.wp2_");
  const auto entries = sampleEntries();
  buildStampedLibrary(dir, entries, false);
  if (HasFatalFailure()) return;
  const Bytes stampedData = readFileBytes(data);
  const Bytes stampedIndex = readFileBytes(index);
  auto locationOf = [&](int n) {
    std::int32_t location = 0;
    std::memcpy(&location, stampedIndex.data() + PatternFileHeader::kBytes + n * PatternIndexRecord::kBytes + 4,
                sizeof location);
    return static_cast<size_t>(location);
  };
  auto changed = [](Bytes bytes, size_t at) {
    bytes[at] ^= 1;
    return bytes;
  };
  // Entry 1 ends, and entry 2 begins, 4 bytes late: an index that does not belong to the data.
  Bytes shiftedIndex = stampedIndex;
  const std::int32_t shifted = static_cast<std::int32_t>(locationOf(2) + 4);
  std::memcpy(shiftedIndex.data() + PatternFileHeader::kBytes + 2 * PatternIndexRecord::kBytes + 4, &shifted,
              sizeof shifted);
  const int all = static_cast<int>(entries.size());
  const struct {
    const char* name;
    Bytes previous;
    Bytes previousIndex;
    int copied;
    bool rewritten;  // the check failed at the end and the files were written again
  } cases[] = {{"the stamped file", stampedData, stampedIndex, all - 1, false},
               {"a file changed since, same size", changed(stampedData, stampedData.size() - 3), stampedIndex, 0, true},
               // Entry 3 is changed below, so its old bytes are not copied; they are checked all the same.
               {"a change in bytes not copied", changed(stampedData, locationOf(3) + 2), stampedIndex, 0, true},
               {"a change in the header", changed(stampedData, 5), stampedIndex, 0, true},
               {"an index whose locations do not fit", stampedData, shiftedIndex, all - 3, false},
               {"no file", {}, stampedIndex, 0, false}};
  for (const auto& c : cases) {
    if (c.previous.empty()) std::filesystem::remove(data);
    else ASSERT_TRUE(writeFileBytes(data, c.previous));
    ASSERT_TRUE(writeFileBytes(index, c.previousIndex));
    PatternLibrary lib;
    ASSERT_TRUE(lib.openWarehouse(wh, whIndex)) << c.name;
    ASSERT_TRUE(lib.enableWriteBack(1 << 20, prints)) << c.name;
    ASSERT_TRUE(lib.updateEntry(3, [](PatternEntry& e) { e.occurrences.push_back({9, 9, 9}); }));
    PatternLibrary::DataWrite how;
    how.previousData = data;
    how.previousIndex = index;
    // The files written over are longer than the result: a rewrite after a failed check must
    // leave nothing of them behind.
    ASSERT_TRUE(writeFileBytes(dir.file("next.wp2"), Bytes(stampedData.size() * 2, 0xAB)));
    ASSERT_TRUE(writeFileBytes(dir.file("next.wp2_"), Bytes(stampedIndex.size() * 2, 0xAB)));
    {
      BinaryFile df;
      BinaryFile xf;
      ASSERT_TRUE(df.open(dir.file("next.wp2"), BinaryFile::Mode::ReadWrite) &&
                  xf.open(dir.file("next.wp2_"), BinaryFile::Mode::ReadWrite));
      EXPECT_TRUE(lib.writeDataTo(df, &xf, &how)) << how.error;
    }
    // The reference: every entry encoded afresh.
    PatternLibrary::DataWrite fresh;
    writeDataFiles(lib, fresh, dir.file("ref"), false);
    const Bytes written = readFileBytes(dir.file("next.wp2"));
    const Bytes reference = readFileBytes(dir.file("ref.wp2"));
    const Bytes writtenIndex = readFileBytes(dir.file("next.wp2_"));
    const Bytes referenceIndex = readFileBytes(dir.file("ref.wp2_"));
    ASSERT_GE(written.size(), reference.size()) << c.name;
    ASSERT_GE(writtenIndex.size(), referenceIndex.size()) << c.name;
    // Files are written from offset 0; only a rewrite also cuts them to their length.
    EXPECT_TRUE(std::equal(reference.begin(), reference.end(), written.begin())) << c.name;
    EXPECT_TRUE(std::equal(referenceIndex.begin(), referenceIndex.end(), writtenIndex.begin())) << c.name;
    if (c.rewritten) {
      EXPECT_EQ(written.size(), reference.size()) << c.name;
      EXPECT_EQ(writtenIndex.size(), referenceIndex.size()) << c.name;
    }
    EXPECT_EQ(how.stamp.entries, all) << c.name;
    EXPECT_EQ(how.stamp.bytes, reference.size()) << c.name;
    EXPECT_EQ(how.copied, c.copied) << c.name;
  }
}

// A finish lets held entries go as it writes them: the files are the same as when they stay,
// every stored one goes (the entries changed since the last store stay, and reach the store at
// the next flush), and the library answers as before from the warehouse.
TEST(PatternLibraryTest, LettingHeldEntriesGoAsTheyAreWrittenKeepsTheFiles) {
  ScratchDir dir;
  auto entries = sampleEntries();
  PatternLibrary lib;
  ASSERT_TRUE(lib.createWarehouse(dir.file("lib.aos")));
  ASSERT_TRUE(lib.enableWriteBack(1 << 20));
  for (const auto& e : entries) ASSERT_TRUE(lib.add(e));
  auto write = [&](const std::string& stem, bool drop) {
    BinaryFile df;
    BinaryFile xf;
    BinaryFile kf;
    EXPECT_TRUE(df.open(stem + ".wp2", BinaryFile::Mode::Create) && xf.open(stem + ".wp2_", BinaryFile::Mode::Create) &&
                kf.open(stem + ".keys", BinaryFile::Mode::Create));
    PatternLibrary::DataWrite how;
    how.keys = &kf;
    how.dropStored = drop;
    EXPECT_TRUE(lib.writeDataTo(df, &xf, &how)) << how.error;
    return std::vector<Bytes>{readFileBytes(stem + ".wp2"), readFileBytes(stem + ".wp2_"), readFileBytes(stem + ".keys")};
  };
  const auto kept = write(dir.file("kept"), false);
  // Nothing stored yet: every entry is held changed, and stays.
  EXPECT_EQ(write(dir.file("unstored"), true), kept);
  ASSERT_EQ(lib.find(entries[2].snapshot, entries[2].side), 2);
  const size_t held = lib.cachedBytes();
  ASSERT_GT(held, 0u);
  ASSERT_TRUE(lib.flush());
  // Entry 3 is changed after the flush: it alone stays held.
  ASSERT_TRUE(lib.updateEntry(3, [](PatternEntry& e) { e.occurrences.push_back({3, 3, 3}); }));
  entries[3].occurrences.push_back({3, 3, 3});
  const auto changed = write(dir.file("changed"), false);
  EXPECT_EQ(write(dir.file("dropped"), true), changed);
  EXPECT_GT(lib.cachedBytes(), 0u);
  EXPECT_LT(lib.cachedBytes(), held / 2);
  ASSERT_TRUE(lib.flush());
  EXPECT_EQ(write(dir.file("again"), true), changed);
  EXPECT_EQ(lib.cachedBytes(), 0u);
  expectFindsAll(lib, entries, "after the held entries went");
}

// The key marks of copied entries are taken from the key file written with the last pair only
// while it is that pair's (header, the fold of its index, the marks sampled): whatever the key
// file, the one written is that of hashing every key afresh.
TEST(PatternLibraryTest, CopiedEntriesTakeTheirMarksOnlyFromTheKeyFileOfThePair) {
  ScratchDir dir;
  const std::string wh = dir.file("lib.aos");
  const std::string whIndex = dir.file("lib.aos_");
  const std::string prints = dir.file("lib.prints");
  const std::string data = dir.file("lib.wp2");
  const std::string index = dir.file("lib.wp2_");
  const std::string keys = dir.file("lib.keys");
  const auto entries = sampleEntries();
  buildStampedLibrary(dir, entries, true);
  if (HasFatalFailure()) return;
  const Bytes stampedKeys = readFileBytes(keys);
  ASSERT_EQ(stampedKeys.size(), PatternKeyFileHeader::kBytes + entries.size() * 2);
  auto changed = [](Bytes bytes, size_t at) {
    bytes[at] ^= 1;
    return bytes;
  };
  const int all = static_cast<int>(entries.size());
  const struct {
    const char* name;
    Bytes previousKeys;  // none: no key file
    int copied;
    bool rewritten;  // the check failed at the end and the files were written again
  } cases[] = {{"the pair's key file", stampedKeys, all - 1, false},
               {"the first mark copied changed", changed(stampedKeys, PatternKeyFileHeader::kBytes), 0, true},
               {"the fold of another index", changed(stampedKeys, 21), 0, true},
               {"another data size in the header", changed(stampedKeys, 12), all - 1, false},
               {"cut short", Bytes(stampedKeys.begin(), stampedKeys.end() - 2), all - 1, false},
               {"no key file", {}, all - 1, false}};
  for (const auto& c : cases) {
    if (c.previousKeys.empty()) std::filesystem::remove(keys);
    else ASSERT_TRUE(writeFileBytes(keys, c.previousKeys));
    PatternLibrary lib;
    ASSERT_TRUE(lib.openWarehouse(wh, whIndex)) << c.name;
    ASSERT_TRUE(lib.enableWriteBack(1 << 20, prints)) << c.name;
    ASSERT_TRUE(lib.updateEntry(3, [](PatternEntry& e) { e.occurrences.push_back({9, 9, 9}); }));
    PatternLibrary::DataWrite how;
    how.previousData = data;
    how.previousIndex = index;
    how.previousKeys = keys;
    writeDataFiles(lib, how, dir.file("next"), true);
    PatternLibrary::DataWrite fresh;
    writeDataFiles(lib, fresh, dir.file("ref"), true);
    for (const char* extension : {".wp2", ".wp2_", ".keys"})
      EXPECT_EQ(readFileBytes(dir.file("next") + extension), readFileBytes(dir.file("ref") + extension))
          << c.name << " " << extension;
    EXPECT_EQ(how.copied, c.copied) << c.name;
    EXPECT_EQ(how.copied == 0, c.rewritten) << c.name;
  }
}

TEST(PatternLibraryTest, EntryBeyondOneMebibyteIsStoredWhole) {
  ScratchDir dir;
  PatternLibrary lib;
  ASSERT_TRUE(lib.createWarehouse(dir.file("big.aos")));
  PatternEntry e = entryOf(snapshotOf({}, {}), Black, 3);
  ASSERT_TRUE(lib.add(e));
  ASSERT_TRUE(lib.add(entryOf(snapshotOf({5}, {}), White, 2)));
  for (int i = 0; i < 200000; ++i)
    e.occurrences.push_back({i, static_cast<std::int16_t>(i % 50), static_cast<std::int16_t>(i % 361)});
  ASSERT_TRUE(lib.storeEntry(0, e));  // about 1.6 MB in warehouse form
  PatternEntry back;
  ASSERT_TRUE(lib.readEntry(0, back));
  EXPECT_EQ(back, e);

  // Shrinking it again must not leave stale bytes of the large value behind.
  e.occurrences.resize(3);
  ASSERT_TRUE(lib.storeEntry(0, e));
  ASSERT_TRUE(lib.readEntry(0, back));
  EXPECT_EQ(back, e);
  PatternEntry other;
  ASSERT_TRUE(lib.readEntry(1, other));
  EXPECT_EQ(other.snapshot, snapshotOf({5}, {}));
}

// Bytes of a valid data file holding the sample entries, with the offset of each entry.
Bytes sampleDataFile(ScratchDir& dir, std::vector<size_t>& offsets) {
  PatternLibrary mem;
  for (const auto& e : sampleEntries()) EXPECT_TRUE(mem.add(e));
  EXPECT_TRUE(mem.writeData(dir.file("src.wp2")));
  PatternLibrary scanned;
  EXPECT_TRUE(scanned.openData(dir.file("src.wp2")));
  offsets.clear();
  for (const auto& r : scanned.indexRecords()) offsets.push_back(static_cast<size_t>(r.location));
  return readFileBytes(dir.file("src.wp2"));
}

// Writes the sample data file as lib.wp2 and its index as lib.wp2_; the index file's bytes.
Bytes sampleIndexFile(ScratchDir& dir, std::vector<size_t>& offsets) {
  EXPECT_TRUE(writeFileBytes(dir.file("lib.wp2"), sampleDataFile(dir, offsets)));
  PatternLibrary scanned;
  EXPECT_TRUE(scanned.openData(dir.file("lib.wp2")));
  EXPECT_TRUE(scanned.writeIndex(dir.file("lib.wp2_")));
  return readFileBytes(dir.file("lib.wp2_"));
}

void putI32(Bytes& b, size_t pos, std::int32_t v) { std::memcpy(b.data() + pos, &v, 4); }

TEST(PatternLibraryTest, DamagedDataFileKeepsTheEntriesBeforeTheDamage) {
  ScratchDir dir;
  std::vector<size_t> at;
  const Bytes good = sampleDataFile(dir, at);
  struct Case {
    const char* name;
    std::function<void(Bytes&)> apply;
    bool opens;
    int entries;
  };
  const std::vector<Case> cases = {
      {"intact", [](Bytes&) {}, true, 8},
      {"wrong tag", [](Bytes& b) { b[0] = 'x'; }, false, 0},
      {"double not zero", [](Bytes& b) { b[26] = 1; }, false, 0},
      {"negative count", [&](Bytes& b) { putI32(b, 28, -1); }, false, 0},
      {"short header", [](Bytes& b) { b.resize(20); }, false, 0},
      {"count larger than the file", [&](Bytes& b) { putI32(b, 28, 0x7fffffff); }, true, 8},
      {"count smaller than the entries", [&](Bytes& b) { putI32(b, 28, 3); }, true, 3},
      {"last entry truncated", [&](Bytes& b) { b.resize(b.size() - 3); }, true, 7},
      {"huge stone count in entry 2", [&](Bytes& b) { putI32(b, at[2] + 8, 0x3fffffff); }, true, 2},
      {"negative candidate count in entry 3", [&](Bytes& b) { putI32(b, at[3] + 16 + 8 + 1, -4); }, true, 3},
      {"huge occurrence count in entry 5", [&](Bytes& b) { putI32(b, at[6] - 4 - 8 * 1, 0x7ffffff0); }, true, 5},
  };
  for (const auto& c : cases) {
    Bytes damaged = good;
    c.apply(damaged);
    ASSERT_TRUE(writeFileBytes(dir.file("bad.wp2"), damaged));
    PatternLibrary lib;
    EXPECT_EQ(lib.openData(dir.file("bad.wp2")), c.opens) << c.name;
    EXPECT_EQ(lib.entryCount(), c.entries) << c.name;
    const auto entries = sampleEntries();
    for (int i = 0; i < lib.entryCount(); ++i)
      EXPECT_EQ(lib.find(entries[static_cast<size_t>(i)].snapshot, entries[static_cast<size_t>(i)].side), i) << c.name;
  }
}

TEST(PatternLibraryTest, DamagedIndexFilesAreRejected) {
  ScratchDir dir;
  std::vector<size_t> at;
  const Bytes good = sampleIndexFile(dir, at);
  struct Case {
    const char* name;
    std::function<void(Bytes&)> apply;
    bool opens;
  };
  const std::vector<Case> cases = {
      {"intact", [](Bytes&) {}, true},
      {"data tag instead of index tag", [](Bytes& b) { std::memcpy(b.data(), "wpbin\0\0", 7); }, false},
      {"double not zero", [](Bytes& b) { b[27] = 0x3f; }, false},
      {"count larger than the file", [&](Bytes& b) { putI32(b, 28, 0x7fffffff); }, false},
      {"negative count", [&](Bytes& b) { putI32(b, 28, -3); }, false},
      {"one record short", [](Bytes& b) { b.resize(b.size() - 1); }, false},
      {"empty file", [](Bytes& b) { b.clear(); }, false},
  };
  for (const auto& c : cases) {
    Bytes damaged = good;
    c.apply(damaged);
    ASSERT_TRUE(writeFileBytes(dir.file("bad.wp2_"), damaged));
    PatternLibrary lib;
    EXPECT_EQ(lib.openIndex(dir.file("bad.wp2_"), dir.file("lib.wp2")), c.opens) << c.name;
    EXPECT_EQ(lib.entryCount(), c.opens ? 8 : 0) << c.name;
    EXPECT_EQ(lib.mode(), c.opens ? Mode::Index : Mode::Memory) << c.name;
  }
  PatternLibrary lib;
  EXPECT_FALSE(lib.openIndex(dir.file("lib.wp2_"), dir.file("missing.wp2")));
}

TEST(PatternLibraryTest, IndexRecordsPointingAtGarbageFindNothing) {
  ScratchDir dir;
  std::vector<size_t> at;
  Bytes index = sampleIndexFile(dir, at);
  // Record 2 now points into the middle of another entry, record 3 past the end, record 4 below 0.
  const std::int32_t locations[3] = {static_cast<std::int32_t>(at[2] + 3), 0x7ffffff0, -40};
  for (int i = 0; i < 3; ++i) std::memcpy(index.data() + 32 + 17 * (2 + i) + 4, &locations[i], 4);
  ASSERT_TRUE(writeFileBytes(dir.file("bad.wp2_"), index));
  PatternLibrary lib;
  ASSERT_TRUE(lib.openIndex(dir.file("bad.wp2_"), dir.file("lib.wp2")));
  const auto entries = sampleEntries();
  for (int i = 2; i < 5; ++i) {
    EXPECT_EQ(lib.find(entries[static_cast<size_t>(i)].snapshot, Black), -1) << i;
    PatternEntry e;
    EXPECT_FALSE(lib.readEntry(i, e)) << i;
  }
  EXPECT_EQ(lib.find(entries[5].snapshot, Black), 5);
}

TEST(PatternLibraryTest, RecordsOutOfFileOrderKeepTheirNumbers) {
  // Records lie in the order of the data file; one swapped pair (not at the ends, which are
  // checked against the data file) still numbers each entry by its record.
  ScratchDir dir;
  std::vector<size_t> at;
  Bytes index = sampleIndexFile(dir, at);
  Bytes swapped = index;
  std::memcpy(swapped.data() + 32 + 17 * 2, index.data() + 32 + 17 * 3, 17);
  std::memcpy(swapped.data() + 32 + 17 * 3, index.data() + 32 + 17 * 2, 17);
  ASSERT_TRUE(writeFileBytes(dir.file("swapped.wp2_"), swapped));
  PatternLibrary lib;
  ASSERT_TRUE(lib.openIndex(dir.file("swapped.wp2_"), dir.file("lib.wp2")));
  const auto entries = sampleEntries();
  for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
    const int number = i == 2 ? 3 : i == 3 ? 2 : i;
    EXPECT_EQ(lib.find(entries[static_cast<size_t>(i)].snapshot, entries[static_cast<size_t>(i)].side), number) << i;
    PatternEntry e;
    ASSERT_TRUE(lib.readEntry(number, e)) << i;
    EXPECT_EQ(e, entries[static_cast<size_t>(i)]) << i;
  }
}

}  // namespace
}  // namespace mh
