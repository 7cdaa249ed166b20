#pragma once

#include <string>
#include <string_view>

namespace mh::test {

// UTF-8 text encoded in a charset (any name ICU knows), as another program would have written
// it; tests build their records in foreign charsets with it instead of storing files.
std::string encodedAs(std::string_view utf8, const char* charset);

}  // namespace mh::test
