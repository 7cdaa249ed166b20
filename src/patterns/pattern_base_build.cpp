#include "patterns/pattern_base_build.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "patterns/library_adders.h"
#include "platform/replacing_file.h"

namespace mh {

const LibraryPhaseFiles kGlobalPhase{1, "wp2.aos.idx", "wp2.aos", "wp2.aos_", "wp2", "wp2_"};
const LibraryPhaseFiles kLocalPhase{2, "lb.aos.idx", "lb.aos", "lb.aos_", "lb", "lb_"};

namespace {

constexpr int kGlobalMoves = 50;
constexpr int kLocalMoves = 150;

bool limitReached(const BuildRequest& request, int added) {
  return request.gamesPerPhase >= 0 && added >= request.gamesPerPhase;
}

// Removes a file that may be missing; false only when it exists and stays.
bool removeFile(const std::string& path) { return std::remove(path.c_str()) == 0 || errno == ENOENT; }

// The finishing steps. The held entries go to the warehouse; the data file and its index are
// written under temporary names; then the warehouse index and directory; then the done list,
// which marks the warehouse state as finished; only then are the data file and its index moved
// into place. Every step is tried, so a failure in one leaves the others as complete as they can
// be; the first failure is reported.
bool finishPhase(const BuildRequest& request, const LibraryPhaseFiles& files, const GameIndex& done,
                 PatternLibrary& library, std::string& error) {
  auto fail = [&](const char* extension) {
    if (error.empty()) error = "cannot write " + request.file(extension);
    return false;
  };
  bool ok = library.flush() || fail(files.warehouse);

  ReplacingFile data(request.file(files.data));
  ReplacingFile dataIndex(request.file(files.index));
  std::vector<PatternIndexRecord> dataRecords;
  bool dataOk = data.open() && library.writeDataTo(data.file(), request.writeBack ? &dataRecords : nullptr) &&
                data.close();
  if (dataOk && !request.writeBack) {
    // The plain path indexes the written file by scanning it.
    PatternLibrary scanned;
    dataOk = scanned.openData(data.temporaryPath());
    if (dataOk) dataRecords = scanned.indexRecords();
  }
  if (!dataOk) fail(files.data);
  const bool indexOk = dataOk && PatternLibrary::writeIndexRecords(dataIndex.temporaryPath(), dataRecords);
  if (dataOk && !indexOk) fail(files.index);

  ok = (library.writeIndex(request.file(files.warehouseIndex)) || fail(files.warehouseIndex)) && ok;
  ok = (library.closeWarehouse() || fail(files.warehouse)) && ok;
  library.reset();
  // The done list goes last: without it a later build would start the phase again.
  ok = ok && (done.write(request.file(files.doneList)) || fail(files.doneList));
  if (ok && dataOk && indexOk) {
    // The data file first: a reader that meets the new data with the old index checks the pair
    // and indexes the data by scanning it.
    ok = (data.commit() || fail(files.data)) && ok;
    ok = ok && (std::rename(dataIndex.temporaryPath().c_str(), dataIndex.target().c_str()) == 0 || fail(files.index));
  } else {
    std::remove(dataIndex.temporaryPath().c_str());
  }
  return ok && dataOk && indexOk;
}

// The entry count of a phase's finished library files (0 when they do not open).
int finishedEntries(const BuildRequest& request, const LibraryPhaseFiles& files) {
  PatternLibrary library;
  return library.openIndex(request.file(files.index), request.file(files.data)) ? library.entryCount() : 0;
}

}  // namespace

LibraryPhaseResult runLibraryPhase(const BuildRequest& request, const LibraryPhaseFiles& files, const GameIndex& index,
                                   BuildProgress& progress, const std::atomic<int>& runFlag, std::string& error) {
  LibraryPhaseResult result;
  result.ran = true;
  progress.phase.store(files.phase);
  progress.total.store(0);
  progress.current.store(0);

  // The done list and the warehouse belong together: when either is missing or unreadable the
  // library starts again from nothing, so that no game is counted twice or left out for good.
  GameIndex done;
  PatternLibrary library;
  const std::string doneList = request.file(files.doneList);
  const bool resumed = done.read(doneList, index.directory()) &&
                       library.openWarehouse(request.file(files.warehouse), request.file(files.warehouseIndex));
  if (!resumed) {
    done.clear();
    done.setDirectory(index.directory());
    // A stale done list must not outlive the warehouse it described.
    if (!removeFile(doneList) || !library.createWarehouse(request.file(files.warehouse))) {
      error = "cannot create " + request.file(files.warehouse);
      return result;
    }
  }
  // From the first change on, the warehouse no longer matches the done list of the last run.
  library.setBeforeFirstWrite([doneList] { return removeFile(doneList); });
  if (request.writeBack && !library.enableWriteBack(request.cacheBytes)) {
    error = "cannot read " + request.file(files.warehouse);
    return result;
  }

  int remaining = 0;
  for (int g = 0; g < index.count() && runFlag.load() > 0; ++g)
    if (!done.contains(index.entry(g).relativeName())) ++remaining;
  progress.total.store(request.gamesPerPhase >= 0 ? std::min(remaining, request.gamesPerPhase) : remaining);

  int g = 0;
  for (; g < index.count(); ++g) {
    if (runFlag.load() <= 0 || limitReached(request, result.gamesAdded)) break;
    const GameIndexEntry& entry = index.entry(g);
    if (done.contains(entry.relativeName())) continue;
    done.append(entry);
    ++result.gamesAdded;
    progress.current.fetch_add(1);
    bool failed = false;
    if (files.phase == kGlobalPhase.phase)
      (void)addGameToGlobalLibrary(library, index, g, request.load, kGlobalMoves, &failed);
    else
      (void)addGameToLocalLibrary(library, index, g, request.load, kLocalMoves, &failed);
    if (failed) ++result.gamesCut;
  }
  result.completed = true;
  for (; g < index.count() && result.completed; ++g)
    if (!done.contains(index.entry(g).relativeName())) result.completed = false;

  result.entries = library.entryCount();
  if (!finishPhase(request, files, done, library, error)) result.completed = false;
  return result;
}

BuildResult buildPatternBase(const BuildRequest& request, BuildProgress& progress, const std::atomic<int>& runFlag) {
  BuildResult result;
  progress.phase.store(0);
  progress.total.store(0);
  progress.current.store(0);

  std::string directory = request.recordDirectory;
  if (!directory.empty() && directory.back() != '/') directory += '/';
  GameIndex index;
  if (!index.read(request.file("idx"), directory)) {
    index.clear();
    index.setDirectory(directory);
  }
  if (request.updateIndex) {
    GameIndexScan scan;
    scan.load = request.load;
    scan.log = request.log;
    scan.runFlag = &runFlag;
    scan.limit = request.gamesPerPhase;
    scan.total = &progress.total;
    scan.current = &progress.current;
    result.indexScan = index.update(directory, scan);
    result.indexUpdated = true;
    result.indexCompleted = result.indexScan.completed;
    if (!index.write(request.file("idx"))) {
      result.ok = false;
      result.error = "cannot write " + request.file("idx");
      return result;
    }
  }
  result.indexCount = index.count();

  if (request.buildGlobal) result.global = runLibraryPhase(request, kGlobalPhase, index, progress, runFlag, result.error);
  else result.global.entries = finishedEntries(request, kGlobalPhase);
  if (result.error.empty() && request.buildLocal)
    result.local = runLibraryPhase(request, kLocalPhase, index, progress, runFlag, result.error);
  else result.local.entries = finishedEntries(request, kLocalPhase);
  result.ok = result.error.empty();
  return result;
}

}  // namespace mh
