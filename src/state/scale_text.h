#pragma once
// The scale of the unfolded pattern as the information panel shows and reads
// it: centimetres on paper per model unit, 0 to 1000.
#include <optional>
#include <string>

namespace nettor {

inline constexpr double kMaximumScaleEntry = 1000.0;
inline constexpr const char* kScaleRangeMessage = "Enter a number between 0 and 1000.";

// The number in the text (blanks around it allowed, a decimal point or a
// decimal comma), or nothing when it is not one number from 0 to 1000.
std::optional<double> readScaleText(const std::string& text);

// The scale with six significant digits, as the panel shows it.
std::string scaleText(double scale);

} // namespace nettor
