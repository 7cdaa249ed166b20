// Writes a players file of the record library: the names of the given UTF-8 text files, in order,
// converted to GB (the players files hold GB names, as records do). The inputs' comment lines
// (";") are left out; the output starts with its own.
//
//   generate_players OUTPUT INPUT...
#include <cstdio>
#include <string>

#include "platform/file_bytes.h"
#include "platform/text_codec.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: generate_players OUTPUT INPUT...\n");
    return 2;
  }
  std::string out = "; One player name per line, in GB. Lines starting with \";\" are comments.\n";
  for (int i = 2; i < argc; ++i) {
    std::string text;
    if (!mh::readFileBytes(argv[i], size_t{1} << 20, text) || !mh::text::isValidUtf8(text)) {
      std::fprintf(stderr, "generate_players: cannot read %s as UTF-8\n", argv[i]);
      return 1;
    }
    size_t at = 0;
    while (at < text.size()) {
      size_t end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      const std::string line = text.substr(at, end - at);
      at = end + 1;
      if (line.empty() || line[0] == ';') continue;
      const std::string gb = mh::text::utf8ToGb(line);
      if (gb.find('?') != std::string::npos && line.find('?') == std::string::npos) {
        std::fprintf(stderr, "generate_players: %s holds a character GB lacks: %s\n", argv[i], line.c_str());
        return 1;
      }
      out += gb + "\n";
    }
  }
  if (!mh::writeFileBytes(argv[1], out)) {
    std::fprintf(stderr, "generate_players: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
