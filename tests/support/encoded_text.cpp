#include "support/encoded_text.h"

#include <unicode/ucnv.h>

#include <stdexcept>

namespace mh::test {

std::string encodedAs(std::string_view utf8, const char* charset) {
  std::string out(utf8.size() * 4 + 16, '\0');
  UErrorCode err = U_ZERO_ERROR;
  const int32_t n = ucnv_convert(charset, "UTF-8", out.data(), static_cast<int32_t>(out.size()), utf8.data(),
                                 static_cast<int32_t>(utf8.size()), &err);
  if (U_FAILURE(err)) throw std::runtime_error(std::string("cannot encode as ") + charset + ": " + u_errorName(err));
  out.resize(static_cast<size_t>(n));
  return out;
}

}  // namespace mh::test
