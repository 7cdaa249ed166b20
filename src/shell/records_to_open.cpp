#include "shell/records_to_open.h"

#include <filesystem>

namespace mh {

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The local path of a "file://" URI (an empty or "localhost" host only), "%XX" decoded; empty
// when the URI names another host or decodes to a NUL.
std::string localPathOfUri(std::string_view uri) {
  std::string_view rest = uri.substr(7);
  const size_t slash = rest.find('/');
  if (slash == std::string_view::npos) return {};
  const std::string_view host = rest.substr(0, slash);
  if (!host.empty() && host != "localhost") return {};
  rest = rest.substr(slash);
  std::string path;
  for (size_t i = 0; i < rest.size(); ++i) {
    int hi = 0, lo = 0;
    if (rest[i] == '%' && i + 2 < rest.size() && (hi = hexDigit(rest[i + 1])) >= 0 &&
        (lo = hexDigit(rest[i + 2])) >= 0) {
      const char c = static_cast<char>(hi * 16 + lo);
      if (c == '\0') return {};
      path += c;
      i += 2;
    } else {
      path += rest[i];
    }
  }
  return path;
}

}  // namespace

RecordsToOpen RecordsToOpen::plan(const std::vector<std::string>& files, size_t roomsOpen, size_t maxRooms) {
  RecordsToOpen p;
  size_t next = 0;
  if (roomsOpen > 0 && next < files.size()) p.intoActiveRoom.push_back(files[next++]);
  for (size_t rooms = roomsOpen; next < files.size() && rooms < maxRooms; ++rooms)
    p.intoNewRooms.push_back(files[next++]);
  p.notOpened.assign(files.begin() + static_cast<std::ptrdiff_t>(next), files.end());
  return p;
}

std::vector<std::string> recordFileArguments(const std::vector<std::string>& arguments,
                                             std::string_view currentDirectory,
                                             std::vector<std::string>* skipped) {
  std::vector<std::string> files;
  bool optionsEnded = false;
  for (const std::string& arg : arguments) {
    if (arg.empty()) continue;
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && arg.front() == '-') {
      if (skipped) skipped->push_back(arg);
      continue;
    }
    std::string path = arg.starts_with("file://") ? localPathOfUri(arg) : arg;
    if (path.empty()) {
      if (skipped) skipped->push_back(arg);
      continue;
    }
    std::filesystem::path p(path);
    if (p.is_relative()) p = std::filesystem::path(currentDirectory) / p;
    files.push_back(p.lexically_normal().string());
  }
  return files;
}

}  // namespace mh
