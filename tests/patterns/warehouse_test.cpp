#include "patterns/warehouse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>

#include "support/scratch_dir.h"

namespace mh {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::readFileBytes;
using test::ScratchDir;
using test::writeFileBytes;

Bytes filled(size_t n, std::uint8_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(seed + i * 7);
  return b;
}

void putI32(Bytes& b, size_t at, std::int32_t v) { std::memcpy(b.data() + at, &v, 4); }

// The blocks of the chain at start, following next links through the table.
std::vector<BlockHeader> chainOf(const BlockStore& store, std::int32_t start) {
  std::vector<BlockHeader> out;
  for (const auto& h : store.blocks())
    if (h.offset == start || (!out.empty() && h.offset == out.back().next)) out.push_back(h);
  return out;
}

TEST(WarehouseTest, NewWarehouseExactBytes) {
  ScratchDir dir;
  const std::string path = dir.file("w.aos");
  Warehouse w;
  ASSERT_TRUE(w.create(path));
  ASSERT_TRUE(w.close());

  Bytes expected(256 + 10260, 0);
  std::memcpy(expected.data(), "AOWarehouseHead", 16);
  expected[32] = 0x80;
  expected[33] = 0x3F;
  // Block at offset 0: prev -1, next -1, size 10260, used 132 (one zero record, start -1).
  putI32(expected, 256 + 0, 0);
  putI32(expected, 256 + 4, -1);
  putI32(expected, 256 + 8, -1);
  putI32(expected, 256 + 12, 10260);
  putI32(expected, 256 + 16, 132);
  putI32(expected, 256 + 20 + 128, -1);
  EXPECT_EQ(readFileBytes(path), expected);

  // Opening and closing it again rewrites the same directory in the same block.
  ASSERT_TRUE(w.open(path, false));
  EXPECT_EQ(w.nameCount(), 0u);
  ASSERT_TRUE(w.close());
  EXPECT_EQ(readFileBytes(path), expected);
}

TEST(WarehouseTest, PutTwiceKeepsOneRecordAndReusesTheFirstChain) {
  ScratchDir dir;
  const std::string path = dir.file("w.aos");
  Warehouse w;
  ASSERT_TRUE(w.create(path));
  ASSERT_TRUE(w.put("7", filled(300, 1)));
  ASSERT_TRUE(w.put("8", filled(10, 2)));
  const auto firstBlocks = w.blockStore().blocks();
  ASSERT_EQ(firstBlocks.size(), 3u);
  EXPECT_EQ(firstBlocks[1].offset, 10260);
  EXPECT_EQ(firstBlocks[1].size, 1044);

  ASSERT_TRUE(w.put("7", filled(500, 3)));
  EXPECT_EQ(w.blockStore().blocks().size(), 3u) << "the freed block must be reused, not a new one";
  EXPECT_EQ(w.blockStore().blocks()[1].used, 500);
  EXPECT_EQ(w.nameCount(), 2u);
  ASSERT_TRUE(w.close());

  ASSERT_TRUE(w.open(path, true));
  EXPECT_EQ(w.nameCount(), 2u);
  Bytes got;
  ASSERT_TRUE(w.get("7", got));
  EXPECT_EQ(got, filled(500, 3));
  ASSERT_TRUE(w.get("8", got));
  EXPECT_EQ(got, filled(10, 2));
  EXPECT_FALSE(w.get("9", got));
}

TEST(WarehouseTest, LargeValueSpansFreeBlocksInFileOrderThenGrows) {
  ScratchDir dir;
  Warehouse w;
  ASSERT_TRUE(w.create(dir.file("w.aos")));
  ASSERT_TRUE(w.put("a", filled(1000, 1)));  // block at 10260
  ASSERT_TRUE(w.put("b", filled(1000, 2)));  // block at 11304
  ASSERT_TRUE(w.put("c", filled(1000, 3)));  // block at 12348
  // Growing "a" takes its own freed block and appends one for the rest.
  ASSERT_TRUE(w.put("a", filled(3000, 4)));
  auto chain = chainOf(w.blockStore(), 10260);
  ASSERT_EQ(chain.size(), 2u);
  EXPECT_EQ(chain[0].prev, -1);
  EXPECT_EQ(chain[0].next, 13392);
  EXPECT_EQ(chain[0].used, 1024);
  EXPECT_EQ(chain[1].offset, 13392);
  EXPECT_EQ(chain[1].prev, 10260);
  EXPECT_EQ(chain[1].next, -1);
  EXPECT_EQ(chain[1].used, 1976);
  EXPECT_EQ(chain[1].size, 1996);

  // "c" frees its block; "b" then takes both free blocks in file order (11304 is its own).
  ASSERT_TRUE(w.put("c", filled(2500, 5)));
  ASSERT_TRUE(w.put("b", filled(1500, 6)));
  Bytes got;
  for (auto [name, n, seed] : {std::tuple{"a", 3000, 4}, std::tuple{"b", 1500, 6}, std::tuple{"c", 2500, 5}}) {
    ASSERT_TRUE(w.get(name, got)) << name;
    EXPECT_EQ(got, filled(static_cast<size_t>(n), static_cast<std::uint8_t>(seed))) << name;
  }
  // Every chain runs forwards in the file.
  for (const auto& h : w.blockStore().blocks()) {
    if (h.next >= 0) {
      EXPECT_GT(h.next, h.offset);
    }
  }
}

// The block table holds small used counts in 15 bits and the rest beside it: a count on either
// side of that edge must read back as written, also after its block is reused for a value
// across the edge, and after the warehouse is opened again.
TEST(WarehouseTest, UsedCountsOfLargeAndReusedBlocksReadBack) {
  const size_t sizes[] = {32765, 32766, 32767, 32768, 70000};
  for (const size_t first : sizes) {
    for (const size_t second : {size_t{200}, std::min(first, size_t{32767}), first - 1}) {
      SCOPED_TRACE(testing::Message() << first << " then " << second);
      ScratchDir dir;
      Warehouse w;
      ASSERT_TRUE(w.create(dir.file("w.aos")));
      ASSERT_TRUE(w.put("a", filled(first, 1)));
      ASSERT_TRUE(w.put("b", filled(100, 2)));
      const std::int32_t start = w.blockStore().blocks()[1].offset;
      ASSERT_EQ(chainOf(w.blockStore(), start).at(0).used, static_cast<std::int32_t>(first));
      // The smaller value goes into the block the first one freed.
      ASSERT_TRUE(w.put("a", filled(second, 3)));
      ASSERT_EQ(chainOf(w.blockStore(), start).at(0).used, static_cast<std::int32_t>(second));
      Bytes got;
      ASSERT_TRUE(w.get("a", got));
      EXPECT_EQ(got, filled(second, 3));
      ASSERT_TRUE(w.close());
      ASSERT_TRUE(w.open(dir.file("w.aos"), true));
      ASSERT_EQ(chainOf(w.blockStore(), start).at(0).used, static_cast<std::int32_t>(second));
      ASSERT_TRUE(w.get("a", got));
      EXPECT_EQ(got, filled(second, 3));
      ASSERT_TRUE(w.get("b", got));
      EXPECT_EQ(got, filled(100, 2));
    }
  }
}

TEST(WarehouseTest, RefusedPutsLeaveTheOldValue) {
  ScratchDir dir;
  const std::string path = dir.file("w.aos");
  Warehouse w;
  ASSERT_TRUE(w.create(path));
  ASSERT_TRUE(w.put("k", filled(40, 9)));
  EXPECT_FALSE(w.put("k", Bytes{}));
  EXPECT_FALSE(w.put("", filled(4, 1)));
  EXPECT_FALSE(w.put(std::string(128, 'x'), filled(4, 1)));
  EXPECT_TRUE(w.put(std::string(127, 'x'), filled(4, 1)));
  EXPECT_FALSE(w.put(std::string_view("a\0b", 3), filled(4, 1)));
  Bytes got;
  ASSERT_TRUE(w.get("k", got));
  EXPECT_EQ(got, filled(40, 9));
  ASSERT_TRUE(w.close());

  ASSERT_TRUE(w.open(path, true));
  EXPECT_FALSE(w.put("k", filled(4, 1)));
  ASSERT_TRUE(w.get(std::string(127, 'x'), got));
  EXPECT_EQ(got, filled(4, 1));
}

TEST(WarehouseTest, ValuesPutAfterTheLastCloseAreUnreachableWithoutClose) {
  ScratchDir dir;
  const std::string path = dir.file("w.aos");
  Warehouse w;
  ASSERT_TRUE(w.create(path));
  ASSERT_TRUE(w.put("kept", filled(20, 1)));
  ASSERT_TRUE(w.close());
  ASSERT_TRUE(w.open(path, false));
  ASSERT_TRUE(w.put("lost", filled(20, 2)));
  // A copy taken before close stands for a program that died here.
  const std::string copy = dir.file("crash.aos");
  ASSERT_TRUE(writeFileBytes(copy, readFileBytes(path)));
  Warehouse other;
  ASSERT_TRUE(other.open(copy, true));
  EXPECT_TRUE(other.contains("kept"));
  EXPECT_FALSE(other.contains("lost"));
}

// Allocation through the ordered free set must pick exactly the blocks a walk over the table in
// file order would pick. The model below replays that walk for every put.
TEST(WarehouseTest, AllocationMatchesAFileOrderScan) {
  ScratchDir dir;
  Warehouse w;
  ASSERT_TRUE(w.create(dir.file("w.aos")));
  std::mt19937 rng(11);
  std::map<std::string, Bytes> values;
  std::map<std::string, std::int32_t> starts;
  for (int step = 0; step < 600; ++step) {
    const std::string name = std::to_string(rng() % 40);
    const size_t size = 1 + rng() % (rng() % 4 == 0 ? 5000 : 700);
    const Bytes value = filled(size, static_cast<std::uint8_t>(step));

    auto table = w.blockStore().blocks();
    if (starts.count(name)) {
      for (const auto& c : chainOf(w.blockStore(), starts[name]))
        for (auto& h : table)
          if (h.offset == c.offset) h.used = 0;
    }
    std::vector<std::int32_t> expected;
    std::int64_t covered = 0;
    for (const auto& h : table)
      if (h.used == 0 && covered < static_cast<std::int64_t>(size)) {
        expected.push_back(h.offset);
        covered += h.size - 20;
      }
    if (covered < static_cast<std::int64_t>(size)) expected.push_back(table.back().offset + table.back().size);

    ASSERT_TRUE(w.put(name, value)) << "step " << step;
    values[name] = value;
    Bytes got;
    ASSERT_TRUE(w.get(name, got));
    ASSERT_EQ(got, value) << "step " << step;
    std::vector<std::int32_t> actual;
    for (const auto& h : chainOf(w.blockStore(), expected.front())) actual.push_back(h.offset);
    ASSERT_EQ(actual, expected) << "step " << step;
    starts[name] = expected.front();
  }
  for (const auto& [name, value] : values) {
    Bytes got;
    ASSERT_TRUE(w.get(name, got));
    EXPECT_EQ(got, value) << name;
  }
}

// Damage to a closed warehouse holding one value "v" (40 bytes) in the block at 10260.
// Writes the bytes, damaged, to a file of dir; its path.
std::string writeDamaged(const ScratchDir& dir, Bytes bytes, const std::function<void(Bytes&)>& damage) {
  damage(bytes);
  const std::string path = dir.file("damaged.aos");
  EXPECT_TRUE(writeFileBytes(path, bytes));
  return path;
}

struct Damage {
  const char* name;
  void (*apply)(Bytes&);
  bool opens;  // open still succeeds; the value must then fail to read
};

constexpr size_t kDir = 256;           // directory block header in the file
constexpr size_t kValue = 256 + 10260;  // value block header in the file

TEST(WarehouseTest, DamagedFilesAreRejected) {
  const std::vector<Damage> cases = {
      {"wrong tag", [](Bytes& b) { b[3] = 'x'; }, false},
      {"version not 1.0", [](Bytes& b) { b[33] = 0x40; }, false},
      {"truncated header", [](Bytes& b) { b.resize(100); }, false},
      {"no blocks at all", [](Bytes& b) { b.resize(256); }, false},
      {"directory block names another offset", [](Bytes& b) { putI32(b, kDir, 8); }, false},
      {"directory head has a prev", [](Bytes& b) { putI32(b, kDir + 4, 10260); }, false},
      {"directory used beyond its block", [](Bytes& b) { putI32(b, kDir + 16, 10241); }, false},
      {"directory record without NUL", [](Bytes& b) { std::memset(b.data() + kDir + 20, 'n', 128); }, false},
      {"directory chain points outside", [](Bytes& b) { putI32(b, kDir + 8, 999999); }, false},
      {"value chain loops to itself", [](Bytes& b) { putI32(b, kValue + 8, 10260); }, true},
      {"value chain points backwards", [](Bytes& b) { putI32(b, kValue + 8, 0); }, true},
      {"value chain points outside", [](Bytes& b) { putI32(b, kValue + 8, 50000); }, true},
      {"value next below -1", [](Bytes& b) { putI32(b, kValue + 8, -7); }, true},
      {"value used negative", [](Bytes& b) { putI32(b, kValue + 16, -5); }, true},
      // A chain block marked free would be handed out by the next put (found by fuzzing: the
      // value put into the directory's free block was overwritten by the directory on close).
      {"directory block marked free", [](Bytes& b) { putI32(b, kDir + 16, 0); }, false},
      {"value block marked free", [](Bytes& b) { putI32(b, kValue + 16, 0); }, true},
      {"value used huge", [](Bytes& b) { putI32(b, kValue + 16, 0x7fffff00); }, true},
      {"value block size huge", [](Bytes& b) {
         putI32(b, kValue + 12, 0x7fffff00);
         putI32(b, kValue + 16, 0x7ffffe00);
       }, true},
      {"value block truncated", [](Bytes& b) { b.resize(kValue + 30); }, true},
      {"value block header missing", [](Bytes& b) { b.resize(kValue + 10); }, true},
  };
  ScratchDir dir;
  const std::string good = dir.file("good.aos");
  {
    Warehouse w;
    ASSERT_TRUE(w.create(good));
    ASSERT_TRUE(w.put("v", filled(40, 5)));
    ASSERT_TRUE(w.close());
  }
  const Bytes original = readFileBytes(good);
  for (const auto& c : cases) {
    const std::string path = writeDamaged(dir, original, c.apply);
    Warehouse w;
    const bool opened = w.open(path, true);
    EXPECT_EQ(opened, c.opens) << c.name;
    if (opened) {
      Bytes got;
      EXPECT_FALSE(w.get("v", got)) << c.name;
      EXPECT_TRUE(got.empty()) << c.name;
    }
  }
}

// Offset in the file of the start field of name's directory record.
size_t recordStartField(const Bytes& file, const std::string& name) {
  for (size_t at = 256 + 20; at + 132 <= 256 + 10260; at += 132)
    if (std::memcmp(file.data() + at, name.c_str(), name.size() + 1) == 0) return at + 128;
  ADD_FAILURE() << "no record " << name;
  return 0;
}

// Damaged directories or links that make two names (or a name and the directory) share blocks:
// replacing one value must not destroy another, and what the warehouse writes must open again.
TEST(WarehouseTest, ReplacingAValueNeverFreesBlocksOfAnotherChain) {
  struct Case {
    const char* name;
    std::function<void(Bytes&)> apply;
    std::map<std::string, Bytes> afterPutB;  // values expected after replacing "b" and reopening
  };
  const Bytes a = filled(30, 1), b = filled(40, 2), c = filled(50, 3), fresh = filled(300, 9);
  // Value blocks are laid out in put order after the 10260-byte directory block.
  const size_t blockA = 256 + 10260, blockB = blockA + 1044;
  const std::vector<Case> cases = {
      {"name points at the directory chain",
       [](Bytes& f) { putI32(f, recordStartField(f, "b"), 0); }, {{"a", a}, {"b", fresh}, {"c", c}}},
      {"two names share one chain",
       [](Bytes& f) { putI32(f, recordStartField(f, "b"), 10260); }, {{"a", a}, {"b", fresh}, {"c", c}}},
      {"chain runs on into the head of another",
       [=](Bytes& f) { putI32(f, blockB + 8, static_cast<std::int32_t>(blockB + 1044 - 256)); },
       {{"a", a}, {"b", fresh}, {"c", c}}},
      {"chain runs on into the tail of another",
       [=](Bytes& f) {
         putI32(f, blockA + 8, static_cast<std::int32_t>(blockB + 1044 - 256));  // a -> c
         putI32(f, blockB + 1044 + 4, static_cast<std::int32_t>(blockA - 256));   // c names a as prev
         putI32(f, blockB + 8, static_cast<std::int32_t>(blockB + 1044 - 256));  // b -> c as well
       },
       {{"b", fresh}}},
  };
  ScratchDir dir;
  const std::string good = dir.file("good.aos");
  {
    Warehouse w;
    ASSERT_TRUE(w.create(good));
    ASSERT_TRUE(w.put("a", a));
    ASSERT_TRUE(w.put("b", b));
    ASSERT_TRUE(w.put("c", c));
    ASSERT_TRUE(w.close());
  }
  const Bytes original = readFileBytes(good);
  for (const auto& k : cases) {
    const std::string path = writeDamaged(dir, original, k.apply);
    Warehouse w;
    ASSERT_TRUE(w.open(path, false)) << k.name;
    ASSERT_TRUE(w.put("b", fresh)) << k.name;
    ASSERT_TRUE(w.put("d", filled(2000, 4))) << k.name;  // takes any blocks that were freed
    ASSERT_TRUE(w.close()) << k.name;
    ASSERT_TRUE(w.open(path, true)) << k.name;
    for (const auto& [name, value] : k.afterPutB) {
      Bytes got;
      EXPECT_TRUE(w.get(name, got)) << k.name << " " << name;
      EXPECT_EQ(got, value) << k.name << " " << name;
    }
  }
}

// Chains are found by the table index of their first block, taken from the directory's offsets at
// open. A start at which no chain begins (past the area, negative, inside a block, at a free block,
// at a chain's second block) must read as absent whether the open scans the file or takes the
// table, leave the other names readable, and be written back as it was read.
TEST(WarehouseTest, AStartThatNamesNoChainReadsAsAbsentAndIsKeptAsRead) {
  const struct {
    const char* name;
    std::int32_t (*start)(const std::vector<BlockHeader>& blocks, std::int32_t own);
  } cases[] = {
      {"past the block area", [](const std::vector<BlockHeader>&, std::int32_t) { return 0x7fff0000; }},
      {"negative", [](const std::vector<BlockHeader>&, std::int32_t) { return -7; }},
      {"inside its block", [](const std::vector<BlockHeader>&, std::int32_t own) { return own + 4; }},
      {"a free block",
       [](const std::vector<BlockHeader>& blocks, std::int32_t) {
         return std::find_if(blocks.begin() + 1, blocks.end(), [](const BlockHeader& h) { return h.used == 0; })->offset;
       }},
      {"the second block of a chain",
       [](const std::vector<BlockHeader>& blocks, std::int32_t) {
         return std::find_if(blocks.begin(), blocks.end(), [](const BlockHeader& h) { return h.prev >= 0; })->offset;
       }},
  };
  const Bytes small[] = {filled(30, 1), filled(40, 2), filled(50, 3)};
  const Bytes large = filled(1500, 4);  // over the freed block of name 0 and a fresh one
  // Numbered names get a table; the others a directory written whole at every close.
  for (const bool numbered : {true, false}) {
    const std::vector<std::string> names = numbered ? std::vector<std::string>{"0", "1", "2", "3"}
                                                    : std::vector<std::string>{"a", "b", "c", "d"};
    ScratchDir dir;
    const std::string good = dir.file("good.aos");
    std::vector<BlockHeader> blocks;
    {
      Warehouse w;
      ASSERT_TRUE(w.create(good));
      for (int i = 0; i < 3; ++i) ASSERT_TRUE(w.put(names[static_cast<size_t>(i)], small[i]));
      ASSERT_TRUE(w.put(names[0], large));
      ASSERT_TRUE(w.put(names[3], small[0]));
      ASSERT_TRUE(w.remove(names[3]));
      blocks = w.blockStore().blocks();
      ASSERT_TRUE(w.close());
    }
    const Bytes original = readFileBytes(good);
    const std::int32_t own = blocks[2].offset;  // names[1]'s block
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << (numbered ? ", numbered names" : ", other names"));
      const std::int32_t start = c.start(blocks, own);
      const std::string path = writeDamaged(dir, original, [&](Bytes& b) { putI32(b, recordStartField(b, names[1]), start); });
      (void)std::remove(Warehouse::tablePath(path).c_str());
      {
        Warehouse w;
        ASSERT_TRUE(w.open(path, false));
        Bytes got;
        EXPECT_FALSE(w.get(names[1], got));
        ASSERT_TRUE(w.remove(names[2]));
        ASSERT_TRUE(w.close());
      }
      for (const bool fromTable : {numbered, false}) {
        if (!fromTable) (void)std::remove(Warehouse::tablePath(path).c_str());
        Warehouse w;
        ASSERT_TRUE(w.open(path, true));
        EXPECT_EQ(w.openedFromTable(), fromTable);
        Bytes got;
        EXPECT_FALSE(w.get(names[1], got));
        EXPECT_FALSE(w.contains(names[2]));
        ASSERT_TRUE(w.get(names[0], got));
        EXPECT_EQ(got, large);
      }
      const Bytes after = readFileBytes(path);
      std::int32_t kept = 0;
      std::memcpy(&kept, after.data() + recordStartField(after, names[1]), sizeof kept);
      EXPECT_EQ(kept, start);
    }
  }
}

// A warehouse with freed blocks, chains of several blocks and a run of numbered names, closed
// (which writes its table).
void writeNumberedWarehouse(const std::string& path, std::uint8_t seed) {
  Warehouse w;
  w.setMinimumPayload(128);
  ASSERT_TRUE(w.create(path));
  for (int n = 0; n < 300; ++n) ASSERT_TRUE(w.put(std::to_string(n), filled(50 + (n * 37 + seed) % 400, seed)));
  for (int n = 0; n < 300; n += 7) ASSERT_TRUE(w.put(std::to_string(n), filled(900 + n, seed + 1)));
  ASSERT_TRUE(w.remove("5"));
  ASSERT_TRUE(w.close());
}

// Everything an open gives: the block table and every value.
struct Opened {
  std::vector<BlockHeader> blocks;
  std::map<std::string, Bytes> values;
  bool fromTable = false;
  friend bool operator==(const Opened& a, const Opened& b) { return a.blocks == b.blocks && a.values == b.values; }
};
Opened openedAs(const std::string& path) {
  Opened o;
  Warehouse w;
  if (!w.open(path, true)) return o;
  o.fromTable = w.openedFromTable();
  o.blocks = w.blockStore().blocks();
  for (int n = 0; n < 320; ++n) {
    Bytes v;
    if (w.get(std::to_string(n), v)) o.values[std::to_string(n)] = v;
  }
  return o;
}

// The table spares an open the scan only while it describes the file as it stands; otherwise the
// open scans, and either way it gives the same blocks and values.
TEST(WarehouseTableTest, ATableIsTakenOnlyWhenItDescribesTheFile) {
  ScratchDir dir;
  const std::string path = dir.file("w.aos");
  const std::string table = Warehouse::tablePath(path);
  writeNumberedWarehouse(path, 3);
  const Bytes file = readFileBytes(path);
  const Bytes written = readFileBytes(table);
  ASSERT_GT(written.size(), 64u);
  ASSERT_TRUE(std::filesystem::remove(table));
  const Opened scanned = openedAs(path);
  ASSERT_FALSE(scanned.fromTable);
  ASSERT_EQ(scanned.values.size(), 299u);

  // Another warehouse of the same names and its table, for a foreign table of the same shape.
  const std::string other = dir.file("other.aos");
  writeNumberedWarehouse(other, 9);
  const Bytes foreign = readFileBytes(Warehouse::tablePath(other));

  struct Case {
    const char* name;
    std::function<void()> apply;  // changes the table or the file after both were restored
    bool taken;
    bool keepTime = false;  // the file's modification time is set back after apply
  };
  auto patchTable = [&](size_t at, std::uint8_t x) {
    Bytes t = readFileBytes(table);
    t[at] ^= x;
    ASSERT_TRUE(writeFileBytes(table, t));
  };
  const std::vector<Case> cases = {
      {"as written", [] {}, true},
      {"missing", [&] { std::filesystem::remove(table); }, false},
      {"empty", [&] { ASSERT_TRUE(writeFileBytes(table, {})); }, false},
      {"cut short", [&] {
         Bytes t = readFileBytes(table);
         t.pop_back();
         ASSERT_TRUE(writeFileBytes(table, t));
       }, false},
      {"one byte longer", [&] {
         Bytes t = readFileBytes(table);
         t.push_back(0);
         ASSERT_TRUE(writeFileBytes(table, t));
       }, false},
      {"a body byte changed", [&] { patchTable(written.size() - 3, 0x10); }, false},
      {"the warehouse size named wrong", [&] { patchTable(8, 1); }, false},
      {"the modification time named wrong", [&] { patchTable(24, 1); }, false},
      {"another warehouse's table", [&] { ASSERT_TRUE(writeFileBytes(table, foreign)); }, false},
      // A writer that does not know the table changes the file and leaves its time as it was:
      // only the headers and records read back can tell (the spread takes the first and the last).
      {"a block header changed behind its back", [&] {
         Bytes f = file;
         putI32(f, 256 + 16, 10000);  // the directory's first block's used count
         ASSERT_TRUE(writeFileBytes(path, f));
       }, false, true},
      {"a sampled value block's state changed behind its back", [&] {
         Bytes f = file;
         Warehouse w;
         ASSERT_TRUE(w.open(path, true));
         const BlockHeader h = w.blockStore().blocks()[w.blockStore().blockCount() / 64];
         ASSERT_TRUE(w.close());
         putI32(f, 256 + static_cast<size_t>(h.offset) + 16, h.used == 0 ? 1 : 0);
         ASSERT_TRUE(writeFileBytes(path, f));
       }, false, true},
      {"the last directory record changed behind its back", [&] {
         Bytes f = file;
         const std::string last = std::to_string(299);
         size_t at = 0;  // the last record lies in the directory's last block, after the values
         for (size_t i = f.size() - 132; i > 256 && at == 0; --i)
           if (std::memcmp(f.data() + i, last.c_str(), last.size() + 1) == 0) at = i + 128;
         ASSERT_NE(at, 0u);
         putI32(f, at, 0);
         ASSERT_TRUE(writeFileBytes(path, f));
       }, false, true},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(writeFileBytes(path, file));
    // The table names the file's time as it is now, as it named it when it was written.
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    Bytes t = written;
    std::memcpy(t.data() + 16, &st.st_mtim.tv_sec, 8);
    std::memcpy(t.data() + 24, &st.st_mtim.tv_nsec, 8);
    ASSERT_TRUE(writeFileBytes(table, t));
    c.apply();
    if (c.keepTime) {
      const timespec times[2] = {st.st_atim, st.st_mtim};
      ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
    const Opened got = openedAs(path);
    EXPECT_EQ(got.fromTable, c.taken) << c.name;
    if (!c.keepTime) {
      EXPECT_EQ(got, scanned) << c.name;
    }
  }
}

// The table holds no used counts: a count changed behind its back in a block the open does not
// sample is read from the file as a scan would read it, so the table never gives another value.
TEST(WarehouseTableTest, AnUnsampledUsedCountReadsAsTheScanReadsIt) {
  ScratchDir dir;
  const std::string path = dir.file("w.aos");
  writeNumberedWarehouse(path, 5);
  Bytes file = readFileBytes(path);
  std::vector<BlockHeader> blocks;
  {
    Warehouse w;
    ASSERT_TRUE(w.open(path, true));
    blocks = w.blockStore().blocks();
  }
  // A block of a value of its own, not among the open's samples (k * blocks / 64, and the last).
  size_t idx = 1;
  auto sampled = [&](size_t i) {
    for (size_t k = 0; k <= 64; ++k)
      if (i == (k == 64 ? blocks.size() - 1 : k * blocks.size() / 64)) return true;
    return false;
  };
  while (idx < blocks.size() && (sampled(idx) || blocks[idx].used < 2 || blocks[idx].next != -1 || blocks[idx].prev != -1))
    ++idx;
  ASSERT_LT(idx, blocks.size());
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  putI32(file, 256 + static_cast<size_t>(blocks[idx].offset) + 16, blocks[idx].used - 1);
  ASSERT_TRUE(writeFileBytes(path, file));
  const timespec times[2] = {st.st_atim, st.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

  const Opened taken = openedAs(path);
  EXPECT_TRUE(taken.fromTable);
  ASSERT_TRUE(std::filesystem::remove(Warehouse::tablePath(path)));
  const Opened scanned = openedAs(path);
  EXPECT_FALSE(scanned.fromTable);
  EXPECT_EQ(taken, scanned);
  EXPECT_EQ(taken.blocks[idx].used, blocks[idx].used - 1);
}

// The first change after an open removes the table (a build killed after it leaves none that
// could describe the file wrongly); the close writes the new one. A directory with a name that is
// not a number gets none.
TEST(WarehouseTableTest, AChangeRemovesTheTableAndCloseWritesItAgain) {
  ScratchDir dir;
  const std::string path = dir.file("w.aos");
  const std::string table = Warehouse::tablePath(path);
  writeNumberedWarehouse(path, 4);
  ASSERT_TRUE(std::filesystem::exists(table));
  {
    Warehouse w;
    ASSERT_TRUE(w.open(path, false));
    EXPECT_TRUE(w.openedFromTable());
    ASSERT_TRUE(w.put("300", filled(70, 1)));
    EXPECT_FALSE(std::filesystem::exists(table));
    ASSERT_TRUE(w.put("7", filled(3000, 2)));
    ASSERT_TRUE(w.close());
  }
  const Opened taken = openedAs(path);
  EXPECT_TRUE(taken.fromTable);
  ASSERT_TRUE(std::filesystem::remove(table));
  const Opened scanned = openedAs(path);
  EXPECT_FALSE(scanned.fromTable);
  EXPECT_EQ(taken, scanned);
  EXPECT_EQ(scanned.values.at("7"), filled(3000, 2));
  // Opened and closed unchanged, a warehouse without a table gets one and keeps its bytes.
  const Bytes before = readFileBytes(path);
  {
    Warehouse w;
    ASSERT_TRUE(w.open(path, false));
    ASSERT_TRUE(w.close());
  }
  EXPECT_EQ(readFileBytes(path), before);
  EXPECT_TRUE(openedAs(path).fromTable);
  // Numbers far past the others are held apart from them; the table keeps them all the same.
  {
    Warehouse w;
    ASSERT_TRUE(w.open(path, false));
    ASSERT_TRUE(w.put("9000000", filled(30, 4)));
    ASSERT_TRUE(w.put("310", filled(30, 5)));
    ASSERT_TRUE(w.close());
  }
  {
    Warehouse w;
    ASSERT_TRUE(w.open(path, true));
    EXPECT_TRUE(w.openedFromTable());
    Bytes v;
    EXPECT_TRUE(w.get("9000000", v) && v == filled(30, 4));
    EXPECT_TRUE(w.get("310", v) && v == filled(30, 5));
    EXPECT_EQ(w.nameCount(), 302u);
  }
  {
    Warehouse w;
    ASSERT_TRUE(w.open(path, false));
    ASSERT_TRUE(w.put("name", filled(10, 3)));
    ASSERT_TRUE(w.close());
  }
  EXPECT_FALSE(std::filesystem::exists(table));
  EXPECT_EQ(openedAs(path).values.at("7"), filled(3000, 2));
}

// A directory of names 0, 1, 2... is written by changing only the records of the names changed
// since open and appending the new ones; a removed name leaves an empty record in its place, and
// a name put there again fills it. Over reopenings with changes, growth (into the last block's
// spare room and past it), removals and returns, every value reads back as a model says, whether
// the next open scans the file or takes its table, and record n of the directory names n or is
// empty where n was removed.
TEST(WarehouseTest, DirectoriesWrittenInPlaceReadBackAsWrittenWhole) {
  ScratchDir dir;
  const std::string path = dir.file("w.aos");
  std::map<int, Bytes> model;
  int slots = 0;  // names 0 to slots - 1 were ever put
  std::mt19937 random(5);
  {
    Warehouse w;
    w.setMinimumPayload(128);
    ASSERT_TRUE(w.create(path));
    for (; slots < 120; ++slots) {
      model[slots] = filled(20 + random() % 300, static_cast<std::uint8_t>(slots));
      ASSERT_TRUE(w.put(std::to_string(slots), model[slots]));
    }
    ASSERT_TRUE(w.close());
  }
  for (int round = 0; round < 12; ++round) {
    {
      Warehouse w;
      w.setMinimumPayload(128);
      ASSERT_TRUE(w.open(path, false)) << round;
      // Changes, and from round 4 on removals and returns of any name, the last included.
      const int changes = static_cast<int>(random() % 40);
      for (int k = 0; k < changes; ++k) {
        const int n = static_cast<int>(random() % static_cast<unsigned>(slots));
        if (round >= 4 && k % 4 == 1) {
          EXPECT_EQ(w.remove(std::to_string(n)), model.erase(n) == 1) << round << " " << n;
          continue;
        }
        model[n] = filled(10 + random() % 900, static_cast<std::uint8_t>(round + k));
        ASSERT_TRUE(w.put(std::to_string(n), model[n]));
      }
      if (round == 7) {
        ASSERT_TRUE(w.remove(std::to_string(slots - 1)) || model.count(slots - 1) == 0);
        model.erase(slots - 1);
      }
      // Some rounds add one name (room in the last block), some many.
      const int added = round % 3 == 0 ? 1 : static_cast<int>(random() % 200);
      for (int k = 0; k < added; ++k, ++slots) {
        model[slots] = filled(30 + random() % 200, static_cast<std::uint8_t>(slots));
        ASSERT_TRUE(w.put(std::to_string(slots), model[slots]));
      }
      // A name added and removed before the close leaves a hole among the new records.
      if (round == 9) {
        ASSERT_TRUE(w.remove(std::to_string(slots - 2)));
        model.erase(slots - 2);
      }
      ASSERT_TRUE(w.close()) << round;
    }
    // Odd rounds check the scan too, and leave the next round to open without a table.
    for (const bool withTable : {true, false}) {
      if (!withTable && round % 2 == 0) break;
      if (!withTable) std::filesystem::remove(Warehouse::tablePath(path));
      Warehouse w;
      ASSERT_TRUE(w.open(path, true)) << round;
      EXPECT_EQ(w.openedFromTable(), withTable) << round;
      ASSERT_EQ(w.nameCount(), model.size()) << round;
      for (int n = 0; n < slots; ++n) {
        Bytes got;
        ASSERT_EQ(w.get(std::to_string(n), got), model.count(n) == 1) << round << " " << n;
        if (model.count(n) == 1) {
          ASSERT_EQ(got, model[n]) << round << " " << n;
        }
      }
      Bytes directory;
      ASSERT_TRUE(w.blockStore().readChain(0, directory));
      ASSERT_EQ(directory.size(), static_cast<size_t>(slots) * 132) << round;
      for (int r = 0; r < slots; ++r)
        ASSERT_EQ(std::string(reinterpret_cast<const char*>(directory.data() + r * 132)),
                  model.count(r) == 1 ? std::to_string(r) : std::string())
            << round << " " << r;
    }
  }
}

// A directory written whole keeps names 0, 1, 2... in place, an empty record at each hole, while
// the holes are few, so that later closes can patch it; with many holes it is written record
// after record. Either way every name reads back, through the table and through the scan.
TEST(WarehouseTest, ADirectoryWithFewHolesIsWrittenWholeInPlace) {
  struct Case {
    int removed;
    bool inPlace;
  };
  for (const Case c : {Case{0, true}, Case{3, true}, Case{5, true}, Case{6, false}, Case{20, false}}) {
    ScratchDir dir;
    const std::string path = dir.file("w.aos");
    std::map<int, Bytes> model;
    {
      Warehouse w;
      ASSERT_TRUE(w.create(path));
      for (int n = 0; n < 40; ++n) {
        model[n] = filled(40 + n, static_cast<std::uint8_t>(n));
        ASSERT_TRUE(w.put(std::to_string(n), model[n]));
      }
      for (int k = 0; k < c.removed; ++k) {
        const int n = (k * 7 + 3) % 40;
        ASSERT_TRUE(w.remove(std::to_string(n)));
        model.erase(n);
      }
      ASSERT_TRUE(w.close());
    }
    for (const bool withTable : {true, false}) {
      if (!withTable) std::filesystem::remove(Warehouse::tablePath(path));
      Warehouse w;
      ASSERT_TRUE(w.open(path, true)) << c.removed;
      EXPECT_EQ(w.openedFromTable(), withTable) << c.removed;
      ASSERT_EQ(w.nameCount(), model.size());
      for (int n = 0; n < 40; ++n) {
        Bytes got;
        ASSERT_EQ(w.get(std::to_string(n), got), model.count(n) == 1) << c.removed << " " << n;
        if (model.count(n) == 1) {
          EXPECT_EQ(got, model[n]);
        }
      }
      Bytes directory;
      ASSERT_TRUE(w.blockStore().readChain(0, directory));
      EXPECT_EQ(directory.size(), (c.inPlace ? 40 : model.size()) * 132) << c.removed;
      if (c.inPlace) {
        for (int r = 0; r < 40; ++r)
          EXPECT_EQ(std::string(reinterpret_cast<const char*>(directory.data() + r * 132)),
                    model.count(r) == 1 ? std::to_string(r) : std::string());
      }
    }
  }
}

// A warehouse at its reach whose directory, written record after record with many holes, has
// fewer holes after names came back into their old blocks, still writes its directory on closing:
// in place only while the holes' records fit, else record after record. It reads back whole.
TEST(WarehouseTest, AFullWarehouseWithHolesStillWritesItsDirectory) {
  ScratchDir dir;
  const std::string path = dir.file("w.aos");
  std::map<int, Bytes> model;
  {
    Warehouse w;
    w.setMinimumPayload(128);
    ASSERT_TRUE(w.create(path));
    // A large value first, whose freed block the directory takes, so that the removed names'
    // blocks stay free for them to come back into.
    ASSERT_TRUE(w.put("160", filled(9000, 1)));
    for (int n = 0; n < 160; ++n) {
      model[n] = filled(150, static_cast<std::uint8_t>(n));
      ASSERT_TRUE(w.put(std::to_string(n), model[n]));
    }
    for (int n = 0; n < 160; n += 6) ASSERT_TRUE(w.remove(std::to_string(n)));
    ASSERT_TRUE(w.remove("160"));
    ASSERT_TRUE(w.close());
  }
  {
    Warehouse w;
    w.setMinimumPayload(128);
    ASSERT_TRUE(w.open(path, false));
    w.setAreaLimit(static_cast<std::int64_t>(std::filesystem::file_size(path)) - Warehouse::kHeaderBytes);
    // Sixteen names come back into the blocks they left: twelve holes with the large value's, too
    // many for their records to fit in place, few enough to try.
    for (int n = 0; n < 160; n += 6) {
      if (n < 11 * 6) model.erase(n);
      else ASSERT_TRUE(w.put(std::to_string(n), model[n])) << n;
    }
    ASSERT_TRUE(w.close()) << w.error();
  }
  Warehouse w;
  ASSERT_TRUE(w.open(path, true));
  ASSERT_EQ(w.nameCount(), model.size());
  for (const auto& [name, value] : model) {
    Bytes got;
    ASSERT_TRUE(w.get(std::to_string(name), got)) << name;
    EXPECT_EQ(got, value) << name;
  }
}

TEST(WarehouseTest, OpenFailsForMissingFileAndPutsFailWhenClosed) {
  ScratchDir dir;
  Warehouse w;
  EXPECT_FALSE(w.open(dir.file("none.aos"), false));
  EXPECT_FALSE(w.isOpen());
  EXPECT_FALSE(w.put("a", filled(3, 1)));
  Bytes got;
  EXPECT_FALSE(w.get("a", got));
  EXPECT_FALSE(w.create(dir.file("no/such/dir.aos")));
}

TEST(BlockStoreTest, ZeroBytesAndUnattachedStoreFail) {
  ScratchDir dir;
  BinaryFile file;
  ASSERT_TRUE(file.open(dir.file("b"), BinaryFile::Mode::Create));
  BlockStore store;
  EXPECT_EQ(store.writeChain(filled(4, 1)), -1);
  ASSERT_TRUE(store.attach(&file, 0, 10));
  EXPECT_EQ(store.minimumPayload(), 128);
  EXPECT_EQ(store.writeChain({}), -1);
  EXPECT_TRUE(store.freeChain(-1));
  EXPECT_FALSE(store.freeChain(0));
  const std::int32_t start = store.writeChain(filled(4, 1));
  EXPECT_EQ(start, 0);
  EXPECT_EQ(store.blocks().front().size, 148);
  // A fresh block is gathered with those after it and reaches the file at the latest on flush.
  ASSERT_TRUE(store.flush());
  EXPECT_EQ(file.size(), std::optional<std::uint64_t>(148));
}

// A block's used count is read from its header with the payload: a header changed behind the
// store's back (a used count no block holds, or one naming another place or size) must make the
// read fail rather than hand out bytes that are not the value, and leave other values readable.
TEST(BlockStoreTest, AHeaderChangedBehindTheStoreFailsOnlyItsOwnRead) {
  const struct {
    const char* name;
    std::function<void(std::int32_t* fields)> change;  // offset, prev, next, size, used
  } cases[] = {
      {"used count zero", [](std::int32_t* f) { f[4] = 0; }},
      {"used count past the payload", [](std::int32_t* f) { f[4] = f[3] - BlockHeader::kBytes + 1; }},
      {"another offset", [](std::int32_t* f) { f[0] += 4; }},
      {"another size", [](std::int32_t* f) { f[3] += 4; }},
      {"a link the table does not know", [](std::int32_t* f) { f[2] = f[0] + f[3]; }},
  };
  for (const auto& c : cases) {
    for (const size_t size : {size_t{100}, size_t{9000}}) {
      SCOPED_TRACE(testing::Message() << c.name << ", values of " << size);
      ScratchDir dir;
      BinaryFile file;
      BlockStore store;
      ASSERT_TRUE(file.open(dir.file("b"), BinaryFile::Mode::Create));
      ASSERT_TRUE(store.attach(&file, 256, 128));
      std::int32_t starts[3];
      for (int i = 0; i < 3; ++i) starts[i] = store.writeChain(filled(size, static_cast<std::uint8_t>(i)));
      ASSERT_TRUE(store.flush());
      BinaryFile other;
      ASSERT_TRUE(other.open(dir.file("b"), BinaryFile::Mode::ReadWrite));
      std::int32_t fields[5];
      const auto at = 256 + static_cast<std::uint64_t>(store.offsetAt(static_cast<size_t>(starts[1])));
      ASSERT_TRUE(other.readAt(at, fields, sizeof fields));
      c.change(fields);
      ASSERT_TRUE(other.writeAt(at, fields, sizeof fields));
      Bytes got;
      EXPECT_FALSE(store.readChain(starts[1], got));
      EXPECT_TRUE(got.empty());
      EXPECT_FALSE(store.readChainPieces(starts[1], [](std::span<const std::uint8_t>) { return true; }));
      std::uint8_t byte = 0;
      EXPECT_FALSE(store.readChainRange(starts[1], 0, &byte, 1));
      for (const int i : {0, 2}) {
        ASSERT_TRUE(store.readChain(starts[i], got));
        EXPECT_EQ(got, filled(size, static_cast<std::uint8_t>(i)));
      }
    }
  }
}

// Writes into blocks in the file are gathered and merged; a store that writes each at once must
// end with the same file, and every read in between must see what was written last.
TEST(BlockStoreTest, GatheredWritesLeaveTheFileOfWritesMadeAtOnce) {
  ScratchDir dir;
  BinaryFile files[2];
  BlockStore stores[2];
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(files[i].open(dir.file("b" + std::to_string(i)), BinaryFile::Mode::Create));
    ASSERT_TRUE(stores[i].attach(&files[i], 256, 128));
  }
  std::mt19937 rng(5);
  std::map<std::int32_t, Bytes> values;  // by chain start
  for (int step = 0; step < 3000; ++step) {
    if (!values.empty() && rng() % 3 == 0) {
      auto it = values.begin();
      std::advance(it, static_cast<std::ptrdiff_t>(rng() % values.size()));
      for (BlockStore& store : stores) ASSERT_TRUE(store.freeChain(it->first)) << "step " << step;
      values.erase(it);
    } else {
      const Bytes value = filled(1 + rng() % (rng() % 8 == 0 ? 3000 : 300), static_cast<std::uint8_t>(step));
      const std::int32_t start = stores[0].writeChain(value);
      ASSERT_GE(start, 0) << "step " << step;
      ASSERT_EQ(stores[1].writeChain(value), start) << "step " << step;
      values[start] = value;
    }
    ASSERT_TRUE(stores[1].flush());
    if (!values.empty()) {
      auto it = values.begin();
      std::advance(it, static_cast<std::ptrdiff_t>(rng() % values.size()));
      Bytes got;
      ASSERT_TRUE(stores[0].readChain(it->first, got)) << "step " << step;
      ASSERT_EQ(got, it->second) << "step " << step;
    }
  }
  for (BlockStore& store : stores) ASSERT_TRUE(store.flush());
  EXPECT_EQ(readFileBytes(dir.file("b0")), readFileBytes(dir.file("b1")));
  for (const auto& [start, value] : values) {
    Bytes got;
    ASSERT_TRUE(stores[0].readChain(start, got));
    EXPECT_EQ(got, value);
  }
}

// A fresh block is written whole: whatever an earlier, larger value left in the store's buffers,
// the payload a value does not use lies in the file as zeros, and the value reads back.
TEST(BlockStoreTest, UnusedPayloadOfFreshBlocksIsZero) {
  const struct {
    const char* name;
    std::int32_t minimumPayload;
    std::vector<size_t> sizes;
  } cases[] = {
      {"small after small", 128, {300, 10, 129}},
      {"small after a value past a piece", 128, {(size_t{3} << 20) / 2, 10, 1000}},
      {"values in a block larger than a piece", 2 << 20, {(size_t{3} << 20) / 2, 10, (size_t{1} << 20) - 5}},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    BinaryFile file;
    BlockStore store;
    ASSERT_TRUE(file.open(dir.file("b"), BinaryFile::Mode::Create));
    ASSERT_TRUE(store.attach(&file, 256, c.minimumPayload));
    std::vector<std::pair<std::int32_t, Bytes>> values;
    for (size_t size : c.sizes) {
      Bytes value(size, 0xab);
      const std::int32_t start = store.writeChain(value);
      ASSERT_GE(start, 0) << c.name;
      values.emplace_back(start, std::move(value));
    }
    ASSERT_TRUE(store.flush());
    const Bytes bytes = readFileBytes(dir.file("b"));
    ASSERT_EQ(bytes.size(), static_cast<size_t>(256 + store.areaEnd())) << c.name;
    for (const auto& h : store.blocks()) {
      const auto from = bytes.begin() + 256 + h.offset + BlockHeader::kBytes + h.used;
      const auto to = bytes.begin() + 256 + h.offset + h.size;
      EXPECT_TRUE(std::all_of(from, to, [](std::uint8_t b) { return b == 0; })) << c.name << " block at " << h.offset;
    }
    for (const auto& [start, value] : values) {
      Bytes got;
      ASSERT_TRUE(store.readChain(start, got)) << c.name;
      EXPECT_EQ(got, value) << c.name;
    }
  }
}

// Free blocks are found through a bitmap and a bitmap of its words; across a table of thousands
// of blocks a value must still take exactly the free blocks a walk in file order would, and grow
// the area only past the last of them.
TEST(BlockStoreTest, FreeBlocksFarApartAreTakenInFileOrder) {
  constexpr int kBlocks = 10000;  // more than one word of the word bitmap
  const struct {
    const char* name;
    std::vector<int> freed;  // block numbers freed, all one-block chains of 128 payload bytes
    std::vector<size_t> sizes;  // values then written, one after another
  } cases[] = {
      {"one far block", {9000}, {100, 100}},
      {"first and last", {0, kBlocks - 1}, {200, 50}},
      {"spread over the word bitmap", {63, 64, 4095, 4096, 4097, 8191, 8192}, {300, 10, 128, 129, 500}},
      {"more than all free blocks hold", {5, 6000}, {1000}},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    BinaryFile file;
    BlockStore store;
    ASSERT_TRUE(file.open(dir.file("b"), BinaryFile::Mode::Create));
    ASSERT_TRUE(store.attach(&file, 256, 128));
    std::vector<std::int32_t> starts;
    for (int i = 0; i < kBlocks; ++i) starts.push_back(store.writeChain(filled(100, static_cast<std::uint8_t>(i))));
    for (int b : c.freed) ASSERT_TRUE(store.freeChain(starts[static_cast<size_t>(b)])) << c.name;
    for (size_t size : c.sizes) {
      // The model: free blocks in file order until the value is covered, then a fresh block.
      const auto table = store.blocks();
      std::vector<std::int32_t> expected;
      std::int64_t covered = 0;
      for (const auto& h : table)
        if (h.used == 0 && covered < static_cast<std::int64_t>(size)) {
          expected.push_back(h.offset);
          covered += h.size - BlockHeader::kBytes;
        }
      if (covered < static_cast<std::int64_t>(size)) expected.push_back(static_cast<std::int32_t>(store.areaEnd()));
      const Bytes value = filled(size, 9);
      const std::int32_t start = store.writeChain(value);
      ASSERT_GE(start, 0) << c.name << ", value of " << size;
      ASSERT_EQ(store.offsetAt(static_cast<size_t>(start)), expected.front()) << c.name << ", value of " << size;
      std::vector<std::int32_t> actual;
      for (const auto& h : chainOf(store, expected.front())) actual.push_back(h.offset);
      EXPECT_EQ(actual, expected) << c.name << ", value of " << size;
      Bytes got;
      ASSERT_TRUE(store.readChain(start, got)) << c.name;
      EXPECT_EQ(got, value) << c.name;
    }
  }
}

// Sampled reads of one chain in one walk: each range must get the bytes of the value where it
// lies, across block boundaries, several in one block or at one place, and fail when any part of
// one lies past the value.
// Attaches store to a new file in dir and writes count one-block values of 100 bytes (128 payload
// bytes each), then frees the blocks numbered in freed.
void writeSmallBlocks(const ScratchDir& dir, BinaryFile& file, BlockStore& store, int count,
                      std::initializer_list<int> freed) {
  ASSERT_TRUE(file.open(dir.file("b"), BinaryFile::Mode::Create));
  ASSERT_TRUE(store.attach(&file, 256, 128));
  std::vector<std::int32_t> starts;
  for (int i = 0; i < count; ++i) starts.push_back(store.writeChain(filled(100, static_cast<std::uint8_t>(i))));
  for (const int b : freed) ASSERT_TRUE(store.freeChain(starts[static_cast<size_t>(b)]));
}

TEST(BlockStoreTest, RangesOfAChainReadInOneWalkAreTheValuesBytes) {
  ScratchDir dir;
  BinaryFile file;
  BlockStore store;
  writeSmallBlocks(dir, file, store, 4, {0, 2});
  // Blocks of 128, 128 and 344 used bytes: two freed blocks, then a fresh one.
  const Bytes value = filled(600, 42);
  const std::int32_t start = store.writeChain(value);
  ASSERT_GE(start, 0);
  ASSERT_EQ(chainOf(store, store.offsetAt(static_cast<size_t>(start))).size(), 3u);
  ASSERT_TRUE(store.flush());
  using Span = std::pair<std::uint64_t, size_t>;  // at, n
  const struct {
    const char* name;
    std::vector<Span> ranges;
    bool reads;
  } cases[] = {
      {"one range in the first block", {{5, 20}}, true},
      {"across both block boundaries", {{100, 300}}, true},
      {"several in one block and at one place", {{130, 4}, {130, 10}, {200, 50}, {250, 6}}, true},
      {"spread to the value's last byte", {{0, 1}, {127, 2}, {255, 1}, {256, 344}}, true},
      {"none at all", {}, true},
      {"an empty range past the value", {{10, 5}, {900, 0}}, true},
      {"one byte past the value", {{0, 10}, {590, 11}}, false},
      {"wholly past the value", {{600, 1}}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Bytes> got;
    for (const auto& [at, n] : c.ranges) got.emplace_back(n, std::uint8_t{0});
    std::vector<BlockStore::ValueRange> ranges;
    for (size_t k = 0; k < c.ranges.size(); ++k) ranges.push_back({c.ranges[k].first, got[k].data(), c.ranges[k].second});
    std::uint64_t valueBytes = 0;
    ASSERT_EQ(store.readChainRanges(start, ranges, &valueBytes), c.reads);
    if (!c.reads) continue;
    EXPECT_EQ(valueBytes, value.size());
    for (size_t k = 0; k < c.ranges.size(); ++k) {
      const auto [at, n] = c.ranges[k];
      if (n == 0) continue;
      EXPECT_EQ(got[k], Bytes(value.begin() + static_cast<std::ptrdiff_t>(at), value.begin() + static_cast<std::ptrdiff_t>(at + n)))
          << "range " << k;
    }
    // Without the length asked for, the same bytes.
    ASSERT_TRUE(store.readChainRanges(start, ranges));
  }
}

// chainFits is what lets a directory be written in place only where it certainly fits: it must
// say yes exactly when writeChain then finds room, at the edges of the free blocks and the limit.
TEST(BlockStoreTest, ChainFitsExactlyWhenWriteChainFindsRoom) {
  constexpr std::int64_t kFree = 128;  // the freed middle block's payload
  const struct {
    const char* name;
    std::int64_t bytes;
    std::int64_t room;  // how far past the area's end the limit lies
    bool fits;
  } cases[] = {
      {"within the free blocks", kFree, 0, true},
      {"one past them, a minimum fresh block fits", kFree + 1, 128 + BlockHeader::kBytes, true},
      {"one past them, a minimum fresh block does not", kFree + 1, 128 + BlockHeader::kBytes - 1, false},
      {"a fresh block above the minimum, just fits", kFree + 500, 500 + BlockHeader::kBytes, true},
      {"a fresh block above the minimum, one byte short", kFree + 500, 500 + BlockHeader::kBytes - 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    BinaryFile file;
    BlockStore store;
    writeSmallBlocks(dir, file, store, 3, {1});
    ASSERT_EQ(store.freePayload(), kFree);
    store.setAreaLimit(store.areaEnd() + c.room);
    EXPECT_EQ(store.chainFits(c.bytes), c.fits);
    const Bytes value = filled(static_cast<size_t>(c.bytes), 7);
    const std::int32_t start = store.writeChain(value);
    EXPECT_EQ(start >= 0, c.fits);
    if (start < 0) continue;
    Bytes got;
    ASSERT_TRUE(store.readChain(start, got));
    EXPECT_EQ(got, value);
  }
}

}  // namespace
}  // namespace mh
