#include "library_windows/pattern_build_session.h"

#include "platform/ini_file.h"
#include "platform/program_paths.h"

namespace mh {

namespace {

std::string withCounts(std::string text, int total, int current) {
  for (const auto& [mark, value] : {std::pair{"%1", total}, std::pair{"%2", current}}) {
    const size_t at = text.find(mark);
    if (at != std::string::npos) text.replace(at, 2, std::to_string(value));
  }
  return text;
}

}  // namespace

std::string buildProgressText(const BuildProgressWords& words, const BuildTick& tick) {
  if (!tick.active) return tick.ended && tick.ended->ok && !tick.ended->completed() ? words.stopped : std::string();
  std::string text = tick.phase == 1   ? withCounts(words.global, tick.total, tick.current)
                     : tick.phase == 2 ? withCounts(words.local, tick.total, tick.current)
                                       : words.index;
  if (tick.stopping) text += "\r\n" + words.stopping;
  return text;
}

std::string patternBaseLine(const std::string& title, bool isDefault) {
  return isDefault ? title + "(default)" : title;
}

PatternBuildSession::PatternBuildSession(WpbList& bases, PatternBaseUsers& users, GameLoader load, LogLine log)
    : bases_(bases), users_(users), load_(std::move(load)), log_(log), builder_(std::move(log)) {}

PatternBuildSession::~PatternBuildSession() {
  (void)builder_.stop(-1);
  if (Wpb* wpb = bases_.at(building_)) wpb->setBuilding(false);
}

bool PatternBuildSession::start(int n, BuildSwitches switches) {
  Wpb* wpb = bases_.at(n);
  if (state_ != State::Idle || !wpb) return false;
  users_.releasePatternBase(n);
  wpb->close();
  wpb->setBuilding(true);
  BuildRequest request;
  request.recordDirectory = wpb->recordDirectory();
  request.filePrefix = wpb->filePrefix();
  request.updateIndex = switches.index;
  request.buildGlobal = switches.global;
  request.buildLocal = switches.local;
  request.load = load_;
  request.log = log_;
  if (!builder_.start(std::move(request))) {
    wpb->setBuilding(false);
    users_.patternBaseRebuilt(n);
    return false;
  }
  state_ = State::Running;
  building_ = n;
  return true;
}

void PatternBuildSession::requestStop() {
  if (state_ != State::Running) return;
  builder_.requestStop();
  state_ = State::Stopping;
}

BuildTick PatternBuildSession::tick() {
  BuildTick t;
  if (state_ == State::Idle) return t;
  const BuildProgress& p = builder_.progress();
  t.phase = p.phase.load();
  t.total = p.total.load();
  t.current = p.current.load();
  if (builder_.finished()) {
    (void)builder_.stop(-1);  // the thread has returned: this only joins it
    const int n = building_;
    state_ = State::Idle;
    building_ = -1;
    if (Wpb* wpb = bases_.at(n)) {
      wpb->setBuilding(false);
      users_.patternBaseRebuilt(n);
    }
    t.ended = builder_.result();
    if (!t.ended) {
      t.ended.emplace();
      t.ended->ok = false;
    }
    return t;
  }
  t.active = true;
  t.stopping = state_ == State::Stopping;
  return t;
}

bool PatternBuildSession::changeRecordFolder(int n, const std::string& folder, const std::string& iniPath) {
  Wpb* wpb = bases_.at(n);
  if (!wpb || n == building_ || folder.empty()) return false;
  const std::string directory = withTrailingSlash(folder);
  if (!IniFile(iniPath).writeString("WPB_" + std::to_string(n), "SGFPATH", directory)) return false;
  users_.releasePatternBase(n);
  wpb->setRecordDirectory(directory);
  users_.patternBaseRebuilt(n);
  return true;
}

std::string PatternBuildSession::proposeFileName(std::string_view title) const {
  WpbListEditor editor(bases_.programDirectory());
  (void)editor.load();
  return editor.proposeFileName(title);
}

WpbEditStatus PatternBuildSession::addBase(const WpbListEditor::NewBase& base) {
  WpbListEditor editor(bases_.programDirectory());
  WpbEditStatus status = editor.load();
  if (status == WpbEditStatus::Ok) status = editor.add(base);
  if (status == WpbEditStatus::Ok) listChanged();
  return status;
}

WpbEditStatus PatternBuildSession::removeBase(int n, bool deleteFiles, std::vector<std::string>* notDeleted) {
  if (!canRemove(n)) return WpbEditStatus::NoSuchBase;
  WpbListEditor editor(bases_.programDirectory());
  WpbEditStatus status = editor.load();
  if (status != WpbEditStatus::Ok) return status;
  // Nothing may read the files while they are deleted.
  users_.releasePatternBase(n);
  bases_.at(n)->close();
  status = editor.remove(n, deleteFiles, notDeleted);
  if (status == WpbEditStatus::Ok || status == WpbEditStatus::FilesNotDeleted) listChanged();
  else users_.patternBaseRebuilt(n);
  return status;
}

void PatternBuildSession::listChanged() {
  const std::vector<int> numbers = bases_.reread();
  if (building_ >= 0)
    building_ = building_ < static_cast<int>(numbers.size()) ? numbers[static_cast<size_t>(building_)] : -1;
  users_.patternBasesRenumbered(numbers);
}

}  // namespace mh
