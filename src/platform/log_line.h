#pragma once

#include <functional>
#include <string_view>

namespace mh {

// Where a component writes its log: called with one line of text (no line ending), possibly from
// several threads at once. Whoever logs receives one of these from its owner; an empty LogLine
// logs nothing. A LogLine that a thread may still call after its owner is gone must own what it
// writes to (see LogFile::writer).
using LogLine = std::function<void(std::string_view line)>;

}  // namespace mh
