#pragma once
// Splits the lines of a Metasequoia document into tokens. It knows quoted
// strings, one-character punctuation tokens and Shift-JIS double-byte
// characters, and it can hand out or step over the binary blocks that follow
// some lines.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nettor {

class LineTokenizer {
public:
    // Longest line taken at once; the rest of a longer line comes back as
    // the next line.
    static constexpr std::size_t kMaxLine = 8191;

    explicit LineTokenizer(std::string_view data) : data_(data) {}

    // Reads and splits the next line. Returns the token count (0 for a blank
    // line) or -1 at the end of the data.
    int readLine();

    int count() const { return count_; }
    // Token i of the current line; empty when there is no such token.
    std::string_view token(int i) const;
    // Token i exists and equals text, ignoring case.
    bool is(int i, std::string_view text) const;
    // The line has at least n tokens and token 0 equals text, ignoring case.
    bool starts(std::string_view text, int n) const { return count_ >= n && is(0, text); }
    // Token i as a decimal integer or number (leading numeric part, no digits
    // give 0), or 0 when token i does not exist. The integer saturates at the
    // 32-bit range.
    std::int32_t integer(int i) const;
    double number(int i) const;

    // The line ends with the three tokens "[", size, "]".
    bool endsWithSizeBlock() const;

    // Steps over n bytes after the current line; false (and no move) when
    // fewer remain.
    bool skipBytes(std::size_t n);
    // Takes n bytes after the current line; false (and no move) when fewer
    // remain.
    bool takeBytes(std::size_t n, std::string_view& out);
    std::size_t remaining() const { return data_.size() - pos_; }

    static bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
    static bool isPunctuation(char c);

private:
    void store(std::string& pending, bool& inToken);

    std::string_view data_;
    std::size_t pos_ = 0;
    std::vector<std::string> tokens_; // slots are kept between lines
    int count_ = 0;
};

} // namespace nettor
