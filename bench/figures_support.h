#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/board.h"
#include "model/game_record.h"
#include "model/sgf_node.h"

// Pieces of the figures program (moonhaven_figures) that are worth testing on their own: the
// latency summary, the resident-memory reading, the positions taken from a game, and the turned
// copies of a record that make a large collection out of a small one.
namespace mh::figures {

// Median and 99th percentile of a set of durations, by nearest rank (the smallest sample with at
// least the given share of samples at or below it). All zero for no samples.
struct LatencySummary {
  size_t count = 0;
  double median = 0;
  double p99 = 0;
  double max = 0;
};
LatencySummary summarize(std::vector<double> samples);

// The VmRSS value of a /proc/<pid>/status text in KiB, or nothing when the line is missing or
// does not hold a number.
std::optional<long long> residentKiBIn(std::string_view statusText);
// The calling process's resident memory in KiB, or nothing when it cannot be read.
std::optional<long long> residentKiB();

// A position to look hints up for: the board before a move and the side that played it.
struct QueryPosition {
  Board board;
  int side = 0;
};

// Replays the record (setup stones, then moves with captures) and appends the position before
// every move whose entry index i is below lastMove and has (i + offset) % every == 0, until out
// holds limit positions. Moves that do not go on the board (passes, illegal points) are skipped
// but still counted. Returns the number appended.
size_t takePositions(const GameRecord& record, int every, int offset, int lastMove, size_t limit,
                     std::vector<QueryPosition>& out);

// Turns every node of the tree (variations too) through symmetry kind 0..6; any other kind keeps
// the points as they are. The board size comes from the root's SZ (19 x 19 without one). The root
// is marked CA[GBK], since the tree holds its text as GB bytes whatever the file declared.
void turnTree(SgfNode& root, int kind);

// Writes the record file at path under its eight symmetries as outStem + ".s0.sgf" (unturned)
// to ".s7.sgf" (kinds 0..6). Returns the number of files written: 0 when the file does not read
// as SGF, fewer than eight when a write fails.
int writeTurnedCopies(const std::string& path, const std::string& outStem);

}  // namespace mh::figures
