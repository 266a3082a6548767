#include "formats/stream_text.h"

#include <bit>
#include <charconv>
#include <cstdint>

namespace nettor {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

constexpr std::uint64_t kTens[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

// "%.6g" of a number from 2^-13 to 2^30 (about 0.000122 to 1.07e9), the
// range of a pattern's coordinates, worked out exactly in integers: the
// value is m / 2^k, and its six digits are that times 10^(5 - e), rounded
// to nearest with ties to even, as printf rounds. Null for any other value,
// which goes the general way.
char* writeSixDigits(double value, char* out)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    if (biased < 1023 - 13 || biased >= 1023 + 30) return nullptr;
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int k = 1075 - biased; // 23 to 65
    // The decimal exponent e, with 10^e <= value < 10^(e + 1), from the
    // binary exponent times log10(2).
    int e = ((biased - 1023) * 78913) >> 18;
    std::uint64_t digits = 0;
    bool above = false, tie = false; // what is left beyond the digits: more or just half
    // The estimate is never above e, and at most one below.
    for (int tries = 0; tries < 2; ++tries) {
        const int s = 5 - e;
        if (s >= 0) {
            const unsigned __int128 scaled = static_cast<unsigned __int128>(m) * kTens[s];
            const unsigned __int128 half = static_cast<unsigned __int128>(1) << (k - 1);
            const unsigned __int128 rest = scaled & ((half << 1) - 1);
            digits = static_cast<std::uint64_t>(scaled >> k);
            above = rest > half;
            tie = rest == half;
        } else {
            // A million or more: k is at most 33.
            const std::uint64_t divisor = kTens[-s] << k;
            digits = m / divisor;
            const std::uint64_t rest = m % divisor;
            above = 2 * rest > divisor;
            tie = 2 * rest == divisor;
        }
        if (digits < 1000000) break;
        ++e;
    }
    if (digits < 100000 || digits >= 1000000) return nullptr;
    if (above || (tie && (digits & 1))) ++digits;
    if (digits == 1000000) {
        digits = 100000;
        ++e;
    }
    char d[6];
    for (int i = 5; i >= 0; --i) {
        d[i] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    int last = 5; // the last digit kept: trailing zeros go
    while (last > 0 && d[last] == '0') --last;
    if (bits >> 63) *out++ = '-';
    if (e >= 6) {
        // 1.23457e+06
        *out++ = d[0];
        if (last > 0) {
            *out++ = '.';
            for (int i = 1; i <= last; ++i) *out++ = d[i];
        }
        *out++ = 'e';
        *out++ = '+';
        *out++ = static_cast<char>('0' + e / 10);
        *out++ = static_cast<char>('0' + e % 10);
    } else if (e >= 0) {
        for (int i = 0; i <= e; ++i) *out++ = d[i];
        if (last > e) {
            *out++ = '.';
            for (int i = e + 1; i <= last; ++i) *out++ = d[i];
        }
    } else {
        *out++ = '0';
        *out++ = '.';
        for (int i = -1; i > e; --i) *out++ = '0';
        for (int i = 0; i <= last; ++i) *out++ = d[i];
    }
    return out;
}

} // namespace

StreamText::StreamText(std::ostream& out) : out_(out) { buffer_.reserve(kFlushSize + 256); }

StreamText::~StreamText()
{
    // A writer that stops on the stream's failure leaves text behind, and
    // the stream fails on it again: that failure is the one already on its
    // way, or it shows in the stream's state. A destructor must not throw.
    try {
        flush();
    } catch (...) {
    }
}

void StreamText::flush()
{
    if (buffer_.empty()) return;
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
}

void StreamText::flushWhenFull()
{
    if (buffer_.size() >= kFlushSize) flush();
}

StreamText& StreamText::operator<<(std::string_view text)
{
    buffer_.append(text);
    flushWhenFull();
    return *this;
}

StreamText& StreamText::operator<<(char c)
{
    buffer_.push_back(c);
    flushWhenFull();
    return *this;
}

StreamText& StreamText::operator<<(double value)
{
    // The same text as printf's "%.6g", which is what a stream with the
    // default flags and precision writes.
    char digits[64];
    char* end = writeSixDigits(value, digits);
    if (!end) end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 6).ptr;
    buffer_.append(digits, end);
    flushWhenFull();
    return *this;
}

StreamText& StreamText::operator<<(int value) { return *this << static_cast<long long>(value); }

StreamText& StreamText::operator<<(long long value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    buffer_.append(digits, result.ptr);
    flushWhenFull();
    return *this;
}

} // namespace nettor
