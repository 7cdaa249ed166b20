#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace mh::layering {

// An include against the layer order, or a fault of the table itself.
struct Violation {
  std::string file;  // relative to the checked root ("src/model/board.h"), or "layer table"
  int line = 0;      // from 1
  std::string reason;

  // "file:line: reason", as compilers write a diagnostic.
  std::string text() const;
};

// The layer order: which layers a layer may include, read from lines "<layer>: <layers below>".
// A layer may include itself and every layer it reaches through these lists.
class LayerTable {
 public:
  // Reads the table; blank lines and lines starting with "#" are skipped. A line without ":", a
  // layer listed twice, or one that builds on a layer not listed above it (which would allow a
  // cycle) is reported in errors and left out.
  static LayerTable parse(std::string_view text, std::vector<Violation>& errors);

  bool has(const std::string& layer) const { return reach_.count(layer) != 0; }
  bool mayInclude(const std::string& from, const std::string& to) const;

 private:
  std::map<std::string, std::set<std::string>> reach_;
};

// The layer a file belongs to by its path below the root: a file of "src/<x>/" is layer x, one
// below a folder inside it, "src/<x>/<y>/...", is layer "<x>/<y>" (as "room/qt"), and
// "apps/<name>/..." is "apps/<name>"; empty for anything else.
std::string layerOfPath(std::string_view relativePath);

// Whether an angle-bracket include names a Qt header (<QString>, <QtCore/QObject>).
bool isQtHeader(std::string_view header);

// Checks every #include of the C++ sources below root/src and root/apps against the table, in
// path order. A quoted include is looked up beside the including file and then below src/ (as
// the compiler does); one found nowhere counts by its first folder when that names a subsystem.
// Qt headers belong to the layer "Qt"; a layer built on "QtGui" may include them too.
std::vector<Violation> checkTree(const std::filesystem::path& root, const LayerTable& table);

}  // namespace mh::layering
