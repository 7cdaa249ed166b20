#include "platform/find_program.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace mh {

namespace {

bool isExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string inDirectory(std::string_view directory, std::string_view name) {
  if (directory.empty()) directory = ".";
  std::string path(directory);
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

}  // namespace

std::string findProgram(std::string_view name, std::string_view searchPath,
                        const std::vector<std::string>& extraDirectories) {
  if (name.empty() || name.find('/') != std::string_view::npos) return std::string(name);
  while (!searchPath.empty()) {
    const size_t colon = searchPath.find(':');
    const std::string candidate = inDirectory(searchPath.substr(0, colon), name);
    if (isExecutableFile(candidate)) return candidate;
    if (colon == std::string_view::npos) break;
    searchPath.remove_prefix(colon + 1);
    if (searchPath.empty()) {  // a trailing ":" names the current directory
      const std::string here = inDirectory("", name);
      if (isExecutableFile(here)) return here;
    }
  }
  for (const std::string& directory : extraDirectories) {
    if (directory.empty()) continue;
    const std::string candidate = inDirectory(directory, name);
    if (isExecutableFile(candidate)) return candidate;
  }
  return std::string(name);
}

std::string findProgram(std::string_view name) {
  const char* path = std::getenv("PATH");
  return findProgram(name, path ? path : "", {"/usr/games"});
}

}  // namespace mh
