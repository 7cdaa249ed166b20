#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli_command.h"
#include "engine/engine_move_chooser.h"
#include "model/random_player.h"
#include "pattern_base_options.h"
#include "patterns/assist_libraries.h"
#include "patterns/wpb_list.h"
#include "platform/find_program.h"
#include "process/gnu_go_player.h"
#include "process/headless_match.h"
#include "records/sgf_conversion.h"
#include "records/sgf_file.h"

namespace {

struct PlayOptions {
  std::string black = "gnugo";
  std::string white = "gnugo";
  int level = mh::GnuGoPlayer::kDefaultLevel;
  int handicap = 0;
  int maxMoves = 0;
  bool assist = false;
  mh::cli::PatternBaseOptions patternBase;
  std::optional<int> seed;
  std::string program = mh::GnuGoPlayer::kDefaultProgram;
  std::string out;
};

int runPlay(const PlayOptions& options, const mh::cli::CommandContext& context) {
  const mh::LogLine log = mh::LogFile::writer(context.log);

  const bool anyGnuGo = options.black == "gnugo" || options.white == "gnugo";
  if (anyGnuGo && ::access(mh::findProgram(options.program).c_str(), X_OK) != 0) {
    std::fprintf(stderr, "play: GNU Go ('%s') is neither a program nor on PATH or in /usr/games\n",
                 options.program.c_str());
    return 1;
  }
  // The assist reads the libraries of the chosen pattern base (the default one without --base).
  mh::WpbList patternBases;
  mh::AssistLibraries libraries;
  if (options.assist) {
    mh::Wpb* base = options.patternBase.select("play", patternBases);
    if (!base) return 1;
    base->openForHints();
    if (base->globalLibrary().entryCount() == 0 && base->localLibrary().entryCount() == 0)
      std::fprintf(stderr, "play: the pattern base '%s' has no libraries yet (see moonhaven-cli build)\n",
                   base->fileName().c_str());
    libraries = {&base->globalLibrary(), &base->localLibrary()};
  }

  // The engine's library moves come from the same choice of pattern base: the default one, or
  // the one --base names; a home without pattern bases leaves the engine without library moves.
  mh::EngineLibraries engineLibraries;
  const bool anyEngine = options.black == "engine" || options.white == "engine";
  if (anyEngine && !options.assist) {
    if (mh::Wpb* base = options.patternBase.selectIfAny("play", patternBases)) {
      base->openForHints();
      libraries = {&base->globalLibrary(), &base->localLibrary()};
    } else if (options.patternBase.base) {
      return 1;
    }
  }
  engineLibraries.global = libraries.global;
  engineLibraries.local = libraries.local;

  const auto seed = static_cast<std::uint32_t>(
      options.seed ? *options.seed : std::chrono::system_clock::now().time_since_epoch().count());
  mh::GameSettings settings;
  settings.handicap = options.handicap;
  auto makePlayer = [&](const std::string& kind, std::uint32_t playerSeed, std::string& name, int& type)
      -> std::shared_ptr<mh::Player> {
    if (kind == "random") {
      name = "random";
      return std::make_shared<mh::RandomPlayer>(playerSeed);
    }
    if (kind == "engine") {
      name = mh::EngineMatchPlayer::kName;
      return std::make_shared<mh::EngineMatchPlayer>(engineLibraries, log, playerSeed);
    }
    auto player = std::make_shared<mh::GnuGoPlayer>(log);
    player->setProgramPath(options.program);
    player->setLevel(options.level);
    player->setSeed(playerSeed);
    if (options.assist) player->setAssist(true, libraries);
    name = player->name();
    type = mh::GameSettings::GnuGo;
    return player;
  };
  auto black = makePlayer(options.black, seed, settings.blackName, settings.blackType);
  auto white = makePlayer(options.white, seed + 1, settings.whiteName, settings.whiteType);

  const mh::HeadlessMatchResult result =
      mh::runHeadlessMatch(settings, black, white, options.maxMoves, [](const mh::PlayedMove& move) {
        std::printf("%s\n", mh::playedMoveLine(move).c_str());
        std::fflush(stdout);
      }, log);
  black.reset();
  white.reset();

  // No result is written: the game was not counted, and a winner code of 0 would read as a draw.
  mh::SgfNode root;
  const mh::GameInfo& info = result.record.info();
  if (!mh::roomToSgf(result.record, info.blackName(), info.whiteName(), std::nullopt, root) ||
      !mh::SgfFile::write(options.out, root)) {
    std::fprintf(stderr, "play: cannot write %s\n", options.out.c_str());
    return 1;
  }
  std::fprintf(stderr, "play: %s after %d moves; the game is in %s\n",
               result.limitReached ? "stopped" : "game over", result.moves, options.out.c_str());
  return 0;
}

void definePlay(CLI::App& command, PlayOptions& o) {
  const auto kinds = CLI::IsMember({"engine", "gnugo", "random"});
  command.add_option("--black", o.black, "the black player: engine, gnugo or random (default gnugo)")->check(kinds);
  command.add_option("--white", o.white, "the white player: engine, gnugo or random (default gnugo)")->check(kinds);
  command.add_option("--level", o.level, "GNU Go's level, 1 to 10 (default 10)")->type_name("L");
  command.add_option("--handicap", o.handicap, "Black's handicap stones")->type_name("H");
  command.add_option("--max-moves", o.maxMoves, "stop after N moves and passes (default: play to the end)")
      ->type_name("N");
  command.add_flag("--assist", o.assist, "let the pattern libraries of a pattern base answer before GNU Go");
  o.patternBase.define(command);
  command.add_option("--seed", o.seed, "seed the players' random choices")->type_name("S");
  command.add_option("--gnugo", o.program, "the GTP program to run (default gnugo)")->type_name("PATH");
  command.add_option("--out", o.out, "the SGF file to write the game to")->required()->type_name("FILE.sgf");
}

mh::cli::CommandRegistrar reg{
    {"play", "play a game between GNU Go, the engine and a random player and write it as SGF", [](CLI::App& command) {
       auto o = std::make_shared<PlayOptions>();
       definePlay(command, *o);
       return [o](const mh::cli::CommandContext& context) { return runPlay(*o, context); };
     }}};

}  // namespace
