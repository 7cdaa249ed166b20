#pragma once

#include <array>
#include <cstdint>

#include "model/board_snapshot.h"
#include "model/game_record.h"
#include "patterns/game_index.h"
#include "patterns/game_loader.h"
#include "patterns/pattern_library.h"

namespace mh {

// The builders' common step: counts one move played from a position. Finds the position under
// any of its eight symmetries (the move turned into the stored orientation) or adds it, then
// appends the occurrence (game, move index, point) and adds 1 to the move's played count, and to
// its wins or losses when the winner is known (a win when winner equals side). Works in memory
// mode (the entry changed in place) and warehouse mode (the entry stored again). False when the
// position can be neither found nor added, or the changed entry cannot be stored. prints, when
// given, are the position's eight key prints as keyPrints gives them.
[[nodiscard]] bool recordMove(PatternLibrary& library, const BoardSnapshot& snapshot, int side, Point move, int game,
                              int moveIndex, int winner, const std::array<std::uint64_t, 8>* prints = nullptr);

// The global adder on a loaded record: whole-board positions before each of the first
// min(entries, maxMoves) entries that carry a move. Setup stones of an entry are written onto the
// board (black, then white, no captures) before its move. Only 19 x 19 records with a winner are
// used. Returns the number of moves recorded; a failed recording ends the game and sets *failed
// when given.
int addRecordToGlobalLibrary(PatternLibrary& library, const GameRecord& record, int winner, int game,
                             int maxMoves = 50, bool* failed = nullptr);

// The local adder on a loaded record: for each of the first min(entries, maxMoves) entries after
// the first that carries a move, when the move joins exactly one existing cluster (distance 5)
// without capturing or merging and the cluster then holds 2 to 50 stones, records the move from
// the cluster as it was before. Only 19 x 19 records are used; games without a winner count in
// played only. Returns the number of moves recorded; failures as for the global adder.
int addRecordToLocalLibrary(PatternLibrary& library, const GameRecord& record, int winner, int game,
                            int maxMoves = 150, bool* failed = nullptr);

// The adders on game number `game` of an index: the record is loaded from its file first. A game
// whose file does not load records nothing.
int addGameToGlobalLibrary(PatternLibrary& library, const GameIndex& index, int game, const GameLoader& load,
                           int maxMoves = 50, bool* failed = nullptr);
int addGameToLocalLibrary(PatternLibrary& library, const GameIndex& index, int game, const GameLoader& load,
                          int maxMoves = 150, bool* failed = nullptr);

}  // namespace mh
