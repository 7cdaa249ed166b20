#pragma once

#include <string>

namespace mh {

// The program's directory, ending with "/": the directory named by the environment variable
// MOONHAVEN_HOME when it is set and not empty, otherwise the directory of the running executable.
// Settings, pattern-base files and the board module live there. Empty when neither is known.
std::string programDirectory();

// The directory of the running executable, ending with "/"; empty when it cannot be read.
std::string executableDirectory();

// The board module (the wood, stone and sound files) of a program whose executable lies in
// executableFolder: board/ beside it, else ../share/moonhaven/board/ of an installed program.
// Ends with "/"; empty when neither holds the module's texture.
std::string boardModuleDirectory(const std::string& executableFolder);

// The directory with a "/" appended when it does not end with one (an empty string stays empty).
std::string withTrailingSlash(std::string directory);

// The parent of a directory that ends with "/", itself ending with "/" ("/a/b/" gives "/a/";
// "/" stays "/"; a relative name without a parent gives "").
std::string parentDirectory(const std::string& directory);

}  // namespace mh
