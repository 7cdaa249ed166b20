#pragma once

#include <string>

namespace mh {

// Where the program keeps its files. Two folders, both ending with "/":
// - the program's directory, for what the program writes and reads back (WPBs.ini, lang.ini,
//   rule.ini, the pattern-base files, default.sgf, log.txt, the user's copies of the players
//   files);
// - the data directory, for what ships with the program and is only read (the board module,
//   translations, help pages, matrix-pattern files, the shipped players files).
// In a build folder both are the executable's folder. An installed program (its executable in
// <prefix>/bin with <prefix>/share/moonhaven/ beside it) reads its data from share/moonhaven/ and
// writes into the user's data folder.

// The program's directory: the directory named by the environment variable MOONHAVEN_HOME when
// it is set and not empty; otherwise the executable's folder when it is writable and not part of
// an installed program; otherwise the user's data folder ($XDG_DATA_HOME/moonhaven/, else
// ~/.local/share/moonhaven/), which is created when missing. Empty when none is known.
std::string programDirectory();

// The data directory of the running program (see dataDirectoryFor).
std::string dataDirectory();

// The directory of the running executable, ending with "/"; empty when it cannot be read.
std::string executableDirectory();

// What the program's directory is chosen from; programDirectory() fills it from the process.
struct ProgramLocation {
  std::string moonhavenHome;     // MOONHAVEN_HOME, may be empty
  std::string executableFolder;  // the executable's folder, may be empty
  bool executableFolderWritable = false;
  std::string xdgDataHome;  // XDG_DATA_HOME, may be empty
  std::string userHome;     // HOME (or the password database's home), may be empty
};

// The program's directory for a location, ending with "/", without touching the disk except to
// see whether the executable's folder belongs to an installed program. A relative XDG_DATA_HOME
// is ignored, as the base-directory rules ask. Empty when nothing names a folder.
std::string programDirectoryFor(const ProgramLocation& location);

// The user's data folder of the program for a location ($XDG_DATA_HOME/moonhaven/ or
// ~/.local/share/moonhaven/); empty without either variable.
std::string userDataDirectoryFor(const ProgramLocation& location);

// The data directory of a program whose executable lies in executableFolder:
// executableFolder/../share/moonhaven/ when that folder exists (an installed program), otherwise
// the executable's folder itself (a build folder). Empty for an empty folder.
std::string dataDirectoryFor(const std::string& executableFolder);

// The board module (the wood, stone and sound files) of a program whose executable lies in
// executableFolder: board/ in its data directory. Ends with "/"; empty when the folder holds no
// module texture.
std::string boardModuleDirectory(const std::string& executableFolder);

// The path of file name in the program's directory. When the file is missing there but the data
// directory ships one, the shipped file is copied first, so that the user's copy is what the
// program reads and may change (the players files are handled this way). The copy is made
// through a temporary file, so a copy cut short leaves no partial file behind. Returns
// programDir + name whether or not a file exists there.
std::string copiedOnFirstUse(const std::string& programDir, const std::string& dataDir, const std::string& name);

// The directory with a "/" appended when it does not end with one (an empty string stays empty).
std::string withTrailingSlash(std::string directory);

// The parent of a directory that ends with "/", itself ending with "/" ("/a/b/" gives "/a/";
// "/" stays "/"; a relative name without a parent gives "").
std::string parentDirectory(const std::string& directory);

}  // namespace mh
