#include "model/match_driver.h"

#include <string>
#include <thread>


namespace mh {

std::string truncateGbText(std::string_view text, size_t limit) {
  size_t end = 0;
  while (end < text.size()) {
    size_t width = (static_cast<unsigned char>(text[end]) & 0x80) && end + 1 < text.size() ? 2 : 1;
    if (end + width > limit) break;
    end += width;
  }
  return std::string(text.substr(0, end));
}

std::shared_ptr<MatchDriver> MatchDriver::create(LogLine log) {
  return std::shared_ptr<MatchDriver>(new MatchDriver(std::move(log)));
}

MatchDriver::~MatchDriver() = default;

void MatchDriver::setMovePauses(std::chrono::milliseconds even, std::chrono::milliseconds odd) {
  evenPause_ = even;
  oddPause_ = odd;
}

bool MatchDriver::startMatch(const GameSettings& settings, std::shared_ptr<MatchObserver> observer,
                             std::shared_ptr<Player> black, std::shared_ptr<Player> white) {
  if (thread_.runFlag() != -1) return false;
  settings_ = settings;
  if (settings_.handicap < 2 || settings_.handicap > 9) settings_.handicap = 0;
  Board handicapBoard;
  if (settings_.handicap) placeHandicap(settings_.handicap, handicapBoard);
  observer_ = std::move(observer);
  black_ = std::move(black);
  white_ = std::move(white);

  if (black_) {
    black_->attach(Black, *this);
    if (settings_.handicap) black_->setPosition(handicapBoard);
  }
  if (white_) {
    white_->attach(White, *this);
    if (settings_.handicap) white_->setPosition(handicapBoard);
  }

  if (settings_.handicap)
    state_.startFrom(handicapBoard, White);
  else
    state_.startEmpty();
  // The names go in after the start: starting from a position clears the game information.
  GameInfo info = state_.mainRecord().info();
  info.setText(GameInfo::kBlackName, truncateGbText(settings_.blackName, kNameLimit));
  info.setText(GameInfo::kWhiteName, truncateGbText(settings_.whiteName, kNameLimit));
  state_.setInfo(info);

  positionChanged();
  return true;
}

bool MatchDriver::startThread() {
  return thread_.start([self = shared_from_this()](const std::atomic<int>& runFlag) { self->run(runFlag); });
}

bool MatchDriver::stop(int timeoutMs) {
  thread_.requestStop();
  if (black_) black_->interrupt();
  if (white_ && white_ != black_) white_->interrupt();
  return thread_.stop(timeoutMs);
}

void MatchDriver::positionChanged() const {
  if (observer_) observer_->positionChanged();
}

void MatchDriver::gameOver() const {
  if (observer_) observer_->gameOver();
}

void MatchDriver::run(const std::atomic<int>& runFlag) {
  if (!black_ || !white_) return;
  bool blackPassed = false;
  bool whitePassed = false;
  int moveCount = 0;
  int refused = 0;
  bool over = false;
  while (!over && runFlag.load() > 0) {
    const int side = state_.sideToMove();
    Player& player = side == White ? *white_ : *black_;
    const Point move = player.getMove();
    if (runFlag.load() <= 0) break;  // a stop arrived while the player was thinking

    if (move == kAskAgain) {
      positionChanged();
      continue;
    }
    if (move == kNoPoint) {
      // Two passes in a row end the game; the second pass is not played.
      if (side == White) {
        whitePassed = true;
        over = blackPassed;
      } else {
        over = whitePassed;
        blackPassed = true;
      }
      // A played pass changes whose turn it is: the window shows it like any move.
      if (!over && state_.play(side, kNoPoint)) positionChanged();
      continue;
    }
    if (move < 0) {  // the player gave up
      over = true;
      continue;
    }

    if (!state_.play(side, move)) {
      // A refused move changes nothing and is not reported, so a program player's own board
      // stays equal to the game's; the same side is asked again, but not for ever.
      if (log_) log_("Match: move " + std::to_string(move) + " of colour " + std::to_string(side) + " refused");
      over = ++refused >= kRefusedLimit;
      continue;
    }
    refused = 0;
    black_->movePlayed(side, move);
    white_->movePlayed(side, move);
    positionChanged();
    std::this_thread::sleep_for(moveCount % 2 == 0 ? evenPause_ : oddPause_);
    blackPassed = false;
    whitePassed = false;
    ++moveCount;
  }
  if (over) gameOver();
}

}  // namespace mh
