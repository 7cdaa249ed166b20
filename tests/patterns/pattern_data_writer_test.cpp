#include "patterns/pattern_data_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "patterns/pattern_file_header.h"
#include "patterns/previous_data_file.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::readFileBytes;
using test::writeFileBytes;
using test::ScratchDir;

PatternEntry entryOf(int stones, int candidates, std::string text, int occurrences) {
  PatternEntry e;
  e.snapshot.width = 19;
  e.snapshot.height = 19;
  e.snapshot.blackCount = (stones + 1) / 2;
  e.snapshot.whiteCount = stones / 2;
  for (int i = 0; i < stones; ++i) e.snapshot.points.push_back(i * 7 % 361);
  e.side = static_cast<std::uint8_t>(1 + stones % 2);
  for (int i = 0; i < candidates; ++i) e.candidates.push_back({i == 0 ? -1 : i * 3, 10 - i, 5 - i, 4 - i});
  e.text = std::move(text);
  for (int i = 0; i < occurrences; ++i)
    e.occurrences.push_back({100000 + i, static_cast<std::int16_t>(i), static_cast<std::int16_t>(i == 1 ? -1 : 300)});
  return e;
}

Bytes warehouseValue(const PatternEntry& e) {
  Bytes b;
  ByteWriter w(b);
  EXPECT_TRUE(e.write(w, PatternEntryForm::Warehouse));
  return b;
}

// The stamp of a data file of count entries, computed from its bytes alone.
DataFileStamp stampOf(const Bytes& data, int count) {
  DataCheck check;
  check.fold(data);
  return {count, data.size(), check.value()};
}

// The data and index files a writer leaves after addEach added its entries.
struct Written {
  Bytes data;
  Bytes index;
};
template <class AddEach>
Written writeWith(const ScratchDir& dir, const std::string& name, int count, AddEach addEach) {
  BinaryFile data;
  BinaryFile index;
  EXPECT_TRUE(data.open(dir.file(name), BinaryFile::Mode::Create));
  EXPECT_TRUE(index.open(dir.file(name + "_"), BinaryFile::Mode::Create));
  PatternDataWriter writer(data, &index, count);
  addEach(writer);
  EXPECT_TRUE(writer.finish()) << writer.error();
  EXPECT_TRUE(writer.error().empty()) << writer.error();
  EXPECT_TRUE(data.close() && index.close());
  return {readFileBytes(dir.file(name)), readFileBytes(dir.file(name + "_"))};
}

// An entry copied across as its warehouse value gives the data file and index of the entry
// encoded afresh: the text length widened, bytes after the entry left out.
TEST(PatternDataWriterTest, AWarehouseValueGivesTheFilesOfTheEncodedEntry) {
  const std::vector<PatternEntry> entries = {
      entryOf(0, 1, "", 1),     entryOf(1, 0, "", 0), entryOf(5, 3, "GB text", 2),
      entryOf(40, 12, "", 300), entryOf(2, 1, std::string(4464, 'x'), 1),
  };
  ScratchDir dir;
  const auto count = static_cast<int>(entries.size());
  const Written encoded = writeWith(dir, "encoded", count, [&](PatternDataWriter& w) {
    for (const auto& e : entries) EXPECT_TRUE(w.add(e));
  });
  const Written copied = writeWith(dir, "copied", count, [&](PatternDataWriter& w) {
    for (const auto& e : entries) {
      Bytes value = warehouseValue(e);
      value.insert(value.end(), {0xEE, 0xEE, 0xEE});  // not part of the entry
      EXPECT_TRUE(w.addWarehouseValue(value));
    }
  });
  EXPECT_EQ(copied.data, encoded.data);
  EXPECT_EQ(copied.index, encoded.index);
}

// A value that does not read as an entry is refused as reading it would refuse it, and leaves the
// writer as it was: the file written afterwards holds only the entries that were taken.
TEST(PatternDataWriterTest, AValueThatDoesNotReadIsRefusedAndWritesNothing) {
  const PatternEntry good = entryOf(5, 3, "ab", 2);
  const Bytes whole = warehouseValue(good);
  std::vector<std::pair<std::string, Bytes>> broken;
  for (size_t n = 0; n < whole.size(); n += 3)
    broken.push_back({"cut to " + std::to_string(n), Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n))});
  const size_t candidatesAt = good.snapshot.byteSize() + 1;
  const size_t textLengthAt = candidatesAt + 4 + 3 * PatternCandidate::kBytes;
  const size_t occurrencesAt = textLengthAt + 2 + 2;
  const std::int32_t minus = -1;
  const std::int32_t huge = 1 << 28;
  for (const auto& [name, at, value] : {std::tuple{"negative black count", size_t{8}, minus},
                                        std::tuple{"negative candidate count", candidatesAt, minus},
                                        std::tuple{"candidate count past the end", candidatesAt, huge},
                                        std::tuple{"negative occurrence count", occurrencesAt, minus},
                                        std::tuple{"occurrence count past the end", occurrencesAt, huge}}) {
    Bytes b = whole;
    std::memcpy(b.data() + at, &value, sizeof value);
    broken.push_back({name, b});
  }
  broken.push_back({"text longer than what follows", whole});
  std::memset(broken.back().second.data() + textLengthAt, 0xff, 2);

  ScratchDir dir;
  const Written expected = writeWith(dir, "expected", 1, [&](PatternDataWriter& w) { EXPECT_TRUE(w.add(good)); });
  const Written got = writeWith(dir, "got", 1, [&](PatternDataWriter& w) {
    for (const auto& [name, value] : broken) EXPECT_FALSE(w.addWarehouseValue(value)) << name;
    EXPECT_TRUE(w.addWarehouseValue(whole));
  });
  EXPECT_EQ(got.data, expected.data);
  EXPECT_EQ(got.index, expected.index);
}

// The previous data file is read once, through windows of any size, entries straddling their
// edges; skipped entries are read too, since the check covers every byte. A byte changed anywhere
// (header, an entry not taken, an entry taken, the last byte) fails the check, which is what
// keeps a copy from a changed file from standing.
TEST(PreviousDataFileTest, EntriesComeWholeAndEveryByteIsChecked) {
  const std::vector<PatternEntry> entries = {
      entryOf(0, 1, "", 1),    entryOf(1, 0, "", 0),  entryOf(5, 3, "GB text", 2),
      entryOf(40, 12, "", 30), entryOf(2, 1, std::string(4464, 'x'), 1), entryOf(3, 2, "", 3),
  };
  ScratchDir dir;
  const auto count = static_cast<int>(entries.size());
  const Written written = writeWith(dir, "lib.wp2", count, [&](PatternDataWriter& w) {
    for (const auto& e : entries) EXPECT_TRUE(w.add(e));
  });
  const DataFileStamp stamp = stampOf(written.data, count);
  std::vector<std::uint64_t> at;
  for (int n = 0; n < count; ++n) {
    std::int32_t location = 0;
    std::memcpy(&location, written.index.data() + PatternFileHeader::kBytes + n * PatternIndexRecord::kBytes + 4, sizeof location);
    at.push_back(static_cast<std::uint64_t>(location));
  }
  at.push_back(written.data.size());
  constexpr int kSkipped = 2;

  const struct {
    const char* name;
    size_t flip;  // the byte changed, or none
  } cases[] = {{"as stamped", SIZE_MAX},
               {"header", 3},
               {"an entry not taken", static_cast<size_t>(at[kSkipped] + 5)},
               {"an entry taken", static_cast<size_t>(at[4] + 100)},
               {"the last byte", written.data.size() - 1}};
  for (const auto& c : cases) {
    Bytes data = written.data;
    if (c.flip != SIZE_MAX) data[c.flip] ^= 0x10;
    ASSERT_TRUE(writeFileBytes(dir.file("lib.wp2"), data));
    for (const size_t window : {size_t{1}, size_t{7}, size_t{100}, PreviousDataFile::kWindow}) {
      PreviousDataFile old(window);
      ASSERT_TRUE(old.open(dir.file("lib.wp2"), dir.file("lib.wp2_"), stamp, count)) << c.name;
      for (int n = 0; n < count; ++n) {
        if (n == kSkipped) continue;
        PatternIndexRecord record;
        const auto bytes = old.entry(n, record);
        const Bytes expected(data.begin() + static_cast<std::ptrdiff_t>(at[static_cast<size_t>(n)]),
                             data.begin() + static_cast<std::ptrdiff_t>(at[static_cast<size_t>(n) + 1]));
        // A changed byte inside an entry's stone counts would make it no whole entry; none here.
        EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), expected) << c.name << ", window " << window << ", entry " << n;
        EXPECT_EQ(record.location, static_cast<std::int32_t>(at[static_cast<size_t>(n)])) << c.name;
      }
      EXPECT_EQ(old.checked(), c.flip == SIZE_MAX) << c.name << ", window " << window;
      PatternIndexRecord record;
      EXPECT_TRUE(old.entry(count - 1, record).empty()) << c.name << ": nothing is handed out once checked";
    }
  }
}

// Entries copied from the previous data file, in runs of every length (short ones buffered, long
// ones written where they lie) between entries written afresh, give the files and the stamp of
// writing every entry afresh; the previous file's check comes out as a reading of it alone gives.
TEST(PreviousDataFileTest, CopiedRunsWriteTheFilesOfFreshEntries) {
  std::vector<PatternEntry> entries;
  for (int i = 0; i < 700; ++i) entries.push_back(entryOf(1 + i % 23, i % 4, i % 97 == 0 ? "text" : "", 1 + i % 40));
  entries[350] = entryOf(2, 1, std::string(70000, 'y'), 1);  // one entry longer than a buffered run
  ScratchDir dir;
  const auto count = static_cast<int>(entries.size());
  const Written before = writeWith(dir, "old.wp2", count, [&](PatternDataWriter& w) {
    for (const auto& e : entries) EXPECT_TRUE(w.add(e));
  });
  const DataFileStamp stamp = stampOf(before.data, count);

  // Which entries change: none, a few scattered, every other one, runs around the long entry.
  const struct {
    const char* name;
    bool (*changed)(int n);
  } cases[] = {{"none", [](int) { return false; }},
               {"scattered", [](int n) { return n % 131 == 7; }},
               {"every other", [](int n) { return n % 2 == 1; }},
               {"around the long entry", [](int n) { return n == 349 || n == 351 || n >= 690; }},
               {"all", [](int) { return true; }}};
  for (const auto& c : cases) {
    std::vector<PatternEntry> now = entries;
    for (int n = 0; n < count; ++n)
      if (c.changed(n)) now[static_cast<size_t>(n)].occurrences.push_back({7, 1, 2});
    now.push_back(entryOf(6, 2, "new", 3));
    const auto nowCount = static_cast<int>(now.size());
    const Written fresh = writeWith(dir, "fresh.wp2", nowCount, [&](PatternDataWriter& w) {
      for (const auto& e : now) EXPECT_TRUE(w.add(e));
    });
    for (const size_t window : {size_t{100}, size_t{4096}, PreviousDataFile::kWindow}) {
      PreviousDataFile old(window);
      ASSERT_TRUE(old.open(dir.file("old.wp2"), dir.file("old.wp2_"), stamp, count)) << c.name;
      BinaryFile data;
      BinaryFile index;
      ASSERT_TRUE(data.open(dir.file("copied.wp2"), BinaryFile::Mode::Create));
      ASSERT_TRUE(index.open(dir.file("copied.wp2_"), BinaryFile::Mode::Create));
      PatternDataWriter writer(data, &index, nowCount);
      for (int n = 0; n < nowCount; ++n) {
        PatternIndexRecord record;
        const auto bytes = n < count && !c.changed(n) ? old.entry(n, record) : std::span<const std::uint8_t>{};
        if (!bytes.empty()) EXPECT_TRUE(writer.addEncoded(bytes, record, nullptr, &old)) << c.name << " " << n;
        else EXPECT_TRUE(writer.add(now[static_cast<size_t>(n)])) << c.name << " " << n;
      }
      ASSERT_TRUE(writer.finish()) << writer.error();
      EXPECT_TRUE(old.checked()) << c.name << ", window " << window;
      ASSERT_TRUE(data.close() && index.close());
      EXPECT_EQ(readFileBytes(dir.file("copied.wp2")), fresh.data) << c.name << ", window " << window;
      EXPECT_EQ(readFileBytes(dir.file("copied.wp2_")), fresh.index) << c.name << ", window " << window;
      EXPECT_EQ(writer.stamp(), stampOf(fresh.data, nowCount)) << c.name;
    }
  }
}

// Folding the same bytes into two checks at once gives each the value of its own fold, whatever
// the two checks' positions.
TEST(DataCheckTest, FoldingIntoTwoChecksAtOnceGivesEachItsOwnValue) {
  Bytes bytes(1000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
  for (size_t x = 0; x < 8; ++x) {
    for (size_t y = 0; y < 8; ++y) {
      for (const size_t length : {size_t{0}, size_t{3}, size_t{4}, size_t{9}, size_t{500}}) {
        DataCheck a, b, alone, alsoAlone;
        a.fold(std::span<const std::uint8_t>(bytes).first(x));
        alone.fold(std::span<const std::uint8_t>(bytes).first(x));
        b.fold(std::span<const std::uint8_t>(bytes).subspan(100, y));
        alsoAlone.fold(std::span<const std::uint8_t>(bytes).subspan(100, y));
        const auto run = std::span<const std::uint8_t>(bytes).subspan(200, length);
        DataCheck::foldBoth(a, b, run);
        alone.fold(run);
        alsoAlone.fold(run);
        EXPECT_EQ(a.value(), alone.value()) << x << " " << y << " " << length;
        EXPECT_EQ(b.value(), alsoAlone.value()) << x << " " << y << " " << length;
      }
    }
  }
}

}  // namespace
}  // namespace mh
