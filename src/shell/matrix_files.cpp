#include "shell/matrix_files.h"

#include <filesystem>

namespace mh {

std::vector<std::string> loadMatrixFiles(MatrixLibraries& libraries, const std::string& programDirectory,
                                         const std::string& dataDirectory) {
  std::vector<std::string> read;
  for (int n = 0; n < 3; ++n) {
    for (const std::string* folder : {&programDirectory, &dataDirectory}) {
      if (folder->empty()) continue;
      const std::string path = *folder + kMatrixFileNames[n];
      std::error_code error;
      if (!std::filesystem::is_regular_file(path, error)) continue;
      if (libraries.byNumber(n)->LoadText(path, true)) {
        read.push_back(path);
        break;
      }
    }
  }
  return read;
}

}  // namespace mh
