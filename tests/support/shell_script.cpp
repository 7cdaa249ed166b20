#include "support/shell_script.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

namespace mh::test {

std::string writeShellScript(const std::string& path, const std::string& body) {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "#!/bin/sh\n" << body;
    EXPECT_TRUE(out.good()) << "cannot write " << path;
  }
  EXPECT_EQ(::chmod(path.c_str(), 0755), 0) << path;
  return path;
}

GatedProgram::GatedProgram(const ScratchDir& dir, const std::string& program)
    : gate_(dir.file("gate")),
      path_(writeShellScript(dir.file("gated-program"), "while [ ! -e '" + gate_ + "' ]; do sleep 0.02; done\nexec '" +
                                                            program + "' \"$@\"\n")) {}

void GatedProgram::open() const { std::ofstream(gate_).put('\n'); }

}  // namespace mh::test
