#pragma once

#include <string>

#include "support/scratch_dir.h"

namespace mh::test {

// Writes an executable /bin/sh script (the "#!/bin/sh" line is added) and returns its path;
// fails the running test when it cannot.
std::string writeShellScript(const std::string& path, const std::string& body);

// A program that cannot start until the test lets it: a wrapper that waits for a gate file and
// then runs the real program with the same arguments. What is written to it meanwhile waits in
// its pipe, so a test can act while the program surely has not answered yet. One per folder.
class GatedProgram {
 public:
  GatedProgram(const ScratchDir& dir, const std::string& program);
  const std::string& path() const { return path_; }
  void open() const;

 private:
  std::string gate_;
  std::string path_;
};

}  // namespace mh::test
