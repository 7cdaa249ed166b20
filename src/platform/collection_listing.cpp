#include "platform/collection_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <set>
#include <utility>

namespace mh {

namespace {

struct DirEntries {
  std::vector<std::string> files;
  std::vector<std::string> directories;
};

// Reads one directory's entries, sorted by name; false when it cannot be opened.
bool readEntries(const std::string& dir, DirEntries& out) {
  std::unique_ptr<DIR, int (*)(DIR*)> handle(opendir(dir.c_str()), &closedir);
  if (!handle) return false;
  while (const dirent* e = readdir(handle.get())) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st {};
    if (stat((dir + name).c_str(), &st) != 0) continue;  // dangling link or vanished entry
    if (S_ISDIR(st.st_mode)) out.directories.push_back(name);
    else if (S_ISREG(st.st_mode)) out.files.push_back(name);
  }
  std::sort(out.files.begin(), out.files.end());
  std::sort(out.directories.begin(), out.directories.end());
  return true;
}

// Walks the tree iteratively (a deep tree cannot overflow the stack); visit gets each directory
// in pre-order with its entries.
template <typename Visit>
void walk(const std::string& root, Visit visit) {
  std::set<std::pair<dev_t, ino_t>> seen;
  std::vector<std::string> pending{root};
  while (!pending.empty()) {
    const std::string dir = std::move(pending.back());
    pending.pop_back();
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
    if (!seen.insert({st.st_dev, st.st_ino}).second) continue;
    DirEntries entries;
    if (!readEntries(dir, entries)) continue;
    visit(dir, entries);
    for (auto it = entries.directories.rbegin(); it != entries.directories.rend(); ++it)
      pending.push_back(dir + *it + "/");
  }
}

}  // namespace

std::vector<std::string> listCollectionFiles(const std::string& directory) {
  std::vector<std::string> files;
  walk(directory, [&](const std::string& dir, const DirEntries& entries) {
    for (const auto& f : entries.files) files.push_back(dir + f);
  });
  return files;
}

std::vector<std::string> listCollectionDirectories(const std::string& directory) {
  std::vector<std::string> dirs;
  walk(directory, [&](const std::string& dir, const DirEntries&) { dirs.push_back(dir); });
  return dirs;
}

}  // namespace mh
