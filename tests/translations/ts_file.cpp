#include "ts_file.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>

namespace mh::test {

std::vector<TsMessage> readTsFile(const QString& path) {
  std::vector<TsMessage> messages;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return messages;
  QXmlStreamReader xml(&file);
  QString context;
  TsMessage message;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    const auto name = xml.name();
    if (name == u"name") {
      context = xml.readElementText();
    } else if (name == u"message") {
      message = TsMessage{context, {}, {}, false};
    } else if (name == u"source") {
      message.source = xml.readElementText();
    } else if (name == u"translation") {
      const QString type = xml.attributes().value("type").toString();
      message.translation = xml.readElementText();
      message.finished = type.isEmpty() && !message.translation.isEmpty();
      messages.push_back(message);
    }
  }
  return xml.hasError() ? std::vector<TsMessage>{} : messages;
}

QStringList placeholders(const QString& text) {
  static const QRegularExpression pattern(QStringLiteral("%(?:L?[0-9]{1,2}|n|d|s)"));
  QStringList found;
  for (auto it = pattern.globalMatch(text); it.hasNext();) found << it.next().captured();
  return found;
}

namespace {

bool hasMnemonic(QString text) {
  static const QRegularExpression pattern(QStringLiteral("&[^&\\s]"));
  return text.remove(QStringLiteral("&&")).contains(pattern);
}

}  // namespace

QString placeholderFault(const QString& source, const QString& translation) {
  QStringList want = placeholders(source);
  QStringList got = placeholders(translation);
  std::sort(want.begin(), want.end());
  std::sort(got.begin(), got.end());
  if (want != got) return QStringLiteral("placeholders %1 became %2").arg(want.join(' '), got.join(' '));
  if (hasMnemonic(source) != hasMnemonic(translation)) return QStringLiteral("the mnemonic (&) was lost or added");
  return {};
}

}  // namespace mh::test
