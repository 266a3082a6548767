#pragma once
// The "%i:%i:..." number lists of the stored settings values.
#include <cstdint>
#include <string>

namespace nettor {

// Reads up to `count` integers separated by single colons, as the format
// "%i:%i:..." takes them (decimal, 0x hex or 0 octal, each after optional
// blanks), and stops at the first one missing. Values beyond the range of a
// 32-bit integer are held at its limits. Returns how many were read.
int readColonIntegers(const std::string& text, std::int64_t* values, int count);

} // namespace nettor
