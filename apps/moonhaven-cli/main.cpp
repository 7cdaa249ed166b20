#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli_command.h"

namespace mh::cli {

std::vector<Command>& commands() {
  static std::vector<Command> all;
  return all;
}

namespace {

void printHelp(std::FILE* out) {
  std::fprintf(out,
               "moonhaven-cli: the Moonhaven core without a window.\n\n"
               "Usage: moonhaven-cli COMMAND [ARGS...]\n"
               "       moonhaven-cli --help | --version\n\n"
               "Commands:\n");
  auto sorted = commands();
  std::sort(sorted.begin(), sorted.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
  for (const Command& c : sorted) std::fprintf(out, "  %-48s %s\n", c.usage.c_str(), c.summary.c_str());
  if (sorted.empty()) std::fprintf(out, "  (none yet)\n");
}

}  // namespace
}  // namespace mh::cli

int main(int argc, char** argv) {
  using namespace mh::cli;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    printHelp(stderr);
    return 1;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    printHelp(stdout);
    return 0;
  }
  if (args[0] == "--version") {
    std::printf("moonhaven-cli %s\n", MOONHAVEN_VERSION);
    return 0;
  }
  const CommandContext context{std::make_shared<mh::LogFile>(mh::LogFile::kProgramLogName)};
  for (const Command& c : commands()) {
    if (c.name == args[0]) return c.run(std::vector<std::string>(args.begin() + 1, args.end()), context);
  }
  std::fprintf(stderr, "moonhaven-cli: unknown command '%s' (see --help)\n", args[0].c_str());
  return 1;
}
