// How a counter value is printed: a decimal with at most three places, trailing
// zeros and a bare point dropped ("12.5", "0", "1048576"), never an exponent and
// never the locale's decimal comma, so scripts can read it back.
#pragma once

#include <string>

namespace vantorel::cli {

// Rounded to three places; "-0" prints as "0". Empty for NaN and infinities,
// which are no value.
std::string formatValue(double value);

}  // namespace vantorel::cli
