#include "ts_file.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>

namespace mh::test {

namespace {

// The text of the current element, with lupdate's <byte value="xd"/> elements (characters XML
// cannot carry as text, such as a carriage return) turned back into their characters.
QString readText(QXmlStreamReader& xml) {
  QString text;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isCharacters()) {
      text += xml.text();
    } else if (xml.isStartElement() && xml.name() == u"byte") {
      QString value = xml.attributes().value("value").toString();
      const int base = value.startsWith('x') ? 16 : 10;
      if (base == 16) value.remove(0, 1);
      text += QChar(value.toUShort(nullptr, base));
      xml.skipCurrentElement();
    } else if (xml.isEndElement()) {
      break;
    }
  }
  return text;
}

}  // namespace

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
      message.source = readText(xml);
    } else if (name == u"translation") {
      const QString type = xml.attributes().value("type").toString();
      message.translation = readText(xml);
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
