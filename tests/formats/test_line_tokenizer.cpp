// Splitting Metasequoia lines into tokens.
#include "formats/line_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace nettor;

namespace {

std::vector<std::string> tokens(const LineTokenizer& t)
{
    std::vector<std::string> out;
    for (int i = 0; i < t.count(); ++i) out.emplace_back(t.token(i));
    return out;
}

std::vector<std::string> split(const std::string& line)
{
    LineTokenizer t(line);
    t.readLine();
    return tokens(t);
}

using Tokens = std::vector<std::string>;

} // namespace

TEST(LineTokenizer, PunctuationQuotesAndBlanks)
{
    EXPECT_EQ(split("3 V(0 1 2) M(0)\n"), (Tokens{"3", "V", "(", "0", "1", "2", ")", "M", "(", "0", ")"}));
    EXPECT_EQ(split("a,b:c;d=e[f]{g}\n"),
              (Tokens{"a", ",", "b", ":", "c", ";", "d", "=", "e", "[", "f", "]", "{", "g", "}"}));
    // Quoted text keeps blanks and punctuation and loses its quotes; an empty
    // quoted token is still a token, and a quote ends a pending token.
    EXPECT_EQ(split("Object \"my (obj) {1}\" {\n"), (Tokens{"Object", "my (obj) {1}", "{"}));
    EXPECT_EQ(split("tex(\"\") x\"y\"\n"), (Tokens{"tex", "(", "", ")", "x", "y"}));
    // A quote left open runs to the end of the line.
    EXPECT_EQ(split("name \"open to the end\r\n"), (Tokens{"name", "open to the end"}));
    EXPECT_EQ(split("\t a \t b\t\r\n"), (Tokens{"a", "b"}));
}

TEST(LineTokenizer, ShiftJisPairsNeverSplit)
{
    // 0x83 0x7B and 0x83 0x5D have '{' and ']' as their second byte.
    EXPECT_EQ(split("Object \x83\x7B\x83\x5D {\n"), (Tokens{"Object", "\x83\x7B\x83\x5D", "{"}));
    // Both lead ranges, at their bounds; 0x80, 0xA0 and 0xFD are no lead bytes.
    EXPECT_EQ(split("\x81( \x9F) \xE0[ \xFC]\n"), (Tokens{"\x81(", "\x9F)", "\xE0[", "\xFC]"}));
    EXPECT_EQ(split("\x80( \xA0) \xFD]\n"), (Tokens{"\x80", "(", "\xA0", ")", "\xFD", "]"}));
    // A lead byte also carries a quote or a blank along.
    EXPECT_EQ(split("\"\x83\" x\"\n"), (Tokens{"\x83\" x"}));
    EXPECT_EQ(split("a\x83 b\n"), (Tokens{"a\x83 b"}));
}

TEST(LineTokenizer, LeadByteAtTheEndOfALineDoesNotSwallowTheLineEnd)
{
    LineTokenizer t("ab\x83\nnext line\n\x83");
    ASSERT_EQ(t.readLine(), 1);
    EXPECT_EQ(t.token(0), "ab\x83");
    ASSERT_EQ(t.readLine(), 2);
    EXPECT_EQ(t.token(1), "line");
    ASSERT_EQ(t.readLine(), 1);
    EXPECT_EQ(t.token(0), "\x83");
    EXPECT_EQ(t.readLine(), -1);
}

TEST(LineTokenizer, LinesBlanksEndAndLongLines)
{
    std::string data = "first 1\n\n   \r\nlast";
    LineTokenizer t(data);
    EXPECT_EQ(t.readLine(), 2);
    EXPECT_EQ(t.readLine(), 0);
    EXPECT_EQ(t.readLine(), 0);
    EXPECT_EQ(t.readLine(), 1);
    EXPECT_EQ(t.token(0), "last");
    EXPECT_EQ(t.readLine(), -1);
    EXPECT_EQ(t.count(), 0);
    EXPECT_EQ(t.readLine(), -1);

    // A NUL ends the line; the bytes after it on that line are dropped.
    const std::string nulLine("a b\0c d\nnext\n", 13);
    LineTokenizer withNul(nulLine);
    EXPECT_EQ(withNul.readLine(), 2);
    EXPECT_EQ(withNul.readLine(), 1);
    EXPECT_EQ(withNul.token(0), "next");

    // A line longer than the limit is cut; its rest is the next line.
    std::string longLine(LineTokenizer::kMaxLine - 1, 'x');
    longLine += "yz\n";
    LineTokenizer cut(longLine);
    ASSERT_EQ(cut.readLine(), 1);
    EXPECT_EQ(cut.token(0).size(), LineTokenizer::kMaxLine);
    ASSERT_EQ(cut.readLine(), 1);
    EXPECT_EQ(cut.token(0), "z");
}

TEST(LineTokenizer, ComparisonAndConversion)
{
    LineTokenizer t("Format TEXT Ver 1.0 12abc -3.5e1x\n");
    ASSERT_EQ(t.readLine(), 6);
    EXPECT_TRUE(t.is(0, "format"));
    EXPECT_TRUE(t.is(1, "Text"));
    EXPECT_FALSE(t.is(1, "Tex"));
    EXPECT_FALSE(t.is(6, ""));
    EXPECT_FALSE(t.is(-1, "Format"));
    EXPECT_TRUE(t.starts("FORMAT", 6));
    EXPECT_FALSE(t.starts("Format", 7));
    EXPECT_EQ(t.number(3), 1.0);
    EXPECT_EQ(t.integer(4), 12);
    EXPECT_EQ(t.number(5), -35.0);
    EXPECT_EQ(t.integer(0), 0);
    EXPECT_EQ(t.integer(99), 0);
    EXPECT_EQ(t.number(-2), 0.0);

    // One sign only: a second sign leaves no number.
    LineTokenizer signs("+-1 -+1 ++1 +2.5 +-3\n");
    ASSERT_EQ(signs.readLine(), 5);
    EXPECT_EQ(signs.number(0), 0.0);
    EXPECT_EQ(signs.number(1), 0.0);
    EXPECT_EQ(signs.number(2), 0.0);
    EXPECT_EQ(signs.number(3), 2.5);
    EXPECT_EQ(signs.integer(4), 0);

    LineTokenizer big("99999999999999 -99999999999999\n");
    big.readLine();
    EXPECT_EQ(big.integer(0), 2147483647);
    EXPECT_EQ(big.integer(1), -2147483647 - 1);
}

TEST(LineTokenizer, BinaryBlocksAfterALine)
{
    LineTokenizer t("Vector 1 [4]\nabcdrest\n");
    ASSERT_EQ(t.readLine(), 5);
    EXPECT_TRUE(t.endsWithSizeBlock());
    std::string_view block;
    ASSERT_TRUE(t.takeBytes(4, block));
    EXPECT_EQ(block, "abcd");
    EXPECT_FALSE(t.skipBytes(6)); // only "rest\n" remains
    EXPECT_FALSE(t.takeBytes(6, block));
    ASSERT_EQ(t.readLine(), 1);
    EXPECT_EQ(t.token(0), "rest");
    EXPECT_TRUE(t.skipBytes(0));
    EXPECT_EQ(t.readLine(), -1);
}
