#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mh {

// Decimal numbers in text that files, records and reports keep: always with "." as the decimal
// point, whatever locale the process runs under (a desktop program takes the user's locale,
// which would otherwise turn 6.5 into "6,5" in a settings file).

// The value with exactly `decimals` digits after the point, rounded as printf's "%.*f" does.
std::string fixedDecimal(double value, int decimals);

// The number at the start of the text, as C's atof reads it but decimal only: leading white
// space, an optional sign, digits with an optional fraction and exponent. 0 when the text does
// not start with such a number, or the number is out of range.
double leadingDecimal(std::string_view text);

// The whole text (white space around it allowed) as a finite decimal number; nothing otherwise.
std::optional<double> parseDecimal(std::string_view text);

}  // namespace mh
