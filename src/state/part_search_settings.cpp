#include "state/part_search_settings.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

namespace nettor {

std::string PartSearchSettings::toText() const
{
    char seconds[32];
    const auto end = std::to_chars(seconds, seconds + sizeof seconds, timeLimitSeconds).ptr;
    return std::string(enabled ? "1" : "0") + ":" + std::string(seconds, end) + ":" + std::to_string(seed);
}

void PartSearchSettings::readText(const std::string& text)
{
    std::vector<std::string_view> fields;
    std::string_view rest(text);
    while (fields.size() < 3) {
        const std::size_t colon = rest.find(':');
        fields.push_back(rest.substr(0, colon));
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    auto whole = [](std::string_view f, auto& value) {
        const auto [end, error] = std::from_chars(f.data(), f.data() + f.size(), value);
        return error == std::errc() && end == f.data() + f.size() && !f.empty();
    };
    int flag = 0;
    if (fields.size() > 0 && whole(fields[0], flag) && (flag == 0 || flag == 1)) enabled = flag == 1;
    double seconds = 0.0;
    if (fields.size() > 1 && whole(fields[1], seconds) && std::isfinite(seconds) && seconds >= 0.0 &&
        seconds <= 86400.0)
        timeLimitSeconds = seconds;
    std::uint32_t number = 0;
    if (fields.size() > 2 && whole(fields[2], number)) seed = number;
}

} // namespace nettor
