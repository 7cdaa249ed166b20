#pragma once

#include <string>

#include "patterns/pattern_base_build.h"

namespace mh::test {

// Builds a pattern base from real games: copies the first `limit` record files (in name order) of
// one corpus folder into dir/records/ (the build may delete duplicates, and the corpus stays as it
// is), then builds the index and both libraries with the file prefix dir/base. The request that
// was built is returned through request, so callers can name its files.
BuildResult buildCorpusPatternBase(const std::string& corpusFolder, size_t limit, const std::string& dir,
                                   BuildRequest& request);

// Writes dir/WPBs.ini naming one pattern base, the one buildCorpusPatternBase builds in dir, with
// the title in all three languages, so that dir serves as a program's directory.
void writeCorpusPatternBaseList(const std::string& dir, const std::string& title);

// A program's directory holding WPBs.ini and one pattern base built from the first 300 games of
// the corpus's tygem-gb/25/ folder: built once per test program, removed at its exit.
const std::string& sharedTygemProgramDirectory();

}  // namespace mh::test
