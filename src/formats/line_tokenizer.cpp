#include "formats/line_tokenizer.h"

#include "formats/number_text.h"

#include <algorithm>
#include <limits>

namespace nettor {

namespace {

constexpr char kQuote = '"';

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool endsLine(char c) { return c == '\0' || c == '\r' || c == '\n'; }

} // namespace

bool LineTokenizer::isPunctuation(char c)
{
    switch (c) {
    case '(': case ')': case ',': case ':': case ';': case '=':
    case '[': case ']': case '{': case '}':
        return true;
    default:
        return false;
    }
}

void LineTokenizer::store(std::string& pending, bool& inToken)
{
    if (static_cast<std::size_t>(count_) == tokens_.size()) tokens_.emplace_back();
    tokens_[static_cast<std::size_t>(count_)].swap(pending);
    pending.clear();
    ++count_;
    inToken = false;
}

int LineTokenizer::readLine()
{
    count_ = 0;
    if (pos_ >= data_.size()) return -1;

    // Up to kMaxLine bytes, through the line end.
    const std::size_t limit = std::min(data_.size(), pos_ + kMaxLine);
    std::size_t end = pos_;
    while (end < limit && data_[end] != '\n') ++end;
    if (end < limit) ++end; // the line end belongs to this line
    const std::string_view line = data_.substr(pos_, end - pos_);
    pos_ = end;

    std::string pending;
    bool inToken = false;
    bool inQuote = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const auto byte = static_cast<unsigned char>(c);
        if (isLeadByte(byte)) {
            // The pair stays together. A lead byte without a usable second
            // byte on this line stands alone.
            pending.push_back(c);
            inToken = true;
            if (i + 1 < line.size() && !endsLine(line[i + 1])) pending.push_back(line[++i]);
            continue;
        }
        if (endsLine(c)) break;
        if (inQuote) {
            if (c == kQuote) {
                store(pending, inToken); // even when empty
                inQuote = false;
            } else {
                pending.push_back(c);
            }
            continue;
        }
        if (c == ' ' || c == '\t') {
            if (inToken) store(pending, inToken);
        } else if (c == kQuote) {
            if (inToken) store(pending, inToken);
            inQuote = true;
            inToken = true;
        } else if (isPunctuation(c)) {
            if (inToken) store(pending, inToken);
            pending.push_back(c);
            store(pending, inToken);
        } else {
            pending.push_back(c);
            inToken = true;
        }
    }
    if (inToken) store(pending, inToken);
    return count_;
}

std::string_view LineTokenizer::token(int i) const
{
    if (i < 0 || i >= count_) return {};
    return tokens_[static_cast<std::size_t>(i)];
}

bool LineTokenizer::is(int i, std::string_view text) const
{
    return i >= 0 && i < count_ && equalsIgnoringCase(tokens_[static_cast<std::size_t>(i)], text);
}

std::int32_t LineTokenizer::integer(int i) const
{
    if (i < 0 || i >= count_) return 0;
    const std::int64_t v = leadingInteger(tokens_[static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

double LineTokenizer::number(int i) const
{
    if (i < 0 || i >= count_) return 0.0;
    return leadingDouble(tokens_[static_cast<std::size_t>(i)]);
}

bool LineTokenizer::endsWithSizeBlock() const
{
    return count_ >= 3 && is(count_ - 3, "[") && is(count_ - 1, "]");
}

bool LineTokenizer::skipBytes(std::size_t n)
{
    if (n > remaining()) return false;
    pos_ += n;
    return true;
}

bool LineTokenizer::takeBytes(std::size_t n, std::string_view& out)
{
    if (n > remaining()) return false;
    out = data_.substr(pos_, n);
    pos_ += n;
    return true;
}

} // namespace nettor
