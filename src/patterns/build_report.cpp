#include "patterns/build_report.h"

#include <algorithm>

namespace mh {

std::string buildSummary(const BuildResult& result) {
  auto phaseLine = [](const char* name, const LibraryPhaseResult& phase) {
    return std::string(name) + " " + std::to_string(phase.entries) + " entries, " +
           std::to_string(phase.gamesAdded) + " games added\n";
  };
  return "index " + std::to_string(result.indexCount) + "\n" + phaseLine("global", result.global) +
         phaseLine("local", result.local);
}

std::string buildProgressLine(int phase, int total, int current, int barWidth) {
  static const char* const kNames[] = {"index", "global", "local"};
  const char* name = phase >= 0 && phase <= 2 ? kNames[phase] : "?";
  std::string line;
  if (barWidth > 0) {
    const long long filled =
        total > 0 ? std::clamp<long long>(static_cast<long long>(current) * barWidth / total, 0, barWidth) : 0;
    line = "[" + std::string(static_cast<size_t>(filled), '#') + std::string(static_cast<size_t>(barWidth - filled), '.') +
           "] ";
  }
  return line + name + " " + std::to_string(current) + "/" + std::to_string(total);
}

}  // namespace mh
