#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "patterns/game_loader.h"
#include "patterns/pattern_base_builder.h"
#include "patterns/wpb_list.h"
#include "patterns/wpb_list_editor.h"
#include "platform/log_line.h"

namespace mh {

// The three switches of a build, all on when the pattern-library dialog opens.
struct BuildSwitches {
  bool index = true;
  bool global = true;
  bool local = true;
};

// Whoever reads a pattern base besides its builder: the rooms that take hints from it and the
// record library that lists it. A build replaces the files they read, so they let go of the base
// before it is closed for the build and take it up again once the build has ended.
class PatternBaseUsers {
 public:
  virtual ~PatternBaseUsers() = default;
  // Pattern base n is about to be closed: drop every reference into it (its game index, its
  // libraries). Selecting it opens nothing until the build has ended.
  virtual void releasePatternBase(int n) = 0;
  // The build of pattern base n has ended (or its record folder changed): select it again where it
  // was used, which reopens it, and show it afresh.
  virtual void patternBaseRebuilt(int n) = 0;
  // A pattern base was added or removed and the list read again: newNumbers[n] is the number base
  // n has now, -1 for the removed one. Renumber what refers to a base, let go of a removed one, and
  // show the new list.
  virtual void patternBasesRenumbered(const std::vector<int>& newNumbers) = 0;
};

// What the pattern-library dialog shows of a build at one tick of its timer.
struct BuildTick {
  // A build runs or is stopping: the timer goes on.
  bool active = false;
  bool stopping = false;
  // The progress of the current phase (on the tick that found the build ended: of its last one).
  int phase = 0;
  int total = 0;
  int current = 0;
  // Set on the tick that found the build ended: what it did.
  std::optional<BuildResult> ended;
};

// The texts of a build's progress, in the interface language; "%1" and "%2" stand for the total
// and the number done.
struct BuildProgressWords {
  std::string index = "正在创建index";
  std::string global = "正在创建全局模式库, \r\n棋谱总数:%1, \r\n当前:%2";
  std::string local = "正在创建局部模式库, \r\n棋谱总数:%1, \r\n当前:%2";
  // A line added below while a stop waits for the phase to write what it has done.
  std::string stopping = "正在停止, 保存已完成的部分...";
  // What stays once a stopped build has ended, beside the progress bar where it stopped.
  std::string stopped = "已停止, 已完成的部分已保存";
};

// The progress text of a tick: the phase's text while a build is active, the stopped line on the
// tick that found a build ended early, and empty otherwise.
std::string buildProgressText(const BuildProgressWords& words, const BuildTick& tick);

// The line of a pattern base in the dialog's list: its title, followed by "(default)" for the
// default one.
std::string patternBaseLine(const std::string& title, bool isDefault);

// The pattern-library dialog without its window: starts a build of one pattern base on a worker
// thread, asks it to stop, and reaps it on a timer tick. Only one build runs at a time, so a
// pattern base is never built twice at once; while it runs the base is closed and marked as being
// built, so that nothing opens its files. Everything here runs on the window thread and never
// waits for the build, except the destructor.
class PatternBuildSession {
 public:
  enum class State { Idle, Running, Stopping };

  // The pattern bases and their users must outlive the session.
  PatternBuildSession(WpbList& bases, PatternBaseUsers& users, GameLoader load, LogLine log = {});
  // Asks a running build to stop and waits for it: the phase writes what it has done.
  ~PatternBuildSession();
  PatternBuildSession(const PatternBuildSession&) = delete;
  PatternBuildSession& operator=(const PatternBuildSession&) = delete;

  State state() const { return state_; }
  // The number of the pattern base being built, or -1.
  int building() const { return building_; }

  // Closes pattern base n (its users let go of it first) and starts building it with the switches.
  // False, nothing changed, while a build is active or when there is no such pattern base.
  bool start(int n, BuildSwitches switches);
  // Asks a running build to stop before its next game; the build then finishes its phase.
  void requestStop();
  // Reads the progress; on the first tick after the build has returned, reaps it: the base is no
  // longer marked, its users take it up again, and the result is handed back.
  BuildTick tick();

  // Gives pattern base n another record folder and writes it to the settings file (key SGFPATH of
  // section WPB_n). Refused while that base is being built, and when the file cannot be written.
  bool changeRecordFolder(int n, const std::string& folder, const std::string& iniPath);

  // Whether pattern base n may be removed: it is listed and not being built.
  bool canRemove(int n) const { return bases_.at(n) && n != building_; }
  // A file name for a new pattern base titled title (GB) that no listed base and no file in the
  // program's directory uses.
  std::string proposeFileName(std::string_view title) const;
  // Adds a pattern base to WPBs.ini in the bases' program directory (the first one added becomes
  // the default), then reads the list again and tells the users. A build may run meanwhile.
  [[nodiscard]] WpbEditStatus addBase(const WpbListEditor::NewBase& base);
  // Removes pattern base n from WPBs.ini, with its files when deleteFiles holds (those left are
  // named in notDeleted, and the result is FilesNotDeleted), then reads the list again and tells
  // the users, who let go of the base before it is closed. Refused (NoSuchBase) while it is being
  // built.
  [[nodiscard]] WpbEditStatus removeBase(int n, bool deleteFiles, std::vector<std::string>* notDeleted = nullptr);

 private:
  // Reads the list again after WPBs.ini changed, follows the base being built and tells the users.
  void listChanged();

  WpbList& bases_;
  PatternBaseUsers& users_;
  GameLoader load_;
  LogLine log_;
  PatternBaseBuilder builder_;
  State state_ = State::Idle;
  int building_ = -1;
};

}  // namespace mh
