#include "platform/program_paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace mh {

std::string withTrailingSlash(std::string directory) {
  if (!directory.empty() && directory.back() != '/') directory += '/';
  return directory;
}

std::string parentDirectory(const std::string& directory) {
  std::string d = directory;
  while (d.size() > 1 && d.back() == '/') d.pop_back();
  if (d == "/") return d;
  const size_t slash = d.find_last_of('/');
  if (slash == std::string::npos) return {};
  return d.substr(0, slash + 1);
}

std::string programDirectory() {
  if (const char* home = std::getenv("MOONHAVEN_HOME"); home && *home) return withTrailingSlash(home);
  return executableDirectory();
}

std::string boardModuleDirectory(const std::string& executableFolder) {
  if (executableFolder.empty()) return {};
  const std::string folder = withTrailingSlash(executableFolder);
  for (const std::string& candidate : {folder + "board/", folder + "../share/moonhaven/board/"}) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate + "20002.png", ec)) return candidate;
  }
  return {};
}

std::string executableDirectory() {
  std::vector<char> buffer(4096);
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<size_t>(n) >= buffer.size()) return {};
  const std::string exe(buffer.data(), static_cast<size_t>(n));
  const size_t slash = exe.find_last_of('/');
  return slash == std::string::npos ? std::string{} : exe.substr(0, slash + 1);
}

}  // namespace mh
