#pragma once
// A stream buffer that only counts what it is given, so that a writer is
// timed without a file system or the growth of a string holding its text.
#include <cstddef>
#include <streambuf>

namespace nettor::bench {

class CountingBuffer : public std::streambuf {
public:
    std::size_t count = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override
    {
        count += static_cast<std::size_t>(n);
        return n;
    }
    int_type overflow(int_type c) override
    {
        ++count;
        return c;
    }
};

} // namespace nettor::bench
