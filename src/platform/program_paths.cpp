#include "platform/program_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <vector>

#include "platform/file_bytes.h"
#include "platform/replacing_file.h"

namespace mh {

namespace {

constexpr const char* kInstalledData = "../share/moonhaven/";
constexpr const char* kAppFolder = "moonhaven/";
// A shipped file copied on first use is a small text file; anything larger is not one.
constexpr size_t kMaxCopiedBytes = 16u << 20;

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool isDirectory(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

bool isInstalled(const std::string& executableFolder) {
  return !executableFolder.empty() && isDirectory(withTrailingSlash(executableFolder) + kInstalledData);
}

std::string userHome() {
  if (std::string home = environment("HOME"); !home.empty()) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
    return found->pw_dir;
  return {};
}

}  // namespace

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

std::string executableDirectory() {
  std::vector<char> buffer(4096);
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<size_t>(n) >= buffer.size()) return {};
  const std::string exe(buffer.data(), static_cast<size_t>(n));
  const size_t slash = exe.find_last_of('/');
  return slash == std::string::npos ? std::string{} : exe.substr(0, slash + 1);
}

std::string userDataDirectoryFor(const ProgramLocation& location) {
  if (location.xdgDataHome.starts_with('/')) return withTrailingSlash(location.xdgDataHome) + kAppFolder;
  if (location.userHome.empty()) return {};
  return withTrailingSlash(location.userHome) + ".local/share/" + kAppFolder;
}

std::string programDirectoryFor(const ProgramLocation& location) {
  if (!location.moonhavenHome.empty()) return withTrailingSlash(location.moonhavenHome);
  if (!location.executableFolder.empty() && location.executableFolderWritable && !isInstalled(location.executableFolder))
    return withTrailingSlash(location.executableFolder);
  return userDataDirectoryFor(location);
}

std::string dataDirectoryFor(const std::string& executableFolder) {
  if (executableFolder.empty()) return {};
  const std::string folder = withTrailingSlash(executableFolder);
  if (!isInstalled(folder)) return folder;
  // The installed data folder, named without the "bin/.." detour.
  std::error_code ec;
  const std::filesystem::path data = std::filesystem::weakly_canonical(folder + kInstalledData, ec);
  return ec ? folder + kInstalledData : withTrailingSlash(data.string());
}

std::string boardModuleDirectory(const std::string& executableFolder) {
  if (executableFolder.empty()) return {};
  const std::string board = dataDirectoryFor(executableFolder) + "board/";
  std::error_code ec;
  return std::filesystem::is_regular_file(board + "20002.png", ec) ? board : std::string{};
}

std::string programDirectory() {
  ProgramLocation location;
  location.moonhavenHome = environment("MOONHAVEN_HOME");
  if (location.moonhavenHome.empty()) {
    location.executableFolder = executableDirectory();
    location.executableFolderWritable =
        !location.executableFolder.empty() && ::access(location.executableFolder.c_str(), W_OK) == 0;
    location.xdgDataHome = environment("XDG_DATA_HOME");
    location.userHome = userHome();
  }
  const std::string dir = programDirectoryFor(location);
  if (location.moonhavenHome.empty() && !dir.empty() && dir != withTrailingSlash(location.executableFolder) &&
      !isDirectory(dir)) {
    // The user's data folder on first start; a failure shows later, when a file cannot be
    // written there.
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
  }
  return dir;
}

std::string dataDirectory() { return dataDirectoryFor(executableDirectory()); }

std::string copiedOnFirstUse(const std::string& programDir, const std::string& dataDir, const std::string& name) {
  const std::string target = withTrailingSlash(programDir) + name;
  const std::string shipped = withTrailingSlash(dataDir) + name;
  std::error_code ec;
  if (dataDir.empty() || std::filesystem::exists(target, ec)) return target;
  std::string bytes;
  if (readFileBytes(shipped, kMaxCopiedBytes, bytes)) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    (void)replaceFile(target, std::span<const std::uint8_t>(data, bytes.size()));
  }
  return target;
}

}  // namespace mh
