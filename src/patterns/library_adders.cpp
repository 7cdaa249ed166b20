#include "patterns/library_adders.h"

#include <algorithm>
#include <utility>

#include "model/board_transform.h"
#include "patterns/key_print.h"
#include "patterns/write_back_cache.h"
#include "shapes/cluster_forest.h"
#include "shapes/local_position.h"

namespace mh {

namespace {

constexpr int kClusterDistance = 5;
constexpr int kMinClusterStones = 2;
constexpr int kMaxClusterStones = 50;

void applySetup(const MoveEntry& e, Board& board) {
  if (!e.hasSetup()) return;
  board.setPoints(e.blackSetup, Black);
  board.setPoints(e.whiteSetup, White);
}

// The snapshot of a board holding only the position's stones (lists ascending as cut), into s.
void snapshotOf(const LocalPosition& position, BoardSnapshot& s) {
  s.width = position.width;
  s.height = position.height;
  s.blackCount = static_cast<std::int32_t>(position.blackStones.size());
  s.whiteCount = static_cast<std::int32_t>(position.whiteStones.size());
  s.points.assign(position.blackStones.begin(), position.blackStones.end());
  s.points.insert(s.points.end(), position.whiteStones.begin(), position.whiteStones.end());
}

void countMove(PatternEntry& entry, Point move, int game, int moveIndex, int winner) {
  entry.occurrences.push_back(
      PatternOccurrence{game, static_cast<std::int16_t>(moveIndex), static_cast<std::int16_t>(move)});
  PatternCandidate c = entry.takeCandidate(move);
  ++c.played;
  if (winner != 0) ++(winner == entry.side ? c.wins : c.losses);
  entry.insertCandidate(c);
}

// Plays colour at p on the board, and inserts the stone into snapshot (the board's lists before
// the move) and its prints when the move only put it on an empty point. False when the lists no
// longer follow the board: a capture, or a stone written over another.
bool placeFollowed(Board& board, BoardSnapshot& snapshot, StonePrints& prints, int colour, Point p) {
  const bool wasEmpty = board.get(p) == Empty;
  const int other = colour == Black ? White : Black;
  Point prey[4];
  int preyCount = 0;
  for (Point q : {board.up(p), board.right(p), board.down(p), board.left(p)})
    if (q != kNoPoint && board.get(q) == other) prey[preyCount++] = q;
  if (!board.place(colour, p)) return true;  // nothing changed
  if (!wasEmpty) return false;
  for (int i = 0; i < preyCount; ++i)
    if (board.get(prey[i]) != other) return false;
  const auto blacksEnd = snapshot.points.begin() + snapshot.blackCount;
  if (colour == Black) {
    snapshot.points.insert(std::lower_bound(snapshot.points.begin(), blacksEnd, p), p);
    ++snapshot.blackCount;
  } else {
    snapshot.points.insert(std::lower_bound(blacksEnd, snapshot.points.end(), p), p);
    ++snapshot.whiteCount;
  }
  prints.add(p, colour);
  return true;
}

bool usable19(const GameRecord& record) {
  return record.width() == 19 && record.height() == 19 && record.initialPosition().width() == 19 &&
         record.initialPosition().height() == 19 && record.initialPosition().hasCells();
}

}  // namespace

bool recordMove(PatternLibrary& library, const BoardSnapshot& snapshot, int side, Point move, int game,
                int moveIndex, int winner, const std::array<std::uint64_t, 8>* prints) {
  int kind = -1;
  const int n = library.findUnderSymmetries(snapshot, side, kind, prints);
  if (n < 0) {
    // A new position goes in with its first move already counted.
    PatternEntry entry;
    SpareEntryLists::ofThread().lend(entry, snapshot.points.size());
    entry.snapshot = snapshot;
    entry.side = static_cast<std::uint8_t>(side);
    countMove(entry, move, game, moveIndex, winner);
    return library.add(std::move(entry));
  }
  // The move is turned the way the position was to meet the stored orientation.
  if (kind >= 0) move = BoardTransform(kind, snapshot.width, snapshot.height).mapPoint(move);
  return library.updateEntry(n, [&](PatternEntry& entry) { countMove(entry, move, game, moveIndex, winner); });
}

int addRecordToGlobalLibrary(PatternLibrary& library, const GameRecord& record, int winner, int game,
                             int maxMoves, bool* failed) {
  if (!usable19(record) || winner == 0) return 0;
  const int k = std::min(record.entryCount(), maxMoves);
  // Kept by the thread from game to game, so that a build does not allocate them for each.
  thread_local Board board;
  thread_local BoardSnapshot snapshot;
  thread_local StonePrints stones;  // follows snapshot's stones
  board = record.initialPosition();
  // Whether snapshot holds the board's stones: a move that only puts a stone on an empty point
  // goes into the lists as it is played; after anything else they are taken from the board.
  bool current = false;
  int recorded = 0;
  for (int i = 0; i < k; ++i) {
    const MoveEntry& e = record.entries()[static_cast<size_t>(i)];
    if (e.hasSetup()) {
      applySetup(e, board);
      current = false;
    }
    if (!e.hasMove()) continue;
    if (!current) {
      board.stoneLists(snapshot);
      stones.reset(snapshot);
    }
    current = true;
    std::array<std::uint64_t, 8> prints{};
    if (stones.usable()) stones.prints(snapshot, e.colour, prints);
    if (!recordMove(library, snapshot, e.colour, e.point, game, i, winner, stones.usable() ? &prints : nullptr)) {
      if (failed) *failed = true;
      break;
    }
    ++recorded;
    if (e.point >= 0) current = placeFollowed(board, snapshot, stones, e.colour, e.point);
  }
  return recorded;
}

namespace {

// The local adder's test for one move, by walking clusters: the move at p (already played on
// now; before is the board ahead of it) joined exactly one existing cluster without capturing or
// merging, and the cluster then holds 2 to 50 stones. joined receives that cluster as it was.
bool joinedOneClusterByWalk(const Board& before, const Board& now, Point p, LocalPosition& after,
                            LocalPosition& joined) {
  const int n = clusterAt(now, p, kClusterDistance, after, kMaxClusterStones) ? after.stoneCount() : 0;
  if (n < kMinClusterStones || n > kMaxClusterStones) return false;
  // Any other stone of the cluster after the move finds the cluster it joined.
  Point q = kNoPoint;
  for (const PointList* list : {&after.blackStones, &after.whiteStones}) {
    for (Point s : *list) {
      if (s != p) {
        q = s;
        break;
      }
    }
    if (q >= 0) break;
  }
  const int nBefore = clusterAt(before, q, kClusterDistance, joined, kMaxClusterStones) ? joined.stoneCount() : 0;
  return nBefore > 0 && nBefore + 1 == n;
}

// True when playing at p changed nothing on the board but p itself, which was empty and now holds
// a stone: no capture (a captured group always has a stone next to p) and no stone written over.
bool onlyPlaced(const Board& before, const Board& now, Point p) {
  if (before.get(p) != Empty || !isStoneColour(now.get(p))) return false;
  for (Point q : {now.up(p), now.right(p), now.down(p), now.left(p)})
    if (q != kNoPoint && before.get(q) != now.get(q)) return false;
  return true;
}

// True when playing at p placed a stone on the empty point p and otherwise only took stones
// off (captures), which gone then lists; false after any other change.
bool capturedBy(const Board& before, const Board& now, Point p, std::vector<Point>& gone) {
  gone.clear();
  if (before.get(p) != Empty || !isStoneColour(now.get(p)) || before.cells().size() != now.cells().size()) return false;
  const std::uint8_t* was = before.cells().data();
  const std::uint8_t* is = now.cells().data();
  for (size_t q = 0; q < before.cells().size(); ++q) {
    if (was[q] == is[q] || static_cast<Point>(q) == p) continue;
    if (is[q] != Empty || !isStoneColour(was[q])) return false;
    gone.push_back(static_cast<Point>(q));
  }
  return true;
}

// The cluster of the given stones as the board before the move held them, as a walk cuts it.
void clusterAsItWas(const Board& before, const PointList& members, LocalPosition& joined) {
  joined.width = before.width();
  joined.height = before.height();
  joined.distance = kClusterDistance;
  joined.blackStones.clear();
  joined.whiteStones.clear();
  for (Point s : members) (before.get(s) == Black ? joined.blackStones : joined.whiteStones).push_back(s);
  std::sort(joined.blackStones.begin(), joined.blackStones.end());
  std::sort(joined.whiteStones.begin(), joined.whiteStones.end());
}

// The tracked form of joinedOneClusterByWalk for a move that only placed a stone at p (not yet in
// the forest): whether it joins exactly one cluster of a recordable size, which is then joined as
// it was on the board before the move.
bool joinedOneTrackedCluster(ClusterForest& forest, const Board& before, Point p, std::vector<Point>& near,
                             PointList& members, LocalPosition& joined) {
  const int roots = forest.rootsNear(p, near);
  if (roots != 1 || forest.sizeOf(near[0]) + 1 < kMinClusterStones || forest.sizeOf(near[0]) + 1 > kMaxClusterStones)
    return false;
  forest.membersOf(near[0], members);
  clusterAsItWas(before, members, joined);
  return true;
}

// The clusters of the board, followed move by move. A move that only adds a stone joins the
// clusters within reach of it: it joined exactly one when one cluster is in reach, and that
// cluster as it was is the one recorded. Anything else (captures, setup stones) is settled by
// walking the clusters on both boards, and the forest is cut again from the board.
struct LocalJoins {
  ClusterForest forest;
  ClusterForest previous;  // the forest before a capturing move
  bool tracked = false;
  std::vector<Point> near;
  std::vector<Point> gone;
  PointList members;
  LocalPosition after;
  LocalPosition joined;  // the cluster the last move joined, when joinedOne said so

  void rebuild(const Board& board) { tracked = forest.rebuild(board, kClusterDistance); }
  // Whether the move at p (before -> now) joined exactly one cluster of a recordable size.
  bool joinedOne(const Board& before, const Board& now, Point p) {
    if (tracked && onlyPlaced(before, now, p)) {
      const bool one = joinedOneTrackedCluster(forest, before, p, near, members, joined);
      forest.add(p, near);  // the roots near p, found just now
      return one;
    }
    if (tracked && capturedBy(before, now, p, gone)) {
      previous = forest;
      forest.removeStones(now, gone);
      forest.rootsNear(p, near);
      forest.add(p, near);
      return joinedOneAfterCapture(before, now, p);
    }
    const bool one = joinedOneClusterByWalk(before, now, p, after, joined);
    rebuild(now);
    return one;
  }

  // joinedOneClusterByWalk answered from the forests of the boards before (previous) and after
  // (forest) a move at p that captured: the cluster of p after it holds 2 to 50 stones, and the
  // cluster that the walk's other stone of it (the lowest black one, else the lowest white one)
  // was in before the move held one stone fewer.
  bool joinedOneAfterCapture(const Board& before, const Board& now, Point p) {
    const Point root = forest.rootOf(p);
    const int n = forest.sizeOf(root);
    if (n < kMinClusterStones || n > kMaxClusterStones) return false;
    forest.membersOf(root, members);
    Point q = kNoPoint;
    for (const int colour : {Black, White}) {
      for (Point s : members)
        if (s != p && now.get(s) == colour && (q == kNoPoint || s < q)) q = s;
      if (q != kNoPoint) break;
    }
    if (q == kNoPoint) return false;
    const Point joinedRoot = previous.rootOf(q);
    if (previous.sizeOf(joinedRoot) + 1 != n) return false;
    previous.membersOf(joinedRoot, members);
    clusterAsItWas(before, members, joined);
    return true;
  }
};

}  // namespace

int addRecordToLocalLibrary(PatternLibrary& library, const GameRecord& record, int winner, int game,
                            int maxMoves, bool* failed) {
  if (!usable19(record)) return 0;
  const int k = std::min(record.entryCount(), maxMoves);
  if (k <= 1) return 0;
  // Kept by the thread from game to game, so that a build does not allocate them for each.
  thread_local Board now;     // R: the board after the move
  thread_local Board before;  // P: the board before the move
  thread_local LocalJoins joins;
  thread_local BoardSnapshot snapshot;
  now = record.initialPosition();
  const MoveEntry& first = record.entries().front();
  applySetup(first, now);
  if (first.hasMove() && first.point >= 0) now.place(first.colour, first.point);
  before = now;
  joins.rebuild(now);
  int recorded = 0;
  for (int i = 1; i < k; ++i) {
    const MoveEntry& e = record.entries()[static_cast<size_t>(i)];
    if (e.hasSetup()) {
      applySetup(e, now);
      joins.rebuild(now);
    }
    before = now;
    if (!e.hasMove() || e.point < 0) continue;
    now.place(e.colour, e.point);
    if (!joins.joinedOne(before, now, e.point)) continue;
    snapshotOf(joins.joined, snapshot);
    if (!recordMove(library, snapshot, e.colour, e.point, game, i, winner)) {
      if (failed) *failed = true;
      break;
    }
    ++recorded;
  }
  return recorded;
}

namespace {

// Loads game `game` of the index and hands it to a record adder; nothing when it does not load.
template <typename AddRecord>
int addGame(AddRecord addRecord, PatternLibrary& library, const GameIndex& index, int game, const GameLoader& load,
            int maxMoves, bool* failed) {
  const auto path = index.pathOf(game);
  GameRecord record;
  int winner = 0;
  if (!path || !load || !load(*path, record, winner, nullptr)) return 0;
  return addRecord(library, record, winner, game, maxMoves, failed);
}

}  // namespace

int addGameToGlobalLibrary(PatternLibrary& library, const GameIndex& index, int game, const GameLoader& load,
                           int maxMoves, bool* failed) {
  return addGame(addRecordToGlobalLibrary, library, index, game, load, maxMoves, failed);
}

int addGameToLocalLibrary(PatternLibrary& library, const GameIndex& index, int game, const GameLoader& load,
                          int maxMoves, bool* failed) {
  return addGame(addRecordToLocalLibrary, library, index, game, load, maxMoves, failed);
}

}  // namespace mh
