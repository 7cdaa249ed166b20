#include "patterns/wpb_list.h"

#include "platform/ascii_text.h"
#include "platform/ini_file.h"
#include "platform/program_paths.h"

namespace mh {

namespace {

constexpr std::string_view kSgfsTag = "<sgfs>";

}  // namespace

std::string recordDirectoryFor(std::string_view sgfPath, const std::string& programDirectory) {
  std::string dir;
  if (sgfPath.size() >= kSgfsTag.size() && ascii::toLower(std::string(sgfPath.substr(0, kSgfsTag.size()))) == kSgfsTag)
    dir = parentDirectory(programDirectory) + "sgfs" + std::string(sgfPath.substr(kSgfsTag.size()));
  else
    dir = std::string(sgfPath);
  if (!dir.empty() && dir.front() != '/') dir = programDirectory + dir;
  return withTrailingSlash(dir);
}

void WpbList::read(const std::string& iniPath, const std::string& programDirectory, int language) {
  iniPath_ = iniPath;
  home_ = programDirectory;
  language_ = language;
  bases_.clear();
  const IniFile ini(iniPath);
  default_ = ini.readInt("WPBS", "DEFAULT", 0);
  const int total = ini.readInt("WPBS", "TOTAL", 0);
  const std::string titleKey = "TITLE" + std::to_string(language);
  for (int i = 0; i < total; ++i) {
    const std::string section = "WPB_" + std::to_string(i);
    std::string title = ini.readString(section, titleKey, "");
    const std::string path = ini.readString(section, "SGFPATH", "");
    std::string fileName = ini.readString(section, "FILENAME", "");
    if (title.empty() || path.empty() || fileName.empty()) break;
    bases_.push_back(std::make_unique<Wpb>(std::move(title), recordDirectoryFor(path, programDirectory),
                                           std::move(fileName), programDirectory));
  }
  if (default_ < 0 || default_ >= count()) default_ = 0;
}

std::vector<int> WpbList::reread() {
  std::vector<std::unique_ptr<Wpb>> before = std::move(bases_);
  read(iniPath_, home_, language_);
  std::vector<int> numbers(before.size(), -1);
  for (size_t now = 0; now < bases_.size(); ++now) {
    const Wpb& fresh = *bases_[now];
    for (size_t old = 0; old < before.size(); ++old) {
      const Wpb* kept = before[old].get();
      if (kept && kept->fileName() == fresh.fileName() && kept->title() == fresh.title() &&
          kept->recordDirectory() == fresh.recordDirectory()) {
        bases_[now] = std::move(before[old]);
        numbers[old] = static_cast<int>(now);
        break;
      }
    }
  }
  return numbers;
}

Wpb* WpbList::at(int n) { return n >= 0 && n < count() ? bases_[static_cast<size_t>(n)].get() : nullptr; }

const Wpb* WpbList::at(int n) const {
  return n >= 0 && n < count() ? bases_[static_cast<size_t>(n)].get() : nullptr;
}

bool WpbList::select(int n) {
  Wpb* wpb = at(n);
  if (!wpb) return false;
  if (!wpb->isOpen() && !wpb->isBuilding()) wpb->openForHints();
  return true;
}

int updateCustomRecordLibrary(WpbList& list, const GameIndexScan& scan) {
  Wpb* custom = list.at(1);
  if (list.count() < 2 || !custom || custom->isBuilding()) return -1;
  custom->close();
  return rebuildGameIndexFile(custom->recordDirectory(), custom->filePath("idx"), scan);
}

int rebuildGameIndexFile(const std::string& directory, const std::string& path, const GameIndexScan& scan) {
  GameIndex index;
  if (!index.build(directory, scan).completed) return -1;
  return index.write(path) ? index.count() : -1;
}

}  // namespace mh
