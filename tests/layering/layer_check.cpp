#include "layering/layer_check.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <regex>
#include <sstream>

namespace mh::layering {

namespace fs = std::filesystem;

namespace {

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> words(std::string_view s) {
  std::vector<std::string> out;
  std::istringstream in{std::string(s)};
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

bool isSourceFile(const fs::path& p) {
  static const std::set<std::string> kExtensions{".h", ".hpp", ".cpp", ".cc", ".cxx", ".inl", ".ipp"};
  return kExtensions.count(p.extension().string()) != 0;
}

// The path of p below root with "/" separators, or empty when p is not below root.
std::string below(const fs::path& root, const fs::path& p) {
  const fs::path rel = p.lexically_normal().lexically_relative(root);
  if (rel.empty() || *rel.begin() == "..") return {};
  return rel.generic_string();
}

class TreeChecker {
 public:
  TreeChecker(const fs::path& root, const LayerTable& table) : root_(root.lexically_normal()), table_(table) {}

  void checkFile(const fs::path& file) {
    const std::string path = below(root_, file);
    const std::string layer = layerOfPath(path);
    if (layer.empty() || !table_.has(layer)) {
      add(path, 1, "this folder has no layer in the layer table" + (layer.empty() ? "" : " ('" + layer + "')"));
      return;
    }
    std::ifstream in(file);
    static const std::regex kInclude(R"(^\s*#\s*include\s*([<"])([^">]*)[">])");
    int number = 0;
    for (std::string line; std::getline(in, line);) {
      ++number;
      std::smatch m;
      if (!std::regex_search(line, m, kInclude)) continue;
      const std::string header = m[2];
      const std::string target = m[1] == "<" ? (isQtHeader(header) ? "Qt" : "") : quotedLayer(file, header);
      if (target.empty() || table_.mayInclude(layer, target)) continue;
      // Painting needs Qt Gui only; the build, which links such a layer with Qt Gui alone, keeps
      // the widgets out of it.
      if (target == "Qt" && table_.mayInclude(layer, "QtGui")) continue;
      if (target == "Qt")
        add(path, number, layer + " may not include Qt (<" + header + ">): only the layers built on Qt may");
      else if (!table_.has(target))
        add(path, number, "\"" + header + "\" is in no layer of the layer table ('" + target + "')");
      else
        add(path, number, layer + " may not include " + target + " (\"" + header + "\"): " + target +
                              " is not below " + layer + " in the layer order");
    }
  }

  std::vector<Violation> take() { return std::move(found_); }

 private:
  // The layer of a quoted include: the file it finds beside the includer or below src/, else the
  // subsystem its first folder names; empty for a header outside the layers (a generated one).
  std::string quotedLayer(const fs::path& file, const std::string& header) const {
    for (const fs::path& candidate : {file.parent_path() / header, root_ / "src" / header}) {
      if (fs::is_regular_file(candidate)) {
        const std::string path = below(root_, candidate);
        const std::string layer = layerOfPath(path);
        return layer.empty() ? path : layer;
      }
    }
    const std::string layer = layerOfPath("src/" + header);
    return table_.has(layer) ? layer : "";
  }

  void add(const std::string& file, int line, std::string reason) {
    found_.push_back({file, line, std::move(reason)});
  }

  fs::path root_;
  const LayerTable& table_;
  std::vector<Violation> found_;
};

}  // namespace

std::string Violation::text() const { return file + ":" + std::to_string(line) + ": " + reason; }

LayerTable LayerTable::parse(std::string_view text, std::vector<Violation>& errors) {
  LayerTable table;
  int number = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = trim(text.substr(start, end - start));
    start = end + 1;
    ++number;
    if (line.empty() || line[0] == '#') continue;
    const size_t colon = line.find(':');
    const std::string name(trim(line.substr(0, std::min(colon, line.size()))));
    if (colon == std::string_view::npos || name.empty()) {
      errors.push_back({"layer table", number, "expected \"<layer>: <layers below>\", not \"" + std::string(line) + "\""});
      continue;
    }
    if (table.has(name)) {
      errors.push_back({"layer table", number, name + " is listed twice"});
      continue;
    }
    std::set<std::string> reach{name};
    for (const std::string& lower : words(line.substr(colon + 1))) {
      if (!table.has(lower)) {
        errors.push_back({"layer table", number, name + " builds on " + lower + ", which is not listed above it"});
        continue;
      }
      const auto& theirs = table.reach_.at(lower);
      reach.insert(theirs.begin(), theirs.end());
    }
    table.reach_.emplace(name, std::move(reach));
  }
  return table;
}

bool LayerTable::mayInclude(const std::string& from, const std::string& to) const {
  const auto it = reach_.find(from);
  return it != reach_.end() && it->second.count(to) != 0;
}

std::string layerOfPath(std::string_view relativePath) {
  std::vector<std::string> parts;
  for (const auto& part : fs::path(relativePath).lexically_normal()) parts.push_back(part.string());
  if (parts.size() < 3 || (parts[0] != "src" && parts[0] != "apps")) return {};
  if (parts[0] == "apps") return "apps/" + parts[1];
  return parts.size() >= 4 ? parts[1] + "/" + parts[2] : parts[1];
}

bool isQtHeader(std::string_view header) {
  if (header.starts_with("Qt")) return true;
  return header.size() >= 2 && header[0] == 'Q' && std::isupper(static_cast<unsigned char>(header[1])) &&
         header.find('.') == std::string_view::npos;
}

std::vector<Violation> checkTree(const fs::path& root, const LayerTable& table) {
  std::vector<fs::path> files;
  for (const char* top : {"src", "apps"}) {
    if (!fs::is_directory(root / top)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / top))
      if (entry.is_regular_file() && isSourceFile(entry.path())) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  TreeChecker checker(root, table);
  for (const fs::path& f : files) checker.checkFile(f);
  return checker.take();
}

}  // namespace mh::layering
