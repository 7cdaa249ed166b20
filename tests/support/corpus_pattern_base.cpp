#include "support/corpus_pattern_base.h"

#include <algorithm>
#include <fstream>
#include <atomic>
#include <filesystem>
#include <vector>

#include "patterns/file_game_loader.h"
#include "support/scratch_dir.h"

namespace mh::test {

BuildResult buildCorpusPatternBase(const std::string& corpusFolder, size_t limit, const std::string& dir,
                                   BuildRequest& request) {
  namespace fs = std::filesystem;
  const std::string records = dir + "/records/";
  fs::create_directories(records);
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(corpusFolder))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  files.resize(std::min(files.size(), limit));
  for (const auto& f : files) {
    fs::copy_file(f, records + f.filename().string());
    fs::permissions(records + f.filename().string(), fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::add);
  }
  request = BuildRequest{};
  request.recordDirectory = records;
  request.filePrefix = dir + "/base";
  request.load = fileGameLoader();
  BuildProgress progress;
  std::atomic<int> run{1};
  return buildPatternBase(request, progress, run);
}

void writeCorpusPatternBaseList(const std::string& dir, const std::string& title) {
  std::ofstream(dir + "/WPBs.ini") << "[WPBS]\r\nTOTAL=1\r\nDEFAULT=0\r\n[WPB_0]\r\nTITLE0=" << title
                                   << "\r\nTITLE1=" << title << "\r\nTITLE2=" << title << "\r\nSGFPATH=" << dir
                                   << "/records/\r\nFILENAME=base\r\n";
}

const std::string& sharedTygemProgramDirectory() {
  static const ScratchDir dir;
  static const std::string path = [] {
    BuildRequest request;
    (void)buildCorpusPatternBase(std::string(MOONHAVEN_CORPUS) + "/tygem-gb/25", 300, dir.path(), request);
    writeCorpusPatternBaseList(dir.path(), "tygem");
    return dir.path() + "/";
  }();
  return path;
}

}  // namespace mh::test
