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

// Reads one directory's entries, sorted by name; false when it cannot be opened. The type the
// directory gives each entry serves as it is (a collection of a few hundred thousand files
// otherwise costs as many status calls before its first game is read); a link, or an entry of a
// file system that gives no type, is looked up, so a link counts as what it names.
bool readEntries(const std::string& dir, DirEntries& out) {
  std::unique_ptr<DIR, int (*)(DIR*)> handle(opendir(dir.c_str()), &closedir);
  if (!handle) return false;
  while (const dirent* e = readdir(handle.get())) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    unsigned char type = e->d_type;
    if (type == DT_UNKNOWN || type == DT_LNK) {
      struct stat st {};
      if (stat((dir + name).c_str(), &st) != 0) continue;  // dangling link or vanished entry
      type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (type == DT_DIR) out.directories.push_back(name);
    else if (type == DT_REG) out.files.push_back(name);
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
