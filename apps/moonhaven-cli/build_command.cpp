#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "cli_command.h"
#include "model/sgf_value.h"
#include "pattern_base_options.h"
#include "patterns/build_report.h"
#include "patterns/file_game_loader.h"
#include "patterns/pattern_base_builder.h"

namespace {

constexpr const char* kUsage =
    "build [--home DIR] [--base N] [--no-index] [--no-global] [--no-local] [--stop-after K] [--cache-mib M]";

volatile sig_atomic_t interrupted = 0;

void onInterrupt(int) { interrupted = 1; }

// Ctrl+C asks the build to stop; the default action comes back, so a second one ends the program.
void catchInterrupt() {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

// Progress on standard error: a bar redrawn in place on a terminal, otherwise a line whenever
// the phase changes or another 1000 games are done.
class ProgressPrinter {
 public:
  ProgressPrinter() : terminal_(isatty(STDERR_FILENO) == 1) {}

  void show(const mh::BuildProgress& p) {
    const int phase = p.phase.load();
    const int total = p.total.load();
    const int current = p.current.load();
    if (terminal_) {
      std::fprintf(stderr, "\r%s\033[K", mh::buildProgressLine(phase, total, current, 30).c_str());
    } else if (phase != phase_ || current / 1000 != thousands_) {
      phase_ = phase;
      thousands_ = current / 1000;
      std::fprintf(stderr, "%s\n", mh::buildProgressLine(phase, total, current, 0).c_str());
    }
    std::fflush(stderr);
  }
  void end() {
    if (terminal_) std::fprintf(stderr, "\n");
  }

 private:
  bool terminal_;
  int phase_ = -1;
  int thousands_ = -1;
};

int runBuild(const std::vector<std::string>& arguments, const mh::cli::CommandContext& context) {
  std::vector<std::string> args = arguments;
  mh::cli::PatternBaseOptions options;
  if (!options.parse("build", args)) return 1;
  mh::BuildRequest request;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--no-index") {
      request.updateIndex = false;
    } else if (args[i] == "--no-global") {
      request.buildGlobal = false;
    } else if (args[i] == "--no-local") {
      request.buildLocal = false;
    } else if (args[i] == "--stop-after" && i + 1 < args.size()) {
      const auto k = mh::sgf::parseInt(args[++i]);
      if (!k || *k < 0) {
        std::fprintf(stderr, "build: --stop-after needs a number of games, not '%s'\n", args[i].c_str());
        return 1;
      }
      request.gamesPerPhase = *k;
    } else if (args[i] == "--cache-mib" && i + 1 < args.size()) {
      // Memory for changed entries held between warehouse writes; more is faster on big bases.
      const auto m = mh::sgf::parseInt(args[++i]);
      if (!m || *m < 1 || *m > 1 << 20) {
        std::fprintf(stderr, "build: --cache-mib needs a size in MiB, not '%s'\n", args[i].c_str());
        return 1;
      }
      request.cacheBytes = static_cast<size_t>(*m) << 20;
    } else {
      std::fprintf(stderr, "usage: moonhaven-cli %s\n", kUsage);
      return 1;
    }
  }
  mh::WpbList list;
  const mh::Wpb* wpb = options.select("build", list);
  if (!wpb) return 1;
  request.recordDirectory = wpb->recordDirectory();
  request.filePrefix = wpb->filePrefix();
  request.load = mh::fileGameLoader();
  request.log = mh::LogFile::writer(context.log);

  catchInterrupt();
  mh::PatternBaseBuilder builder(mh::LogFile::writer(context.log));
  if (!builder.start(std::move(request))) {
    std::fprintf(stderr, "build: cannot start the build\n");
    return 1;
  }
  ProgressPrinter printer;
  bool stopAsked = false;
  while (!builder.finished()) {
    if (interrupted && !stopAsked) {
      builder.requestStop();
      stopAsked = true;
    }
    printer.show(builder.progress());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  (void)builder.stop(-1);
  printer.show(builder.progress());
  printer.end();

  const auto result = builder.result();
  if (!result || !result->ok) {
    std::fprintf(stderr, "build: %s\n", result ? result->error.c_str() : "the build did not finish");
    return 1;
  }
  if (result->indexScan.deleteFailures > 0)
    std::fprintf(stderr, "build: %d duplicate record files could not be deleted (see %s)\n",
                 result->indexScan.deleteFailures, context.log->path().c_str());
  for (const auto* phase : {&result->global, &result->local}) {
    if (phase->gamesCut > 0)
      std::fprintf(stderr, "build: %d games of the %s library could not be stored completely (warehouse full?)\n",
                   phase->gamesCut, phase == &result->global ? "global" : "local");
  }
  const std::string summary = mh::buildSummary(*result);
  std::fwrite(summary.data(), 1, summary.size(), stdout);
  return result->completed() ? 0 : 2;
}

mh::cli::CommandRegistrar reg{{"build", kUsage,
                               "build a pattern base: its game index, global and local libraries (Ctrl+C stops and keeps the work)",
                               runBuild}};

}  // namespace
