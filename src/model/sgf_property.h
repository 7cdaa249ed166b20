#pragma once

#include <string>
#include <vector>

namespace mh {

// One SGF property: an identifier of upper-case letters and one or more values, kept exactly as
// they stand in the file (escape backslashes included).
struct SgfProperty {
  std::string identifier;
  std::string value;                    // the first value
  std::vector<std::string> moreValues;  // further values, in file order

  // All values, the first one first.
  std::vector<std::string> allValues() const {
    std::vector<std::string> all{value};
    all.insert(all.end(), moreValues.begin(), moreValues.end());
    return all;
  }
  size_t valueCount() const { return 1 + moreValues.size(); }

  friend bool operator==(const SgfProperty&, const SgfProperty&) = default;
};

}  // namespace mh
