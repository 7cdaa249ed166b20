#pragma once

#include <string>
#include <vector>

#include "engine/matrix_library.h"

namespace mh {

// The names of the three matrix-pattern files, by library number (0 interior, 1 edge, 2 corner).
inline constexpr const char* kMatrixFileNames[3] = {"matrix_interior.txt", "matrix_edge.txt", "matrix_corner.txt"};

// Fills the three matrix libraries at start-up: each from its file in the program's directory when
// there is one there, otherwise from the copy the program ships in its data directory (a corner
// library of common corner shapes), otherwise it stays empty. Both directories end with "/"; they
// may be the same folder. Returns the paths read, in library order.
std::vector<std::string> loadMatrixFiles(MatrixLibraries& libraries, const std::string& programDirectory,
                                         const std::string& dataDirectory);

}  // namespace mh
