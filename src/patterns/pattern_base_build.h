#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

#include "patterns/block_store.h"
#include "patterns/game_index.h"
#include "patterns/game_loader.h"
#include "patterns/pattern_library.h"

namespace mh {

// Progress of a build, published for a reader on another thread (read without locks).
struct BuildProgress {
  std::atomic<int> phase{0};    // 0 index, 1 global library, 2 local library
  std::atomic<int> total{0};    // games still to be added in the phase (index: record files listed)
  std::atomic<int> current{0};  // games added so far in the phase (index: files examined)
};

// What to build: the pattern base's collection and files, and which phases to run.
struct BuildRequest {
  std::string recordDirectory;  // ends with "/"
  // Every file of the pattern base is this prefix, a dot and an extension ("/home/x/pro" gives
  // "/home/x/pro.idx", "/home/x/pro.wp2"...).
  std::string filePrefix;
  bool updateIndex = true;
  bool buildGlobal = true;
  bool buildLocal = true;
  // Each phase stops after adding this many games (below 0: no limit), to build in chunks.
  int gamesPerPhase = -1;
  GameLoader load;
  // Library phases hold changed entries in memory, at most about this many bytes of them, and
  // store them in the warehouse when the cache is full and when the phase finishes. Off, every
  // recorded move is stored at once (the plain path the held one must agree with byte for byte).
  bool writeBack = true;
  size_t cacheBytes = size_t{32} << 20;
  // Each phase's share of the cache grows to at least this many bytes a game in its library: the
  // entries of the opening grow by an occurrence with nearly every game, and once they no longer
  // fit, every eviction rewrites them whole and the next game reads them back.
  size_t cacheBytesPerGame = 256;
  // ... up to this many bytes (reached at 262,144 games), so that the build's memory stays bounded
  // on any collection; a larger cacheBytes share still stands.
  size_t cacheBytesGrowthLimit = size_t{64} << 20;
  // The reach of each warehouse file; past it a phase's warehouse goes on in further volumes
  // (WarehouseVolumes). The format's 32-bit reach; lowered only to try splitting.
  std::int64_t warehouseFileLimit = BlockStore::kOffsetReach;
  // Lines for the log (a record file that does not load, a duplicate file that could not be
  // deleted). May be empty.
  LogLine log;

  std::string file(const char* extension) const { return filePrefix + "." + extension; }
};

// The outcome of one library phase.
struct LibraryPhaseResult {
  bool ran = false;
  bool completed = false;  // every game of the index is in the done list
  int entries = 0;         // entries of the finished library (also when the phase did not run)
  int gamesAdded = 0;      // games added in this run
  int gamesCut = 0;        // of those, games whose moves could not all be recorded (a store failed)
};

struct BuildResult {
  bool ok = true;           // false when a file could not be written; error says which
  std::string error;
  bool indexUpdated = false;
  bool indexCompleted = true;
  GameIndexScanResult indexScan;  // what the index update did
  int indexCount = 0;       // games in the index
  LibraryPhaseResult global;
  LibraryPhaseResult local;

  // True when every phase that was switched on ran to its end.
  bool completed() const {
    return ok && indexCompleted && (!global.ran || global.completed) && (!local.ran || local.completed);
  }
};

// The files and the adder of one library phase.
struct LibraryPhaseFiles {
  int phase;
  const char* doneList;        // "wp2.aos.idx"
  const char* warehouse;       // "wp2.aos"
  const char* warehouseIndex;  // "wp2.aos_"
  const char* data;            // "wp2"
  const char* index;           // "wp2_"
  const char* prints;          // "wp2.aos.prints": the key prints of the warehouse's entries
  const char* keys;            // "wp2.keys": the marks of the data file's keys, for look-ups
};
extern const LibraryPhaseFiles kGlobalPhase;
extern const LibraryPhaseFiles kLocalPhase;

// "cannot VERB FILE: WHY" for a failed operation on a library's warehouse. The warehouse's own
// error names the file it failed on (a split warehouse has several) and stands as it is; an error
// that names no file is put on warehouse, the path of its first file.
std::string warehouseFailureText(std::string_view verb, const std::string& warehouse, const std::string& why);

// Builds a pattern base: updates its game-record index from the collection (and writes it), then
// adds every game not yet in a phase's done list to that phase's warehouse library and writes the
// finished library files. The run flag is read before every game: once it is 0 or below, each
// remaining phase finishes at once, so the files written always hold everything added so far
// and a later build continues where this one stopped. Runs on the calling thread.
//
// A build killed at any moment leaves every file that rooms read whole and consistent: each is
// written under a temporary name and renamed over the old one. A phase's done list marks the
// warehouse state of its last finished run; the first change a run makes to the warehouse
// removes the done list, and the finish writes it again only after the warehouse, its directory
// and its index are complete. So a later build either resumes from the last finished run or, when
// the done list is gone, starts the phase again from nothing; both end with the same libraries as
// a build that was never interrupted.
BuildResult buildPatternBase(const BuildRequest& request, BuildProgress& progress, const std::atomic<int>& runFlag);

// One library phase over an index (the global or the local one).
LibraryPhaseResult runLibraryPhase(const BuildRequest& request, const LibraryPhaseFiles& files, const GameIndex& index,
                                   BuildProgress& progress, const std::atomic<int>& runFlag, std::string& error);

}  // namespace mh
