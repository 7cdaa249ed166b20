#pragma once

namespace mh {

// One match of a library pattern against a window cut from a board.
struct MatchRecord {
  int originColumn = 0;
  int originRow = 0;
  int width = 0;
  int height = 0;
  int patternIndex = -1;
  friend bool operator==(const MatchRecord&, const MatchRecord&) = default;
};

}  // namespace mh
