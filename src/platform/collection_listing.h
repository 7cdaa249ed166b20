#pragma once

#include <string>
#include <vector>

namespace mh {

// Every regular file of a record collection: first those of the directory itself, then those of
// each subdirectory, depth-first in pre-order (a directory right before its own subdirectories).
// Within a directory, files and subdirectories are taken in ascending byte order of their names,
// so the result does not depend on the order the file system lists them in. The directory must
// end with "/"; paths are returned as directory + name.
//
// Symbolic links are followed, but a directory reached twice (a link loop) is listed once.
// Unreadable directories, and entries that are neither regular files nor directories (pipes,
// sockets, devices, dangling links), are passed over. A missing directory gives an empty list.
std::vector<std::string> listCollectionFiles(const std::string& directory);

// The directory list alone: the directory, then its subdirectories depth-first in pre-order,
// each ending with "/".
std::vector<std::string> listCollectionDirectories(const std::string& directory);

}  // namespace mh
