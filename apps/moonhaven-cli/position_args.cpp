#include "position_args.h"

#include <cstdio>

#include "records/position_report.h"

namespace mh::cli {

void PositionArgs::define(CLI::App& command, bool allowEmpty) {
  if (allowEmpty) {
    CLI::Option_group* where = command.add_option_group("position", "a record FILE or --empty");
    where->add_option("FILE", file, "an SGF or GIB game record");
    where->add_flag("--empty", empty, "an empty 19 x 19 board, Black to move");
    where->require_option(1);
  } else {
    command.add_option("FILE", file, "an SGF or GIB game record")->required();
  }
  command.add_option("--move", move, "the position after move N of the record (default: its last)")->type_name("N");
  defineRecordChoice(command, choice);
  command.add_option("--side", sideLetter, "the side to move: b or w (default: the record's)")
      ->check(CLI::IsMember({"b", "w"}));
}

bool PositionArgs::resolve(const char* command, Board& board, int& sideToMove) const {
  if (empty) {
    board = Board();
    sideToMove = sideLetter == "w" ? White : Black;
    return true;
  }
  GameRecord record;
  if (!loadRecord(file, choice, record)) return false;
  const auto at = replayRecord(record, move);
  if (!at) {
    std::fprintf(stderr, "%s: the record has no position %d\n", command, move.value_or(-1));
    return false;
  }
  board = at->board;
  sideToMove = sideLetter.empty() ? at->sideToMove : sideLetter == "w" ? White : Black;
  return true;
}

}  // namespace mh::cli
