#include "patterns/warehouse_volumes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "patterns/data_file_stamp.h"
#include "patterns/pattern_data_writer.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::readFileBytes;
using test::ScratchDir;

Bytes filled(size_t n, std::uint8_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(seed + i * 13);
  return b;
}

// The same puts with and without volumes leave the same single file while everything fits.
TEST(WarehouseVolumesTest, WithinReachTheFileIsThatOfOneWarehouse) {
  ScratchDir dir;
  WarehouseVolumes volumes;
  Warehouse plain;
  ASSERT_TRUE(volumes.create(dir.file("v.aos")));
  ASSERT_TRUE(plain.create(dir.file("p.aos")));
  std::mt19937 rng(3);
  for (int i = 0; i < 300; ++i) {
    const std::string name = std::to_string(rng() % 90);
    const Bytes value = filled(1 + rng() % 3000, static_cast<std::uint8_t>(i));
    ASSERT_TRUE(volumes.put(name, value));
    ASSERT_TRUE(plain.put(name, value));
  }
  EXPECT_EQ(volumes.volumeCount(), 1u);
  ASSERT_TRUE(volumes.close());
  ASSERT_TRUE(plain.close());
  EXPECT_EQ(readFileBytes(dir.file("v.aos")), readFileBytes(dir.file("p.aos")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("v.aos.2")));
}

// Past a small reach, values go on in further volumes, values that grow move between them, and
// everything reads back after closing and opening again; no file passes the reach.
TEST(WarehouseVolumesTest, PastTheReachValuesGoOnInFurtherVolumes) {
  ScratchDir dir;
  const std::string path = dir.file("w.aos");
  constexpr std::int64_t kReach = 64 * 1024;
  std::map<std::string, Bytes> expected;
  {
    WarehouseVolumes w;
    ASSERT_TRUE(w.create(path));
    w.setAreaLimit(kReach);
    std::mt19937 rng(7);
    for (int i = 0; i < 400; ++i) {
      const std::string name = std::to_string(i < 200 ? i : static_cast<int>(rng() % 200));
      const size_t grown = expected[name].size() + 200 + rng() % 900;
      expected[name] = filled(grown, static_cast<std::uint8_t>(i));
      ASSERT_TRUE(w.put(name, expected[name])) << i << ": " << w.error();
    }
    EXPECT_GT(w.volumeCount(), 3u);
    ASSERT_TRUE(w.close()) << w.error();
  }
  for (size_t v = 0; std::filesystem::exists(WarehouseVolumes::volumePath(path, v)); ++v)
    EXPECT_LE(std::filesystem::file_size(WarehouseVolumes::volumePath(path, v)), Warehouse::kHeaderBytes + kReach);
  WarehouseVolumes w;
  w.setAreaLimit(kReach);
  ASSERT_TRUE(w.open(path));
  Bytes got;
  for (const auto& [name, value] : expected) {
    ASSERT_TRUE(w.get(name, got)) << name;
    EXPECT_EQ(got, value) << name;
  }
  // A value larger than a whole volume is refused with a reason, never cut short.
  EXPECT_FALSE(w.put("big", filled(2 * kReach, 1)));
  EXPECT_NE(w.error().find("no room"), std::string::npos) << w.error();
  EXPECT_FALSE(w.get("big", got));
}

// A new warehouse at a path removes the volumes of an earlier one, which would otherwise be taken
// for its own when it is opened again.
TEST(WarehouseVolumesTest, CreateRemovesTheVolumesOfAnEarlierWarehouse) {
  ScratchDir dir;
  const std::string path = dir.file("w.aos");
  {
    WarehouseVolumes w;
    ASSERT_TRUE(w.create(path));
    w.setAreaLimit(16 * 1024);
    for (int i = 0; i < 60; ++i) ASSERT_TRUE(w.put(std::to_string(i), filled(1000, 1)));
    ASSERT_GT(w.volumeCount(), 2u);
  }
  WarehouseVolumes w;
  ASSERT_TRUE(w.create(path));
  ASSERT_TRUE(w.put("1", filled(10, 2)));
  ASSERT_TRUE(w.close());
  EXPECT_FALSE(std::filesystem::exists(path + ".2"));
  ASSERT_TRUE(w.open(path));
  EXPECT_EQ(w.volumeCount(), 1u);
  Bytes got;
  EXPECT_FALSE(w.get("2", got));
}

// A data file whose next entry would start past what a 32-bit index offset can address is
// refused with a reason instead of leaving entries that no index record reaches.
TEST(PatternDataWriterTest, RefusesAnEntryPastTheIndexReach) {
  ScratchDir dir;
  BinaryFile data;
  BinaryFile index;
  ASSERT_TRUE(data.open(dir.file("d"), BinaryFile::Mode::Create));
  ASSERT_TRUE(index.open(dir.file("i"), BinaryFile::Mode::Create));
  PatternEntry e;
  e.snapshot.blackCount = 2;
  e.snapshot.points = {3, 4};
  e.side = 1;
  PatternDataWriter writer(data, &index, 100, 200);
  int written = 0;
  while (writer.add(e)) ++written;
  EXPECT_GT(written, 1);
  EXPECT_LT(written, 100);
  EXPECT_NE(writer.error().find("past the 200 bytes"), std::string::npos) << writer.error();
  EXPECT_FALSE(writer.finish());
}

// The check of a data file is folded in whatever pieces the file is read or written in; a piece
// size that changed it would make every later run distrust the file and rewrite it whole.
TEST(DataCheckTest, PiecesOfAnySizeGiveTheValueOfByteByByte) {
  std::vector<std::uint8_t> bytes(10007);
  std::mt19937 random(7);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  DataCheck byByte;
  for (std::uint8_t b : bytes) byByte.fold(std::span(&b, 1));
  for (size_t piece : {size_t{2}, size_t{3}, size_t{4}, size_t{5}, size_t{4099}, bytes.size()}) {
    DataCheck check;
    for (size_t at = 0; at < bytes.size(); at += piece)
      check.fold(std::span(bytes).subspan(at, std::min(piece, bytes.size() - at)));
    EXPECT_EQ(check.value(), byByte.value()) << "pieces of " << piece;
  }
}

}  // namespace
}  // namespace mh
