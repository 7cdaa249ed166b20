#include "shell/recent_files.h"

#include <algorithm>
#include <filesystem>

namespace mh {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Whether the settings file can hold path as a value and give it back unchanged.
bool storable(std::string_view path) {
  if (path.size() < 2 || path.front() != '/') return false;
  if (isBlank(path.back())) return false;
  return path.find_first_of("\r\n") == std::string_view::npos && path.find('\0') == std::string_view::npos;
}

std::string keyOf(size_t i) { return "File" + std::to_string(i + 1); }

std::string baseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string doubledAmpersands(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += '&';
    out += c;
  }
  return out;
}

}  // namespace

bool RecentFiles::add(std::string_view path) {
  if (!storable(path)) return false;
  const std::string normal = std::filesystem::path(path).lexically_normal().string();
  if (!storable(normal) || normal.back() == '/') return false;
  (void)remove(normal);
  files_.insert(files_.begin(), normal);
  if (files_.size() > kMaxFiles) files_.resize(kMaxFiles);
  return true;
}

bool RecentFiles::remove(std::string_view path) {
  const auto it = std::find(files_.begin(), files_.end(), path);
  if (it == files_.end()) return false;
  files_.erase(it);
  return true;
}

void RecentFiles::read(const IniDocument& settings) {
  files_.clear();
  // Added oldest first, so that the first key ends on top and duplicates keep their first place.
  std::vector<std::string> listed;
  for (size_t i = 0; i < kMaxFiles; ++i)
    if (auto value = settings.value(kSection, keyOf(i))) listed.push_back(*value);
  for (auto it = listed.rbegin(); it != listed.rend(); ++it) (void)add(*it);
}

void RecentFiles::write(IniDocument& settings) const {
  settings.removeSections(kSection);
  for (size_t i = 0; i < files_.size(); ++i) settings.setValue(kSection, keyOf(i), files_[i]);
}

void RecentFiles::load(const std::string& settingsPath) {
  IniDocument settings;
  if (settings.load(settingsPath)) read(settings);
  else files_.clear();
}

bool RecentFiles::save(const std::string& settingsPath) const {
  IniDocument settings;
  if (!settings.load(settingsPath)) return false;
  write(settings);
  return settings.save(settingsPath);
}

std::vector<std::string> RecentFiles::menuLabels() const {
  std::vector<std::string> labels;
  for (size_t i = 0; i < files_.size(); ++i) {
    const std::string name = baseName(files_[i]);
    const bool shared = std::count_if(files_.begin(), files_.end(),
                                      [&](const std::string& f) { return baseName(f) == name; }) > 1;
    std::string label = "&" + std::to_string(i + 1) + " " + doubledAmpersands(name);
    if (shared) label += "  (" + doubledAmpersands(folderOf(files_[i])) + ")";
    labels.push_back(label);
  }
  return labels;
}

}  // namespace mh
