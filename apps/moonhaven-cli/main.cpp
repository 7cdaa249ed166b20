#include <memory>
#include <string>
#include <vector>

#include "cli_command.h"
#include "platform/program_paths.h"

int main(int argc, char** argv) {
  const mh::cli::CommandContext context{std::make_shared<mh::LogFile>(mh::programDirectory() + mh::LogFile::kProgramLogName)};
  return mh::cli::runCommandLine(std::vector<std::string>(argv + 1, argv + argc), context);
}
