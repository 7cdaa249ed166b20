#include "patterns/pattern_entry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/board.h"
#include "patterns/pattern_file_header.h"
#include "patterns/pattern_index_record.h"

namespace mh {
namespace {

using Bytes = std::vector<std::uint8_t>;

BoardSnapshot snapshotOf(const PointList& black, const PointList& white, int size = 19) {
  Board b(size, size);
  b.setPoints(black, Black);
  b.setPoints(white, White);
  return b.snapshot();
}

PatternEntry sampleEntry(int candidates, int occurrences) {
  PatternEntry e;
  e.snapshot = snapshotOf({72, 288}, {60});
  e.side = White;
  for (int i = 0; i < candidates; ++i) e.candidates.push_back({i == 0 ? -1 : i, 100 - i, 50 - i, 10});
  for (int i = 0; i < occurrences; ++i)
    e.occurrences.push_back({i * 3, static_cast<std::int16_t>(i % 300), static_cast<std::int16_t>(i % 361 - 1)});
  return e;
}

std::string order(const PatternEntry& e) {
  std::string out;
  for (const auto& c : e.candidates) out += std::to_string(c.point) + " ";
  return out;
}

TEST(PatternEntryTest, CandidatesInsertAfterGreaterOrEqual) {
  struct Case {
    const char* name;
    std::vector<PatternCandidate> inserts;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"played decides first", {{1, 2, 0, 0}, {2, 5, 0, 0}, {3, 3, 9, 0}}, "2 3 1 "},
      {"wins break ties", {{1, 4, 1, 0}, {2, 4, 3, 0}, {3, 4, 2, 0}}, "2 3 1 "},
      {"equal pairs keep arrival order", {{1, 4, 2, 0}, {2, 4, 2, 0}, {3, 4, 2, 1}}, "1 2 3 "},
      {"new lowest goes last", {{1, 9, 9, 0}, {2, 1, 0, 0}}, "1 2 "},
      {"new highest goes first", {{1, 1, 0, 0}, {2, 1, 1, 0}}, "2 1 "},
  };
  for (const auto& c : cases) {
    PatternEntry e;
    for (const auto& cand : c.inserts) e.insertCandidate(cand);
    EXPECT_EQ(order(e), c.expected) << c.name;
  }
}

TEST(PatternEntryTest, TakeCandidateRemovesItOrStartsFromZero) {
  PatternEntry e;
  e.insertCandidate({5, 3, 1, 1});
  e.insertCandidate({6, 2, 0, 0});
  EXPECT_EQ(e.takeCandidate(5), (PatternCandidate{5, 3, 1, 1}));
  EXPECT_EQ(order(e), "6 ");
  EXPECT_EQ(e.takeCandidate(-1), (PatternCandidate{-1, 0, 0, 0}));
  EXPECT_EQ(e.candidates.size(), 1u);
}

TEST(PatternEntryTest, RoundTripsThroughBothForms) {
  for (auto form : {PatternEntryForm::DataFile, PatternEntryForm::Warehouse}) {
    for (auto [cands, occs] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{0, 3}, std::pair{37, 5000}}) {
      PatternEntry e = sampleEntry(cands, occs);
      e.text = cands % 2 ? "\xc6\xe5 text" : "";
      Bytes bytes;
      ByteWriter w(bytes);
      ASSERT_TRUE(e.write(w, form));
      ByteReader r(bytes);
      PatternEntry back;
      ASSERT_TRUE(back.read(r, form)) << cands << "/" << occs;
      EXPECT_TRUE(r.atEnd());
      EXPECT_EQ(back, e) << cands << "/" << occs;
    }
  }
}

TEST(PatternEntryTest, ExactBytesOfBothForms) {
  PatternEntry e;
  e.snapshot = snapshotOf({1}, {}, 9);
  e.side = Black;
  e.candidates = {{2, 3, 1, 1}};
  e.text = "ab";
  e.occurrences = {{7, 4, 2}};
  const Bytes common = {9, 0, 0, 0, 9, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,  // snapshot
                        1,                                                          // side
                        1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};  // candidates
  const Bytes tail = {'a', 'b', 1, 0, 0, 0, 7, 0, 0, 0, 4, 0, 2, 0};
  Bytes data = common;
  data.insert(data.end(), {2, 0, 0, 0});
  data.insert(data.end(), tail.begin(), tail.end());
  Bytes warehouse = common;
  warehouse.insert(warehouse.end(), {2, 0});
  warehouse.insert(warehouse.end(), tail.begin(), tail.end());

  Bytes out;
  ByteWriter w(out);
  ASSERT_TRUE(e.write(w, PatternEntryForm::DataFile));
  EXPECT_EQ(out, data);
  out.clear();
  ASSERT_TRUE(e.write(w, PatternEntryForm::Warehouse));
  EXPECT_EQ(out, warehouse);
}

TEST(PatternEntryTest, WarehouseFormRefusesTextBeyondSixteenBits) {
  PatternEntry e = sampleEntry(1, 1);
  e.text.assign(65536, 'x');
  Bytes out;
  ByteWriter w(out);
  EXPECT_FALSE(e.write(w, PatternEntryForm::Warehouse));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(e.write(w, PatternEntryForm::DataFile));
  e.snapshot.blackCount = 5;  // counts disagree with the points
  out.clear();
  EXPECT_FALSE(e.write(w, PatternEntryForm::DataFile));
  EXPECT_TRUE(out.empty());
}

// Bytes of a data-form entry with one black stone, then the rest as given.
Bytes entryWith(std::initializer_list<std::int32_t> afterSide) {
  Bytes b;
  ByteWriter w(b);
  for (std::int32_t v : {19, 19, 1, 0, 40}) w.writeI32(v);
  w.writeU8(1);
  for (std::int32_t v : afterSide) w.writeI32(v);
  return b;
}

TEST(PatternEntryTest, HostileDataFormIsRejectedWithoutLargeAllocations) {
  struct Case {
    const char* name;
    Bytes bytes;
    bool ok;
  };
  Bytes negativeStones;
  {
    ByteWriter w(negativeStones);
    for (std::int32_t v : {19, 19, -1, 0}) w.writeI32(v);
  }
  Bytes hugeStones;
  {
    ByteWriter w(hugeStones);
    for (std::int32_t v : {19, 19, 0x40000000, 0x40000000}) w.writeI32(v);
  }
  const std::vector<Case> cases = {
      {"well formed, empty lists", entryWith({0, 0, 0}), true},
      {"negative text length is no text", entryWith({0, -5, 0}), true},
      {"negative candidate count", entryWith({-1, 0, 0}), false},
      {"candidate count beyond the bytes", entryWith({0x7fffffff, 0, 0}), false},
      {"occurrence count beyond the bytes", entryWith({0, 0, 0x10000000}), false},
      {"negative occurrence count", entryWith({0, 0, -2}), false},
      {"text longer than the bytes", entryWith({0, 0x7ffffff0, 0}), false},
      {"missing occurrence count", entryWith({0, 0}), false},
      {"one candidate short", entryWith({1, 5, 1, 1}), false},
      {"negative stone count", negativeStones, false},
      {"stone counts beyond the bytes", hugeStones, false},
      {"empty", {}, false},
  };
  for (const auto& c : cases) {
    ByteReader r(c.bytes);
    PatternEntry e;
    EXPECT_EQ(e.read(r, PatternEntryForm::DataFile), c.ok) << c.name;
    EXPECT_LE(e.candidates.capacity() * sizeof(PatternCandidate) + e.occurrences.capacity() * 8 + e.text.capacity(),
              c.bytes.size() + 64)
        << c.name;
  }
}

TEST(PatternEntryTest, TransformMapsSnapshotCandidatesAndOccurrences) {
  PatternEntry e;
  e.snapshot = snapshotOf({0, 20}, {3});  // (0,0), (1,1) black; (3,0) white
  e.side = Black;
  e.candidates = {{2, 5, 1, 1}, {-1, 1, 0, 0}};
  e.occurrences = {{1, 9, 2}, {2, 4, -1}};
  ASSERT_TRUE(e.transform(0, false));  // flip x
  EXPECT_EQ(e.snapshot.points, (PointList{18, 36, 15}));
  EXPECT_EQ(e.candidates[0].point, 16);
  EXPECT_EQ(e.candidates[1].point, -1);
  EXPECT_EQ(e.occurrences[0].point, 16);
  EXPECT_EQ(e.occurrences[1].point, -1);
  ASSERT_TRUE(e.transform(0, true));
  EXPECT_EQ(e.snapshot.points, (PointList{0, 20, 3}));
  EXPECT_EQ(e.candidates[0].point, 2);

  // Swap and flip y do not commute: the inverse must undo the forward map exactly.
  const PatternEntry before = e;
  ASSERT_TRUE(e.transform(5, false));
  ASSERT_TRUE(e.transform(5, true));
  EXPECT_EQ(e, before);
}

TEST(PatternFileHeaderTest, AcceptsOnlyTheExactTagAndZero) {
  Bytes good;
  ByteWriter w(good);
  PatternFileHeader::write(w, kPatternIndexTag, 3);
  ASSERT_EQ(good.size(), 32u);
  Bytes expected(32, 0);
  std::memcpy(expected.data(), "wpindex", 7);
  expected[28] = 3;
  EXPECT_EQ(good, expected);

  struct Case {
    const char* name;
    size_t at;
    std::uint8_t value;
    bool ok;
  };
  const std::vector<Case> cases = {
      {"unchanged", 0, 'w', true},
      {"other tag", 1, 'q', false},
      {"longer tag", 7, 'x', false},
      {"double not zero", 27, 0x3f, false},
      {"negative zero", 27, 0x80, true},
      {"negative count", 31, 0x80, false},
  };
  for (const auto& c : cases) {
    Bytes b = good;
    b[c.at] = c.value;
    ByteReader r(b);
    std::int32_t count = -1;
    EXPECT_EQ(PatternFileHeader::read(r, kPatternIndexTag, count), c.ok) << c.name;
    if (c.ok) {
      EXPECT_EQ(count, 3) << c.name;
    }
  }
  Bytes noNul(32, 'w');
  ByteReader r(noNul);
  std::int32_t count = 0;
  EXPECT_FALSE(PatternFileHeader::read(r, "wwwwwwwwwwwwwwwwwwww", count));
  ByteReader shortHeader(std::span<const std::uint8_t>(good).first(31));
  EXPECT_FALSE(PatternFileHeader::read(shortHeader, kPatternIndexTag, count));
}

TEST(PatternIndexRecordTest, SeventeenBytesPacked) {
  const PatternIndexRecord rec{199999, 0x01020304, 7, 8, 2};
  Bytes b;
  ByteWriter w(b);
  rec.write(w);
  EXPECT_EQ(b, (Bytes{0x3f, 0x0d, 0x03, 0x00, 4, 3, 2, 1, 7, 0, 0, 0, 8, 0, 0, 0, 2}));
  ByteReader r(b);
  PatternIndexRecord back;
  ASSERT_TRUE(back.read(r));
  EXPECT_EQ(back, rec);
}

}  // namespace
}  // namespace mh
