#include "position_args.h"

#include <cstdio>

#include "load_record.h"
#include "model/sgf_value.h"
#include "records/position_report.h"

namespace mh::cli {

bool PositionArgs::take(const std::vector<std::string>& args, size_t& i, std::string& error) {
  const std::string& a = args[i];
  if (a == "--empty") {
    empty = true;
  } else if (a == "--big5") {
    big5 = true;
  } else if (a == "--move" || a == "--side") {
    if (i + 1 >= args.size()) {
      error = a + " needs a value";
      return true;
    }
    const std::string& v = args[++i];
    if (a == "--move") {
      move = sgf::parseInt(v);
      if (!move) error = "--move needs a number, not '" + v + "'";
    } else if (v == "b" || v == "w") {
      side = v == "b" ? Black : White;
    } else {
      error = "--side takes b or w, not '" + v + "'";
    }
  } else if (a.rfind("--", 0) != 0 && file.empty()) {
    file = a;
  } else {
    return false;
  }
  ++i;
  return true;
}

bool PositionArgs::resolve(const char* command, Board& board, int& sideToMove) const {
  if (empty == !file.empty()) {
    std::fprintf(stderr, "%s: give either a record FILE or --empty\n", command);
    return false;
  }
  if (empty) {
    board = Board();
    sideToMove = side.value_or(Black);
    return true;
  }
  GameRecord record;
  if (!loadRecord(file, big5, record)) return false;
  const auto at = replayRecord(record, move);
  if (!at) {
    std::fprintf(stderr, "%s: the record has no position %d\n", command, move.value_or(-1));
    return false;
  }
  board = at->board;
  sideToMove = side.value_or(at->sideToMove);
  return true;
}

}  // namespace mh::cli
