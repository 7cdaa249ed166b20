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
  mh::cli::RecordChoice choice;
  bool utf8 = false;
};

int runConvert(const ConvertOptions& o) {
  mh::GameRecord record;
  if (!mh::cli::loadRecord(o.in, o.choice, record)) return 1;
  if (!mh::saveRecordAsSgf(record, o.out, o.utf8 ? mh::SgfEncoding::Utf8 : mh::SgfEncoding::Gb)) {
    std::fprintf(stderr, "%s\n", "导出失败!");
    return 1;
  }
  return 0;
}

mh::cli::CommandRegistrar reg{{"convert", "read an SGF or GIB record and write it as SGF", [](CLI::App& command) {
                                 auto o = std::make_shared<ConvertOptions>();
                                 command.add_option("FILE", o->in, "an SGF or GIB game record")->required();
                                 command.add_option("OUT", o->out, "the SGF file to write")->required()->type_name("OUT.sgf");
                                 mh::cli::defineRecordChoice(command, o->choice);
                                 command.add_flag("--utf8", o->utf8,
                                                  "write UTF-8 text and CA[UTF-8] (default: GB, with CA[GBK] when "
                                                  "the text is not all ASCII)");
                                 return [o](const mh::cli::CommandContext&) { return runConvert(*o); };
                               }}};

}  // namespace
