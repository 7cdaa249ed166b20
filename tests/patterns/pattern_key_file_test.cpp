#include "patterns/pattern_key_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "patterns/data_file_pattern_store.h"
#include "patterns/pattern_data_writer.h"
#include "patterns/pattern_hash_table.h"
#include "platform/byte_io.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::readFileBytes;
using test::ScratchDir;
using test::writeFileBytes;

// A position of one black and one white stone at a and b: every pair with the same a + b falls in
// the same bucket with the same counts, which is where a key file earns its keep.
PatternEntry pairEntry(int a, int b, int played, std::string text = {}) {
  PatternEntry e;
  e.snapshot.width = 19;
  e.snapshot.height = 19;
  e.snapshot.blackCount = 1;
  e.snapshot.whiteCount = 1;
  e.snapshot.points = {a, b};
  e.side = 1;
  e.candidates.push_back({a + 19, played, played / 2, played - played / 2});
  e.text = std::move(text);
  e.occurrences.push_back({1000 + a, 3, static_cast<std::int16_t>(a + 19)});
  return e;
}

// Thirty entries in three buckets, ten sharing each one's counts and side, and a few others.
std::vector<PatternEntry> sampleEntries() {
  std::vector<PatternEntry> entries;
  for (int sum : {100, 200, 300})
    for (int a = 0; a < 10; ++a) entries.push_back(pairEntry(sum / 2 - 20 + a, sum / 2 + 20 - a, 5 + a));
  PatternEntry empty;
  empty.snapshot.width = 19;
  empty.snapshot.height = 19;
  empty.side = 1;
  empty.candidates.push_back({72, 9, 5, 4});
  entries.push_back(empty);
  entries.push_back(pairEntry(3, 4, 2, "some text"));
  return entries;
}

// Enough entries that an index is read in several chunks, the last one partial; each a pair of
// stones, so that the entries crowd into few buckets with equal counts.
std::vector<PatternEntry> manyEntries() {
  std::vector<PatternEntry> entries;
  for (int a = 0; a < 200 && entries.size() < 20000; ++a)
    for (int b = a + 1; b < 361 && entries.size() < 20000; ++b) entries.push_back(pairEntry(a, b, 5 + a % 7));
  return entries;
}

// Writes the data file, index and key file of entries under name, adding each with add.
void writeLibrary(const ScratchDir& dir, const std::string& name, const std::vector<PatternEntry>& entries,
                  const std::function<bool(PatternDataWriter&, const PatternEntry&)>& add) {
  BinaryFile data;
  BinaryFile index;
  BinaryFile keys;
  ASSERT_TRUE(data.open(dir.file(name), BinaryFile::Mode::Create));
  ASSERT_TRUE(index.open(dir.file(name + "_"), BinaryFile::Mode::Create));
  ASSERT_TRUE(keys.open(dir.file(name + ".keys"), BinaryFile::Mode::Create));
  PatternDataWriter writer(data, &index, static_cast<std::int32_t>(entries.size()));
  writer.setKeyFile(&keys);
  for (const auto& e : entries) ASSERT_TRUE(add(writer, e));
  ASSERT_TRUE(writer.finish()) << writer.error();
  ASSERT_TRUE(data.close() && index.close() && keys.close());
}
bool addEntry(PatternDataWriter& w, const PatternEntry& e) { return w.add(e); }

// Every form an entry may come in gives the same key file: each entry's mark is taken from the
// bytes as they lie in the data file.
TEST(PatternKeyFileTest, EveryFormOfAnEntryGivesTheSameKeyFile) {
  const auto entries = sampleEntries();
  ScratchDir dir;
  writeLibrary(dir, "encoded", entries, addEntry);
  writeLibrary(dir, "warehouse", entries, [](PatternDataWriter& w, const PatternEntry& e) {
    Bytes value;
    ByteWriter out(value);
    return e.write(out, PatternEntryForm::Warehouse) && w.addWarehouseValue(value);
  });
  writeLibrary(dir, "copied", entries, [](PatternDataWriter& w, const PatternEntry& e) {
    Bytes bytes;
    ByteWriter out(bytes);
    return e.write(out, PatternEntryForm::DataFile) && w.addEncoded(bytes, patternRecordFor(e, 0));
  });
  const Bytes keys = readFileBytes(dir.file("encoded.keys"));
  PatternKeyFileHeader head;
  ASSERT_TRUE(head.read(keys));
  EXPECT_EQ(head.entries, entries.size());
  EXPECT_EQ(head.dataBytes, readFileBytes(dir.file("encoded")).size());
  EXPECT_EQ(keys.size(), head.fileBytes());
  EXPECT_EQ(readFileBytes(dir.file("warehouse.keys")), keys);
  EXPECT_EQ(readFileBytes(dir.file("copied.keys")), keys);
}

// A key file is used only while it belongs to the pair it is opened with; whatever it is, every
// stored position is found (with its number) and no other is. Positions that share a bucket and
// counts with stored ones, but are not stored, are the ones a wrong mark would confuse. Libraries
// small and large: a large one's index and marks are read in several chunks.
TEST(PatternKeyFileTest, AKeyFileIsUsedOnlyWhenItBelongsToThePair) {
  struct Library {
    const char* name;
    std::vector<PatternEntry> entries;
    std::vector<PatternEntry> absent;  // share buckets and counts with stored entries
  };
  std::vector<Library> libraries(2);
  libraries[0].name = "small";
  libraries[0].entries = sampleEntries();
  for (int sum : {100, 200, 300})
    for (int a = 10; a < 20; ++a) libraries[0].absent.push_back(pairEntry(sum / 2 - 20 + a, sum / 2 + 20 - a, 1));
  libraries[1].name = "large";
  libraries[1].entries = manyEntries();
  for (int a = 100; a < 110; ++a) libraries[1].absent.push_back(pairEntry(a, 350 - a, 1));  // stored: a < 62

  for (const Library& library : libraries) {
    SCOPED_TRACE(library.name);
    const auto& entries = library.entries;
    const size_t n = entries.size();
    std::vector<PatternEntry> reordered = entries;
    std::swap(reordered[3], reordered[n - 3 > 13 ? n - 3 : 13]);  // same sizes, other buckets: only the index tells
    std::vector<PatternEntry> other = entries;
    other.back().text = "other text";

    ScratchDir dir;
    writeLibrary(dir, "lib", entries, addEntry);
    writeLibrary(dir, "reordered", reordered, addEntry);
    writeLibrary(dir, "other", other, addEntry);
    const Bytes keys = readFileBytes(dir.file("lib.keys"));
    Bytes flipped = keys;
    for (size_t at = PatternKeyFileHeader::kBytes; at < flipped.size(); ++at) flipped[at] ^= 0x5a;
    // Marks wrong only in the second half: the spread of checked entries reaches them.
    Bytes halfFlipped = keys;
    for (size_t at = PatternKeyFileHeader::kBytes + n / 2 * 2; at < halfFlipped.size(); ++at) halfFlipped[at] ^= 0x5a;
    // One mark wrong: the first entry's, or the last one's (its chunk is the first the second pass
    // reads).
    Bytes firstFlipped = keys;
    firstFlipped[PatternKeyFileHeader::kBytes] ^= 0x5a;
    Bytes lastFlipped = keys;
    lastFlipped.back() ^= 0x5a;
    Bytes longer = keys;
    longer.push_back(0);
    Bytes wrongHead = keys;
    wrongHead[0] ^= 1;

    struct Case {
      const char* name;
      std::function<void(const std::string& path)> prepare;
      bool used;
    };
    const auto writing = [](const Bytes& bytes) {
      return [bytes](const std::string& path) { ASSERT_TRUE(writeFileBytes(path, bytes)); };
    };
    const std::vector<Case> cases = {
        {"as written", writing(keys), true},
        {"missing", [](const std::string&) {}, false},
        {"empty", writing({}), false},
        {"cut short", writing(Bytes(keys.begin(), keys.end() - 1)), false},
        {"one byte longer", writing(longer), false},
        {"not a key file's header", writing(wrongHead), false},
        {"of another library", writing(readFileBytes(dir.file("other.keys"))), false},
        {"of the same entries in another order", writing(readFileBytes(dir.file("reordered.keys"))), false},
        {"marks that are not the keys'", writing(flipped), false},
        {"marks of the second half that are not the keys'", writing(halfFlipped), false},
        {"the first entry's mark not its key's", writing(firstFlipped), false},
        {"the last entry's mark not its key's", writing(lastFlipped), false},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      const std::string keysPath = dir.file("case.keys");
      std::remove(keysPath.c_str());
      c.prepare(keysPath);
      DataFilePatternStore store;
      ASSERT_TRUE(store.openIndex(dir.file("lib_"), dir.file("lib"), keysPath));
      EXPECT_EQ(store.usesKeyFile(), c.used);
      for (size_t i = 0; i < n; ++i) {
        PatternEntry found;
        ASSERT_TRUE(store.findEntry(entries[i].snapshot, entries[i].side, found, EntryParts::Whole)) << i;
        EXPECT_EQ(found, entries[i]) << i;
        if (i % 61 == 0) {
          ASSERT_EQ(store.find(entries[i].snapshot, entries[i].side, nullptr), static_cast<int>(i));
        }
      }
      for (const auto& e : library.absent) {
        PatternEntry found;
        EXPECT_FALSE(store.findEntry(e.snapshot, e.side, found, EntryParts::Whole));
      }
      PatternEntry otherSide;
      EXPECT_FALSE(store.findEntry(entries.front().snapshot, 2, otherSide, EntryParts::Whole));
    }
  }
}

// The buckets are laid in two passes over the index. An index changed between them must never
// place an entry outside its bucket: the open fails wherever the records it meets are not those it
// counted, and succeeds, answering as always, where they are.
TEST(PatternKeyFileTest, AnIndexChangedBetweenThePassesFailsTheOpen) {
  const auto entries = manyEntries();
  ScratchDir dir;
  writeLibrary(dir, "lib", entries, addEntry);
  const Bytes index = readFileBytes(dir.file("lib_"));
  constexpr size_t kHead = 32;  // the index's header, then 17-byte records from the hash on
  const size_t n = entries.size();
  const auto hashAt = [&](size_t i) {
    std::int32_t h = 0;
    std::memcpy(&h, index.data() + kHead + i * 17, 4);
    return h;
  };
  const auto withHashes = [&](const std::function<std::int32_t(size_t i, std::int32_t hash)>& change) {
    Bytes b = index;
    for (size_t i = 0; i < n; ++i) {
      const std::int32_t h = change(i, hashAt(i));
      std::memcpy(b.data() + kHead + i * 17, &h, 4);
    }
    return b;
  };
  const struct {
    const char* name;
    Bytes changed;
    bool opens;
  } cases[] = {
      {"unchanged", index, true},
      {"cut short", Bytes(index.begin(), index.begin() + static_cast<std::ptrdiff_t>(index.size() / 2)), false},
      {"every record in one bucket", withHashes([&](size_t, std::int32_t) { return hashAt(n / 2); }), false},
      {"a record's hash out of range",
       withHashes([&](size_t i, std::int32_t h) { return i == n / 3 ? PatternHashTable::kBuckets : h; }), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.file("case_");
    ASSERT_TRUE(writeFileBytes(path, index));
    DataFilePatternStore store;
    store.setBetweenPasses([&] { ASSERT_TRUE(writeFileBytes(path, c.changed)); });
    ASSERT_EQ(store.openIndex(path, dir.file("lib"), dir.file("lib.keys")), c.opens);
    if (!c.opens) continue;
    EXPECT_TRUE(store.usesKeyFile());
    for (size_t i = 0; i < n; i += 97) {
      PatternEntry found;
      ASSERT_TRUE(store.findEntry(entries[i].snapshot, entries[i].side, found, EntryParts::Whole)) << i;
      EXPECT_EQ(found, entries[i]) << i;
    }
  }
}

}  // namespace
}  // namespace mh
