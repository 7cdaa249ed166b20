#pragma once

#include <array>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/matrix_pattern.h"

namespace mh {

// A set of matrix patterns without duplicates, in insertion order (a pattern's index is its
// place), with an index by size so that a window is compared only with patterns of its size.
// Patterns of 100 or more columns or rows are kept but never indexed, so never found.
class MatrixLibrary {
 public:
  static constexpr int kMaxIndexedSide = 100;

  void clear();
  int size() const { return static_cast<int>(patterns_.size()); }
  const std::vector<MatrixPattern>& patterns() const { return patterns_; }

  // Appends the pattern unless a pattern of the same shape is present. The index is not updated.
  bool add(MatrixPattern pattern);
  // Adds the pattern and its seven mirror and transpose images (dropping duplicates); false,
  // adding nothing, when the pattern itself is a duplicate.
  bool AddSymmetric(const MatrixPattern& pattern);
  // Recomputes the size index from the patterns.
  void rebuildIndex();
  bool hasSize(int width, int height) const;
  // First pattern index >= from whose pattern matches the window, or -1.
  int find(const MatrixPattern& window, int from) const;
  // Copies pattern index into out; false when out of range.
  bool get(int index, MatrixPattern& out) const;
  const MatrixPattern* at(int index) const {
    return index >= 0 && index < size() ? &patterns_[static_cast<size_t>(index)] : nullptr;
  }

  // Reads patterns from a text file: "name: NAME ROWS COLUMNS" headers, each followed by ROWS
  // lines of at least COLUMNS bytes. replace clears the library first; otherwise patterns are
  // added to those present. False when the file cannot be opened.
  bool LoadText(const std::string& path, bool replace);

 private:
  static int slot(int width, int height) { return width + kMaxIndexedSide * height; }

  // A pattern's size and cells as one key, for the duplicate test.
  static std::string shapeKey(const MatrixPattern& p);

  std::vector<MatrixPattern> patterns_;
  std::unordered_set<std::string> shapes_;
  std::vector<std::vector<int>> bySize_ = std::vector<std::vector<int>>(kMaxIndexedSide * kMaxIndexedSide);
};

// The three libraries the matcher reads: 0 interior, 1 edge, 2 corner. They start empty; the
// application owns one set for the whole run.
struct MatrixLibraries {
  MatrixLibrary interior;
  MatrixLibrary edge;
  MatrixLibrary corner;

  MatrixLibrary* byNumber(int number) {
    return number == 0 ? &interior : number == 1 ? &edge : number == 2 ? &corner : nullptr;
  }
  const MatrixLibrary* byNumber(int number) const {
    return number == 0 ? &interior : number == 1 ? &edge : number == 2 ? &corner : nullptr;
  }
};

}  // namespace mh
