#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mh {

// Where a program to be started lives. A name holding a "/" is a path and comes back as it is.
// Otherwise the first executable regular file of that name in the directories of searchPath (a
// PATH-style list separated by ":"; an empty element is the current directory, an empty list
// names none), then in the extra directories, in order. When none has it the name itself comes
// back, so that starting it fails with the usual message.
std::string findProgram(std::string_view name, std::string_view searchPath,
                        const std::vector<std::string>& extraDirectories);

// findProgram over this process's PATH and /usr/games, where Debian installs its games (GNU Go
// among them) outside the default PATH of root.
std::string findProgram(std::string_view name);

}  // namespace mh
