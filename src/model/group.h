#pragma once

#include <algorithm>
#include <vector>

#include "model/point.h"

namespace mh {

// A 4-connected set of equal-valued points: a string of stones or an empty region.
// Points are kept ascending without duplicates, so membership is a binary search.
struct Group {
  int colour = Empty;
  PointList points;

  // Inserts p in order; a point already present is ignored.
  void insert(Point p) {
    auto it = std::lower_bound(points.begin(), points.end(), p);
    if (it == points.end() || *it != p) points.insert(it, p);
  }
  bool contains(Point p) const { return std::binary_search(points.begin(), points.end(), p); }
  int size() const { return static_cast<int>(points.size()); }
  bool empty() const { return points.empty(); }
  void clear() {
    colour = Empty;
    points.clear();
  }
  friend bool operator==(const Group&, const Group&) = default;
};

using GroupList = std::vector<Group>;

}  // namespace mh
