#include "pattern_base_options.h"

#include <cstdio>

#include "model/sgf_value.h"
#include "platform/program_paths.h"
#include "shell/language_setting.h"

namespace mh::cli {

namespace {

// The interface language whose titles name the pattern bases, decided as the desktop program
// decides it at start-up: from the home's lang.ini and the system's code page.
int titleLanguage(const std::string& home) {
  return LanguageSetting::decide(LanguageSetting::readLang(home + "lang.ini"), systemCodePage()).language;
}

}  // namespace

bool PatternBaseOptions::parse(const char* command, std::vector<std::string>& args) {
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--home" || args[i] == "--base") {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "%s: %s needs a value\n", command, args[i].c_str());
        return false;
      }
      const std::string& value = args[++i];
      if (args[i - 1] == "--home") {
        home = withTrailingSlash(value);
      } else {
        base = sgf::parseInt(value);
        if (!base || *base < 0) {
          std::fprintf(stderr, "%s: --base needs a pattern-base number, not '%s'\n", command, value.c_str());
          return false;
        }
      }
    } else {
      rest.push_back(args[i]);
    }
  }
  if (home.empty()) home = programDirectory();
  args = std::move(rest);
  return true;
}

Wpb* PatternBaseOptions::select(const char* command, WpbList& list) const {
  const std::string ini = home + "WPBs.ini";
  list.read(ini, home, titleLanguage(home));
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
  list.read(home + "WPBs.ini", home, titleLanguage(home));
  return list.count() == 0 ? nullptr : select(command, list);
}

}  // namespace mh::cli
