#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cli_command.h"
#include "pattern_base_options.h"
#include "patterns/build_report.h"
#include "patterns/file_game_loader.h"
#include "patterns/pattern_base_builder.h"

namespace {

// The exit status of a build that stopped before the end, keeping its work.
constexpr int kStoppedStatus = 3;

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

struct BuildOptions {
  mh::cli::PatternBaseOptions base;
  bool noIndex = false, noGlobal = false, noLocal = false;
  std::optional<int> stopAfter;
  std::optional<int> cacheMib;
  std::optional<int> volumeMib;
};

int runBuild(const BuildOptions& o, const mh::cli::CommandContext& context) {
  mh::BuildRequest request;
  request.updateIndex = !o.noIndex;
  request.buildGlobal = !o.noGlobal;
  request.buildLocal = !o.noLocal;
  if (o.stopAfter) request.gamesPerPhase = *o.stopAfter;
  if (o.cacheMib) request.cacheBytes = static_cast<size_t>(*o.cacheMib) << 20;
  if (o.volumeMib) request.warehouseFileLimit = static_cast<std::int64_t>(*o.volumeMib) << 20;
  mh::WpbList list;
  const mh::Wpb* wpb = o.base.select("build", list);
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
  // A build stopped early (--stop-after, Ctrl+C) did its work soundly but not all of it: a
  // status of its own, apart from a failure (1) and a command line that does not parse (2).
  return result->completed() ? 0 : kStoppedStatus;
}

mh::cli::CommandRegistrar reg{
    {"build",
     "build a pattern base: its game index, global and local libraries (Ctrl+C stops and keeps the work; a stopped "
     "build exits with status 3)",
     [](CLI::App& command) {
       auto o = std::make_shared<BuildOptions>();
       o->base.define(command);
       command.add_flag("--no-index", o->noIndex, "leave the game index as it is");
       command.add_flag("--no-global", o->noGlobal, "leave the global library as it is");
       command.add_flag("--no-local", o->noLocal, "leave the local library as it is");
       command.add_option("--stop-after", o->stopAfter, "stop each library after K more games (exit status 3)")
           ->type_name("K")
           ->check(CLI::Range(0, std::numeric_limits<int>::max()));
       // Memory for changed entries held between warehouse writes; more is faster on big bases,
       // and the build takes more by itself past 64,000 games (256 B a game in each library, up
       // to 64 MiB each).
       command.add_option("--cache-mib", o->cacheMib,
                          "memory in MiB for changed entries between writes (default 32, growing with bases "
                          "past 64,000 games up to 128)")
           ->type_name("M")
           ->check(CLI::Range(1, 1 << 20));
       // The warehouse files' reach is the 32-bit offsets' (2048 MiB); lower only to try splitting.
       command.add_option("--volume-mib", o->volumeMib,
                          "largest warehouse file in MiB before it goes on in a further volume (default 2048)")
           ->type_name("V")
           ->check(CLI::Range(1, 2047));
       return [o](const mh::cli::CommandContext& context) { return runBuild(*o, context); };
     }}};

}  // namespace
