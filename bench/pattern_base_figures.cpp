// The figures of a pattern base that a build's timing does not show, for bench/figures.sh:
//
//   moonhaven_figures hints PREFIX GAMES_DIR [--positions N]
//     Opens the pattern base whose files are PREFIX.idx, .wp2, .wp2_, .lb, .lb_ for hints, as a
//     room does, and reports the time and the resident memory that took; then takes N positions
//     (10,000 by default) from the records of GAMES_DIR (files that should not be in the base) and
//     times the hints of each: the global look-up under the eight symmetries plus the local one of
//     every cluster, as a room shows them (hints_*: labels and counts), then as the hint details
//     window asks for them (details_*: with the games behind each). Prints "name value" lines.
//   moonhaven_figures open PREFIX [--runs N] [--cold]
//     Opens the pattern base at PREFIX for hints N times (5 by default), each time afresh, and
//     prints each opening's wall and processor time and resident memory, then the medians. With
//     --cold, each opening first asks the system to drop the base's files from its cache
//     (posix_fadvise), so that they are read from the disk. For profiles of the opening alone.
//   moonhaven_figures turn SOURCE_DIR OUT_DIR
//     Writes every SGF file of SOURCE_DIR under its eight symmetries into OUT_DIR (same
//     subfolders, NAME.s0.sgf .. NAME.s7.sgf), making a collection eight times as large.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "figures_support.h"
#include "patterns/file_game_loader.h"
#include "patterns/pattern_hints.h"
#include "patterns/wpb.h"
#include "platform/collection_listing.h"
#include "platform/program_paths.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The process's processor time (user and system) so far, in milliseconds: on a busy machine it
// shows what the opening cost, where the wall time shows mostly the wait for a core.
double processorMilliseconds() {
  timespec t{};
  (void)clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

int usage() {
  std::fprintf(stderr,
               "usage: moonhaven_figures hints PREFIX GAMES_DIR [--positions N]\n"
               "       moonhaven_figures open PREFIX [--runs N] [--cold]\n"
               "       moonhaven_figures turn SOURCE_DIR OUT_DIR\n");
  return 1;
}

bool isSgf(const fs::path& path) {
  std::string ext = path.extension().string();
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return ext == ".sgf";
}

int runHints(const std::string& prefix, const std::string& gamesDir, size_t wanted) {
  const fs::path filePrefix(prefix);
  const std::string home = mh::withTrailingSlash(filePrefix.parent_path().string());
  mh::Wpb base("figures", home, filePrefix.filename().string(), home);

  const auto residentBefore = mh::figures::residentKiB();
  const auto openStart = Clock::now();
  const double cpuStart = processorMilliseconds();
  base.openForHints();
  const double openMs = millisecondsSince(openStart);
  const double openCpuMs = processorMilliseconds() - cpuStart;
  const auto residentAfter = mh::figures::residentKiB();
  if (base.globalLibrary().entryCount() == 0 && base.localLibrary().entryCount() == 0) {
    std::fprintf(stderr, "hints: no pattern library opens at %s (.wp2/.wp2_, .lb/.lb_)\n", prefix.c_str());
    return 1;
  }
  std::printf("games %d\nglobal_entries %d\nlocal_entries %d\n", base.gameIndex().count(),
              base.globalLibrary().entryCount(), base.localLibrary().entryCount());
  std::printf("open_ms %.3f\nopen_cpu_ms %.3f\n", openMs, openCpuMs);
  if (residentBefore && residentAfter)
    std::printf("open_resident_mib %.2f\n", static_cast<double>(*residentAfter - *residentBefore) / 1024.0);

  // Positions before every 7th move up to move 150; the first one moves along with the game
  // number, so every move number is sampled.
  std::vector<mh::figures::QueryPosition> positions;
  positions.reserve(wanted);
  const mh::GameLoader load = mh::fileGameLoader();
  const std::string directory = mh::withTrailingSlash(gamesDir);
  int games = 0;
  for (const std::string& path : mh::listCollectionFiles(directory)) {
    if (positions.size() >= wanted) break;
    mh::GameRecord record;
    int winner = 0;
    if (!load(path, record, winner, nullptr)) continue;
    mh::figures::takePositions(record, 7, games++, 150, wanted, positions);
  }
  if (positions.size() < wanted)
    std::fprintf(stderr, "hints: only %zu positions in %s\n", positions.size(), gamesDir.c_str());

  // First as a room shows a position (labels and counts), then as the hint details window asks
  // (with the games where each entry was met).
  size_t globalHits = 0;
  size_t localHints = 0;
  for (const auto parts : {mh::EntryParts::WithoutOccurrences, mh::EntryParts::Whole}) {
    const bool labels = parts == mh::EntryParts::WithoutOccurrences;
    std::vector<double> times;
    times.reserve(positions.size());
    for (const auto& p : positions) {
      const auto start = Clock::now();
      const mh::HintList global = mh::globalHints(base.globalLibrary(), p.board, p.side, {}, parts);
      const mh::HintList local = mh::localHints(base.localLibrary(), p.board, p.side, {}, parts);
      times.push_back(millisecondsSince(start));
      if (labels) {
        globalHits += global.empty() ? 0 : 1;
        localHints += local.hints.size();
      }
    }
    const auto summary = mh::figures::summarize(std::move(times));
    if (labels)
      std::printf("positions %zu\npositions_with_global_hints %zu\nlocal_hints %zu\n", summary.count, globalHits,
                  localHints);
    const char* name = labels ? "hints" : "details";
    std::printf("%s_median_ms %.4f\n%s_p99_ms %.4f\n%s_max_ms %.4f\n", name, summary.median, name, summary.p99, name,
                summary.max);
  }
  return 0;
}

// Asks the system to let go of the cached pages of the file at path (those no process holds
// dirty or mapped), so that the next read comes from the disk.
void dropCached(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  ::close(fd);
}

double medianOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n == 0 ? 0.0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int runOpen(const std::string& prefix, int runs, bool cold) {
  const fs::path filePrefix(prefix);
  const std::string home = mh::withTrailingSlash(filePrefix.parent_path().string());
  std::vector<double> wall;
  std::vector<double> cpu;
  std::vector<double> resident;
  for (int run = 0; run < runs; ++run) {
    if (cold)
      for (const char* ext : {".wp2", ".wp2_", ".wp2.keys", ".lb", ".lb_", ".lb.keys"}) dropCached(prefix + ext);
    mh::Wpb base("figures", home, filePrefix.filename().string(), home);
    const auto residentBefore = mh::figures::residentKiB();
    const auto start = Clock::now();
    const double cpuStart = processorMilliseconds();
    base.openForHints();
    wall.push_back(millisecondsSince(start));
    cpu.push_back(processorMilliseconds() - cpuStart);
    const auto residentAfter = mh::figures::residentKiB();
    resident.push_back(residentBefore && residentAfter ? static_cast<double>(*residentAfter - *residentBefore) / 1024.0
                                                       : 0.0);
    if (base.globalLibrary().entryCount() == 0 && base.localLibrary().entryCount() == 0) {
      std::fprintf(stderr, "open: no pattern library opens at %s (.wp2/.wp2_, .lb/.lb_)\n", prefix.c_str());
      return 1;
    }
    std::printf("run %d open_ms %.3f open_cpu_ms %.3f open_resident_mib %.2f\n", run + 1, wall.back(), cpu.back(),
                resident.back());
  }
  std::printf("open_ms_median %.3f\nopen_cpu_ms_median %.3f\nopen_resident_mib_median %.2f\n", medianOf(wall),
              medianOf(cpu), medianOf(resident));
  return 0;
}

int runTurn(const std::string& sourceDir, const std::string& outDir) {
  std::error_code ec;
  int files = 0;
  int written = 0;
  for (auto it = fs::recursive_directory_iterator(sourceDir, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (!it->is_regular_file(ec) || !isSgf(it->path())) continue;
    const fs::path relative = fs::relative(it->path(), sourceDir, ec);
    const fs::path target = fs::path(outDir) / relative.parent_path();
    fs::create_directories(target, ec);
    ++files;
    const int n = mh::figures::writeTurnedCopies(it->path().string(), (target / relative.stem()).string());
    if (n == 0) std::fprintf(stderr, "turn: %s does not read as SGF\n", it->path().c_str());
    written += n;
  }
  if (ec) {
    std::fprintf(stderr, "turn: cannot list %s: %s\n", sourceDir.c_str(), ec.message().c_str());
    return 1;
  }
  std::printf("source_files %d\nwritten %d\n", files, written);
  return written > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 3 && args[0] == "hints") {
    size_t positions = 10000;
    if (args.size() == 5 && args[3] == "--positions") {
      positions = std::strtoul(args[4].c_str(), nullptr, 10);
    } else if (args.size() != 3) {
      return usage();
    }
    return runHints(args[1], args[2], positions);
  }
  if (args.size() >= 2 && args[0] == "open") {
    int runs = 5;
    bool cold = false;
    for (size_t i = 2; i < args.size(); ++i) {
      if (args[i] == "--runs" && i + 1 < args.size()) runs = std::atoi(args[++i].c_str());
      else if (args[i] == "--cold") cold = true;
      else return usage();
    }
    return runs > 0 ? runOpen(args[1], runs, cold) : usage();
  }
  if (args.size() == 3 && args[0] == "turn") return runTurn(args[1], args[2]);
  return usage();
}
