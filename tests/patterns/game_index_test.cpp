#include "patterns/game_index.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "patterns/pattern_file_header.h"
#include "support/scratch_dir.h"

namespace mh {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::ScratchDir;
using ::testing::ElementsAre;

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

void put(const std::string& path, const std::string& content) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  ASSERT_TRUE(test::writeFileBytes(path, bytesOf(content))) << path;
}

// A collection in the scratch directory holding the given (name, content) files; its path with "/".
std::string collectionOf(const ScratchDir& dir, std::initializer_list<std::pair<std::string, std::string>> files) {
  const std::string d = dir.path() + "/";
  for (const auto& [name, content] : files) put(d + name, content);
  return d;
}

// Records for the fake loader are one line "game;black;moves"; a file starting with "x" does not
// load. Counts its calls.
struct FakeLoader {
  int calls = 0;
  GameLoader loader() {
    return [this](const std::string& path, GameRecord& record, int& winner, ParseError*) {
      ++calls;
      const Bytes bytes = test::readFileBytes(path);
      const std::string s(bytes.begin(), bytes.end());
      if (s.empty() || s[0] == 'x') return false;
      const size_t a = s.find(';');
      const size_t b = s.find(';', a + 1);
      if (a == std::string::npos || b == std::string::npos) return false;
      record.resetTo19();
      record.info().setText(GameInfo::kGameName, s.substr(0, a));
      record.info().setText(GameInfo::kBlackName, s.substr(a + 1, b - a - 1));
      const int moves = std::stoi(s.substr(b + 1));
      for (int i = 0; i < moves; ++i) record.appendMove(i % 2 == 0 ? Black : White, i);
      winner = Black;
      return true;
    };
  }
};

GameIndexScan scanOf(GameLoader load, int limit = -1, const std::atomic<int>* runFlag = nullptr) {
  GameIndexScan scan;
  scan.load = std::move(load);
  scan.limit = limit;
  scan.runFlag = runFlag;
  return scan;
}

std::vector<std::string> names(const GameIndex& index) {
  std::vector<std::string> out;
  for (const auto& e : index.entries()) out.push_back(e.relativeName());
  return out;
}

GameIndexEntry sampleEntry(const std::string& name, int number) {
  GameInfo info;
  info.setText(GameInfo::kGameName, "game " + name);
  info.setText(GameInfo::kBlackName, "\xba\xda");  // GB bytes stay as they are
  info.setWinner(GameInfo::WhiteWins);
  info.setText(GameInfo::kResultText, "W+R");
  GameIndexEntry e;
  EXPECT_TRUE(e.assign(info, name, 120, number));
  return e;
}

TEST(GameIndexEntryTest, ImageCopiesTheInformationAndPlacesNameCountAndNumber) {
  GameInfo info;
  for (size_t i = 0; i < GameInfo::kSize; ++i) info.bytes()[i] = static_cast<std::uint8_t>(i * 7 + 1);
  GameIndexEntry e;
  ASSERT_TRUE(e.assign(info, "sub/a b(1).sgf", 213, 42));
  const auto& b = e.bytes();
  EXPECT_EQ(0, std::memcmp(b.data(), info.bytes().data(), 354));
  EXPECT_EQ(0, std::memcmp(b.data() + 354, "sub/a b(1).sgf", 15));  // with its NUL
  EXPECT_TRUE(std::all_of(b.begin() + 369, b.begin() + 654, [](std::uint8_t v) { return v == 0; }));
  const Bytes tail(b.begin() + 654, b.end());
  EXPECT_EQ(tail, (Bytes{213, 0, 0, 0, 42, 0, 0, 0}));
  EXPECT_EQ(e.moveCount(), 213);
  EXPECT_EQ(e.number(), 42);
  EXPECT_EQ(e.relativeName(), "sub/a b(1).sgf");
}

TEST(GameIndexEntryTest, RelativeNameMustFitWithItsTerminator) {
  struct Case {
    std::string name;
    bool fits;
  } cases[] = {{std::string(299, 'n'), true}, {std::string(300, 'n'), false}, {"", false},
               {std::string("a\0b", 3), false}};
  for (const auto& c : cases) {
    GameIndexEntry e;
    EXPECT_EQ(e.assign(GameInfo{}, c.name, 1, 0), c.fits) << c.name.size();
    if (c.fits) EXPECT_EQ(e.relativeName(), c.name);
    else EXPECT_EQ(e, GameIndexEntry{});
  }
}

TEST(GameIndexTest, FileRoundTripKeepsEveryEntryByte) {
  ScratchDir dir;
  GameIndex index;
  index.setDirectory("/records/");
  index.append(sampleEntry("a.sgf", 0));
  index.append(sampleEntry("sub/\xe4\xb8\xad.SGF", 1));
  ASSERT_TRUE(index.write(dir.file("x.idx")));

  const Bytes file = test::readFileBytes(dir.file("x.idx"));
  ASSERT_EQ(file.size(), 32u + 2 * 662);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data())), "qpindex");
  EXPECT_EQ(file[28], 2);

  GameIndex back;
  ASSERT_TRUE(back.read(dir.file("x.idx"), "/other/"));
  EXPECT_EQ(back.entries(), index.entries());
  EXPECT_TRUE(back.contains("sub/\xe4\xb8\xad.SGF"));
  EXPECT_FALSE(back.contains("sub/\xe4\xb8\xad.sgf"));
  EXPECT_EQ(back.pathOf(1), "/other/sub/\xe4\xb8\xad.SGF");
  EXPECT_EQ(back.pathOf(2), std::nullopt);
  EXPECT_EQ(back.pathOf(-1), std::nullopt);
}

// An index read from a file and appended to writes only its new entries there, and the file ends
// byte for byte as a whole write of the same entries, whatever the file went through meanwhile:
// bytes past its count left by an append killed before its count, or a file that no longer holds
// the entries read (then it is written whole).
TEST(GameIndexTest, AppendedIndexEndsAsTheWholeWrite) {
  enum class Meanwhile { Nothing, StaleTail, LongStaleTail, Replaced, Removed };
  for (const bool packed : {false, true}) {
    for (const Meanwhile meanwhile :
         {Meanwhile::Nothing, Meanwhile::StaleTail, Meanwhile::LongStaleTail, Meanwhile::Replaced, Meanwhile::Removed}) {
      SCOPED_TRACE(testing::Message() << "packed " << packed << ", case " << static_cast<int>(meanwhile));
      ScratchDir dir;
      const std::string path = dir.file("x.idx");
      GameIndex first;
      for (int n = 0; n < 3; ++n) first.append(sampleEntry("a" + std::to_string(n) + ".sgf", n));
      ASSERT_TRUE(first.write(path));
      GameIndex index;
      if (packed) index.holdPacked();
      ASSERT_TRUE(index.read(path, "/records/"));
      Bytes onDisk = test::readFileBytes(path);
      switch (meanwhile) {
        case Meanwhile::Nothing: break;
        case Meanwhile::StaleTail: onDisk.resize(onDisk.size() + 100, 0x5a); break;
        case Meanwhile::LongStaleTail: onDisk.resize(onDisk.size() + 10 * 662, 0x5a); break;
        case Meanwhile::Replaced: onDisk[28] = 2; break;
        case Meanwhile::Removed: break;
      }
      if (meanwhile == Meanwhile::Removed) std::filesystem::remove(path);
      else ASSERT_TRUE(test::writeFileBytes(path, onDisk));
      for (int n = 3; n < 6; ++n) index.append(sampleEntry("b" + std::to_string(n) + ".sgf", n));
      ASSERT_TRUE(index.write(path));
      ASSERT_TRUE(index.write(dir.file("whole.idx")));
      EXPECT_EQ(test::readFileBytes(path), test::readFileBytes(dir.file("whole.idx")));
      EXPECT_EQ(test::readFileBytes(path).size(), 32u + 6 * 662);
      // Written again with nothing new, it stays as it is.
      ASSERT_TRUE(index.write(path));
      EXPECT_EQ(test::readFileBytes(path), test::readFileBytes(dir.file("whole.idx")));
    }
  }
}

// An append whose count is never written leaves the file reading as it was.
TEST(PatternFileAppendTest, RecordsCountOnlyOnceFinished) {
  ScratchDir dir;
  const std::string path = dir.file("x.idx");
  GameIndex index;
  for (int n = 0; n < 2; ++n) index.append(sampleEntry("a" + std::to_string(n) + ".sgf", n));
  ASSERT_TRUE(index.write(path));
  const Bytes before = test::readFileBytes(path);
  {
    PatternFileAppend append;
    EXPECT_FALSE(append.open(path, kGameIndexTag, GameIndexEntry::kSize, 1));  // the count disagrees
    EXPECT_FALSE(append.open(path, kPatternIndexTag, GameIndexEntry::kSize, 2));  // another kind of file
    EXPECT_FALSE(append.open(path, kGameIndexTag, GameIndexEntry::kSize + 1, 2));  // shorter than the count
    ASSERT_TRUE(append.open(path, kGameIndexTag, GameIndexEntry::kSize, 2));
    sampleEntry("c.sgf", 2).write(append.out());
    ASSERT_TRUE(append.flushIfFull());
  }  // dropped unfinished, as a killed program would leave it
  GameIndex back;
  ASSERT_TRUE(back.read(path, "/"));
  EXPECT_EQ(back.count(), 2);
  EXPECT_EQ(test::readFileBytes(path).size(), before.size());  // a piece below 1 MiB is not written yet
  PatternFileAppend append;
  ASSERT_TRUE(append.open(path, kGameIndexTag, GameIndexEntry::kSize, 2));
  append.out().writeU8(1);  // not a whole record
  EXPECT_FALSE(append.finish());
  ASSERT_TRUE(back.read(path, "/"));
  EXPECT_EQ(back.count(), 2);
}

// Entries held packed unpack to the bytes they went in with, whatever runs of zeros and other
// bytes they hold (runs longer than a packed run can say, runs at either end, no zeros at all).
TEST(PackedGameEntriesTest, EntriesUnpackToTheirBytes) {
  std::vector<GameIndexEntry> cases(6);
  for (size_t i = 0; i < GameIndexEntry::kSize; ++i) {
    cases[1].bytes()[i] = 0xff;                                       // no zero at all
    cases[2].bytes()[i] = static_cast<std::uint8_t>(i % 2 ? 0 : i);   // single zeros between bytes
    cases[3].bytes()[i] = i == 300 ? 7 : 0;                           // long runs either side
    cases[4].bytes()[i] = static_cast<std::uint8_t>((i * 37) % 5 == 0 ? 0 : i * 13 + 1);
  }
  cases[5] = sampleEntry("sub/\xe4\xb8\xad.SGF", 123456);
  // Enough rounds that entries straddle the pages the packed bytes are held in.
  constexpr size_t kRounds = 64;
  PackedGameEntries packed;
  for (size_t round = 0; round < kRounds; ++round)
    for (const auto& e : cases) packed.push_back(e);
  ASSERT_EQ(packed.size(), kRounds * cases.size());
  ASSERT_GT(packed.heldBytes(), size_t{2} << 16);
  GameIndexEntry out;
  for (size_t n = packed.size(); n-- > 0;) {
    out.bytes().fill(0xaa);
    packed.get(n, out);
    EXPECT_EQ(out, cases[n % cases.size()]) << n;
  }
}

// An index held packed gives the same entries, finds, file bytes and scan results as one held
// as the entries lie, through a build with duplicates, an update and a read of its own file.
TEST(GameIndexTest, PackedIndexBehavesAsThePlainOne) {
  ScratchDir plainDir;
  ScratchDir packedDir;
  std::vector<std::string> collections;
  for (const ScratchDir* dir : {&plainDir, &packedDir})
    collections.push_back(collectionOf(*dir, {{"a.sgf", "g1;p;20"},
                                              {"b/a copy.sgf", "g1;p;20"},
                                              {"b/changed.sgf", "g1;p;20 "},
                                              {"b/\xe4\xb8\xad.sgf", "g1;q;20"}}));
  FakeLoader fake;
  GameIndex plain;
  GameIndex packed;
  packed.holdPacked();
  auto expectSame = [&](const char* step) {
    SCOPED_TRACE(step);
    ASSERT_EQ(packed.count(), plain.count());
    for (int n = 0; n < plain.count(); ++n) {
      EXPECT_EQ(packed.entryCopy(n), plain.entry(n)) << n;
      EXPECT_EQ(packed.find(plain.entry(n).relativeName()), plain.find(plain.entry(n).relativeName()));
      EXPECT_EQ(packed.pathOf(n).value().substr(collections[1].size()), plain.pathOf(n).value().substr(collections[0].size()));
    }
    EXPECT_EQ(packed.find("missing.sgf"), -1);
    ASSERT_TRUE(plain.write(plainDir.file("x.idx")));
    ASSERT_TRUE(packed.write(packedDir.file("x.idx")));
    EXPECT_EQ(test::readFileBytes(packedDir.file("x.idx")), test::readFileBytes(plainDir.file("x.idx")));
  };
  const auto rPlain = plain.build(collections[0], scanOf(fake.loader()));
  const auto rPacked = packed.build(collections[1], scanOf(fake.loader()));
  EXPECT_EQ(rPacked.added, rPlain.added);
  EXPECT_EQ(rPacked.duplicates, rPlain.duplicates);
  expectSame("build");

  for (const std::string& d : collections) {
    put(d + "c/again.sgf", "g1;p;20 ");
    put(d + "c/new.sgf", "g9;p;3");
  }
  const auto uPlain = plain.update(collections[0], scanOf(fake.loader()));
  const auto uPacked = packed.update(collections[1], scanOf(fake.loader()));
  EXPECT_EQ(uPacked.added, uPlain.added);
  EXPECT_EQ(uPacked.duplicates, uPlain.duplicates);
  expectSame("update");

  GameIndex reread;
  reread.holdPacked();
  ASSERT_TRUE(reread.read(packedDir.file("x.idx"), collections[1]));
  ASSERT_EQ(reread.count(), plain.count());
  for (int n = 0; n < plain.count(); ++n) EXPECT_EQ(reread.entryCopy(n), plain.entry(n)) << n;
  EXPECT_TRUE(reread.entries().empty());
}

// Names are found the same before and after they are indexed, also for names appended later and
// names listed twice (the first number answers, and the later numbers say they repeat a name),
// packed or not.
TEST(GameIndexTest, FindGivesTheFirstNumberOfANameIndexedOrNot) {
  for (const bool packed : {false, true}) {
    SCOPED_TRACE(packed ? "packed" : "plain");
    GameIndex index;
    if (packed) index.holdPacked();
    for (const char* name : {"a.sgf", "b.sgf", "a.sgf", "c/a.sgf"}) index.append(sampleEntry(name, index.count()));
    const std::pair<const char*, int> cases[] = {{"a.sgf", 0}, {"b.sgf", 1}, {"c/a.sgf", 3}, {"A.sgf", -1},
                                                 {"a.sg", -1},  {"", -1},      {"d.sgf", 4}};
    const auto expectRepeats = [&](std::vector<bool> repeats, int pass) {
      ASSERT_EQ(index.count(), static_cast<int>(repeats.size()));
      for (int n = 0; n < index.count(); ++n) EXPECT_EQ(index.repeatsName(n), repeats[static_cast<size_t>(n)]) << n << " pass " << pass;
    };
    for (int pass = 0; pass < 2; ++pass) {
      if (pass == 1) index.indexNames();
      for (const auto& [name, number] : cases) {
        if (number == 4) continue;  // not yet appended
        EXPECT_EQ(index.find(name), number) << name << " pass " << pass;
      }
      expectRepeats({false, false, true, false}, pass);
    }
    index.append(sampleEntry("d.sgf", 4));
    index.append(sampleEntry("b.sgf", 5));
    for (const auto& [name, number] : cases) EXPECT_EQ(index.find(name), number) << name;
    expectRepeats({false, false, true, false, false, true}, 2);
  }
}

// A hash shared by many numbers offers each in turn, in increasing order, also across regrowing;
// the caller's check decides.
TEST(HashedNumbersTest, CollidingHashesOfferEveryNumberInOrder) {
  HashedNumbers table;
  for (std::int32_t n = 0; n < 1000; ++n) table.insert(n % 3 == 0 ? 42 : std::uint64_t(n) * 0x9e3779b97f4a7c15ULL, n);
  std::vector<std::int32_t> offered;
  EXPECT_EQ(table.find(42, [&](std::int32_t n) {
    offered.push_back(n);
    return false;
  }), -1);
  ASSERT_EQ(offered.size(), 334u);
  for (size_t i = 0; i < offered.size(); ++i) EXPECT_EQ(offered[i], static_cast<std::int32_t>(3 * i));
  EXPECT_EQ(table.find(42, [](std::int32_t n) { return n == 300; }), 300);
  EXPECT_EQ(table.find(std::uint64_t(7) * 0x9e3779b97f4a7c15ULL, [](std::int32_t n) { return n == 7; }), 7);
  EXPECT_EQ(table.find(43, [](std::int32_t) { return true; }), -1);
}

TEST(GameIndexTest, ReadRefusesDamagedFilesAndLeavesTheIndexEmpty) {
  ScratchDir dir;
  GameIndex good;
  good.append(sampleEntry("a.sgf", 0));
  good.append(sampleEntry("b.sgf", 1));
  ASSERT_TRUE(good.write(dir.file("good.idx")));
  const Bytes valid = test::readFileBytes(dir.file("good.idx"));

  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
  } cases[] = {
      {"wrong tag", [](Bytes& b) { b[1] = 'x'; }},
      {"double not zero", [](Bytes& b) { b[27] = 0x3f; }},
      {"count beyond the file", [](Bytes& b) { b[28] = 3; }},
      {"negative count", [](Bytes& b) { b[31] = 0x80; }},
      {"cut inside an entry", [](Bytes& b) { b.resize(b.size() - 1); }},
      {"cut inside the header", [](Bytes& b) { b.resize(20); }},
  };
  for (const auto& c : cases) {
    Bytes bytes = valid;
    c.damage(bytes);
    ASSERT_TRUE(test::writeFileBytes(dir.file("bad.idx"), bytes));
    GameIndex index;
    index.append(sampleEntry("old.sgf", 0));
    EXPECT_FALSE(index.read(dir.file("bad.idx"), "/d/")) << c.what;
    EXPECT_EQ(index.count(), 0) << c.what;
    EXPECT_FALSE(index.contains("old.sgf")) << c.what;
  }
  GameIndex missing;
  EXPECT_FALSE(missing.read(dir.file("none.idx"), "/d/"));
}

TEST(GameIndexTest, BuildTakesRecordFilesInListingOrder) {
  ScratchDir dir;
  const std::string d = dir.path() + "/";
  put(d + "b.SGF", "g2;p;3");
  put(d + "a.sgf", "g1;p;2");
  put(d + "c.gib", "g3;p;4");
  put(d + "d.txt", "g4;p;5");
  put(d + "bad.sgf", "x");
  put(d + "noext", "g5;p;1");
  put(d + "y.sgf/z.sgf", "g6;p;6");  // a directory named like a record
  put(d + "sub dir (1)/e.sgf", "g7;p;7");
  FakeLoader fake;
  GameIndex index;
  const auto r = index.build(d, scanOf(fake.loader()));
  EXPECT_TRUE(r.completed);
  EXPECT_EQ(r.added, 5);
  EXPECT_THAT(names(index), ElementsAre("a.sgf", "b.SGF", "c.gib", "sub dir (1)/e.sgf", "y.sgf/z.sgf"));
  ASSERT_EQ(index.count(), 5);
  for (int n = 0; n < index.count(); ++n) EXPECT_EQ(index.entry(n).number(), n);
  EXPECT_EQ(index.entry(0).gameName(), "g1");
  EXPECT_EQ(index.entry(0).moveCount(), 2);
  EXPECT_EQ(index.entry(3).moveCount(), 7);
  EXPECT_EQ(index.pathOf(3), d + "sub dir (1)/e.sgf");
}

TEST(GameIndexTest, MissingOrEmptyCollectionGivesAnEmptyIndex) {
  ScratchDir dir;
  FakeLoader fake;
  for (const std::string& d : {dir.path() + "/none/", dir.path() + "/", std::string()}) {
    GameIndex index;
    index.append(sampleEntry("old.sgf", 0));
    const auto r = index.build(d, scanOf(fake.loader()));
    EXPECT_TRUE(r.completed) << d;
    EXPECT_EQ(index.count(), 0) << d;
  }
}

TEST(GameIndexTest, DuplicateFilesAreDeletedAndChangedCopiesKept) {
  ScratchDir dir;
  const std::string d = collectionOf(dir, {{"a.sgf", "g1;p;20"},
                                           {"b/a copy.sgf", "g1;p;20"},     // same bytes, new name: a duplicate
                                           {"b/changed.sgf", "g1;p;20 "},   // one byte more: kept
                                           {"b/other.sgf", "g1;q;20"}});    // another player: kept
  FakeLoader fake;
  GameIndex index;
  const auto r = index.build(d, scanOf(fake.loader()));
  EXPECT_EQ(r.duplicates, 1);
  EXPECT_THAT(names(index), ElementsAre("a.sgf", "b/changed.sgf", "b/other.sgf"));
  EXPECT_FALSE(std::filesystem::exists(d + "b/a copy.sgf"));
  EXPECT_TRUE(std::filesystem::exists(d + "a.sgf"));

  // Copies added later are found by an update against the indexed files.
  put(d + "c/again.sgf", "g1;p;20 ");
  put(d + "c/new.sgf", "g9;p;3");
  const auto u = index.update(d, scanOf(fake.loader()));
  EXPECT_EQ(u.added, 1);
  EXPECT_EQ(u.duplicates, 1);
  EXPECT_THAT(names(index), ElementsAre("a.sgf", "b/changed.sgf", "b/other.sgf", "c/new.sgf"));
  EXPECT_EQ(index.entry(3).number(), 3);
  EXPECT_FALSE(std::filesystem::exists(d + "c/again.sgf"));
}

// Contents are compared byte for byte, past the first 64 KiB piece too, and files of one size
// that differ anywhere are not the same; a file that is missing is never the same as another.
TEST(GameIndexTest, SameFileContentsComparesEveryByte) {
  ScratchDir dir;
  const std::string big(200000, 'x');
  std::string bigLate = big;
  bigLate[150000] = 'y';
  struct Case {
    const char* what;
    std::string a;
    std::string b;
    bool same;
  };
  const Case cases[] = {
      {"equal", "g1;p;20", "g1;p;20", true},
      {"one byte changed", "g1;p;20", "g1;p;21", false},
      {"one byte more", "g1;p;20", "g1;p;20 ", false},
      {"both empty", "", "", true},
      {"equal past one piece", big, big, true},
      {"changed in a later piece", big, bigLate, false},
  };
  // Each case twice: buffers kept from one comparison must not leak into the next.
  for (int round = 0; round < 2; ++round) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      put(dir.file("a"), c.a);
      put(dir.file("b"), c.b);
      EXPECT_EQ(sameFileContents(dir.file("a"), dir.file("b")), c.same);
      EXPECT_EQ(sameFileContents(dir.file("b"), dir.file("a")), c.same);
    }
  }
  EXPECT_FALSE(sameFileContents(dir.file("a"), dir.file("missing")));
  EXPECT_FALSE(sameFileContents(dir.file("missing"), dir.file("missing")));
}

// What a user can mend is logged: a duplicate that cannot be deleted, a name too long for an entry.
TEST(GameIndexTest, DuplicateThatCannotBeDeletedOrNameTooLongIsLoggedAndLeftOut) {
  ScratchDir dir;
  const std::string longName = std::string(150, 'd') + "/" + std::string(145, 'n') + ".sgf";  // 300 bytes
  const std::string d = collectionOf(dir, {{"a.sgf", "g1;p;20"}, {"b.sgf", "g1;p;20"}, {"c.sgf", "g2;p;20"},
                                           {longName, "g3;p;20"}});
  std::vector<std::string> log;
  FakeLoader fake;
  GameIndex index;
  GameIndexScan scan = scanOf(fake.loader());
  scan.log = [&](std::string_view line) { log.emplace_back(line); };
  scan.removeFile = [](const std::string&) {
    errno = EROFS;
    return false;
  };
  const auto r = index.build(d, scan);
  EXPECT_THAT(names(index), ElementsAre("a.sgf", "c.sgf"));
  EXPECT_EQ(r.deleteFailures, 1);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_THAT(log[0], ::testing::HasSubstr(d + "b.sgf"));
  EXPECT_EQ(log[1], "skipped record file " + d + longName + ": its name within the collection is longer than 299 bytes");
  EXPECT_TRUE(std::filesystem::exists(d + "b.sgf"));
}

TEST(GameIndexTest, UpdatePassesOverIndexedFilesWithoutLoadingThem) {
  ScratchDir dir;
  const std::string d = collectionOf(dir, {{"a.sgf", "g1;p;1"}, {"b.sgf", "g2;p;1"}});
  FakeLoader fake;
  GameIndex index;
  (void)index.build(d, scanOf(fake.loader()));
  put(d + "c.sgf", "g3;p;1");
  fake.calls = 0;
  const auto r = index.update(d, scanOf(fake.loader()));
  EXPECT_EQ(fake.calls, 1);
  EXPECT_EQ(r.added, 1);
  EXPECT_THAT(names(index), ElementsAre("a.sgf", "b.sgf", "c.sgf"));
}

TEST(GameIndexTest, StoppedScansContinueToTheSameIndex) {
  ScratchDir dir;
  const std::string d = dir.path() + "/";
  for (int i = 0; i < 7; ++i) put(d + "f" + std::to_string(i) + ".sgf", "g" + std::to_string(i) + ";p;1");
  FakeLoader fake;
  GameIndex whole;
  (void)whole.build(d, scanOf(fake.loader()));

  GameIndex chunked;
  int runs = 0;
  for (bool done = false; !done && runs < 10; ++runs) {
    const auto r = chunked.update(d, scanOf(fake.loader(), 3));
    EXPECT_LE(r.added, 3);
    done = r.completed;
  }
  EXPECT_EQ(runs, 3);
  EXPECT_EQ(chunked.entries(), whole.entries());

  std::atomic<int> stopped{0};
  GameIndex none;
  const auto r = none.update(d, scanOf(fake.loader(), -1, &stopped));
  EXPECT_FALSE(r.completed);
  EXPECT_EQ(none.count(), 0);
}

}  // namespace
}  // namespace mh
