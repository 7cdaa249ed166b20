#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace mh::test {

// One message of a Qt translation file.
struct TsMessage {
  QString context;
  QString source;
  QString translation;
  bool finished = false;  // translated, and neither unfinished nor obsolete
};

// The messages of a .ts file; empty when it cannot be read.
std::vector<TsMessage> readTsFile(const QString& path);

// The placeholders of a text in order of appearance: %1..%99, %L1, %n and printf's %d, %s.
QStringList placeholders(const QString& text);
// A translation keeps the source's placeholders (in any order) and its mnemonic: a source with
// "&X" needs some "&" mnemonic, and one without must not gain one. Empty when it does; otherwise
// what is wrong.
QString placeholderFault(const QString& source, const QString& translation);

}  // namespace mh::test
