#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/log_file.h"

namespace mh::cli {

// What the command line hands every command: the program's log, "log.txt" in the program's
// directory (the file is made only when something is logged).
struct CommandContext {
  std::shared_ptr<LogFile> log;
};

// Runs a command whose options have been parsed; returns the exit status.
using CommandRunner = std::function<int(const CommandContext& context)>;

// Exit status of a command line that does not parse (an unknown or malformed option, a missing
// argument); commands use 1 for a failure of the work itself.
inline constexpr int kUsageError = 2;

// One command of moonhaven-cli. define declares its options and arguments on the command's
// parser and returns the runner; the values land where the options point before it runs.
// Output is UTF-8.
struct Command {
  std::string name;
  std::string summary;  // one line for --help
  std::function<CommandRunner(CLI::App& command)> define;
};

// Commands register themselves from their own source files (see CommandRegistrar).
std::vector<Command>& commands();

struct CommandRegistrar {
  explicit CommandRegistrar(Command command) { commands().push_back(std::move(command)); }
};

// Reports a usage error found after parsing (a value that only the work can judge) as the
// parser reports its own: "moonhaven-cli COMMAND: what" and a pointer to --help on standard
// error. Returns kUsageError.
int usageError(const std::string& command, const std::string& what);

// Runs moonhaven-cli with these arguments (without the program name): parses them, runs the
// chosen command and returns the exit status. Help and version go to standard output; a usage
// error prints "moonhaven-cli[ COMMAND]: what is wrong" and a pointer to --help on standard
// error and returns kUsageError.
int runCommandLine(const std::vector<std::string>& args, const CommandContext& context);

}  // namespace mh::cli
