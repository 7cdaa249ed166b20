#include "shell/qt/desktop_services.h"

#include <QString>

#include "platform/program_paths.h"
#include "room/qt/board_sounds.h"
#include "shell/app_title.h"
#include "shell/language_setting.h"

namespace mh {

DesktopServices::DesktopServices(std::string programDirectory, const std::string& boardModuleDirectory, LogLine log)
    : log_(std::move(log)),
      programDirectory_(withTrailingSlash(std::move(programDirectory))),
      images_(BoardImages::load(boardModuleDirectory)),
      sounds_(std::make_unique<BoardSounds>(QString::fromStdString(boardModuleDirectory))) {
  const LanguageSetting language = LanguageSetting::load(programDirectory_);
  settings_.displayInBig5 = language.displayInBig5();
  settings_.defaultRules = RuleSettings::read(programDirectory_);
  const std::string ini = programDirectory_ + "WPBs.ini";
  patternBases_.read(ini, programDirectory_, language.language);
  settings_.defaultPatternBase = patternBases_.defaultNumber();
  // GNU Go's assist reads its own copy of the default pattern base on the drivers' threads, apart
  // from the libraries the rooms read on the window thread.
  assistBases_.read(ini, programDirectory_, language.language);
  (void)assistBases_.select(assistBases_.defaultNumber());
}

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

}  // namespace mh
