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

// A full volume keeps a name whose new value fits in its free blocks together with the name's
// old chain; only values that do not fit move on. Over reopenings (through the tables and through
// the scans) with changes that shrink, keep and grow values and with new names, every value reads
// back as a model says, every name lives in exactly one volume, a removed name leaves an empty
// record in place of its own in a numbered directory, and no file passes the reach.
TEST(WarehouseVolumesTest, AFullVolumeKeepsTheValuesThatFitItsFreedBlocks) {
  ScratchDir dir;
  const std::string path = dir.file("w.aos");
  constexpr std::int64_t kReach = 48 * 1024;
  std::map<std::string, Bytes> model;
  std::mt19937 rng(11);
  int next = 0;  // the next new name
  auto volumeOf = [&](const std::string& name) {
    std::vector<size_t> holders;
    for (size_t v = 0; std::filesystem::exists(WarehouseVolumes::volumePath(path, v)); ++v) {
      Warehouse w;
      EXPECT_TRUE(w.open(WarehouseVolumes::volumePath(path, v), true));
      if (w.contains(name)) holders.push_back(v);
    }
    EXPECT_EQ(holders.size(), 1u) << name;
    return holders.empty() ? size_t{99} : holders.front();
  };
  for (int round = 0; round < 8; ++round) {
    {
      WarehouseVolumes w;
      w.setMinimumPayload(128);
      w.setAreaLimit(kReach);
      ASSERT_TRUE(round == 0 ? w.create(path) : w.open(path)) << round;
      // New names past the first volume's reach, and from the next round on changes of every
      // kind, after which the first volume's directory keeps holes in place.
      for (int k = 0; k < (round == 0 ? 120 : 15); ++k, ++next) {
        model[std::to_string(next)] = filled(100 + rng() % 400, static_cast<std::uint8_t>(next));
        ASSERT_TRUE(w.put(std::to_string(next), model[std::to_string(next)])) << w.error();
      }
      ASSERT_GT(w.volumeCount(), 1u);
      for (int k = 0; k < (round == 0 ? 0 : 60); ++k) {
        const std::string name = std::to_string(rng() % static_cast<unsigned>(next));
        const size_t old = model[name].size();
        const size_t size = k % 3 == 0 ? old + 50 + rng() % 2000 : k % 3 == 1 ? old : 1 + rng() % old;
        model[name] = filled(size, static_cast<std::uint8_t>(round * 60 + k));
        ASSERT_TRUE(w.put(name, model[name])) << round << " " << name << ": " << w.error();
      }
      ASSERT_TRUE(w.close()) << w.error();
    }
    for (size_t v = 0; std::filesystem::exists(WarehouseVolumes::volumePath(path, v)); ++v) {
      EXPECT_LE(std::filesystem::file_size(WarehouseVolumes::volumePath(path, v)), Warehouse::kHeaderBytes + kReach);
      // Odd rounds open the next time by the scan.
      if (round % 2 == 1) std::filesystem::remove(Warehouse::tablePath(WarehouseVolumes::volumePath(path, v)));
    }
    // A value that shrinks or keeps its size stays where it is, in a full volume too.
    const std::string kept = std::to_string(rng() % static_cast<unsigned>(next));
    const size_t before = volumeOf(kept);
    {
      WarehouseVolumes w;
      w.setMinimumPayload(128);
      w.setAreaLimit(kReach);
      ASSERT_TRUE(w.open(path));
      model[kept] = filled(model[kept].size(), static_cast<std::uint8_t>(round));
      ASSERT_TRUE(w.put(kept, model[kept]));
      Bytes got;
      for (const auto& [name, value] : model) {
        ASSERT_TRUE(w.get(name, got)) << round << " " << name;
        ASSERT_EQ(got, value) << round << " " << name;
      }
      ASSERT_TRUE(w.close());
    }
    EXPECT_EQ(volumeOf(kept), before) << round;
    for (const auto& entry : model) volumeOf(entry.first);
  }
  // The first volume lost names to later ones: its directory keeps their places empty.
  Warehouse first;
  ASSERT_TRUE(first.open(path, true));
  Bytes directory;
  ASSERT_TRUE(first.blockStore().readChain(0, directory));
  ASSERT_EQ(directory.size() % 132, 0u);
  size_t holes = 0;
  for (size_t r = 0; r < directory.size() / 132; ++r) {
    const std::string name(reinterpret_cast<const char*>(directory.data() + r * 132));
    if (name.empty()) ++holes;
    else EXPECT_EQ(name, std::to_string(r));
  }
  EXPECT_GT(holes, 0u);
  EXPECT_EQ(directory.size() / 132, first.nameCount() + holes);
}

// A warehouse filled to its reach in the run that created it, whose first names then move on
// (to a later volume) while the blocks they free are taken by other values, keeps their places
// empty in its directory, so that the next run can patch the directory instead of writing it
// whole; with more than an eighth of the places empty it is written record after record.
TEST(WarehouseVolumesTest, AVolumeFilledInOneRunKeepsThePlacesOfNamesThatMovedOn) {
  constexpr std::int64_t kReach = 256 * 1024;
  for (const int moved : {3, 100, 200}) {
    SCOPED_TRACE(moved);
    ScratchDir dir;
    const std::string path = dir.file("w.aos");
    std::map<std::string, Bytes> model;
    {
      Warehouse w;
      w.setMinimumPayload(128);
      w.setAreaLimit(kReach);
      ASSERT_TRUE(w.create(path));
      // Filled as a volume is: a new name goes in only while it certainly fits.
      for (int n = 0; w.hasRoomFor(100); ++n) {
        model[std::to_string(n)] = filled(100, static_cast<std::uint8_t>(n));
        ASSERT_TRUE(w.put(std::to_string(n), model[std::to_string(n)]));
      }
      for (int n = 0; n < moved; ++n) {
        ASSERT_TRUE(w.remove(std::to_string(n)));
        model.erase(std::to_string(n));
      }
      // Values that stay grow while they certainly fit, then one into every freed block.
      for (int n = moved; w.hasRoomFor(1000); ++n) {
        model[std::to_string(n)] = filled(1000, static_cast<std::uint8_t>(n));
        ASSERT_TRUE(w.put(std::to_string(n), model[std::to_string(n)]));
      }
      const std::string grown = std::to_string(moved);
      size_t size = model[grown].size();
      while (w.hasRoomToReplace(grown, size + 1)) ++size;
      model[grown] = filled(size, 7);
      ASSERT_TRUE(w.put(grown, model[grown]));
      ASSERT_TRUE(w.close()) << w.error();
    }
    EXPECT_LE(std::filesystem::file_size(path), Warehouse::kHeaderBytes + kReach);
    Warehouse first;
    ASSERT_TRUE(first.open(path, true));
    Bytes directory;
    ASSERT_TRUE(first.blockStore().readChain(0, directory));
    size_t holes = 0;
    bool positional = true;
    for (size_t r = 0; r < directory.size() / 132; ++r) {
      const std::string name(reinterpret_cast<const char*>(directory.data() + r * 132));
      if (name.empty()) ++holes;
      else positional = positional && name == std::to_string(r);
    }
    const bool inPlace = static_cast<size_t>(moved) * 8 <= first.nameCount() + static_cast<size_t>(moved);
    EXPECT_EQ(positional, inPlace) << first.nameCount() << " names";
    EXPECT_EQ(holes, inPlace ? static_cast<size_t>(moved) : 0u);
    Bytes got;
    for (const auto& [name, value] : model) {
      ASSERT_TRUE(first.get(name, got)) << name;
      EXPECT_EQ(got, value) << name;
    }
  }
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
