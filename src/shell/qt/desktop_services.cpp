#include "shell/qt/desktop_services.h"

#include <QString>

#include "platform/program_paths.h"
#include "room/qt/board_cursors.h"
#include "room/qt/board_sounds.h"
#include "shell/app_title.h"
#include "shell/matrix_files.h"

namespace mh {

DesktopServices::DesktopServices(StartUpOptions options)
    : log_(std::move(options.log)),
      programDirectory_(withTrailingSlash(std::move(options.programDirectory))),
      dataDirectory_(withTrailingSlash(std::move(options.dataDirectory))) {
  // 1-3: the settings files.
  language_ = LanguageSetting::load(programDirectory_);
  settings_.displayInBig5 = language_.displayInBig5();
  settings_.defaultRules = RuleSettings::read(programDirectory_);
  const std::string ini = programDirectory_ + "WPBs.ini";
  patternBases_.read(ini, programDirectory_, language_.language);
  settings_.defaultPatternBase = patternBases_.defaultNumber();
  // 4-5: the language's texts, the cursors.
  if (options.loadLanguage) options.loadLanguage(language_);
  (void)stoneCursor(Black);
  (void)stoneCursor(White);
  (void)deadStoneCursor();
  // 6: GNU Go's assist reads its own copy of the default pattern base on the drivers' threads,
  // apart from the libraries the rooms read on the window thread. The "*" hints' libraries.
  assistBases_.read(ini, programDirectory_, language_.language);
  (void)assistBases_.select(assistBases_.defaultNumber());
  (void)loadMatrixFiles(matrix_, programDirectory_, dataDirectory_);
  // 7: the board module.
  images_ = BoardImages::load(options.boardModuleDirectory);
  sounds_ = std::make_unique<BoardSounds>(QString::fromStdString(options.boardModuleDirectory));
}

DesktopServices::DesktopServices(std::string programDirectory, const std::string& boardModuleDirectory, LogLine log)
    : DesktopServices(StartUpOptions{std::move(programDirectory), boardModuleDirectory, {}, std::move(log), {}}) {}

DesktopServices::~DesktopServices() = default;

RoomContext DesktopServices::roomContext() {
  RoomContext c;
  c.services.settings = &settings_;
  c.services.patternBases = &patternBases_;
  c.services.matrixLibraries = &matrix_;
  c.services.teardown = &teardown_;
  c.services.programDirectory = programDirectory_;
  c.services.log = log_;
  if (const Wpb* base = assistBases_.at(assistBases_.defaultNumber()); base && base->isOpen())
    c.services.assist = {&base->globalLibrary(), &base->localLibrary()};
  c.images = &images_;
  c.sounds = sounds_.get();
  c.caption = QString::fromUtf8(kAppTitle);
  c.setDefaultRules = [this](const RuleSettings& rules) {
    settings_.defaultRules = rules;
    return rules.write(programDirectory_);
  };
  return c;
}

FrameServices DesktopServices::frameServices() {
  FrameServices f;
  f.settings = &settings_;
  f.language = language_;
  f.dataDirectory = dataDirectory_;
  return f;
}

}  // namespace mh
