#include "support/corpus_sample.h"

#include <cstdlib>

namespace mh::test {

size_t corpusStride() {
  const char* value = std::getenv("MOONHAVEN_CORPUS_STRIDE");
  if (!value) return 1;
  char* end = nullptr;
  const long stride = std::strtol(value, &end, 10);
  return end != value && *end == '\0' && stride >= 1 && stride <= 1000 ? static_cast<size_t>(stride) : 1;
}

}  // namespace mh::test
