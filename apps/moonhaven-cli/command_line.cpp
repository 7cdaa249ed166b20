#include <algorithm>
#include <cstdio>
#include <iostream>

#include "cli_command.h"

namespace mh::cli {

std::vector<Command>& commands() {
  static std::vector<Command> all;
  return all;
}

namespace {

// The parser of the whole command line: one subcommand per command, each with its runner.
struct Parser {
  CLI::App app{"moonhaven-cli: the Moonhaven core without a window.", "moonhaven-cli"};
  std::vector<std::pair<CLI::App*, CommandRunner>> runners;

  Parser() {
    app.set_version_flag("--version", std::string("moonhaven-cli ") + MOONHAVEN_VERSION);
    app.require_subcommand(1);
    auto sorted = commands();
    std::sort(sorted.begin(), sorted.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
    for (const Command& c : sorted) {
      CLI::App* sub = app.add_subcommand(c.name, c.summary);
      runners.emplace_back(sub, c.define(*sub));
    }
    app.footer("Run 'moonhaven-cli COMMAND --help' for a command's options.");
  }

  bool isCommand(const std::string& word) const {
    return std::any_of(runners.begin(), runners.end(), [&](const auto& r) { return r.first->get_name() == word; });
  }

  // The command the arguments reached, or "" when none.
  std::string command() const {
    for (const auto& [sub, runner] : runners)
      if (sub->parsed()) return sub->get_name();
    return {};
  }
};

// "moonhaven-cli" and the command's name, if any.
std::string programAnd(const std::string& command) {
  return command.empty() ? "moonhaven-cli" : "moonhaven-cli " + command;
}

}  // namespace

int usageError(const std::string& command, const std::string& what) {
  const std::string where = programAnd(command);
  std::fprintf(stderr, "%s: %s\nRun '%s --help' for more information.\n", where.c_str(), what.c_str(), where.c_str());
  return kUsageError;
}

int runCommandLine(const std::vector<std::string>& args, const CommandContext& context) {
  Parser parser;
  if (args.empty()) {
    std::cerr << parser.app.help();
    return kUsageError;
  }
  // "help" alone asks for the overview, as --help does.
  std::vector<std::string> words = args.size() == 1 && args[0] == "help" ? std::vector<std::string>{"--help"} : args;
  if (!words.front().starts_with("-") && !parser.isCommand(words.front()))
    return usageError("", "unknown command '" + words.front() + "'");
  std::reverse(words.begin(), words.end());  // CLI11 takes the arguments last first
  try {
    parser.app.parse(words);
  } catch (const CLI::Success& done) {  // --help or --version
    return parser.app.exit(done);
  } catch (const CLI::ParseError& e) {
    return usageError(parser.command(), e.what());
  }
  for (const auto& [sub, runner] : parser.runners)
    if (sub->parsed()) return runner(context);
  return kUsageError;  // unreachable: a subcommand is required
}

}  // namespace mh::cli
