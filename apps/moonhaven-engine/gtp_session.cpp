#include "gtp_session.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <istream>
#include <ostream>

#include "model/area_count.h"
#include "process/gtp_vertex.h"

namespace mh {

namespace {

constexpr const char* kCommands[] = {
    "protocol_version", "name",          "version",        "known_command", "list_commands",
    "quit",             "boardsize",     "clear_board",    "komi",          "play",
    "genmove",          "reg_genmove",   "undo",           "set_free_handicap", "fixed_handicap",
    "showboard",        "final_score",   "level",
};

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The line as the protocol reads it: control characters dropped (tabs become spaces), a comment
// from "#" on removed.
std::string cleaned(std::string_view line) {
  std::string out;
  for (char c : line) {
    if (c == '#') break;
    if (c == '\t') out += ' ';
    else if (static_cast<unsigned char>(c) >= 32 && c != 127) out += c;
  }
  return out;
}

std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    size_t j = i;
    while (j < text.size() && text[j] != ' ') ++j;
    if (j > i) out.push_back(text.substr(i, j - i));
    i = j;
  }
  return out;
}

bool parseNumber(const std::string& text, int& out) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end;
}

bool parseReal(const std::string& text, double& out) {
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return !text.empty() && end == text.c_str() + text.size() && std::isfinite(out);
}

// The handicap layout of a count (2 to 9) on a board of size, from the standard 19 x 19 layout
// with its lines 4, 10 and 16 moved to the lines of this size.
CoordList handicapLayout(int size, int count) {
  const int edge = size >= 13 ? 3 : 2;
  const auto move = [&](int c) { return c == 3 ? edge : c == 9 ? size / 2 : size - 1 - edge; };
  CoordList out;
  for (Coord c : handicapCoords(count)) out.push_back({move(c.x), move(c.y)});
  return out;
}

int maxHandicap(int size) {
  if (size < 7) return 0;
  return size % 2 == 1 ? 9 : 4;  // an even board has no middle line
}

}  // namespace

int parseGtpColour(std::string_view text) {
  const std::string t = lower(text);
  if (t == "b" || t == "black") return Black;
  if (t == "w" || t == "white") return White;
  return Empty;
}

GtpSession::GtpSession(EngineLibraries libraries, EngineLog log, std::uint32_t seed)
    : chooser_(libraries, std::move(log), seed) {
  newGame(19);
}

void GtpSession::newGame(int size) {
  size_ = size;
  positions_.assign(1, Board(size, size));
}

std::string GtpSession::vertex(Point p) const { return p < 0 ? "pass" : gtpVertex(p, size_, size_); }

bool GtpSession::parseVertex(const std::string& text, Point& out) const {
  const std::string t = lower(text);
  if (t == "pass") {
    out = kNoPoint;
    return true;
  }
  if (t.size() < 2 || t[0] < 'a' || t[0] > 'z' || t[0] == 'i') return false;
  const int x = t[0] - 'a' - (t[0] > 'i' ? 1 : 0);
  int row = 0;
  if (!parseNumber(t.substr(1), row) || x >= size_ || row < 1 || row > size_) return false;
  out = x + size_ * (size_ - row);
  return true;
}

bool GtpSession::tryMove(int colour, Point p, Board& after) const {
  after = board();
  if (p < 0) return true;
  if (!after.play(colour, p)) return false;
  // The simple ko rule: a move may not bring back the position before the last move.
  return positions_.size() < 2 || after != positions_[positions_.size() - 2];
}

std::string GtpSession::handle(std::string_view rawLine) {
  const std::vector<std::string> parts = words(cleaned(rawLine));
  if (parts.empty()) return {};
  size_t at = 0;
  std::string id;
  int number = 0;
  if (parseNumber(parts[0], number) && number >= 0) {
    id = parts[0];
    ++at;
  }
  Reply reply;
  if (at >= parts.size()) {
    reply = {false, "missing command"};
  } else {
    const std::vector<std::string> args(parts.begin() + static_cast<std::ptrdiff_t>(at) + 1, parts.end());
    reply = dispatch(parts[at], args);
  }
  return (reply.ok ? "=" : "?") + id + (reply.text.empty() ? "" : " " + reply.text) + "\n\n";
}

GtpSession::Reply GtpSession::dispatch(const std::string& command, const std::vector<std::string>& args) {
  const auto needs = [&](size_t n) { return args.size() >= n; };
  if (command == "protocol_version") return {true, "2"};
  if (command == "name") return {true, kName};
  if (command == "version") return {true, MOONHAVEN_VERSION};
  if (command == "known_command") {
    if (!needs(1)) return {false, "syntax error"};
    const bool known = std::find(std::begin(kCommands), std::end(kCommands), args[0]) != std::end(kCommands);
    return {true, known ? "true" : "false"};
  }
  if (command == "list_commands") {
    std::string list;
    for (const char* c : kCommands) list += std::string(list.empty() ? "" : "\n") + c;
    return {true, list};
  }
  if (command == "quit") {
    quit_ = true;
    return {true, ""};
  }
  if (command == "boardsize") {
    int size = 0;
    if (!needs(1) || !parseNumber(args[0], size)) return {false, "syntax error"};
    if (size < 2 || size > kMaxSize) return {false, "unacceptable size"};
    newGame(size);
    return {true, ""};
  }
  if (command == "clear_board") {
    newGame(size_);
    return {true, ""};
  }
  if (command == "komi") {
    double komi = 0;
    if (!needs(1) || !parseReal(args[0], komi)) return {false, "syntax error"};
    komi_ = komi;
    return {true, ""};
  }
  if (command == "level") {
    int level = 0;
    if (!needs(1) || !parseNumber(args[0], level)) return {false, "syntax error"};
    level_ = level;  // the engine has one strength; the level is kept for front ends that set it
    return {true, ""};
  }
  if (command == "play") return play(args);
  if (command == "genmove") return genmove(args, true);
  if (command == "reg_genmove") return genmove(args, false);
  if (command == "undo") {
    if (positions_.size() < 2) return {false, "cannot undo"};
    positions_.pop_back();
    return {true, ""};
  }
  if (command == "set_free_handicap") return handicap(args, false);
  if (command == "fixed_handicap") return handicap(args, true);
  if (command == "showboard") return showboard();
  if (command == "final_score") return finalScore();
  return {false, "unknown command"};
}

GtpSession::Reply GtpSession::play(const std::vector<std::string>& args) {
  Point p = kNoPoint;
  const int colour = args.size() >= 2 ? parseGtpColour(args[0]) : Empty;
  if (colour == Empty || !parseVertex(args[1], p)) return {false, "invalid color or coordinate"};
  Board after;
  if (!tryMove(colour, p, after)) return {false, "illegal move"};
  positions_.push_back(std::move(after));
  return {true, ""};
}

GtpSession::Reply GtpSession::genmove(const std::vector<std::string>& args, bool playIt) {
  const int colour = args.empty() ? Empty : parseGtpColour(args[0]);
  if (colour == Empty) return {false, "invalid color"};
  Board after;
  const Point p = chooser_.choose(board(), colour, [&](Point q) { return tryMove(colour, q, after); });
  if (playIt) {
    if (!tryMove(colour, p, after)) return {false, "no legal move"};  // cannot happen: p was allowed
    positions_.push_back(std::move(after));
  }
  return {true, vertex(p)};
}

GtpSession::Reply GtpSession::handicap(const std::vector<std::string>& args, bool fixed) {
  if (!board().isEmpty() || positions_.size() > 1) return {false, "board not empty"};
  PointList stones;
  if (fixed) {
    int count = 0;
    if (args.size() != 1 || !parseNumber(args[0], count)) return {false, "syntax error"};
    if (count < 2 || count > maxHandicap(size_)) return {false, "invalid number of stones"};
    for (Coord c : handicapLayout(size_, count)) stones.push_back(c.x + size_ * c.y);
  } else {
    for (const std::string& a : args) {
      Point p = kNoPoint;
      if (!parseVertex(a, p) || p < 0) return {false, "invalid coordinate"};
      if (std::find(stones.begin(), stones.end(), p) != stones.end()) return {false, "repeated vertex"};
      stones.push_back(p);
    }
    if (stones.size() < 2 || static_cast<int>(stones.size()) >= size_ * size_) return {false, "invalid number of stones"};
  }
  Board start(size_, size_);
  start.setPoints(stones, Black);
  positions_.assign(1, std::move(start));
  std::string text;
  if (fixed)
    for (Point p : stones) text += (text.empty() ? "" : " ") + vertex(p);
  return {true, text};
}

GtpSession::Reply GtpSession::showboard() const {
  std::string letters = "  ";
  for (int x = 0; x < size_; ++x) letters += std::string(" ") + gtpColumnLetter(x);
  std::string text = "\n" + letters + "\n";
  for (int y = 0; y < size_; ++y) {
    char row[16];
    std::snprintf(row, sizeof row, "%2d", size_ - y);
    text += row;
    for (int x = 0; x < size_; ++x) {
      const int v = board().get(x + size_ * y);
      text += v == Black ? " X" : v == White ? " O" : " .";
    }
    text += std::string(" ") + row + "\n";
  }
  text += letters;
  return {true, text};
}

GtpSession::Reply GtpSession::finalScore() const {
  const AreaCount count = areaCount(board());
  const double margin = count.black - count.white - komi_;
  if (margin == 0) return {true, "0"};
  char text[32];
  std::snprintf(text, sizeof text, "%c+%g", margin > 0 ? 'B' : 'W', std::fabs(margin));
  return {true, text};
}

void GtpSession::run(std::istream& in, std::ostream& out) {
  std::string line;
  while (!quit_ && std::getline(in, line)) {
    const std::string reply = handle(line);
    if (reply.empty()) continue;
    out << reply;
    out.flush();
  }
}

}  // namespace mh
