#pragma once
// Number conversion with the forgiving rules of the text readers: a decimal
// floating-point number or integer is taken from the start of the text, and
// text that does not start with a number converts to 0.
#include <cstdint>
#include <string_view>

namespace nettor {

double leadingDouble(std::string_view text);
// Leading integer: optional sign and digits; saturates instead of overflowing.
std::int64_t leadingInteger(std::string_view text);

} // namespace nettor
