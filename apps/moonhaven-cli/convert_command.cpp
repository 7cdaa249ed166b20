#include <cstdio>
#include <string>
#include <vector>

#include "cli_command.h"
#include "load_record.h"
#include "records/sgf_conversion.h"

namespace {

int runConvert(const std::vector<std::string>& args, const mh::cli::CommandContext& /*context*/) {
  std::vector<std::string> paths;
  bool big5 = false;
  for (const std::string& a : args) {
    if (a == "--big5") big5 = true;
    else paths.push_back(a);
  }
  if (paths.size() != 2) {
    std::fprintf(stderr, "usage: moonhaven-cli convert FILE OUT.sgf [--big5]\n");
    return 1;
  }
  mh::GameRecord record;
  if (!mh::cli::loadRecord(paths[0], big5, record)) return 1;
  if (!mh::saveRecordAsSgf(record, paths[1])) {
    std::fprintf(stderr, "%s\n", "导出失败!");
    return 1;
  }
  return 0;
}

mh::cli::CommandRegistrar reg{{"convert", "convert FILE OUT.sgf [--big5]",
                               "read an SGF or GIB record and write it as SGF", runConvert}};

}  // namespace
