#include "model/board_snapshot.h"

#include <gtest/gtest.h>

#include "model/board.h"

namespace mh {
namespace {

std::vector<std::uint8_t> ints(std::initializer_list<std::int32_t> values) {
  std::vector<std::uint8_t> bytes;
  ByteWriter w(bytes);
  for (auto v : values) w.writeI32(v);
  return bytes;
}

TEST(BoardSnapshot, EmptyBoardIsSixteenBytes) {
  const auto bytes = Board().snapshot().toBytes();
  EXPECT_EQ(bytes, ints({19, 19, 0, 0}));
}

TEST(BoardSnapshot, BinaryRoundTripIsExact) {
  Board board(9, 7);
  board.set(board.point(8, 6), Black);
  board.set(board.point(0, 0), Black);
  board.set(board.point(4, 3), White);
  const BoardSnapshot s = board.snapshot();
  const auto bytes = s.toBytes();
  EXPECT_EQ(bytes, ints({9, 7, 2, 1, 0, 62, 31}));
  ByteReader in(bytes);
  BoardSnapshot back;
  ASSERT_TRUE(back.read(in));
  EXPECT_TRUE(in.atEnd());
  EXPECT_EQ(back, s);
  EXPECT_EQ(back.points, s.points);
}

TEST(BoardSnapshot, ReadsSeveralInARow) {
  auto bytes = ints({19, 19, 1, 0, 60});
  const auto second = ints({5, 5, 0, 1, 12});
  bytes.insert(bytes.end(), second.begin(), second.end());
  ByteReader in(bytes);
  BoardSnapshot a, b;
  ASSERT_TRUE(a.read(in));
  ASSERT_TRUE(b.read(in));
  EXPECT_EQ(a.points, PointList{60});
  EXPECT_EQ(b.points, PointList{12});
  EXPECT_EQ(b.whiteCount, 1);
}

struct BadCase {
  const char* name;
  std::vector<std::uint8_t> bytes;
};

TEST(BoardSnapshot, MalformedInputFailsWithoutPoints) {
  auto shortHeader = ints({19, 19, 0});
  shortHeader.push_back(0);
  const BadCase cases[] = {
      {"empty", {}},
      {"short header", shortHeader},
      {"fewer points than claimed", ints({19, 19, 2, 1, 3, 4})},
      {"negative black count", ints({19, 19, -1, 0})},
      {"negative white count", ints({19, 19, 0, -5, 1, 2})},
      {"count near the int limit", ints({19, 19, 0x7fffffff, 0x7fffffff, 1})},
  };
  for (const auto& c : cases) {
    ByteReader in(c.bytes);
    BoardSnapshot s;
    s.points = {1, 2, 3};
    EXPECT_FALSE(s.read(in)) << c.name;
    EXPECT_TRUE(s.points.empty()) << c.name;
  }
}

TEST(BoardSnapshot, WriteRefusesCountsThatDoNotMatchThePoints) {
  BoardSnapshot s;
  s.width = s.height = 19;
  s.blackCount = 2;
  s.points = {1};
  std::vector<std::uint8_t> bytes;
  ByteWriter w(bytes);
  EXPECT_FALSE(s.write(w));
  EXPECT_TRUE(bytes.empty());
}

// Library look-ups compare keys with ==, so it must be an equivalence: a snapshot whose points
// were never read (counts only) once equalled both {40} and {41}, which differ from each other.
TEST(BoardSnapshot, EqualityIsAnEquivalenceOverEveryField) {
  const BoardSnapshot distinct[] = {
      {19, 19, 1, 0, {40}}, {19, 19, 1, 0, {41}}, {19, 19, 1, 0, {}},   {19, 19, 0, 1, {40}},
      {19, 13, 1, 0, {40}}, {13, 19, 1, 0, {40}}, {19, 19, 0, 0, {}},  {0, 0, 0, 0, {}},
  };
  for (const BoardSnapshot& a : distinct) {
    const BoardSnapshot copy = a;
    EXPECT_EQ(a, copy);
    for (const BoardSnapshot& b : distinct)
      EXPECT_EQ(a == b, &a == &b) << a.blackCount << "/" << a.points.size() << " vs " << b.blackCount << "/"
                                  << b.points.size();
  }
}

}  // namespace
}  // namespace mh
