#include "state/font_size_entry.h"

#include <cctype>

namespace nettor {

std::optional<std::int32_t> parseEdgeIdFontSize(const std::string& text)
{
    std::size_t i = 0;
    const auto blank = [&](std::size_t k) {
        return k < text.size() && std::isspace(static_cast<unsigned char>(text[k]));
    };
    while (blank(i)) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t digitsStart = i;
    std::int64_t value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        if (value <= kMaxEdgeIdFontSize) value = value * 10 + (text[i] - '0');
        ++i;
    }
    if (i == digitsStart) return std::nullopt;
    while (blank(i)) ++i;
    if (i != text.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < kMinEdgeIdFontSize || value > kMaxEdgeIdFontSize) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string edgeIdFontSizeMessage()
{
    return "Please enter an integer between " + std::to_string(kMinEdgeIdFontSize) + " and " +
           std::to_string(kMaxEdgeIdFontSize) + ".";
}

} // namespace nettor
