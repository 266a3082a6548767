#pragma once
// Text written to a stream through a small buffer, with numbers formatted as
// a default C++ stream formats them (general notation, six significant
// digits: 52.8571, 10, 1e+06, -0, nan). Large files are passed on to the
// stream in pieces, so no copy of the whole text is ever held.
#include <ostream>
#include <string>
#include <string_view>

namespace nettor {

class StreamText {
public:
    explicit StreamText(std::ostream& out);
    ~StreamText();
    StreamText(const StreamText&) = delete;
    StreamText& operator=(const StreamText&) = delete;

    StreamText& operator<<(std::string_view text);
    StreamText& operator<<(const char* text) { return *this << std::string_view(text); }
    StreamText& operator<<(const std::string& text) { return *this << std::string_view(text); }
    StreamText& operator<<(char c);
    StreamText& operator<<(double value);
    StreamText& operator<<(float value) { return *this << static_cast<double>(value); }
    StreamText& operator<<(int value);
    StreamText& operator<<(long long value);

    // Hands the buffered text to the stream.
    void flush();

private:
    void flushWhenFull();

    std::ostream& out_;
    std::string buffer_;
};

} // namespace nettor
