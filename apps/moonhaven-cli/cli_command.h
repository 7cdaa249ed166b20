#pragma once

#include <functional>
#include <string>
#include <vector>

namespace mh::cli {

// One command of moonhaven-cli. run gets the arguments after the command name and returns the
// exit status. Output is UTF-8.
struct Command {
  std::string name;
  std::string usage;    // e.g. "show FILE [--big5] [--move N]"
  std::string summary;  // one line for --help
  std::function<int(const std::vector<std::string>& args)> run;
};

// Commands register themselves from their own source files (see CommandRegistrar).
std::vector<Command>& commands();

struct CommandRegistrar {
  explicit CommandRegistrar(Command command) { commands().push_back(std::move(command)); }
};

}  // namespace mh::cli
