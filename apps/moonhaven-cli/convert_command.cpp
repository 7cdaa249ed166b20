#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli_command.h"
#include "load_record.h"
#include "records/sgf_conversion.h"

namespace {

struct ConvertOptions {
  std::string in, out;
  bool big5 = false;
};

int runConvert(const ConvertOptions& o) {
  mh::GameRecord record;
  if (!mh::cli::loadRecord(o.in, o.big5, record)) return 1;
  if (!mh::saveRecordAsSgf(record, o.out)) {
    std::fprintf(stderr, "%s\n", "导出失败!");
    return 1;
  }
  return 0;
}

mh::cli::CommandRegistrar reg{{"convert", "read an SGF or GIB record and write it as SGF", [](CLI::App& command) {
                                 auto o = std::make_shared<ConvertOptions>();
                                 command.add_option("FILE", o->in, "an SGF or GIB game record")->required();
                                 command.add_option("OUT", o->out, "the SGF file to write")->required()->type_name("OUT.sgf");
                                 command.add_flag("--big5", o->big5, "read the record's text as BIG5");
                                 return [o](const mh::cli::CommandContext&) { return runConvert(*o); };
                               }}};

}  // namespace
