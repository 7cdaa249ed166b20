#include <cstdio>
#include <string>

#include "cli_command.h"
#include "platform/program_paths.h"

namespace {

// Where this program reads and writes: the same folders the desktop program uses.
int runPaths() {
  const std::string home = mh::programDirectory();
  const std::string data = mh::dataDirectory();
  const std::string board = mh::boardModuleDirectory(mh::executableDirectory());
  std::printf("program directory: %s\n", home.empty() ? "(unknown)" : home.c_str());
  std::printf("data directory: %s\n", data.empty() ? "(unknown)" : data.c_str());
  std::printf("board module: %s\n", board.empty() ? "missing (drawn stones, no sounds)" : board.c_str());
  return 0;
}

mh::cli::CommandRegistrar reg{{"paths", "print where settings, pattern bases and the shipped data live",
                               [](CLI::App&) { return [](const mh::cli::CommandContext&) { return runPaths(); }; }}};

}  // namespace
