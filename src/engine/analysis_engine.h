#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_player.h"
#include "engine/matrix_matcher.h"
#include "model/board.h"
#include "shapes/local_position.h"

namespace mh {

class PatternLibrary;

// Where the engine writes its slow-reading lines: one call per entry, without a line ending.
using EngineLog = std::function<void(std::string_view line)>;

// What an engine consults besides its board. Not owned: they must outlive every engine that uses
// them. Any of them may be missing; the move source that needs it then yields nothing.
struct EngineLibraries {
  const PatternLibrary* global = nullptr;  // whole-board positions and the moves played from them
  const PatternLibrary* local = nullptr;   // clusters of stones and the moves played from them
  const MatrixLibraries* matrix = nullptr; // the edge library's named shapes
};

// The tactical reading calls of one search. A top-level engine owns one; every engine made from
// it while reading or evaluating shares it, so one search's budget is never touched by another
// engine's, on this thread or any other.
struct ReadingCounter {
  int sinceReset = 0;       // calls since the last reset (only IsUnsettled resets it)
  std::int64_t calls = 0;   // every CanCapture and CanEscape call
  std::int64_t readings = 0;  // the calls that read, not cut off by the budget
};

// One position under analysis: strings with their liberties, legality, eye estimates, tactical
// reading (CanCapture, CanEscape) and a move chooser. The engine keeps a private copy of the
// board it is given and never changes a board it was handed; every trial move at every level of
// reading is made in a fresh engine. Answers are computed on demand and cached until the position
// changes (SetBoard, CopyPosition, Input drop every cache at once).
//
// Strings are named by their head, their lowest point. Queries on a point that is not a stone
// answer with nothing (false, 0, -1 or an empty list) and change no cache.
//
// Threads: an engine and the engines made from it belong to one thread at a time.
class AnalysisEngine : public EnginePlayer {
 public:
  static constexpr int kReadingBudget = 10;
  // IsUnsettled logs a search that took at least this long, with the position.
  static constexpr int kSlowReadingMs = 50;

  // An empty 19 x 19 position with its own reading counter. log (may be empty) receives the slow
  // reading lines, each with the position that caused it.
  explicit AnalysisEngine(EngineLibraries libraries = {}, EngineLog log = {});
  ~AnalysisEngine() override;
  AnalysisEngine(const AnalysisEngine&) = delete;
  AnalysisEngine& operator=(const AnalysisEngine&) = delete;

  // Loading. Each drops every cache.
  bool SetBoard(const Board& board);
  // Takes the other engine's board and legality knowledge, nothing else.
  bool CopyPosition(const AnalysisEngine& other);
  // Plays role at place on a copy of the board and loads the result; false (the position stays,
  // its caches dropped) when the board refuses the move.
  bool Input(int role, Point place);
  const Board& board() const { return board_; }

  // Point queries.
  // 0, 1, 2, or -1 off the board.
  int ColourAt(Point point) const;
  // Whether colour may not play point (ko is not considered); cached per colour and point. A
  // colour other than 1 and 2, or a negative point, is illegal.
  bool IsIllegal(int colour, Point point);
  // The points of list that colour may play, in order; out is replaced. Returns the count.
  int FilterLegal(const PointList& list, int colour, PointList& out);

  // String queries.
  // The index (creation order) and head of the string at point; false, both -1, when none.
  bool StringOf(Point point, int& index, Point& head);
  int StringSize(Point point);
  // Appends the string's stones (ascending); false when there is no string.
  bool StringStones(Point point, PointList& out);
  // The head of every string: black strings first, then white, each in the board's group order.
  void StringHeads(PointList& out);
  // The string's liberties, ascending; false (out emptied) when point is not a stone.
  bool Liberties(Point point, PointList& out);
  // The heads of the strings touching the string at point, each once, in order of first contact
  // along its outline.
  void NeighbourStrings(Point point, PointList& out);
  // For a string with exactly one liberty: flag 1 and that liberty; otherwise flag 0, point -1.
  // False when point is not a stone.
  bool AtariPoint(Point point, int& flag, Point& liberty);
  // An estimate of the eyes of the string at point, stopping once it reaches 2; -1 when point is
  // not a stone or no eye region borders the string.
  float EyeValue(Point point);

  // Tactical reading. Each returns true when it gave an answer (in result), false when it could
  // not (result 0). CanCapture: with the other colour to move, can the string be taken (result 1)?
  // CanEscape: with its own colour to move, can it be saved (result 1)? Reading is bounded by
  // kReadingBudget calls per search; an exhausted budget answers in the defender's favour.
  bool CanCapture(Point point, int& result);
  bool CanEscape(Point point, int& result);
  // True when the string can be captured and, with its own side to move, saved: the counter is
  // reset before each of the two searches, and a search of kSlowReadingMs or more is logged.
  bool IsUnsettled(Point point);
  // The moves that captured or saved the string; empty unless the answer is known and yes.
  PointList captureMoves(Point point);
  PointList escapeMoves(Point point);

  // Move choice (EnginePlayer).
  int GenerateMoves(PointList& out) override;
  std::unique_ptr<EnginePlayer> Successor(int colour, Point point) const override;
  void EvaluateMove(int colour, Point point, ScoreBase& score) override;
  void EvaluateSides(ScoreBase& score) override;
  std::unique_ptr<ScoreBase> CreateScore() const override;
  // The kill and threat values for colour over the strings at heads: kill counts the other
  // colour's strings that cannot escape, threat the last of them that can be captured.
  ScorePair EvaluateColour(int colour, const PointList& heads);

  // The clusters of the position (distance 5), built once per position.
  const LocalPositionList& candidateAreas();
  // The matrix matches of the position for colour, built once per position.
  const MatrixMatcher& matches(int colour);

  ReadingCounter& readingCounter() { return context_->counter; }
  const ReadingCounter& readingCounter() const { return context_->counter; }
  const EngineLibraries& libraries() const { return context_->libraries; }

  // The log entry of a slow search: "QUERY( point, result ), use tm:MS", then the board's rows
  // from the bottom one up, "." empty, "O" black, "X" white, one per line.
  static std::string slowReadingEntry(const char* query, Point point, int result, int ms, const Board& board);

 private:
  struct Context {
    EngineLibraries libraries;
    EngineLog log;
    ReadingCounter counter;
  };
  struct StringRecord {
    PointList stones;  // ascending; the first is the head
    PointList captureMoves;
    PointList escapeMoves;
    bool captureKnown = false;
    int captureResult = 0;
    bool escapeKnown = false;
    int escapeResult = 0;
  };

  // An engine for a trial during reading: it shares this engine's context.
  explicit AnalysisEngine(std::shared_ptr<Context> context);
  std::unique_ptr<AnalysisEngine> child() const;
  // A fresh engine on this board with colour's move at point played; null when refused.
  std::unique_ptr<AnalysisEngine> after(int colour, Point point) const;

  void dropCaches();
  void buildStrings();
  StringRecord* recordAt(Point point);
  void setCapture(StringRecord& record, int result, Point move);
  void setEscape(StringRecord& record, int result, Point move);
  // Counts a reading call; false when the budget of this search is spent.
  bool enterReading();

  // Tactical pieces (tactical_reading.cpp).
  void twoLibertyAttack(Point point, const PointList& liberties, StringRecord& record);
  bool quickAttack(Point point, Point first, Point second, Point& move) const;
  bool netAttack(Point point, Point first, Point second, Point& move) const;
  // The answer of the three-liberty rules: -1 none, else the result with move set when 1.
  int threeLibertyRules(Point point, Point& move);
  // Tries each candidate: the first after which reading says the string at point cannot be
  // captured saves it.
  Point firstSavingMove(Point point, int defender, const PointList& candidates) const;

  // Move generation pieces (move_generation.cpp).
  Point libraryMove(int colour);
  void shapeMoves(int colour, PointList& out);
  void urgentMoves(int colour, PointList& out);
  void openingMoves(int colour, PointList& out);
  void edgeShapeMoves(int colour, PointList& out);

  std::shared_ptr<Context> context_;
  Board board_;
  std::array<std::vector<std::uint8_t>, 2> legality_;  // 0 unknown, 1 illegal, 2 legal
  bool stringsBuilt_ = false;
  std::vector<StringRecord> strings_;
  std::vector<int> stringIndex_;  // per point, the record holding it or -1
  bool candidatesBuilt_ = false;
  LocalPositionList candidates_;
  bool matchesBuilt_ = false;
  std::array<MatrixMatcher, 2> matchers_;
};

}  // namespace mh
