#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogue/console.h"
#include "tests/test_support.h"

namespace {

using namespace std::string_literals;

struct Read {
    int size;
    int count;
    std::string text;
    bool ended;  // input has ended after this read
};

struct ReadCase {
    const char* what;
    std::string input;
    std::vector<Read> reads;
    std::string unread;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.what;
}

class ReadingLines : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadingLines, TakesAtMostSizeLessOneBytesAndLeavesTheRest) {
    const ReadCase& c = GetParam();
    FakeConsole console(c.input);
    for (const Read& r : c.reads) {
        char buffer[100];
        std::fill(std::begin(buffer), std::end(buffer), '#');
        EXPECT_EQ(readLine(buffer, r.size), r.count);
        EXPECT_EQ(std::string(buffer), r.text);
        EXPECT_EQ(inputHasEnded(), r.ended);
    }
    EXPECT_EQ(console.unreadInput(), c.unread);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadingLines,
    testing::Values(
        ReadCase{"lines", "abc\ndef\n", {{100, 3, "abc", false}, {100, 3, "def", false}}, ""},
        ReadCase{"long line in pieces",
                 "abcdefg\nh\n",
                 {{4, 3, "abc", false}, {4, 3, "def", false}, {4, 1, "g", false}},
                 "h\n"},
        ReadCase{"exactly size - 1 leaves the LF",
                 "abc\nd\n",
                 {{4, 3, "abc", false}, {4, 0, "", false}},
                 "d\n"},
        ReadCase{"CR LF is a line end", "ab\r\ncd", {{100, 2, "ab", false}}, "cd"},
        ReadCase{"lone CR is text", "a\rb\n", {{100, 3, "a\rb", false}}, ""},
        ReadCase{"the CR before CR LF is text", "ab\r\r\ncd", {{100, 3, "ab\r", false}}, "cd"},
        ReadCase{"CR at the end is text", "ab\r", {{100, 3, "ab\r", true}}, ""},
        ReadCase{"the look past a CR does not end a full line",
                 "ab\r",
                 {{4, 3, "ab\r", false}, {4, 0, "", true}},
                 ""},
        ReadCase{"NUL stored and counted", "a\0b\nc\n"s, {{100, 3, "a", false}}, "c\n"},
        ReadCase{"byte 255 is ordinary", "\xFF\xFF\n", {{100, 2, "\xFF\xFF", false}}, ""},
        ReadCase{"size 1 reads nothing", "abc\n", {{1, 0, "", false}}, "abc\n"},
        ReadCase{
            "end of input ends the line", "abc", {{100, 3, "abc", true}, {100, 0, "", true}}, ""},
        ReadCase{"a full buffer does not look for the end",
                 "abc",
                 {{4, 3, "abc", false}, {4, 0, "", true}},
                 ""}),
    [](const auto& info) { return testName(info.param.what); });

TEST(Lowercase, FoldsOnlyAToZ) {
    char text[] = "AZaz@[`{\xC4\xD6 Q?*";
    lowercase(text);
    EXPECT_STREQ(text, "azaz@[`{\xC4\xD6 q?*");
    EXPECT_EQ(hasStar(text), 1);
    EXPECT_EQ(hasStar("a?b"), 0);
}

}  // namespace
