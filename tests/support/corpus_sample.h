#pragma once

#include <cstddef>
#include <vector>

namespace mh::test {

// Every how many corpus record files a corpus test takes: MOONHAVEN_CORPUS_STRIDE when it is a
// number of at least 1 (the sanitizer runs, which are many times slower, sample the corpus),
// otherwise 1 (every file).
size_t corpusStride();

// The first item and every corpusStride()-th after it, in order.
template <typename T>
std::vector<T> corpusSample(const std::vector<T>& items) {
  const size_t stride = corpusStride();
  if (stride == 1) return items;
  std::vector<T> out;
  for (size_t i = 0; i < items.size(); i += stride) out.push_back(items[i]);
  return out;
}

}  // namespace mh::test
