// moonhaven-engine: the analysis engine as a Go Text Protocol program. It takes the start
// options that programs of its kind take ("--mode gtp --quiet", "--level N"), so that a room's
// play dialog or any GTP front end can start it in their place.

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "gtp_session.h"

namespace {

constexpr const char* kUsage =
    "usage: moonhaven-engine [--mode gtp] [--quiet] [--level N] [--seed S]\n"
    "Speaks the Go Text Protocol (version 2) on standard input and output.\n";

bool number(const char* text, long& out) {
  char* end = nullptr;
  out = std::strtol(text, &end, 10);
  return *text != '\0' && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  long level = 10;
  long seed = 1;  // a fixed default, so that a game against a deterministic opponent can be repeated
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    long value = 0;
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--version") {
      std::printf("moonhaven-engine %s\n", MOONHAVEN_VERSION);
      return 0;
    }
    if (a == "--quiet") continue;
    if ((a == "--mode" || a == "--level" || a == "--seed") && i + 1 < argc) {
      const char* v = argv[++i];
      if (a == "--mode" && std::strcmp(v, "gtp") == 0) continue;
      if (a != "--mode" && number(v, value)) {
        (a == "--level" ? level : seed) = value;
        continue;
      }
      std::fprintf(stderr, "moonhaven-engine: %s does not take '%s'\n%s", a.c_str(), v, kUsage);
      return 1;
    }
    std::fprintf(stderr, "moonhaven-engine: unknown option '%s'\n%s", a.c_str(), kUsage);
    return 1;
  }
  std::ios::sync_with_stdio(false);
  mh::GtpSession session({}, {}, static_cast<std::uint32_t>(seed));
  session.handle("level " + std::to_string(level));
  session.run(std::cin, std::cout);
  return 0;
}
