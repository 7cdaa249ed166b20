#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/log_file.h"

namespace mh::cli {

// What the command line hands every command: the program's log, "log.txt" in the current
// directory (the file is made only when something is logged).
struct CommandContext {
  std::shared_ptr<LogFile> log;
};

// One command of moonhaven-cli. run gets the arguments after the command name and returns the
// exit status. Output is UTF-8.
struct Command {
  std::string name;
  std::string usage;    // e.g. "show FILE [--big5] [--move N]"
  std::string summary;  // one line for --help
  std::function<int(const std::vector<std::string>& args, const CommandContext& context)> run;
};

// Commands register themselves from their own source files (see CommandRegistrar).
std::vector<Command>& commands();

struct CommandRegistrar {
  explicit CommandRegistrar(Command command) { commands().push_back(std::move(command)); }
};

}  // namespace mh::cli
