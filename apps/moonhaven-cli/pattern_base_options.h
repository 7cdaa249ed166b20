#pragma once

#include <optional>
#include <string>
#include <vector>

#include "patterns/wpb_list.h"

namespace mh::cli {

// The options shared by the pattern-base commands: --home DIR and --base N. parse takes them out
// of args (leaving the rest) and reports a bad value on standard error.
struct PatternBaseOptions {
  std::string home;       // the program's directory unless --home was given; ends with "/"
  std::optional<int> base;

  [[nodiscard]] bool parse(const char* command, std::vector<std::string>& args);
  // Reads home/WPBs.ini and picks the base (the default one without --base). Null, with a
  // message on standard error, when there is no such pattern base.
  Wpb* select(const char* command, WpbList& list) const;
  // As select, but without --base a home that lists no pattern base is no error: null, silently.
  Wpb* selectIfAny(const char* command, WpbList& list) const;
};

}  // namespace mh::cli
