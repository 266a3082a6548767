#include "formats/number_text.h"

#include <charconv>
#include <cstdlib>
#include <limits>
#include <string>

namespace nettor {

namespace {
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
}

double leadingDouble(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    text.remove_prefix(i);
    if (text.empty()) return 0.0;
    std::string_view body = text;
    if (body.front() == '+') {
        body.remove_prefix(1);
        // One sign only: "+-1" holds no number.
        if (body.empty() || body.front() == '-' || body.front() == '+') return 0.0;
    }
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    // The longest decimal number at the start, in every locale. Only the rare
    // forms (hexadecimal, out of range) go to strtod.
    const char* end = body.data() + body.size();
    if (ec == std::errc() && (ptr == end || (*ptr != 'x' && *ptr != 'X'))) return value;
    std::string copy(text.substr(0, 512));
    return std::strtod(copy.c_str(), nullptr);
}

std::int64_t leadingInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t limit = std::numeric_limits<std::int32_t>::max() + 1ll;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) value = limit; // far outside every table
    }
    return negative ? -value : value;
}

} // namespace nettor
