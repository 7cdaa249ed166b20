#include "platform/ini_file.h"

#include "platform/ini_document.h"

namespace mh {

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view def) const {
  IniDocument document;
  (void)document.load(path_);  // an unreadable file reads as an empty one
  return document.value(section, key).value_or(std::string(def));
}

int IniFile::readInt(std::string_view section, std::string_view key, int def) const {
  IniDocument document;
  (void)document.load(path_);
  return document.intValue(section, key, def);
}

bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  IniDocument document;
  if (!document.load(path_)) return false;  // never overwrite a file that could not be read
  document.setValue(section, key, value);
  return document.save(path_);
}

bool IniFile::writeInt(std::string_view section, std::string_view key, int value) {
  return writeString(section, key, std::to_string(value));
}

}  // namespace mh
