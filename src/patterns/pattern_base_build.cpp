#include "patterns/pattern_base_build.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
#include <utility>
#include <unordered_set>
#include <vector>

#include "patterns/library_adders.h"
#include "patterns/pattern_file_header.h"
#include "patterns/skipped_records.h"
#include "platform/bounded_queue.h"
#include "platform/free_heap.h"
#include "platform/replacing_file.h"

namespace mh {

const LibraryPhaseFiles kGlobalPhase{1, "wp2.aos.idx", "wp2.aos", "wp2.aos_", "wp2", "wp2_", "wp2.aos.prints",
                                    "wp2.keys"};
const LibraryPhaseFiles kLocalPhase{2, "lb.aos.idx", "lb.aos", "lb.aos_", "lb", "lb_", "lb.aos.prints",
                                   "lb.keys"};

namespace {

constexpr int kGlobalMoves = 50;
constexpr int kLocalMoves = 150;

bool limitReached(const BuildRequest& request, int added) {
  return request.gamesPerPhase >= 0 && added >= request.gamesPerPhase;
}

// Removes a file that may be missing; false only when it exists and stays.
bool removeFile(const std::string& path) { return std::remove(path.c_str()) == 0 || errno == ENOENT; }

// A phase's done list while the phase runs: the entries of earlier runs stay in their file (moved
// aside once the warehouse starts to change) instead of in memory, and the games added now are
// game numbers of the index.
struct DoneList {
  std::string path;        // the done list ("wp2.aos.idx")
  std::string earlier;     // where its entries wait once the warehouse has changed
  std::int32_t earlierCount = 0;
  bool movedAside = false;
  std::vector<int> added;  // game numbers of the index, in the order added

  // Moves the file aside before the warehouse's first change: from then on, a build that dies
  // finds no done list and starts the phase again.
  bool moveAside() {
    if (earlierCount > 0 && std::rename(path.c_str(), earlier.c_str()) != 0) return false;
    if (earlierCount == 0 && !removeFile(path)) return false;
    movedAside = true;
    return true;
  }
  // Writes the whole list: the entries of earlier runs, then the entries of the games added now.
  // The earlier entries stay where they lie and the new ones are appended after them. A list
  // moved aside then goes back under its name, so that a build killed before that still finds no
  // done list; one that was not (the warehouse did not change) is appended to where it is, its
  // count written last. Where that file does not hold them, the earlier entries are copied into a
  // new file.
  bool write(const GameIndex& index) const {
    const std::string& from = movedAside ? earlier : path;
    if (earlierCount > 0) {
      if (const auto appended = index.appendEntries(from, earlierCount, added))
        return *appended && (!movedAside || std::rename(earlier.c_str(), path.c_str()) == 0);
    }
    ReplacingFile out(path);
    if (!out.open()) return false;
    std::vector<std::uint8_t> bytes;
    ByteWriter w(bytes);
    PatternFileHeader::write(w, kGameIndexTag, earlierCount + static_cast<std::int32_t>(added.size()));
    std::uint64_t at = 0;
    bool ok = true;
    if (earlierCount > 0) {
      BinaryFile source;
      ok = source.open(from, BinaryFile::Mode::ReadOnly);
      const std::uint64_t total = static_cast<std::uint64_t>(earlierCount) * GameIndexEntry::kSize;
      for (std::uint64_t done = 0; ok && done < total;) {
        const size_t piece = static_cast<size_t>(std::min<std::uint64_t>(total - done, 1 << 20));
        const size_t start = bytes.size();
        bytes.resize(start + piece);
        ok = source.readAt(PatternFileHeader::kBytes + done, bytes.data() + start, piece) &&
             out.file().writeAt(at, bytes.data(), bytes.size());
        at += bytes.size();
        done += piece;
        bytes.clear();
      }
    }
    for (size_t i = 0; ok && i < added.size(); ++i) {
      index.entryCopy(added[i]).write(w);
      if (bytes.size() >= (1 << 20) || i + 1 == added.size()) {
        ok = out.file().writeAt(at, bytes.data(), bytes.size());
        at += bytes.size();
        bytes.clear();
      }
    }
    if (ok && !bytes.empty()) ok = out.file().writeAt(at, bytes.data(), bytes.size());
    if (!ok || !out.commit()) return false;
    if (movedAside) std::remove(earlier.c_str());
    return true;
  }
};

// The system's text for errno, or nothing when it is 0.
std::string systemError() { return errno != 0 ? std::strerror(errno) : ""; }

// Writes the data file and its index under their temporary names; false with the reason in
// how.error. The entries this run did not change are copied from the data file in place, when it
// is the one the last finish stamped. The key file goes with them when it can be created (it is
// optional: keys left unset when it cannot).
bool writeDataFiles(const BuildRequest& request, const LibraryPhaseFiles& files, const PatternLibrary& library,
                    ReplacingFile& data, ReplacingFile& dataIndex, ReplacingFile& keys,
                    PatternLibrary::DataWrite& how) {
  errno = 0;
  if (!data.open() || !dataIndex.open()) {
    how.error = "create: " + systemError();
    return false;
  }
  if (request.writeBack) {
    how.previousData = request.file(files.data);
    how.previousIndex = request.file(files.index);
    how.previousKeys = request.file(files.keys);
    if (keys.open()) how.keys = &keys.file();
    // Everything held was stored by the flush before: the cache empties as the data goes out.
    how.dropStored = true;
    if (!library.writeDataTo(data.file(), &dataIndex.file(), &how)) return false;
    if (how.keys != nullptr && !keys.close()) how.keys = nullptr;
    errno = 0;
    if (data.close() && dataIndex.close()) return true;
    how.error = "close: " + systemError();
    return false;
  }
  // The plain path indexes the written file by scanning it.
  PatternLibrary scanned;
  if (!library.writeDataTo(data.file(), nullptr, &how)) return false;
  errno = 0;
  bool ok = data.close() && scanned.openData(data.temporaryPath());
  if (ok) {
    const auto bytes = PatternLibrary::indexFileBytes(scanned.indexRecords());
    ok = dataIndex.file().writeAt(0, bytes.data(), bytes.size()) && dataIndex.close();
  }
  if (!ok) how.error = systemError();
  return ok;
}

// The finishing steps. The held entries go to the warehouse; the data file and its index are
// written under temporary names; then the warehouse index and directory. The data file and its
// index are moved into place, then the key prints (with the stamp of that data file) are
// written, and last the done list, which marks the warehouse state as finished: a build killed
// before it starts the phase again, one killed after it finds files that agree. Every step is
// tried, so a failure in one leaves the others as complete as they can be; the first failure is
// reported. The done list is written also when the data files are not, so that what was added
// is kept for the next run.
bool finishPhase(const BuildRequest& request, const LibraryPhaseFiles& files, const GameIndex& index,
                 const DoneList& done, PatternLibrary& library, std::string& error) {
  auto fail = [&](const char* extension, const std::string& why) {
    if (error.empty()) error = "cannot write " + request.file(extension) + (why.empty() ? "" : ": " + why);
    return false;
  };
  auto warehouseFailed = [&] {
    if (error.empty()) error = warehouseFailureText("write", request.file(files.warehouse), library.lastError());
    return false;
  };
  bool ok = library.flush() || warehouseFailed();
  ReplacingFile data(request.file(files.data));
  ReplacingFile dataIndex(request.file(files.index));
  ReplacingFile keys(request.file(files.keys));
  PatternLibrary::DataWrite how;
  bool dataOk = writeDataFiles(request, files, library, data, dataIndex, keys, how) || fail(files.data, how.error);
  errno = 0;
  ok = (library.writeIndex(request.file(files.warehouseIndex)) || fail(files.warehouseIndex, systemError())) && ok;
  // The data file first: a reader that meets the new data with the old index checks the pair and
  // indexes the data by scanning it.
  // The old key file goes before the pair it describes is replaced, and the new one comes after
  // (a reader checks a key file against the pair, and does without one that does not agree).
  errno = 0;
  if (ok && dataOk) (void)removeFile(request.file(files.keys));
  if (ok && dataOk) dataOk = (data.commit() || fail(files.data, systemError())) &&
                             (dataIndex.commit() || fail(files.index, systemError()));
  if (ok && dataOk && how.keys != nullptr) (void)keys.commit();
  // The prints spare the next run reading every key; a run without them reads the keys instead.
  if (request.writeBack) (void)library.writePrints(request.file(files.prints), dataOk ? how.stamp : DataFileStamp{});
  ok = (library.closeWarehouse() || warehouseFailed()) && ok;
  library.reset();
  errno = 0;
  ok = ok && (done.write(index) || fail(files.doneList, systemError()));
  return ok && dataOk;
}

// The entry count of a phase's finished library files (0 when they do not open).
int finishedEntries(const BuildRequest& request, const LibraryPhaseFiles& files) {
  PatternLibrary library;
  return library.openIndex(request.file(files.index), request.file(files.data)) ? library.entryCount() : 0;
}

}  // namespace

std::string warehouseFailureText(std::string_view verb, const std::string& warehouse, const std::string& why) {
  std::string text = "cannot ";
  text += verb;
  text += ' ';
  if (!why.starts_with(warehouse)) {
    text += warehouse;
    if (!why.empty()) text += ": ";
  }
  return text + why;
}

namespace {

// A record loaded once for every phase that needs it.
struct LoadedGame {
  GameRecord record;
  int winner = 0;
  bool loaded = false;
};
using LoadedGamePtr = std::shared_ptr<const LoadedGame>;

// What the phases read of a record: its first moves. The rest is dropped before it is queued,
// which keeps games queued ahead small and frees them on the loader's thread.
void keepPhaseMoves(GameRecord& record) {
  record.removeLast(record.entryCount() - std::max(kGlobalMoves, kLocalMoves));
}

// One library phase under way: its done list, its library and what it still has to add.
struct PhaseRun {
  const LibraryPhaseFiles& files;
  DoneList done;
  PatternLibrary library;
  LibraryPhaseResult result;
  std::string error;
  std::vector<char> pending;  // by game number: not in the done list when the phase opened
  // The done list's games are found in the index by name (a name listed twice is added once);
  // the few names it holds that the index has not are kept here, so that the index scan does not
  // add them again while the phase runs.
  std::vector<char> doneGames;  // by game number: in the done list when the phase opened
  std::unordered_set<std::string> doneElsewhere;
  int pendingCount = 0;
  bool countedAll = false;  // the count of pending games ran to the end of the index
  std::atomic<int> total{0};  // games the run will add, as published
  int sent = 0;               // games handed to the worker (loader thread only)
  std::atomic<int> added{0};
  std::atomic<bool> adding{false};
  size_t cacheShare = 0;  // the phase's share of the cache, before it grows with the library
  size_t cacheLimit = 0;  // the cache's limit as set
  const std::atomic<bool>* scanning = nullptr;  // the index scan is still feeding the phase
  // Games handed from the loader to the phase's worker, read ahead by at most 128: the loader
  // serves both phases, and a phase that runs slow for a while (a stretch of dear games) must not
  // hold it back so long that the other phase runs dry.
  BoundedQueue<std::pair<int, LoadedGamePtr>> queue{128};

  explicit PhaseRun(const LibraryPhaseFiles& f) : files(f) {}
};

// The cache limit of a phase whose library holds games: its share, or more on a large base, up to
// the growth limit.
size_t cacheLimit(const BuildRequest& request, const PhaseRun& run, std::int64_t games) {
  const size_t grown = request.cacheBytesPerGame * static_cast<size_t>(std::max<std::int64_t>(games, 0));
  return std::max(run.cacheShare, std::min(grown, request.cacheBytesGrowthLimit));
}

// Opens the done list and the warehouse of a phase: they belong together, and when either is
// missing or unreadable the library starts again from nothing, so that no game is counted twice
// or left out for good. The games of the done list are marked in run.done.
bool openPhaseFiles(const BuildRequest& request, const GameIndex& index, size_t cacheBytes, PhaseRun& run) {
  run.done.path = request.file(run.files.doneList);
  run.done.earlier = run.done.path + ".old";
  run.doneGames.assign(static_cast<size_t>(index.count()), 0);
  std::int32_t earlierCount = 0;
  const bool resumed = GameIndex::readEntries(run.done.path,
                                              [&](const GameIndexEntry& e) {
                                                const std::string_view name = e.textView(GameIndexEntry::kRelativeName);
                                                const std::int32_t g = index.find(name);
                                                if (g >= 0) run.doneGames[static_cast<size_t>(g)] = 1;
                                                else run.doneElsewhere.emplace(name);
                                                ++earlierCount;
                                              }) &&
                       run.library.openWarehouse(request.file(run.files.warehouse),
                                                 request.file(run.files.warehouseIndex));
  if (!resumed) {
    run.doneGames.assign(static_cast<size_t>(index.count()), 0);
    run.doneElsewhere.clear();
    earlierCount = 0;
    // A stale done list must not outlive the warehouse it described.
    errno = 0;
    if (!removeFile(run.done.path) || !removeFile(run.done.earlier) || !removeFile(request.file(run.files.prints)) ||
        !run.library.createWarehouse(request.file(run.files.warehouse))) {
      run.error = "cannot create " + request.file(run.files.warehouse) + ": " + systemError();
      return false;
    }
  }
  run.library.setWarehouseLimit(request.warehouseFileLimit);
  run.done.earlierCount = earlierCount;
  // From the first change on, the warehouse no longer matches the done list of the last run.
  run.library.setBeforeFirstWrite([&done = run.done] { return done.moveAside(); });
  run.cacheShare = cacheBytes;
  run.cacheLimit = cacheLimit(request, run, earlierCount);
  if (request.writeBack && !run.library.enableWriteBack(run.cacheLimit, request.file(run.files.prints))) {
    run.error = warehouseFailureText("read", request.file(run.files.warehouse), run.library.lastError());
    return false;
  }
  return true;
}

// Opens a phase, then counts the games of the index still to add (stopping early when asked to).
bool openPhase(const BuildRequest& request, const GameIndex& index, size_t cacheBytes, const std::atomic<int>& runFlag,
               PhaseRun& run) {
  run.result.ran = true;
  if (!openPhaseFiles(request, index, cacheBytes, run)) return false;
  run.pending.assign(static_cast<size_t>(index.count()), 0);
  int g = 0;
  for (; g < index.count() && runFlag.load() > 0; ++g) {
    // A name the index holds twice is added once, under its first number.
    if (run.doneGames[static_cast<size_t>(g)] || index.repeatsName(g)) continue;
    run.pending[static_cast<size_t>(g)] = 1;
    ++run.pendingCount;
  }
  run.doneGames = {};
  run.countedAll = g == index.count();
  run.total = request.gamesPerPhase >= 0 ? std::min(run.pendingCount, request.gamesPerPhase) : run.pendingCount;
  return true;
}

// The progress of the phase the owner sees: the global library while it is being added to,
// then the local one; nothing while the index scan shows its own.
void publish(BuildProgress& progress, const PhaseRun* global, const PhaseRun* local) {
  const PhaseRun* shown = global && global->adding.load() ? global : local ? local : global;
  if (!shown || (shown->scanning && shown->scanning->load())) return;
  progress.phase.store(shown->files.phase);
  progress.total.store(shown->total.load());
  progress.current.store(shown->added.load());
}

// A phase's worker: adds every game the loader hands over, then writes the phase's files.
void runPhaseWorker(const BuildRequest& request, const GameIndex& index, PhaseRun& run, BuildProgress& progress,
                    const std::atomic<int>& runFlag, const PhaseRun* global, const PhaseRun* local) {
  std::pair<int, LoadedGamePtr> item;
  // The run flag is read before every game: games still queued at a stop are left for the next
  // run (they are not in the done list), and closing the queue frees a loader waiting on it.
  while (runFlag.load() > 0 && run.queue.pop(item)) {
    const int g = item.first;
    const LoadedGame* game = item.second.get();
    run.done.added.push_back(g);
    ++run.result.gamesAdded;
    run.added.fetch_add(1);
    publish(progress, global, local);
    if (!game->loaded) continue;
    bool failed = false;
    if (run.files.phase == kGlobalPhase.phase)
      (void)addRecordToGlobalLibrary(run.library, game->record, game->winner, g, kGlobalMoves, &failed);
    else
      (void)addRecordToLocalLibrary(run.library, game->record, game->winner, g, kLocalMoves, &failed);
    if (failed) ++run.result.gamesCut;
    if (request.writeBack && run.result.gamesAdded % 1024 == 0) {
      const size_t limit = cacheLimit(request, run, std::int64_t{run.done.earlierCount} + run.result.gamesAdded);
      // A higher limit evicts nothing, so this cannot fail.
      if (limit > run.cacheLimit) (void)run.library.enableWriteBack(run.cacheLimit = limit);
    }
  }
  run.queue.close();
  run.adding.store(false);
  publish(progress, global, local);
  // Every game of the index is in the done list once every game pending at the start was added
  // (the count stops early on a stop, so a stopped count never reads as complete).
  run.result.completed = run.countedAll && run.result.gamesAdded == run.pendingCount;
  run.result.entries = run.library.entryCount();
  if (!finishPhase(request, run.files, index, run.done, run.library, run.error)) run.result.completed = false;
}

// Hands game g to every phase in wanting, counting it as sent.
void handOver(int g, const LoadedGamePtr& game, const std::vector<PhaseRun*>& wanting) {
  for (PhaseRun* run : wanting) {
    ++run->sent;
    (void)run->queue.push({g, game});
  }
}

// The loader: reads each game of the index once and hands it to every open phase that still
// wants it, until the index ends, the run flag drops or every phase has reached its limit.
void feedPhases(const BuildRequest& request, const GameIndex& index, const std::atomic<int>& runFlag,
                const std::vector<PhaseRun*>& open) {
  for (int g = 0; g < index.count(); ++g) {
    if (runFlag.load() <= 0) break;
    std::vector<PhaseRun*> wanting;
    for (PhaseRun* run : open)
      if (run->pending[static_cast<size_t>(g)] && !limitReached(request, run->sent)) wanting.push_back(run);
    if (wanting.empty()) {
      // Every phase has reached its limit: nothing further will be wanted.
      if (std::all_of(open.begin(), open.end(), [&](PhaseRun* r) { return limitReached(request, r->sent); })) break;
      continue;
    }
    auto game = std::make_shared<LoadedGame>();
    const auto path = index.pathOf(g);
    game->loaded = path && request.load && request.load(*path, game->record, game->winner, nullptr);
    keepPhaseMoves(game->record);
    handOver(g, game, wanting);
  }
}

// A game the index scan has just added, parsed once: handed to every phase for which it is new.
void offerScanned(const BuildRequest& request, const std::vector<PhaseRun*>& open, int g, GameRecord& record,
                  int winner, const std::string& name) {
  std::vector<PhaseRun*> wanting;
  for (PhaseRun* run : open) {
    if (run->doneElsewhere.count(name) != 0) continue;
    ++run->pendingCount;
    if (!limitReached(request, run->sent)) wanting.push_back(run);
  }
  if (wanting.empty()) return;
  auto game = std::make_shared<LoadedGame>();
  game->record = std::move(record);
  keepPhaseMoves(game->record);
  game->winner = winner;
  game->loaded = true;
  handOver(g, game, wanting);
}

// What runs beside the phases after the games already in the index: the index scan, which hands
// each game it adds to the phases as it goes.
using AlongsidePhases = std::function<void(const std::vector<PhaseRun*>& open)>;

// Runs the given phases together on their own threads: this thread reads each record once,
// ahead of them, and hands it to every phase that still needs the game, then runs alongside.
void runPhases(const BuildRequest& request, const GameIndex& index, BuildProgress& progress,
               const std::atomic<int>& runFlag, std::vector<PhaseRun*> runs, const AlongsidePhases& alongside) {
  std::erase(runs, nullptr);
  // Each phase opens its own done list, warehouse and prints: on a large base that is seconds of
  // reading and table building apiece, so the phases open side by side.
  std::vector<char> opened(runs.size(), 0);
  {
    const size_t share = runs.empty() ? 0 : request.cacheBytes / runs.size();
    std::vector<std::thread> openers;
    for (size_t i = 1; i < runs.size(); ++i)
      openers.emplace_back([&, i] { opened[i] = openPhase(request, index, share, runFlag, *runs[i]); });
    if (!runs.empty()) opened[0] = openPhase(request, index, share, runFlag, *runs[0]);
    for (std::thread& t : openers) t.join();
  }
  std::vector<PhaseRun*> open;
  for (size_t i = 0; i < runs.size(); ++i)
    if (opened[i]) open.push_back(runs[i]);
  if (open.empty()) {
    if (alongside) alongside(open);
    return;
  }
  auto shown = [&](PhaseRun* r) { return std::find(open.begin(), open.end(), r) != open.end() ? r : nullptr; };
  const PhaseRun* global = shown(runs.front()->files.phase == kGlobalPhase.phase ? runs.front() : nullptr);
  const PhaseRun* local = shown(runs.back()->files.phase == kLocalPhase.phase ? runs.back() : nullptr);
  for (PhaseRun* run : open) run->adding.store(true);
  publish(progress, global, local);
  std::vector<std::thread> workers;
  for (PhaseRun* run : open)
    workers.emplace_back([&, run] { runPhaseWorker(request, index, *run, progress, runFlag, global, local); });
  feedPhases(request, index, runFlag, open);
  if (alongside) alongside(open);
  for (PhaseRun* run : open) run->queue.close();
  for (std::thread& t : workers) t.join();
}

// Brings the index up to date with the collection, handing each game it adds to the open phases,
// and writes it; false (result says why) when it cannot be written.
bool updateIndex(const BuildRequest& request, const std::string& directory, GameIndex& index, BuildProgress& progress,
                 const std::atomic<int>& runFlag, const std::vector<PhaseRun*>& open, BuildResult& result) {
  GameIndexScan scan;
  scan.load = request.load;
  scan.log = request.log;
  scan.runFlag = &runFlag;
  scan.limit = request.gamesPerPhase;
  scan.total = &progress.total;
  scan.current = &progress.current;
  scan.added = [&](int g, GameRecord& record, int winner) {
    offerScanned(request, open, g, record, winner, index.entryCopy(g).relativeName());
  };
  result.indexScan = index.update(directory, scan);
  result.indexUpdated = true;
  result.indexCompleted = result.indexScan.completed;
  errno = 0;
  if (index.write(request.file("idx"))) return true;
  result.ok = false;
  result.error = "cannot write " + request.file("idx") + ": " + systemError();
  return false;
}

// Shows the index scan's progress while it runs, then the phases' with their final totals.
void endScan(const BuildRequest& request, const std::vector<PhaseRun*>& open, std::atomic<bool>& scanning) {
  for (PhaseRun* run : open)
    run->total = request.gamesPerPhase >= 0 ? std::min(run->pendingCount, request.gamesPerPhase) : run->pendingCount;
  scanning = false;
}

// The phases' part of the result; the first error stands.
void finishResult(const BuildRequest& request, const PhaseRun& global, const PhaseRun& local, BuildResult& result) {
  if (request.buildGlobal) result.global = global.result;
  else result.global.entries = finishedEntries(request, kGlobalPhase);
  if (request.buildLocal) result.local = local.result;
  else result.local.entries = finishedEntries(request, kLocalPhase);
  if (result.error.empty()) result.error = !global.error.empty() ? global.error : local.error;
  result.ok = result.error.empty();
}

}  // namespace

LibraryPhaseResult runLibraryPhase(const BuildRequest& request, const LibraryPhaseFiles& files, const GameIndex& index,
                                   BuildProgress& progress, const std::atomic<int>& runFlag, std::string& error) {
  PhaseRun run(files);
  runPhases(request, index, progress, runFlag, {&run}, nullptr);
  if (error.empty()) error = run.error;
  return run.result;
}

BuildResult buildPatternBase(const BuildRequest& asked, BuildProgress& progress, const std::atomic<int>& runFlag) {
  // Every record file that does not load, in the index scan or in a phase, is logged against one
  // limit for the whole build.
  SkippedRecordLog skipped(asked.log);
  BuildRequest request = asked;
  request.load = skipped.watching(asked.load);
  BuildResult result;
  progress.phase.store(0);
  progress.total.store(0);
  progress.current.store(0);
  std::string directory = request.recordDirectory;
  if (!directory.empty() && directory.back() != '/') directory += '/';
  // The index is read a few times an entry in a build: held packed, a collection of a million
  // games takes about 100 MB instead of 662.
  GameIndex index;
  index.holdPacked();
  if (!index.read(request.file("idx"), directory)) {
    index.clear();
    index.setDirectory(directory);
  }
  // The phases find the games of their done lists by name.
  index.indexNames();
  // The two libraries are independent: they are built side by side, each on its own thread.
  // The games already in the index come first, read once for both; the index scan then hands
  // over each game it adds, parsed once, so that indexing and both libraries go on together.
  PhaseRun global(kGlobalPhase);
  PhaseRun local(kLocalPhase);
  std::atomic<bool> scanning{false};
  global.scanning = local.scanning = &scanning;
  runPhases(request, index, progress, runFlag, {request.buildGlobal ? &global : nullptr,
                                                request.buildLocal ? &local : nullptr},
            [&](const std::vector<PhaseRun*>& open) {
              if (!request.updateIndex) return;
              scanning = true;
              progress.phase.store(0);
              (void)updateIndex(request, directory, index, progress, runFlag, open, result);
              endScan(request, open, scanning);
              // The scan's file list, tables and parsed records are freed by now, in this
              // thread's heap, where the phases' threads cannot use them.
              returnFreeHeapPages();
            });
  result.indexCount = index.count();
  finishResult(request, global, local, result);
  skipped.finish();
  return result;
}

}  // namespace mh
