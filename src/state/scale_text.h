#pragma once
// The scale of the unfolded pattern as the information panel shows and reads
// it: centimetres on paper per model unit, 0 to 1000.
#include <optional>
#include <string>

namespace nettor {

inline constexpr double kMaximumScaleEntry = 1000.0;
inline constexpr const char* kScaleRangeMessage = "Please enter a number between 0 and 1000.";
inline constexpr const char* kScaleNumberMessage = "Please enter a number.";

// The number in the text (blanks around it allowed, a decimal point or a
// decimal comma), or nothing when it is not one number from 0 to 1000.
std::optional<double> readScaleText(const std::string& text);

// What the panel tells the user about text its scale field cannot take:
// kScaleNumberMessage when it is not a number, kScaleRangeMessage when the
// number lies outside 0 to 1000; empty when readScaleText takes it.
std::string scaleTextProblem(const std::string& text);

// The scale with six significant digits, as the panel shows it.
std::string scaleText(double scale);

} // namespace nettor
