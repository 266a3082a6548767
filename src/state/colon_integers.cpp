#include "state/colon_integers.h"

#include <algorithm>
#include <cstdlib>

namespace nettor {

int readColonIntegers(const std::string& text, std::int64_t* values, int count)
{
    const char* p = text.c_str();
    int got = 0;
    while (got < count) {
        if (got > 0) {
            if (*p != ':') break;
            ++p;
        }
        char* end = nullptr;
        const long long v = std::strtoll(p, &end, 0);
        if (end == p) break;
        values[got++] = std::clamp<long long>(v, INT32_MIN, INT32_MAX);
        p = end;
    }
    return got;
}

} // namespace nettor
