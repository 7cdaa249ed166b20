// A settings file: reads of a few sections and keys, then a write of one key, which must read
// back as written while another key keeps its value.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "platform/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  static mh::fuzz::ScratchFile scratch("ini");
  mh::IniFile ini(scratch.write(mh::fuzz::textOf(data, size)));
  for (const char* section : {"A", "Options", "s"}) {
    for (const char* key : {"k", "Key", "x"}) {
      (void)ini.readString(section, key, "def");
      (void)ini.readInt(section, key, 7);
    }
  }
  const std::string other = ini.readString("Options", "Key", "def");
  if (!ini.writeString("A", "k", "written value")) return 0;
  if (ini.readString("A", "k", "") != "written value") __builtin_trap();
  if (ini.readString("Options", "Key", "def") != other) __builtin_trap();
  return 0;
}
