#include "patterns/wpb_list_editor.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/collection_listing.h"
#include "platform/program_paths.h"
#include "records/record_loader.h"

namespace mh {

namespace fs = std::filesystem;

namespace {

constexpr int kLanguages = 3;

std::string sectionOf(int n) { return "WPB_" + std::to_string(n); }
std::string titleKey(int language) { return "TITLE" + std::to_string(language); }

bool hasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos; }

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trimmedBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return std::string(s);
}

bool isGoodFileName(std::string_view name) {
  if (name.empty() || name.size() > WpbListEditor::kMaxFileNameBytes || name == "." || name == "..") return false;
  if (isBlank(name.front()) || isBlank(name.back())) return false;
  return std::none_of(name.begin(), name.end(), [](char c) { return c == '/' || static_cast<unsigned char>(c) < 0x20; });
}

// Whether a file name in the program's directory is one of the files of base X: X "." followed
// by a part whose first word (up to "_" or ".") is idx, wp2 or lb.
bool isFileOfBase(std::string_view entry, std::string_view base) {
  if (entry.size() <= base.size() + 1 || !entry.starts_with(base) || entry[base.size()] != '.') return false;
  const std::string_view rest = entry.substr(base.size() + 1);
  const std::string_view word = rest.substr(0, rest.find_first_of("._"));
  return word == "idx" || word == "wp2" || word == "lb";
}

}  // namespace

bool holdsRecordFiles(const std::string& directory) {
  for (const std::string& dir : listCollectionDirectories(withTrailingSlash(directory))) {
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code typeError;
      if (isRecordFileName(it->path().filename().string()) && it->is_regular_file(typeError)) return true;
    }
  }
  return false;
}

WpbListEditor::WpbListEditor(std::string programDirectory)
    : home_(withTrailingSlash(std::move(programDirectory))), iniPath_(home_ + kIniName) {}

WpbEditStatus WpbListEditor::load() {
  readable_ = document_.load(iniPath_);
  parse();
  return readable_ ? WpbEditStatus::Ok : WpbEditStatus::Unreadable;
}

void WpbListEditor::parse() {
  bases_.clear();
  const int total = document_.intValue("WPBS", "TOTAL", 0);
  for (int i = 0; i < total; ++i) {
    const std::string section = sectionOf(i);
    WpbSettings base;
    for (int l = 0; l < kLanguages; ++l)
      base.titles[static_cast<size_t>(l)] = document_.value(section, titleKey(l)).value_or("");
    base.sgfPath = document_.value(section, "SGFPATH").value_or("");
    base.fileName = document_.value(section, "FILENAME").value_or("");
    const bool titled = std::any_of(base.titles.begin(), base.titles.end(), [](const auto& t) { return !t.empty(); });
    if (!titled || base.sgfPath.empty() || base.fileName.empty()) break;
    bases_.push_back(std::move(base));
  }
  default_ = document_.intValue("WPBS", "DEFAULT", 0);
  if (default_ < 0 || default_ >= static_cast<int>(bases_.size())) default_ = 0;
}

std::string WpbListEditor::proposeFileName(std::string_view title) const {
  std::string stem;
  for (char c : title) {
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) stem += c;
    else if (c >= 'A' && c <= 'Z') stem += static_cast<char>(c - 'A' + 'a');
    else if (!stem.empty() && stem.back() != '-') stem += '-';
  }
  while (!stem.empty() && stem.back() == '-') stem.pop_back();
  if (stem.size() > 40) stem.resize(40);
  if (stem.empty()) stem = "base";
  auto used = [&](const std::string& name) {
    return std::any_of(bases_.begin(), bases_.end(), [&](const WpbSettings& b) { return b.fileName == name; }) ||
           !filesOf(name).empty();
  };
  std::string name = stem;
  for (int k = 2; used(name); ++k) name = stem + "-" + std::to_string(k);
  return name;
}

std::vector<std::string> WpbListEditor::filesOf(const std::string& fileName) const {
  std::vector<std::string> files;
  std::error_code ec;
  for (fs::directory_iterator it(home_, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (!isFileOfBase(entry, fileName)) continue;
    const bool another = std::any_of(bases_.begin(), bases_.end(), [&](const WpbSettings& b) {
      return b.fileName != fileName && isFileOfBase(entry, b.fileName) && b.fileName.size() > fileName.size();
    });
    if (!another) files.push_back(home_ + entry);
  }
  std::sort(files.begin(), files.end());
  return files;
}

WpbEditStatus WpbListEditor::add(const NewBase& base) {
  if (!readable_) return WpbEditStatus::Unreadable;
  const std::string title = trimmedBlanks(base.title);
  if (title.empty() || title.size() > kMaxValueBytes || hasLineBreakOrNul(title)) return WpbEditStatus::BadTitle;
  const std::string folder = withTrailingSlash(base.recordDirectory);
  if (!folder.starts_with('/') || folder.size() > kMaxValueBytes || hasLineBreakOrNul(folder))
    return WpbEditStatus::BadFolder;
  if (!isGoodFileName(base.fileName)) return WpbEditStatus::BadFileName;
  if (std::any_of(bases_.begin(), bases_.end(), [&](const WpbSettings& b) { return b.fileName == base.fileName; }))
    return WpbEditStatus::FileNameTaken;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return WpbEditStatus::NoSuchFolder;
  if (!holdsRecordFiles(folder)) return WpbEditStatus::NoRecords;

  const int n = static_cast<int>(bases_.size());
  const int newDefault = base.makeDefault || n == 0 ? n : default_;
  fillMissingTitles();
  document_.setValue("WPBS", "TOTAL", std::to_string(n + 1));
  document_.setValue("WPBS", "DEFAULT", std::to_string(newDefault));
  // A stale section of that number beyond the old TOTAL is replaced, not merged with.
  const std::string section = sectionOf(n);
  document_.removeSections(section);
  for (int l = 0; l < kLanguages; ++l) document_.setValue(section, titleKey(l), title);
  document_.setValue(section, "SGFPATH", folder);
  document_.setValue(section, "FILENAME", base.fileName);
  return save();
}

WpbEditStatus WpbListEditor::remove(int n, bool deleteFiles, std::vector<std::string>* notDeleted) {
  if (notDeleted) notDeleted->clear();
  if (!readable_) return WpbEditStatus::Unreadable;
  const int count = static_cast<int>(bases_.size());
  if (n < 0 || n >= count) return WpbEditStatus::NoSuchBase;
  const std::string fileName = bases_[static_cast<size_t>(n)].fileName;
  const int newDefault = default_ == n ? 0 : default_ > n ? default_ - 1 : default_;
  fillMissingTitles();
  document_.removeSections(sectionOf(n));
  // Each later base moves down one number; a shadowed duplicate of its section would otherwise
  // come to light once the first one is renamed.
  for (int k = n + 1; k < count; ++k) {
    document_.removeShadowedSections(sectionOf(k));
    (void)document_.renameSection(sectionOf(k), sectionOf(k - 1));
  }
  document_.setValue("WPBS", "TOTAL", std::to_string(count - 1));
  document_.setValue("WPBS", "DEFAULT", std::to_string(newDefault));
  if (const WpbEditStatus status = save(); status != WpbEditStatus::Ok) return status;
  if (!deleteFiles) return WpbEditStatus::Ok;
  // A base still listed under the same file name (a hand-made list) keeps the files.
  const bool shared =
      std::any_of(bases_.begin(), bases_.end(), [&](const WpbSettings& b) { return b.fileName == fileName; });
  bool allGone = true;
  for (const std::string& file : filesOf(fileName)) {
    std::error_code ec;
    if (!shared && (fs::remove(file, ec) || !fs::exists(file, ec))) continue;
    allGone = false;
    if (notDeleted) notDeleted->push_back(file);
  }
  return allGone ? WpbEditStatus::Ok : WpbEditStatus::FilesNotDeleted;
}

void WpbListEditor::fillMissingTitles() {
  for (size_t i = 0; i < bases_.size(); ++i) {
    const auto& titles = bases_[i].titles;
    const auto given = std::find_if(titles.begin(), titles.end(), [](const std::string& t) { return !t.empty(); });
    for (int l = 0; l < kLanguages; ++l)
      if (titles[static_cast<size_t>(l)].empty())
        document_.setValue(sectionOf(static_cast<int>(i)), titleKey(l), *given);
  }
}

WpbEditStatus WpbListEditor::save() {
  if (!document_.save(iniPath_)) {
    (void)load();  // back to what the file holds
    return WpbEditStatus::CannotWrite;
  }
  parse();
  return WpbEditStatus::Ok;
}

}  // namespace mh
