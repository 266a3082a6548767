#include "state/scale_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace nettor {

namespace {

// One number, whatever its size; infinite when it is too large for a double.
std::optional<double> readNumber(const std::string& text)
{
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::nullopt;
    std::size_t end = text.find_last_not_of(" \t") + 1;
    std::string number = text.substr(begin, end - begin);
    if (number.find('.') == std::string::npos) {
        const std::size_t comma = number.find(',');
        if (comma != std::string::npos) number[comma] = '.';
    }
    if (!number.empty() && number.front() == '+') number.erase(0, 1);
    double value = 0.0;
    const char* first = number.data();
    const char* last = first + number.size();
    const auto [ptr, error] = std::from_chars(first, last, value, std::chars_format::general);
    // Too large or too small for a double: still a number, taken as the
    // C library rounds it (to infinity or towards zero).
    if (error == std::errc::result_out_of_range && ptr == last) return std::strtod(number.c_str(), nullptr);
    if (error != std::errc() || ptr != last || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace

std::optional<double> readScaleText(const std::string& text)
{
    const std::optional<double> value = readNumber(text);
    if (!value || std::isinf(*value) || *value < 0.0 || *value > kMaximumScaleEntry) return std::nullopt;
    return value;
}

std::string scaleTextProblem(const std::string& text)
{
    const std::optional<double> value = readNumber(text);
    if (!value) return kScaleNumberMessage;
    if (!readScaleText(text)) return kScaleRangeMessage;
    return {};
}

std::string scaleText(double scale)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", scale);
    return text;
}

} // namespace nettor
