#include "room/room.h"

#include <utility>

#include "model/person_player.h"
#include "patterns/wpb_list.h"
#include "platform/teardown_queue.h"
#include "process/gnu_go_player.h"
#include "records/sgf_conversion.h"
#include "room/app_settings.h"
#include "room/move_numbers.h"
#include "room/position_annotations.h"
#include "room/record_annotations.h"
#include "room/room_sounds.h"

namespace mh {

namespace {

// How long a stop waits for a match driver's thread.
constexpr int kStopLimitMs = 300;

const AppSettings& settingsOr(const AppSettings* settings) {
  static const AppSettings defaults;
  return settings ? *settings : defaults;
}

}  // namespace

// Passes one game's notifications on with the game's number.
class Room::Observer : public MatchObserver {
 public:
  Observer(std::shared_ptr<RoomNotifier> notifier, int game) : notifier_(std::move(notifier)), game_(game) {}
  void positionChanged() override {
    if (notifier_) notifier_->positionChanged(game_);
  }
  void gameOver() override {
    if (notifier_) notifier_->gameOver(game_);
  }

 private:
  std::shared_ptr<RoomNotifier> notifier_;
  const int game_;
};

Room::Room(int number, RoomServices services, std::shared_ptr<RoomNotifier> notifier)
    : number_(number), services_(std::move(services)), notifier_(std::move(notifier)) {
  const AppSettings& s = settingsOr(services_.settings);
  if (services_.patternBases && services_.patternBases->select(s.defaultPatternBase))
    libraryIndex_ = s.defaultPatternBase;
}

Room::~Room() { endGame(); }

bool Room::displayInBig5() const { return settingsOr(services_.settings).displayInBig5; }

GameSettings Room::personsGame() const {
  const AppSettings& app = settingsOr(services_.settings);
  GameSettings s;
  s.blackType = GameSettings::Person;
  s.whiteType = GameSettings::Person;
  s.ruleType = app.defaultRules.ruleType;
  s.komi = app.defaultRules.komi;
  s.handicap = 0;
  return s;
}

void Room::newGame() { start(personsGame(), std::nullopt, std::nullopt); }

void Room::startGame(const PlayChoice& choice) { start(choice.settings, choice.blackGnuGo, choice.whiteGnuGo); }

void Room::start(const GameSettings& settings, const std::optional<GnuGoSetup>& black,
                 const std::optional<GnuGoSetup>& white, const std::function<void(GameState&)>& prepare) {
  endGame();
  ++game_;
  settings_ = settings;
  person_ = std::make_shared<PersonPlayer>();
  blackGnuGo_ = black ? makeGnuGo(*black) : nullptr;
  whiteGnuGo_ = white ? makeGnuGo(*white) : nullptr;
  const std::shared_ptr<Player> blackPlayer = blackGnuGo_ ? std::shared_ptr<Player>(blackGnuGo_) : person_;
  const std::shared_ptr<Player> whitePlayer = whiteGnuGo_ ? std::shared_ptr<Player>(whiteGnuGo_) : person_;
  driver_ = MatchDriver::create(services_.log);
  (void)driver_->startMatch(settings_, std::make_shared<Observer>(notifier_, game_), blackPlayer, whitePlayer);
  // The record goes in before the driver's thread runs, so that only this thread touches the state.
  if (prepare) prepare(driver_->gameState());
  (void)driver_->startThread();
  annotations_.clear();
  beforeCount_.reset();
  deadStoneMode_ = false;
  // Revisions count again from the new game state's start.
  soundedRevision_ = 0;
  choiceRevision_ = 0;
}

std::shared_ptr<GnuGoPlayer> Room::makeGnuGo(const GnuGoSetup& setup) const {
  auto player = std::make_shared<GnuGoPlayer>(services_.log);
  player->setProgramPath(setup.program);
  player->setLevel(setup.level);
  player->setAssist(setup.assist, services_.assist);
  return player;
}

void Room::endGame() {
  if (driver_) (void)driver_->stop(kStopLimitMs);
  retirePlayers();
}

void Room::retirePlayers() {
  auto black = std::move(blackGnuGo_);
  auto white = std::move(whiteGnuGo_);
  if (!black && !white) return;
  auto job = [black, white] {
    if (black) black->destroy();
    if (white) white->destroy();
  };
  if (services_.teardown) services_.teardown->post(std::move(job));
  else job();
}

std::string Room::gameOver() {
  std::string failed;
  for (const auto* player : {&blackGnuGo_, &whiteGnuGo_})
    if (*player && !(*player)->isRunning() && failed.empty()) failed = (*player)->programPath();
  endGame();
  return failed;
}

RecordLoadStatus Room::openRecord(const std::string& path, bool big5, std::optional<int> move) {
  GameRecord record;
  int resultCode = 0;
  const RecordLoadStatus status = loadRecordFile(path, big5, record, resultCode);
  if (status != RecordLoadStatus::Ok) return status;
  filePath_ = path;
  // A new game between two persons, the record replacing its empty start.
  start(personsGame(), std::nullopt, std::nullopt, [&](GameState& state) {
    state.load(record);
    if (move) (void)state.goTo(*move);
  });
  return status;
}

bool Room::saveAs(const std::string& path) {
  const GameStateView v = view();
  if (!v.mainRecord || !saveRecordAsSgf(*v.mainRecord, path)) return false;
  filePath_ = path;
  return true;
}

bool Room::exportDefault() const {
  const GameStateView v = view();
  return v.mainRecord && exportDefaultSgf(*v.mainRecord, services_.programDirectory);
}

bool Room::goToMove(int index) {
  if (!driver_ || !stateIsFree() || (driverRunning() && gnuGoInGame())) return false;
  if (!driver_->gameState().goTo(index)) return false;
  if (driverRunning()) person_->choose(kAskAgain);
  return true;
}

bool Room::transform(int kind) {
  if (!driver_ || !transformsAllowed()) return false;
  GameState& state = driver_->gameState();
  const bool done = kind == 0 ? state.swapXY() : kind == 1 ? state.flipX() : kind == 2 ? state.flipY() : false;
  pendingSound_ = kSilentRefresh;
  if (done && driverRunning()) person_->choose(kAskAgain);
  return done;
}

void Room::cycleMoveNumbers() {
  moveNumberMode_ = nextMoveNumberMode(moveNumberMode_);
  pendingSound_ = kSilentRefresh;
}

bool Room::selectLibrary(int n) {
  if (!services_.patternBases || !services_.patternBases->select(n)) return false;
  libraryIndex_ = n;
  pendingSound_ = kSilentRefresh;
  return true;
}

void Room::renumberLibrary(const std::vector<int>& newNumbers) {
  if (libraryIndex_ >= 0 && libraryIndex_ < static_cast<int>(newNumbers.size())) {
    libraryIndex_ = newNumbers[static_cast<size_t>(libraryIndex_)];
  } else {
    // A room without a base (none was listed, or its own was removed) takes the default one, as a
    // new room does.
    libraryIndex_ = -1;
    if (services_.patternBases && services_.patternBases->select(services_.patternBases->defaultNumber()))
      libraryIndex_ = services_.patternBases->defaultNumber();
  }
  pendingSound_ = kSilentRefresh;
}

void Room::setDeadStoneMode(bool on) { deadStoneMode_ = on; }

StudyBarState Room::studyBarState() const {
  return mh::studyBarState(view(), gnuGoInGame(), deadStoneMode_, driverRunning());
}

StudyOutcome Room::runStudy(StudyCommand command) {
  if (!driver_ || !stateIsFree()) return {};
  const StudyOutcome out = runStudyCommand(driver_->gameState(), command, studyBarState());
  if (out.stoneSound) pendingSound_ = kStoneSound;
  // The bar acts only while a driver runs, so there is a person waiting to be asked again.
  if (out.resync) person_->choose(kAskAgain);
  return out;
}

void Room::setRules(int ruleType, double komi) {
  settings_.ruleType = ruleType;
  settings_.komi = komi;
}

std::optional<CountReport> Room::count(const CountWords& words) const {
  return countGame(countRequest(view(), settings_, annotations_.marksOfKind(kMarkDead)), words);
}

bool Room::storeResult(const CountReport& report) {
  if (!driver_ || !stateIsFree()) return false;
  GameState& state = driver_->gameState();
  GameInfo info = state.view().info;
  storeCountResult(report, info);
  const bool unchangedPosition = state.view().revision == soundedRevision_;
  state.setInfo(info);
  // A new result is no new position: the next refresh must not sound the last move again.
  if (unchangedPosition) soundedRevision_ = state.view().revision;
  return true;
}

void Room::showCountMarks(const CountReport& report) {
  if (!beforeCount_) beforeCount_ = annotations_;
  annotations_.clear();
  for (Point p : report.blackMarks) annotations_.addMark(p, kMarkBlackArea);
  for (Point p : report.whiteMarks) annotations_.addMark(p, kMarkWhiteArea);
}

bool Room::restoreAnnotations() {
  if (!beforeCount_) return false;
  annotations_ = std::move(*beforeCount_);
  beforeCount_.reset();
  return true;
}

bool Room::driverRunning() const { return driver_ && driver_->runFlag() == 1; }

bool Room::gnuGoInGame() const {
  return settings_.blackType == GameSettings::GnuGo || settings_.whiteType == GameSettings::GnuGo;
}

bool Room::personToMove() const {
  const int side = view().sideToMove;
  return (side == White ? settings_.whiteType : settings_.blackType) == GameSettings::Person;
}

bool Room::stateIsFree() const { return !driverRunning() || (person_ && person_->isWaiting()); }

bool Room::transformsAllowed() const {
  if (deadStoneMode_ || !driver_) return false;
  return !driverRunning() || (!gnuGoInGame() && stateIsFree());
}

PointChoice Room::choosePoint(Point point) {
  GameStateView v = view();
  if (deadStoneMode_) {
    annotations_.toggleDeadString(v.board, point);
    return PointChoice::Toggled;
  }
  if (!driverRunning() || !personToMove()) return PointChoice::Dropped;
  // A point handed over that the driver has not played yet: the shown position is not the one a
  // second click would be played on.
  if (v.revision == choiceRevision_ && !person_->isWaiting()) return PointChoice::Dropped;
  bool studyStarted = false;
  if (!v.atLast()) {
    // Trying a move away from the end of the line opens a study line there.
    if (!stateIsFree() || !driver_->gameState().beginStudy()) return PointChoice::Dropped;
    studyStarted = true;
    v = view();
  }
  if (!v.atLast() || moveIsIllegal(v.board, v.ko, v.sideToMove, point)) {
    if (studyStarted) person_->choose(kAskAgain);  // show the study line that did begin
    return PointChoice::Dropped;
  }
  choiceRevision_ = v.revision;
  person_->choose(point);
  return studyStarted ? PointChoice::StudyStarted : PointChoice::Played;
}

bool Room::mayPass() const {
  if (deadStoneMode_ || !driverRunning() || !personToMove()) return false;
  const GameStateView v = view();
  return v.atLast() && (v.revision != choiceRevision_ || person_->isWaiting());
}

bool Room::pass() {
  if (!mayPass()) return false;
  choiceRevision_ = view().revision;
  pendingSound_ = kPassSound;
  person_->choose(kNoPoint);
  return true;
}

GameStateView Room::view() const {
  if (driver_) return driver_->gameState().view();
  GameStateView empty;
  empty.mainRecord = std::make_shared<const GameRecord>();
  return empty;
}

RoomRefresh Room::refresh(const RoomWords& words) {
  RoomRefresh out;
  out.view = view();
  const GameStateView& v = out.view;
  const AppSettings& app = settingsOr(services_.settings);

  AnnotationRequest request;
  if (services_.patternBases) {
    if (const Wpb* base = services_.patternBases->at(libraryIndex_); base && base->isOpen()) {
      request.sources.global = &base->globalLibrary();
      request.sources.local = &base->localLibrary();
    }
  }
  request.sources.matrix = services_.matrixLibraries;
  request.switches = {app.globalHints, app.localHints, app.matrixHints};
  request.gnuGoInGame = gnuGoInGame();
  request.moveNumberMode = moveNumberMode_;
  request.displayInBig5 = app.displayInBig5;
  request.words = words.hints;
  PositionAnnotations shown = annotatePosition(v, request);
  annotations_ = std::move(shown.annotations);
  beforeCount_.reset();
  // The record's own information heads the box, above the hints and the position's comment.
  infoText_ = appendComment(gameInfoText(v.info, app.displayInBig5, words.title), shown.infoText);
  out.infoText = infoText_;

  // Each position sounds once, however many notifications announce it.
  const bool placed = !v.moves.empty() && v.moves.back().point >= 0 && v.captureMove == v.moves.back().point;
  if (pendingSound_ != kNoSound || v.revision != soundedRevision_)
    out.sound = refreshSound(pendingSound_, placed, v.captured.size());
  soundedRevision_ = v.revision;
  pendingSound_ = kNoSound;

  out.title = roomTitle(number_, filePath_, v.info, v.currentIndex, app.displayInBig5, words.title);
  return out;
}

std::string Room::title(const RoomTitleWords& words) const {
  const GameStateView v = view();
  return roomTitle(number_, filePath_, v.info, v.currentIndex, displayInBig5(), words);
}

std::vector<HintDetailRow> Room::hintDetails(const HintDetailWords& words) const {
  if (!services_.patternBases) return {};
  const Wpb* base = services_.patternBases->at(libraryIndex_);
  if (!base || !base->isOpen()) return {};
  const GameStateView v = view();
  return hintDetailRows(base->globalLibrary(), base->localLibrary(), base->gameIndex(), v.board, v.sideToMove, words,
                        displayInBig5());
}

}  // namespace mh
