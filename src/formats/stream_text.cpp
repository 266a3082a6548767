#include "formats/stream_text.h"

#include <charconv>

namespace nettor {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

} // namespace

StreamText::StreamText(std::ostream& out) : out_(out) { buffer_.reserve(kFlushSize + 256); }

StreamText::~StreamText() { flush(); }

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
    const auto result = std::to_chars(digits, digits + sizeof digits, value,
                                      std::chars_format::general, 6);
    buffer_.append(digits, result.ptr);
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
