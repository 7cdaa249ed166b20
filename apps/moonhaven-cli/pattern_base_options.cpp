#include "pattern_base_options.h"

#include <cstdio>
#include <limits>

#include "platform/program_paths.h"
#include "shell/language_setting.h"

namespace mh::cli {

int titleLanguage(const std::string& home) {
  return LanguageSetting::load(home).language;
}

void PatternBaseOptions::define(CLI::App& command) {
  command.add_option("--home", home, "the program's directory holding WPBs.ini (default: MOONHAVEN_HOME or the program's)")
      ->type_name("DIR");
  command.add_option("--base", base, "the pattern base's number in WPBs.ini (default: its DEFAULT)")
      ->type_name("N")
      ->check(CLI::Range(0, std::numeric_limits<int>::max()));
}

std::string PatternBaseOptions::directory() const {
  return home.empty() ? programDirectory() : withTrailingSlash(home);
}

Wpb* PatternBaseOptions::select(const char* command, WpbList& list) const {
  const std::string dir = directory();
  const std::string ini = dir + "WPBs.ini";
  list.read(ini, dir, titleLanguage(dir));
  const int n = base.value_or(list.defaultNumber());
  Wpb* wpb = list.at(n);
  if (!wpb) {
    if (list.count() == 0)
      std::fprintf(stderr, "%s: %s names no pattern base (sections WPBS with TOTAL, and WPB_0 with TITLEn, SGFPATH, FILENAME)\n",
                   command, ini.c_str());
    else
      std::fprintf(stderr, "%s: no pattern base %d in %s (it lists %d)\n", command, n, ini.c_str(), list.count());
  }
  return wpb;
}

Wpb* PatternBaseOptions::selectIfAny(const char* command, WpbList& list) const {
  if (base) return select(command, list);
  const std::string dir = directory();
  list.read(dir + "WPBs.ini", dir, titleLanguage(dir));
  return list.count() == 0 ? nullptr : select(command, list);
}

}  // namespace mh::cli
