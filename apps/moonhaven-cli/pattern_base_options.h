#pragma once

#include <optional>
#include <string>

#include "cli_command.h"
#include "patterns/wpb_list.h"

namespace mh::cli {

// The interface language whose titles name the pattern bases of a home, decided as the desktop
// program decides it at start-up: from the home's lang.ini and the system's code page.
int titleLanguage(const std::string& home);

// The options shared by the pattern-base commands: --home DIR and --base N.
struct PatternBaseOptions {
  std::string home;  // as given; the program's directory when empty
  std::optional<int> base;

  void define(CLI::App& command);
  // The home with a trailing "/", or the program's directory.
  std::string directory() const;
  // Reads WPBs.ini of the home and picks the base (the default one without --base). Null, with
  // a message on standard error, when there is no such pattern base.
  Wpb* select(const char* command, WpbList& list) const;
  // As select, but without --base a home that lists no pattern base is no error: null, silently.
  Wpb* selectIfAny(const char* command, WpbList& list) const;
};

}  // namespace mh::cli
