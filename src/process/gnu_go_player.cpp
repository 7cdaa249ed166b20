#include "process/gnu_go_player.h"

#include <algorithm>
#include <chrono>

#include "model/match_driver.h"
#include "platform/find_program.h"
#include "process/gtp_vertex.h"

namespace mh {

namespace {

const char* colourLetter(int colour) { return colour == White ? "w" : "b"; }

}  // namespace

GnuGoPlayer::GnuGoPlayer(LogLine log)
    : log_(std::move(log)), random_(static_cast<std::uint32_t>(std::random_device{}())) {
  child_.setCallbacks({
      nullptr,
      [this](std::string_view chunk) { onOutput(chunk); },
      [this](std::string_view chunk) { onError(chunk); },
      [this] { onEnded(); },
  });
}

GnuGoPlayer::~GnuGoPlayer() { destroy(); }

void GnuGoPlayer::log(std::string_view text) const {
  if (log_) log_("GNU Go: " + std::string(text));
}

void GnuGoPlayer::setLevel(int level) { level_ = std::clamp(level, 1, 10); }

void GnuGoPlayer::setAssist(bool on, AssistLibraries libraries) {
  assist_ = on;
  libraries_ = libraries;
}

std::string GnuGoPlayer::commandLineFor(const std::string& path) {
  std::string program = path;
  if (path.empty() || path.find_first_of(" \t\"'\\") != std::string::npos) {
    program = "\"";
    for (char c : path) {
      if (c == '"' || c == '\\') program += '\\';
      program += c;
    }
    program += '"';
  }
  return program + " --mode gtp --quiet";
}

std::uint64_t GnuGoPlayer::send(const std::string& command, bool asksForMove) {
  std::lock_guard sending(sendMutex_);
  std::uint64_t serial = 0;
  {
    std::lock_guard lock(mutex_);
    serial = replies_.commandSent(asksForMove);
    if (asksForMove) {
      awaited_ = serial;
      answer_.reset();
    }
  }
  child_.write(command);
  return serial;
}

void GnuGoPlayer::attach(int colour, MatchDriver& driver) {
  driver_ = &driver;
  colour_ = colour == White ? White : Black;
  destroy();
  {
    std::lock_guard lock(mutex_);
    replies_.reset();
    (void)errorLines_.takeRest();
    awaited_ = 0;
    answer_.reset();
    interrupted_ = false;
    ended_ = false;
  }
  const std::string commandLine = commandLineFor(findProgram(programPath_));
  if (!child_.start(commandLine)) {
    {
      std::lock_guard lock(mutex_);
      ended_ = true;
    }
    log("unable to start " + commandLine);
    return;
  }
  send("level " + std::to_string(level_) + "\r\n", false);
  send("boardsize " + std::to_string(kBoardSize) + "\r\n", false);
}

void GnuGoPlayer::setPosition(const Board& board) {
  std::string vertices;
  PointList black;
  board.pointsOfValue(Black, black);
  for (Point p : black) {
    const std::string vertex = gtpVertex(p, kBoardSize, kBoardSize);
    if (!vertex.empty()) vertices += vertex + " ";
  }
  if (vertices.empty() || !child_.isRunning()) return;
  send("set_free_handicap " + vertices + "\r\n", false);
}

void GnuGoPlayer::movePlayed(int colour, Point point) {
  const std::string vertex = gtpVertex(point, kBoardSize, kBoardSize);
  if (vertex.empty() || !child_.isRunning()) return;
  send(std::string("play ") + colourLetter(colour) + " " + vertex + "\r\n", false);
}

Point GnuGoPlayer::getMove() {
  if (assist_ && driver_) {
    if (auto point = assistMove(libraries_, driver_->gameState(), colour_, random_)) return *point;
  }
  {
    std::lock_guard lock(mutex_);
    if (interrupted_) {
      interrupted_ = false;
      return kAskAgain;
    }
    if (ended_) {
      log("not running, so it cannot choose a move: the game ends");
      return kNoMove;
    }
  }
  send(std::string("reg_genmove ") + colourLetter(colour_) + "\r\n", true);

  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return answer_.has_value() || interrupted_ || ended_; });
  awaited_ = 0;
  if (answer_) {
    const GtpReply reply = std::move(*answer_);
    answer_.reset();
    lock.unlock();
    return answerFor(reply);
  }
  if (interrupted_) {
    interrupted_ = false;
    return kAskAgain;
  }
  log("ended before it chose a move: the game ends");
  return kNoMove;
}

Point GnuGoPlayer::answerFor(const GtpReply& reply) const {
  if (reply.failed) {
    log("could not choose a move (\"" + reply.line + "\"): the game ends");
    return kNoMove;
  }
  if (!reply.move) {
    log("answered the move request with no move (\"" + reply.line + "\"): the game ends");
    return kNoMove;
  }
  if (reply.move->kind == GtpMoveReply::Resign) {
    log("resigns: the game ends");
    return kNoMove;
  }
  return reply.point;  // a pass, a vertex off the board and a point alike
}

void GnuGoPlayer::interrupt() {
  std::lock_guard lock(mutex_);
  interrupted_ = true;
  changed_.notify_all();
}

void GnuGoPlayer::destroy() {
  if (child_.isRunning()) {
    send("quit\r\n", false);
    std::unique_lock lock(mutex_);
    (void)changed_.wait_for(lock, std::chrono::milliseconds(kQuitWaitMs), [this] { return ended_; });
  }
  child_.stop();
  std::lock_guard lock(mutex_);
  ended_ = true;
  changed_.notify_all();
}

void GnuGoPlayer::onOutput(std::string_view chunk) {
  std::lock_guard lock(mutex_);
  for (GtpReply& reply : replies_.feed(chunk)) {
    if (reply.forMove && reply.serial == awaited_) {
      answer_ = std::move(reply);
      changed_.notify_all();
    } else if (reply.failed) {
      log("refused a command (\"" + reply.line + "\")");
    }
  }
}

void GnuGoPlayer::onError(std::string_view chunk) {
  std::lock_guard lock(mutex_);
  for (const std::string& line : errorLines_.feed(chunk)) log(line);
}

void GnuGoPlayer::onEnded() {
  std::lock_guard lock(mutex_);
  ended_ = true;
  changed_.notify_all();
}

}  // namespace mh
